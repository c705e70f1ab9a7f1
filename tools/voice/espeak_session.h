// One espeak-ng session for the whole process: the library cannot be
// initialised again after it ends, so it is started once and left running.
#ifndef TALONIX_TOOLS_VOICE_ESPEAK_SESSION_H_
#define TALONIX_TOOLS_VOICE_ESPEAK_SESSION_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr int kEspeakRate = 22050;

struct PhonemeEvent {
  std::string name;  // espeak's mnemonic, e.g. "&~" or "tS"
  size_t sample = 0;  // where the phoneme starts in the samples
};

struct Utterance {
  std::vector<int16_t> samples;  // mono at kEspeakRate
  std::vector<PhonemeEvent> phonemes;
};

// Starts the library with the Brazilian voice; false when it is missing.
bool startEspeak();

// Words per minute; monotone turns the pitch range to 0.
void setEspeakVoice(int wordsPerMinute, bool monotone);

// Switches to another voice of espeak's (a variant such as "pt-br+f2"),
// monotone at `pitch` (espeak's 0..100 scale); false when it is missing.
bool setEspeakMonotoneVoice(const char* name, int wordsPerMinute, int pitch);

// Speaks UTF-8 text; with phonemes set, "[[...]]" is read as phoneme input.
Utterance speakEspeak(std::string_view utf8, bool phonemes);

// The transcription espeak would speak for a text (its -x output).
std::string espeakPhonemes(std::string_view utf8);

#endif  // TALONIX_TOOLS_VOICE_ESPEAK_SESSION_H_
