// The spoken line editor: the one place where the user types text. A field
// of fixed capacity is shown at a screen position, the cursor moves by
// character and by word, and everything that happens is spoken. Editing
// ends with a key the editor does not handle itself; that key's code is
// handed back so the caller can move between fields or leave.
#ifndef TALONIX_SPEECH_LINE_EDITOR_H_
#define TALONIX_SPEECH_LINE_EDITOR_H_

#include <cstdint>
#include <string>

// Largest capacity of a field.
constexpr int kMaxFieldLength = 2048;

// Edits `text` at (column, row), 1-based console coordinates, showing
// `width` characters of a field of `maxLength` (at most 2048). Returns the
// key that ended editing: 9 Tab, 10 Ctrl+Enter, 13 Enter, 27 Esc, or the
// extended code of an extended key (72 Up, 80 Down, 15 Shift+Tab, 102
// Ctrl+F9 ...). The focus signals never end editing: gaining the focus
// says the field again. On return `text` holds the field without trailing
// blanks and the cursor stands at (column, row).
uint8_t editLine(std::string& text, int column, int row, bool editable,
                 int width, int maxLength);

// editLine with the visible part ending two columns before the window's
// right edge.
uint8_t editField(std::string& text, int column, int row, bool editable,
                  int maxLength);

// One line of up to 255 characters at the cursor, then a line end. Esc
// blanks what was typed and gives an empty text.
void readLineSpoken(std::string& text);

// A whole number typed at the cursor, then a line end; an empty answer
// leaves `n` as it was.
void readNumberSpoken(int& n);

#endif  // TALONIX_SPEECH_LINE_EDITOR_H_
