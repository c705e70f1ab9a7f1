// The console window and its message loop: drawing cells, the caret, focus
// and the modifier keys' state. Every call is made on the program's thread.
// Positions on the console grid are 0-based cells (column 0..79, row 0..24);
// mouse positions and window sizes are pixels (a terminal backend counts one
// pixel per cell).
#ifndef TALONIX_PLATFORM_WINDOW_H_
#define TALONIX_PLATFORM_WINDOW_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/events.h"

namespace plat {

// Where a backend piece hands the events it produces (finished sound
// buffers, say): they join the window's queue and reach the window
// procedure on the program's thread, in the order posted. postEvent may be
// called from any thread, and never blocks for long.
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void postEvent(const Event& event) = 0;
};

class Window : public EventSink {
 public:
  // Registers the procedure that receives every window message. The window
  // keeps the pointer; null stops delivery (messages are then dropped).
  virtual void setWindowProc(WindowProc proc) = 0;
  // Creates and shows the window. False when no window could be made (the
  // core then keeps working without a visible window). `metrics` may be
  // null; when given it is filled in either case.
  virtual bool createWindow(const WindowConfig& config,
                            FontMetrics* metrics) = 0;
  // Destroys the window; no kDestroy event is sent back. Harmless when
  // there is no window.
  virtual void destroyWindow() = 0;
  // The window keeps a copy. Ignored while there is no window.
  virtual void setTitle(std::string_view title) = 0;
  // Draws `count` cells of one row from `column`, with one colour pair.
  // `attr` is the cell attribute the colours came from (kept by backends
  // that record the screen). Cells outside the grid are skipped.
  virtual void textOut(int column, int row, const uint8_t* chars, int count,
                       Rgb foreground, Rgb background, uint8_t attr) = 0;
  // Marks the whole client area for repainting (erase: clear to black).
  virtual void invalidateAll(bool erase) = 0;
  // Delivers a pending kPaint at once (UpdateWindow).
  virtual void updateWindow() = 0;
  // Copies the text area one line up and fills the freed bottom line with
  // `background`, the colour of the attribute `attr` (BitBlt + PatBlt).
  virtual void scrollUpOneLine(Rgb background, uint8_t attr) = 0;
  virtual bool isActiveWindow() = 0;
  // Bottom edge of the window and height of the screen, in pixels.
  virtual int windowBottom() = 0;
  virtual int screenHeight() = 0;
  // Work area of the screen (SPI_GETWORKAREA), in pixels.
  virtual Rect workArea() = 0;
  // Client size of the window in pixels; both non-null.
  virtual void clientSize(int* width, int* height) = 0;
  // Caret of one cell width by 2 pixels on the baseline of the cell.
  virtual void showCaret(int column, int row) = 0;
  virtual void hideCaret() = 0;
  virtual bool hasFocus() = 0;
  // GetKeyState(virtualKey) < 0 for kVkShift, kVkControl and kVkMenu: the
  // modifier was held at the keyboard message dispatched last. False for
  // any other key.
  virtual bool keyHeld(uint32_t virtualKey) = 0;
  // The user's attention signal for a BEL written to the console: the
  // system's default sound (MessageBeep), or the terminal's bell.
  virtual void messageBeep() = 0;

  // --- Message loop --------------------------------------------------------
  // Blocks until at least one message is pending (WaitMessage).
  virtual void waitEvent() = 0;
  // Takes one pending message (of any window, or only the console's) and
  // dispatches it to the window procedure. kQuit when the message was
  // WM_QUIT; it is not dispatched. kEmpty when nothing was pending.
  virtual PumpResult pumpOne(bool consoleOnly) = 0;
  // Posts a private message to the console window (PostMessageA).
  virtual void postMessage(uint32_t message) = 0;
};

}  // namespace plat

#endif  // TALONIX_PLATFORM_WINDOW_H_
