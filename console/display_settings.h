// Display settings of the console window, read from the family settings file
// (sections "VIDEO" and "BRAILLE" of LUMIRA.INI) when the window is created.
#ifndef TALONIX_CONSOLE_DISPLAY_SETTINGS_H_
#define TALONIX_CONSOLE_DISPLAY_SETTINGS_H_

#include <cstdint>
#include <string>
#include <string_view>

struct DisplaySettings {
  uint8_t remap[16];           // colour index -> palette entry (0..15)
  bool colorsFixed = false;
  bool slowDisplay = false;
  uint8_t initialAttribute = 0x07;
  int brailleMode = 0;         // 0..3 as read; setBrailleMode folds 3 into 1
  int magnifierFactor = 2;     // 1..7; a factor of 0 is read as 1
  std::string fontFace;
  int fontWidth = 0;
  int fontHeight = 0;
  int fontWeight = 0;
  bool maximized = true;
};

// Reads every display setting in order; `previousRemap` gives the entries
// that a short TABCORES list leaves as they were.
DisplaySettings readDisplaySettings(const uint8_t previousRemap[16]);

// The whole number formed by the leading digits of a text (0 when none).
int leadingNumber(std::string_view text);

// Parses a TABCORES list into `remap`, changing only the entries it reaches.
void parseColorTable(std::string_view list, uint8_t remap[16]);

#endif  // TALONIX_CONSOLE_DISPLAY_SETTINGS_H_
