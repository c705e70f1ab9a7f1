// The speech state record, start-up and shut-down of speech.
#include <random>
#include <string>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/platform.h"
#include "platform/shared/riff.h"
#include "speech/speech.h"
#include "speech/voice_kit.h"
#include "synth/diphone_synth.h"
#include "synth/speech_settings.h"

namespace {

SpeechState state;

void buildClickImage(uint8_t* image) {
  plat::writePcmHeader(image, kClickSamples, 11025, 8, 1);
  // A short burst of noise followed by silence.
  std::minstd_rand random(static_cast<unsigned>(plat::system().tickMs()));
  std::uniform_int_distribution<int> noise(128, 187);
  uint8_t* samples = image + kWaveHeaderSize;
  for (size_t i = 0; i < kClickSamples; ++i)
    samples[i] = i < 64 ? static_cast<uint8_t>(noise(random)) : 128;
}

[[noreturn]] void failDiphoneStart(int code) {
  writeText("Erro de inicializa\xE7\xE3o: " + std::to_string(code));
  writeLineEnd();
  writeText("Banco de dados de voz: " + speechSettings().databaseName);
  writeLineEnd();
  endDiphoneSynth();
  char line[256];
  readLineRaw(line, sizeof line);
  closeConsole();
}

std::string readLettersDirectory() {
  std::string fallback = tarvekDirectory() + "som" +
                         plat::system().pathSeparator() + "letras" +
                         plat::system().pathSeparator();
  return withTrailingSeparator(plat::readProfileString(
      "TRADUTOR", "DIRLETRAS", fallback.c_str(), "LUMIRA.INI", 255));
}

void startEngineWhenConfigured() {
  state.engineActive = false;
  std::string sapi = readFamilySetting("TRADUTOR", "SAPI");
  if (sapi.empty() || sapi[0] == 'N' || sapi[0] == 'n') return;
  int voice = settingInteger(readFamilySetting("SERVFALA", "VOZ"));
  int rate = settingInteger(readFamilySetting("SERVFALA", "VELOCIDADE"));
  int pitch = settingInteger(readFamilySetting("SERVFALA", "TOM"));
  int type = settingInteger(readFamilySetting("SERVFALA", "TIPOSAPI"));
  if (type != 4 && rate > 10) rate = 0;
  state.engineActive = synthStart(voice, rate, pitch, type);
  state.engineType = type;
}

}  // namespace

SpeechState& speechState() { return state; }

void resetSpeech() {
  state = SpeechState{};
  resetFamilySettings();
  buildClickImage(state.clickImage);
  // The synthesizer's sounds wait for their end, or a key, as every sound
  // of this layer does.
  setDiphoneImagePlayer(&playSoundImage);
}

void initSpeech(int speed, std::string_view soundDirectory) {
  writeVoiceKitDefaults();
  if (speed < 1) speed = settingInteger(readFamilySetting("TRADUTOR", "VELOCIDADE"));
  if (speed < 1 || speed > 5) speed = 3;
  state.speed = speed;
  readSpeedSettings(speed);
  int code = startDiphoneSynth();
  if (code != 0) failDiphoneStart(code);
  state.soundDirectory = soundDirectory.empty()
                             ? std::string()
                             : withTrailingSeparator(soundDirectory);
  state.lettersDirectory = readLettersDirectory();
  readSpeedSettings(speed);
  startEngineWhenConfigured();
}

void endSpeech() {
  waitSpeech();
  stopSpeech();
  if (state.engineActive) {
    synthEnd();
    state.engineActive = false;
  }
  endDiphoneSynth();
}
