// The line editor's key loop: each key is read, speech is cut, the
// selection follows Shift, and the key acts as its table says; a key the
// editor does not handle ends editing and is handed back.
#include "speech/line_editor.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>

#include "console/console.h"
#include "console/keyboard.h"
#include "console/keys.h"
#include "platform/platform.h"
#include "speech/line_editor_state.h"
#include "speech/number_words.h"
#include "speech/screen_review.h"
#include "speech/speech.h"
#include "speech/speech_services.h"

namespace {

constexpr int kNoEnd = -1;  // the key did not end editing

bool held(uint32_t virtualKey) { return plat::window().keyHeld(virtualKey); }

void blankField(EditState& s) {
  s.text.assign(static_cast<size_t>(s.maxLength), ' ');
}

void insertChar(EditState& s, uint8_t b) {
  if (!s.editable) return;
  if (s.pos > s.maxLength) {
    beep();
    return;
  }
  s.text.insert(s.text.begin() + (s.pos - 1), static_cast<char>(b));
  s.text.pop_back();
  // Shown at once where the cursor stands; the next redraw scrolls it.
  if (s.pos - s.scroll < s.width) writeChars(reinterpret_cast<char*>(&b), 1);
  if (speechState().echoTyping) speakChar(b);
  ++s.pos;
}

// Typing over a field that holds a value replaces it, with two clicks.
void firstKeyRule(EditState& s, uint8_t b) {
  if (!s.first || !speechState().replaceOnType) return;
  bool anything = false;
  for (int p = s.pos; p <= s.maxLength; ++p) anything |= !isBlank(charAt(s, p));
  if (!anything) return;
  click();
  click();
  if (b >= kKeySpace && s.editable) blankField(s);
}

void deleteSelection(EditState& s) {
  int lower = 0, higher = 0;
  selectionRange(s, &lower, &higher);
  s.pos = lower;
  speakSound("_DEL");
  deleteAt(s, higher - lower, false);
  s.end = lower;
}

void changeSpeed() {
  speakSound("_VELOC");
  uint8_t c = 0;
  do {
    c = readKeySpoken();
  } while (keyAvailable());
  if (c == kKeyEsc || c == kKeyEnter) return;
  const std::string directory = speechState().soundDirectory;
  endSpeech();
  initSpeech(c - 48, directory);
}

int ordinaryKey(EditState& s, uint8_t b) {
  switch (b) {
    case kKeyCtrlC: copySelection(s); break;
    case kKeyCtrlD:
      if (s.editable) {
        std::fill(s.text.begin() + (std::min(s.pos, s.maxLength + 1) - 1),
                  s.text.end(), ' ');
        speakSound("_APFCPO");
      }
      break;
    case kKeyBackspace:
      if (s.pos <= 1) {
        beep();
        break;
      }
      --s.pos;
      if (s.editable) deleteAt(s, 1, true);
      break;
    case kKeyTab: case kKeyCtrlEnter: case kKeyEnter: case kKeyEsc: return b;
    case kKeyCtrlK: speakText(std::to_string(s.pos)); break;
    case kKeyCtrlS:
      if (s.editable) {
        s.text.erase(0, static_cast<size_t>(s.pos - 1));
        s.text.resize(static_cast<size_t>(s.maxLength), ' ');
        s.pos = 1;
        speakSound("_APICPO");
      }
      break;
    case kKeyCtrlU:
      if (s.editable) {
        s.text = s.entryText;
        s.pos = 1;
        beep();
        beep();
        beep();
      }
      break;
    case kKeyCtrlV: pasteClipboard(s); break;
    case kKeyCtrlY:
      if (s.editable) {
        blankField(s);
        speakSound("_CPOAPA");
        s.pos = 1;
      }
      break;
    case kKeyCtrlBackslash: dialTones(s.text); break;
    case kKeyCtrlBackspace: deleteWord(s); break;
    default:
      firstKeyRule(s, b);
      if (b >= kKeySpace) insertChar(s, b);
      break;
  }
  return kNoEnd;
}

void moveRight(EditState& s) {
  if (s.pos > s.maxLength) {
    beep();
    return;
  }
  const uint8_t c = charAt(s, s.pos);
  const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  if (letter && s.alt) {
    speakSound("_FON" + std::to_string(c));
  } else {
    speakChar(c);
  }
  ++s.pos;
}

int extendedKey(EditState& s, uint8_t e) {
  switch (e) {
    case kKeyF1: readNextItem(s); break;
    case kKeyF4: {
      bool& echo = speechState().echoTyping;
      echo = !echo;
      speakSound(echo ? "_FALACI" : "_FALDLG");
      break;
    }
    case kKeyF8: speakTime(); break;
    case kKeyF12: openWordAtCursor(s); break;
    case kKeyHome: s.pos = 1; break;
    case kKeyLeft:
      if (s.pos <= 1) {
        beep();
      } else {
        --s.pos;
        speakChar(charAt(s, s.pos));
      }
      break;
    case kKeyRight: moveRight(s); break;
    case kKeyEnd: {
      int p = s.maxLength;
      while (p >= 1 && isBlank(charAt(s, p))) --p;
      s.pos = p + 1;
      break;
    }
    case kKeyDelete:
      if (hasSelection(s)) {
        deleteSelection(s);
      } else if (s.pos > s.maxLength) {
        beep();
      } else if (s.editable) {
        deleteAt(s, 1, true);
      }
      break;
    case kKeyCtrlF1: speakText(s.text); break;
    case kKeyCtrlF4: changeSpeed(); break;
    case kKeyCtrlF8: speakToday(); break;
    case kKeyCtrlF9:
      if (!s.alt) return e;
      reviewScreen();
      break;
    case kKeyCtrlLeft: previousWord(s); break;
    case kKeyCtrlRight: nextWord(s); break;
    case kKeyShiftInsert: pasteClipboard(s); break;
    case kKeyCtrlInsert: copySelection(s); break;
    default:
      if (e >= kKeyAlt1 && e <= kKeyAlt0) break;  // Ctrl+Alt+digit: ignored
      return e;
  }
  return kNoEnd;
}

void scrollToCursor(EditState& s) {
  if (s.pos < s.scroll) s.scroll = s.pos;
  if (s.scroll + s.width < s.pos) s.scroll = s.pos - s.width;
}

// Gaining the focus says the field again; neither signal touches the
// selection or ends editing.
int focusSignal(const EditState& s, uint8_t e) {
  if (e == kKeyFocusGained) {
    waitSpeech();
    speakText(s.text);
  }
  return kNoEnd;
}

// One key; the ending key's code, or kNoEnd.
int handleKey(EditState& s) {
  uint8_t b = readKey();
  stopSpeech();
  s.shift = held(plat::kVkShift);
  s.alt = held(plat::kVkMenu);
  const bool shift = s.shift;
  if (b == kKeyExtended) {
    const uint8_t e = readKey();
    if (e == kKeyFocusGained || e == kKeyFocusLost) return focusSignal(s, e);
    if (e == kKeyAltQ || e == kKeyAltW || e == kKeyAltE) {
      b = readKey();
      // The prefix before an extended key ends editing; that key's code
      // stays queued for the caller.
      if (b == kKeyExtended) return e;
    } else {
      if (shift && s.anchor < 1) s.anchor = s.pos;
      if (!shift && e != kKeyShiftInsert && e != kKeyCtrlInsert) {
        s.anchor = s.end = 0;
      }
      return extendedKey(s, e);
    }
  }
  if (b != kKeyCtrlC && b != kKeyCtrlV) s.anchor = s.end = 0;
  return ordinaryKey(s, b);
}

void setUp(EditState& s, std::string_view text, int column, int row,
           bool editable, int width, int maxLength) {
  s.maxLength = std::clamp(maxLength, 0, kMaxFieldLength);
  s.column = std::clamp(column, 1, kConsoleColumns);
  s.row = std::clamp(row, 1, kConsoleRows);
  // The visible part never runs past the window's right edge.
  s.width = std::clamp(width, 0, std::min(s.maxLength, kConsoleColumns + 1 - s.column));
  // The last cell of the screen is never written.
  if (s.row == kConsoleRows && s.column + s.width > kConsoleColumns && s.width > 0)
    --s.width;
  s.editable = editable;
  s.text = std::string(text.substr(0, static_cast<size_t>(s.maxLength)));
  s.text.resize(static_cast<size_t>(s.maxLength), ' ');
  s.entryText = s.text;
}

}  // namespace

uint8_t editLine(std::string& text, int column, int row, bool editable,
                 int width, int maxLength) {
  openConsole();  // its creation would move the cursor away from the field
  EditState s;
  setUp(s, text, column, row, editable, width, maxLength);
  int result = kNoEnd;
  while (result == kNoEnd) {
    scrollToCursor(s);
    drawField(s);
    result = handleKey(s);
    if (result == kNoEnd) {
      if (s.shift) s.end = s.pos;
      s.first = false;
    }
  }
  moveCursor(s.column, s.row);
  writeChars(s.text.data(), static_cast<uint16_t>(s.width));
  moveCursor(s.column, s.row);
  const size_t last = s.text.find_last_not_of(' ');
  text = last == std::string::npos ? "" : s.text.substr(0, last + 1);
  return static_cast<uint8_t>(result);
}

uint8_t editField(std::string& text, int column, int row, bool editable,
                  int maxLength) {
  return editLine(text, column, row, editable, kConsoleColumns - column - 1,
                  maxLength);
}

void readLineSpoken(std::string& text) {
  text.clear();
  const int column = cursorColumn(), row = cursorRow();
  if (editField(text, column, row, true, 255) == kKeyEsc) {
    // Only the field's own cells are blanked, never the lines below it.
    const int fieldWidth = std::max(0, kConsoleColumns - column - 1);
    moveCursor(column, row);
    writeText(std::string(std::min<size_t>(text.size(), fieldWidth), ' '));
    moveCursor(column, row);
    text.clear();
  }
  writeLineEnd();
}

void readNumberSpoken(int& n) {
  std::string s;
  editField(s, cursorColumn(), cursorRow(), true, 255);
  const size_t from = s.find_first_not_of(' ');
  if (from != std::string::npos) {
    // Leading digits count; trailing garbage is ignored.
    const long long value = std::strtoll(s.c_str() + from, nullptr, 10);
    n = static_cast<int>(std::clamp<long long>(
        value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
  }
  writeLineEnd();
}
