// The printer on Windows: GDI's printer device contexts, one call for each
// of the interface's. The handles are GDI's own. GDI is laxer than the
// interface about stale handles and deleting an object still selected, so
// the contexts and objects made here are tracked and such calls refused
// before they reach it.
#ifndef TALONIX_PLATFORM_WIN32_WIN32_PRINTER_H_
#define TALONIX_PLATFORM_WIN32_WIN32_PRINTER_H_

#include <windows.h>

#include <map>
#include <string>

#include "platform/printer.h"

namespace plat::win32 {

class Win32Printer : public Printer {
 public:
  Win32Printer() = default;
  // Frees whatever contexts and objects were left live.
  ~Win32Printer() override;
  Win32Printer(const Win32Printer&) = delete;
  Win32Printer& operator=(const Win32Printer&) = delete;

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
  // Windows prints or fails; it keeps no file of ours.
  std::string keptDocument() override { return ""; }

  // Contexts and objects made and not yet deleted.
  size_t liveHandles() const { return contexts_.size() + objects_.size(); }

 private:
  enum class Kind { kFont, kPen };
  struct Context {
    HGDIOBJ font = nullptr;  // selected now
    HGDIOBJ pen = nullptr;
    HGDIOBJ ownFont = nullptr;  // the device's own, selected at creation
    HGDIOBJ ownPen = nullptr;
  };

  // The context of a live handle, or null.
  Context* context(PrintHandle dc);
  bool selectedAnywhere(HGDIOBJ object) const;

  std::map<HDC, Context> contexts_;
  std::map<HGDIOBJ, Kind> objects_;
};

}  // namespace plat::win32

#endif  // TALONIX_PLATFORM_WIN32_WIN32_PRINTER_H_
