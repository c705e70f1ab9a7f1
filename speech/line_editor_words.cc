// Moving and deleting by word, reading the field item by item, and
// opening the word under the cursor.
#include <algorithm>
#include <string>
#include <string_view>

#include "speech/line_editor_state.h"
#include "speech/speech.h"
#include "speech/speech_services.h"

namespace {

// One past the last non-blank character, 1 when all blank.
int afterLastNonBlank(const EditState& s) {
  int p = s.maxLength;
  while (p >= 1 && isBlank(charAt(s, p))) --p;
  return p + 1;
}

bool isConsonant(uint8_t c) {
  if (c >= 'a' && c <= 'z') c = static_cast<uint8_t>(c - 32);
  return std::string_view("BCDFGHJKLMNPQRSTVXZ").find(static_cast<char>(c)) !=
             std::string_view::npos &&
         c >= 'A' && c <= 'Z';
}

// Characters stripped from both ends of a word before it is opened.
bool inLinkTrimSet(uint8_t c) {
  return std::string_view("\"(*-.<=>[_{").find(static_cast<char>(c)) !=
         std::string_view::npos;
}

std::string span(const EditState& s, int from, int to) {
  return s.text.substr(static_cast<size_t>(from - 1),
                       static_cast<size_t>(to - from));
}

}  // namespace

void nextWord(EditState& s) {
  int p = s.pos;
  if (p <= s.maxLength) {
    if (isDigit(charAt(s, p))) {
      while (p <= s.maxLength && isDigit(charAt(s, p))) ++p;
    } else {
      ++p;
      while (p <= s.maxLength && isLetter(charAt(s, p))) ++p;
    }
    while (p <= s.maxLength && isBlank(charAt(s, p))) ++p;
  }
  if (p > s.maxLength) {
    s.pos = afterLastNonBlank(s);
    beep();
  } else {
    s.pos = p;
    click();
  }
}

void previousWord(EditState& s) {
  int p = s.pos - 1;
  while (p >= 1 && isBlank(charAt(s, p))) --p;
  if (p < 1) {
    s.pos = 1;
    beep();
    return;
  }
  const uint8_t c = charAt(s, p);
  if (isDigit(c)) {
    while (p > 1 && isDigit(charAt(s, p - 1))) --p;
  } else if (isLetter(c)) {
    while (p > 1 && isLetter(charAt(s, p - 1))) --p;
  }
  s.pos = p;
  click();
}

void deleteWord(EditState& s) {
  if (s.pos > 1 && !isBlank(charAt(s, s.pos - 1))) previousWord(s);
  const int a = s.pos;
  nextWord(s);
  const int b = s.pos;
  previousWord(s);
  // The deletion runs from where the last move left the cursor up to b: on
  // "xy.zw" with the cursor on z, "zw" goes and "xy." stays. It never starts
  // before a (a cursor on blanks would otherwise eat the word before them)
  // and never reaches past b (the next word's letters stay).
  s.pos = std::max(a, s.pos);
  if (s.editable && b > s.pos) deleteAt(s, b - s.pos, true);
}

void readNextItem(EditState& s) {
  const int start = s.pos;
  int p = s.pos;
  while (p <= s.maxLength && isBlank(charAt(s, p))) ++p;
  if (p > s.maxLength) {
    beep();
    s.pos = start;
    return;
  }
  const uint8_t c = charAt(s, p);
  int q = p + 1;
  if (isDigit(c) || c == '-') {
    while (q <= s.maxLength && isDigit(charAt(s, q))) ++q;
    speakText(span(s, p, q));
  } else if (isLetter(c)) {
    bool allConsonants = isConsonant(c);
    while (q <= s.maxLength && isLetter(charAt(s, q))) {
      allConsonants = allConsonants && isConsonant(charAt(s, q));
      ++q;
    }
    // Abbreviations made only of consonants are spelled.
    if (allConsonants) {
      spellText(span(s, p, q));
    } else {
      speakText(span(s, p, q));
    }
  } else {
    spellText(span(s, p, q));
  }
  s.pos = q;
}

void openWordAtCursor(EditState& s) {
  int from = std::min(s.pos, s.maxLength);
  while (from > 1 && !isBlank(charAt(s, from - 1))) --from;
  int to = std::min(s.pos, s.maxLength + 1);
  while (to <= s.maxLength && !isBlank(charAt(s, to))) ++to;
  while (from < to && (isBlank(charAt(s, from)) || inLinkTrimSet(charAt(s, from))))
    ++from;
  while (to > from &&
         (isBlank(charAt(s, to - 1)) || inLinkTrimSet(charAt(s, to - 1))))
    --to;
  if (to <= from) {
    beep();
    return;
  }
  openLink(span(s, from, to));
}
