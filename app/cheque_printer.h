// The printer's state while one side of a cheque is printed, and the
// drawing of texts and lines at the current bank's layout points. Shared by
// the cheque printing procedures only.
#ifndef TALONIX_APP_CHEQUE_PRINTER_H_
#define TALONIX_APP_CHEQUE_PRINTER_H_

#include <string>

#include "app/bank_records.h"
#include "platform/printer.h"

struct PrinterState {
  plat::PrintHandle dc = 0;    // 0: no document open
  plat::PrintHandle font = 0;  // the printing font, while a document is open
  int dotsPerInchX = 0;
  int dotsPerInchY = 0;
  double kx = 0;  // dots per millimetre
  double ky = 0;
};

PrinterState& printerState();
// Drops a document left open and its font (tests; program start).
void resetPrinterState();

// A text, or a line `widthMm` wide, at layout points of the current bank
// (its general adjustment and orientation applied) on the open page.
void drawText(LayoutPoint point, const std::string& text);
void drawLine(LayoutPoint from, LayoutPoint to, double widthMm);

#endif  // TALONIX_APP_CHEQUE_PRINTER_H_
