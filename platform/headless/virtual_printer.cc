#include "platform/headless/virtual_printer.h"

#include <cstring>

namespace plat::headless {
namespace {

// The device's own font and pen: selected in every new context, never
// deleted.
constexpr PrintHandle kDeviceFont = 1;
constexpr PrintHandle kDevicePen = 2;
// The device font: 12 points high, 10 characters an inch.
constexpr int kDeviceFontHeight = VirtualPrinter::kDpi / 6;
constexpr int kDeviceFontWidth = VirtualPrinter::kDpi / 10;

const char kPort[] = ",talonix,VIRTUAL:";

std::string number(int n) { return std::to_string(n); }

}  // namespace

void VirtualPrinter::setFault(Fault fault, int document) {
  fault_ = fault;
  faultDocument_ = document < 0 ? 0 : document;
}

bool VirtualPrinter::setFault(std::string_view text) {
  int document = 0;
  const size_t colon = text.find(':');
  std::string_view kind = text.substr(0, colon);
  if (colon != std::string_view::npos) {
    std::string_view digits = text.substr(colon + 1);
    if (digits.empty() || digits.size() > 6) return false;
    for (char c : digits) {
      if (c < '0' || c > '9') return false;
      document = document * 10 + (c - '0');
    }
    if (document == 0 || (kind != "startdoc" && kind != "enddoc")) return false;
  }
  if (kind == "missing") setFault(Fault::kMissing);
  else if (kind == "resolution") setFault(Fault::kNoResolution);
  else if (kind == "startdoc") setFault(Fault::kStartDoc, document);
  else if (kind == "enddoc") setFault(Fault::kEndDoc, document);
  else if (kind == "back" && colon == std::string_view::npos) setFault(Fault::kStartDoc, 2);
  else return false;
  return true;
}

bool VirtualPrinter::faultHits(Fault fault, int document) const {
  return fault_ == fault && (faultDocument_ == 0 || faultDocument_ == document);
}

VirtualPrinter::Context* VirtualPrinter::context(PrintHandle dc) {
  auto it = contexts_.find(dc);
  return it == contexts_.end() ? nullptr : &it->second;
}

size_t VirtualPrinter::defaultPrinter(char* buffer, size_t size) {
  if (size == 0) return 0;
  const std::string device =
      fault_ == Fault::kMissing ? "" : std::string(kName) + kPort;
  const size_t n = device.size() < size - 1 ? device.size() : size - 1;
  std::memcpy(buffer, device.data(), n);
  buffer[n] = '\0';
  return n;
}

PrintHandle VirtualPrinter::createDc(const char* device) {
  if (fault_ == Fault::kMissing || device == nullptr ||
      std::strcmp(device, kName) != 0) {
    return 0;
  }
  const PrintHandle dc = next_++;
  Context& c = contexts_[dc];
  c.font = kDeviceFont;
  c.pen = kDevicePen;
  return dc;
}

int VirtualPrinter::getDeviceCaps(PrintHandle dc, DeviceCap index) {
  if (!context(dc)) return 0;
  switch (index) {
    case kHorzRes: return fault_ == Fault::kNoResolution ? 0 : kPageWidth;
    case kVertRes: return kPageHeight;
    case kLogPixelsX:
    case kLogPixelsY: return kDpi;
  }
  return 0;
}

int VirtualPrinter::startDoc(PrintHandle dc, const char* documentName) {
  Context* c = context(dc);
  if (!c || c->inDoc) return -1;
  const int document = ++documents_;
  const std::string name = documentName ? documentName : "";
  if (faultHits(Fault::kStartDoc, document)) {
    log_.push_back("startdoc failed " + name);
    return -1;
  }
  c->inDoc = true;
  c->document = document;
  log_.push_back("startdoc " + name);
  return document;
}

int VirtualPrinter::startPage(PrintHandle dc) {
  Context* c = context(dc);
  if (!c || !c->inDoc || c->inPage) return -1;
  c->inPage = true;
  log_.push_back("startpage");
  return 1;
}

PrintHandle VirtualPrinter::createFont(const PrintFont& font) {
  const PrintHandle handle = next_++;
  objects_[handle].font = font;
  return handle;
}

PrintHandle VirtualPrinter::createPen(int width) {
  const PrintHandle handle = next_++;
  Object& pen = objects_[handle];
  pen.isFont = false;
  pen.penWidth = width < 1 ? 1 : width;
  return handle;
}

PrintHandle VirtualPrinter::selectObject(PrintHandle dc, PrintHandle object) {
  Context* c = context(dc);
  if (!c) return 0;
  const bool deviceObject = object == kDeviceFont || object == kDevicePen;
  auto it = objects_.find(object);
  if (!deviceObject && it == objects_.end()) return 0;
  const bool isFont = deviceObject ? object == kDeviceFont : it->second.isFont;
  PrintHandle& slot = isFont ? c->font : c->pen;
  const PrintHandle previous = slot;
  unselect(previous);
  slot = object;
  if (deviceObject) return previous;
  Object& o = it->second;
  ++o.selectedIn;
  if (o.isFont) {
    const PrintFont& f = o.font;
    log_.push_back("font escapement " + number(f.escapement) + " height " +
                   number(f.height) + " width " + number(f.width) + " weight " +
                   number(f.weight) + " " + f.face);
  } else {
    log_.push_back("pen width " + number(o.penWidth));
  }
  return previous;
}

bool VirtualPrinter::deleteObject(PrintHandle object) {
  auto it = objects_.find(object);
  if (it == objects_.end() || it->second.selectedIn > 0) return false;
  objects_.erase(it);
  return true;
}

bool VirtualPrinter::textOut(PrintHandle dc, int x, int y, const char* text,
                             int count) {
  Context* c = context(dc);
  if (!c || !c->inPage || text == nullptr || count < 0) return false;
  log_.push_back("text " + number(x) + " " + number(y) + " " +
                 std::string(text, static_cast<size_t>(count)));
  return true;
}

bool VirtualPrinter::moveTo(PrintHandle dc, int x, int y) {
  Context* c = context(dc);
  if (!c) return false;
  c->x = x;
  c->y = y;
  return true;
}

bool VirtualPrinter::lineTo(PrintHandle dc, int x, int y) {
  Context* c = context(dc);
  if (!c || !c->inPage) return false;
  log_.push_back("line " + number(c->x) + " " + number(c->y) + " " +
                 number(x) + " " + number(y));
  c->x = x;
  c->y = y;
  return true;
}

bool VirtualPrinter::getTextExtent(PrintHandle dc, const char* text, int count,
                                   PrintSize* size) {
  Context* c = context(dc);
  if (!c || text == nullptr || count < 0 || size == nullptr) return false;
  int width = kDeviceFontWidth, height = kDeviceFontHeight;
  if (auto it = objects_.find(c->font); it != objects_.end()) {
    height = it->second.font.height;
    width = it->second.font.width > 0 ? it->second.font.width : height / 2;
  }
  size->cx = width * count;
  size->cy = height;
  return true;
}

int VirtualPrinter::endPage(PrintHandle dc) {
  Context* c = context(dc);
  if (!c || !c->inPage) return -1;
  c->inPage = false;
  log_.push_back("endpage");
  return 1;
}

int VirtualPrinter::endDoc(PrintHandle dc) {
  Context* c = context(dc);
  if (!c || !c->inDoc) return -1;
  c->inDoc = false;
  c->inPage = false;
  if (faultHits(Fault::kEndDoc, c->document)) {
    log_.push_back("enddoc failed");
    return -1;
  }
  log_.push_back("enddoc");
  return 1;
}

int VirtualPrinter::abortDoc(PrintHandle dc) {
  Context* c = context(dc);
  if (!c || !c->inDoc) return -1;
  c->inDoc = false;
  c->inPage = false;
  log_.push_back("abortdoc");
  return 1;
}

void VirtualPrinter::unselect(PrintHandle object) {
  if (auto it = objects_.find(object); it != objects_.end())
    --it->second.selectedIn;
}

bool VirtualPrinter::deleteDc(PrintHandle dc) {
  Context* c = context(dc);
  if (!c) return false;
  unselect(c->font);
  unselect(c->pen);
  contexts_.erase(dc);
  return true;
}

}  // namespace plat::headless
