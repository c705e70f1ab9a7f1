// The platform voices as text engines, and the sink that plays a voice's
// samples through the wave player.
#include <algorithm>
#include <bit>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/platform.h"
#include "synth/text_engine.h"
#include "synth/wave_player.h"

namespace {

static_assert(std::endian::native == std::endian::little,
              "the player takes 16-bit samples as little-endian bytes");

// A voice's samples go through the same player as every other sound, so a
// key stops them and the speed-up and compression apply.
class PlayerSink : public plat::SampleSink {
 public:
  bool playSamples(const int16_t* samples, size_t count,
                   uint32_t sampleRate) override {
    if (count == 0) return true;
    const int result = ::playSamples(reinterpret_cast<const uint8_t*>(samples),
                                     count * sizeof(int16_t), sampleRate, 1, 16);
    // The player stops on a key without saying so; the key stays queued.
    return result == 0 && !(wavePlayer().stopOnKey && keyAvailable());
  }
  bool isPlaying() override { return ::isPlaying(); }
  void stop() override { stopPlayback(); }
  bool keyWaiting() override { return keyAvailable(); }
  void waitMs(unsigned ms) override {
    ::waitMs(static_cast<uint16_t>(std::min(ms, 65535u)));
  }
};

PlayerSink playerSink;

class PlatformVoiceEngine : public TextEngine {
 public:
  explicit PlatformVoiceEngine(plat::VoiceKind kind) : kind_(kind) {}

  bool start(int voice, int rate, int pitch) override {
    end();
    plat::Voice* v = plat::voices().voice(kind_);
    if (v == nullptr || !v->start(voice, rate, pitch, playerSink)) return false;
    voice_ = v;
    return true;
  }
  void speak(std::string_view text) override {
    if (voice_) voice_->speak(text);
  }
  bool isSpeaking(int kind) override {
    return voice_ != nullptr && voice_->isSpeaking(kind);
  }
  void stop() override {
    if (voice_) voice_->stop();
  }
  void end() override {
    if (voice_ == nullptr) return;
    while (voice_->isSpeaking(0)) {
      if (keyAvailable()) {
        voice_->stop();
        break;
      }
      waitMs(300);
    }
    voice_->end();
    voice_ = nullptr;
  }
  void forget() { voice_ = nullptr; }

 private:
  plat::VoiceKind kind_;
  plat::Voice* voice_ = nullptr;  // while started
};

PlatformVoiceEngine sapi5Engine(plat::VoiceKind::kSapi5);
PlatformVoiceEngine sapi4Engine(plat::VoiceKind::kSapi4);

}  // namespace

void resetTextEngines() {
  sapi5Engine.forget();
  sapi4Engine.forget();
}

TextEngine& platformVoiceEngine(plat::VoiceKind kind) {
  return kind == plat::VoiceKind::kSapi5 ? static_cast<TextEngine&>(sapi5Engine)
                                         : sapi4Engine;
}
