// Brazilian Portuguese from libespeak-ng, in the program's own process: a
// voice of the sample shape (platform/voices.h). Synthesis runs on the
// program's thread; each buffer of samples goes to the sink as it is made,
// so the first ones sound almost at once, and a sink that reports playback
// stopped aborts the rest of the text.
//
// The library is initialised once per process and never terminated while
// the program runs: initialising it again after terminating it can hang.
//
// Settings, mapped onto espeak's parameters:
// - VOZ: 1-based among the Brazilian voices espeak lists ("pt-br"), the
//   first when 0 or out of range.
// - VELOCIDADE: espeakRATE = 175 words per minute x voiceSpeedFactor
//   (3^(v/10) for -10..10), clamped to espeak's 80..450; 0 gives 175.
// - TOM: espeakPITCH = 50 + 5 x TOM, clamped to 0..100; 0 gives espeak's
//   default 50, -10..10 spans the whole range.
#ifndef TALONIX_PLATFORM_ESPEAK_ESPEAK_VOICE_H_
#define TALONIX_PLATFORM_ESPEAK_ESPEAK_VOICE_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/voices.h"

namespace plat::espeak {

class EspeakVoice : public plat::Voice {
 public:
  EspeakVoice() = default;
  ~EspeakVoice() override;
  EspeakVoice(const EspeakVoice&) = delete;
  EspeakVoice& operator=(const EspeakVoice&) = delete;

  // The parameters a setting gives (see above).
  static int wordsPerMinute(int rate);
  static int pitchOf(int pitch);
  // The names of the Brazilian voices espeak offers, in its order; empty
  // when the library cannot start.
  static std::vector<std::string> brazilianVoices();
  // The voice chosen by the last successful start.
  const std::string& voiceName() const { return voiceName_; }

  bool start(int voice, int rate, int pitch, plat::SampleSink& sink) override;
  void speak(std::string_view text) override;
  bool isSpeaking(int kind) override;
  void stop() override;
  void end() override;

 private:
  // espeak's synthesis callback: 1 aborts the text.
  static int onSamples(short* samples, int count);

  plat::SampleSink* sink_ = nullptr;
  std::string voiceName_;
  bool synthesizing_ = false;  // inside espeak_Synth, on this thread
  bool aborting_ = false;      // the rest of the current text is dropped
};

}  // namespace plat::espeak

#endif  // TALONIX_PLATFORM_ESPEAK_ESPEAK_VOICE_H_
