// The stressed letter of a Portuguese word from its spelling: an accent
// decides; otherwise a small machine reads the word's end from the right.
#include <cstring>
#include <string>

#include "tts/letter_rules.h"
#include "tts/tts_text.h"

namespace {

bool among(const char* set, char c) { return c != 0 && std::strchr(set, c) != nullptr; }

// The vowels of the machine: w and y count, as does u with diaeresis.
constexpr const char kMachineVowels[] = "aeiouwy\xFC";
constexpr const char kStressAccents[] = "\xE0\xE1\xE2\xE3\xE9\xEA\xED\xF3\xF4\xF5\xFA";

enum : int { kStop = -1 };

// One step of the machine at position `at` (from 1) holding `c`, between
// the letters `before` and `after` (0 outside the word); returns the next
// state and records into *result.
int step(int state, char c, char before, char after, int at, int* result) {
  auto record = [&](int position) { *result = position; };
  switch (state) {
    case 0:
      if (among("aeo", c)) { record(at); return 1; }
      if (c == 'u') { record(at); return 10; }
      if (c == 'i') { record(at); return 20; }
      if (c == 's') return 0;
      // -m, and -ns (homens, jardins), end the word as a nasal vowel.
      if (c == 'm' || (c == 'n' && after == 's')) return 40;
      return 30;
    case 1:
      if (c == 'u') return 4;
      // An i between two vowels is a glide: the vowel before it carries
      // the stress (praia, meio, cadeia), not the i.
      if (c == 'i' && among("aeou", before)) { record(at - 1); return kStop; }
      if (among(kMachineVowels, c)) { record(at); return kStop; }
      return 2;
    case 2:
      if (among("aeo", c)) { record(at); return kStop; }
      if (among("iu", c)) { record(at); return 3; }
      return 2;
    case 3:
      if (among("aeo", c)) { record(at); return kStop; }
      if (c == 'u') return 5;
      return kStop;
    case 4:
      if (among("gq", c)) { record(at + 2); return 2; }
      record(at + 1);
      return kStop;
    case 5:
    case 21:
      record(among("gq", c) ? at + 2 : at + 1);
      return kStop;
    case 10:
      if (among("aeio", c)) record(at);
      return kStop;
    case 20:
      // The vowel before a final i carries the stress: the machine stops
      // there rather than passing on to earlier vowels (baleai, folheei).
      if (among("aeo", c)) { record(at); return kStop; }
      if (c == 'u') return 21;
      return kStop;
    case 30:
      if (among(kMachineVowels, c)) { record(at); return kStop; }
      return 30;
    case 40:
      if (among("iou", c)) { record(at); return kStop; }
      if (among("ae", c)) { record(at); return 1; }
      return 0;
    default:
      return kStop;
  }
}

}  // namespace

int stressPosition(std::string_view word) {
  const std::string lower = tts::lowerText(word);
  const int length = static_cast<int>(lower.size());
  for (int at = length; at >= 1; --at) {
    if (among(kStressAccents, lower[static_cast<size_t>(at - 1)])) return at;
  }
  if (lower.find_first_of(kMachineVowels) == std::string::npos) return 0;
  int result = 0;
  int state = 0;
  for (int at = length; at >= 1 && state != kStop; --at) {
    const size_t i = static_cast<size_t>(at - 1);
    const char before = at > 1 ? lower[i - 1] : 0;
    const char after = at < length ? lower[i + 1] : 0;
    state = step(state, lower[i], before, after, at, &result);
  }
  // A u before "in" or "im" and a consonant is a vowel of its own, and the
  // nasal i after it is the stressed one: incluindo, construindo.
  const size_t r = static_cast<size_t>(result);
  if (result > 0 && r + 2 < lower.size() && lower[r - 1] == 'u' && lower[r] == 'i' &&
      among("nm", lower[r + 1]) && tts::isConsonantLetter(static_cast<unsigned char>(lower[r + 2]))) {
    return result + 1;
  }
  return result;
}
