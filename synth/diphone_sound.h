// The diphone synthesizer's sound buffer and where its samples come from,
// shared by its start-up module and its group reader. Internal to synth/.
#ifndef TALONIX_SYNTH_DIPHONE_SOUND_H_
#define TALONIX_SYNTH_DIPHONE_SOUND_H_

#include <cstddef>
#include <string_view>

// The buffer holds a 44-byte WAV header and the samples after it.
constexpr size_t kDiphoneBufferBytes = 64000;

bool diphoneSynthStarted();
// The silence between groups, in samples.
int diphoneGroupGap();

// Appends the database unit `name` (searched upper-cased): in full when
// stressMode is 2 or the name is shorter than 3 characters, otherwise
// shortened by the unit cut; then `factor` of that. False when the index
// lacks it.
bool appendDatabaseUnit(std::string_view name, int stressMode, double factor);
// Appends the samples of the letters directory's `name` + ".wav" (such as
// "_65"). False when that is missing or no WAV file.
bool appendCharacterSound(std::string_view name);
// Random values 88..167, for a missing short unit.
void appendNoise(size_t samples);
// Value 128 in whole blocks of 100.
void appendSilence(int samples);
// Plays what the buffer holds and empties it.
void flushDiphoneSound();

#endif  // TALONIX_SYNTH_DIPHONE_SOUND_H_
