// Seams for tests while the diphone synthesizer and the text engines are
// stand-ins: what their start reports. resetSynth() puts both back (the
// diphone start succeeds, no text engine starts).
#ifndef TALONIX_SYNTH_SYNTH_SEAMS_H_
#define TALONIX_SYNTH_SYNTH_SEAMS_H_

// startDiphoneSynth returns `code` (0 success, 1 and 2 its failures).
void setDiphoneStartResult(int code);
// synthStart reports `ready`, so the engine path of the speech layer can be
// exercised before any engine exists.
void setEngineStartResult(bool ready);

#endif  // TALONIX_SYNTH_SYNTH_SEAMS_H_
