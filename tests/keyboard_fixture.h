// A headless console whose waits are watched: each wait for a message notes
// whether the caret showed and readKey's reading mark was set. Keys are
// handed over from key scripts when the program waits, as a user types.
#ifndef TALONIX_TESTS_KEYBOARD_FIXTURE_H_
#define TALONIX_TESTS_KEYBOARD_FIXTURE_H_

#include <string>
#include <vector>

#include "console_fixture.h"

class WatchedPlatform : public plat::headless::HeadlessPlatform {
 public:
  using HeadlessPlatform::HeadlessPlatform;
  void waitEvent() override {
    ++waits;
    caretDuringWait = caretShown();
    readingDuringWait = consoleState().reading;
    HeadlessPlatform::waitEvent();
  }
  int waits = 0;
  bool caretDuringWait = false;
  bool readingDuringWait = false;
};

class KeyboardConsoleTest : public ConsoleFixture {
 protected:
  void configure(plat::headless::HeadlessConfig& config) override {
    config.startTime.reset();
  }
  std::unique_ptr<plat::headless::HeadlessPlatform> makePlatform(
      const plat::headless::HeadlessConfig& config) override {
    auto watched = std::make_unique<WatchedPlatform>(config);
    watched_ = watched.get();
    return watched;
  }

  // The "tone N" lines of the platform's record.
  std::vector<std::string> tones() const {
    std::vector<std::string> out;
    for (const std::string& line : platform_->speech()) {
      if (line.rfind("tone ", 0) == 0) out.push_back(line);
    }
    return out;
  }

  WatchedPlatform* watched_ = nullptr;
};

#endif  // TALONIX_TESTS_KEYBOARD_FIXTURE_H_
