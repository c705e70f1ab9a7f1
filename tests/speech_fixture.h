// A headless platform for speech tests: the family settings file, the
// program directory, the speech record, and keys typed "while something
// sounds" (when a chosen record line appears).
#ifndef TALONIX_TESTS_SPEECH_FIXTURE_H_
#define TALONIX_TESTS_SPEECH_FIXTURE_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/key_script.h"
#include "speech/number_words.h"
#include "speech/speech.h"
#include "synth/synth.h"

namespace speechtest {

class TriggerPlatform : public plat::headless::HeadlessPlatform {
 public:
  using HeadlessPlatform::HeadlessPlatform;

  // Types `ch` the moment `line` is recorded, as a user pressing a key
  // while that sound plays.
  void typeWhenRecorded(std::string line, uint8_t ch) {
    trigger_ = std::move(line);
    triggerKey_ = ch;
  }

  void record(std::string_view line) override {
    HeadlessPlatform::record(line);
    if (!trigger_.empty() && line == trigger_) {
      trigger_.clear();
      std::vector<plat::Event> events;
      plat::headless::typedCharEvents(triggerKey_, &events);
      for (const plat::Event& e : events) postEvent(e);
    }
  }

 private:
  std::string trigger_;
  uint8_t triggerKey_ = 0;
};

class SpeechFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::filesystem::temp_directory_path() /
            (std::string("talonix_speech_") + info->test_suite_name() + "_" +
             info->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(configDir());
    std::filesystem::create_directories(workDir());
    plat::headless::HeadlessConfig config;
    config.configDir = configDir();
    config.workDir = workDir();
    config.startTime = plat::LocalTime{2024, 3, 2, 6, 10, 30, 0, 0};
    config.programPath = workDir().string() + "/bin/talonix";
    platform_ = std::make_unique<TriggerPlatform>(config);
    plat::setPlatform(platform_.get());
    resetConsole();
    resetKeyboard();
    plat::platform().setWindowProc(&consoleWindowProc);
    resetSynth();
    resetSpeech();
    clearNumberWordsForTesting();
  }

  void TearDown() override {
    resetKeyboard();
    resetSynth();
    plat::setPlatform(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  std::filesystem::path configDir() const { return root_ / "windows"; }
  std::filesystem::path workDir() const { return root_ / "work"; }

  // Writes an INI file with CR LF line ends, lines given without them.
  static void writeIni(const std::filesystem::path& file,
                       const std::vector<std::string>& lines) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    for (const std::string& line : lines) out << line << "\r\n";
  }
  void familySettings(const std::vector<std::string>& lines) {
    writeIni(configDir() / "LUMIRA.INI", lines);
  }
  static void touch(const std::filesystem::path& file) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << "RIFF";
  }

  // The record lines since the last call of forget().
  std::vector<std::string> heard() const {
    const auto& all = platform_->speech();
    return std::vector<std::string>(all.begin() + mark_, all.end());
  }
  void forget() { mark_ = platform_->speech().size(); }

  // Says the text on the diphone path and returns the lines after its
  // own "say" line.
  std::vector<std::string> spoken(std::string_view text) {
    forget();
    speakText(text);
    std::vector<std::string> lines = heard();
    EXPECT_FALSE(lines.empty());
    if (!lines.empty()) {
      EXPECT_EQ(lines.front(), "say " + std::string(text));
      lines.erase(lines.begin());
    }
    return lines;
  }

  // Posts the events of a named key or typed character, pending at once.
  void press(std::string_view name) {
    std::vector<plat::Event> events;
    ASSERT_TRUE(plat::headless::keyEvents(name, &events)) << name;
    for (const plat::Event& e : events) platform_->postEvent(e);
  }
  void type(std::string_view text) {
    for (char c : text) {
      std::vector<plat::Event> events;
      plat::headless::typedCharEvents(static_cast<uint8_t>(c), &events);
      for (const plat::Event& e : events) platform_->postEvent(e);
    }
  }

  // The text of a console row (1-based), trailing blanks removed.
  static std::string screenRow(int row) {
    std::string text;
    for (int column = 1; column <= kConsoleColumns; ++column)
      text += static_cast<char>(screenCharAt(column, row));
    return text.substr(0, text.find_last_not_of(' ') + 1);
  }

  std::unique_ptr<TriggerPlatform> platform_;

 private:
  std::filesystem::path root_;
  size_t mark_ = 0;
};

using Lines = std::vector<std::string>;

}  // namespace speechtest

#endif  // TALONIX_TESTS_SPEECH_FIXTURE_H_
