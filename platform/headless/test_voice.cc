#include "platform/headless/test_voice.h"

#include <algorithm>

#include "platform/headless/headless_platform.h"

namespace plat::headless {
namespace {

constexpr size_t kChunkSamples = TestVoice::kSampleRate / 10;  // 100 ms
constexpr size_t kHalfPeriod = 25;                              // 441 Hz

}  // namespace

TestVoice::TestVoice(HeadlessPlatform& platform, Shape shape)
    : platform_(platform), shape_(shape) {}

uint64_t TestVoice::nowMs() const { return platform_.tickMs(); }

bool TestVoice::start(int voice, int rate, int pitch, plat::SampleSink& sink) {
  ++starts_;
  voice_ = voice;
  rate_ = rate;
  pitch_ = pitch;
  if (startFails_) return false;
  sink_ = &sink;
  started_ = true;
  if (announcementMs_ > 0) {
    announcementEndMs_ = nowMs() + announcementMs_;
    sound(announcementMs_);
  }
  return true;
}

void TestVoice::speak(std::string_view text) {
  if (!started_) return;
  texts_.emplace_back(text);
  sound(static_cast<uint64_t>(text.size()) * msPerChar_);
}

void TestVoice::sound(uint64_t ms) {
  if (shape_ == Shape::kOwnAudio) {
    speakingUntilMs_ = std::max(speakingUntilMs_, nowMs()) + ms;
    // The end of the utterance wakes whoever waits for it, as a real
    // voice's end notification would.
    plat::Event wake;
    wake.kind = plat::EventKind::kUser;
    wake.code = plat::kMsgWakeOther;
    platform_.postEventAt(speakingUntilMs_, wake);
    return;
  }
  size_t left = static_cast<size_t>(ms * kSampleRate / 1000);
  std::vector<int16_t> chunk(kChunkSamples);
  size_t at = 0;
  while (left > 0) {
    const size_t n = std::min(left, kChunkSamples);
    for (size_t i = 0; i < n; ++i, ++at)
      chunk[i] = (at / kHalfPeriod) % 2 ? -kAmplitude : kAmplitude;
    if (!sink_->playSamples(chunk.data(), n, kSampleRate)) {
      ++cutShort_;
      return;
    }
    left -= n;
  }
}

bool TestVoice::isSpeaking(int kind) {
  (void)kind;  // a text is queued exactly as long as it sounds
  if (!started_) return false;
  if (shape_ == Shape::kSamples) return sink_->isPlaying();
  return nowMs() < speakingUntilMs_;
}

void TestVoice::silence() {
  if (!started_) return;
  if (shape_ == Shape::kSamples) sink_->stop();
  speakingUntilMs_ = std::min(speakingUntilMs_, nowMs());
}

void TestVoice::stop() {
  ++stops_;
  silence();
}

void TestVoice::end() {
  ++ends_;
  silence();
  started_ = false;
  sink_ = nullptr;
}

}  // namespace plat::headless
