// Everything a headless run sounded, as one WAV file to listen to or to
// search: every wave-output buffer (as far as it played before a reset cut
// it) and every looping sound, laid out on the run's virtual clock.
//
// The file is always 16-bit signed mono PCM at 22050 Hz, whatever the
// program played: 8-bit samples become (u - 128) * 256, channels are
// averaged, and rates are converted by holding each source sample for the
// output samples that fall inside it (no filtering). So an 11025 Hz 8-bit
// mono recording appears as each of its samples twice, exactly.
// Overlapping sounds (a tone beside a recording) are summed and clipped.
// The file begins with the first sound, and a silence longer than one
// second is shortened to one second, so a run that waited a long time does
// not give a file of mostly nothing.
// Message beeps (MessageBeep) are counted by the backend, not recorded,
// and are not in the file.
#ifndef TALONIX_PLATFORM_HEADLESS_SESSION_AUDIO_H_
#define TALONIX_PLATFORM_HEADLESS_SESSION_AUDIO_H_

#include <cstdint>
#include <vector>

#include "platform/headless/headless_platform.h"

namespace plat::headless {

constexpr uint32_t kSessionAudioRate = 22050;
constexpr uint64_t kSessionMaxSilenceUs = 1000000;

// The samples of the run, in the format above.
std::vector<int16_t> sessionAudioSamples(const HeadlessPlatform& platform);
// A complete WAV file (44-byte header and the samples).
std::vector<uint8_t> sessionAudioWav(const HeadlessPlatform& platform);

// For each speech record line, the level of the wave output that sounded
// from the moment the line was made until the next line (the last: until
// the run ended), on the virtual clock: the RMS of the samples in dBFS
// (a full-scale square wave is 0), or -infinity when nothing sounded.
// Looping tones are not counted. So a test can tell that each text the
// program said was heard, and not only recorded.
std::vector<double> speechLevels(const HeadlessPlatform& platform);

// Whole frames of device bytes at their own format, turned into the
// file's format.
std::vector<int16_t> convertToSessionFormat(const uint8_t* data, size_t bytes,
                                            uint32_t sampleRate,
                                            uint16_t bitsPerSample,
                                            uint16_t channels);

}  // namespace plat::headless

#endif  // TALONIX_PLATFORM_HEADLESS_SESSION_AUDIO_H_
