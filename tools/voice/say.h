// Rendering texts through the program's own diphone path (its
// letter-to-sound and synthesizer) over a generated kit, so that the
// voice can be heard, compared and measured.
#ifndef TALONIX_TOOLS_VOICE_SAY_H_
#define TALONIX_TOOLS_VOICE_SAY_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Starts the synthesizer over the kit under `kit` (its som/ tree) at speed
// 1..5. False with a reason when it cannot start over that kit.
bool openKitVoice(const std::string& kit, int speed, std::string* error);
// Appends the 8-bit samples at 11 025 Hz of a Windows-1252 text.
void sayOnKitVoice(std::string_view text, std::vector<uint8_t>* samples);
void closeKitVoice();

// The three together for one text.
bool sayWithKit(const std::string& kit, int speed, std::string_view text,
                std::vector<uint8_t>* samples, std::string* error);

// Says every word of a word list (UTF-8, one word per line) and prints how
// the units they asked for were found, the sample steps at the joins
// against those inside the units, and the rendering speed. False when the
// list cannot be read, the kit cannot be spoken, or the voice misses its
// goals (no noise, nothing skipped, 99 % of units found as named, no join
// steeper than the steps inside the units at their 99.9th percentile).
bool reportCoverage(const std::string& kit, int speed, const std::string& wordList);

#endif  // TALONIX_TOOLS_VOICE_SAY_H_
