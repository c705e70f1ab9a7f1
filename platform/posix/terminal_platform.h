// The platform backend for a text terminal (xterm and its kin): the console
// window is the terminal itself, one cell per "pixel"; keys come from the
// terminal's input bytes, decoded into the messages a Windows console window
// would get; drawing goes through a cell renderer that sends only changes.
#ifndef TALONIX_PLATFORM_POSIX_TERMINAL_PLATFORM_H_
#define TALONIX_PLATFORM_POSIX_TERMINAL_PLATFORM_H_

#include <deque>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/term_decoder.h"
#include "platform/posix/term_renderer.h"

namespace plat::posix {

class TerminalPlatform : public plat::Platform {
 public:
  // Reads keys from `inFd` and draws on `outFd` (normally stdin, stdout).
  explicit TerminalPlatform(int inFd = 0, int outFd = 1);
  ~TerminalPlatform() override;

  void setWindowProc(plat::WindowProc proc) override { proc_ = proc; }
  bool createWindow(const plat::WindowConfig& config,
                    plat::FontMetrics* metrics) override;
  void destroyWindow() override;
  void setTitle(std::string_view title) override;
  void textOut(int column, int row, const uint8_t* chars, int count,
               plat::Rgb foreground, plat::Rgb background,
               uint8_t attr) override;
  void invalidateAll(bool erase) override;
  void updateWindow() override;
  void scrollUpOneLine(plat::Rgb background) override;
  bool isActiveWindow() override { return true; }
  int windowBottom() override { return 0; }
  // Large, so the console may scroll by copying lines.
  int screenHeight() override { return 100000; }
  plat::Rect workArea() override { return plat::Rect{0, 0, 1024, 734}; }
  void clientSize(int* width, int* height) override;
  void showCaret(int column, int row) override;
  void hideCaret() override;
  bool hasFocus() override { return true; }
  // A terminal reports no release of the right button, so the magnifier
  // stays with the window front end.
  void takeSnapshot() override {}
  void stretchSnapshot(int, int, int, int) override {}
  void freeSnapshot() override {}

  void waitEvent() override;
  plat::PumpResult pumpOne(bool consoleOnly) override;
  void postMessage(uint32_t message) override;

  void messageBeep() override;
  void playLoopingWave(const uint8_t* image, size_t size) override;
  void stopLoopingWave() override;
  int waveOpen(uint32_t sampleRate, uint16_t bitsPerSample,
               uint16_t channels) override;
  bool waveWrite(const uint8_t* data, size_t size, uintptr_t tag) override;
  void waveReset() override;
  void waveClose() override;

  bool setClipboardText(std::string_view text) override;
  bool getClipboardText(std::string* text, bool* hasText) override;

  plat::LocalTime localTime() override;
  uint64_t tickMs() override;
  void sleepMs(unsigned ms) override;

  size_t getPrivateProfileString(const char* section, const char* key,
                                 const char* defaultValue, char* buffer,
                                 size_t size, const char* file) override;
  bool writePrivateProfileString(const char* section, const char* key,
                                 const char* value, const char* file) override;
  size_t getProfileString(const char* section, const char* key,
                          const char* defaultValue, char* buffer,
                          size_t size) override;

  std::string windowsDirectory() override;
  std::string currentDirectory() override;
  std::string programPath() override;
  char pathSeparator() override { return '/'; }
  std::filesystem::path nativePath(std::string_view path) override;
  bool fileExists(std::string_view path) override;
  // open + fsync (terminal_files.cc).
  bool flushFileToDisk(const std::filesystem::path& path) override;

  [[noreturn]] void exitProcess(int code) override;
  bool keyHeld(uint32_t virtualKey) override;
  // xdg-open (or the named program), detached; never waited on.
  void shellOpen(std::string_view program, std::string_view parameters,
                 std::string_view directory) override;

  // Bytes sent to the terminal so far.
  uint64_t bytesWritten() const { return bytesWritten_; }

 private:
  void flushScreen();
  void writeOut(const std::string& bytes);
  // Reads what the terminal has sent (waiting up to timeoutMs; -1 = no
  // limit) and decodes it; also serves resizes and posted messages.
  void collectInput(int timeoutMs);
  void readTerminal();
  void queueDecoded();
  // Finished sound buffers become kWaveDone events.
  void queueWaveDone();
  void dispatch(const plat::Event& event);
  void updateTerminalSize();

  int inFd_;
  int outFd_;
  plat::WindowProc proc_ = nullptr;
  bool windowOpen_ = false;
  bool inputClosed_ = false;
  bool paintPending_ = false;
  bool quitRequested_ = false;
  plat::posix::Renderer renderer_;
  plat::posix::Decoder decoder_;
  std::vector<plat::Event> decoded_;
  std::deque<plat::Event> queue_;
  std::string clipboard_;
  bool clipboardHasText_ = false;
  uint64_t bytesWritten_ = 0;
  // Modifiers of the last keyboard message dispatched (GetKeyState).
  bool shiftHeld_ = false, ctrlHeld_ = false, altHeld_ = false;
};

}  // namespace plat::posix

#endif  // TALONIX_PLATFORM_POSIX_TERMINAL_PLATFORM_H_
