// Reading keys with spoken echo, and writing texts that are also spoken.
#include <string>

#include "console/console.h"
#include "console/keyboard.h"
#include "console/keys.h"
#include "speech/number_words.h"
#include "speech/speech.h"

uint8_t readKeyEcho(uint8_t* extended) {
  for (;;) {
    waitSpeech();
    uint8_t code = kKeySpace;
    uint8_t key = readKey();
    if (key == kKeyExtended) {
      code = readKey();
      // Ctrl+Alt+Q, W, E give their Alt code and then the character typed.
      // A layout without that character hands on the next key instead; an
      // extended one is taken whole, so its code is not left to read as a
      // character.
      if (code == kKeyAltQ || code == kKeyAltW || code == kKeyAltE) {
        key = readKey();
        if (key == kKeyExtended) code = readKey();
      }
    }
    if (key == kKeyExtended && code == kKeyF8) {
      speakTime();
      continue;
    }
    // Every character from the space up is echoed, ß and Þ too (the focus
    // signals are extended codes).
    if (key >= kKeySpace) {
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
