#include "platform/posix/term_keymap.h"

#include "platform/posix/term_charset.h"
#include "platform/shared/us_keys.h"

namespace plat::posix {
namespace {

using plat::Event;
using plat::EventKind;

constexpr uint32_t kVkOemMinus = 0xBD, kVkOem6 = 0xDD;

Modifiers withCtrl(Modifiers m) {
  m.ctrl = true;
  return m;
}

}  // namespace

void emitKey(uint32_t vk, Modifiers m, int ch, std::vector<Event>* out) {
  const bool sys = m.alt && !m.ctrl;
  out->push_back(keyEventOf(sys ? EventKind::kSysKeyDown : EventKind::kKeyDown,
                            vk, m));
  // Alt alone gives WM_SYSCHAR and Ctrl+Alt (AltGr) nothing the program
  // reads: no character either way.
  if (ch >= 0 && !m.alt) {
    out->push_back(keyEventOf(EventKind::kChar, static_cast<uint32_t>(ch), m));
  }
  out->push_back(keyEventOf(EventKind::kKeyUp, vk, m));
}

uint32_t vkOfChar(uint8_t ch, bool* shifted) {
  const UsKey key = usKeyOf(ch);
  *shifted = key.shifted;
  return key.vk;
}

void emitChar(uint8_t ch, Modifiers m, std::vector<Event>* out) {
  bool shifted = false;
  const uint32_t vk = vkOfChar(ch, &shifted);
  m.shift = m.shift || shifted;
  emitKey(vk, m, ch, out);
}

void emitControl(uint8_t b, bool eraseIsDel, Modifiers m,
                 std::vector<Event>* out) {
  if (b == 13 || b == 10) return emitKey(plat::kVkReturn, m, 13, out);
  if (b == 9) return emitKey(plat::kVkTab, m, 9, out);
  if (b == 27) return emitKey(plat::kVkEscape, m, 27, out);
  if (b == 127 || b == 8) {
    // Windows sends DEL as the character of Ctrl+Backspace.
    const bool ctrl = (b == 8) == eraseIsDel;
    if (ctrl) return emitKey(plat::kVkBack, withCtrl(m), 127, out);
    return emitKey(plat::kVkBack, m, 8, out);
  }
  if (b == 0) return emitKey(plat::kVkSpace, withCtrl(m), ' ', out);
  if (b <= 26) return emitKey('A' + b - 1, withCtrl(m), b, out);
  if (b == 28) return emitKey(plat::kVkOem5, withCtrl(m), b, out);
  if (b == 29) return emitKey(kVkOem6, withCtrl(m), b, out);
  Modifiers cs = withCtrl(m);
  cs.shift = true;
  if (b == 30) return emitKey('6', cs, b, out);
  if (b == 31) return emitKey(kVkOemMinus, cs, b, out);
}

bool emitKeyCode(uint32_t code, Modifiers m, std::vector<Event>* out) {
  switch (code) {
    case 13:  // Ctrl+Enter types a line feed
      emitKey(plat::kVkReturn, m, m.ctrl ? 10 : 13, out);
      return true;
    case 9:
      emitKey(plat::kVkTab, m, m.ctrl ? -1 : 9, out);
      return true;
    case 8:
    case 127:
      emitKey(plat::kVkBack, m, m.ctrl ? 127 : 8, out);
      return true;
    case 27:
      emitKey(plat::kVkEscape, m, 27, out);
      return true;
  }
  uint8_t ch = 0;
  if (code < 32 || code == 127 || !codePointToCp1252(code, &ch)) return false;
  if (m.shift && ch >= 'a' && ch <= 'z') ch = static_cast<uint8_t>(ch - 32);
  bool shifted = false;
  const uint32_t vk = vkOfChar(ch, &shifted);
  if (!m.ctrl) {
    m.shift = m.shift || shifted;
    emitKey(vk, m, ch, out);
  } else if (vk >= 'A' && vk <= 'Z') {
    emitKey(vk, m, static_cast<int>(vk - 'A' + 1), out);
  } else {
    emitKey(vk, m, -1, out);
  }
  return true;
}

bool modifiersOfParam(int param, Modifiers* m) {
  *m = Modifiers();
  if (param <= 0) return true;  // absent
  if (param > 16) return false;
  const int bits = param - 1;   // bit 3 (Meta) has no Windows counterpart
  m->shift = bits & 1;
  m->alt = bits & 2;
  m->ctrl = bits & 4;
  return true;
}

uint32_t vkOfTildeNumber(int n) {
  switch (n) {
    case 1: case 7: return plat::kVkHome;
    case 2: return plat::kVkInsert;
    case 3: return plat::kVkDelete;
    case 4: case 8: return plat::kVkEnd;
    case 5: return plat::kVkPrior;
    case 6: return plat::kVkNext;
    case 11: case 12: case 13: case 14: case 15:
      return plat::kVkF1 + (n - 11);
    case 17: case 18: case 19: case 20: case 21:
      return plat::kVkF1 + 5 + (n - 17);
    case 23: return plat::kVkF11;
    case 24: return plat::kVkF12;
  }
  return 0;
}

uint32_t vkOfFinal(uint8_t f) {
  switch (f) {
    case 'A': return plat::kVkUp;
    case 'B': return plat::kVkDown;
    case 'C': return plat::kVkRight;
    case 'D': return plat::kVkLeft;
    case 'H': return plat::kVkHome;
    case 'F': return plat::kVkEnd;
    case 'P': case 'Q': case 'R': case 'S': return plat::kVkF1 + (f - 'P');
  }
  return 0;
}

}  // namespace plat::posix
