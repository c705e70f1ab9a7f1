// Cheques: the cheque being issued with the texts that will be printed on
// it, and its printing on the default printer at the current bank's
// calibrated positions.
#ifndef TALONIX_APP_CHEQUES_H_
#define TALONIX_APP_CHEQUES_H_

#include <string>

#include "app/bank_records.h"
#include "app/ledger.h"
#include "platform/printer.h"

// What the front side prints, each field at its layout point.
struct ChequePrintFields {
  std::string value;   // in figures, "1.234,56"
  std::string words1;  // the amount in words, first line
  std::string words2;  // its second line; empty prints nothing
  std::string payee;   // empty prints nothing
  std::string city;
  std::string day;
  std::string month;
  std::string year;
};

struct ChequeState {
  LedgerEntry entry;       // what the ledger records; payee and purpose print on the back
  std::string issueCity;   // "Cidade de emissão"
  bool crossed = false;    // "Cheque é cruzado": the crossing lines are printed
  double value = 0;
  ChequePrintFields print;
};

ChequeState& chequeState();
void resetCheque();

// --- Printing ----------------------------------------------------------------
// A device position in the printer's dots.
struct DevicePoint {
  int x = 0;
  int y = 0;
  bool operator==(const DevicePoint&) const = default;
};

// Where a layout point (millimetres, with the general adjustment) lands on
// the page, lying down or upright (turned by 90 degrees), for dots per
// millimetre kx and ky; truncated toward zero.
DevicePoint placeOnPage(LayoutPoint point, LayoutPoint adjustment,
                        bool lyingDown, double kx, double ky);

// Opens the default printer and begins a document of one page with the
// upright printing font; says "CHERESOL" or "CHEABIMP" and returns 0 when
// it cannot.
plat::PrintHandle openChequePrinter(const char* documentName);
// Ends the page's document and frees the context and the font. False (and
// "CHEABIMP") when the document was lost on its way to the printer.
bool closePrinter();
// Makes the printing font upright or turned by 90 degrees.
void setPrintFont(bool turned);

// Prints the prepared cheque: the front after "CHFRENT" and ENTER, then,
// unless ESC, the back after "CHVERSO". True when the front was printed,
// whatever became of the back.
bool printCheque();
// Fills every printed field with its placeholder and prints the model.
bool printTestCheque();

#endif  // TALONIX_APP_CHEQUES_H_
