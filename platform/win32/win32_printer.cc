#include "platform/win32/win32_printer.h"

#include <winspool.h>

namespace plat::win32 {
namespace {

HDC asDc(PrintHandle handle) { return reinterpret_cast<HDC>(handle); }
HGDIOBJ asObject(PrintHandle handle) { return reinterpret_cast<HGDIOBJ>(handle); }
PrintHandle asHandle(const void* object) { return reinterpret_cast<PrintHandle>(object); }

}  // namespace

Win32Printer::~Win32Printer() {
  for (const auto& [dc, context] : contexts_) {
    AbortDoc(dc);  // fails harmlessly when no document is open
    DeleteDC(dc);
  }
  for (const auto& [object, kind] : objects_) DeleteObject(object);
}

Win32Printer::Context* Win32Printer::context(PrintHandle dc) {
  auto it = contexts_.find(asDc(dc));
  return it != contexts_.end() ? &it->second : nullptr;
}

bool Win32Printer::selectedAnywhere(HGDIOBJ object) const {
  for (const auto& [dc, c] : contexts_) {
    if (c.font == object || c.pen == object) return true;
  }
  return false;
}

size_t Win32Printer::defaultPrinter(char* buffer, size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  // wine's spooler brings the profile entry up to date with CUPS's
  // printers when asked; Windows keeps it current by itself.
  char spooler[256];
  DWORD spoolerSize = sizeof spooler;
  GetDefaultPrinterA(spooler, &spoolerSize);
  const DWORD cap = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
  return GetProfileStringA("windows", "device", "", buffer, cap);
}

PrintHandle Win32Printer::createDc(const char* device) {
  if (device == nullptr) return 0;
  HDC dc = CreateDCA(nullptr, device, nullptr, nullptr);
  if (dc == nullptr) return 0;
  Context& c = contexts_[dc];
  c.font = c.ownFont = GetCurrentObject(dc, OBJ_FONT);
  c.pen = c.ownPen = GetCurrentObject(dc, OBJ_PEN);
  return asHandle(dc);
}

int Win32Printer::getDeviceCaps(PrintHandle dc, DeviceCap index) {
  return context(dc) ? GetDeviceCaps(asDc(dc), index) : 0;
}

int Win32Printer::startDoc(PrintHandle dc, const char* documentName) {
  if (!context(dc)) return SP_ERROR;
  DOCINFOA info{};
  info.cbSize = sizeof info;
  info.lpszDocName = documentName;
  return StartDocA(asDc(dc), &info);
}

int Win32Printer::startPage(PrintHandle dc) {
  return context(dc) ? StartPage(asDc(dc)) : SP_ERROR;
}

PrintHandle Win32Printer::createFont(const PrintFont& f) {
  HFONT font = CreateFontA(f.height, f.width, f.escapement, f.orientation, f.weight,
                           f.italic, f.underline, f.strikeOut, f.charSet, f.outPrecision,
                           f.clipPrecision, f.quality, f.pitchAndFamily, f.face.c_str());
  if (font == nullptr) return 0;
  objects_[font] = Kind::kFont;
  return asHandle(font);
}

PrintHandle Win32Printer::createPen(int width) {
  HPEN pen = CreatePen(PS_SOLID, width, RGB(0, 0, 0));
  if (pen == nullptr) return 0;
  objects_[pen] = Kind::kPen;
  return asHandle(pen);
}

PrintHandle Win32Printer::selectObject(PrintHandle dc, PrintHandle handle) {
  Context* c = context(dc);
  if (!c) return 0;
  const HGDIOBJ object = asObject(handle);
  Kind kind;
  // A device's own objects go back only into their own context.
  if (object == c->ownFont) {
    kind = Kind::kFont;
  } else if (object == c->ownPen) {
    kind = Kind::kPen;
  } else if (auto it = objects_.find(object); it != objects_.end()) {
    kind = it->second;
  } else {
    return 0;
  }
  const HGDIOBJ previous = SelectObject(asDc(dc), object);
  if (previous == nullptr || previous == HGDI_ERROR) return 0;
  (kind == Kind::kFont ? c->font : c->pen) = object;
  return asHandle(previous);
}

bool Win32Printer::deleteObject(PrintHandle handle) {
  const HGDIOBJ object = asObject(handle);
  auto it = objects_.find(object);
  // GDI would take a selected object and drop it later; the interface
  // refuses.
  if (it == objects_.end() || selectedAnywhere(object)) return false;
  if (!DeleteObject(object)) return false;
  objects_.erase(it);
  return true;
}

bool Win32Printer::textOut(PrintHandle dc, int x, int y, const char* text, int count) {
  if (!context(dc) || count < 0 || (text == nullptr && count > 0)) return false;
  return TextOutA(asDc(dc), x, y, count > 0 ? text : "", count) != FALSE;
}

bool Win32Printer::moveTo(PrintHandle dc, int x, int y) {
  return context(dc) && MoveToEx(asDc(dc), x, y, nullptr) != FALSE;
}

bool Win32Printer::lineTo(PrintHandle dc, int x, int y) {
  return context(dc) && LineTo(asDc(dc), x, y) != FALSE;
}

bool Win32Printer::getTextExtent(PrintHandle dc, const char* text, int count,
                                 PrintSize* size) {
  if (!context(dc) || size == nullptr || count < 0 || (text == nullptr && count > 0)) {
    return false;
  }
  SIZE s{};
  if (!GetTextExtentPoint32A(asDc(dc), count > 0 ? text : "", count, &s)) return false;
  size->cx = s.cx;
  size->cy = s.cy;
  return true;
}

int Win32Printer::endPage(PrintHandle dc) {
  return context(dc) ? EndPage(asDc(dc)) : SP_ERROR;
}

int Win32Printer::endDoc(PrintHandle dc) {
  return context(dc) ? EndDoc(asDc(dc)) : SP_ERROR;
}

int Win32Printer::abortDoc(PrintHandle dc) {
  return context(dc) ? AbortDoc(asDc(dc)) : SP_ERROR;
}

bool Win32Printer::deleteDc(PrintHandle dc) {
  if (!context(dc)) return false;
  // GDI lets go of the objects selected in it.
  const bool deleted = DeleteDC(asDc(dc)) != FALSE;
  contexts_.erase(asDc(dc));
  return deleted;
}

}  // namespace plat::win32
