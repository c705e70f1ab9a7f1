// SDL's key and text events, as the desktop window receives them, through
// the console's window procedure into the key queue: the bytes must be
// those a Windows console window would queue for the same keys.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "console/keyboard.h"
#include "console/keys.h"
#include "keyboard_fixture.h"
#include "platform/sdl/sdl_keymap.h"

namespace {

using Bytes = std::vector<uint8_t>;

class SdlKeymapTest : public KeyboardConsoleTest {
 protected:
  static void deliver(const std::vector<plat::Event>& events) {
    for (const plat::Event& e : events) consoleWindowProc(e);
  }
  static void key(Uint32 type, SDL_Keycode sym, uint16_t mod,
                  uint8_t repeat = 0) {
    SDL_KeyboardEvent k{};
    k.type = type;
    k.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    k.repeat = repeat;
    k.keysym.sym = sym;
    k.keysym.mod = mod;
    std::vector<plat::Event> events;
    plat::sdl::keyEventsOf(k, &events);
    deliver(events);
  }
  // A key-down with the text SDL sends for it, if any.
  static void press(SDL_Keycode sym, uint16_t mod, const char* text = nullptr) {
    key(SDL_KEYDOWN, sym, mod);
    if (text == nullptr) return;
    SDL_TextInputEvent t{};
    t.type = SDL_TEXTINPUT;
    std::strncpy(t.text, text, sizeof t.text - 1);
    std::vector<plat::Event> events;
    plat::sdl::textEventsOf(t, mod, &events);
    deliver(events);
  }
  static void release(SDL_Keycode sym, uint16_t mod) { key(SDL_KEYUP, sym, mod); }
  static Bytes taken() {
    KeyQueue& q = keyQueue();
    Bytes bytes(q.bytes, q.bytes + q.count);
    q.count = 0;
    return bytes;
  }
};

TEST_F(SdlKeymapTest, KeysAndTextQueueWhatWindowsWould) {
  constexpr uint16_t kCtrlAlt = KMOD_LCTRL | KMOD_LALT;
  struct Case {
    SDL_Keycode sym;
    uint16_t mod;
    const char* text;
    Bytes queued;
  };
  const Case cases[] = {
      {SDLK_F1, 0, nullptr, {0, 59}},
      {SDLK_F1, KMOD_LCTRL, nullptr, {0, 94}},
      {SDLK_F12, KMOD_LSHIFT, nullptr, {0, 70}},
      {SDLK_INSERT, KMOD_LSHIFT, nullptr, {0, 254}},
      {SDLK_INSERT, KMOD_RCTRL, nullptr, {0, 255}},
      {SDLK_RETURN, 0, nullptr, {13}},
      {SDLK_RETURN, KMOD_LCTRL, nullptr, {10}},
      {SDLK_BACKSPACE, 0, nullptr, {8}},
      {SDLK_BACKSPACE, KMOD_LCTRL, nullptr, {127}},
      {SDLK_ESCAPE, 0, nullptr, {27}},
      {SDLK_TAB, 0, nullptr, {9}},
      {SDLK_TAB, KMOD_LSHIFT, nullptr, {0, kKeyShiftTab}},  // no Tab after it
      {SDLK_TAB, KMOD_LCTRL, nullptr, {}},
      {SDLK_c, KMOD_LCTRL, nullptr, {3}},
      {SDLK_RIGHTBRACKET, KMOD_RCTRL, nullptr, {29}},
      {SDLK_a, kCtrlAlt, nullptr, {0, 30}},
      {SDLK_0, kCtrlAlt, nullptr, {0, 129}},
      {SDLK_9, kCtrlAlt, nullptr, {0, 128}},
      {SDLK_a, KMOD_LSHIFT, "A", {'A'}},
      {SDLK_UNKNOWN, 0, "a\xC3\xA7\xC3\xA3o", {'a', 0xE7, 0xE3, 'o'}},
      // The euro kept, a check mark and a control dropped, a '?' kept.
      {SDLK_UNKNOWN, 0, "\xE2\x82\xAC\xE2\x9C\x93\x01?", {0x80, '?'}},
      {SDLK_UNKNOWN, 0, "\xC3" "A\xFF", {'A'}},  // bad bytes lose no letter
      {SDLK_f, KMOD_LALT, "f", {}},      // a command, not a character
      {SDLK_q, KMOD_RALT, "/", {'/'}},   // AltGr types
      {SDLK_q, KMOD_RALT | KMOD_LCTRL, "/", {0, 16, '/'}},  // as on Windows
      {SDLK_LEFT, KMOD_LALT, nullptr, {0, 75}},
      {SDLK_KP_ENTER, KMOD_NUM, nullptr, {13}},
      {SDLK_KP_8, 0, nullptr, {0, 72}},
      {SDLK_KP_8, KMOD_NUM, "8", {'8'}},
      {SDLK_KP_8, KMOD_LSHIFT, "8", {'8'}},
      {SDLK_KP_0, KMOD_NUM | KMOD_LSHIFT, nullptr, {0, 82}},  // not Shift+Ins
      {SDLK_KP_PERIOD, 0, nullptr, {0, 83}},
      {SDLK_KP_MULTIPLY, KMOD_NUM, "*", {'*'}},
  };
  for (const Case& c : cases) {
    press(c.sym, c.mod, c.text);
    release(c.sym, c.mod);
    EXPECT_EQ(taken(), c.queued) << "key " << c.sym << " mod " << c.mod
                                 << " text " << (c.text ? c.text : "");
  }

  // A held key repeats its key-down, as Windows does.
  key(SDL_KEYDOWN, SDLK_DOWN, 0);
  key(SDL_KEYDOWN, SDLK_DOWN, 0, 1);
  release(SDLK_DOWN, 0);
  EXPECT_EQ(taken(), (Bytes{0, 80, 0, 80}));

  // Alt+F4 reaches the default processing, which closes the window.
  SDL_KeyboardEvent altF4{};
  altF4.type = SDL_KEYDOWN;
  altF4.keysym.sym = SDLK_F4;
  altF4.keysym.mod = KMOD_RALT;
  std::vector<plat::Event> events;
  plat::sdl::keyEventsOf(altF4, &events);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, plat::EventKind::kSysKeyDown);
  EXPECT_EQ(events[0].code, plat::kVkF4);
  EXPECT_FALSE(consoleWindowProc(events[0]));
}

TEST_F(SdlKeymapTest, BrailleChordsAndBreak) {
  brailleState().mode = 1;
  // F and D together make "b"; the text SDL sends for them is no character.
  press(SDLK_f, 0, "f");
  press(SDLK_d, 0, "d");
  release(SDLK_f, 0);
  release(SDLK_d, 0);
  // The space bar with F is Ctrl+A.
  press(SDLK_SPACE, 0, " ");
  press(SDLK_f, 0, "f");
  release(SDLK_f, 0);
  release(SDLK_SPACE, 0);
  EXPECT_EQ(taken(), (Bytes{'b', 1}));

  // Alt+F is a command: releasing F under Alt must not end a chord with a
  // blank, nor may releasing Alt.
  press(SDLK_LALT, KMOD_LALT);
  press(SDLK_f, KMOD_LALT, "f");
  release(SDLK_f, KMOD_LALT);
  release(SDLK_LALT, 0);
  press(SDLK_f, 0, "f");
  release(SDLK_f, 0);
  EXPECT_EQ(taken(), (Bytes{'a'}));

  // In mode 2 two capital signs (dots 4 and 6: J and L) lock capitals; a
  // tap of Alt on its own must not undo them.
  brailleState().mode = 2;
  for (int i = 0; i < 2; ++i) {
    press(SDLK_j, 0, "j");
    press(SDLK_l, 0, "l");
    release(SDLK_j, 0);
    release(SDLK_l, 0);
  }
  press(SDLK_LALT, KMOD_LALT);
  release(SDLK_LALT, 0);
  press(SDLK_f, 0, "f");
  release(SDLK_f, 0);
  EXPECT_EQ(taken(), (Bytes{'A'}));

  // The desktop keeps Ctrl+Alt+F11 and F12; Ctrl+Shift switches instead.
  press(SDLK_F12, KMOD_LCTRL | KMOD_LSHIFT);
  EXPECT_EQ(brailleState().mode, 0);
  press(SDLK_F11, KMOD_RCTRL | KMOD_RSHIFT);
  press(SDLK_F11, KMOD_LCTRL | KMOD_LSHIFT);
  EXPECT_EQ(brailleState().mode, 2);
  EXPECT_EQ(taken(), Bytes{});

  // Ctrl+Pause is Ctrl+Break, which ends the program.
  EXPECT_EQ(exitCodeOf([] { press(SDLK_PAUSE, KMOD_LCTRL); }), 255);
}

}  // namespace
