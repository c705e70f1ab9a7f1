// The window messages and small value types every platform service and the
// core share: key codes, events already translated to the core's terms,
// colours, rectangles, window and font descriptions, the local time.
#ifndef TALONIX_PLATFORM_EVENTS_H_
#define TALONIX_PLATFORM_EVENTS_H_

#include <cstdint>
#include <string>

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

// The modifiers a keyboard message carries.
struct Modifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

inline Event keyEventOf(EventKind kind, uint32_t code, Modifiers mods) {
  Event e;
  e.kind = kind;
  e.code = code;
  e.shift = mods.shift;
  e.ctrl = mods.ctrl;
  e.alt = mods.alt;
  return e;
}

inline Event eventOf(EventKind kind) {
  Event e;
  e.kind = kind;
  return e;
}

inline bool isKeyboardEvent(const Event& e) {
  return e.kind == EventKind::kKeyDown || e.kind == EventKind::kSysKeyDown ||
         e.kind == EventKind::kKeyUp || e.kind == EventKind::kChar;
}

// The core's window procedure. Returns true when the message was handled;
// false asks the backend for its default processing (see default_proc.h).
using WindowProc = bool (*)(const Event&);

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
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

}  // namespace plat

#endif  // TALONIX_PLATFORM_EVENTS_H_
