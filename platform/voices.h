// The platform's own voices: text-to-speech engines installed on the
// machine, beside the family's diphone synthesizer. A voice comes in one of
// two shapes:
// - it speaks on its own (a speech service with its own audio path): the
//   program hands it texts and asks whether it still speaks;
// - it makes samples that the program plays itself: it hands them to the
//   SampleSink given at start, so they go through the program's player
//   (a key stops them, speed-up and compression apply).
// Every call is made on the program's thread.
#ifndef TALONIX_PLATFORM_VOICES_H_
#define TALONIX_PLATFORM_VOICES_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/mbrola.h"

namespace plat {

// What the program offers a voice while it is started: where a voice of
// the second shape plays its sound, and the program's own waiting for
// either shape.
class SampleSink {
 public:
  virtual ~SampleSink() = default;
  // Plays `count` 16-bit mono samples at `sampleRate` Hz; returns once they
  // are queued. False when playback was stopped (a key, or a device that
  // gave up): the voice then stops making sound for this text.
  virtual bool playSamples(const int16_t* samples, size_t count,
                           uint32_t sampleRate) = 0;
  virtual bool isPlaying() = 0;
  virtual void stop() = 0;
  // Whether the user has typed a key the program has not read yet (the
  // program's messages are handled first). A voice holds back new texts
  // and long waits while one is waiting. By default no key ever waits.
  virtual bool keyWaiting();
  // Waits about `ms` milliseconds while the program's messages keep being
  // handled, so that notifications of a voice delivered as messages arrive
  // and keys are queued. By default it only sleeps.
  virtual void waitMs(unsigned ms);
};

// One platform voice. `voice` is 1-based among the voice's Brazilian
// voices (0 or out of range: the first); `rate` and `pitch` are the
// settings' values, each implementation mapping them onto its own scale
// (see voiceSpeedFactor below).
class Voice {
 public:
  virtual ~Voice() = default;
  // True when the voice is ready. The sink must outlive the voice's use.
  virtual bool start(int voice, int rate, int pitch, SampleSink& sink) = 0;
  // Texts are Windows-1252. A voice of the second shape returns when the
  // text's samples are queued or playback was stopped.
  virtual void speak(std::string_view text) = 0;
  // kind 1: a text handed over has not finished; kind 0: any activity.
  virtual bool isSpeaking(int kind) = 0;
  // Silences the voice and forgets what is queued.
  virtual void stop() = 0;
  // Releases the voice; start may follow again.
  virtual void end() = 0;
};

// The two kinds of voice the settings can name: the modern speech
// interface ("SAPI 5") and the older one ("SAPI 4").
enum class VoiceKind { kSapi5, kSapi4 };

class Voices {
 public:
  virtual ~Voices() = default;
  // The voice of that kind; null when the platform has none.
  virtual Voice* voice(VoiceKind kind) = 0;
  // The MBROLA binding the platform offers; null when it offers none.
  // Whether MBROLA itself is installed is for its load() to tell.
  virtual Mbrola* mbrola() { return nullptr; }
};

// A backend's two voices, either of which may be null, and its MBROLA
// binding, if any.
class VoicePair : public Voices {
 public:
  VoicePair(Voice* sapi5, Voice* sapi4, Mbrola* mbrola = nullptr)
      : sapi5_(sapi5), sapi4_(sapi4), mbrola_(mbrola) {}
  Voice* voice(VoiceKind kind) override {
    return kind == VoiceKind::kSapi5 ? sapi5_ : sapi4_;
  }
  Mbrola* mbrola() override { return mbrola_; }
  void setMbrola(Mbrola* mbrola) { mbrola_ = mbrola; }

 private:
  Voice* sapi5_;
  Voice* sapi4_;
  Mbrola* mbrola_;
};

// The speed a "VELOCIDADE" value asks for, as a factor of the voice's
// normal speed. -10..10 is the modern interface's rate scale, where each
// step of 10 triples or thirds the speed: 3^(rate / 10). A value above 10
// is the older interface's words per minute (the speech layer keeps such
// values only for the "SAPI 4" kind): rate / 175, 175 being a normal pace.
double voiceSpeedFactor(int rate);

}  // namespace plat

#endif  // TALONIX_PLATFORM_VOICES_H_
