// The SDL window: creation, drawing into the canvas, showing the changed
// cells and the caret, the magnifier and the clipboard. The message loop
// is in sdl_window_events.cc.
#include "platform/sdl/sdl_window.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <algorithm>

#include "platform/shared/codepage.h"

namespace plat::sdl {
namespace {

// What the program reads before it has a window: a 1024 x 768 screen.
constexpr Rect kNoScreen{0, 0, 1024, 734};

bool startVideo(std::string* why) {
  if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
  // The program ends on SIGINT and SIGTERM as any other; SDL would turn
  // them into a quit message the console does not read.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // A window manager's compositor stays on for the rest of the desktop.
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    if (why) *why = SDL_GetError();
    return false;
  }
  return true;
}

// Window titles are UTF-8 for SDL; control bytes would confuse a window
// manager.
std::string titleText(std::string_view title) {
  std::string clean(title);
  for (char& c : clean) {
    if (static_cast<unsigned char>(c) < 32) c = ' ';
  }
  return cp1252ToUtf8(clean);
}

SDL_Rect sdlRect(const PixelRect& r) { return SDL_Rect{r.x, r.y, r.w, r.h}; }

bool intersects(const PixelRect& a, const PixelRect& b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

}  // namespace

bool windowAvailable(std::string* why) {
  if (!startVideo(why)) return false;
  if (findFontFile("").empty()) {
    if (why) *why = "no font to draw the console with (install fonts-dejavu-core)";
    return false;
  }
  return true;
}

SdlWindow::SdlWindow() : wakeEvent_(SDL_RegisterEvents(1)) {
  // Before any part of SDL starts, sound included (see startVideo).
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
}

SdlWindow::~SdlWindow() {
  destroyWindow();
  if (picture_) SDL_FreeSurface(picture_);
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  // The last part of SDL to go takes SDL's own connection to the desktop
  // bus with it (SDL_Quit is what closes it).
  if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
}

bool SdlWindow::createWindow(const WindowConfig& config, FontMetrics* metrics) {
  if (metrics) *metrics = FontMetrics();
  std::string why;
  if (openWindow(config, metrics, &why)) return true;
  if (noWindow_) noWindow_(why);
  return false;
}

bool SdlWindow::loadFont(const WindowConfig& config) {
  const std::string file = findFontFile(config.fontFace);
  if (!file.empty() &&
      atlas_.load(file, config.fontWidth, config.fontHeight, config.fontWeight)) {
    return true;
  }
  // A face with no Latin letters (a symbol or CJK font): the usual font.
  const std::string usual = findFontFile("");
  return !usual.empty() &&
         atlas_.load(usual, config.fontWidth, config.fontHeight, config.fontWeight);
}

bool SdlWindow::openWindow(const WindowConfig& config, FontMetrics* metrics,
                           std::string* why) {
  if (!startVideo(why)) return false;
  if (!loadFont(config)) {
    *why = "no font can draw the console";
    return false;
  }
  canvas_.reset(atlas_);
  if (picture_) SDL_FreeSurface(picture_);
  picture_ = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<uint32_t*>(canvas_.pixels()), canvas_.width(), canvas_.height(), 32,
      canvas_.width() * 4, SDL_PIXELFORMAT_RGB888);
  if (!picture_) {
    *why = SDL_GetError();
    return false;
  }
  if (metrics) {
    metrics->cellWidth = atlas_.cellWidth();
    metrics->lineHeight = atlas_.lineHeight();
    metrics->ascent = atlas_.ascent();
    metrics->fontCreated = true;
  }
  if (!window_) {
    Uint32 flags = SDL_WINDOW_RESIZABLE | (config.maximized ? SDL_WINDOW_MAXIMIZED : 0);
    // Centred, but a grid wider or taller than the screen starts at its
    // left or top edge: the first column and the first row are never cut.
    SDL_Rect screen{0, 0, canvas_.width(), canvas_.height()};
    SDL_GetDisplayUsableBounds(0, &screen);
    const int x = screen.x + std::max(0, (screen.w - canvas_.width()) / 2);
    const int y = screen.y + std::max(0, (screen.h - canvas_.height()) / 2);
    window_ = SDL_CreateWindow(titleText(config.title).c_str(), x, y, canvas_.width(),
                               canvas_.height(), flags);
    if (!window_) {
      *why = SDL_GetError();
      return false;
    }
    SDL_StartTextInput();
  }
  setSizeLimits();
  SDL_SetWindowTitle(window_, titleText(config.title).c_str());
  focused_ = (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
  paintPending_ = true;
  showAll();
  return true;
}

// As large as the grid (or the screen), never smaller than 16 x 4 cells.
void SdlWindow::setSizeLimits() {
  SDL_Rect screen{0, 0, canvas_.width(), canvas_.height()};
  SDL_GetDisplayUsableBounds(std::max(0, SDL_GetWindowDisplayIndex(window_)), &screen);
  SDL_SetWindowMinimumSize(window_, 16 * canvas_.cellWidth(), 4 * canvas_.lineHeight());
  SDL_SetWindowMaximumSize(window_, std::min(canvas_.width(), screen.w),
                           std::min(canvas_.height(), screen.h));
}

void SdlWindow::destroyWindow() {
  if (!window_) return;
  freeSnapshot();
  SDL_StopTextInput();
  SDL_DestroyWindow(window_);
  window_ = nullptr;
  focused_ = false;
  caretDrawn_ = false;
}

void SdlWindow::setTitle(std::string_view title) {
  if (window_) SDL_SetWindowTitle(window_, titleText(title).c_str());
}

void SdlWindow::textOut(int column, int row, const uint8_t* chars, int count,
                        Rgb foreground, Rgb background, uint8_t) {
  if (window_) canvas_.drawCells(atlas_, column, row, chars, count, foreground, background);
}

void SdlWindow::invalidateAll(bool erase) {
  if (!window_) return;
  if (erase) canvas_.fill(Rgb{});
  paintPending_ = true;
}

void SdlWindow::updateWindow() {
  if (!paintPending_) return;
  paintPending_ = false;
  Event paint = eventOf(EventKind::kPaint);
  paint.x2 = kCanvasColumns;
  paint.y2 = kCanvasRows;
  dispatch(paint);
  present();
}

void SdlWindow::scrollUpOneLine(Rgb background, uint8_t) {
  if (window_) canvas_.scrollUp(background);
}

int SdlWindow::windowBottom() {
  if (!window_) return 0;
  int x = 0, y = 0, w = 0, h = 0;
  SDL_GetWindowPosition(window_, &x, &y);
  SDL_GetWindowSize(window_, &w, &h);
  return y + h;
}

int SdlWindow::screenHeight() {
  SDL_Rect bounds{0, 0, 0, kNoScreen.bottom};
  if (startVideo(nullptr)) {
    SDL_GetDisplayBounds(window_ ? std::max(0, SDL_GetWindowDisplayIndex(window_)) : 0,
                         &bounds);
  }
  return bounds.h;
}

Rect SdlWindow::workArea() {
  SDL_Rect r;
  if (!startVideo(nullptr) ||
      SDL_GetDisplayUsableBounds(
          window_ ? std::max(0, SDL_GetWindowDisplayIndex(window_)) : 0, &r) != 0 ||
      r.w <= 0 || r.h <= 0) {
    return kNoScreen;
  }
  return Rect{r.x, r.y, r.x + r.w, r.y + r.h};
}

void SdlWindow::clientSize(int* width, int* height) {
  *width = *height = 0;
  if (window_) SDL_GetWindowSize(window_, width, height);
}

void SdlWindow::showCaret(int column, int row) {
  caretShown_ = true;
  caretColumn_ = column;
  caretRow_ = row;
}

void SdlWindow::hideCaret() { caretShown_ = false; }

void SdlWindow::messageBeep() {
  // SDL has no bell of its own; X11 has.
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window_ && SDL_GetWindowWMInfo(window_, &info) &&
      info.subsystem == SDL_SYSWM_X11) {
    XBell(info.info.x11.display, 0);
    XFlush(info.info.x11.display);
  }
}

// --- Showing the canvas ------------------------------------------------------

PixelRect SdlWindow::caretRect(int column, int row) const {
  PixelRect r{column * canvas_.cellWidth(), row * canvas_.lineHeight() + atlas_.ascent(),
              canvas_.cellWidth(), 2};
  // Clipped to the grid: past the right edge the caret is not seen.
  if (r.x >= canvas_.width()) r.w = 0;
  r.h = std::max(0, std::min(r.h, canvas_.height() - r.y));
  return r;
}

bool SdlWindow::blitCanvas(SDL_Surface* surface, const PixelRect& r) {
  if (!picture_ || r.w <= 0 || r.h <= 0) return false;
  SDL_Rect src = sdlRect(r), dst = sdlRect(r);
  return SDL_BlitSurface(picture_, &src, surface, &dst) == 0;
}

// The caret inverts the pixels under it, as a Windows caret does.
void SdlWindow::invertRect(SDL_Surface* surface, const PixelRect& r) {
  if (surface->format->BytesPerPixel != 4 || r.w <= 0 || r.h <= 0) return;
  if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
  const int right = std::min(r.x + r.w, surface->w);
  const int bottom = std::min(r.y + r.h, surface->h);
  for (int y = r.y; y < bottom; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface->pixels) +
                                            static_cast<size_t>(y) * surface->pitch);
    for (int x = r.x; x < right; ++x) row[x] ^= 0x00FFFFFFu;
  }
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
}

void SdlWindow::present() {
  if (!window_ || magnified_) return;
  const bool wantCaret = caretShown_ && focused_;
  const bool caretMoved = caretDrawn_ && (!wantCaret || drawnColumn_ != caretColumn_ ||
                                          drawnRow_ != caretRow_);
  std::vector<PixelRect> rects = canvas_.takeDirty();
  const PixelRect newCaret = caretRect(caretColumn_, caretRow_);
  bool drawCaret = wantCaret && (!caretDrawn_ || caretMoved);
  for (const PixelRect& r : rects) drawCaret = drawCaret || (wantCaret && intersects(r, newCaret));
  if (caretMoved) rects.push_back(caretRect(drawnColumn_, drawnRow_));
  if (drawCaret) rects.push_back(newCaret);
  presented_.clear();
  if (rects.empty()) return;
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (!surface) return;
  std::vector<SDL_Rect> sent;
  for (const PixelRect& r : rects) {
    if (blitCanvas(surface, r)) {
      sent.push_back(sdlRect(r));
      presented_.push_back(r);
    }
  }
  if (drawCaret) invertRect(surface, newCaret);
  caretDrawn_ = wantCaret;
  drawnColumn_ = caretColumn_;
  drawnRow_ = caretRow_;
  if (!sent.empty()) {
    SDL_UpdateWindowSurfaceRects(window_, sent.data(), static_cast<int>(sent.size()));
  }
}

// The whole window again from the canvas (exposed, resized, or back from
// the magnifier); pixels outside the grid are black.
void SdlWindow::showAll() {
  if (!window_) return;
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (!surface) return;
  if (magnified_ && snapshot_) {
    // Black first: a drag past the window's edge leaves part of the
    // rectangle outside the snapshot, which SDL does not draw.
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    SDL_Rect src = lastStretch_, dst{0, 0, surface->w, surface->h};
    SDL_BlitScaled(snapshot_, &src, surface, &dst);
  } else {
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    canvas_.takeDirty();
    blitCanvas(surface, PixelRect{0, 0, canvas_.width(), canvas_.height()});
    caretDrawn_ = caretShown_ && focused_;
    drawnColumn_ = caretColumn_;
    drawnRow_ = caretRow_;
    if (caretDrawn_) invertRect(surface, caretRect(caretColumn_, caretRow_));
  }
  SDL_UpdateWindowSurface(window_);
}

// --- The magnifier -----------------------------------------------------------

void SdlWindow::takeSnapshot() {
  if (!window_) return;
  present();  // the snapshot is what the window shows now
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (!surface) return;
  freeSnapshot();
  snapshot_ = SDL_CreateRGBSurfaceWithFormat(0, surface->w, surface->h, 32,
                                             surface->format->format);
  if (snapshot_) SDL_BlitSurface(surface, nullptr, snapshot_, nullptr);
}

void SdlWindow::stretchSnapshot(int srcX, int srcY, int srcWidth, int srcHeight) {
  if (!window_ || !snapshot_ || srcWidth <= 0 || srcHeight <= 0) return;
  lastStretch_ = SDL_Rect{srcX, srcY, srcWidth, srcHeight};
  magnified_ = true;
  showAll();
}

void SdlWindow::freeSnapshot() {
  if (snapshot_) SDL_FreeSurface(snapshot_);
  snapshot_ = nullptr;
  if (magnified_) {
    magnified_ = false;
    showAll();
  }
}

// --- The clipboard -----------------------------------------------------------

bool SdlWindow::setClipboardText(std::string_view text) {
  if (!startVideo(nullptr)) return false;
  return SDL_SetClipboardText(cp1252ToUtf8(text).c_str()) == 0;
}

bool SdlWindow::getClipboardText(std::string* text, bool* hasText) {
  if (!startVideo(nullptr)) return false;
  if (!SDL_HasClipboardText()) {
    *hasText = false;
    text->clear();
    return true;
  }
  char* utf8 = SDL_GetClipboardText();
  if (!utf8) return false;
  *text = utf8ToCp1252(utf8);
  *hasText = true;
  SDL_free(utf8);
  return true;
}

}  // namespace plat::sdl
