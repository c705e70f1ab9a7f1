#include "tools/voice/espeak_session.h"

#include <espeak-ng/speak_lib.h>

#include <cstring>

namespace {

bool gStarted = false;
Utterance* gTarget = nullptr;

int collect(short* wav, int count, espeak_EVENT* events) {
  if (gTarget == nullptr) return 0;
  for (espeak_EVENT* e = events; e != nullptr && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
    if (e->type != espeakEVENT_PHONEME) continue;
    PhonemeEvent p;
    p.name.assign(e->id.string, strnlen(e->id.string, sizeof e->id.string));
    p.sample = e->sample > 0 ? static_cast<size_t>(e->sample) : 0;
    gTarget->phonemes.push_back(std::move(p));
  }
  if (wav != nullptr && count > 0) gTarget->samples.insert(gTarget->samples.end(), wav, wav + count);
  return 0;
}

}  // namespace

bool startEspeak() {
  if (gStarted) return true;
  const int options = espeakINITIALIZE_PHONEME_EVENTS | espeakINITIALIZE_DONT_EXIT;
  if (espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, options) != kEspeakRate) return false;
  if (espeak_SetVoiceByName("pt-br") != EE_OK) return false;
  espeak_SetSynthCallback(collect);
  gStarted = true;
  return true;
}

void setEspeakVoice(int wordsPerMinute, bool monotone) {
  espeak_SetParameter(espeakRATE, wordsPerMinute, 0);
  espeak_SetParameter(espeakRANGE, monotone ? 0 : 50, 0);
  espeak_SetParameter(espeakPITCH, 50, 0);
}

bool setEspeakMonotoneVoice(const char* name, int wordsPerMinute, int pitch) {
  if (!gStarted || espeak_SetVoiceByName(name) != EE_OK) return false;
  espeak_SetParameter(espeakRATE, wordsPerMinute, 0);
  espeak_SetParameter(espeakRANGE, 0, 0);
  espeak_SetParameter(espeakPITCH, pitch, 0);
  return true;
}

Utterance speakEspeak(std::string_view utf8, bool phonemes) {
  Utterance out;
  if (!gStarted) return out;
  const std::string text(utf8);
  gTarget = &out;
  const unsigned flags = espeakCHARS_UTF8 | (phonemes ? espeakPHONEMES : 0u);
  espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, flags, nullptr, nullptr);
  espeak_Synchronize();
  gTarget = nullptr;
  return out;
}

std::string espeakPhonemes(std::string_view utf8) {
  const std::string text(utf8);
  const void* cursor = text.c_str();
  std::string out;
  while (cursor != nullptr) {
    const char* part = espeak_TextToPhonemes(&cursor, espeakCHARS_UTF8, 0);
    if (part == nullptr) break;
    if (!out.empty()) out += ' ';
    out += part;
  }
  return out;
}
