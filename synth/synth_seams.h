// A seam for tests while the diphone synthesizer is a stand-in: what its
// start reports. resetSynth() puts it back (the start succeeds).
#ifndef TALONIX_SYNTH_SYNTH_SEAMS_H_
#define TALONIX_SYNTH_SYNTH_SEAMS_H_

// startDiphoneSynth returns `code` (0 success, 1 and 2 its failures).
void setDiphoneStartResult(int code);

#endif  // TALONIX_SYNTH_SYNTH_SEAMS_H_
