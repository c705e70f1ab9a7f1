// The bank-entry form and the main menu's L command.
#include "app/entry_form.h"

#include <cstdint>

#include "app/amounts.h"
#include "app/catalogue.h"
#include "app/commands.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "console/keys.h"
#include "speech/forms.h"
#include "speech/speech.h"

namespace {

struct EntryField {
  const char* identifier;  // also names the label in the catalogue
  std::string LedgerEntry::*target;
  int maxLength;
};

const EntryField kFields[] = {
    {"CHDATA", &LedgerEntry::date, 20},
    {"CHTIPDOC", &LedgerEntry::documentType, 20},
    {"CHVALDOC", &LedgerEntry::value, 20},
    {"CHDEBCRE", &LedgerEntry::debitCredit, 10},
    {"CHNUMSER", &LedgerEntry::serialNumber, 10},
    {"CHNUMDOC", &LedgerEntry::documentNumber, 10},
    {"CHFAVDOC", &LedgerEntry::payee, 50},
    {"CHFINDOC", &LedgerEntry::purpose, 50},
};

const char* const kCheckMessages[] = {"", "CHDATERR", "CHVALERR", "CHDCERR"};

void showForm(LedgerEntry& entry) {
  clearScreen();
  writeText("Talonix");
  writeLineEnd();
  writeLineEnd();
  speakMessage("CHPREFOR", 1);
  speakMessage("CHCAMOPC", 1);
  speakMessage("CHTERESC", 1);
  beginForm();
  for (const EntryField& f : kFields) {
    addTextField(f.identifier, messageText(f.identifier), entry.*f.target,
                 f.maxLength);
  }
  // Whatever key ends the form, the values typed are kept.
  runForm(true);
}

bool confirmed() {
  speakMessage("CHCNFLAN", 0);
  const uint8_t key = readKeyEcho();
  writeLineEnd();
  if (key == kKeyEsc) return false;
  return key != 'N' && key != 'n';
}

}  // namespace

std::string todayDateText() {
  const DateParts today = currentDate();
  return twoDigits(today.day) + "/" + twoDigits(today.month) + "/" +
         decimalText(static_cast<uint64_t>(today.year));
}

int checkEntry(std::string_view date, std::string_view value,
               std::string_view debitCredit) {
  if (!isValidDate(date)) return kEntryBadDate;
  if (!parseAmount(value, nullptr)) return kEntryBadValue;
  if (!debitCredit.empty()) {
    const char letter = upperText(debitCredit.substr(0, 1))[0];
    if (letter != 'D' && letter != 'C') return kEntryBadDebitCredit;
  }
  return kEntryAcceptable;
}

bool editEntry(LedgerEntry& entry) {
  for (;;) {
    showForm(entry);
    entry.value = completeAmount(entry.value);
    const int code = checkEntry(entry.date, entry.value, entry.debitCredit);
    if (code == kEntryAcceptable) break;
    speakMessage(kCheckMessages[code], 1);
    if (!readEnterOrEsc()) {
      speakMessage("CHDESIST", 1);
      return false;
    }
  }
  return confirmed();
}

void registerBankEntry() {
  LedgerEntry entry;
  entry.date = todayDateText();
  if (editEntry(entry)) appendEntry(entry);
}
