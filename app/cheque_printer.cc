// The printer while a cheque side is printed: the default printer's
// context, the printing font and the dots per millimetre, from opening the
// document to closing it.
#include <algorithm>
#include <cmath>
#include <climits>
#include <string>

#include "app/catalogue.h"
#include "app/cheque_printer.h"
#include "app/cheques.h"
#include "platform/platform.h"
#include "speech/speech.h"

namespace {

constexpr size_t kDeviceBufferSize = 200;  // "windows"/"device", as read

// CreateFontA's values for the printing font.
constexpr int kBoldWeight = 700;
constexpr uint8_t kAnsiCharset = 0;
constexpr uint8_t kOutCharacterPrecision = 2;
constexpr uint8_t kClipCharacterPrecision = 1;
constexpr int kTurnedEscapement = 900;

// Truncated toward zero; a point past the device's range stays at its edge
// (the printer clips it) instead of wrapping to the other side.
int toDots(double millimetres, double dotsPerMm) {
  const double dots = std::trunc(millimetres * dotsPerMm);
  if (dots >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (dots <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(dots);
}

// Drops a context whose document could not be begun.
void discard(plat::PrintHandle dc, bool documentBegun) {
  if (documentBegun) plat::printer().abortDoc(dc);
  plat::printer().deleteDc(dc);
}

}  // namespace

PrinterState& printerState() {
  static PrinterState state;
  return state;
}

void resetPrinterState() {
  PrinterState& s = printerState();
  if (s.dc != 0) discard(s.dc, true);
  if (s.font != 0) plat::printer().deleteObject(s.font);
  s = PrinterState{};
}

DevicePoint placeOnPage(LayoutPoint point, LayoutPoint adjustment,
                        bool lyingDown, double kx, double ky) {
  const double x = static_cast<double>(point.x);
  const double y = static_cast<double>(point.y);
  if (lyingDown) return {toDots(x + adjustment.x, kx), toDots(y + adjustment.y, ky)};
  return {toDots(y + adjustment.y, kx), toDots(170.0 - x + adjustment.x, ky)};
}

void setPrintFont(bool turned) {
  PrinterState& s = printerState();
  plat::Printer& printer = plat::printer();
  plat::PrintFont font;
  font.height = s.dotsPerInchY / 5;
  font.width = s.dotsPerInchX / 10;
  font.escapement = font.orientation = turned ? kTurnedEscapement : 0;
  font.weight = kBoldWeight;
  font.charSet = kAnsiCharset;
  font.outPrecision = kOutCharacterPrecision;
  font.clipPrecision = kClipCharacterPrecision;
  font.face = "Courier New";
  const plat::PrintHandle created = printer.createFont(font);
  if (created == 0) return;  // the font in use stays
  if (printer.selectObject(s.dc, created) == 0) {
    printer.deleteObject(created);
    return;
  }
  if (s.font != 0) printer.deleteObject(s.font);
  s.font = created;
}

plat::PrintHandle openChequePrinter(const char* documentName) {
  plat::Printer& printer = plat::printer();
  char device[kDeviceBufferSize] = {};
  printer.defaultPrinter(device, sizeof device);
  std::string name(device);
  name = name.substr(0, name.find(','));
  const plat::PrintHandle dc = name.empty() ? 0 : printer.createDc(name.c_str());
  if (dc != 0 && printer.startDoc(dc, documentName) <= 0) {
    speakMessage("CHEABIMP", 1);
    discard(dc, false);
    return 0;
  }
  if (dc == 0 || printer.getDeviceCaps(dc, plat::kHorzRes) == 0) {
    speakMessage("CHERESOL", 1);
    if (dc != 0) discard(dc, true);
    return 0;
  }
  PrinterState& s = printerState();
  s.dc = dc;
  s.dotsPerInchX = printer.getDeviceCaps(dc, plat::kLogPixelsX);
  s.dotsPerInchY = printer.getDeviceCaps(dc, plat::kLogPixelsY);
  s.kx = s.dotsPerInchX / 25.4;
  s.ky = s.dotsPerInchY / 25.4;
  setPrintFont(false);
  // A page that cannot begin would take every text with it.
  if (printer.startPage(dc) <= 0) {
    speakMessage("CHEABIMP", 1);
    resetPrinterState();
    return 0;
  }
  return dc;
}

bool closePrinter() {
  PrinterState& s = printerState();
  plat::Printer& printer = plat::printer();
  const bool delivered = printer.endDoc(s.dc) > 0;
  printer.deleteDc(s.dc);
  if (s.font != 0) printer.deleteObject(s.font);
  s = PrinterState{};
  if (!delivered)
    writeLineSpeak("A impress\xE3o n\xE3o chegou \xE0 impressora.");
  // The page waits in a file for the user: there is no printer to take it,
  // or the printer did not.
  const std::string kept = printer.keptDocument();
  if (!kept.empty()) writeLineSpeak("Impress\xE3o guardada no arquivo " + kept);
  return delivered;
}

void drawText(LayoutPoint point, const std::string& text) {
  const PrinterState& s = printerState();
  const BankProfile& bank = currentBank();
  const DevicePoint at = placeOnPage(point, bank.layout.adjustment,
                                     bank.printLyingDown, s.kx, s.ky);
  plat::printer().textOut(s.dc, at.x, at.y, text.data(),
                          static_cast<int>(text.size()));
}

void drawLine(LayoutPoint from, LayoutPoint to, double widthMm) {
  const PrinterState& s = printerState();
  const BankProfile& bank = currentBank();
  plat::Printer& printer = plat::printer();
  const int width = std::max(1, toDots(widthMm, s.kx));
  const plat::PrintHandle pen = printer.createPen(width);
  if (pen == 0) return;
  const plat::PrintHandle previous = printer.selectObject(s.dc, pen);
  const DevicePoint a = placeOnPage(from, bank.layout.adjustment,
                                    bank.printLyingDown, s.kx, s.ky);
  const DevicePoint b = placeOnPage(to, bank.layout.adjustment,
                                    bank.printLyingDown, s.kx, s.ky);
  printer.moveTo(s.dc, a.x, a.y);
  printer.lineTo(s.dc, b.x, b.y);
  if (previous != 0) printer.selectObject(s.dc, previous);
  printer.deleteObject(pen);
}
