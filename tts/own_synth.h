// The engine's own synthesizer: the MBROLA calls in-process, over the
// engine's own diphone voice (diphone_voice.h). Each phoneme line is
// rendered with TD-PSOLA to its duration and pitch targets; grains never
// cross a diphone's edge, and "_" is true silence. Samples become readable
// as soon as the phoneme after them (and, where voiced, the next pitch
// target) is known, and all of them at flush().
#ifndef TALONIX_TTS_OWN_SYNTH_H_
#define TALONIX_TTS_OWN_SYNTH_H_

#include "platform/mbrola.h"

// The one instance (the engine has one synthesizer at a time). load()
// always answers kLoaded; init() reads the voice file at the path given,
// or, failing that, at the path with ".voz" added (the engine
// names the database, ".../br4"); negative when it is missing or broken.
// The phoneme-line renderer itself is in own_synth_render.h.
plat::Mbrola& ownSynthesizer();
// Forgets the voice and everything pending (tests, start-up).
void resetOwnSynthesizer();

#endif  // TALONIX_TTS_OWN_SYNTH_H_
