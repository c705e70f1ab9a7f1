// The text steps of the letter-to-sound stage: the ASCII form of the text,
// its words, their exceptions, and the whole transcription.
#include <algorithm>

#include "synth/diphone_chars.h"
#include "synth/diphone_rules.h"

using l2s::isAccentMark;
using l2s::isConsonant;
using l2s::isLetter;
using l2s::isPauseMark;
using l2s::isVowel;
using l2s::lowerAscii;

namespace {

// Windows-1252 192..223, and 224..255 alike: nullptr has no plain form.
constexpr const char* kLatinLetters[32] = {
    "a`", "a'", "a^", "a~", "a~", "a",  "ae", "ss",  // 192 A grave .. C cedilla
    "e`", "e'", "e^", "e\"", "i`", "i'", "i^", "i\"",
    nullptr, "nh", "o`", "o'", "o^", "o~", "o`", "x",  // 208 Eth .. times
    "0", "u`", "u'", "u^", "u", nullptr, nullptr, nullptr};

// 128..191: the DOS code page 850 letters up to 175, then the few
// Windows-1252 signs that have a plain form.
constexpr const char* kHighCodes[64] = {
    "ss", "u\"", "e'", "a^", "a~", "a`", "a'", "ss",  // 128
    "e^", "e\"", "e`", "i\"", "i^", "i`", "a~", "a'",  // 136
    "e'", "ae", "-", "o^", "o~", "o`", "u^", "u`",  // 144
    "y-", "o~", "u\"", nullptr, nullptr, nullptr, nullptr, nullptr,  // 152
    "a'", "i'", "o'", "u'", "nh", "nh", nullptr, "\xA7",  // 160
    "?", nullptr, nullptr, "\xAA", nullptr, "!", "\"", "\"",  // 168
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, "\xBA", nullptr, nullptr, nullptr, "?"};  // 184

const char* plainForm(unsigned char code) {
  if (code >= 192) return kLatinLetters[(code - 192) % 32];
  return kHighCodes[code - 128];
}

bool besideLetter(std::string_view text, size_t i) {
  return (i > 0 && isLetter(text[i - 1])) ||
         (i + 1 < text.size() && isLetter(text[i + 1]));
}

void countWord(DiphoneWord* word) {
  word->vowels = 0;
  word->accented = false;
  for (const char c : word->text) {
    if (isVowel(c)) ++word->vowels;
    if (isAccentMark(c) && c != '"') word->accented = true;
  }
}

const DiphoneException* findException(std::string_view word) {
  const std::vector<DiphoneException>& table = diphoneRulesState().exceptions;
  const auto at = std::lower_bound(
      table.begin(), table.end(), word,
      [](const DiphoneException& e, std::string_view w) { return e.word < w; });
  return at != table.end() && at->word == word ? &*at : nullptr;
}

// Spelled, not read: consonants and pause marks only, or the marker of a
// character without a plain form.
bool spelledWord(std::string_view word) {
  if (!word.empty() && word[0] == kUnspeakable) return true;
  return std::all_of(word.begin(), word.end(),
                     [](char c) { return isConsonant(c) || isPauseMark(c); });
}

}  // namespace

std::string prepareText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const unsigned char code = static_cast<unsigned char>(c);
    const char* plain = code >= 128 ? plainForm(code) : nullptr;
    if (plain != nullptr) {
      out += plain;
    } else if (code < 32 || code >= 128) {
      out += ' ';
      out += kUnspeakable;
      out += ' ';
    } else if (c == '\'' && i > 0 && lowerAscii(text[i - 1]) == 'd') {
      // d'agua is one word, as it is said.
    } else if (lowerAscii(c) == 'w' && besideLetter(text, i)) {
      out += 'u';
    } else if (lowerAscii(c) == 'y' && besideLetter(text, i)) {
      out += 'i';
    } else {
      out += c;
    }
  }
  return out;
}

bool nextWord(std::string_view prepared, size_t* pos, DiphoneWord* word) {
  size_t i = *pos;
  while (i < prepared.size() && prepared[i] == ' ') ++i;
  *pos = i;
  if (i >= prepared.size()) return false;
  word->text.clear();
  word->vowels = 0;
  word->accented = false;
  const char first = lowerAscii(prepared[i]);
  if (!isLetter(first)) {
    word->text = first;
    *pos = i + 1;
    return true;
  }
  while (i < prepared.size() && word->text.size() < kWordMax &&
         (isLetter(prepared[i]) || isAccentMark(prepared[i]))) {
    const char c = lowerAscii(prepared[i++]);
    if (isVowel(c)) ++word->vowels;
    if (isAccentMark(c) && c != '"') word->accented = true;
    word->text += c;
  }
  *pos = i;
  return true;
}

void replaceFromExceptions(DiphoneWord* word) {
  if (diphoneRulesState().exceptions.empty()) return;
  std::string_view stem = word->text;
  while (!stem.empty()) {
    if (const DiphoneException* e = findException(stem)) {
      // The final s and m set aside are the rest of the word's text.
      word->text = e->replacement + word->text.substr(stem.size());
      countWord(word);
      return;
    }
    if (stem.back() != 's' && stem.back() != 'm') return;
    stem.remove_suffix(1);
  }
}

std::string spellWord(std::string_view word) {
  std::string out;
  out.reserve(word.size() * 6);
  for (const char c : word) {
    out += "[ /_";
    out += c;
    out += ']';
  }
  return out;
}

std::string transcribeForDiphones(std::string_view text) {
  const std::string prepared = prepareText(text);
  DiphoneWord& word = diphoneRulesState().word;
  std::string result;
  size_t pos = 0;
  while (nextWord(prepared, &pos, &word)) {
    replaceFromExceptions(&word);
    markStress(&word);
    result += spelledWord(word.text) ? spellWord(word.text)
                                     : applyDiphoneRules(word.text);
  }
  return result;
}
