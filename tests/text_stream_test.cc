// std::cout and std::cin bound to the console window.
#include <gtest/gtest.h>

#include <iostream>
#include <string>

#include "keyboard_fixture.h"

namespace {

class TextStreamTest : public KeyboardConsoleTest {
 protected:
  void SetUp() override {
    KeyboardConsoleTest::SetUp();
    original_ = std::cout.rdbuf();
    attachConsoleStreams();
  }
  void TearDown() override {
    detachConsoleStreams();
    std::cin.clear();
    KeyboardConsoleTest::TearDown();
  }
  std::streambuf* original_ = nullptr;
};

TEST_F(TextStreamTest, OutputIsDrawnWhenFlushed) {
  std::cout << "Sua op\xE7\xE3o: ";
  EXPECT_EQ(planeRow(1), "");  // still buffered
  std::cout << std::flush;
  EXPECT_EQ(planeRow(1), "Sua op\xE7\xE3o:");
  std::cout << "linha" << std::endl << "seguinte" << std::flush;
  EXPECT_EQ(planeRow(1), "Sua op\xE7\xE3o: linha");
  EXPECT_EQ(planeRow(2), "seguinte");
}

TEST_F(TextStreamTest, AFullBufferIsDrawnWithoutAFlush) {
  std::cout << std::string(200, 'w');
  EXPECT_EQ(planeRow(1), std::string(80, 'w'));
  EXPECT_EQ(planeRow(2), std::string(48, 'w'));  // 128 drawn so far
  std::cout << std::flush;
  EXPECT_EQ(planeRow(3), std::string(40, 'w'));
}

TEST_F(TextStreamTest, FlushingServesWaitingMessages) {
  std::cout << "x";
  plat::Event e;
  e.kind = plat::EventKind::kChar;
  e.code = 'k';
  platform_->postEvent(e);
  std::cout << std::flush;
  EXPECT_EQ(keyQueue().count, 1);
}

TEST_F(TextStreamTest, FlushingNothingLeavesTheWindowUnopened) {
  std::cout << std::flush;
  EXPECT_FALSE(platform_->windowCreated());
}

TEST_F(TextStreamTest, GetlineGivesTheTypedTextWithoutLineEnd) {
  keys("\"Jo\xC3\xA3o\" Enter \"segunda\" Enter");
  std::string line;
  ASSERT_TRUE(std::getline(std::cin, line));
  EXPECT_EQ(line, "Jo\xE3o");
  ASSERT_TRUE(std::getline(std::cin, line));
  EXPECT_EQ(line, "segunda");
  EXPECT_EQ(planeRow(1), "Jo\xE3o");
  EXPECT_EQ(planeRow(2), "segunda");
}

TEST_F(TextStreamTest, NumbersReadWithExtraction) {
  keys("\"42 7\" Enter");
  int a = 0, b = 0;
  std::cin >> a >> b;
  EXPECT_EQ(a, 42);
  EXPECT_EQ(b, 7);
}

TEST_F(TextStreamTest, PromptIsFlushedBeforeTheRead) {
  keys("\"s\" Enter");
  std::cout << "Nome: ";  // no flush: cin's tie draws it
  std::string line;
  std::getline(std::cin, line);
  EXPECT_EQ(planeRow(1), "Nome: s");
}

// The program's end must pass through a read or write statement: the
// streams would otherwise take it for a failed read and carry on.
TEST_F(TextStreamTest, ClosingTheWindowDuringAReadEndsTheProgram) {
  std::string line;
  EXPECT_EQ(exitCodeOf([&] { std::getline(std::cin, line); }), 0);
}

TEST_F(TextStreamTest, DetachRestoresTheOriginalBuffers) {
  detachConsoleStreams();
  EXPECT_EQ(std::cout.rdbuf(), original_);
  attachConsoleStreams();
  attachConsoleStreams();  // twice is once
  detachConsoleStreams();
  EXPECT_EQ(std::cout.rdbuf(), original_);
  attachConsoleStreams();
}

}  // namespace
