// Screen review: reading out whatever the window shows, from any field.
#ifndef TALONIX_SPEECH_SCREEN_REVIEW_H_
#define TALONIX_SPEECH_SCREEN_REVIEW_H_

// Lets the user walk the screen and hear it; returns to the caller.
void reviewScreen();

#endif  // TALONIX_SPEECH_SCREEN_REVIEW_H_
