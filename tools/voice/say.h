// Rendering a text through the program's own diphone path (its
// letter-to-sound and synthesizer) over a generated kit, so that the
// voice can be heard and compared.
#ifndef TALONIX_TOOLS_VOICE_SAY_H_
#define TALONIX_TOOLS_VOICE_SAY_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The 8-bit samples at 11 025 Hz of a Windows-1252 text spoken with the
// kit under `kit` (its som/ tree) at speed 1..5. False with a reason when
// the synthesizer cannot start over that kit.
bool sayWithKit(const std::string& kit, int speed, std::string_view text,
                std::vector<uint8_t>* samples, std::string* error);

#endif  // TALONIX_TOOLS_VOICE_SAY_H_
