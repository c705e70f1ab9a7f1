// The recordings of the kit: system sounds of the letters directory and the
// program's catalogue messages, spoken by espeak-ng, and telephone tones.
#ifndef TALONIX_TOOLS_VOICE_RECORDINGS_H_
#define TALONIX_TOOLS_VOICE_RECORDINGS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Samples quieter than this (16-bit scale) count as silence: they come out
// within one step of the middle of the 8-bit range.
constexpr float kSilenceLevel = 384.0f;

// espeak's speech of a UTF-8 text as 8-bit samples at 11 025 Hz, silence
// trimmed to at most 20 ms at each end. Expects the session started.
std::vector<uint8_t> spokenSamples(std::string_view utf8);

// The tone of a telephone key ("0".."9", "#", "X" for the star): its two
// standard frequencies summed, faded at both ends.
std::vector<uint8_t> toneSamples(std::string_view key);

// Writes a WAV file of 8-bit mono samples at 11 025 Hz; false on failure.
bool writeWaveFile(const std::string& path, const std::vector<uint8_t>& samples);

// Writes every letters-directory sound into `directory` and every catalogue
// message into `messages`; returns the number of files written, or -1 when
// one could not be written.
int writeRecordings(const std::string& directory, const std::string& messages);

#endif  // TALONIX_TOOLS_VOICE_RECORDINGS_H_
