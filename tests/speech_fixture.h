// A headless program for speech tests (see SpeechFixture).
#ifndef TALONIX_TESTS_SPEECH_FIXTURE_H_
#define TALONIX_TESTS_SPEECH_FIXTURE_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "console_fixture.h"
#include "platform/headless/key_script.h"
#include "speech/number_words.h"
#include "speech/speech.h"
#include "synth/synth.h"

namespace speechtest {

// The console fixture with the speech layer started from scratch, a program
// directory, the speech record, and keys typed "while something sounds"
// (when a chosen record line appears).
class SpeechFixture : public ConsoleFixture {
 protected:
  void SetUp() override {
    ConsoleFixture::SetUp();
    plat::setRecorder([this](std::string_view line) { heardLine(line); });
  }

  void configure(plat::headless::HeadlessConfig& config) override {
    config.startTime = plat::LocalTime{2024, 3, 2, 6, 10, 30, 0, 0};
    config.programPath = workDir().string() + "/bin/talonix";
  }

  std::filesystem::path configDir() const { return root_ / "windows"; }
  std::filesystem::path workDir() const { return root_ / "work"; }

  // The words of every number read as a whole since the last clear, so a
  // test can tell a number read whole from one spelled digit by digit.
  const std::vector<std::string>& numbersRead() const { return numbersRead_; }
  void clearNumbersRead() { numbersRead_.clear(); }

  // Types `ch` the moment `line` is recorded, as a user pressing a key
  // while that sound plays.
  void typeWhenRecorded(std::string line, uint8_t ch) {
    trigger_ = std::move(line);
    triggerKey_ = ch;
  }

  // Writes an INI file with CR LF line ends, lines given without them.
  static void writeIni(const std::filesystem::path& file,
                       const std::vector<std::string>& lines) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    for (const std::string& line : lines) out << line << "\r\n";
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


 private:
  void heardLine(std::string_view line) {
    platform_->record(line);
    if (line.starts_with("number ")) numbersRead_.emplace_back(line.substr(7));
    if (trigger_.empty() || line != trigger_) return;
    trigger_.clear();
    std::vector<plat::Event> events;
    plat::headless::typedCharEvents(triggerKey_, &events);
    for (const plat::Event& e : events) platform_->postEvent(e);
  }

  size_t mark_ = 0;
  std::vector<std::string> numbersRead_;
  std::string trigger_;
  uint8_t triggerKey_ = 0;
};

using Lines = std::vector<std::string>;

}  // namespace speechtest

#endif  // TALONIX_TESTS_SPEECH_FIXTURE_H_
