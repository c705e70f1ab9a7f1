// Command E: the user fills in a cheque by voice, hears it checked, adjusts
// exactly what will be printed, prints it, and the printed cheque is
// recorded in the current ledger as a debit.
#include <algorithm>
#include <string>

#include "app/amounts.h"
#include "app/bank_records.h"
#include "app/catalogue.h"
#include "app/cheques.h"
#include "app/commands.h"
#include "app/entry_form.h"
#include "app/ledger.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "console/keys.h"
#include "speech/forms.h"
#include "speech/speech.h"

namespace {

constexpr size_t kWordsLineLength = 58;
// Buffers for the last serial and number: the serial as it was always
// read; the number as long as the form lets it be typed (12), so the next
// number never follows a cut one.
constexpr size_t kSerialBufferSize = 10;
constexpr size_t kNumberBufferSize = 13;

const char* const kMonthNames[12] = {
    "Janeiro", "Fevereiro", "Mar\xE7o",    "Abril",   "Maio",     "Junho",
    "Julho",   "Agosto",    "Setembro", "Outubro", "Novembro", "Dezembro"};

bool isWholeNumber(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// The cheque after the last one issued: its number follows the stored
// one; a stored text that is not a number is offered as it is.
void fillDefaults(ChequeState& c) {
  c = ChequeState{};
  c.issueCity = personalData().city;
  c.entry.serialNumber = readBankSetting(currentBankName(), "ultSerie", kSerialBufferSize);
  const std::string last = readBankSetting(currentBankName(), "ultNumero", kNumberBufferSize);
  c.entry.documentNumber = isWholeNumber(last) ? nextNumberText(last) : last;
  c.entry.date = todayDateText();
}

void runChequeForm(ChequeState& c) {
  beginForm();
  addTextField("CHVALOR", "Valor", c.entry.value, 30);
  addTextField("CHFAVORE", "Favorecido", c.entry.payee, 50);
  addTextField("CHCIDEMI", "Cidade de emiss\xE3o", c.issueCity, 20);
  addTextField("CHDATEMI", "Data da emiss\xE3o", c.entry.date, 20);
  addYesNoField("CHCHCRUZ", "Cheque \xE9 cruzado", c.crossed);
  addTextField("CHFINALI", "*Finalidade", c.entry.purpose, 50);
  addTextField("CHSERCHQ", "*S\xE9rie do cheque", c.entry.serialNumber, 8);
  addTextField("CHNUMCHQ", "*N\xFAmero do cheque", c.entry.documentNumber, 12);
  runForm(true);  // however it ends, the checks follow
}

// Both checks, each heard when it fails; true when both pass.
bool checkCheque(ChequeState& c) {
  const bool dateValid = isValidDate(c.entry.date);
  if (!dateValid) speakMessage("CHDATINV", 1);
  c.entry.value = completeAmount(c.entry.value);
  const bool valueValid = parseAmount(c.entry.value, &c.value);
  if (!valueValid) speakMessage("CHVALINV", 1);
  return dateValid && valueValid;
}

bool answeredYes() {
  const uint8_t key = readKeyEcho();
  writeLineEnd();
  return key == 'S' || key == 's';
}

// False when the user gives up.
bool preEdit(ChequeState& c) {
  clearScreen();
  writeText("TALONIX - v." TALONIX_VERSION);
  writeLineEnd();
  writeLineEnd();
  speakMessage("CHPRECHE", 1);
  speakMessage("CHCAMPOB", 2);
  fillDefaults(c);
  for (;;) {
    runChequeForm(c);
    if (checkCheque(c)) return true;
    speakMessage("CHVERERR", 0);
    if (!answeredYes()) return false;
    clearScreen();
    speakMessage("CHREEDIT", 2);
  }
}

// The amount in words on two lines, split at the last blank that leaves
// the first within kWordsLineLength (the blank stays on the first line).
void splitWords(const std::string& words, ChequePrintFields& f) {
  f.words1 = words;
  f.words2.clear();
  if (words.size() <= kWordsLineLength) return;
  size_t cut = words.rfind(' ', kWordsLineLength - 1);
  cut = cut == std::string::npos ? kWordsLineLength : cut + 1;
  f.words1 = words.substr(0, cut);
  f.words2 = words.substr(cut);
}

void prepare(ChequeState& c) {
  ChequePrintFields& f = c.print;
  f.value = formatPrintedAmount(c.value);
  splitWords(amountInWords(c.value), f);
  f.city = c.issueCity;
  f.payee = c.entry.payee;
  f.day = c.entry.date.substr(0, 2);
  // The checks passed, so the date is dd/mm/yyyy with a real month.
  const int month = (c.entry.date[3] - '0') * 10 + (c.entry.date[4] - '0');
  f.month = kMonthNames[month - 1];
  f.year = c.entry.date.substr(6, 4);
  if (!currentBank().yearFourDigits) f.year = f.year.substr(2);
}

// The payee is one text: what the user last heard is what the front, the
// back and the ledger all get. The payee and purpose keep the length the
// cheque form allowed, so the adjustment cannot cut what was typed there.
void runAdjustmentForm(ChequeState& c) {
  ChequePrintFields& f = c.print;
  beginForm();
  addTextField("CHVALOR", "Valor impresso", f.value, 30);
  addTextField("CHEXT1", "extenso 1", f.words1, 70);
  // The longest amounts run past 100 characters on the second line.
  addTextField("CHEXT2", "extenso 2", f.words2,
               std::max(100, static_cast<int>(f.words2.size())));
  addTextField("CHCIDADE", "Cidade", f.city, 50);
  addTextField("CHDIA", "Dia", f.day, 20);
  addTextField("CHMES", "M\xEAs", f.month, 20);
  addTextField("CHANO", "Ano", f.year, 20);
  addTextField("CHFAVORE", "Favorecido", c.entry.payee, 50);
  addTextField("CHFINALI", "Finalidade", c.entry.purpose, 50);
  runForm(true);
  f.payee = c.entry.payee;
}

void adjust(ChequeState& c) {
  clearScreen();
  speakMessage("CHAJUSTE", 2);
  bool escape = false;
  while (keyAvailable()) escape |= readKey() == kKeyEsc;
  if (!escape) runAdjustmentForm(c);
}

// Records the printed cheque and remembers its serial and number, so the
// next cheque numbers itself.
void recordCheque(ChequeState& c) {
  // Built as new strings: GCC 12 at -O3 misreads a literal assigned in
  // place as an overlapping copy (its bug 105329).
  c.entry.documentType = std::string("Cheque");
  c.entry.debitCredit = std::string(1, 'D');
  appendEntry(c.entry);
  writeBankSetting(currentBankName(), "ultSerie", c.entry.serialNumber);
  writeBankSetting(currentBankName(), "ultNumero", c.entry.documentNumber);
}

}  // namespace

void issueCheque() {
  if (currentBankName().empty()) {
    speakMessage("CHCNFNOV", 1);
    return;
  }
  // A cheque printed must be recorded: its ledger is checked first.
  if (!ledgerTakesEntries()) return;
  ChequeState& c = chequeState();
  if (!preEdit(c)) return;
  prepare(c);
  adjust(c);
  speakMessage("CHINIMPR", 0);
  if (!answeredYes()) {
    speakMessage("CHDESIST", 1);
    return;
  }
  if (printCheque()) recordCheque(c);
}
