#include "console/keyboard.h"

#include <algorithm>
#include <cstring>

#include "console/braille.h"
#include "console/console.h"
#include "console/keys.h"

namespace {

constexpr int kExitOnBreak = 255;

// Set by the key-down of Shift+Tab: the WM_CHAR 9 that follows it is not
// a Tab of its own.
bool swallowTab = false;

struct ExtendedKey {
  uint32_t virtualKey;
  uint8_t code;
  uint8_t ctrlCode;
};

constexpr ExtendedKey kExtendedKeys[] = {
    {plat::kVkInsert, kKeyInsert, kKeyCtrlInsert},
    {plat::kVkDelete, kKeyDelete, kKeyDelete},
    {plat::kVkHome, kKeyHome, kKeyCtrlHome},
    {plat::kVkEnd, kKeyEnd, kKeyCtrlEnd},
    {plat::kVkPrior, kKeyPgUp, kKeyCtrlPgUp},
    {plat::kVkNext, kKeyPgDn, kKeyCtrlPgDn},
    {plat::kVkUp, kKeyUp, kKeyCtrlUp},
    {plat::kVkDown, kKeyDown, kKeyCtrlDown},
    {plat::kVkLeft, kKeyLeft, kKeyCtrlLeft},
    {plat::kVkRight, kKeyRight, kKeyCtrlRight},
};

// Alt codes of the letters A..Z; those of Q, W and E are named in keys.h.
constexpr uint8_t kAltLetters[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23,
                                     36, 37, 38, 50, 49, 24, 25, 16, 19,
                                     31, 20, 22, 47, 17, 45, 21, 44};

static_assert(kKeyF12 == kKeyF1 + 11 && kKeyCtrlF12 == kKeyCtrlF1 + 11,
              "F1..F12 give consecutive codes");

// The code after the 0 of an extended key, or 0 when the key has none.
uint8_t extendedCode(uint32_t v, bool ctrl, bool shift) {
  if (v >= plat::kVkF1 && v <= plat::kVkF12) {
    const int index = static_cast<int>(v - plat::kVkF1);
    return static_cast<uint8_t>((ctrl ? kKeyCtrlF1 : kKeyF1) + index);
  }
  for (const ExtendedKey& key : kExtendedKeys) {
    if (key.virtualKey != v) continue;
    if (ctrl) return key.ctrlCode;
    if (v == plat::kVkInsert && shift) return kKeyShiftInsert;
    return key.code;
  }
  return 0;
}

uint8_t altCode(uint32_t v) {
  if (v >= 'A' && v <= 'Z') return kAltLetters[v - 'A'];
  if (v == '0') return kKeyAlt0;
  if (v >= '1' && v <= '9') return static_cast<uint8_t>(kKeyAlt1 + (v - '1'));
  return 0;
}

// A two-byte key goes in whole or not at all: a lone 0 would make the
// next key read as an extended code.
void queueExtended(uint8_t code) {
  if (keyQueue().count > kKeyQueueSize - 2) return;
  queueKey(kKeyExtended);
  queueKey(code);
}

[[noreturn]] void endOnBreak() {
  const ConsoleState& console = consoleState();
  if (console.reading && console.focused) plat::window().hideCaret();
  haltProgram(kExitOnBreak);
}

// Ctrl+Alt combinations: the Braille switches and the Alt codes.
bool handleAltKey(const plat::Event& event) {
  const uint32_t v = event.code;
  if (event.ctrl && v == plat::kVkF12) {
    setBrailleMode(0);
    return true;
  }
  if (event.ctrl && v == plat::kVkF11) {
    setBrailleMode(brailleState().mode + 1);
    return true;
  }
  const uint8_t code = altCode(v);
  if (code == 0) return false;
  queueExtended(code);
  return true;
}

}  // namespace

KeyQueue& keyQueue() {
  static KeyQueue queue;
  return queue;
}

void resetKeyboard() {
  keyQueue().count = 0;
  brailleState() = BrailleState{};
  swallowTab = false;
}

bool queueKey(uint8_t key) {
  KeyQueue& q = keyQueue();
  if (q.count >= kKeyQueueSize) return false;
  q.bytes[q.count++] = key;
  return true;
}

bool onCharMessage(const plat::Event& event) {
  const uint8_t c = static_cast<uint8_t>(event.code & 0xFF);
  const bool afterShiftTab = swallowTab;
  swallowTab = false;
  if (afterShiftTab && c == kKeyTab) return true;
  // A 0 in the queue announces an extended key; alone it would turn the
  // next key into a code.
  if (c == kKeyExtended) return true;
  if (brailleActive() &&
      ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ' ')) {
    return true;  // these keys type through chords
  }
  if (c == kKeyBackspace) {
    queueKey(event.ctrl ? kKeyCtrlBackspace : c);
  } else if (c == kKeyEnter) {
    queueKey(event.ctrl ? kKeyCtrlEnter : c);
  } else {
    queueKey(c);
  }
  return true;
}

bool onKeyDownMessage(const plat::Event& event) {
  const uint32_t v = event.code;
  if (v == plat::kVkCancel) endOnBreak();
  if (event.alt && handleAltKey(event)) return true;
  if (!event.ctrl && brailleActive() && brailleDotOf(v) != 0) {
    brailleDotDown(v);
    return true;
  }
  if (v == plat::kVkTab && event.shift && !event.ctrl) {
    swallowTab = true;
    queueExtended(kKeyShiftTab);
    return true;
  }
  if (keyQueue().count > kKeyQueueSize - 2) return true;
  const uint8_t code = extendedCode(v, event.ctrl, event.shift);
  if (code != 0) queueExtended(code);
  return true;
}

bool onSysKeyDownMessage(const plat::Event& event) {
  if (event.code == plat::kVkLeft || event.code == plat::kVkRight) {
    return onKeyDownMessage(event);
  }
  return false;
}

bool onKeyUpMessage(const plat::Event& event) {
  if (!brailleActive()) return false;
  return brailleKeyUp(event);
}

bool keyAvailable() {
  openConsole();
  pumpMessages();
  return keyQueue().count > 0;
}

uint8_t readKey() {
  KeyQueue& q = keyQueue();
  if (q.count == 0) {
    ConsoleState& console = consoleState();
    console.reading = true;
    if (console.focused) {
      plat::window().showCaret(console.cursorColumn, console.cursorRow);
    }
    do {
      plat::window().waitEvent();
    } while (!keyAvailable());
    if (console.focused) plat::window().hideCaret();
    console.reading = false;
  }
  const uint8_t key = q.bytes[0];
  std::memmove(q.bytes, q.bytes + 1, static_cast<size_t>(q.count - 1));
  --q.count;
  return key;
}

bool readEnterOrEsc() {
  for (;;) {
    const uint8_t key = readKey();
    if (key == kKeyExtended) {
      readKey();
      continue;
    }
    if (key == kKeyEnter) return true;
    if (key == kKeyEsc) return false;
  }
}

size_t readLineRaw(char* buffer, size_t capacity) {
  // Room for the text, keeping two bytes for the CR LF.
  const size_t limit = capacity >= 2 ? capacity - 2 : 0;
  size_t count = 0;
  uint8_t k = 0;
  do {
    k = readKey();
    if (k == kKeyExtended) {
      readKey();  // an extended key is no character of the line
    } else if (k == kKeyBackspace) {
      if (count > 0) {
        writeChars("\b", 1);
        --count;
      }
    } else if (k >= kKeySpace && count < limit) {
      buffer[count++] = static_cast<char>(k);
      writeChars(reinterpret_cast<const char*>(&k), 1);
    }
  } while (k != kKeyEnter);
  writeChars("\r\n", 2);
  const size_t tail = std::min<size_t>(2, capacity - count);
  std::memcpy(buffer + count, "\r\n", tail);
  return count + tail;
}
