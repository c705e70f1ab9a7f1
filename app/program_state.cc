// Every process-wide record of the program, back to its state at program
// start: runTalonix begins with it, and tests start from it.
#include "app/bank_records.h"
#include "app/browser.h"
#include "app/cheques.h"
#include "app/ledger.h"
#include "app/program.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "speech/forms.h"
#include "speech/menus.h"
#include "speech/screen_review.h"
#include "speech/speech.h"
#include "synth/synth.h"

void resetProgramState() {
  resetConsole();
  resetKeyboard();
  resetSynth();
  resetSpeech();
  resetForms();
  resetMenus();
  resetScreenReview();
  resetBankRecords();
  resetLedger();
  resetBrowser();
  resetCheque();
}
