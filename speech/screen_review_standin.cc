// Stand-in until screen review is built: the user hears that it is not
// available yet, and editing goes on.
#include "speech/screen_review.h"

#include "speech/speech.h"

// Stand-in until screen review is built.
void reviewScreen() {
  speakText("Revis\xE3o de tela ainda n\xE3o dispon\xEDvel");
}
