#include "platform/pdf/pdf_printer.h"

#include <cairo-pdf.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <utility>

#include "platform/pdf/cups_queue.h"
#include "platform/pdf/print_dir.h"
#include "platform/shared/codepage.h"

namespace plat::pdf {
namespace {

constexpr int kDotsPerInch = 600;
constexpr double kPointsPerDot = 72.0 / kDotsPerInch;
// A4, 210 x 297 mm: the page in points, the printable part in whole dots.
constexpr double kPageWidthPt = 210 / 25.4 * 72;
constexpr double kPageHeightPt = 297 / 25.4 * 72;
constexpr int kPageWidthDots = 210 * kDotsPerInch * 10 / 254;  // 4960
constexpr int kPageHeightDots = 297 * kDotsPerInch * 10 / 254;  // 7015

cairo_status_t writeToFile(void* closure, const unsigned char* data,
                           unsigned int length) {
  const int fd = *static_cast<int*>(closure);
  while (length > 0) {
    const ssize_t n = ::write(fd, data, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return CAIRO_STATUS_WRITE_ERROR;
    data += n;
    length -= static_cast<unsigned int>(n);
  }
  return CAIRO_STATUS_SUCCESS;
}

std::string bytes(const char* text, int count) {
  return std::string(text, static_cast<size_t>(count));
}

}  // namespace

PdfPrinter::~PdfPrinter() {
  for (auto& [handle, c] : contexts_) dropDocument(c.doc);
}

size_t PdfPrinter::defaultPrinter(char* buffer, size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  const std::string name = cupsDestination("");
  const std::string device = name.empty()
      ? std::string(kPdfPrinterName) + ",pdf,FILE:"
      : utf8ToCp1252(name) + ",cups,CUPS:";
  const size_t n = std::min(device.size(), size - 1);
  std::memcpy(buffer, device.data(), n);
  buffer[n] = '\0';
  return n;
}

PrintHandle PdfPrinter::createDc(const char* device) {
  if (device == nullptr || *device == '\0') return 0;
  Context c;
  if (std::strcmp(device, kPdfPrinterName) != 0) {
    c.destination = cupsDestination(cp1252ToUtf8(device));
    if (c.destination.empty()) return 0;
  }
  const PrintHandle dc = nextHandle_++;
  PrintFont own;
  own.face = "Courier New";
  Object font{std::make_unique<PdfFont>(own), 0, dc};
  if (!font.font->ok()) return 0;
  c.font = addObject(std::move(font));
  c.pen = addObject(Object{nullptr, 1, dc});
  contexts_.emplace(dc, std::move(c));
  return dc;
}

int PdfPrinter::getDeviceCaps(PrintHandle dc, DeviceCap index) {
  if (context(dc) == nullptr) return 0;
  switch (index) {
    case kHorzRes: return kPageWidthDots;
    case kVertRes: return kPageHeightDots;
    case kLogPixelsX:
    case kLogPixelsY: return kDotsPerInch;
  }
  return 0;
}

int PdfPrinter::startDoc(PrintHandle dc, const char* documentName) {
  Context* c = context(dc);
  if (c == nullptr || c->doc) return -1;
  const std::string name = documentName != nullptr ? documentName : "";
  auto doc = std::make_unique<Document>();
  doc->dir = printDirectory();
  if (!makeWritableDirectory(doc->dir)) return -1;
  doc->fileName = documentFileName(name, std::time(nullptr));
  doc->title = cp1252ToUtf8(name);
  std::string temp = doc->dir + "/.talonix-print-XXXXXX";
  doc->fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (doc->fd < 0) return -1;
  doc->temp = temp;
  doc->surface = cairo_pdf_surface_create_for_stream(
      writeToFile, &doc->fd, kPageWidthPt, kPageHeightPt);
  cairo_pdf_surface_set_metadata(doc->surface, CAIRO_PDF_METADATA_TITLE,
                                 doc->title.c_str());
  cairo_pdf_surface_set_metadata(doc->surface, CAIRO_PDF_METADATA_CREATOR,
                                 "Talonix");
  doc->cr = cairo_create(doc->surface);
  cairo_scale(doc->cr, kPointsPerDot, kPointsPerDot);
  cairo_set_source_rgb(doc->cr, 0, 0, 0);
  cairo_set_line_cap(doc->cr, CAIRO_LINE_CAP_ROUND);
  if (cairo_status(doc->cr) != CAIRO_STATUS_SUCCESS) {
    dropDocument(doc);
    return -1;
  }
  c->doc = std::move(doc);
  return nextJob_++;
}

int PdfPrinter::startPage(PrintHandle dc) {
  Context* c = context(dc);
  if (c == nullptr || !c->doc || c->doc->pageOpen) return -1;
  c->doc->pageOpen = true;
  return 1;
}

PrintHandle PdfPrinter::createFont(const PrintFont& font) {
  Object o{std::make_unique<PdfFont>(font), 0, 0};
  return o.font->ok() ? addObject(std::move(o)) : 0;
}

PrintHandle PdfPrinter::createPen(int width) {
  if (width < 0) return 0;
  // Width 0 is the thinnest line the device draws: one dot.
  return addObject(Object{nullptr, std::max(width, 1), 0});
}

PrintHandle PdfPrinter::selectObject(PrintHandle dc, PrintHandle handle) {
  Context* c = context(dc);
  const Object* o = object(handle);
  // Another context's own objects go when it goes: not lent out.
  if (c == nullptr || o == nullptr || (o->owner != 0 && o->owner != dc)) {
    return 0;
  }
  PrintHandle& slot = o->font ? c->font : c->pen;
  return std::exchange(slot, handle);
}

bool PdfPrinter::deleteObject(PrintHandle handle) {
  const Object* o = object(handle);
  if (o == nullptr || o->owner != 0 || selectedAnywhere(handle)) return false;
  objects_.erase(handle);
  return true;
}

bool PdfPrinter::textOut(PrintHandle dc, int x, int y, const char* text,
                         int count) {
  cairo_t* cr = openPage(dc);
  if (cr == nullptr || count < 0 || (text == nullptr && count > 0)) return false;
  const PdfFont& font = *objects_.at(context(dc)->font).font;
  font.draw(cr, x, y, cp1252ToUtf8(bytes(text, count)).c_str());
  return cairo_status(cr) == CAIRO_STATUS_SUCCESS;
}

bool PdfPrinter::moveTo(PrintHandle dc, int x, int y) {
  Context* c = context(dc);
  if (c == nullptr) return false;
  c->x = x;
  c->y = y;
  return true;
}

bool PdfPrinter::lineTo(PrintHandle dc, int x, int y) {
  cairo_t* cr = openPage(dc);
  if (cr == nullptr) return false;
  Context& c = *context(dc);
  cairo_set_line_width(cr, objects_.at(c.pen).penWidth);
  cairo_move_to(cr, c.x, c.y);
  cairo_line_to(cr, x, y);
  cairo_stroke(cr);
  c.x = x;
  c.y = y;
  return cairo_status(cr) == CAIRO_STATUS_SUCCESS;
}

bool PdfPrinter::getTextExtent(PrintHandle dc, const char* text, int count,
                               PrintSize* size) {
  const Context* c = context(dc);
  if (c == nullptr || size == nullptr || count < 0 ||
      (text == nullptr && count > 0)) {
    return false;
  }
  *size = objects_.at(c->font).font->extent(
      cp1252ToUtf8(bytes(text, count)).c_str());
  return true;
}

int PdfPrinter::endPage(PrintHandle dc) {
  cairo_t* cr = openPage(dc);
  if (cr == nullptr) return -1;
  cairo_show_page(cr);
  context(dc)->doc->pageOpen = false;
  return cairo_status(cr) == CAIRO_STATUS_SUCCESS ? 1 : -1;
}

int PdfPrinter::endDoc(PrintHandle dc) {
  Context* c = context(dc);
  if (c == nullptr || !c->doc) return -1;
  kept_.clear();
  std::unique_ptr<Document> doc = std::move(c->doc);
  if (doc->pageOpen) cairo_show_page(doc->cr);
  if (!finishFile(*doc)) {
    dropDocument(doc);
    return -1;
  }
  if (!c->destination.empty() &&
      cupsSubmitPdf(c->destination, doc->temp, doc->title)) {
    ::unlink(doc->temp.c_str());
    return 1;
  }
  // The file is the document: for the PDF printer that is its printing;
  // for a printer that did not take it, the page is not on its paper, so
  // the document counts as lost although its file is kept.
  const std::string path = keepFile(doc->temp, doc->dir, doc->fileName);
  if (path.empty()) {
    ::unlink(doc->temp.c_str());
    return -1;
  }
  kept_ = utf8ToCp1252(path);
  return c->destination.empty() ? 1 : -1;
}

int PdfPrinter::abortDoc(PrintHandle dc) {
  Context* c = context(dc);
  if (c == nullptr || !c->doc) return -1;
  dropDocument(c->doc);
  return 1;
}

bool PdfPrinter::deleteDc(PrintHandle dc) {
  Context* c = context(dc);
  if (c == nullptr) return false;
  dropDocument(c->doc);
  std::erase_if(objects_, [dc](const auto& o) { return o.second.owner == dc; });
  contexts_.erase(dc);
  return true;
}

PdfPrinter::Context* PdfPrinter::context(PrintHandle dc) {
  auto it = contexts_.find(dc);
  return it != contexts_.end() ? &it->second : nullptr;
}

PdfPrinter::Object* PdfPrinter::object(PrintHandle handle) {
  auto it = objects_.find(handle);
  return it != objects_.end() ? &it->second : nullptr;
}

bool PdfPrinter::selectedAnywhere(PrintHandle handle) const {
  return std::any_of(contexts_.begin(), contexts_.end(), [handle](auto& c) {
    return c.second.font == handle || c.second.pen == handle;
  });
}

PrintHandle PdfPrinter::addObject(Object o) {
  const PrintHandle handle = nextHandle_++;
  objects_.emplace(handle, std::move(o));
  return handle;
}

cairo_t* PdfPrinter::openPage(PrintHandle dc) {
  Context* c = context(dc);
  return c != nullptr && c->doc && c->doc->pageOpen ? c->doc->cr : nullptr;
}

bool PdfPrinter::finishFile(Document& doc) {
  cairo_destroy(doc.cr);
  doc.cr = nullptr;
  cairo_surface_finish(doc.surface);
  bool ok = cairo_surface_status(doc.surface) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(doc.surface);
  doc.surface = nullptr;
  ok = ::fsync(doc.fd) == 0 && ok;
  ok = ::close(doc.fd) == 0 && ok;
  doc.fd = -1;
  return ok;
}

void PdfPrinter::dropDocument(std::unique_ptr<Document>& doc) {
  if (!doc) return;
  if (doc->cr != nullptr) cairo_destroy(doc->cr);
  if (doc->surface != nullptr) cairo_surface_destroy(doc->surface);
  if (doc->fd >= 0) ::close(doc->fd);
  if (!doc->temp.empty()) ::unlink(doc->temp.c_str());
  doc.reset();
}

}  // namespace plat::pdf
