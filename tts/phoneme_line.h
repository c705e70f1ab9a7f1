// One input line of the synthesizer: "name ms [percent hertz]...", fields
// apart by blanks or tabs, ";" starting a comment. The percent says where
// in the phoneme (0..100) the pitch reaches the hertz.
#ifndef TALONIX_TTS_PHONEME_LINE_H_
#define TALONIX_TTS_PHONEME_LINE_H_

#include <string>
#include <string_view>
#include <vector>

struct PitchTarget {
  double percent = 0;
  double hertz = 0;
};

struct PhonemeLine {
  std::string name;
  double ms = 0;
  std::vector<PitchTarget> targets;  // percents never decrease
};

enum class LineKind {
  kPhoneme,    // `out` holds the line
  kNothing,    // blank or comment only
  kMalformed,  // refused: bad number, out of range, odd pitch field...
};

// Far beyond any speech, small enough that one line cannot ask for more
// than a few megabytes of samples or of pitch targets.
constexpr double kMaxPhonemeMs = 60000;
constexpr size_t kMaxPitchTargets = 256;
constexpr double kMaxHertz = 8000;  // half the sample rate
constexpr size_t kMaxSymbolBytes = 7;

// Parses one line; a trailing CR LF (or LF) is ignored. Numbers are plain
// decimals ("137", "62.5"): no sign, no exponent.
LineKind parsePhonemeLine(std::string_view line, PhonemeLine* out);

#endif  // TALONIX_TTS_PHONEME_LINE_H_
