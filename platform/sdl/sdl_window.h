// The console window as a real desktop window, through SDL2: the grid is
// painted with the configured font into a canvas (sdl_canvas.h) and shown
// on SDL's window surface; SDL's keyboard, mouse, focus and window events
// become the messages a Windows console window gets. The magnifier
// stretches a snapshot of the window over it while the right button is
// held, and the clipboard is SDL's.
//
// Only the changed cells reach the screen: drawing marks them, and they are
// shown when the program next waits or pumps its messages (and before it
// sleeps or ends). An exposed or resized window is shown again from the
// canvas, without asking the program to paint.
//
// SDL's video is process-wide: one SdlWindow at a time, on the program's
// thread. postEvent alone may be called from any thread.
#ifndef TALONIX_PLATFORM_SDL_SDL_WINDOW_H_
#define TALONIX_PLATFORM_SDL_SDL_WINDOW_H_

#include <SDL.h>

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/magnifier.h"
#include "platform/sdl/sdl_canvas.h"
#include "platform/sdl/sdl_font.h"
#include "platform/shared/window_defaults.h"
#include "platform/window.h"

namespace plat::sdl {

// Starts SDL's video subsystem and checks that a console font exists.
// False, with the reason in *why, when there is no display to open a window
// on or no font to draw with: the program then uses the terminal.
bool windowAvailable(std::string* why);

class SdlWindow : public Window, public Clipboard, public Magnifier {
 public:
  SdlWindow();
  ~SdlWindow() override;
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;

  // Called with the reason when createWindow fails. The console goes on
  // without a window, which on a desktop nobody could see or type to: the
  // program's backend ends it here.
  void setNoWindowHandler(std::function<void(const std::string& why)> handler) {
    noWindow_ = std::move(handler);
  }

  // --- plat::Window --------------------------------------------------------
  void setWindowProc(WindowProc proc) override { proc_ = proc; }
  // The font from config.fontFace (findFontFile; the usual font when that
  // face cannot draw the Windows-1252 letters), cells of
  // config.fontWidth x config.fontHeight pixels; a window of the grid's
  // size, resizable, maximised when config.maximized. Its largest size is
  // the grid (capped to the screen), its smallest 16 x 4 cells.
  bool createWindow(const WindowConfig& config, FontMetrics* metrics) override;
  void destroyWindow() override;
  void setTitle(std::string_view title) override;
  void textOut(int column, int row, const uint8_t* chars, int count,
               Rgb foreground, Rgb background, uint8_t attr) override;
  void invalidateAll(bool erase) override;
  void updateWindow() override;
  void scrollUpOneLine(Rgb background, uint8_t attr) override;
  bool isActiveWindow() override { return focused_; }
  int windowBottom() override;
  int screenHeight() override;
  Rect workArea() override;
  void clientSize(int* width, int* height) override;
  void showCaret(int column, int row) override;
  void hideCaret() override;
  bool hasFocus() override { return focused_; }
  bool keyHeld(uint32_t virtualKey) override { return keys_.held(virtualKey); }
  void messageBeep() override;
  void waitEvent() override;
  PumpResult pumpOne(bool consoleOnly) override;
  void postMessage(uint32_t message) override;
  void postEvent(const Event& event) override;

  // --- plat::Clipboard (SDL's, as UTF-8) -----------------------------------
  bool setClipboardText(std::string_view text) override;
  bool getClipboardText(std::string* text, bool* hasText) override;

  // --- plat::Magnifier ------------------------------------------------------
  void takeSnapshot() override;
  void stretchSnapshot(int srcX, int srcY, int srcWidth,
                       int srcHeight) override;
  void freeSnapshot() override;

  // Shows the cells drawn since the last call, and the caret.
  void present();

  // For tests and benchmarks.
  SDL_Window* sdlWindow() const { return window_; }
  const Canvas& canvas() const { return canvas_; }
  // The canvas rectangles the last present() sent to the screen.
  const std::vector<PixelRect>& lastPresented() const { return presented_; }

 private:
  void translate(const SDL_Event& e);
  void onWindowEvent(const SDL_WindowEvent& e);
  void collect(bool wait);
  void takePosted();
  void dispatch(const Event& e);
  bool openWindow(const WindowConfig& config, FontMetrics* metrics, std::string* why);
  bool loadFont(const WindowConfig& config);
  void showAll();
  void setSizeLimits();
  PixelRect caretRect(int column, int row) const;
  bool blitCanvas(SDL_Surface* surface, const PixelRect& r);
  static void invertRect(SDL_Surface* surface, const PixelRect& r);
  void queueMouse(EventKind kind, int x, int y);

  SDL_Window* window_ = nullptr;
  WindowProc proc_ = nullptr;
  std::function<void(const std::string&)> noWindow_;
  GlyphAtlas atlas_;
  Canvas canvas_;
  std::vector<PixelRect> presented_;
  std::deque<Event> queue_;
  std::mutex postedLock_;
  std::vector<Event> posted_;  // from postEvent, under postedLock_
  uint32_t wakeEvent_ = 0;     // SDL user event that ends a wait
  KeyState keys_;
  uint16_t lastKeyMod_ = 0;    // SDL modifiers of the last key-down
  bool focused_ = false;
  bool paintPending_ = false;
  bool quitRequested_ = false;
  bool caretShown_ = false;    // the program wants it (showCaret)
  int caretColumn_ = 0, caretRow_ = 0;
  bool caretDrawn_ = false;    // it is on the screen, at drawn*_
  int drawnColumn_ = 0, drawnRow_ = 0;
  SDL_Surface* picture_ = nullptr;  // the canvas's pixels, as SDL sees them
  SDL_Surface* snapshot_ = nullptr;
  SDL_Rect lastStretch_{0, 0, 0, 0};
  bool magnified_ = false;     // the window shows the stretched snapshot
};

}  // namespace plat::sdl

#endif  // TALONIX_PLATFORM_SDL_SDL_WINDOW_H_
