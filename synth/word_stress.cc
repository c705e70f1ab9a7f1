// Finding the stressed vowel of a word without an accent: a scan from the
// end of the word through a small state machine.
#include "synth/diphone_chars.h"
#include "synth/diphone_rules.h"

using l2s::isAccentMark;
using l2s::isConsonant;
using l2s::isLiquidNasal;
using l2s::isVowel;
using l2s::lowerAscii;
using l2s::upperAscii;

namespace {

enum class Scan { kStay, kMarkHere, kMarkRight };

// The character before the i or u found, in states 3 and 8: a consonant,
// or the u of gu and qu, leaves the stress on the i or u.
bool closesHighVowel(std::string_view w, size_t i) {
  const char c = lowerAscii(w[i]);
  if (isConsonant(c)) return true;
  return c == 'u' && i > 0 &&
         (lowerAscii(w[i - 1]) == 'g' || lowerAscii(w[i - 1]) == 'q');
}

// In state 8, a vowel before an i or u that closes its syllable with a
// consonant (ai-n-da, co-i-m-bra) or an nh (ra-i-nha) leaves it the stress.
bool highVowelClosed(std::string_view w, size_t i) {
  if (i + 3 >= w.size()) return false;
  const char second = lowerAscii(w[i + 2]);
  const char third = lowerAscii(w[i + 3]);
  if (second == 'n' && third == 'h') return true;
  return isLiquidNasal(second) && isConsonant(third) && third != 'h';
}

// One step of the scan at w[i]; *state is the state before and after.
Scan step(std::string_view w, size_t i, int* state) {
  const char c = lowerAscii(w[i]);
  const bool aeo = c == 'a' || c == 'e' || c == 'o';
  const bool iu = c == 'i' || c == 'u';
  switch (*state) {
    case 0:
      if (aeo) *state = 5;
      else if (iu) *state = 3;
      else if (c == 'l' || c == 'n' || c == 'r' || c == 'x' || c == 'z') *state = 1;
      else if (c == 'm') *state = 2;
      else if (c == 's') *state = 4;
      return Scan::kStay;
    case 1:
      return isVowel(c) ? Scan::kMarkHere : Scan::kStay;
    case 2:
      if (c == 'o') return Scan::kMarkHere;
      if (c == 'a' || c == 'e') *state = 5;
      else if (iu) *state = 3;
      return Scan::kStay;
    case 3:
      return closesHighVowel(w, i) ? Scan::kMarkRight : Scan::kMarkHere;
    case 4:
      if (aeo) *state = 5;
      else if (iu) *state = 3;
      return Scan::kStay;
    case 5:
      if (aeo) return Scan::kMarkHere;
      if (iu) *state = 8;
      return Scan::kStay;
    default:  // 8
      if (closesHighVowel(w, i)) return Scan::kMarkRight;
      if ((isVowel(c) || isAccentMark(c)) && highVowelClosed(w, i))
        return Scan::kMarkRight;
      return Scan::kMarkHere;
  }
}

}  // namespace

void markStress(DiphoneWord* word) {
  std::string& w = word->text;
  if (word->accented || word->vowels == 0 || w.empty()) return;
  if (word->vowels == 1 && lowerAscii(w.back()) != 'l') return;
  int state = 0;
  for (size_t i = w.size(); i-- > 0;) {
    const Scan scan = step(w, i, &state);
    if (scan == Scan::kMarkHere) w[i] = upperAscii(w[i]);
    if (scan == Scan::kMarkRight) w[i + 1] = upperAscii(w[i + 1]);
    if (scan != Scan::kStay) return;
  }
  // An i or u first in the word (isso, uma) has nothing before it to
  // give the stress to: it keeps it, as after a consonant.
  if (state == 3 || state == 8) w[0] = upperAscii(w[0]);
}
