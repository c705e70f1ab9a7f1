// The platform's voices through the modern speech interface: the SpVoice
// automation object (ISpeechVoice), a voice that speaks on its own
// (platform/voices.h). Both builds of its type library reach the same
// object and interface, so one adapter serves "TIPOSAPI" 5 and 54.
//
// Settings: VOZ is 1-based among all the voices installed; 0 or out of
// range takes the first voice at the normal rate. VELOCIDADE is the
// voice's own -10..10 rate. TOM is not used.
//
// The voice reports the end of its speech through its speak-complete
// event, which is polled 20 ms at a time; while it speaks, each question
// posts the wake message to the console window so that a wait for speech
// looks again. COM must be initialised on the program's thread, and the
// voice ended (or destroyed) before COM is uninitialised.
#ifndef TALONIX_PLATFORM_WIN32_SAPI5_VOICE_H_
#define TALONIX_PLATFORM_WIN32_SAPI5_VOICE_H_

#include <windows.h>
#include <sapi.h>

#include <string_view>

#include "platform/voices.h"
#include "platform/window.h"
#include "platform/win32/com_ref.h"

namespace plat::win32 {

// The class of the SpVoice object.
extern const CLSID kClsidSpVoice;

class Sapi5Voice : public plat::Voice {
 public:
  // `window` takes the wake message and the beep of a text the voice
  // refused.
  explicit Sapi5Voice(plat::Window& window,
                      ComFactory create = createComObject)
      : window_(window), create_(std::move(create)) {}
  ~Sapi5Voice() override { release(); }
  Sapi5Voice(const Sapi5Voice&) = delete;
  Sapi5Voice& operator=(const Sapi5Voice&) = delete;

  bool start(int voice, int rate, int pitch, plat::SampleSink& sink) override;
  void speak(std::string_view text) override;
  bool isSpeaking(int kind) override;
  void stop() override;
  void end() override;

 private:
  void release();

  plat::Window& window_;
  ComFactory create_;
  plat::SampleSink* sink_ = nullptr;  // while started
  ComRef<ISpeechVoice> voice_;
  HANDLE done_ = nullptr;  // the voice's own event; it closes it
};

}  // namespace plat::win32

#endif  // TALONIX_PLATFORM_WIN32_SAPI5_VOICE_H_
