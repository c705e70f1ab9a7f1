// The engine's own voice: one diphone for each pair the definitions file
// lists, cut from a monotone voice at the midpoints of its two phonemes,
// with the pitch marks that the synthesizer places its grains on. It is
// one binary file (the voice kit writes it as <database>.voz beside the
// engine's data files), read whole and checked before use.
//
// File layout, little-endian:
//   "TLXVOZ1\0"                     8 bytes
//   u32 sample rate (16000)
//   u32 source pitch in millihertz  (the monotone pitch the units carry)
//   u32 symbol count S (1..255), then S times: u8 length (1..7), bytes
//   u32 diphone count D (1..65535), then D times:
//     u8 left symbol, u8 right symbol  (indices among the symbols)
//     u32 first sample, u32 sample count (>= 1)
//     u32 boundary: where the right phoneme begins (<= sample count)
//     u32 first mark, u32 mark count
//   u32 sample count N, then N times i16
//   u32 mark count M, then M times: u32 position within its diphone,
//     with the top bit set when the grain is voiced
// A diphone's samples and marks lie inside the arrays; its marks are in
// increasing order, each < its sample count; a pair appears once.
#ifndef TALONIX_TTS_DIPHONE_VOICE_H_
#define TALONIX_TTS_DIPHONE_VOICE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct PitchMark {
  uint32_t position = 0;  // sample within the diphone
  bool voiced = false;    // unvoiced marks are evenly spaced stand-ins
};

struct Diphone {
  uint8_t left = 0, right = 0;  // indices into DiphoneVoice::symbols
  uint32_t firstSample = 0, sampleCount = 0;
  uint32_t boundary = 0;  // where the right phoneme begins
  uint32_t firstMark = 0, markCount = 0;
};

struct DiphoneVoice {
  uint32_t sampleRate = 16000;
  double sourcePitch = 0;  // hertz
  std::vector<std::string> symbols;
  std::vector<Diphone> diphones;  // sorted by (left, right)
  std::vector<int16_t> samples;
  std::vector<PitchMark> marks;

  // The symbol's index, or -1.
  int symbolIndex(std::string_view name) const;
  // The diphone of two symbols, or null.
  const Diphone* find(std::string_view left, std::string_view right) const;
  const int16_t* samplesOf(const Diphone& d) const {
    return samples.data() + d.firstSample;
  }
  const PitchMark* marksOf(const Diphone& d) const {
    return marks.data() + d.firstMark;
  }
};

// Checks every count, index and range; false with the reason (in English,
// for the tools) when the bytes are not a whole, consistent voice. The
// diphones come out sorted.
bool parseDiphoneVoice(const uint8_t* bytes, size_t size, DiphoneVoice* voice,
                       std::string* error);
// The same from a file (at most 64 MB).
bool loadDiphoneVoice(std::string_view path, DiphoneVoice* voice,
                      std::string* error);
// The file's bytes for a voice (the voice kit writes them; tests build
// small voices with it).
std::vector<uint8_t> encodeDiphoneVoice(const DiphoneVoice& voice);

#endif  // TALONIX_TTS_DIPHONE_VOICE_H_
