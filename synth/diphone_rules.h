// Letter-to-sound for the diphone synthesizer: text to bracketed groups of
// phoneme symbols.
#ifndef TALONIX_SYNTH_DIPHONE_RULES_H_
#define TALONIX_SYNTH_DIPHONE_RULES_H_

#include <string>
#include <string_view>

std::string transcribeForDiphones(std::string_view text);

// The rules file; true when it could be opened. Also empties the
// exceptions.
bool loadDiphoneRules(std::string_view fileName);
// The exceptions file; true when it could be opened.
bool loadDiphoneExceptions(std::string_view fileName);
void freeDiphoneRules();

#endif  // TALONIX_SYNTH_DIPHONE_RULES_H_
