// Screen review: the user walks a review cursor over the 80 x 25 grid by
// character, word, field, line and screen and hears what it passes, can
// search the screen, jump to a row and column and copy the whole screen.
// The screen itself is never changed. Entered from the line editor
// (Ctrl+Alt+F9) and left with Esc; the console cursor follows the review
// cursor meanwhile and is put back on exit.
#ifndef TALONIX_SPEECH_SCREEN_REVIEW_H_
#define TALONIX_SPEECH_SCREEN_REVIEW_H_

#include <string>

// The text of the last search, kept for the whole run of the program.
struct ScreenReviewState {
  std::string searchText;
};

ScreenReviewState& screenReviewState();
void resetScreenReview();

// Runs the mode until Esc, then returns to the caller.
void reviewScreen();

#endif  // TALONIX_SPEECH_SCREEN_REVIEW_H_
