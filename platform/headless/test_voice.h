// A platform voice for tests, in either shape (platform/voices.h): one that
// "speaks on its own" for a stretch of virtual time per text, and one that
// plays a deterministic tone through the program's sink. It records what it
// is given and can be told to fail its start or to announce itself on
// start, so the dispatch and the speech layer's engine path run without a
// real speech library.
#ifndef TALONIX_PLATFORM_HEADLESS_TEST_VOICE_H_
#define TALONIX_PLATFORM_HEADLESS_TEST_VOICE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/voices.h"

namespace plat::headless {

class HeadlessPlatform;

class TestVoice : public plat::Voice {
 public:
  enum class Shape { kOwnAudio, kSamples };
  // What the sample shape plays: a 441 Hz square wave at this rate.
  static constexpr uint32_t kSampleRate = 22050;
  static constexpr int16_t kAmplitude = 8000;

  TestVoice(HeadlessPlatform& platform, Shape shape);

  // --- Driving it ----------------------------------------------------------
  void setStartFails(bool fails) { startFails_ = fails; }
  // Each start says something for `ms` of virtual time (0: nothing).
  void setAnnouncementMs(unsigned ms) { announcementMs_ = ms; }
  // How long each character of a text sounds.
  void setMsPerCharacter(unsigned ms) { msPerChar_ = ms; }

  // --- Reading it back -----------------------------------------------------
  Shape shape() const { return shape_; }
  const std::vector<std::string>& texts() const { return texts_; }
  int starts() const { return starts_; }
  int stops() const { return stops_; }
  int ends() const { return ends_; }
  bool started() const { return started_; }
  // The arguments of the last start.
  int voiceNumber() const { return voice_; }
  int rate() const { return rate_; }
  int pitch() const { return pitch_; }
  // Texts whose samples the sink refused part-way (playback stopped).
  int cutShort() const { return cutShort_; }
  // Virtual time (ms) the announcement of the last start ended.
  uint64_t announcementEndMs() const { return announcementEndMs_; }

  // --- plat::Voice ---------------------------------------------------------
  bool start(int voice, int rate, int pitch, plat::SampleSink& sink) override;
  void speak(std::string_view text) override;
  bool isSpeaking(int kind) override;
  void stop() override;
  void end() override;

 private:
  // Sounds for `ms`: in virtual time (own audio) or as a tone (samples).
  void sound(uint64_t ms);
  void silence();
  uint64_t nowMs() const;

  HeadlessPlatform& platform_;
  Shape shape_;
  plat::SampleSink* sink_ = nullptr;
  bool startFails_ = false;
  unsigned announcementMs_ = 0;
  unsigned msPerChar_ = 10;
  bool started_ = false;
  uint64_t speakingUntilMs_ = 0;  // own audio: end of what was handed over
  uint64_t announcementEndMs_ = 0;
  std::vector<std::string> texts_;
  int starts_ = 0, stops_ = 0, ends_ = 0, cutShort_ = 0;
  int voice_ = 0, rate_ = 0, pitch_ = 0;
};

}  // namespace plat::headless

#endif  // TALONIX_PLATFORM_HEADLESS_TEST_VOICE_H_
