// The console window as a real Win32 window: class "LmWinCrt", GDI text in
// the configured font, the caret, and the thread's message queue as the
// program's message loop. Its procedure turns native messages into
// plat::Event and hands them to the core; what the core leaves unhandled
// goes to DefWindowProcA. The clipboard (CF_TEXT) is served here too, since
// Windows ties it to a window.
#ifndef TALONIX_PLATFORM_WIN32_WIN32_WINDOW_H_
#define TALONIX_PLATFORM_WIN32_WIN32_WINDOW_H_

#include <windows.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <string>

#include "platform/clipboard.h"
#include "platform/shared/window_defaults.h"
#include "platform/window.h"

namespace plat::win32 {

constexpr int kColumns = 80;
constexpr int kRows = 25;

// The message that wakes the loop for events handed over by postEvent.
constexpr UINT kMsgPostedEvents = WM_APP + 1;

class Win32Window : public Window, public Clipboard {
 public:
  Win32Window();
  ~Win32Window() override;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  // --- plat::Window --------------------------------------------------------
  void setWindowProc(WindowProc proc) override { proc_ = proc; }
  bool createWindow(const WindowConfig& config, FontMetrics* metrics) override;
  void destroyWindow() override;
  void setTitle(std::string_view title) override;
  void textOut(int column, int row, const uint8_t* chars, int count,
               Rgb foreground, Rgb background, uint8_t attr) override;
  void invalidateAll(bool erase) override;
  void updateWindow() override;
  void scrollUpOneLine(Rgb background, uint8_t attr) override;
  bool isActiveWindow() override;
  int windowBottom() override;
  int screenHeight() override;
  Rect workArea() override;
  void clientSize(int* width, int* height) override;
  void showCaret(int column, int row) override;
  void hideCaret() override;
  bool hasFocus() override;
  bool keyHeld(uint32_t virtualKey) override { return keys_.held(virtualKey); }
  void messageBeep() override;
  void waitEvent() override;
  PumpResult pumpOne(bool consoleOnly) override;
  void postMessage(uint32_t message) override;
  // From any thread: queued under a lock, the loop woken by a posted
  // message.
  void postEvent(const Event& event) override;

  // --- plat::Clipboard -----------------------------------------------------
  bool setClipboardText(std::string_view text) override;
  bool getClipboardText(std::string* text, bool* hasText) override;

  HWND handle() const { return hwnd_; }
  const FontMetrics& metrics() const { return metrics_; }

 private:
  static LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message,
                                          WPARAM wparam, LPARAM lparam);
  LRESULT onMessage(UINT message, WPARAM wparam, LPARAM lparam);
  // Hands an event to the core; false when it asks for default handling.
  bool deliver(const Event& event);
  void onPaint();
  void onMinMaxInfo(MINMAXINFO* info);
  void takePosted();
  bool hasPosted();
  // Creates the configured font and measures it (stock fixed font when none
  // can be made).
  void makeFont(const WindowConfig& config);
  void measureFont(HDC dc);
  HFONT currentFont() const;

  DWORD threadId_;  // the program's thread, which owns the queue
  HWND hwnd_ = nullptr;
  std::atomic<HWND> wakeTarget_{nullptr};  // hwnd_ as other threads see it
  WindowProc proc_ = nullptr;
  HFONT font_ = nullptr;  // null: SYSTEM_FIXED_FONT
  FontMetrics metrics_;
  HDC paintDc_ = nullptr;  // the paint context while a WM_PAINT is served
  bool caretShown_ = false;
  bool destroying_ = false;  // our own DestroyWindow: no kDestroy sent
  KeyState keys_;
  std::mutex postedLock_;
  std::deque<Event> posted_;  // from postEvent, under postedLock_
};

}  // namespace plat::win32

#endif  // TALONIX_PLATFORM_WIN32_WIN32_WINDOW_H_
