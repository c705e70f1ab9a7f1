// Recorded sounds, built sound images and the waiting idiom.
#include <string>

#include "console/console.h"
#include "console/keyboard.h"
#include "console/scoped_value.h"
#include "platform/platform.h"
#include "platform/shared/riff.h"
#include "speech/speech.h"
#include "synth/speech_settings.h"
#include "synth/wave_player.h"

namespace {

// Recorded sounds never overlap an engine utterance: the first one after
// it waits for its end.
void waitPendingUtterance() {
  SpeechState& s = speechState();
  if (!s.utterancePending) return;
  waitSpeech();
  s.utterancePending = false;
}

}  // namespace

bool isSpeaking() {
  if (keyAvailable()) {
    stopSpeech();
    return false;
  }
  if (isPlaying()) return true;
  return speechState().engineActive && synthIsSpeaking(0);
}

void waitSpeech() {
  while (isSpeaking()) plat::window().waitEvent();
}

void stopSpeech() {
  SpeechState& s = speechState();
  stopPlayback();
  s.stopRequested = true;
  if (s.engineActive && (synthIsSpeaking(0) || s.engineType == 3)) synthStop();
  plat::window().postMessage(plat::kMsgWakeSpeech);
}

std::string soundFilePath(std::string_view name) {
  const SpeechState& s = speechState();
  const std::string& dir =
      !name.empty() && name[0] == '_' ? s.lettersDirectory : s.soundDirectory;
  return dir + std::string(name) + ".wav";
}

void speakChar(uint8_t c) {
  plat::record("char " + std::to_string(c));
  waitPendingUtterance();
  playWaveFile(speechState().lettersDirectory + "_" + std::to_string(c) +
               ".wav");
}

bool speakSound(std::string_view name) {
  plat::record("sound " + std::string(name));
  waitPendingUtterance();
  return playWaveFile(soundFilePath(name)) != -1;
}

bool soundExists(std::string_view name) {
  return plat::system().fileExists(soundFilePath(name));
}

void spellText(std::string_view text) {
  for (char c : text) {
    if (keyAvailable()) return;
    speakChar(static_cast<uint8_t>(c));
  }
}

void click() {
  plat::record("click");
  waitPendingUtterance();
  // The compression would cut the short click to nothing.
  ScopedValue<bool> uncompressed(wavePlayer().compressSpeech, false);
  playWaveImage(speechState().clickImage);
  waitSpeech();
}

std::vector<uint8_t> makeBeepImage() {
  constexpr size_t kSamples = 512;
  static constexpr uint8_t kPattern[8] = {128, 112, 96, 80, 64, 80, 96, 112};
  std::vector<uint8_t> image(kWaveHeaderSize + kSamples);
  plat::writePcmHeader(image.data(), kSamples, 11025, 8, 1);
  for (size_t i = 0; i < kSamples; ++i)
    image[kWaveHeaderSize + i] = kPattern[i % 8];
  image.back() = 128;
  return image;
}

void beep() {
  plat::record("beep");
  waitPendingUtterance();
  while (keyAvailable()) readKey();
  std::vector<uint8_t> image = makeBeepImage();
  playWaveImage(image.data());
  waitSpeech();
}

void speechPause(int ms) {
  plat::record("pause " + std::to_string(ms));
  for (int step = 0; step < ms / 50; ++step) {
    if (!keyAvailable()) waitMs(50);
  }
}

void playSoundImage(const uint8_t* image) {
  waitPendingUtterance();
  playWaveImage(image);
  waitSpeech();
}
