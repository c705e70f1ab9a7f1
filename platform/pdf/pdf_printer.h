// The printer on Linux: each document is drawn by cairo into a PDF file on
// an A4 page of 600 dots per inch, then sent to a CUPS destination at its
// end, or kept in the print directory (print_dir.h) when it is for the
// built-in PDF printer or the destination did not take it. The default
// printer is CUPS's default destination when a server answers, else the
// built-in PDF printer.
#ifndef TALONIX_PLATFORM_PDF_PDF_PRINTER_H_
#define TALONIX_PLATFORM_PDF_PDF_PRINTER_H_

#include <cairo.h>

#include <map>
#include <memory>
#include <string>

#include "platform/pdf/pdf_font.h"
#include "platform/printer.h"

namespace plat::pdf {

// The printer that only writes PDF files; createDc knows it by this name.
inline constexpr char kPdfPrinterName[] = "Talonix PDF";

class PdfPrinter : public Printer {
 public:
  PdfPrinter() = default;
  ~PdfPrinter() override;
  PdfPrinter(const PdfPrinter&) = delete;
  PdfPrinter& operator=(const PdfPrinter&) = delete;

  size_t defaultPrinter(char* buffer, size_t size) override;
  PrintHandle createDc(const char* device) override;
  int getDeviceCaps(PrintHandle dc, DeviceCap index) override;
  int startDoc(PrintHandle dc, const char* documentName) override;
  int startPage(PrintHandle dc) override;
  PrintHandle createFont(const PrintFont& font) override;
  PrintHandle createPen(int width) override;
  PrintHandle selectObject(PrintHandle dc, PrintHandle object) override;
  bool deleteObject(PrintHandle object) override;
  bool textOut(PrintHandle dc, int x, int y, const char* text,
               int count) override;
  bool moveTo(PrintHandle dc, int x, int y) override;
  bool lineTo(PrintHandle dc, int x, int y) override;
  bool getTextExtent(PrintHandle dc, const char* text, int count,
                     PrintSize* size) override;
  int endPage(PrintHandle dc) override;
  int endDoc(PrintHandle dc) override;
  int abortDoc(PrintHandle dc) override;
  bool deleteDc(PrintHandle dc) override;
  std::string keptDocument() override { return kept_; }

 private:
  // A font or a pen. A context's own ones belong to it (owner).
  struct Object {
    std::unique_ptr<PdfFont> font;  // null for a pen
    int penWidth = 0;
    PrintHandle owner = 0;
  };
  // The document being drawn: its PDF, written under a temporary name.
  struct Document {
    int fd = -1;
    std::string temp;
    std::string dir;
    std::string fileName;  // its name when kept
    std::string title;     // UTF-8
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    bool pageOpen = false;
  };
  struct Context {
    std::string destination;  // a CUPS destination; "" for the PDF printer
    PrintHandle font = 0;
    PrintHandle pen = 0;
    int x = 0;
    int y = 0;
    std::unique_ptr<Document> doc;
  };

  Context* context(PrintHandle dc);
  Object* object(PrintHandle handle);
  bool selectedAnywhere(PrintHandle handle) const;
  PrintHandle addObject(Object object);
  // The context's document with a page open, or null.
  cairo_t* openPage(PrintHandle dc);
  // Ends the drawing and closes the file; false when it did not all reach
  // the disk.
  static bool finishFile(Document& doc);
  static void dropDocument(std::unique_ptr<Document>& doc);

  std::map<PrintHandle, Context> contexts_;
  std::map<PrintHandle, Object> objects_;
  PrintHandle nextHandle_ = 0x5000;
  int nextJob_ = 1;
  std::string kept_;
};

}  // namespace plat::pdf

#endif  // TALONIX_PLATFORM_PDF_PDF_PRINTER_H_
