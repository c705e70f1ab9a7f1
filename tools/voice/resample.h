// espeak's 22 050 Hz speech at the engine's 16 000 Hz: a band-limited
// resampler (windowed sinc, low-pass below the new Nyquist frequency).
#ifndef TALONIX_TOOLS_VOICE_RESAMPLE_H_
#define TALONIX_TOOLS_VOICE_RESAMPLE_H_

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int kEngineRate = 16000;

// Output samples first .. first + count - 1 of `in` taken to 16 kHz
// (output sample k lies at input time k * 22050 / 16000). Outside the
// input is silence, so `first` may be negative. Values stay on the 16-bit
// scale, unclipped.
std::vector<float> resampleTo16k(const std::vector<int16_t>& in, long first, size_t count);

// An input position at 22 050 Hz in output samples, rounded.
long toEngineRate(long espeakSample);

#endif  // TALONIX_TOOLS_VOICE_RESAMPLE_H_
