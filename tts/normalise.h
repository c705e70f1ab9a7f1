// Normalisation, the engine's first stage: numbers, ordinals, money signs,
// symbols, abbreviations and words without vowels become Portuguese words
// that letter-to-sound rules can read. Letters, blanks and the punctuation
// that carries prosody pass through for the later stages.
#ifndef TALONIX_TTS_NORMALISE_H_
#define TALONIX_TTS_NORMALISE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// At most this many abbreviations are kept; further lines are not read.
constexpr size_t kMaxAbbreviations = 2000;
constexpr size_t kMaxExpansion = 999;

struct Abbreviation {
  std::string key;        // upper case
  std::string expansion;  // as written
};

// The loaded abbreviations, in file order. Owned by normalise.cc.
struct NormaliseState {
  std::vector<Abbreviation> abbreviations;
};
NormaliseState& normaliseState();
void resetNormalise();

// Reads "ABREV=expansion" lines into a fresh table; ";" lines and blank
// lines are skipped, lines past the 2000th entry ignored, an expansion cut
// to 999 characters. False when the file cannot be read (the table is then
// empty).
bool loadAbbreviations(std::string_view fileName);
bool loadAbbreviationsFromBytes(std::string_view bytes);
// The expansion of the first key equal to the upper-cased word; empty when
// none.
std::string findAbbreviation(std::string_view word);

// The whole stage on one Windows-1252 text. Words are appended with blanks
// around them, often two in a row; the later stages skip blanks.
std::string normaliseText(std::string_view text);
// Runs of blanks and control characters made one blank, none at the ends:
// the normalised text as a person reads it.
std::string singleSpaced(std::string_view text);

// Number words. `value` below 10^15.
std::string cardinalWords(uint64_t value);
std::string ordinalWords(bool feminine, uint64_t value);
// Three digits "HTU" (characters '0'..'9').
std::string groupWords(std::string_view digits);
// The spoken name of a character; empty when it has none.
std::string symbolName(unsigned char c);

#endif  // TALONIX_TTS_NORMALISE_H_
