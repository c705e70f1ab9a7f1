// A headless console for tests: a fresh platform in its own directories,
// the console started, LUMIRA.INI written on request.
#ifndef TALONIX_TESTS_CONSOLE_FIXTURE_H_
#define TALONIX_TESTS_CONSOLE_FIXTURE_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "platform/headless/headless_platform.h"
#include "synth/family_settings.h"
#include "tests/key_helpers.h"
#include "tests/voice_kit_fixture.h"

class ConsoleFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::filesystem::temp_directory_path() /
            (std::string("talonix_") + info->test_suite_name() + "_" +
             info->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "windows");
    std::filesystem::create_directories(root_ / "work");
    plat::headless::HeadlessConfig config;
    config.configDir = root_ / "windows";
    config.workDir = root_ / "work";
    config.startTime = plat::LocalTime{2025, 2, 28, 5, 23, 59, 58, 990};
    configure(config);
    platform_ = makePlatform(config);
    platform_->install();
    voicetest::writeSilentVoiceKit(plat::system().nativePath(tarvekDirectory()));
    resetProgramState();
    plat::window().setWindowProc(&consoleWindowProc);
  }

  void TearDown() override {
    resetProgramState();
    plat::headless::uninstall();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  // Hooks of derived fixtures: the backend's settings, and a backend that
  // watches more than the plain one.
  virtual void configure(plat::headless::HeadlessConfig& config) { (void)config; }
  virtual std::unique_ptr<plat::headless::HeadlessPlatform> makePlatform(
      const plat::headless::HeadlessConfig& config) {
    return std::make_unique<plat::headless::HeadlessPlatform>(config);
  }

  // LUMIRA.INI in the Windows directory, lines given without CR LF.
  void familySettings(const std::vector<std::string>& lines) {
    std::ofstream out(root_ / "windows" / "LUMIRA.INI", std::ios::binary);
    for (const std::string& line : lines) out << line << "\r\n";
  }

  void write(const std::string& text) { writeText(text); }

  // Keys the user types, each once the program waits for it.
  void keys(const std::string& script) { keytest::keys(*platform_, script); }

  // Runs `body`, which must end the program; returns the exit code.
  template <typename F>
  int exitCodeOf(F body) {
    try {
      body();
    } catch (const plat::ExitRequest& e) {
      return e.code;
    }
    ADD_FAILURE() << "the program did not end";
    return -1;
  }

  // A console row (1-based) from the planes and as painted, trailing blanks
  // removed.
  static std::string planeRow(int row) {
    std::string text;
    for (int c = 1; c <= kConsoleColumns; ++c)
      text += static_cast<char>(screenCharAt(c, row));
    return text.substr(0, text.find_last_not_of(' ') + 1);
  }
  std::string paintedRow(int row) const {
    std::string text = platform_->screenRow(row - 1);
    return text.substr(0, text.find_last_not_of(' ') + 1);
  }

  std::filesystem::path root_;
  std::unique_ptr<plat::headless::HeadlessPlatform> platform_;
};

#endif  // TALONIX_TESTS_CONSOLE_FIXTURE_H_
