// The console window in a text terminal (xterm and its kin): the window is
// the terminal itself, one cell per "pixel"; keys come from the terminal's
// input bytes, decoded into the messages a Windows console window would
// get; drawing goes through a cell renderer that sends only changes. The
// clipboard is kept here and handed to the user's terminal (OSC 52).
#ifndef TALONIX_PLATFORM_POSIX_TERMINAL_WINDOW_H_
#define TALONIX_PLATFORM_POSIX_TERMINAL_WINDOW_H_

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/posix/term_decoder.h"
#include "platform/posix/term_renderer.h"
#include "platform/shared/window_defaults.h"
#include "platform/window.h"

namespace plat::posix {

class TerminalWindow : public Window, public Clipboard {
 public:
  // Reads keys from `inFd` and draws on `outFd` (normally stdin, stdout).
  explicit TerminalWindow(int inFd = 0, int outFd = 1);
  ~TerminalWindow() override;

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
  bool isActiveWindow() override { return true; }
  int windowBottom() override { return 0; }
  // Large, so the console may scroll by copying lines.
  int screenHeight() override { return 100000; }
  Rect workArea() override { return Rect{0, 0, 1024, 734}; }
  void clientSize(int* width, int* height) override;
  void showCaret(int column, int row) override;
  void hideCaret() override;
  bool hasFocus() override { return true; }
  bool keyHeld(uint32_t virtualKey) override { return keys_.held(virtualKey); }
  // The terminal's bell (BEL).
  void messageBeep() override;
  void waitEvent() override;
  PumpResult pumpOne(bool consoleOnly) override;
  void postMessage(uint32_t message) override;
  // From any thread: queued under a lock and the loop woken.
  void postEvent(const Event& event) override;

  // --- plat::Clipboard -----------------------------------------------------
  bool setClipboardText(std::string_view text) override;
  bool getClipboardText(std::string* text, bool* hasText) override;

  // Sends what was drawn and not yet shown (before the program sleeps or
  // ends).
  void flushScreen();
  // Gives the terminal back (before the process ends).
  void release();
  // Bytes sent to the terminal so far.
  uint64_t bytesWritten() const { return bytesWritten_; }

 private:
  void writeOut(const std::string& bytes);
  // Reads what the terminal has sent (waiting up to timeoutMs; -1 = no
  // limit) and decodes it; also serves resizes and posted events.
  void collectInput(int timeoutMs);
  void readTerminal();
  void queueDecoded();
  void takePosted();
  void dispatch(const Event& event);
  void updateTerminalSize();

  int inFd_;
  int outFd_;
  WindowProc proc_ = nullptr;
  bool windowOpen_ = false;
  bool inputClosed_ = false;
  bool paintPending_ = false;
  bool quitRequested_ = false;
  Renderer renderer_;
  Decoder decoder_;
  std::vector<Event> decoded_;
  std::deque<Event> queue_;
  std::mutex postedLock_;
  std::vector<Event> posted_;  // from postEvent, under postedLock_
  std::string clipboard_;
  bool clipboardHasText_ = false;
  uint64_t bytesWritten_ = 0;
  KeyState keys_;  // modifiers of the last keyboard message
};

}  // namespace plat::posix

#endif  // TALONIX_PLATFORM_POSIX_TERMINAL_WINDOW_H_
