// The magnifier on a Win32 window: a snapshot of the client area in a
// memory bitmap, part of which is stretched over the whole window.
#ifndef TALONIX_PLATFORM_WIN32_WIN32_MAGNIFIER_H_
#define TALONIX_PLATFORM_WIN32_WIN32_MAGNIFIER_H_

#include <windows.h>

#include "platform/magnifier.h"
#include "platform/win32/win32_window.h"

namespace plat::win32 {

class Win32Magnifier : public Magnifier {
 public:
  explicit Win32Magnifier(Win32Window& window) : window_(window) {}
  ~Win32Magnifier() override { freeSnapshot(); }
  Win32Magnifier(const Win32Magnifier&) = delete;
  Win32Magnifier& operator=(const Win32Magnifier&) = delete;

  void takeSnapshot() override;
  void stretchSnapshot(int srcX, int srcY, int srcWidth, int srcHeight) override;
  void freeSnapshot() override;

 private:
  Win32Window& window_;
  HDC memory_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  int width_ = 0, height_ = 0;
};

}  // namespace plat::win32

#endif  // TALONIX_PLATFORM_WIN32_WIN32_MAGNIFIER_H_
