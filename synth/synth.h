// One call that returns every synthesizer record to its program-start
// state (start-up and tests).
#ifndef TALONIX_SYNTH_SYNTH_H_
#define TALONIX_SYNTH_SYNTH_H_

void resetSynth();

#endif  // TALONIX_SYNTH_SYNTH_H_
