// The platform layer: every operating-system service the core uses, behind
// one interface. The core includes no OS header; each backend is one class
// implementing this interface (headless, POSIX terminal, later Win32).
//
// Conventions:
// - All texts are Windows-1252 bytes. Backends convert at their edge (UTF-8
//   terminals, POSIX file names).
// - Positions on the console grid are 0-based cells (column 0..79, row
//   0..24). Mouse positions and window sizes are in pixels (a terminal
//   backend uses one pixel per cell).
// - Nothing here throws, except that exitProcess() does not return.
// - Every call is made from the program's single thread. Backends that run
//   threads of their own (audio) hand their results back as events.
#ifndef TALONIX_PLATFORM_PLATFORM_H_
#define TALONIX_PLATFORM_PLATFORM_H_

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace plat {

// Virtual-key codes used by the core (the Win32 values).
enum VirtualKey : uint32_t {
  kVkBack = 0x08, kVkTab = 0x09, kVkReturn = 0x0D, kVkShift = 0x10,
  kVkControl = 0x11, kVkMenu = 0x12, kVkCancel = 0x03, kVkEscape = 0x1B,
  kVkSpace = 0x20, kVkPrior = 0x21, kVkNext = 0x22, kVkEnd = 0x23,
  kVkHome = 0x24, kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27,
  kVkDown = 0x28, kVkInsert = 0x2D, kVkDelete = 0x2E, kVkF1 = 0x70,
  kVkF4 = 0x73, kVkF11 = 0x7A, kVkF12 = 0x7B, kVkOem5 = 0xDC,  // '\' key
};

// Private message numbers posted to the console window to end a wait.
constexpr uint32_t kMsgWakeSpeech = 1123;  // WM_USER + 99
constexpr uint32_t kMsgWakeOther = 2980;

// One window message, already translated to the core's terms.
enum class EventKind : uint8_t {
  kKeyDown,     // WM_KEYDOWN: code = virtual key
  kSysKeyDown,  // WM_SYSKEYDOWN (Alt held, Ctrl not): code = virtual key
  kKeyUp,       // WM_KEYUP: code = virtual key
  kChar,        // WM_CHAR: code = Windows-1252 byte
  kSetFocus,
  kKillFocus,
  kClose,       // WM_CLOSE: the user asks to close the window
  kPaint,       // WM_PAINT: cells [x, x2) x [y, y2) need repainting
  kMouseRDown,  // right button pressed at pixel (x, y)
  kMouseMove,
  kMouseRUp,
  kUser,        // a posted private message: code = message number
  kWaveDone,    // MM_WOM_DONE: wparam, lparam as delivered by wave output
  kDestroy,     // WM_DESTROY
};

struct Event {
  EventKind kind = EventKind::kUser;
  uint32_t code = 0;
  // Modifier state at the time of the message (GetKeyState < 0).
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  int x = 0, y = 0, x2 = 0, y2 = 0;
  uintptr_t wparam = 0, lparam = 0;
};

// The core's window procedure. Returns true when the message was handled;
// false asks the backend for its default processing (DefWindowProcA): for
// kSysKeyDown of Alt+F4 that is a kClose event.
using WindowProc = bool (*)(const Event&);

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
};

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct WindowConfig {
  std::string title;      // initial title
  std::string fontFace;   // e.g. "Lucida Console"
  int fontWidth = 0;      // pixels; the backend maps it to its own units
  int fontHeight = 0;
  int fontWeight = 0;     // 0 = the platform's default weight
  bool maximized = true;  // SW_MAXIMIZE, else SW_SHOW at the default place
};

// Font metrics of the created window, in pixels.
struct FontMetrics {
  int cellWidth = 1;   // tmAveCharWidth
  int lineHeight = 1;  // tmHeight + tmExternalLeading
  int ascent = 1;      // tmAscent
  int overhang = 0;    // tmOverhang
  bool fontCreated = false;  // false: the stock fixed font is in use
};

struct LocalTime {
  int year = 2000, month = 1, day = 1, weekday = 6;  // weekday 0 = Sunday
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Result of one step of the message pump.
enum class PumpResult { kEmpty, kDispatched, kQuit };

class Platform {
 public:
  virtual ~Platform() = default;

  // --- Console window ------------------------------------------------------
  // Registers the procedure that receives every window message.
  virtual void setWindowProc(WindowProc proc) = 0;
  // Creates and shows the window. Returns false when no window could be made
  // (the core then keeps working without a visible window). `metrics` is
  // filled in either case.
  virtual bool createWindow(const WindowConfig& config,
                            FontMetrics* metrics) = 0;
  // Destroys the window; a kDestroy event is not sent back.
  virtual void destroyWindow() = 0;
  virtual void setTitle(std::string_view title) = 0;
  // Draws `count` cells of one row starting at `column`, with one colour pair.
  // `attr` is the cell attribute the colours came from (for recording only).
  virtual void textOut(int column, int row, const uint8_t* chars, int count,
                       Rgb foreground, Rgb background, uint8_t attr) = 0;
  // Marks the whole client area for repainting (erase: clear to black first).
  virtual void invalidateAll(bool erase) = 0;
  // Delivers any pending kPaint at once (UpdateWindow).
  virtual void updateWindow() = 0;
  // Copies the text area one line up and fills the freed bottom line with
  // `background` (BitBlt + PatBlt).
  virtual void scrollUpOneLine(Rgb background) = 0;
  virtual bool isActiveWindow() = 0;
  // Bottom edge of the window and height of the screen, in pixels.
  virtual int windowBottom() = 0;
  virtual int screenHeight() = 0;
  // Work area of the screen (SPI_GETWORKAREA), in pixels.
  virtual Rect workArea() = 0;
  // Client size of the window in pixels.
  virtual void clientSize(int* width, int* height) = 0;
  // Caret of one cell width by 2 pixels on the baseline of the cell.
  virtual void showCaret(int column, int row) = 0;
  virtual void hideCaret() = 0;
  virtual bool hasFocus() = 0;
  // Magnifier: snapshot the window, stretch a part of it over the whole
  // window, free the snapshot.
  virtual void takeSnapshot() = 0;
  virtual void stretchSnapshot(int srcX, int srcY, int srcWidth,
                               int srcHeight) = 0;
  virtual void freeSnapshot() = 0;

  // --- Message loop --------------------------------------------------------
  // Blocks until at least one message is pending (WaitMessage).
  virtual void waitEvent() = 0;
  // Takes one pending message (of any window, or only the console's) and
  // dispatches it to the window procedure. kQuit when the message was
  // WM_QUIT; it is not dispatched.
  virtual PumpResult pumpOne(bool consoleOnly) = 0;
  // Posts a private message to the console window (PostMessageA).
  virtual void postMessage(uint32_t message) = 0;

  // --- Sound ---------------------------------------------------------------
  virtual void messageBeep() = 0;
  // Plays an in-memory RIFF WAVE image looping until stopped
  // (sndPlaySoundA with SND_ASYNC | SND_MEMORY | SND_LOOP). The image is
  // copied; the caller keeps ownership of its buffer.
  virtual void playLoopingWave(const uint8_t* image, size_t size) = 0;
  virtual void stopLoopingWave() = 0;

  // --- Waveform output (in the shape of waveOut) ---------------------------
  // One output device at a time. Buffers play one after another in the
  // order written. Each written buffer comes back exactly once as a
  // kWaveDone event, delivered through the event loop on the program's
  // thread (never by a callback from another thread): wparam = the tag
  // given to waveWrite, lparam = its byte count. waveReset completes every
  // pending buffer at once (their events are queued before it returns);
  // waveClose on a device with pending buffers resets it first.
  // Ownership: waveWrite copies the bytes before it returns; the caller's
  // block is free again at once (the player still reuses a block only
  // after its completion, as with waveOut).
  // Result codes of waveOpen follow MMSYSERR: 0 success, 4 the device is
  // busy (worth retrying), 6 no device or driver, 32 format not supported.
  static constexpr int kWaveOk = 0;
  static constexpr int kWaveBusy = 4;
  static constexpr int kWaveNoDriver = 6;
  static constexpr int kWaveBadFormat = 32;
  virtual int waveOpen(uint32_t sampleRate, uint16_t bitsPerSample,
                       uint16_t channels) {
    (void)sampleRate;
    (void)bitsPerSample;
    (void)channels;
    return kWaveNoDriver;
  }
  // False when no device is open or the buffer cannot be taken (no event
  // then follows).
  virtual bool waveWrite(const uint8_t* data, size_t size, uintptr_t tag) {
    (void)data;
    (void)size;
    (void)tag;
    return false;
  }
  virtual void waveReset() {}
  virtual void waveClose() {}

  // --- Clipboard (CF_TEXT) -------------------------------------------------
  // False when the clipboard cannot be opened (nothing changes).
  virtual bool setClipboardText(std::string_view text) = 0;
  // False when the clipboard cannot be opened. *hasText false: no CF_TEXT.
  virtual bool getClipboardText(std::string* text, bool* hasText) = 0;

  // --- Clock ---------------------------------------------------------------
  virtual LocalTime localTime() = 0;
  virtual uint64_t tickMs() = 0;  // monotonic milliseconds
  virtual void sleepMs(unsigned ms) = 0;

  // --- Profile strings -----------------------------------------------------
  // GetPrivateProfileStringA: section or key may be null (list section names
  // or key names, each ended by NUL, the list by a second NUL). A bare file
  // name resolves in windowsDirectory(). Returns the number of characters
  // copied, not counting the terminator; at most size - 1 (size - 2 for a
  // list). A buffer of size 0 receives nothing.
  virtual size_t getPrivateProfileString(const char* section, const char* key,
                                         const char* defaultValue, char* buffer,
                                         size_t size, const char* file) = 0;
  // WritePrivateProfileStringA: a null key deletes the section, a null value
  // deletes the key. Creates the file and section on first write. False on
  // failure; the file is then unchanged.
  virtual bool writePrivateProfileString(const char* section, const char* key,
                                         const char* value,
                                         const char* file) = 0;
  // GetProfileStringA (the system's own settings file, WIN.INI).
  virtual size_t getProfileString(const char* section, const char* key,
                                  const char* defaultValue, char* buffer,
                                  size_t size) = 0;

  // --- Files and directories -----------------------------------------------
  // The Windows directory stand-in, without a trailing separator.
  virtual std::string windowsDirectory() = 0;
  virtual std::string currentDirectory() = 0;
  virtual std::string programPath() = 0;  // full path of the program file
  virtual char pathSeparator() = 0;
  // A Windows-1252 path as the native path type of the standard library.
  virtual std::filesystem::path nativePath(std::string_view path) = 0;
  virtual bool fileExists(std::string_view path) = 0;
  // Makes what has been written to the closed file `path` (or, for a
  // directory, its entries: a rename done in it) durable on the disk
  // (fsync, FlushFileBuffers), so a power cut after it keeps the data.
  // False when the disk reports an error: the data may not be there. The
  // default, for backends without a disk of their own, does nothing.
  virtual bool flushFileToDisk(const std::filesystem::path& path) {
    (void)path;
    return true;
  }

  // --- Process -------------------------------------------------------------
  // Ends the program with the exit code; does not return.
  [[noreturn]] virtual void exitProcess(int code) = 0;

  // --- Keyboard state and shell -------------------------------------------
  // GetKeyState(virtualKey) < 0 for kVkShift, kVkControl and kVkMenu: the
  // modifier was held at the keyboard message the program took last.
  virtual bool keyHeld(uint32_t virtualKey) {
    (void)virtualKey;
    return false;
  }
  // The shell's open verb (ShellExecuteA "open", shown normally): starts
  // `program` with `parameters` in `directory`, or opens a document with
  // its associated program. Never waits for it; the outcome is not
  // reported.
  virtual void shellOpen(std::string_view program, std::string_view parameters,
                         std::string_view directory) {
    (void)program;
    (void)parameters;
    (void)directory;
  }

  // --- Record of what happened ---------------------------------------------
  // One line per speech-layer call ("say ...", "char 65", ...), for the
  // headless backend's record; other backends ignore it.
  virtual void record(std::string_view line) { (void)line; }
};

// The process-wide backend. Set once at start-up (or by a test fixture);
// the core reaches every service through it.
Platform& platform();
void setPlatform(Platform* backend);
// platform().exitProcess(code), for callers that must not return.
[[noreturn]] void exitProgram(int code);

}  // namespace plat

#endif  // TALONIX_PLATFORM_PLATFORM_H_
