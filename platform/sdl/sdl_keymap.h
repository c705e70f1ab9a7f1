// SDL's keyboard events turned into the messages a Windows console window
// receives: WM_KEYDOWN (WM_SYSKEYDOWN under Alt without Ctrl) and WM_KEYUP
// with Windows virtual-key codes, and WM_CHAR with Windows-1252 bytes. SDL
// sends printable characters, accents composed, as text input; the
// characters Windows makes from keys (Esc, Enter, Backspace, Tab,
// Ctrl+letter) come from the key-down here, since SDL sends no text for
// them.
#ifndef TALONIX_PLATFORM_SDL_SDL_KEYMAP_H_
#define TALONIX_PLATFORM_SDL_SDL_KEYMAP_H_

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/events.h"

namespace plat::sdl {

// The virtual key of an SDL key code, as the key's label maps it (the key
// that types "a" is 'A', whatever its place on the keyboard): letters,
// digits, the US punctuation keys (VK_OEM_*), F1..F12, the editing and
// arrow keys, Esc, Enter (the keypad's too), Backspace, Tab, the space
// bar, Shift, Ctrl, Alt, Pause (VK_CANCEL with Ctrl, as Ctrl+Break), and
// the keypad's digits and operators. 0 when Windows has no code for it.
uint32_t virtualKeyOf(SDL_Keycode key, Modifiers mods);

// Shift, Ctrl and Alt from SDL's modifier state; either Alt key counts.
Modifiers modifiersOf(uint16_t sdlMod);

// The character Windows makes from a key-down that SDL gives no text for:
// Esc 27, Enter 13 (the keypad's too; 10 with Ctrl), Backspace 8 (127 with
// Ctrl), Tab 9 (nothing with Ctrl), Ctrl+letter 1..26, Ctrl+[ 27, Ctrl+\ 28,
// Ctrl+] 29, Ctrl+space 32. -1 for any other key and whenever Alt is held.
int controlCharOf(SDL_Keycode key, Modifiers mods);

// Whether SDL text typed under SDL's modifier state `sdlMod` is a
// character for the program. Under the left Alt or Ctrl, Windows types no
// character (the key is a command); the right Alt may be AltGr, which
// types characters, so text under it counts.
bool textCountsWith(uint16_t sdlMod);

// UTF-8 text to Windows-1252 bytes; a character Windows-1252 lacks, and
// every control character, is dropped.
std::string textBytesOf(const char* utf8);

// Appends the messages of one SDL key event: kKeyDown or kSysKeyDown, then
// kChar when controlCharOf gives one; or kKeyUp, except for a key released
// under Alt without Ctrl (WM_SYSKEYUP, which the program never sees). A key
// with no virtual key gives nothing. Key repeats give their key-down again,
// as Windows does. The keypad's digit keys and its point are the navigation
// keys (Insert, End, Down, ...) unless they type digits: NumLock on without
// Shift, or off with Shift, as X11 types them. Ctrl+Shift+F11 and
// Ctrl+Shift+F12 come as Ctrl+Alt+F11 and Ctrl+Alt+F12 (the Braille mode
// switches), which desktops keep for switching virtual terminals.
void keyEventsOf(const SDL_KeyboardEvent& key, std::vector<Event>* out);

// Appends one kChar per byte of textBytesOf(text.text), carrying
// modifiersOf(sdlMod); `sdlMod` is the modifier state of the key-down the
// text came from. Nothing when textCountsWith(sdlMod) is false.
void textEventsOf(const SDL_TextInputEvent& text, uint16_t sdlMod,
                  std::vector<Event>* out);

}  // namespace plat::sdl

#endif  // TALONIX_PLATFORM_SDL_SDL_KEYMAP_H_
