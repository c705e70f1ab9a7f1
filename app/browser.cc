// The browse command and the browser's key loop.
#include "app/browser.h"

#include <algorithm>
#include <array>

#include "app/bank_records.h"
#include "app/catalogue.h"
#include "app/commands.h"
#include "app/entry_form.h"
#include "app/ledger.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "console/scoped_value.h"
#include "console/keys.h"
#include "platform/platform.h"
#include "speech/line_editor.h"
#include "speech/speech.h"

namespace {

BrowserState state;

bool isEntry(size_t i) { return i >= 1 && i <= ledgerCount(); }

// A key pressed now is left in the queue as the next command.
void waitForKey() {
  while (!keyAvailable()) plat::window().waitEvent();
  state.keyKept = true;
}

void clearPromptLine() {
  moveCursor(1, kBrowserPromptRow);
  clearToLineEnd();
}

int currentRow() {
  const long row = static_cast<long>(state.current) -
                   static_cast<long>(state.firstShown) + kBrowserListRow;
  return static_cast<int>(std::clamp<long>(row, 1, kConsoleRows));
}

void keepCurrentShown() {
  if (state.current < state.firstShown) {
    state.firstShown = std::max<size_t>(state.current, 1);
  }
  const size_t last = state.firstShown + kBrowserListRows - 1;
  if (last < state.current) {
    state.firstShown = std::min(state.current - (kBrowserListRows - 1),
                                std::max<size_t>(ledgerCount(), 1));
  }
}

// The form leaves its own lines on the screen; the browser redraws all.
void editCurrent() {
  if (!isEntry(state.current)) return;
  LedgerEntry copy = ledgerEntry(state.current);
  if (editEntry(copy)) replaceLedgerEntry(state.current, copy);
  sortLedger();
  clearScreen();
}

void addNewEntry() {
  LedgerEntry entry;
  entry.date = todayDateText();
  if (editEntry(entry)) {
    addLedgerEntry(entry);
    sortLedger();
  }
  clearScreen();
}

void removeCurrent() {
  if (!isEntry(state.current)) return;
  clearPromptLine();
  speakMessage("CHCNFREM", 0);
  const uint8_t key = readKeyEcho();
  writeLineEnd();
  if (key == 'S' || key == 's') {
    removeLedgerEntry(state.current);
    return;
  }
  clearPromptLine();
  speakMessage("CHDESIST", 0);
}

void searchFrom(size_t from) {
  const size_t found = findEntry(from, state.searchText);
  clearPromptLine();
  if (found != 0) {
    speakMessage("CHACHOU", 0);
    state.current = found;
    return;
  }
  speakMessage("CHNAOACH", 0);
  waitForKey();
}

void search() {
  clearPromptLine();
  speakMessage("CHTXTBUS", 0);
  readLineSpoken(state.searchText);
  if (!state.searchText.empty()) searchFrom(std::max<size_t>(state.current, 1));
}

// Without an earlier search text there is nothing to look for again: ask.
void searchAgain() {
  if (state.searchText.empty()) {
    search();
    return;
  }
  searchFrom(state.current + 1);
}

void finalBalance() {
  const std::string text = spokenAmount(formatAmount(balanceUpTo(ledgerCount())));
  clearPromptLine();
  speakMessage("CHSALFIN", 0);
  writeLineSpeak(text);
  waitForKey();
}

enum class Outcome { kMoved, kDetailsSpoken, kHelpShown, kLeave };

Outcome actOnPlainKey(uint8_t key) {
  if (key >= 'a' && key <= 'z') key = static_cast<uint8_t>(key - 32);
  switch (key) {
    case kKeyEnter:
    case kKeySpace:
      if (!isEntry(state.current)) return Outcome::kMoved;
      speakDetails(state.current);
      return Outcome::kDetailsSpoken;
    case kKeyEsc: return Outcome::kLeave;
    case 'E': editCurrent(); break;
    case 'N': addNewEntry(); break;
    case 'P': search(); break;
    case 'R': removeCurrent(); break;
    case 'S': finalBalance(); break;
    default: break;
  }
  return Outcome::kMoved;
}

Outcome actOnExtendedKey(uint8_t code) {
  const size_t count = ledgerCount();
  size_t& c = state.current;
  switch (code) {
    case kKeyF5: search(); break;
    case kKeyCtrlF5: searchAgain(); break;
    case kKeyF7: removeCurrent(); break;
    case kKeyF1: showBrowserHelp(); return Outcome::kHelpShown;
    case kKeyUp: c = c > 0 ? c - 1 : 0; break;
    case kKeyDown: c = std::min(c + 1, count + 1); break;
    case kKeyPgUp: c = c > 10 ? c - 10 : 0; break;
    case kKeyPgDn: c = std::min(c + 10, count + 1); break;
    case kKeyCtrlPgUp: c = 1; break;
    case kKeyCtrlPgDn: c = count; break;
    default: break;
  }
  return Outcome::kMoved;
}

}  // namespace

BrowserState& browserState() { return state; }
void resetBrowser() { state = BrowserState{}; }

size_t findEntry(size_t from, std::string_view text) {
  const std::string wanted = upperText(text);
  for (size_t i = std::max<size_t>(from, 1); i <= ledgerCount(); ++i) {
    const LedgerEntry& e = ledgerEntry(i);
    const std::array<const std::string*, 8> fields = {
        &e.date,         &e.documentType,   &e.value, &e.debitCredit,
        &e.serialNumber, &e.documentNumber, &e.payee, &e.purpose};
    for (const std::string* field : fields) {
      if (upperText(*field).find(wanted) != std::string::npos) return i;
    }
  }
  return 0;
}

void runBrowser() {
  state = BrowserState{};
  state.attribute = currentAttribute();
  clearScreen();
  drawBrowserHeader();
  drawDetailPane(0);
  for (;;) {
    drawListRows();
    moveCursor(1, currentRow());
    const uint8_t key = readKey();
    state.keyKept = false;
    const Outcome outcome =
        key == kKeyExtended ? actOnExtendedKey(readKey()) : actOnPlainKey(key);
    if (outcome == Outcome::kLeave) break;
    state.detailsSpoken = outcome == Outcome::kDetailsSpoken;
    keepCurrentShown();
    // The help stays below the list until the next key, and its speech is
    // not talked over by a summary.
    if (outcome != Outcome::kHelpShown) drawDetailPane(state.current);
    if (!isEntry(state.current)) {
      // The attention tone drops type-ahead; the key that ended a wait
      // must survive it.
      if (!(state.keyKept && keyAvailable())) beep();
    } else if (!state.detailsSpoken && outcome != Outcome::kHelpShown) {
      drawListRows();
      speakSummary(state.current);
    }
    drawBrowserHeader();
  }
  setAttribute(state.attribute);
  clearScreen();
}

// After a failed load the list is empty and cannot be saved, so whatever
// the user did in the browser would be lost: the command ends at once,
// after the load's own message, and the file stays as it was.
void browseEntries() {
  if (currentBank().ledgerFile.empty()) {
    speakMessage("CHARQNDF", 1);
    return;
  }
  if (!loadLedger()) {
    resetLedger();
    return;
  }
  sortLedger();
  // Closing the window ends the program from inside the browser: the
  // changes made so far are saved then too, as ESC would have.
  {
    ScopedValue<void (*)()> onClose(consoleState().beforeClose,
                                    [] { saveLedger(); });
    runBrowser();
  }
  saveLedger();
  resetLedger();
}
