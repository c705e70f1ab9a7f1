// Stand-in until the number, date and time words are built: numbers are
// heard digit by digit and the time says aloud that it is not there yet.
#include <string>
#include <vector>

#include "speech/number_words.h"
#include "speech/speech.h"

namespace {
std::vector<std::string> spokenWords;
}  // namespace

// Stand-in until the number words are built: the decimal digits.
std::string numberWords(uint32_t n) { return std::to_string(n); }

// Stand-in until the number words are built: each character is spoken
// from its recording, so a number is at least heard digit by digit.
void speakNumberWords(std::string_view words, bool feminine) {
  (void)feminine;
  spokenWords.emplace_back(words);
  for (char c : words) {
    if (c != ' ') speakChar(static_cast<uint8_t>(c));
  }
}

// Stand-in until the time words are built.
void speakTime() { speakText("Fala da hora ainda n\xE3o dispon\xEDvel"); }

// Stand-in until the date words are built.
void speakToday() { speakText("Fala da data ainda n\xE3o dispon\xEDvel"); }

const std::vector<std::string>& numberWordsSpokenForTesting() {
  return spokenWords;
}

void clearNumberWordsForTesting() { spokenWords.clear(); }
