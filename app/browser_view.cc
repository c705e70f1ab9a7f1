// What the browser shows and says: its title rows, list rows, detail pane,
// spoken summary and details, and its help.
#include <algorithm>
#include <string>
#include <vector>

#include "app/bank_records.h"
#include "app/browser.h"
#include "app/catalogue.h"
#include "app/ledger.h"
#include "console/console.h"
#include "speech/speech.h"

namespace {

// Lines never wrap: a long field read from a file is cut at the screen's
// edge so that the rows below keep their places.
constexpr size_t kLineWidth = kConsoleColumns - 1;

const char kColumnTitles[] =
    "Data         Documento                        Valor           Saldo";
const char kDebitMark[] = " D\xE9" "bito";
const char kCreditMark[] = " Cr\xE9" "dito";

std::string cut(std::string text, size_t width) {
  if (text.size() > width) text.resize(width);
  return text;
}

// Writes `text` over `line` starting at 0-based `start`, which may be
// negative for a text right-aligned past the left edge.
void overlay(std::string& line, std::string_view text, long start) {
  for (size_t k = 0; k < text.size(); ++k) {
    const long pos = start + static_cast<long>(k);
    if (pos >= 0 && pos < static_cast<long>(line.size())) line[static_cast<size_t>(pos)] = text[k];
  }
}

// Right-aligned so that the last character lands in 1-based `endColumn`.
void overlayRight(std::string& line, std::string_view text, int endColumn) {
  overlay(line, text, static_cast<long>(endColumn) - static_cast<long>(text.size()));
}

void restoreColors() { setAttribute(browserState().attribute); }

bool isEntry(size_t i) { return i >= 1 && i <= ledgerCount(); }

// " Débito" or " Crédito" only for the exact upper-case letters.
const char* debitCreditMark(const LedgerEntry& e) {
  if (e.debitCredit == "D") return kDebitMark;
  if (e.debitCredit == "C") return kCreditMark;
  return "";
}

std::vector<std::string> detailLines(const LedgerEntry& e) {
  std::vector<std::string> lines = {e.documentType, e.value + debitCreditMark(e)};
  if (!e.payee.empty()) lines.push_back("Favorecido: " + e.payee);
  if (!e.purpose.empty()) lines.push_back("Finalidade: " + e.purpose);
  lines.push_back("Data: " + e.date);
  if (!e.serialNumber.empty()) lines.push_back("S\xE9rie: " + e.serialNumber);
  if (!e.documentNumber.empty()) lines.push_back("N\xFAmero: " + e.documentNumber);
  return lines;
}

void clearDownToPaneEnd() {
  while (cursorRow() < kBrowserPaneEndRow) {
    clearToLineEnd();
    writeLineEnd();
  }
}

void writeRow(int row, const std::string& text) {
  moveCursor(1, row);
  clearToLineEnd();
  writeText(cut(text, kConsoleColumns));
}

}  // namespace

std::string spokenAmount(std::string_view amount) {
  std::string text(amount);
  if (text.size() >= 3 && text.compare(text.size() - 3, 3, ",00") == 0) {
    text.resize(text.size() - 3);
  }
  if (!text.empty() && text[0] == '-') text = text.substr(1) + " negativo";
  return text;
}

void drawBrowserHeader() {
  restoreColors();
  writeRow(1, "Talonix - " + currentBankName());
  writeRow(2, kColumnTitles);
  writeRow(3, std::string(67, '-'));
}

std::string listRowText(size_t i) {
  if (!isEntry(i)) return {};
  const LedgerEntry& e = ledgerEntry(i);
  std::string line(kLineWidth, ' ');
  overlay(line, e.date, 0);
  overlay(line, e.documentType, 12);
  overlayRight(line, e.value, 50);
  overlayRight(line, formatAmount(balanceUpTo(i)), 67);
  line.erase(line.find_last_not_of(' ') + 1);
  return line;
}

void drawListRows() {
  const BrowserState& b = browserState();
  for (int r = 0; r < kBrowserListRows; ++r) {
    const size_t i = b.firstShown + static_cast<size_t>(r);
    restoreColors();
    setTextColor(i == b.current ? 15 : 7);
    moveCursor(1, kBrowserListRow + r);
    clearToLineEnd();
    if (isEntry(i)) writeText(listRowText(i));
  }
  restoreColors();
}

void drawDetailPane(size_t i) {
  restoreColors();
  moveCursor(1, kBrowserDetailRow);
  writeText(std::string(69, '-'));
  writeLineEnd();
  if (isEntry(i)) {
    for (const std::string& line : detailLines(ledgerEntry(i))) {
      clearToLineEnd();
      writeText(cut(line, kLineWidth));
      writeLineEnd();
    }
  }
  clearDownToPaneEnd();
}

void speakSummary(size_t i) {
  if (!isEntry(i)) return;
  const LedgerEntry& e = ledgerEntry(i);
  speakText(e.date.substr(0, 5));
  speakText(e.documentType);
  speakText(spokenAmount(e.value));
  speakText("saldo");
  speakText(spokenAmount(formatAmount(balanceUpTo(i))));
}

void speakDetails(size_t i) {
  if (!isEntry(i)) return;
  const LedgerEntry& e = ledgerEntry(i);
  speakText(e.documentType);
  speakText(e.value);
  const std::string mark = debitCreditMark(e);
  if (!mark.empty()) speakText(mark);
  if (!e.payee.empty()) speakText("Favorecido: " + e.payee);
  if (!e.purpose.empty()) speakText("Finalidade: " + e.purpose);
  speakText("Data: " + e.date);
  if (!e.serialNumber.empty()) speakText("S\xE9rie: " + e.serialNumber);
  if (!e.documentNumber.empty()) speakText("N\xFAmero: " + e.documentNumber);
}

void showBrowserHelp() {
  restoreColors();
  for (int row = 1; row <= kConsoleRows; ++row) {
    moveCursor(1, row);
    clearToLineEnd();
  }
  moveCursor(1, kBrowserDetailRow);
  writeText(std::string(59, '-'));
  writeLineEnd();
  for (const char* id : {"CHAJFL00", "CHAJFL01", "CHAJFL02", "CHAJFL03",
                         "CHAJFL04", "CHAJFL05", "CHAJFL06", "CHAJFL09"}) {
    speakMessage(id, 1);
  }
  clearDownToPaneEnd();
}
