// Seam for tests while the text engines are stand-ins: what their start
// reports. resetSynth() puts it back (no text engine starts).
#ifndef TALONIX_SYNTH_SYNTH_SEAMS_H_
#define TALONIX_SYNTH_SYNTH_SEAMS_H_

// synthStart reports `ready`, so the engine path of the speech layer can be
// exercised before any engine exists.
void setEngineStartResult(bool ready);

#endif  // TALONIX_SYNTH_SYNTH_SEAMS_H_
