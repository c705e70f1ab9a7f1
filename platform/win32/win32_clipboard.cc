// The desktop clipboard's text (CF_TEXT), held by the console window.
#include <cstring>

#include "platform/win32/win32_window.h"

namespace plat::win32 {

bool Win32Window::setClipboardText(std::string_view text) {
  // Without a window to own it, emptying the clipboard would lose the
  // user's text and the new one would not be taken.
  if (!hwnd_) return false;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1);
  if (!block) return false;
  void* bytes = GlobalLock(block);
  if (!bytes) {
    GlobalFree(block);
    return false;
  }
  std::memcpy(bytes, text.data(), text.size());  // the terminator is zeroed
  GlobalUnlock(block);
  if (!OpenClipboard(hwnd_)) {
    GlobalFree(block);
    return false;
  }
  EmptyClipboard();
  const bool taken = SetClipboardData(CF_TEXT, block) != nullptr;
  if (!taken) GlobalFree(block);  // the clipboard did not take it over
  CloseClipboard();
  return taken;
}

bool Win32Window::getClipboardText(std::string* text, bool* hasText) {
  if (!OpenClipboard(hwnd_)) return false;
  HANDLE data = GetClipboardData(CF_TEXT);
  const char* bytes = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
  *hasText = bytes != nullptr;
  if (bytes) {
    // The block's size bounds the text, whether or not it ends in a NUL.
    const size_t size = GlobalSize(data);
    text->assign(bytes, strnlen(bytes, size));
    GlobalUnlock(data);
  } else {
    text->clear();
  }
  CloseClipboard();
  return true;
}

}  // namespace plat::win32
