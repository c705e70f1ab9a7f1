// The console window's drawing: the font, text in cells, scrolling, the
// caret and the window's geometry.
#include <algorithm>
#include <vector>

#include "platform/win32/win32_window.h"

namespace plat::win32 {
namespace {

COLORREF colorOf(Rgb c) { return RGB(c.r, c.g, c.b); }

// Drawing outside WM_PAINT takes the window's own context; the caret is
// kept out of the pixels meanwhile.
class DrawingContext {
 public:
  DrawingContext(HWND hwnd, HDC paintDc, bool caretShown)
      : hwnd_(hwnd), own_(!paintDc), caret_(caretShown && !paintDc) {
    dc_ = paintDc ? paintDc : GetDC(hwnd);
    if (caret_) HideCaret(hwnd_);
  }
  ~DrawingContext() {
    if (own_ && dc_) ReleaseDC(hwnd_, dc_);
    if (caret_) ShowCaret(hwnd_);
  }
  DrawingContext(const DrawingContext&) = delete;
  DrawingContext& operator=(const DrawingContext&) = delete;
  HDC dc() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
  bool own_, caret_;
};

}  // namespace

void Win32Window::makeFont(const WindowConfig& config) {
  if (font_) DeleteObject(font_);
  font_ = CreateFontA(config.fontHeight, config.fontWidth, 0, 0,
                      config.fontWeight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_DONTCARE, config.fontFace.c_str());
  // Measured on the screen, before the window exists, to size it.
  if (HDC screen = GetDC(nullptr)) {
    measureFont(screen);
    ReleaseDC(nullptr, screen);
  }
}

HFONT Win32Window::currentFont() const {
  return font_ ? font_ : static_cast<HFONT>(GetStockObject(SYSTEM_FIXED_FONT));
}

void Win32Window::measureFont(HDC dc) {
  HGDIOBJ old = SelectObject(dc, currentFont());
  TEXTMETRICA tm;
  if (GetTextMetricsA(dc, &tm)) {
    metrics_.cellWidth = std::max<int>(1, tm.tmAveCharWidth);
    metrics_.lineHeight = std::max<int>(1, tm.tmHeight + tm.tmExternalLeading);
    metrics_.ascent = std::max<int>(0, tm.tmAscent);
    metrics_.overhang = std::max<int>(0, tm.tmOverhang);
  }
  metrics_.fontCreated = font_ != nullptr;
  SelectObject(dc, old);
}

void Win32Window::textOut(int column, int row, const uint8_t* chars, int count,
                          Rgb foreground, Rgb background, uint8_t) {
  if (!hwnd_ || !chars || row < 0 || row >= kRows || count <= 0) return;
  const int first = std::max(0, column);
  const int last = std::min(kColumns, column + count);
  if (first >= last) return;
  const int cw = metrics_.cellWidth, lh = metrics_.lineHeight;
  DrawingContext context(hwnd_, paintDc_, caretShown_);
  HDC dc = context.dc();
  if (!dc) return;
  HGDIOBJ old = SelectObject(dc, currentFont());
  SetTextColor(dc, colorOf(foreground));
  SetBkColor(dc, colorOf(background));
  SetBkMode(dc, OPAQUE);
  // One advance per cell, so the grid holds whatever widths the face has;
  // the opaque rectangle covers the whole cells, leading included.
  const int n = last - first;
  std::vector<INT> advances(static_cast<size_t>(n), cw);
  const RECT cells{first * cw, row * lh, last * cw, (row + 1) * lh};
  ExtTextOutA(dc, first * cw + metrics_.overhang, row * lh,
              ETO_OPAQUE | ETO_CLIPPED, &cells,
              reinterpret_cast<const char*>(chars + (first - column)),
              static_cast<UINT>(n), advances.data());
  SelectObject(dc, old);
}

void Win32Window::invalidateAll(bool erase) {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, erase ? TRUE : FALSE);
}

void Win32Window::updateWindow() {
  if (hwnd_) UpdateWindow(hwnd_);
}

void Win32Window::scrollUpOneLine(Rgb background, uint8_t) {
  if (!hwnd_) return;
  const int width = kColumns * metrics_.cellWidth, lh = metrics_.lineHeight;
  DrawingContext context(hwnd_, paintDc_, caretShown_);
  HDC dc = context.dc();
  if (!dc) return;
  BitBlt(dc, 0, 0, width, (kRows - 1) * lh, dc, 0, lh, SRCCOPY);
  HBRUSH brush = CreateSolidBrush(colorOf(background));
  HGDIOBJ old = SelectObject(dc, brush);
  PatBlt(dc, 0, (kRows - 1) * lh, width, lh, PATCOPY);
  SelectObject(dc, old);
  DeleteObject(brush);
}

bool Win32Window::isActiveWindow() { return hwnd_ && GetActiveWindow() == hwnd_; }

bool Win32Window::hasFocus() { return hwnd_ && GetFocus() == hwnd_; }

int Win32Window::windowBottom() {
  RECT r{};
  if (hwnd_) GetWindowRect(hwnd_, &r);
  return r.bottom;
}

int Win32Window::screenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

Rect Win32Window::workArea() {
  RECT r{};
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0)) {
    r = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  return Rect{r.left, r.top, r.right, r.bottom};
}

void Win32Window::clientSize(int* width, int* height) {
  RECT r{};
  if (hwnd_) GetClientRect(hwnd_, &r);
  *width = r.right - r.left;
  *height = r.bottom - r.top;
}

void Win32Window::showCaret(int column, int row) {
  if (!hwnd_) return;
  if (!caretShown_) {
    if (!CreateCaret(hwnd_, nullptr, metrics_.cellWidth, 2)) return;
    caretShown_ = true;
    SetCaretPos(column * metrics_.cellWidth,
                row * metrics_.lineHeight + metrics_.ascent);
    ShowCaret(hwnd_);
    return;
  }
  SetCaretPos(column * metrics_.cellWidth,
              row * metrics_.lineHeight + metrics_.ascent);
}

void Win32Window::hideCaret() {
  if (!caretShown_) return;
  caretShown_ = false;
  DestroyCaret();
}

}  // namespace plat::win32
