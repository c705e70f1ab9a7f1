// The headless backend's printer: a virtual 600-dpi A4 printer that prints
// nothing and writes down every operation, one line each, so a test can
// check every position (docs/talonix-run.md, "--print"):
//   startdoc NAME | startdoc failed NAME
//   startpage
//   font escapement E height H width W weight G FACE   (when selected)
//   pen width W                                        (when selected)
//   text X Y TEXT
//   line X1 Y1 X2 Y2
//   endpage | enddoc | enddoc failed | abortdoc
// It can be told to be missing or to fail, so the program's failure paths
// can be reached end to end.
#ifndef TALONIX_PLATFORM_HEADLESS_VIRTUAL_PRINTER_H_
#define TALONIX_PLATFORM_HEADLESS_VIRTUAL_PRINTER_H_

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/printer.h"

namespace plat::headless {

class VirtualPrinter : public plat::Printer {
 public:
  static constexpr int kDpi = 600;
  static constexpr int kPageWidth = 4960;   // A4 at 600 dpi
  static constexpr int kPageHeight = 7016;
  static constexpr const char* kName = "Talonix Virtual 600";

  enum class Fault {
    kNone,
    kMissing,       // no default printer
    kNoResolution,  // a printer without horizontal resolution
    kStartDoc,      // StartDoc fails
    kEndDoc,        // EndDoc loses the document
  };
  // The fault hits document number `document` (1-based, counted over the
  // run), or every document for 0. kMissing and kNoResolution ignore it.
  void setFault(Fault fault, int document = 0);
  // Reads "missing", "resolution", "startdoc[:N]", "enddoc[:N]" and "back"
  // (the second document: a cheque's back side); false for anything else.
  bool setFault(std::string_view text);

  const std::vector<std::string>& log() const { return log_; }
  int documentsStarted() const { return documents_; }
  // Contexts and objects created and not yet deleted: a program that
  // frees what it made leaves none after printing.
  size_t liveHandles() const { return contexts_.size() + objects_.size(); }

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
  std::string keptDocument() override { return ""; }

 private:
  struct Object {
    bool isFont = true;
    PrintFont font;
    int penWidth = 1;
    int selectedIn = 0;  // live contexts that have it selected
  };
  struct Context {
    PrintHandle font = 0;  // 0: the device's own
    PrintHandle pen = 0;
    bool inDoc = false;
    bool inPage = false;
    int document = 0;
    int x = 0, y = 0;
  };
  Context* context(PrintHandle dc);
  bool faultHits(Fault fault, int document) const;
  void unselect(PrintHandle object);

  Fault fault_ = Fault::kNone;
  int faultDocument_ = 0;
  int documents_ = 0;
  PrintHandle next_ = 100;  // handles below are the device's own objects
  std::map<PrintHandle, Context> contexts_;
  std::map<PrintHandle, Object> objects_;
  std::vector<std::string> log_;
};

}  // namespace plat::headless

#endif  // TALONIX_PLATFORM_HEADLESS_VIRTUAL_PRINTER_H_
