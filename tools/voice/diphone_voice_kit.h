// The engine's own voice: every diphone the engine's definitions list, cut
// from espeak-ng's monotone pt-br speech at 16 kHz with its pitch marks,
// written as one voice file (tts/diphone_voice.h).
#ifndef TALONIX_TOOLS_VOICE_DIPHONE_VOICE_KIT_H_
#define TALONIX_TOOLS_VOICE_DIPHONE_VOICE_KIT_H_

#include <string>

// Reads the pairs of `definitions` (portug.dfn), cuts them and writes
// `file`; prints the source pitch, the carriers that were not the first
// choice, and the figures. False, with the reason printed, when a symbol
// is unknown, a diphone cannot be cut or the file cannot be written.
// Expects the espeak session started; leaves it on another voice.
bool writeEngineVoice(const std::string& definitions, const std::string& file);

#endif  // TALONIX_TOOLS_VOICE_DIPHONE_VOICE_KIT_H_
