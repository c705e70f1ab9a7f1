#include "platform/sdl/sdl_keymap.h"

#include <cstring>

#include "platform/shared/codepage.h"
#include "platform/shared/us_keys.h"

namespace plat::sdl {
namespace {

constexpr uint32_t kVkClear = 0x0C, kVkPause = 0x13, kVkNumpad0 = 0x60,
                   kVkMultiply = 0x6A, kVkAdd = 0x6B, kVkSubtract = 0x6D,
                   kVkDecimal = 0x6E, kVkDivide = 0x6F;

// The keypad's second labels, which its keys carry while they type no
// digits.
uint32_t keypadNavigationOf(SDL_Keycode key) {
  switch (key) {
    case SDLK_KP_0: return kVkInsert;
    case SDLK_KP_1: return kVkEnd;
    case SDLK_KP_2: return kVkDown;
    case SDLK_KP_3: return kVkNext;
    case SDLK_KP_4: return kVkLeft;
    case SDLK_KP_5: return kVkClear;
    case SDLK_KP_6: return kVkRight;
    case SDLK_KP_7: return kVkHome;
    case SDLK_KP_8: return kVkUp;
    case SDLK_KP_9: return kVkPrior;
    case SDLK_KP_PERIOD: return kVkDelete;
    default: return 0;
  }
}

uint32_t namedKeyOf(SDL_Keycode key, Modifiers mods) {
  switch (key) {
    case SDLK_INSERT: return kVkInsert;
    case SDLK_DELETE: return kVkDelete;
    case SDLK_HOME: return kVkHome;
    case SDLK_END: return kVkEnd;
    case SDLK_PAGEUP: return kVkPrior;
    case SDLK_PAGEDOWN: return kVkNext;
    case SDLK_LEFT: return kVkLeft;
    case SDLK_UP: return kVkUp;
    case SDLK_RIGHT: return kVkRight;
    case SDLK_DOWN: return kVkDown;
    case SDLK_ESCAPE: return kVkEscape;
    case SDLK_RETURN: case SDLK_KP_ENTER: return kVkReturn;
    case SDLK_BACKSPACE: return kVkBack;
    case SDLK_TAB: return kVkTab;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return kVkShift;
    case SDLK_LCTRL: case SDLK_RCTRL: return kVkControl;
    case SDLK_LALT: case SDLK_RALT: return kVkMenu;
    // Ctrl+Pause is the Break key, which ends the program.
    case SDLK_PAUSE: return mods.ctrl ? kVkCancel : kVkPause;
    case SDLK_KP_0: return kVkNumpad0;
    case SDLK_KP_PERIOD: return kVkDecimal;
    case SDLK_KP_MULTIPLY: return kVkMultiply;
    case SDLK_KP_PLUS: return kVkAdd;
    case SDLK_KP_MINUS: return kVkSubtract;
    case SDLK_KP_DIVIDE: return kVkDivide;
    default: break;
  }
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
    return kVkNumpad0 + 1 + static_cast<uint32_t>(key - SDLK_KP_1);
  }
  return 0;
}

// Whether the keypad key types digits: NumLock on, or off with Shift, as
// X11's keypad does (Shift inverts NumLock there).
bool keypadTypesDigits(uint16_t sdlMod) {
  return ((sdlMod & KMOD_NUM) != 0) != ((sdlMod & KMOD_SHIFT) != 0);
}

// One character of Windows-1252, or -1 for a malformed sequence, one
// Windows-1252 lacks, or a control character. *length: the bytes used.
int cp1252Of(const char* text, size_t size, size_t* length) {
  const auto lead = static_cast<uint8_t>(text[0]);
  size_t n = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2
                         : (lead & 0xF0) == 0xE0 ? 3
                         : (lead & 0xF8) == 0xF0 ? 4 : 1;
  if (n > size) n = size;
  const std::string one = utf8ToCp1252(std::string_view(text, n));
  // The converter writes '?' for what it cannot hold; only a typed '?'
  // stays. A bad sequence gives up one byte, so what follows still counts.
  const bool held = one.size() == 1 && (one[0] != '?' || (n == 1 && lead == '?'));
  *length = held ? n : 1;
  if (!held) return -1;
  const auto c = static_cast<uint8_t>(one[0]);
  return c < 32 || c == 127 ? -1 : c;
}

}  // namespace

uint32_t virtualKeyOf(SDL_Keycode key, Modifiers mods) {
  if (key >= SDLK_F1 && key <= SDLK_F12) {
    return kVkF1 + static_cast<uint32_t>(key - SDLK_F1);
  }
  if (const uint32_t named = namedKeyOf(key, mods)) return named;
  if (key <= 0 || key >= 0x7F) return 0;
  // A key code that is a shifted US character belongs to a key the US
  // layout lacks (the '!' key of a French keyboard): no code for it.
  const UsKey us = usKeyOf(static_cast<uint8_t>(key));
  return us.shifted ? 0 : us.vk;
}

Modifiers modifiersOf(uint16_t sdlMod) {
  Modifiers m;
  m.shift = (sdlMod & KMOD_SHIFT) != 0;
  m.ctrl = (sdlMod & KMOD_CTRL) != 0;
  m.alt = (sdlMod & KMOD_ALT) != 0;
  return m;
}

int controlCharOf(SDL_Keycode key, Modifiers mods) {
  if (mods.alt) return -1;
  switch (key) {
    case SDLK_ESCAPE: return 27;
    case SDLK_RETURN: case SDLK_KP_ENTER: return mods.ctrl ? 10 : 13;
    case SDLK_BACKSPACE: return mods.ctrl ? 127 : 8;
    case SDLK_TAB: return mods.ctrl ? -1 : 9;  // Ctrl+Tab types nothing
    default: break;
  }
  if (!mods.ctrl) return -1;
  if (key >= SDLK_a && key <= SDLK_z) return static_cast<int>(key - SDLK_a) + 1;
  switch (key) {
    case SDLK_LEFTBRACKET: return 27;
    case SDLK_BACKSLASH: return 28;
    case SDLK_RIGHTBRACKET: return 29;
    case SDLK_SPACE: return ' ';  // SDL's text under Ctrl is not taken
    default: return -1;
  }
}

bool textCountsWith(uint16_t sdlMod) {
  if (sdlMod & KMOD_LALT) return false;
  // AltGr is Ctrl+Alt on Windows: characters typed with it count under
  // Ctrl too.
  if (sdlMod & (KMOD_RALT | KMOD_MODE)) return true;
  return (sdlMod & KMOD_CTRL) == 0;
}

std::string textBytesOf(const char* utf8) {
  std::string out;
  if (utf8 == nullptr) return out;
  const size_t size = std::strlen(utf8);
  for (size_t i = 0; i < size;) {
    size_t length = 1;
    const int c = cp1252Of(utf8 + i, size - i, &length);
    if (c >= 0) out += static_cast<char>(c);
    i += length;
  }
  return out;
}

void keyEventsOf(const SDL_KeyboardEvent& key, std::vector<Event>* out) {
  const uint16_t sdlMod = key.keysym.mod;
  Modifiers mods = modifiersOf(sdlMod);
  uint32_t vk = 0;
  if (!keypadTypesDigits(sdlMod)) {
    vk = keypadNavigationOf(key.keysym.sym);
    // Windows reports Shift released while it turns a digit into an arrow.
    if (vk != 0 && (sdlMod & KMOD_NUM)) mods.shift = false;
  }
  if (vk == 0) vk = virtualKeyOf(key.keysym.sym, mods);
  if (vk == 0) return;
  // X servers and Linux desktops keep Ctrl+Alt+F11 and F12 for switching
  // virtual terminals, so the Braille mode switches would never arrive:
  // Ctrl+Shift stands for Ctrl+Alt on those two keys.
  if ((vk == kVkF11 || vk == kVkF12) && mods.ctrl && mods.shift && !mods.alt) {
    mods.shift = false;
    mods.alt = true;
  }
  const bool sys = mods.alt && !mods.ctrl;
  if (key.type == SDL_KEYUP) {
    // Windows sends a key released under Alt alone as WM_SYSKEYUP, which
    // the program never sees: as a key-up it would end a Braille chord.
    // The Alt key's own release is one too, though SDL has already taken
    // Alt out of the modifiers by then.
    const bool altReleased = vk == kVkMenu && !mods.ctrl;
    if (!sys && !altReleased) out->push_back(keyEventOf(EventKind::kKeyUp, vk, mods));
    return;
  }
  if (key.type != SDL_KEYDOWN) return;
  out->push_back(keyEventOf(sys ? EventKind::kSysKeyDown : EventKind::kKeyDown,
                            vk, mods));
  const int ch = controlCharOf(key.keysym.sym, mods);
  if (ch >= 0) {
    out->push_back(keyEventOf(EventKind::kChar, static_cast<uint32_t>(ch), mods));
  }
}

void textEventsOf(const SDL_TextInputEvent& text, uint16_t sdlMod,
                  std::vector<Event>* out) {
  if (!textCountsWith(sdlMod)) return;
  const Modifiers mods = modifiersOf(sdlMod);
  // SDL ends the text with a NUL; a text filling the field is cut there.
  char bounded[sizeof text.text + 1] = {};
  std::memcpy(bounded, text.text, sizeof text.text);
  for (const char c : textBytesOf(bounded)) {
    out->push_back(keyEventOf(EventKind::kChar, static_cast<uint8_t>(c), mods));
  }
}

}  // namespace plat::sdl
