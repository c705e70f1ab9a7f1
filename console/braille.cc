#include "console/braille.h"

#include "console/console.h"
#include "console/keyboard.h"

namespace {

// Cells by chord value (dot 1 = 1 ... dot 6 = 32), Windows-1252 bytes.
constexpr char kCells[] =
    " a,b'k;l"
    "^cif\xEDmsp"
    "~e:h*o!r"
    "\xAC" "dj" "g\xE3" "ntq"
    "\xFD\xE2?\xEA-u\"v"
    "{\xEE\xF5\xE0\xF3x\xE8\xE7"
    "$\xFB\xFF\xFC}z=\xE1"
    "_\xF4w\xEF#y\xFA\xE9";
static_assert(sizeof kCells == 65, "one cell per chord");

constexpr uint8_t kCapitalSign = '{';
constexpr uint8_t kNumberSign = '#';
constexpr uint16_t kSignalMs = 200;

bool isLetterKey(uint32_t v) { return v >= 'A' && v <= 'Z'; }
bool isLower(uint8_t c) { return c >= 'a' && c <= 'z'; }

// Number mode reads a..j as the digits 1..9, 0 and the apostrophe as the
// decimal point; "~" leaves it.
uint8_t applyNumberMode(uint8_t c) {
  BrailleState& b = brailleState();
  if (!b.numberMode) return c;
  if (c == '\'') return '.';
  if (c >= 'a' && c <= 'i') return static_cast<uint8_t>('1' + (c - 'a'));
  if (c == 'j') return '0';
  if (c == '~') b.numberMode = false;
  return c;
}

uint8_t applySignRules(uint8_t c) {
  BrailleState& b = brailleState();
  c = applyNumberMode(c);
  if ((b.capitalNext || b.capitalLock) && isLower(c)) {
    c = static_cast<uint8_t>(c - 'a' + 'A');
  }
  if (c == kNumberSign) {
    b.numberMode = true;
    return kBrailleNothing;
  }
  if (c == kCapitalSign) {
    if (b.capitalNext) b.capitalLock = true;
    b.capitalNext = true;
    return kBrailleNothing;
  }
  b.capitalNext = false;
  return c;
}

void signalTone(uint16_t frequency) {
  playTone(frequency);
  waitMs(kSignalMs);
  stopTone();
}

}  // namespace

BrailleState& brailleState() {
  static BrailleState state;
  return state;
}

uint8_t brailleCell(int chord) {
  return static_cast<uint8_t>(kCells[chord & 63]);
}

uint8_t brailleDotOf(uint32_t v) {
  switch (v) {
    case 'F': return 1;
    case 'D': return 2;
    case 'S': return 4;
    case 'J': return 8;
    case 'K': return 16;
    case 'L': return 32;
    case plat::kVkSpace: return kBrailleSpaceBit;
    default: return 0;
  }
}

bool brailleActive() { return brailleState().mode != 0; }

void clearBrailleSigns() {
  BrailleState& b = brailleState();
  b.capitalNext = false;
  b.capitalLock = false;
  b.numberMode = false;
}

void brailleDotDown(uint32_t v) {
  BrailleState& b = brailleState();
  const uint8_t bit = brailleDotOf(v);
  b.chord |= bit;
  b.held |= bit;
}

uint8_t completeChord(uint8_t chord) {
  if (chord < kBrailleSpaceBit) {
    const uint8_t c = brailleCell(chord);
    return brailleState().mode == 2 ? applySignRules(c) : c;
  }
  clearBrailleSigns();
  if (chord == kBrailleSpaceBit) return ' ';
  // Space with dots: the control code of the cell's letter (a = 1, h = 8).
  return static_cast<uint8_t>(brailleCell(chord) & 31);
}

bool brailleKeyUp(const plat::Event& event) {
  BrailleState& b = brailleState();
  const uint32_t v = event.code;
  if (event.ctrl || (v != plat::kVkSpace && !isLetterKey(v))) {
    clearBrailleSigns();
    // A dot released under Ctrl abandons the chord, so its dots do not
    // leak into the next character.
    b.held &= static_cast<uint8_t>(~brailleDotOf(v));
    if (event.ctrl && b.held == 0) b.chord = 0;
    return false;
  }
  b.held &= static_cast<uint8_t>(~brailleDotOf(v));
  if (b.held != 0) return true;
  const uint8_t c = completeChord(b.chord);
  b.chord = 0;
  // A lone 0 would announce an extended key: the space chord of the
  // a-grave cell gives that code, and nothing is typed for it.
  if (c != kBrailleNothing && c != 0) queueKey(c);
  return true;
}

void setBrailleMode(int mode) {
  BrailleState& b = brailleState();
  if (mode < 0) mode = 0;
  if (mode > 2) mode = 1;
  const uint8_t previous = b.mode;
  clearBrailleSigns();
  if (mode == 0) {
    b.chord = 0;
    b.held = 0;
    if (previous != 0) signalTone(100);
  } else {
    signalTone(800);
    signalTone(mode == 1 ? 1600 : 400);
  }
  b.mode = static_cast<uint8_t>(mode);
}
