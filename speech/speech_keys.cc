// Reading keys with spoken echo, and writing texts that are also spoken.
#include <string>

#include "console/console.h"
#include "console/keyboard.h"
#include "speech/number_words.h"
#include "speech/speech.h"

namespace {
constexpr uint8_t kFocusGained = 222;
constexpr uint8_t kFocusLost = 223;
constexpr uint8_t kExtendedF8 = 66;
}  // namespace

uint8_t readKeyEcho(uint8_t* extended) {
  for (;;) {
    waitSpeech();
    uint8_t code = ' ';
    uint8_t key = readKey();
    if (key == 0) {
      code = readKey();
      // Ctrl+Alt+Q, W, E give their Alt code and then the character typed.
      // A layout without that character hands on the next key instead; an
      // extended one is taken whole, so its code is not left to read as a
      // character.
      if (code == 16 || code == 17 || code == 18) {
        key = readKey();
        if (key == 0) code = readKey();
      }
    }
    if (key == 0 && code == kExtendedF8) {
      speakTime();
      continue;
    }
    if (key > 31 && key != kFocusGained && key != kFocusLost) {
      speakChar(key);
      const char shown = static_cast<char>(key);
      writeChars(&shown, 1);
    }
    if (extended != nullptr) *extended = code;
    return key;
  }
}

uint8_t readKeySpoken() {
  uint8_t key = readKey();
  stopSpeech();
  speakChar(key);
  return key;
}

void writeSpeak(std::string_view text) {
  writeText(text);
  speakText(text);
}

void writeLineSpeak(std::string_view text) {
  writeSpeak(text);
  writeLineEnd();
}

void writeSpeakNumber(int n) { writeSpeak(std::to_string(n)); }

std::string upperText(std::string_view text) {
  std::string upper(text);
  for (char& ch : upper) {
    const auto c = static_cast<uint8_t>(ch);
    if ((c >= 'a' && c <= 'z') || c >= 224) ch = static_cast<char>(c - 32);
  }
  return upper;
}
