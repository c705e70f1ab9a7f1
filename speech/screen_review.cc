// The screen review's key loop: entry and exit, the moves, the search,
// going to a row and column, and copying the screen.
#include "speech/screen_review.h"

#include <string>

#include "console/console.h"
#include "console/keyboard.h"
#include "console/keys.h"
#include "speech/screen_review_cursor.h"
#include "speech/speech.h"

namespace {

ScreenReviewState state;

constexpr int kLastCol = kConsoleColumns;
constexpr uint8_t kKeyCtrlL = 12;

bool isDigitKey(uint8_t c) { return c >= '0' && c <= '9'; }

void copyScreen() {
  std::string text;
  text.reserve(kConsoleRows * (kConsoleColumns + 2));
  for (int row = 1; row <= kConsoleRows; ++row) {
    for (int col = 1; col <= kConsoleColumns; ++col) {
      text += static_cast<char>(reviewChar(col, row));
    }
    text += "\r\n";
  }
  copyToClipboard(text.c_str());
}

// Fields part at a separator, which Tab and Shift+Tab step over, or where
// the colour changes, where the next field begins at once.
int fieldGap(int col, int row) { return isFieldSeparator(reviewChar(col, row)) ? 2 : 1; }

void speakPosition(const ReviewCursor& r) {
  speakText(std::to_string(r.row) + " " + std::to_string(r.col));
}

// F6: two digits of row, two of column, each spoken; anything else gives
// up with two beeps and leaves the cursor where it was.
void goToPosition(ReviewCursor& r) {
  speakText("Entre linha e coluna");
  int digits[4];
  for (int& d : digits) {
    const uint8_t key = readReviewKey(nullptr);
    if (!isDigitKey(key)) {
      beep();
      beep();
      return;
    }
    speakChar(key);
    d = key - '0';
  }
  r.row = digits[0] * 10 + digits[1];
  r.col = digits[2] * 10 + digits[3];
}

// The search text typed key by key; false when Esc gave up.
bool readSearchText() {
  std::string& text = state.searchText;
  text.clear();
  for (;;) {
    uint8_t code = 0;
    const uint8_t key = readReviewKey(&code);
    stopSpeech();
    if (key == kKeyEsc) return false;
    if (key == kKeyEnter) return true;
    if (key == kKeyExtended) {
      beep();  // arrows and F-keys are no text
    } else if (key == kKeyBackspace) {
      if (text.empty()) continue;
      speakSound("_DEL");
      speakChar(static_cast<uint8_t>(text.back()));
      text.pop_back();
    } else {
      text += static_cast<char>(key);
      speakChar(key);
    }
  }
}

// From the review row down; on the review row only what begins after the
// review column counts. An empty text is found nowhere.
void search(ReviewCursor& r) {
  const std::string& wanted = state.searchText;
  for (int row = r.row; row <= kConsoleRows && !wanted.empty(); ++row) {
    std::string cells;
    for (int col = 1; col <= kLastCol; ++col) cells += static_cast<char>(reviewChar(col, row));
    const size_t from = row == r.row ? static_cast<size_t>(r.col) : 0;
    const size_t at = from < cells.size() ? cells.find(wanted, from) : std::string::npos;
    if (at != std::string::npos) {
      r.row = row;
      r.col = static_cast<int>(at) + 1;
      click();
      return;
    }
  }
  beep();
  beep();
}

// Ctrl+PgUp / Ctrl+PgDn: the first or last ASCII letter on the screen.
bool goToLetter(ReviewCursor& r, bool last) {
  for (int i = 0; i < kConsoleRows * kConsoleColumns; ++i) {
    const int cell = last ? kConsoleRows * kConsoleColumns - 1 - i : i;
    const int row = cell / kConsoleColumns + 1, col = cell % kConsoleColumns + 1;
    uint8_t c = reviewChar(col, row);
    if (c >= 'a' && c <= 'z') c = static_cast<uint8_t>(c - 32);
    if (c >= 'A' && c <= 'Z') {
      r.row = row;
      r.col = col;
      return true;
    }
  }
  return false;
}

void moveLeft(ReviewCursor& r) {
  if (r.col > 1) {
    speakChar(reviewChar(r.col - 1, r.row));
  } else {
    beep();
  }
  --r.col;
}

void moveRight(ReviewCursor& r) {
  if (r.col <= kLastCol + 1) {
    speakChar(reviewChar(r.col, r.row));
  } else {
    beep();
  }
  ++r.col;
}

// Up, Down and the page keys land on column 1 and read the row.
void moveToRow(ReviewCursor& r, int row) {
  r.col = 1;
  if (row < 1 || row > kConsoleRows) {
    beep();
    r.row = row < 1 ? 1 : kConsoleRows;
    return;
  }
  r.row = row;
  readWholeRow(r);
}

void wordKey(ReviewCursor& r) {
  if (!(keyAvailable() && speechState().engineActive)) readWordAtCursor(r);
  if (r.col >= kLastCol) {
    click();
    goToLineEnd(r);
  }
}

void actOnExtended(ReviewCursor& r, uint8_t code) {
  switch (code) {
    case kKeyShiftTab:
      findField(r);
      r.col = r.first - fieldGap(r.first - 1, r.row);
      click();
      break;
    case kKeyF1: wordKey(r); break;
    case kKeyF5:
      speakText("Qual texto");
      if (readSearchText()) search(r);
      break;
    case kKeyF6: goToPosition(r); break;
    case kKeyHome: r.col = 1; break;
    case kKeyUp: moveToRow(r, r.row - 1); break;
    case kKeyPgUp: moveToRow(r, 1); break;
    case kKeyLeft: moveLeft(r); break;
    case kKeyRight: moveRight(r); break;
    case kKeyEnd: goToLineEnd(r); break;
    case kKeyDown:
      click();
      moveToRow(r, r.row + 1);
      break;
    case kKeyPgDn: moveToRow(r, kConsoleRows); break;
    case kKeyCtrlF1: readWholeField(r); break;
    case kKeyCtrlF5: search(r); break;
    case kKeyCtrlLeft: previousReviewWord(r); break;
    case kKeyCtrlRight: nextReviewWord(r); break;
    case kKeyCtrlPgDn:
    case kKeyCtrlPgUp:
      if (goToLetter(r, code == kKeyCtrlPgDn)) {
        readWholeRow(r);
      } else {
        beep();  // nothing but blanks and signs on the screen
      }
      break;
    default: errorSignal(); break;
  }
}

// False when the key was Esc.
bool actOnKey(ReviewCursor& r, uint8_t key) {
  switch (key) {
    case kKeyCtrlC: copyScreen(); break;
    case kKeyBackspace: moveLeft(r); break;
    case kKeyTab:
      findField(r);
      r.col = r.last + fieldGap(r.last + 1, r.row);
      if (r.col > kLastCol) {
        goToLineEnd(r);
      } else {
        click();
      }
      break;
    case kKeyCtrlK:
    case kKeyCtrlL: speakPosition(r); break;
    case kKeyEnter:
      ++r.row;
      r.col = 1;
      click();
      break;
    case kKeyEsc: return false;
    case kKeySpace: readWholeRow(r); break;
    default:
      if ((key >= 'A' && key <= 'Z') || (key >= 'a' && key <= 'z')) {
        rangeCommand(r, key);
      } else {
        errorSignal();
      }
      break;
  }
  return true;
}

// Moves beyond the grid beep (which drops type-ahead) and stop at its edge.
void clamp(ReviewCursor& r) {
  if (r.col < 1) {
    beep();
    r.col = 1;
  }
  if (r.col > kLastCol + 1) {
    beep();
    r.col = kLastCol;
  }
  if (r.row < 1) {
    beep();
    r.row = 1;
  }
  if (r.row > kConsoleRows) {
    beep();
    r.row = kConsoleRows;
  }
}

}  // namespace

ScreenReviewState& screenReviewState() { return state; }
void resetScreenReview() { state = ScreenReviewState{}; }

void reviewScreen() {
  beep();
  ReviewCursor r;
  r.row = cursorRow();
  r.col = cursorColumn();
  const int savedRow = r.row, savedCol = r.col;
  for (;;) {
    moveCursor(r.col, r.row);
    uint8_t code = 0;
    const uint8_t key = readReviewKey(&code);
    stopSpeech();  // every key silences what the last one started
    const bool stay = key == kKeyExtended ? (actOnExtended(r, code), true) : actOnKey(r, key);
    if (!stay) break;
    clamp(r);
  }
  beep();
  beep();
  moveCursor(savedCol, savedRow);
}
