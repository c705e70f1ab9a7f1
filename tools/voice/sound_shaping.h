// Turning espeak's 16-bit speech at 22 050 Hz into the program's 8-bit
// sound at 11 025 Hz: low-pass resampling, silence trimming, joins at zero
// crossings with short fades. Pure functions over sample arrays.
#ifndef TALONIX_TOOLS_VOICE_SOUND_SHAPING_H_
#define TALONIX_TOOLS_VOICE_SOUND_SHAPING_H_

#include <cstddef>
#include <cstdint>
#include <vector>

// Half-open range of sample positions.
struct Span {
  size_t begin = 0;
  size_t end = 0;
  size_t size() const { return end > begin ? end - begin : 0; }
};

// Half the rate: a windowed-sinc low-pass below the new Nyquist frequency,
// then every other sample. Values stay on the 16-bit scale.
std::vector<float> halveRate(const std::vector<int16_t>& samples);

// The span without its leading and trailing samples quieter than
// `threshold`, keeping at most `keep` of them at each end.
Span trimSilence(const std::vector<float>& samples, Span span, float threshold,
                 size_t keep);

// Moves each end of the span to the nearest sign change within `reach`
// samples, so that a cut starts and ends near the zero line.
Span snapToZeroCrossings(const std::vector<float>& samples, Span span,
                         size_t reach);

// espeak's speech peaks near half of full scale; raised, weak fricatives
// keep a few more of the 8-bit output's levels.
constexpr double kSpeechGain = 1.25;

// 8-bit unsigned samples of the span times `gain`, faded in and out over
// `fade` samples. Samples beyond the range are clipped and counted.
std::vector<uint8_t> toUnsigned8(const std::vector<float>& samples, Span span,
                                 size_t fade, double gain = 1.0);
size_t clippedSamples();

// A RIFF WAV image: the 44-byte header and the 8-bit mono samples.
std::vector<uint8_t> waveImage(const std::vector<uint8_t>& samples,
                               uint32_t rate);

#endif  // TALONIX_TOOLS_VOICE_SOUND_SHAPING_H_
