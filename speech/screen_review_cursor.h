// The review cursor of one reviewScreen call and the reading it does,
// shared by the review's modules. Positions are 1-based: row 1..25, col
// 1..81 (81 = just past the last column); a key may push them one beyond
// before the loop clamps them.
#ifndef TALONIX_SPEECH_SCREEN_REVIEW_CURSOR_H_
#define TALONIX_SPEECH_SCREEN_REVIEW_CURSOR_H_

#include <cstdint>
#include <string>

struct ReviewCursor {
  int row = 1, col = 1;
  int first = 1, last = 1;  // the current field's ends
};

// Cells as the review sees them: outside the grid a blank with attribute 0.
uint8_t reviewChar(int col, int row);
// Review word characters: ASCII letters and digits and the accented
// letters of Portuguese (and ñ), both cases.
bool isReviewWordChar(uint8_t c);
bool isFieldSeparator(uint8_t c);

// first and last of the field around the cursor.
void findField(ReviewCursor& r);
// col := one past the last non-blank cell of the row (1 for a blank row).
void goToLineEnd(ReviewCursor& r);
// Reads the word at the cursor and leaves col just after it.
void readWordAtCursor(ReviewCursor& r);
// Reads from (r1, c1) to (r2, c2), rows and columns inclusive; with
// `restore` the cursor returns to where it was.
void readRange(ReviewCursor& r, int r1, int c1, int r2, int c2, bool restore);
// Whole row (TL) and whole field (TC).
void readWholeRow(ReviewCursor& r);
void readWholeField(ReviewCursor& r);
// Two-letter range command: `letter` already read, the second key read here.
void rangeCommand(ReviewCursor& r, uint8_t letter);
void previousReviewWord(ReviewCursor& r);
void nextReviewWord(ReviewCursor& r);

// The next key: its byte, with *code the extended code after a 0 byte.
// The window's focus signals are not keys and are passed over.
uint8_t readReviewKey(uint8_t* code);

// beep, click, beep: a key or letter the review does not know.
void errorSignal();

#endif  // TALONIX_SPEECH_SCREEN_REVIEW_CURSOR_H_
