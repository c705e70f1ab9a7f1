// Prosody: the tokens and their intonation patterns, then each phoneme's
// duration and pitch target, with a short filler where the synthesizer has
// no diphone. Its tables come from the prosody (.pro) and definitions
// (.dfn) files.
#ifndef TALONIX_TTS_PROSODY_H_
#define TALONIX_TTS_PROSODY_H_

#include <array>
#include <string>
#include <string_view>
#include <vector>

constexpr size_t kMaxDurations = 100;
constexpr size_t kMaxKeyWords = 1000;
constexpr size_t kMaxIntonationRules = 300;
constexpr int kDefaultHertz = 230;
// A symbol the table does not list lasts this long, in milliseconds.
constexpr int kDefaultDuration = 100;

struct IntonationRule {
  std::string previous, current, next;  // upper case, empty = any
  std::string pattern;
};

// The loaded tables. Owned by prosody.cc.
struct ProsodyState {
  std::vector<std::pair<std::string, int>> durations;         // file order
  std::vector<std::pair<std::string, std::string>> keyWords;  // sorted
  std::vector<IntonationRule> intonation;                     // file order
  int hertz = kDefaultHertz;
  std::array<int, 10> tabHertz{};
  std::vector<std::string> diphones;  // "A-B", sorted ignoring case
};
ProsodyState& prosodyState();
void resetProsody();

// False, after showing the section's message, when the file cannot be
// read or one of its three sections is missing or broken.
bool loadProsody(std::string_view fileName);
bool loadProsodyFromBytes(std::string_view bytes);
// False when the file cannot be read.
bool loadDiphones(std::string_view fileName);
bool loadDiphonesFromBytes(std::string_view bytes);

// "[CC]text" lines: "[--]" first and after each sentence end.
std::vector<std::string> tokenise(std::string_view normalised);
// "PPP|text" lines, one per token line.
std::vector<std::string> chooseIntonation(const std::vector<std::string>& tokens);
// The synthesizer's input lines from the letter-to-sound stage's lines.
std::vector<std::string> timePhonemes(const std::vector<std::string>& phonemes,
                                      double pitchFactor, double durationFactor);

// The table's duration of a symbol, 100 when it is not listed.
int phonemeDuration(std::string_view symbol);
// Whether "A-B" is a diphone of the list (letter case ignored).
bool hasDiphone(std::string_view previous, std::string_view current);
// The class of a key word (any letter case); empty when it is not one.
std::string_view keyClass(std::string_view word);
// A whole decimal number, digits only, below 10^9 (so any product of it
// with a factor stays far inside a double's exact range); false otherwise.
bool readCount(std::string_view text, int* value);

#endif  // TALONIX_TTS_PROSODY_H_
