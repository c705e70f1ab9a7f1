// Forms over the console grid, edited with the line editor.
#include "speech/forms.h"

#include <algorithm>
#include <limits>

#include "console/console.h"
#include "console/keyboard.h"
#include "console/keys.h"
#include "speech/line_editor.h"
#include "speech/menus.h"
#include "speech/speech.h"

namespace {

FormState form;

constexpr int kValueColumn = kLabelWidth + 1;

int fieldCount() { return static_cast<int>(form.fields.size()); }
int rowOf(int n) { return form.topRow + n - 1 - form.scroll; }
bool rowShown(int row) { return row >= form.topRow && row <= kConsoleRows; }

std::string padded(std::string text, int width) {
  text.resize(static_cast<size_t>(std::max(width, 0)), ' ');
  return text;
}

void writeLabel(const FormField& field, int row) {
  setBackColor(kFormLabelBackground);
  moveCursor(1, row);
  std::string label = field.label + " ";
  if (label.size() > static_cast<size_t>(kLabelWidth)) label.resize(kLabelWidth);
  writeText(std::string(kLabelWidth - label.size(), ' ') + label);
  setBackColor(0);
}

void drawField(int n) {
  const int row = rowOf(n);
  if (!rowShown(row)) return;
  const FormField& field = form.fields[static_cast<size_t>(n - 1)];
  ScopedAttribute colors;
  writeLabel(field, row);
  writeText(padded(field.value, visibleWidth(field)));
  clearToLineEnd();
}

void drawFields() {
  for (int n = 1; n <= fieldCount(); ++n) drawField(n);
}

void addField(FormField field) {
  if (fieldCount() >= kMaxFormFields) return;
  form.fields.push_back(std::move(field));
}

// Shows field n as current, speaks it and edits it; the key that ended it.
uint8_t editCurrent(bool editFlag, int n) {
  FormField& field = form.fields[static_cast<size_t>(n - 1)];
  const int row = rowOf(n);
  const int width = visibleWidth(field);
  const uint8_t saved = currentAttribute();
  writeLabel(field, row);
  setTextColor(kFormEditColor);
  writeText(padded(field.value, width));
  if (!field.identifier.empty() && soundExists(field.identifier)) {
    speakSound(field.identifier);
  } else {
    speakText(field.label);
  }
  waitSpeech();
  speakText(field.value);
  const uint8_t key = editLine(field.value, kValueColumn, row, editFlag, width,
                               field.maxLength);
  if (key == kKeyF9) chooseOption(field);
  setAttribute(saved);
  moveCursor(kValueColumn, row);
  writeText(padded(field.value, width));
  return key;
}

// Outside the fields: the attention tone, then one key. Only a 0 byte makes
// the next byte an extended code, so typed letters never pass for arrows.
uint8_t keyOutsideFields(int row) {
  moveCursor(1, row);
  beep();
  const uint8_t b = readKey();
  if (b == kKeyExtended) return readKey();
  return (b == kKeyTab || b == kKeyEnter || b == kKeyEsc) ? b : 0;
}

void scrollTo(int n, int maxScroll) {
  while (rowOf(n) > kConsoleRows && form.scroll < maxScroll) {
    ++form.scroll;
    drawFields();
  }
  while (rowOf(n) < form.topRow && form.scroll > 0) {
    --form.scroll;
    drawFields();
  }
}

std::string trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void storeField(const FormField& field) {
  switch (field.kind) {
    case kTextField:
      if (field.text) *field.text = field.value.substr(0, kShortStringLength);
      break;
    case kIntegerField:
      if (field.integer) *field.integer = integerOfText(trimmed(field.value));
      break;
    case kYesNoField: {
      const std::string value = trimmed(field.value);
      if (field.flag && !value.empty()) *field.flag = upperText(value)[0] != 'N';
      break;
    }
    default: break;
  }
}

}  // namespace

FormState& formState() { return form; }
void resetForms() { form = FormState(); }

int visibleWidth(const FormField& field) {
  const int room = kConsoleColumns - 1 - kLabelWidth;
  return field.maxLength + kLabelWidth > kConsoleColumns - 1 ? room
                                                             : field.maxLength;
}

int32_t integerOfText(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min<int64_t>(value * 10 + (text[i] - '0'),
                              int64_t{std::numeric_limits<int32_t>::max()} + 1);
  }
  if (negative) value = -value;
  return static_cast<int32_t>(std::clamp<int64_t>(
      value, std::numeric_limits<int32_t>::min(),
      std::numeric_limits<int32_t>::max()));
}

void beginForm() {
  form.fields.clear();
  form.topRow = cursorRow();
  form.scroll = 0;
}

void addTextField(std::string_view identifier, std::string_view label,
                  std::string& target, int maxLength) {
  FormField field;
  field.identifier = std::string(identifier);
  field.label = std::string(label);
  field.value = target;
  field.maxLength = std::clamp(maxLength, 0, kShortStringLength);
  field.kind = kTextField;
  field.text = &target;
  addField(std::move(field));
}

void addIntegerField(std::string_view identifier, std::string_view label,
                     int32_t& target) {
  FormField field;
  field.identifier = std::string(identifier);
  field.label = std::string(label);
  field.value = std::to_string(target);
  field.maxLength = 10;
  field.kind = kIntegerField;
  field.integer = &target;
  addField(std::move(field));
}

void addYesNoField(std::string_view identifier, std::string_view label,
                   bool& target) {
  FormField field;
  field.identifier = std::string(identifier);
  field.label = std::string(label);
  field.value = target ? "SIM" : "N\xC3O";
  field.options = "SIM|N\xC3O";
  field.maxLength = 10;
  field.kind = kYesNoField;
  field.flag = &target;
  addField(std::move(field));
}

uint8_t runForm(bool editFlag) {
  const int count = fieldCount();
  const int maxScroll = count + form.topRow - kConsoleRows - 1;
  drawFields();
  while (keyAvailable()) readKey();
  int n = 1;
  uint8_t key = 0;
  for (;;) {
    if (n >= 1 && n <= count) {
      key = editCurrent(editFlag, n);
    } else {
      key = keyOutsideFields(n > count ? std::min(rowOf(count), kConsoleRows)
                                       : form.topRow);
    }
    if (key == kKeyEsc || key == kKeyPgUp || key == kKeyPgDn) break;
    switch (key) {
      case kKeyTab: case kKeyEnter: case kKeyDown: ++n; break;
      case kKeyUp: --n; break;
      case kKeyCtrlUp: n = 1; break;
      case kKeyCtrlDown: n = count; break;
      default: break;
    }
    n = std::clamp(n, 0, count + 1);
    scrollTo(n, maxScroll);
  }
  for (const FormField& field : form.fields) storeField(field);
  moveCursor(1, std::min(rowOf(count) + 1, kConsoleRows));
  form.fields.clear();
  return key;
}

void chooseOption(FormField& field) {
  if (field.options.empty()) return;
  std::vector<std::string> options;
  size_t start = 0;
  for (;;) {
    const size_t bar = field.options.find('|', start);
    options.push_back(field.options.substr(start, bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  int width = 1;
  for (const std::string& o : options) width = std::max(width, static_cast<int>(o.size()));
  const int count = std::min(static_cast<int>(options.size()), kConsoleRows);
  int row = cursorRow();
  if (row + count - 1 > kConsoleRows) row = kConsoleRows - count + 1;
  openPopup(cursorColumn(), row, width, kOptionsBackground, count);
  for (const std::string& o : options) addMenuItem("", o);
  if (runPopup() > 0) field.value = menuState().lastChoiceText;
}
