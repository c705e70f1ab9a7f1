// Cutting one diphone out of a carrier espeak-ng has said: from the middle
// of its left phoneme to the middle of its right one, at 16 kHz, with the
// boundary between them and its pitch marks.
#ifndef TALONIX_TOOLS_VOICE_DIPHONE_CUTTING_H_
#define TALONIX_TOOLS_VOICE_DIPHONE_CUTTING_H_

#include <cstdint>
#include <vector>

#include "tools/voice/diphone_carriers.h"
#include "tools/voice/espeak_session.h"
#include "tts/diphone_voice.h"

struct CutDiphone {
  std::vector<int16_t> samples;  // 16 kHz
  uint32_t boundary = 0;         // where the right phoneme begins
  std::vector<PitchMark> marks;  // positions within the samples
};

// The diphone of `left` and `right` from `spoken`, the carrier said;
// false when espeak's phoneme events are not the carrier's phonemes.
// `period` is the source period in samples at 16 kHz.
bool cutDiphone(const Utterance& spoken, const Carrier& carrier, const EngineSymbol& left,
                const EngineSymbol& right, double period, CutDiphone* out);

// Silence to silence: a pause cut in two at its middle.
CutDiphone silenceDiphone(double period);

#endif  // TALONIX_TOOLS_VOICE_DIPHONE_CUTTING_H_
