// Configuring the current bank: its ledger file, the year and orientation
// flags, and the print positions, moved millimetre by millimetre against a
// printed model the user measures with a ruler. Everything is saved at the
// end, in one go.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>
#include <string>

#include "app/bank_records.h"
#include "app/catalogue.h"
#include "app/cheques.h"
#include "app/config_menu.h"
#include "app/ledger_file.h"
#include "console/console.h"
#include "speech/forms.h"
#include "speech/line_editor.h"
#include "speech/menus.h"
#include "speech/speech.h"

namespace {

struct FieldItem {
  const char* identifier;
  int point;  // index of the layout point it moves
};

// The points the user can move, in the order offered; the general
// adjustment (point 0) is set in the form instead.
const FieldItem kFieldItems[] = {
    {"CHVALOR", 1}, {"CHEXT1", 2},  {"CHEXT2", 3},  {"CHFAVORE", 4}, {"CHCIDADE", 5},
    {"CHDIA", 6},   {"CHMES", 7},   {"CHANO", 8},   {"CHCRUZ1", 9},  {"CHCRUZ2", 10},
};
constexpr int kFieldMenuWidth = 23;

enum Direction { kNone = 0, kLeft, kRight, kUp, kDown };
const char* const kDirectionItems[4] = {"CHESQ", "CHDIR", "CHCIMA", "CHBAIXO"};
constexpr int kDirectionMenuWidth = 8;

bool isYes(uint8_t key) { return std::toupper(key) == 'S'; }
bool isNo(uint8_t key) { return std::toupper(key) == 'N'; }

// a + b, held within 32 bits.
int32_t shifted(int32_t a, int64_t b) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{a} + b,
                                                  std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

void offerLedgerChange() {
  speakMessage("CHARQATU", 1);
  writeLineSpeak(currentBank().ledgerFile);
  speakMessage("CHDESALT", 0);
  const uint8_t key = readKeyEcho();
  writeLineEnd();
  writeLineEnd();
  if (!isYes(key)) return;
  speakMessage("CHDIGNOM", 1);
  std::string typed;
  readLineSpoken(typed);
  const std::string name = typedFileName(typed);
  if (name.empty()) {
    speakMessage("CHDESIST", 1);
    return;
  }
  currentBank().ledgerFile = resolveLedgerPath(name);
  createLedgerFile();
  speakMessage("CHOK", 2);
}

void moveOnePoint(LayoutPoint& point) {
  speakMessage("CHATUALM", 0);
  writeSpeakNumber(point.x);
  writeText(", ");
  writeSpeakNumber(point.y);
  writeLineEnd();
  speakMessage("CHSELDSL", 1);
  beginMenu(cursorColumn(), cursorRow(), kDirectionMenuWidth);
  for (const char* id : kDirectionItems) addMenuItem(id, messageText(id));
  const int direction = runMenu(0);
  // No direction, nothing to move: the millimetres are not asked.
  if (direction < kLeft || direction > kDown) return;
  speakMessage("CHINFMIL", 0);
  int mm = 0;
  readNumberSpoken(mm);
  writeLineEnd();
  switch (direction) {
    case kLeft: point.x = shifted(point.x, -int64_t{mm}); break;
    case kRight: point.x = shifted(point.x, mm); break;
    case kUp: point.y = shifted(point.y, -int64_t{mm}); break;
    case kDown: point.y = shifted(point.y, mm); break;
    default: break;
  }
  speakMessage("CHOK", 1);
}

void adjustPositions() {
  constexpr int kItemCount = sizeof kFieldItems / sizeof kFieldItems[0];
  for (;;) {
    clearScreen();
    speakMessage("CHDESAJU", 1);
    speakMessage("CHTERESC", 2);
    beginMenu(cursorColumn(), cursorRow(), kFieldMenuWidth);
    for (const FieldItem& item : kFieldItems)
      addMenuItem(item.identifier, messageText(item.identifier));
    const int chosen = runMenu(0);
    writeLineEnd();
    if (chosen < 1 || chosen > kItemCount) {
      speakMessage("CHPOSALT", 2);
      return;
    }
    moveOnePoint(*layoutPoint(currentBank().layout, kFieldItems[chosen - 1].point));
  }
}

void editPrintSettings() {
  BankProfile& bank = currentBank();
  bool restore = false;
  clearScreen();
  speakMessage("CHCNFIMP", 2);
  speakMessage("CHPFMESC", 2);
  beginForm();
  addYesNoField("CHANO4", messageText("CHANO4"), bank.yearFourDigits);
  addYesNoField("CHIMPDEI", messageText("CHIMPDEI"), bank.printLyingDown);
  addYesNoField("CHRESTAU", messageText("CHRESTAU"), restore);
  addIntegerField("CHMILDIR", messageText("CHMILDIR"), bank.layout.adjustment.x);
  addIntegerField("CHMILBAI", messageText("CHMILBAI"), bank.layout.adjustment.y);
  runForm(true);
  // The factory values, the general adjustment's included, win over what
  // the form said.
  if (restore) setFactoryPositions();
  writeLineEnd();
  speakMessage("CHAJUSP", 1);
  speakMessage("CHREGUA", 1);
  for (;;) {
    writeLineEnd();
    // Asked even when nothing was printed: the positions can still be
    // moved by their millimetres without a working printer.
    printTestCheque();
    speakMessage("CHMODOK", 0);
    const uint8_t key = readKeyEcho();
    writeLineEnd();
    if (!isNo(key)) return;
    adjustPositions();
  }
}

}  // namespace

void configureCurrentBank() {
  // With no current bank nothing could be saved: say so rather than
  // pretend to configure.
  if (currentBankName().empty()) {
    speakMessage("CHCNFNOV", 1);
    return;
  }
  writeLineEnd();
  beep();
  offerLedgerChange();
  speakMessage("CHCNFPOS", 0);
  const uint8_t key = readKeyEcho();
  writeLineEnd();
  if (!isNo(key)) editPrintSettings();
  writeLineEnd();
  saveBank(currentBankName());
  speakMessage("CHOKCONF", 1);
}
