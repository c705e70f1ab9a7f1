// The engine's own synthesizer as a plain function, for the tools, the
// tests and the benchmarks: phoneme lines in, every sample out at the
// voice's rate. A pair the voice lacks sounds as silence; a refused line
// (malformed, or an unknown symbol) is left out and counted in `refused`.
#ifndef TALONIX_TTS_OWN_SYNTH_RENDER_H_
#define TALONIX_TTS_OWN_SYNTH_RENDER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tts/diphone_voice.h"

std::vector<int16_t> renderPhonemeLines(const DiphoneVoice& voice,
                                        const std::vector<std::string>& lines,
                                        size_t* refused = nullptr);

#endif  // TALONIX_TTS_OWN_SYNTH_RENDER_H_
