// Pitch marks for the engine's diphones, cut from a monotone voice whose
// period is known: one voiced mark per glottal period, all at one phase,
// and evenly spaced unvoiced stand-ins where there is no voice.
#ifndef TALONIX_TOOLS_VOICE_PITCH_MARKS_H_
#define TALONIX_TOOLS_VOICE_PITCH_MARKS_H_

#include <cstddef>
#include <vector>

#include "tts/diphone_voice.h"

// The period in samples of the steadiest voiced stretch of `samples`
// (autocorrelation, refined between lags); 0 when none is voiced.
double measurePeriod(const std::vector<float>& samples);

// Marks over the whole of `samples`, in increasing order. In each voiced
// stretch they sit on the peaks of the fundamental, 0.8 to 1.2 periods
// apart, so every diphone of a phoneme marks it at one phase; the rest
// are unvoiced stand-ins about a period apart.
std::vector<PitchMark> pitchMarks(const std::vector<float>& samples, double period);

#endif  // TALONIX_TOOLS_VOICE_PITCH_MARKS_H_
