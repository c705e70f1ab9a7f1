#include "platform/win32/win32_magnifier.h"

namespace plat::win32 {

void Win32Magnifier::takeSnapshot() {
  freeSnapshot();
  HWND hwnd = window_.handle();
  if (!hwnd) return;
  window_.clientSize(&width_, &height_);
  if (width_ <= 0 || height_ <= 0) return;
  HDC dc = GetDC(hwnd);
  if (!dc) return;
  memory_ = CreateCompatibleDC(dc);
  bitmap_ = memory_ ? CreateCompatibleBitmap(dc, width_, height_) : nullptr;
  if (bitmap_) {
    oldBitmap_ = SelectObject(memory_, bitmap_);
    BitBlt(memory_, 0, 0, width_, height_, dc, 0, 0, SRCCOPY);
  }
  ReleaseDC(hwnd, dc);
  if (!bitmap_) freeSnapshot();
}

void Win32Magnifier::stretchSnapshot(int srcX, int srcY, int srcWidth,
                                     int srcHeight) {
  HWND hwnd = window_.handle();
  if (!bitmap_ || !hwnd || srcWidth <= 0 || srcHeight <= 0) return;
  int width = 0, height = 0;
  window_.clientSize(&width, &height);
  HDC dc = GetDC(hwnd);
  if (!dc) return;
  SetStretchBltMode(dc, COLORONCOLOR);  // whole pixels: sharp text
  StretchBlt(dc, 0, 0, width, height, memory_, srcX, srcY, srcWidth, srcHeight,
             SRCCOPY);
  ReleaseDC(hwnd, dc);
}

void Win32Magnifier::freeSnapshot() {
  if (memory_ && oldBitmap_) SelectObject(memory_, oldBitmap_);
  if (bitmap_) DeleteObject(bitmap_);
  if (memory_) DeleteDC(memory_);
  memory_ = nullptr;
  bitmap_ = nullptr;
  oldBitmap_ = nullptr;
}

}  // namespace plat::win32
