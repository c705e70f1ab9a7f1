// The key codes the program reads. A key is one byte from readKey(): a
// character (Windows-1252, so every value 1..255 may be typed) or, for a
// key without a character, a 0 followed by one of the extended codes
// below. Only a 0 byte makes the next byte an extended code.
//
// The focus signals travel as extended codes too, so that no typed
// character (ß is 223, Þ is 222) can ever pass for one.
#ifndef TALONIX_CONSOLE_KEYS_H_
#define TALONIX_CONSOLE_KEYS_H_

#include <cstdint>

// --- Character bytes the program acts on ----------------------------------
constexpr uint8_t kKeyExtended = 0;  // an extended code follows
constexpr uint8_t kKeyCtrlC = 3;
constexpr uint8_t kKeyCtrlD = 4;
constexpr uint8_t kKeyBackspace = 8;
constexpr uint8_t kKeyTab = 9;
constexpr uint8_t kKeyCtrlEnter = 10;
constexpr uint8_t kKeyCtrlK = 11;
constexpr uint8_t kKeyEnter = 13;
constexpr uint8_t kKeyCtrlS = 19;
constexpr uint8_t kKeyCtrlU = 21;
constexpr uint8_t kKeyCtrlV = 22;
constexpr uint8_t kKeyCtrlY = 25;
constexpr uint8_t kKeyEsc = 27;
constexpr uint8_t kKeyCtrlBackslash = 28;
constexpr uint8_t kKeySpace = 32;
constexpr uint8_t kKeyCtrlBackspace = 127;

// --- Extended codes (after a 0) -------------------------------------------
constexpr uint8_t kKeyShiftTab = 15;
// Ctrl+Alt+Q, W and E: the character the layout gives them follows.
constexpr uint8_t kKeyAltQ = 16;
constexpr uint8_t kKeyAltW = 17;
constexpr uint8_t kKeyAltE = 18;

constexpr uint8_t kKeyF1 = 59, kKeyF2 = 60, kKeyF3 = 61, kKeyF4 = 62;
constexpr uint8_t kKeyF5 = 63, kKeyF6 = 64, kKeyF7 = 65, kKeyF8 = 66;
constexpr uint8_t kKeyF9 = 67, kKeyF10 = 68, kKeyF11 = 69, kKeyF12 = 70;

constexpr uint8_t kKeyHome = 71;
constexpr uint8_t kKeyUp = 72;
constexpr uint8_t kKeyPgUp = 73;
constexpr uint8_t kKeyLeft = 75;
constexpr uint8_t kKeyRight = 77;
constexpr uint8_t kKeyEnd = 79;
constexpr uint8_t kKeyDown = 80;
constexpr uint8_t kKeyPgDn = 81;
constexpr uint8_t kKeyInsert = 82;
constexpr uint8_t kKeyDelete = 83;  // with or without Ctrl

constexpr uint8_t kKeyCtrlF1 = 94, kKeyCtrlF2 = 95, kKeyCtrlF3 = 96;
constexpr uint8_t kKeyCtrlF4 = 97, kKeyCtrlF5 = 98, kKeyCtrlF6 = 99;
constexpr uint8_t kKeyCtrlF7 = 100, kKeyCtrlF8 = 101, kKeyCtrlF9 = 102;
constexpr uint8_t kKeyCtrlF10 = 103, kKeyCtrlF11 = 104, kKeyCtrlF12 = 105;

constexpr uint8_t kKeyCtrlUp = 113;
constexpr uint8_t kKeyCtrlDown = 114;
constexpr uint8_t kKeyCtrlLeft = 115;
constexpr uint8_t kKeyCtrlRight = 116;
constexpr uint8_t kKeyCtrlEnd = 117;
constexpr uint8_t kKeyCtrlPgDn = 118;
constexpr uint8_t kKeyCtrlHome = 119;
constexpr uint8_t kKeyCtrlPgUp = 132;
constexpr uint8_t kKeyShiftInsert = 254;
constexpr uint8_t kKeyCtrlInsert = 255;

// Alt+1 .. Alt+9 are 120 .. 128, Alt+0 is 129.
constexpr uint8_t kKeyAlt1 = 120;
constexpr uint8_t kKeyAlt0 = 129;

// The focus signals: the window gained the focus (a field says its value
// again) or lost it (a menu waits for the next key before speaking). No
// real key gives these codes.
constexpr uint8_t kKeyFocusGained = 222;
constexpr uint8_t kKeyFocusLost = 223;

#endif  // TALONIX_CONSOLE_KEYS_H_
