// The key script of the scenario runner: a text naming what the user types,
// turned into the window events a real Windows keyboard would give.
//
// Syntax (tokens separated by blanks or line ends; '#' starts a comment that
// runs to the end of the line):
//   "text"        types each character in turn; \" and \\ are the only
//                 escapes; the string must end on its own line. Letters,
//                 digits, the space and US-layout punctuation get their own
//                 virtual key (Shift where the US layout needs it); any other
//                 character (the script is UTF-8; the character is converted
//                 to Windows-1252) arrives as a character between key down
//                 and key up of VK_PACKET, as an input method delivers it.
//   key names     Enter Esc Tab Backspace Space Up Down Left Right Home End
//                 PgUp PgDn Ins Del F1..F12 Break, a single letter or digit
//                 (the bare key: "C" gives the character 'c'), with modifiers
//                 joined by '+': Ctrl+F5, Shift+Tab, Ctrl+Alt+A, Alt+F4,
//                 Ctrl+Break. Names are compared without regard to case.
//   chord:FD      presses the listed letter keys (and SPACE, joined by '+':
//                 chord:SPACE+F) together, then releases them all.
//   { ... }       delivers the keys inside as one group (type-ahead).
//   ~KEY ~{ ... } the key or group is pressed while the program speaks: it
//                 arrives at the program's first wait for a message after
//                 the previous group arrived, even with sound still playing.
//   ~N:KEY        the same at the N-th such wait (1..1000; "~" is "~1:").
//   ~N:{ ... }    Should the program go idle sooner, it arrives then.
// Every key outside braces is a group of its own. Other groups arrive only
// when the program is idle: its queue empty and nothing of its own sounding.
//
// Events of one key: key down (with the Shift, Ctrl, Alt flags), its
// character where it has one, key up. The modifier keys themselves send no
// events: their state travels in the flags. With Alt held and Ctrl not, the
// down is a system key down and neither a character nor a key up follows
// (Windows sends WM_SYSKEYUP there, which the program never sees).
#ifndef TALONIX_PLATFORM_HEADLESS_KEY_SCRIPT_H_
#define TALONIX_PLATFORM_HEADLESS_KEY_SCRIPT_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace plat::headless {

// Events delivered to the program together, when it is next idle or, for a
// key pressed during speech, at the bargeInWaits-th wait for a message after
// the previous group (0: only when idle).
struct KeyGroup {
  std::vector<plat::Event> events;
  int bargeInWaits = 0;
};

// The largest wait count a "~N:" prefix may give.
constexpr int kMaxBargeInWaits = 1000;

// Parses a whole script. On success fills `groups` and returns true. On an
// error (unknown key name, unterminated string or brace, ...) returns false
// with `error` naming the line ("line 3: unknown key name 'Foo'").
bool parseKeyScript(std::string_view script, std::vector<KeyGroup>* groups,
                    std::string* error);

// The events of one named key ("Ctrl+Alt+A", "F1", ...). False when the name
// is not known.
bool keyEvents(std::string_view name, std::vector<plat::Event>* events);

// The events of typing one Windows-1252 character.
void typedCharEvents(uint8_t ch, std::vector<plat::Event>* events);

}  // namespace plat::headless

#endif  // TALONIX_PLATFORM_HEADLESS_KEY_SCRIPT_H_
