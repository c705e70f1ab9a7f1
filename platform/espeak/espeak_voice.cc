#include "platform/espeak/espeak_voice.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <strings.h>

#include "platform/shared/codepage.h"

namespace plat::espeak {
namespace {

// Milliseconds of sound per buffer handed to the sink: short enough that
// the first samples come at once, long enough for the player's speech
// compression, which leaves pieces under 1000 samples alone.
constexpr int kBufferMs = 100;

// The voice whose text espeak is synthesizing now (one at a time: espeak
// is a process-wide engine).
EspeakVoice* synthesizing = nullptr;

// espeak's sample rate, or 0 when the library cannot start. Initialised
// on first use and kept for the whole process.
int sampleRate() {
  static const int rate = [] {
    const int r = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, kBufferMs, nullptr,
                                    espeakINITIALIZE_DONT_EXIT);
    return r > 0 ? r : 0;
  }();
  return rate;
}

bool speaksBrazilian(const espeak_VOICE& v) {
  if (!v.languages || !v.identifier) return false;
  // Voices that need another program's voice database are left out.
  if (std::strncmp(v.identifier, "mb/", 3) == 0) return false;
  // languages: a priority byte, a name and its 0, ..., then a 0 byte.
  for (const char* l = v.languages; *l != 0; l += std::strlen(l + 1) + 2) {
    if (strcasecmp(l + 1, "pt-br") == 0) return true;
  }
  return false;
}

}  // namespace

EspeakVoice::~EspeakVoice() { end(); }

int EspeakVoice::wordsPerMinute(int rate) {
  if (rate == 0) return 175;
  const double wpm = 175.0 * plat::voiceSpeedFactor(rate);
  return static_cast<int>(std::lround(std::clamp(wpm, 80.0, 450.0)));
}

int EspeakVoice::pitchOf(int pitch) {
  return std::clamp(50 + 5 * static_cast<long>(pitch), 0L, 100L);
}

std::vector<std::string> EspeakVoice::brazilianVoices() {
  std::vector<std::string> names;
  if (sampleRate() == 0) return names;
  const espeak_VOICE** all = espeak_ListVoices(nullptr);
  for (int i = 0; all && all[i]; ++i) {
    if (speaksBrazilian(*all[i]) && all[i]->name) names.emplace_back(all[i]->name);
  }
  return names;
}

bool EspeakVoice::start(int voice, int rate, int pitch, plat::SampleSink& sink) {
  end();
  const std::vector<std::string> names = brazilianVoices();
  if (names.empty()) return false;
  const size_t chosen =
      voice >= 1 && static_cast<size_t>(voice) <= names.size() ? voice - 1 : 0;
  if (espeak_SetVoiceByName(names[chosen].c_str()) != EE_OK) return false;
  espeak_SetParameter(espeakRATE, wordsPerMinute(rate), 0);
  espeak_SetParameter(espeakPITCH, pitchOf(pitch), 0);
  espeak_SetSynthCallback([](short* samples, int count, espeak_EVENT*) {
    return EspeakVoice::onSamples(samples, count);
  });
  voiceName_ = names[chosen];
  sink_ = &sink;
  return true;
}

int EspeakVoice::onSamples(short* samples, int count) {
  EspeakVoice* v = synthesizing;
  if (v == nullptr || v->aborting_ || v->sink_ == nullptr) return 1;
  if (samples == nullptr || count <= 0) return 0;  // the end of the text
  if (!v->sink_->playSamples(samples, static_cast<size_t>(count),
                             static_cast<uint32_t>(sampleRate()))) {
    v->aborting_ = true;
    return 1;
  }
  return v->aborting_ ? 1 : 0;
}

void EspeakVoice::speak(std::string_view text) {
  // A text spoken while another is being made (from inside the sink's
  // wait) is dropped: espeak makes one text at a time.
  if (sink_ == nullptr || synthesizing_ || text.empty()) return;
  const std::string utf8 = plat::cp1252ToUtf8(text);
  synthesizing_ = true;
  aborting_ = false;
  synthesizing = this;
  espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0,
               espeakCHARS_UTF8, nullptr, nullptr);
  synthesizing = nullptr;
  synthesizing_ = false;
}

bool EspeakVoice::isSpeaking(int kind) {
  (void)kind;  // once speak returns, all that is left is playing
  return sink_ != nullptr && sink_->isPlaying();
}

void EspeakVoice::stop() {
  if (sink_ == nullptr) return;
  // Inside synthesis (a stop from the sink's wait) the callback ends it;
  // cancelling espeak from within its own call is not safe.
  if (synthesizing_) aborting_ = true;
  else espeak_Cancel();
  sink_->stop();
}

void EspeakVoice::end() {
  stop();
  sink_ = nullptr;  // a synthesis still running ends at its next buffer
}

}  // namespace plat::espeak
