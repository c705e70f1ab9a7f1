// Letter-to-sound for the diphone synthesizer: text to bracketed groups of
// phoneme symbols.
#ifndef TALONIX_SYNTH_DIPHONE_RULES_H_
#define TALONIX_SYNTH_DIPHONE_RULES_H_

#include <string>
#include <string_view>

std::string transcribeForDiphones(std::string_view text);

#endif  // TALONIX_SYNTH_DIPHONE_RULES_H_
