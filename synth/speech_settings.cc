#include "synth/speech_settings.h"

#include <utility>

#include "synth/synth_seams.h"

namespace {
SpeechSettings settingsRecord;
SynthDispatch dispatchRecord;
bool engineStartResult = false;
}  // namespace

SpeechSettings& speechSettings() { return settingsRecord; }
SynthDispatch& synthDispatch() { return dispatchRecord; }

void resetSpeechSettings() {
  settingsRecord = SpeechSettings{};
  dispatchRecord = SynthDispatch{};
  engineStartResult = false;
}

// Stand-in until the speech-settings reader is built: it takes the default
// of every value instead of reading the "SINTETIZADOR" section.
void readSpeedSettings(int speed) {
  SpeechSettings fresh;
  fresh.speed = speed;
  settingsRecord = std::move(fresh);
}

// Stand-in until the text engines are built: no engine can start, so the
// speech layer speaks everything on its diphone path.
bool synthStart(int voice, int rate, int pitch, int engineType) {
  dispatchRecord.engineKind = engineType;
  dispatchRecord.voice = voice;
  dispatchRecord.rate = rate;
  dispatchRecord.pitch = pitch;
  ++dispatchRecord.startCount;
  return engineStartResult;
}

// Stand-in until the text engines are built: the text is only kept.
void synthSpeak(std::string_view text) {
  dispatchRecord.handedTexts.emplace_back(text);
}

// Stand-in until the text engines are built: nothing ever sounds.
bool synthIsSpeaking(int kind) {
  (void)kind;
  return false;
}

// Stand-in until the text engines are built.
void synthStop() {}

// Stand-in until the text engines are built.
void synthEnd() {}

void setEngineStartResult(bool ready) { engineStartResult = ready; }
