// What every backend promises alike, run against each of them through the
// installed services only: the places where backends used to differ.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/platform.h"
#include "platform/posix/terminal_backend.h"

namespace {

using plat::Event;
using plat::EventKind;

std::vector<EventKind> received;
bool unhandled(const Event& e) {
  received.push_back(e.kind);
  return false;
}

class PlatformContractTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    received.clear();
    dir_ = std::filesystem::temp_directory_path() /
           ("talonix_contract_" + std::string(GetParam()));
    std::filesystem::create_directories(dir_);
    if (std::string(GetParam()) == "headless") {
      plat::headless::HeadlessConfig config;
      config.configDir = config.workDir = dir_;
      headless_ = std::make_unique<plat::headless::HeadlessPlatform>(config);
      headless_->install();
    } else {
      ASSERT_EQ(::pipe(in_), 0);
      ASSERT_EQ(::pipe(out_), 0);
      ::fcntl(out_[0], F_SETFL, O_NONBLOCK);
      terminal_ = std::make_unique<plat::posix::TerminalBackend>(in_[0], out_[1]);
      terminal_->install();
    }
  }
  void TearDown() override {
    plat::window().destroyWindow();
    plat::headless::uninstall();
    headless_.reset();
    terminal_.reset();
    if (in_[0] >= 0) {
      for (int fd : {in_[0], in_[1], out_[0], out_[1]}) ::close(fd);
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  bool isHeadless() const { return headless_ != nullptr; }

  std::filesystem::path dir_;
  std::unique_ptr<plat::headless::HeadlessPlatform> headless_;
  std::unique_ptr<plat::posix::TerminalBackend> terminal_;
  int in_[2] = {-1, -1}, out_[2] = {-1, -1};
};

TEST_P(PlatformContractTest, EmptyPathsNullMetricsAndTheDefaultWindowProcedure) {
  // Nothing is named by an empty path, wherever the program runs.
  EXPECT_FALSE(plat::system().fileExists(""));
  EXPECT_TRUE(plat::system().fileExists(plat::system().currentDirectory()));

  // A window may be made without asking for its metrics.
  plat::WindowConfig config;
  config.title = "Talonix";
  ASSERT_TRUE(plat::window().createWindow(config, nullptr));

  // Alt+F4 left to the default becomes a close request; a close request
  // left to the default destroys the window and ends the message loop.
  plat::window().setWindowProc(&unhandled);
  Event altF4 = plat::eventOf(EventKind::kSysKeyDown);
  altF4.code = plat::kVkF4;
  altF4.alt = true;
  plat::window().postEvent(altF4);
  plat::PumpResult r;
  while ((r = plat::window().pumpOne(false)) == plat::PumpResult::kDispatched) {
  }
  EXPECT_EQ(r, plat::PumpResult::kQuit);
  ASSERT_GE(received.size(), 3u);
  const std::vector<EventKind> last(received.end() - 3, received.end());
  EXPECT_EQ(last, (std::vector<EventKind>{EventKind::kSysKeyDown, EventKind::kClose,
                                          EventKind::kDestroy}));
  EXPECT_FALSE(plat::window().keyHeld(plat::kVkControl));
  EXPECT_TRUE(plat::window().keyHeld(plat::kVkMenu));  // Alt, from the last key
}

TEST_P(PlatformContractTest, TheEndOfTheProgramDoesNotReturn) {
  if (isHeadless()) {
    // The headless end unwinds, as its header says, and only it throws.
    try {
      plat::exitProgram(7);
      FAIL() << "exitProgram returned";
    } catch (const plat::ExitRequest& e) {
      EXPECT_EQ(e.code, 7);
    }
  } else {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(plat::exitProgram(7), ::testing::ExitedWithCode(7), "");
  }
}

INSTANTIATE_TEST_SUITE_P(EveryBackend, PlatformContractTest,
                         ::testing::Values("headless", "terminal"));

}  // namespace
