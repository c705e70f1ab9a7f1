// Recorded sounds, built sound images and the waiting idiom.
#include <string>

#include "console/console.h"
#include "console/keyboard.h"
#include "console/scoped_value.h"
#include "platform/platform.h"
#include "speech/speech.h"
#include "synth/speech_settings.h"
#include "synth/wave_player.h"

namespace {

void put16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void put32(uint8_t* at, uint32_t value) {
  put16(at, value);
  put16(at + 2, value >> 16);
}

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
  makeWaveHeader(image.data(), kSamples, 11025, 8, 1);
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

void makeWaveHeader(uint8_t* buffer, uint32_t dataBytes, uint32_t sampleRate,
                    uint16_t bitsPerSample, uint16_t channels) {
  const uint32_t frameBytes = channels * (bitsPerSample / 8u);
  buffer[0] = 'R'; buffer[1] = 'I'; buffer[2] = 'F'; buffer[3] = 'F';
  put32(buffer + 4, dataBytes + 36);
  buffer[8] = 'W'; buffer[9] = 'A'; buffer[10] = 'V'; buffer[11] = 'E';
  buffer[12] = 'f'; buffer[13] = 'm'; buffer[14] = 't'; buffer[15] = ' ';
  put32(buffer + 16, 16);
  put16(buffer + 20, 1);
  put16(buffer + 22, channels);
  put32(buffer + 24, sampleRate);
  put32(buffer + 28, sampleRate * frameBytes);
  // The frame size; 1 for the 8-bit mono images the program builds.
  put16(buffer + 32, frameBytes == 0 ? 1 : frameBytes);
  put16(buffer + 34, bitsPerSample);
  buffer[36] = 'd'; buffer[37] = 'a'; buffer[38] = 't'; buffer[39] = 'a';
  put32(buffer + 40, dataBytes);
}

void playSoundImage(const uint8_t* image) {
  waitPendingUtterance();
  playWaveImage(image);
  waitSpeech();
}
