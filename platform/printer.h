// The printer: the default printer's device context, documents and pages,
// and text in a chosen font, one to one with the GDI calls of the same
// names, so that the Windows backend is a thin translation and the others
// keep its meanings.
//
// Units are the device's dots: (0, 0) is the top left corner of the
// printable page, x to the right, y downwards. TextOut places the top left
// corner of the text's cell at (x, y) (GDI's default alignment); with a
// font turned by escapement 900 the text runs upwards from that point, its
// cell's top edge to the left.
//
// Handles are opaque numbers; 0 is none. A context lives from createDc to
// deleteDc, a font or pen from its create call to deleteObject; an object
// still selected into a live context is not deleted (false). Calls with a
// handle that is not live fail and do nothing.
#ifndef TALONIX_PLATFORM_PRINTER_H_
#define TALONIX_PLATFORM_PRINTER_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace plat {

using PrintHandle = uintptr_t;

// GetDeviceCaps indexes, with GDI's numbers.
enum DeviceCap : int {
  kHorzRes = 8,      // printable width in dots
  kVertRes = 10,     // printable height in dots
  kLogPixelsX = 88,  // dots per inch across
  kLogPixelsY = 90,  // dots per inch down
};

// CreateFontA's arguments. Escapement and orientation are in tenths of a
// degree counter-clockwise; a positive height is the cell height (ascent
// plus descent), a width of 0 lets the printer choose the average width.
struct PrintFont {
  int height = 0;
  int width = 0;
  int escapement = 0;
  int orientation = 0;
  int weight = 400;  // 700: bold
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  uint8_t charSet = 0;  // ANSI_CHARSET: Windows-1252 text
  uint8_t outPrecision = 0;
  uint8_t clipPrecision = 0;
  uint8_t quality = 0;
  uint8_t pitchAndFamily = 0;
  std::string face;
};

struct PrintSize {
  int cx = 0;
  int cy = 0;
};

class Printer {
 public:
  virtual ~Printer() = default;

  // GetProfileStringA("windows", "device"): the default printer as
  // "name,driver,port", cut to size - 1 characters; "" when there is none.
  // Returns the characters copied.
  virtual size_t defaultPrinter(char* buffer, size_t size) = 0;
  // CreateDCA(no driver, device, no port, no settings): 0 when the printer
  // cannot be reached.
  virtual PrintHandle createDc(const char* device) = 0;
  virtual int getDeviceCaps(PrintHandle dc, DeviceCap index) = 0;
  // StartDocA: a positive job number, or a value <= 0 (SP_ERROR, -1) when
  // no document could be begun.
  virtual int startDoc(PrintHandle dc, const char* documentName) = 0;
  virtual int startPage(PrintHandle dc) = 0;  // > 0 on success
  virtual PrintHandle createFont(const PrintFont& font) = 0;
  // CreatePen(PS_SOLID, width, black): a solid black pen `width` dots wide.
  virtual PrintHandle createPen(int width) = 0;
  // SelectObject: makes a font or pen the context's current one of its
  // kind; returns the one of that kind selected before (the device's own
  // is a handle too), or 0 on failure.
  virtual PrintHandle selectObject(PrintHandle dc, PrintHandle object) = 0;
  virtual bool deleteObject(PrintHandle object) = 0;
  // TextOutA of `count` Windows-1252 bytes in the selected font.
  virtual bool textOut(PrintHandle dc, int x, int y, const char* text,
                       int count) = 0;
  // MoveToEx and LineTo: a straight line in the selected pen from the
  // current position to (x, y), which becomes the current position.
  virtual bool moveTo(PrintHandle dc, int x, int y) = 0;
  virtual bool lineTo(PrintHandle dc, int x, int y) = 0;
  // GetTextExtentPoint32A: the advance of the text and the cell height in
  // the selected font, as if it were not turned.
  virtual bool getTextExtent(PrintHandle dc, const char* text, int count,
                             PrintSize* size) = 0;
  virtual int endPage(PrintHandle dc) = 0;  // > 0 on success
  // EndDoc: > 0 when the document went on its way to the paper, or, for a
  // printer that only makes files, to its file (see keptDocument); <= 0
  // when it did not reach the printer, even if its file was kept.
  virtual int endDoc(PrintHandle dc) = 0;
  // AbortDoc: drops the document begun.
  virtual int abortDoc(PrintHandle dc) = 0;
  virtual bool deleteDc(PrintHandle dc) = 0;

  // Not a GDI call: where the last document ended by endDoc was kept
  // instead of being printed (a PDF file: the printer makes only files, or
  // did not take it), as a Windows-1252 path; "" when none was kept.
  virtual std::string keptDocument() = 0;
};

}  // namespace plat

#endif  // TALONIX_PLATFORM_PRINTER_H_
