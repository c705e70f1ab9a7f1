// Six-key Braille input: chords of F D S J K L and the space bar typed on
// the ordinary keyboard become characters. The keyboard handlers feed key
// presses and releases here; completed characters go into the key queue.
#ifndef TALONIX_CONSOLE_BRAILLE_H_
#define TALONIX_CONSOLE_BRAILLE_H_

#include <cstdint>

#include "platform/platform.h"

// Chord bits: dot 1 = 1 ... dot 6 = 32, the space bar 64.
constexpr uint8_t kBrailleSpaceBit = 64;
// Marks "nothing to queue" inside the chord logic; never queued.
constexpr uint8_t kBrailleNothing = 254;

// The character of a cell (chord 0..63; higher bits are ignored).
uint8_t brailleCell(int chord);
// The chord bit of a virtual key, 0 when it is no dot key.
uint8_t brailleDotOf(uint32_t virtualKey);
// True while mode 1 or 2 is on.
bool brailleActive();

// A dot key went down (Ctrl not held, Braille on): adds its bit.
void brailleDotDown(uint32_t virtualKey);
// WM_KEYUP in Braille mode. False asks for the default handling.
bool brailleKeyUp(const plat::Event& event);
// The character a completed chord yields, after the sign rules of mode 2;
// kBrailleNothing when nothing is to be queued.
uint8_t completeChord(uint8_t chord);
// Clears capital next, capital lock and number mode.
void clearBrailleSigns();

#endif  // TALONIX_CONSOLE_BRAILLE_H_
