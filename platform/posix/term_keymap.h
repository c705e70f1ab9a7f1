// Key tables shared by the terminal decoder: which virtual key and message
// sequence each character, control byte or sequence number stands for.
#ifndef TALONIX_PLATFORM_POSIX_TERM_KEYMAP_H_
#define TALONIX_PLATFORM_POSIX_TERM_KEYMAP_H_

#include <cstdint>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/term_decoder.h"

namespace plat::posix {

// The virtual key of a character on a US layout; *shifted tells whether
// Shift makes it. Characters outside ASCII have no key (0).
uint32_t vkOfChar(uint8_t ch, bool* shifted);
// A typed Windows-1252 character (32..255, not 127), with extra modifiers.
void emitChar(uint8_t ch, Modifiers mods, std::vector<plat::Event>* out);
// A C0 control byte or DEL as a key (Enter, Tab, Ctrl+letter, ...).
void emitControl(uint8_t byte, bool eraseIsDel, Modifiers mods,
                 std::vector<plat::Event>* out);
// A key reported by its Unicode code (CSI code;mod u, CSI 27;mod;code ~).
// False when the code names no key the program knows.
bool emitKeyCode(uint32_t code, Modifiers mods,
                 std::vector<plat::Event>* out);
// xterm's modifier parameter (2 Shift, 3 Alt, 5 Ctrl, ...; 1 none).
// False for a value that is no modifier set.
bool modifiersOfParam(int param, Modifiers* mods);
// The key of CSI n ~ (1 Home, 2 Insert, 11 F1, ...); 0 when unknown.
uint32_t vkOfTildeNumber(int n);
// The key of a final byte after CSI or SS3 (A Up, H Home, P F1, ...).
uint32_t vkOfFinal(uint8_t final);

}  // namespace plat::posix

#endif  // TALONIX_PLATFORM_POSIX_TERM_KEYMAP_H_
