// Printing a cheque: the front at the bank's calibrated positions, then,
// if the user wants, the back with the purpose, the payee and the issuer's
// personal data; and the model cheque the user calibrates against.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/bank_records.h"
#include "app/catalogue.h"
#include "app/cheque_printer.h"
#include "app/cheques.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "platform/platform.h"
#include "speech/speech.h"

namespace {

constexpr double kCrossingLineWidthMm = 0.4;

// Two parallel lines, the second kCrossingGapMm to the right of the first.
void drawCrossing(const ChequeLayout& layout) {
  LayoutPoint start = layout.crossingStart, end = layout.crossingEnd;
  drawLine(start, end, kCrossingLineWidthMm);
  // A stored point at the edge of the range stays there.
  start.x = std::min(start.x, INT32_MAX - kCrossingGapMm) + kCrossingGapMm;
  end.x = std::min(end.x, INT32_MAX - kCrossingGapMm) + kCrossingGapMm;
  drawLine(start, end, kCrossingLineWidthMm);
}

void drawFront() {
  const ChequeLayout& layout = currentBank().layout;
  const ChequePrintFields& f = chequeState().print;
  drawText(layout.value, f.value);
  drawText(layout.words1, f.words1);
  if (!f.words2.empty()) drawText(layout.words2, f.words2);
  if (!f.payee.empty()) drawText(layout.payee, f.payee);
  drawText(layout.city, f.city);
  drawText(layout.day, f.day);
  drawText(layout.month, f.month);
  drawText(layout.year, f.year);
  if (chequeState().crossed) drawCrossing(layout);
}

// The front's document; true when it went on its way to the paper.
bool printFront() {
  if (openChequePrinter("Frente do Cheque") == 0) return false;
  if (!currentBank().printLyingDown) setPrintFont(true);
  drawFront();
  plat::printer().endPage(printerState().dc);
  return closePrinter();
}

std::vector<std::string> backLines() {
  const LedgerEntry& entry = chequeState().entry;
  const PersonalData& me = personalData();
  std::vector<std::string> lines;
  lines.push_back(entry.purpose);  // its line is used even when empty
  if (!entry.payee.empty()) lines.push_back("Favorecido: " + entry.payee);
  lines.push_back("Emitente: " + me.name);
  lines.push_back("Ident.: " + me.identity + " - " + me.issuer);
  lines.push_back("CPF: " + me.cpf);
  lines.push_back("Telefone: " + me.telephone);
  lines.push_back(me.address);
  lines.push_back(me.district + " - " + me.city);
  return lines;
}

// The back's document; true when it went on its way to the paper.
bool printBack() {
  const plat::PrintHandle dc = openChequePrinter("Verso do Cheque");
  if (dc == 0) return false;
  plat::Printer& printer = plat::printer();
  plat::PrintSize ten;
  const char kTen[] = "OOOOOOOOOO";
  printer.getTextExtent(dc, kTen, 10, &ten);
  const bool lyingDown = currentBank().printLyingDown;
  int x = lyingDown ? 2 * ten.cx : ten.cy;
  int y = lyingDown ? ten.cy : 5 * ten.cx;
  if (!lyingDown) setPrintFont(true);
  for (const std::string& line : backLines()) {
    printer.textOut(dc, x, y, line.data(), static_cast<int>(line.size()));
    (lyingDown ? y : x) += ten.cy;
  }
  printer.endPage(dc);
  return closePrinter();
}

}  // namespace

ChequeState& chequeState() {
  static ChequeState state;
  return state;
}

void resetCheque() {
  chequeState() = ChequeState{};
  resetPrinterState();
}

bool printCheque() {
  speakMessage("CHFRENT", 1);
  if (!readEnterOrEsc()) {
    speakMessage("CHDESIST", 1);
    return false;
  }
  if (!printFront()) return false;
  speakMessage("CHVERSO", 1);
  speakMessage("CHVERSO2", 1);
  if (!readEnterOrEsc()) return true;
  // The front is on paper: the cheque exists whatever becomes of the back.
  if (!printBack())
    writeLineSpeak("O verso do cheque n\xE3o foi impresso.");
  return true;
}

bool printTestCheque() {
  ChequeState& c = chequeState();
  const std::string placeholder = "NoNoNoNo NoNoNoNo NoNoNoNo NoNoNoNo NoNoNoNo";
  c.print.value = "x.xxx.xxx,xx";
  c.print.words1 = "zerentos milh\xF5" "es zerentos e zerenta e zero mil zerentos";
  c.print.words2 = "e zerenta e zero reais e zerentos e zero centavos";
  c.print.payee = placeholder;
  c.print.city = "Rio de Janeiro";
  c.print.day = "99";
  c.print.month = "Noventeiro";
  c.print.year = "9999";
  c.entry.purpose = placeholder;
  // The model shows where the crossing lines go, so they can be calibrated.
  c.crossed = true;
  return printCheque();
}
