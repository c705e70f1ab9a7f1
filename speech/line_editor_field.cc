// The field's characters, its selection, drawing, deleting, and the
// clipboard.
#include <algorithm>
#include <vector>

#include "console/console.h"
#include "platform/shared/codepage.h"
#include "speech/line_editor_state.h"
#include "speech/speech.h"

uint8_t charAt(const EditState& s, int pos) {
  if (pos < 1 || pos > s.maxLength) return ' ';
  return static_cast<uint8_t>(s.text[static_cast<size_t>(pos - 1)]);
}

bool isBlank(uint8_t c) { return c == ' '; }
bool isDigit(uint8_t c) { return c >= '0' && c <= '9'; }
bool isLetter(uint8_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128;
}

bool hasSelection(const EditState& s) { return s.anchor >= 1 && s.end >= 1; }

void selectionRange(const EditState& s, int* lower, int* higher) {
  const int limit = s.maxLength + 1;
  *lower = std::min(std::min(s.anchor, s.end), limit);
  *higher = std::min(std::max(s.anchor, s.end), limit);
}

namespace {

void writeSpan(const EditState& s, int from, int to) {
  if (to > from) {
    writeChars(s.text.data() + (from - 1), static_cast<uint16_t>(to - from));
  }
}

}  // namespace

void drawField(EditState& s) {
  moveCursor(s.column, s.row);
  const int first = s.scroll;
  const int last = std::min(s.scroll + s.width, s.maxLength + 1);  // exclusive
  int lower = 0, higher = 0;
  if (hasSelection(s)) selectionRange(s, &lower, &higher);
  lower = std::clamp(lower, first, last);
  higher = std::clamp(higher, first, last);
  if (higher > lower) {
    writeSpan(s, first, lower);
    {
      ScopedAttribute selection;
      setBackColor(8);
      writeSpan(s, lower, higher);
    }
    writeSpan(s, higher, last);
  } else {
    writeSpan(s, first, last);
  }
  if (last - first < kConsoleColumns) clearToLineEnd();
  moveCursor(s.column + s.pos - s.scroll, s.row);
}

void deleteAt(EditState& s, int count, bool withDelSound) {
  count = std::min(count, s.maxLength + 1 - s.pos);
  if (count <= 0) return;
  std::vector<uint8_t> removed;
  for (int i = 0; i < count; ++i) {
    removed.push_back(charAt(s, s.pos));
    s.text.erase(static_cast<size_t>(s.pos - 1), 1);
    s.text.push_back(' ');
  }
  drawField(s);
  if (withDelSound) speakSound("_DEL");
  for (uint8_t c : removed) speakChar(c);
}

void copySelection(const EditState& s) {
  std::string copied;
  if (hasSelection(s)) {
    int lower = 0, higher = 0;
    selectionRange(s, &lower, &higher);
    if (higher > lower) {
      copied = s.text.substr(static_cast<size_t>(lower - 1),
                             static_cast<size_t>(higher - lower));
    }
  } else {
    const size_t last = s.text.find_last_not_of(' ');
    copied = last == std::string::npos ? "" : s.text.substr(0, last + 1);
    copied += plat::kLineEnd;
  }
  copyToClipboard(copied.c_str());
}

namespace {

// At most maxLength characters of the clipboard, up to its first line
// end. Other control bytes become blanks: the console would act on them
// (a backspace moves the cursor) and the field would no longer show what
// it holds.
std::string clipboardLine(int maxLength) {
  std::vector<char> buffer(static_cast<size_t>(maxLength) + 1, 0);
  pasteFromClipboard(buffer.data(), buffer.size());
  std::string line(buffer.data());
  line = line.substr(0, line.find_first_of("\r\n"));
  for (char& c : line) {
    if (static_cast<uint8_t>(c) < 32) c = ' ';
  }
  return line;
}

}  // namespace

void pasteClipboard(EditState& s) {
  const std::string pasted = clipboardLine(s.maxLength);
  if (s.first && speechState().replaceOnType) {
    click();
    click();
    s.text.assign(static_cast<size_t>(s.maxLength), ' ');
  }
  int from = s.pos, to = s.pos;
  if (hasSelection(s)) selectionRange(s, &from, &to);
  const size_t at = static_cast<size_t>(from - 1);
  std::string joined = s.text.substr(0, at) + pasted +
                       s.text.substr(std::min(static_cast<size_t>(to - 1),
                                              s.text.size()));
  joined.resize(static_cast<size_t>(s.maxLength), ' ');
  s.text = std::move(joined);
  s.pos = from;
  s.anchor = from;
  s.end = std::min(from + static_cast<int>(pasted.size()), s.maxLength + 1);
}
