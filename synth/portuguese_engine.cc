// The Portuguese engine in the dispatch: its start with the settings'
// factors, its speech through the WAV player, and the posted message that
// makes a wait for speech look at it again.
#include <string>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/platform.h"
#include "synth/engine_location.h"
#include "synth/text_engine.h"
#include "synth/wave_player.h"
#include "tts/engine.h"

namespace {

constexpr uint16_t kEndWaitMs = 500;

// The engine's pieces go through the same player as every other sound, so
// a key stops them.
class PlayerSound : public EngineSound {
 public:
  bool play(const uint8_t* image) override {
    playWaveImage(image);
    return !(wavePlayer().stopOnKey && keyAvailable());
  }
  void stop() override { stopPlayback(); }
  bool isPlaying() override { return ::isPlaying(); }
  void holdOptions() override {
    WavePlayerState& p = wavePlayer();
    fastPlay_ = p.fastPlay;
    compress_ = p.compressSpeech;
    p.fastPlay = false;
    p.compressSpeech = false;
  }
  void restoreOptions() override {
    wavePlayer().fastPlay = fastPlay_;
    wavePlayer().compressSpeech = compress_;
  }

 private:
  bool fastPlay_ = false;
  bool compress_ = false;
};

PlayerSound playerSound;

void wakeWaiters() { plat::window().postMessage(plat::kMsgWakeOther); }

class PortugueseEngine : public TextEngine {
 public:
  bool start(int voice, int rate, int pitch) override {
    (void)voice;  // the engine has one voice
    const EngineLocation where = readEngineLocation();
    const EngineFiles files{where.rulesFile, where.exceptionsFile, where.definitionsFile,
                            where.prosodyFile, where.abbreviationsFile};
    const std::string ownVoice = where.directory + where.database + ".voz";
    const bool ready = engineStart(where.database, files, ownVoice, playerSound);
    engineSetFactors((pitch + 11) / 11.0, 0.8 - rate / 15.0);
    return ready;
  }
  void speak(std::string_view text) override {
    engineSpeak(text);
    wakeWaiters();
  }
  bool isSpeaking(int kind) override {
    (void)kind;
    bool busy = engineIsBusy();
    if (keyAvailable()) {
      stop();
      busy = false;
    }
    wakeWaiters();
    return busy;
  }
  void stop() override {
    engineStop();
    wakeWaiters();
  }
  void end() override {
    while (isSpeaking(0)) waitMs(kEndWaitMs);
    stop();
    engineEnd();
  }
};

PortugueseEngine engineAdapter;

}  // namespace

TextEngine& portugueseEngine() { return engineAdapter; }
