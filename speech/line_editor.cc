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
#include "platform/platform.h"
#include "speech/line_editor_state.h"
#include "speech/number_words.h"
#include "speech/screen_review.h"
#include "speech/speech.h"
#include "speech/speech_services.h"

namespace {

constexpr uint8_t kTab = 9, kCtrlEnter = 10, kEnter = 13, kEsc = 27;
constexpr uint8_t kFocusGained = 222, kFocusLost = 223;
constexpr uint8_t kPaste = 254, kCopy = 255;
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
  if (b >= 32 && s.editable) blankField(s);
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
  if (c == kEsc || c == kEnter) return;
  const std::string directory = speechState().soundDirectory;
  endSpeech();
  initSpeech(c - 48, directory);
}

int ordinaryKey(EditState& s, uint8_t b) {
  switch (b) {
    case 3: copySelection(s); break;
    case 4:
      if (s.editable) {
        std::fill(s.text.begin() + (std::min(s.pos, s.maxLength + 1) - 1),
                  s.text.end(), ' ');
        speakSound("_APFCPO");
      }
      break;
    case 8:
      if (s.pos <= 1) {
        beep();
        break;
      }
      --s.pos;
      if (s.editable) deleteAt(s, 1, true);
      break;
    case kTab: case kCtrlEnter: case kEnter: case kEsc: return b;
    case 11: speakText(std::to_string(s.pos)); break;
    case 19:
      if (s.editable) {
        s.text.erase(0, static_cast<size_t>(s.pos - 1));
        s.text.resize(static_cast<size_t>(s.maxLength), ' ');
        s.pos = 1;
        speakSound("_APICPO");
      }
      break;
    case 21:
      if (s.editable) {
        s.text = s.entryText;
        s.pos = 1;
        beep();
        beep();
        beep();
      }
      break;
    case 22: pasteClipboard(s); break;
    case 25:
      if (s.editable) {
        blankField(s);
        speakSound("_CPOAPA");
        s.pos = 1;
      }
      break;
    case 28: dialTones(s.text); break;
    case 127: deleteWord(s); break;
    case kFocusGained:
      waitSpeech();
      speakText(s.text);
      break;
    case kFocusLost: break;
    default:
      firstKeyRule(s, b);
      if (b >= 32) insertChar(s, b);
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
    case 59: readNextItem(s); break;
    case 62: {
      bool& echo = speechState().echoTyping;
      echo = !echo;
      speakSound(echo ? "_FALACI" : "_FALDLG");
      break;
    }
    case 66: speakTime(); break;
    case 70: openWordAtCursor(s); break;
    case 71: s.pos = 1; break;
    case 75:
      if (s.pos <= 1) {
        beep();
      } else {
        --s.pos;
        speakChar(charAt(s, s.pos));
      }
      break;
    case 77: moveRight(s); break;
    case 79: {
      int p = s.maxLength;
      while (p >= 1 && isBlank(charAt(s, p))) --p;
      s.pos = p + 1;
      break;
    }
    case 83:
      if (hasSelection(s)) {
        deleteSelection(s);
      } else if (s.pos > s.maxLength) {
        beep();
      } else if (s.editable) {
        deleteAt(s, 1, true);
      }
      break;
    case 94: speakText(s.text); break;
    case 97: changeSpeed(); break;
    case 101: speakToday(); break;
    case 102:
      if (!s.alt) return e;
      reviewScreen();
      break;
    case 115: previousWord(s); break;
    case 116: nextWord(s); break;
    case kPaste: pasteClipboard(s); break;
    case kCopy: copySelection(s); break;
    default:
      if (e >= 120 && e <= 129) break;  // Ctrl+Alt+digit: ignored
      return e;
  }
  return kNoEnd;
}

void scrollToCursor(EditState& s) {
  if (s.pos < s.scroll) s.scroll = s.pos;
  if (s.scroll + s.width < s.pos) s.scroll = s.pos - s.width;
}

// One key; the ending key's code, or kNoEnd.
int handleKey(EditState& s) {
  uint8_t b = readKey();
  stopSpeech();
  s.shift = held(plat::kVkShift);
  s.alt = held(plat::kVkMenu);
  const bool shift = s.shift;
  if (b == 0) {
    const uint8_t e = readKey();
    if (e == 16 || e == 17 || e == 18) {
      b = readKey();
      // The prefix before an extended key ends editing; that key's code
      // stays queued for the caller.
      if (b == 0) return e;
    } else {
      if (shift && s.anchor < 1) s.anchor = s.pos;
      if (!shift && e != kPaste && e != kCopy) s.anchor = s.end = 0;
      return extendedKey(s, e);
    }
  }
  if (b != 3 && b != 22 && b != kFocusGained && b != kFocusLost) {
    s.anchor = s.end = 0;
  }
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
  if (editField(text, column, row, true, 255) == kEsc) {
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
