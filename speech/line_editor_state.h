// The edit state of one editLine call, shared by the editor's modules.
// Positions are 1-based; text is always exactly maxLength characters.
#ifndef TALONIX_SPEECH_LINE_EDITOR_STATE_H_
#define TALONIX_SPEECH_LINE_EDITOR_STATE_H_

#include <cstdint>
#include <string>

struct EditState {
  std::string text;       // padded with blanks to maxLength
  std::string entryText;  // text on entry, for Ctrl+U
  int column = 1, row = 1;
  int width = 0;
  int maxLength = 0;
  bool editable = true;
  int pos = 1;     // cursor, 1 .. maxLength + 1
  int scroll = 1;  // first visible position
  bool first = true;
  int anchor = 0, end = 0;  // selection ends, 0 = not set
  // Modifiers noted when the key being handled was read.
  bool shift = false, alt = false;
};

// The character at a 1-based position; a blank past either end.
uint8_t charAt(const EditState& s, int pos);
bool isBlank(uint8_t c);
bool isDigit(uint8_t c);
// A..Z, a..z and every code 128..255.
bool isLetter(uint8_t c);

bool hasSelection(const EditState& s);
// The selection as [lower, higher), cut to the text.
void selectionRange(const EditState& s, int* lower, int* higher);

// Draws the visible part (with the selection) and places the cursor.
void drawField(EditState& s);
// Removes `count` characters at pos, blanks filling the end; "_DEL"
// sounds first when asked, then each removed character is spoken.
void deleteAt(EditState& s, int count, bool withDelSound);

// Word moves, word delete, item reading and opening the word at pos.
void nextWord(EditState& s);
void previousWord(EditState& s);
void deleteWord(EditState& s);
void readNextItem(EditState& s);
void openWordAtCursor(EditState& s);
// Copy (Ctrl+C, Ctrl+Insert) and paste (Ctrl+V, Shift+Insert).
void copySelection(const EditState& s);
void pasteClipboard(EditState& s);

#endif  // TALONIX_SPEECH_LINE_EDITOR_STATE_H_
