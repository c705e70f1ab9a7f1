// The terminal backend's message loop and services, driven through pipes
// in place of a terminal.
#include "platform/posix/terminal_backend.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using plat::Event;
using plat::EventKind;
using plat::PumpResult;

std::vector<Event> received;
bool handleAll = true;

bool recordingProc(const Event& e) {
  received.push_back(e);
  return handleAll;
}

class TerminalPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::pipe(in_), 0);
    ASSERT_EQ(::pipe(out_), 0);
    ::fcntl(out_[0], F_SETFL, O_NONBLOCK);
    terminal_ = std::make_unique<plat::posix::TerminalBackend>(in_[0], out_[1]);
    received.clear();
    handleAll = true;
    terminal_->window.setWindowProc(&recordingProc);
    plat::FontMetrics metrics;
    ASSERT_TRUE(terminal_->window.createWindow(plat::WindowConfig(), &metrics));
    EXPECT_TRUE(metrics.fontCreated);
    pumpAll();  // the first paint
    received.clear();
  }
  void TearDown() override {
    terminal_->window.destroyWindow();
    for (int fd : {in_[0], in_[1], out_[0], out_[1]}) ::close(fd);
  }

  void type(const std::string& bytes) {
    ASSERT_EQ(::write(in_[1], bytes.data(), bytes.size()),
              static_cast<ssize_t>(bytes.size()));
  }
  PumpResult pumpAll() {
    PumpResult r;
    while ((r = terminal_->window.pumpOne(false)) == PumpResult::kDispatched) {
    }
    return r;
  }
  std::string output() {
    std::string all;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(out_[0], buf, sizeof buf)) > 0) all.append(buf, n);
    return all;
  }
  std::vector<EventKind> kinds() const {
    std::vector<EventKind> k;
    for (const Event& e : received) k.push_back(e.kind);
    return k;
  }

  int in_[2], out_[2];
  std::unique_ptr<plat::posix::TerminalBackend> terminal_;
};

TEST_F(TerminalPlatformTest, KeysAreDispatchedOneMessageAtATime) {
  type("a\x1bOP");
  EXPECT_EQ(terminal_->window.pumpOne(false), PumpResult::kDispatched);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].kind, EventKind::kKeyDown);
  EXPECT_EQ(received[0].code, 'A');
  EXPECT_EQ(pumpAll(), PumpResult::kEmpty);
  EXPECT_EQ(kinds(), (std::vector<EventKind>{
                         EventKind::kKeyDown, EventKind::kChar,
                         EventKind::kKeyUp, EventKind::kKeyDown,
                         EventKind::kKeyUp}));
  EXPECT_EQ(received[3].code, plat::kVkF1);
}

TEST_F(TerminalPlatformTest, ALoneEscIsDeliveredAfterItsTimeout) {
  type("\x1b");
  terminal_->window.waitEvent();
  pumpAll();
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[1].kind, EventKind::kChar);
  EXPECT_EQ(received[1].code, 27u);
}

TEST_F(TerminalPlatformTest, UnhandledAltF4ClosesAndUnhandledCloseQuits) {
  handleAll = false;
  type("\x1b[1;3S");
  EXPECT_EQ(terminal_->window.pumpOne(false), PumpResult::kDispatched);
  ASSERT_EQ(kinds(), (std::vector<EventKind>{EventKind::kSysKeyDown,
                                             EventKind::kClose,
                                             EventKind::kDestroy}));
  EXPECT_EQ(terminal_->window.pumpOne(false), PumpResult::kQuit);
}

TEST_F(TerminalPlatformTest, TheTerminalGoingAwayIsACloseRequest) {
  type("x");
  ::close(in_[1]);
  in_[1] = ::dup(out_[1]);  // keep TearDown's close harmless
  terminal_->window.waitEvent();
  pumpAll();
  ASSERT_EQ(received.size(), 4u);
  EXPECT_EQ(received[1].code, 'x');  // typed keys come first
  EXPECT_EQ(received[3].kind, EventKind::kClose);
  received.clear();
  terminal_->window.waitEvent();  // every later wait ends the same way
  pumpAll();
  EXPECT_EQ(kinds(), std::vector<EventKind>{EventKind::kClose});
}

TEST_F(TerminalPlatformTest, PostedMessagesEndAWait) {
  terminal_->window.postMessage(plat::kMsgWakeSpeech);
  terminal_->window.waitEvent();
  EXPECT_EQ(terminal_->window.pumpOne(false), PumpResult::kDispatched);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].kind, EventKind::kUser);
  EXPECT_EQ(received[0].code, plat::kMsgWakeSpeech);
}

TEST_F(TerminalPlatformTest, InvalidatingAsksForAWholeGridPaint) {
  terminal_->window.invalidateAll(false);
  terminal_->window.updateWindow();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].kind, EventKind::kPaint);
  EXPECT_EQ(received[0].x2, 80);
  EXPECT_EQ(received[0].y2, 25);
  terminal_->window.updateWindow();  // nothing pending any more
  EXPECT_EQ(received.size(), 1u);
}

TEST_F(TerminalPlatformTest, DrawingReachesTheTerminalBeforeTheProgramWaits) {
  output();
  const uint8_t text[] = {'S', 'u', 'a', ' ', 'o', 'p', 0xE7, 0xE3, 'o'};
  terminal_->window.textOut(0, 24, text, 9, plat::Rgb{255, 255, 255},
                     plat::Rgb{0, 0, 255}, 0x1F);
  EXPECT_EQ(output(), "");  // not yet
  pumpAll();
  EXPECT_NE(output().find("Sua op\xC3\xA7\xC3\xA3o"), std::string::npos);
  terminal_->window.textOut(0, 0, text, 1, plat::Rgb{}, plat::Rgb{}, 0);
  terminal_->system.sleepMs(0);
  EXPECT_NE(output().find('S'), std::string::npos);
}

TEST_F(TerminalPlatformTest, ClipboardKeepsTheTextAndHandsItToTheTerminal) {
  std::string text;
  bool hasText = true;
  ASSERT_TRUE(terminal_->window.getClipboardText(&text, &hasText));
  EXPECT_FALSE(hasText);
  output();
  ASSERT_TRUE(terminal_->window.setClipboardText("op\xE7\xE3o"));
  ASSERT_TRUE(terminal_->window.getClipboardText(&text, &hasText));
  EXPECT_TRUE(hasText);
  EXPECT_EQ(text, "op\xE7\xE3o");
  EXPECT_EQ(output(), "\x1b]52;c;b3DDp8Ojbw==\x07");  // UTF-8, base64
}

TEST(TerminalPathTest, NativePathsAreUtf8WithSlashes) {
  plat::posix::TerminalBackend terminal(-1, -1);
  EXPECT_EQ(terminal.system.nativePath("dados\\extrato \xE7.txt").string(),
            "dados/extrato \xC3\xA7.txt");
  EXPECT_FALSE(terminal.system.fileExists(""));
  EXPECT_EQ(terminal.system.pathSeparator(), '/');
}

}  // namespace
