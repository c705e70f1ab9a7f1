// The desktop's speech service, speech-dispatcher, through libspeechd: a
// voice that speaks on its own (platform/voices.h). Its sound does not pass
// through the program's player, so it is stopped by cancelling the service's
// speech. Whether it still speaks comes from the service's begin, end and
// cancel events, delivered on libspeechd's own thread: they only update
// atomic counters and post a wake-up message to the program's event queue,
// so a wait for speech looks again.
//
// Start fails when no service answers (the diphone path then speaks). A
// service that stops answering is given up: connecting waits at most 5 s,
// the list of voices (asked for only when VOZ chooses one) 20 s, any other
// call a second; a text it has not begun within two seconds, or not ended
// within 10 s and 200 ms per character, is not waited for. While a text
// goes on, is-speaking waits 20 ms and wakes the program's wait, so that
// these limits hold even when the service falls silent.
//
// Settings, mapped onto speech-dispatcher's -100..100 scales:
// - VOZ: 1-based among the service's "pt-BR" voices, the first when out of
//   range; 0 (or a service that lists none) keeps the language's default
//   voice, which is its first.
// - VELOCIDADE: rate = 100 x log3(voiceSpeedFactor), clamped: -10..10
//   becomes -100..100 in steps of 10; above 10, words per minute, 175
//   giving 0 and 525 the top.
// - TOM: pitch = 10 x TOM, clamped to -100..100.
#ifndef TALONIX_PLATFORM_SPEECHD_SPEECHD_VOICE_H_
#define TALONIX_PLATFORM_SPEECHD_SPEECHD_VOICE_H_

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/voices.h"
#include "platform/window.h"

namespace plat::speechd {

class SpeechdVoice : public plat::Voice {
 public:
  // Events of the service wake the program through `wake`, which must
  // accept posts from any thread. With `autospawn`, a start with no server
  // running has libspeechd start one, as desktop programs do; the server's
  // address is libspeechd's (SPEECHD_ADDRESS, else the user's socket).
  explicit SpeechdVoice(plat::EventSink& wake, bool autospawn = true)
      : wake_(wake), autospawn_(autospawn) {}
  ~SpeechdVoice() override;
  SpeechdVoice(const SpeechdVoice&) = delete;
  SpeechdVoice& operator=(const SpeechdVoice&) = delete;

  // The service's rate and pitch for the settings' values (see above).
  static int rateOf(int rate);
  static int pitchOf(int pitch);
  // The voice chosen by the last successful start (empty: the language's
  // default).
  const std::string& voiceName() const { return voiceName_; }
  // How many texts the service has begun to speak since the start.
  size_t begun() const { return begun_.load(); }

  bool start(int voice, int rate, int pitch, plat::SampleSink& sink) override;
  void speak(std::string_view text) override;
  bool isSpeaking(int kind) override;
  void stop() override;
  void end() override;

 private:
  static void onEvent(size_t messageId, size_t clientId, int state);
  void wakeProgram();
  // Leaves a service that stopped answering: the voice is then ended.
  void giveUp();

  plat::EventSink& wake_;
  bool autospawn_;
  void* connection_ = nullptr;  // SPDConnection
  std::string voiceName_;
  // Message ids grow: the last one handed over and the last one finished
  // (ended or cancelled). Speaking while finished < said.
  std::atomic<size_t> said_{0};
  std::atomic<size_t> finished_{0};
  std::atomic<size_t> begun_{0};
  std::atomic<size_t> lastBegun_{0};  // id of the last text begun
  std::chrono::steady_clock::time_point saidAt_;  // of the last text
  std::chrono::steady_clock::time_point giveUpAt_;  // when it is given up
};

}  // namespace plat::speechd

#endif  // TALONIX_PLATFORM_SPEECHD_SPEECHD_VOICE_H_
