// What the review cursor reads: the word at the cursor, fields, ranges of
// cells and the two-letter range commands, and the word moves.
#include <string>
#include <string_view>

#include "console/console.h"
#include "console/keyboard.h"
#include "console/keys.h"
#include "speech/screen_review_cursor.h"
#include "speech/speech.h"

namespace {

constexpr int kLastCol = kConsoleColumns;  // 80
constexpr int kPastEnd = kConsoleColumns + 1;

bool isBlankCell(int col, int row) { return reviewChar(col, row) == ' '; }

bool isReviewConsonant(uint8_t c) {
  if (c >= 'a' && c <= 'z') c = static_cast<uint8_t>(c - 32);
  return c >= 'B' && c <= 'Z' && c != 'E' && c != 'I' && c != 'O' && c != 'U';
}

bool allConsonants(std::string_view text) {
  for (char c : text) {
    if (!isReviewConsonant(static_cast<uint8_t>(c))) return false;
  }
  return true;
}

// The cells from..to of a row as one text.
std::string rowText(int row, int from, int to) {
  std::string text;
  for (int c = from; c <= to; ++c) text += static_cast<char>(reviewChar(c, row));
  return text;
}

void skipBlanks(ReviewCursor& r) {
  while (r.col <= kLastCol && isBlankCell(r.col, r.row)) ++r.col;
}

// One row of a range from r.col to `lastCol`; false when a key cut it.
bool readRowPart(ReviewCursor& r, int lastCol) {
  if (speechState().engineActive) {
    if (r.col <= lastCol) speakText(rowText(r.row, r.col, lastCol));
  } else {
    // Blanks are passed before the range's end is looked at, so a range
    // ending at the cursor does not read the word after it.
    for (;;) {
      skipBlanks(r);
      if (r.col > lastCol || keyAvailable()) break;
      readWordAtCursor(r);
    }
  }
  return !keyAvailable();
}

}  // namespace

uint8_t reviewChar(int col, int row) { return screenCharAt(col, row); }

bool isReviewWordChar(uint8_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
    return true;
  // à á â ã ç é ê í ñ ó ô õ ú, and the capitals 32 below them.
  static constexpr std::string_view kAccented =
      "\xE0\xE1\xE2\xE3\xE7\xE9\xEA\xED\xF1\xF3\xF4\xF5\xFA";
  if (c >= 0xC0 && c <= 0xDF) c = static_cast<uint8_t>(c + 32);
  return c >= 0xE0 && kAccented.find(static_cast<char>(c)) != std::string_view::npos;
}

// Besides the marks, the symbols 176..191 and the multiplication sign; the
// capital letters in 192..223 are letters in Windows-1252, not lines.
bool isFieldSeparator(uint8_t c) {
  if (c == '!' || c == ':' || c == '?' || c == '|') return true;
  return (c >= 176 && c <= 191) || c == 215;
}

void findField(ReviewCursor& r) {
  const uint8_t attr = screenAttrAt(r.col, r.row);
  auto inField = [&](int c) {
    return screenAttrAt(c, r.row) == attr && !isFieldSeparator(reviewChar(c, r.row));
  };
  r.first = r.last = r.col;
  if (!inField(r.col)) return;  // a separator is a field of its own
  while (r.first > 1 && inField(r.first - 1)) --r.first;
  while (r.last < kLastCol && inField(r.last + 1)) ++r.last;
}

void goToLineEnd(ReviewCursor& r) {
  int c = kLastCol;
  while (c >= 1 && isBlankCell(c, r.row)) --c;
  r.col = c + 1;
}

void readWordAtCursor(ReviewCursor& r) {
  while (r.col < kLastCol && isBlankCell(r.col, r.row)) ++r.col;
  // A character in the last column is read too; past it there is nothing.
  if (r.col > kLastCol || isBlankCell(r.col, r.row)) return;
  std::string text(1, static_cast<char>(reviewChar(r.col, r.row)));
  ++r.col;
  while (r.col <= kLastCol && isReviewWordChar(reviewChar(r.col, r.row))) {
    text += static_cast<char>(reviewChar(r.col, r.row));
    ++r.col;
  }
  moveCursor(r.col, r.row);
  if (text.size() == 1) {
    // A run such as "-----" is heard as at most three of its character.
    int copies = 1;
    while (r.col <= kLastCol && reviewChar(r.col, r.row) == static_cast<uint8_t>(text[0])) {
      if (++copies <= 3) text += text[0];
      ++r.col;
    }
    moveCursor(r.col, r.row);
    speakText(text);
  } else if (allConsonants(text)) {
    spellText(text);  // abbreviations are spelled
  } else {
    speakText(text);
  }
}

void readRange(ReviewCursor& r, int r1, int c1, int r2, int c2, bool restore) {
  const ReviewCursor before = r;
  if (r1 == r2 && c2 < c1) {
    beep();  // an empty range
  } else {
    r.col = c1;
    for (int row = r1; row <= r2; ++row) {
      r.row = row;
      if (!readRowPart(r, row == r2 ? c2 : kLastCol)) break;
      r.col = 1;
      click();
    }
  }
  isSpeaking();  // a waiting key silences what still sounds
  if (c2 >= kLastCol) goToLineEnd(r);
  if (restore) r = before;
}

void readWholeRow(ReviewCursor& r) { readRange(r, r.row, 1, r.row, kLastCol, true); }

void readWholeField(ReviewCursor& r) {
  findField(r);
  readRange(r, r.row, r.first, r.row, r.last, true);
}

void rangeCommand(ReviewCursor& r, uint8_t letter) {
  const uint8_t from = static_cast<uint8_t>(upperText(std::string(1, static_cast<char>(letter)))[0]);
  if (from != 'I' && from != 'T' && from != 'L' && from != 'F') {
    errorSignal();
    return;
  }
  uint8_t second = readReviewKey(nullptr);
  stopSpeech();
  if (second >= 'a' && second <= 'z') second = static_cast<uint8_t>(second - 32);
  if (second != 'T' && second != 'L' && second != 'C') {
    errorSignal();
    return;
  }
  if (second == 'C') findField(r);
  const int row = r.row, col = r.col;
  const bool whole = from == 'T' || from == 'L';
  if (second == 'T') {
    if (from == 'I') readRange(r, 1, 1, row, col - 1, false);
    if (whole) readRange(r, 1, 1, kConsoleRows, kLastCol, false);
    if (from == 'F') readRange(r, row, col, kConsoleRows, kLastCol, false);
  } else if (second == 'L') {
    readRange(r, row, from == 'F' ? col : 1, row, from == 'I' ? col - 1 : kLastCol, true);
  } else {
    readRange(r, row, from == 'F' ? col : r.first, row, from == 'I' ? col : r.last, true);
  }
}

// Starts from the cell before the cursor, so that a cursor on a word's
// first letter goes on to the word before it.
void previousReviewWord(ReviewCursor& r) {
  int c = r.col - 1;
  while (c >= 1 && isBlankCell(c, r.row)) --c;
  if (c < 1) {
    beep();
    r.col = 1;
    return;
  }
  while (c >= 1 && !isBlankCell(c, r.row)) --c;
  if (c >= 1) {
    click();
  } else {
    beep();
  }
  r.col = c + 1;
}

void nextReviewWord(ReviewCursor& r) {
  while (r.col < kPastEnd && !isBlankCell(r.col, r.row)) ++r.col;
  while (r.col < kPastEnd && isBlankCell(r.col, r.row)) ++r.col;
  if (r.col >= kPastEnd) {
    beep();
    goToLineEnd(r);
  } else {
    click();
  }
}

uint8_t readReviewKey(uint8_t* code) {
  for (;;) {
    const uint8_t key = readKey();
    if (key != kKeyExtended) return key;
    const uint8_t extended = readKey();
    if (extended == kKeyFocusGained || extended == kKeyFocusLost) continue;
    if (code) *code = extended;
    return key;
  }
}

void errorSignal() {
  beep();
  click();
  beep();
}
