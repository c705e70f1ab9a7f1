#include "synth/speech_settings.h"

#include <charconv>
#include <utility>

#include "console/console.h"
#include "synth/diphone_synth.h"
#include "synth/family_settings.h"
#include "synth/text_engine.h"
#include "synth/wave_player.h"

namespace {

SpeechSettings settingsRecord;
SynthDispatch dispatchRecord;

constexpr size_t kDatabaseNameMax = 8;
constexpr uint16_t kStartWaitMs = 50;

// A yes/no setting: yes unless empty or beginning with "N" or "n".
bool settingYes(const std::string& value) {
  return !value.empty() && value[0] != 'N' && value[0] != 'n';
}

// The value when the whole text (blanks aside) is an integer, otherwise
// the fallback.
int integerOr(const std::string& value, int fallback) {
  const size_t first = value.find_first_not_of(" \t");
  if (first == std::string::npos) return fallback;
  const size_t last = value.find_last_not_of(" \t");
  const char* begin = value.data() + first;
  const char* end = value.data() + last + 1;
  if (*begin == '+') ++begin;  // from_chars takes only "-"
  int result = 0;
  const auto [stop, error] = std::from_chars(begin, end, result);
  return error == std::errc() && stop == end ? result : fallback;
}

TextEngine& engineFor(int engineType) {
  if (engineType == 3) return portugueseEngine();
  if (engineType == 5 || engineType == 54)
    return platformVoiceEngine(plat::VoiceKind::kSapi5);
  return platformVoiceEngine(plat::VoiceKind::kSapi4);
}

TextEngine& currentEngine() { return engineFor(dispatchRecord.engineKind); }

}  // namespace

SpeechSettings& speechSettings() { return settingsRecord; }
SynthDispatch& synthDispatch() { return dispatchRecord; }

void resetSpeechSettings() {
  settingsRecord = SpeechSettings{};
  dispatchRecord = SynthDispatch{};
  resetTextEngines();
}

void readSpeedSettings(int speed) {
  const std::string suffix = std::to_string(speed);
  auto read = [&suffix](const char* key) {
    return readFamilySetting("SINTETIZADOR", key + suffix);
  };
  SpeechSettings fresh;
  fresh.speed = speed;
  fresh.databaseName = read("DIFONES").substr(0, kDatabaseNameMax);
  const int unitCut = settingInteger(read("CORTEFON"));
  const int minimumUnit = settingInteger(read("SOBRAFON"));
  const int groupGap = settingInteger(read("INTERPAL"));
  const bool compress = settingYes(read("CORTAFALA"));
  const bool fast = settingYes(read("RAPIDINHO"));
  setDiphoneTuning(unitCut, minimumUnit, groupGap);
  wavePlayer().compressSpeech = compress;
  wavePlayer().fastPlay = fast;
  fresh.periodPause = integerOr(read("PAUSAPONTO"), 250);
  fresh.commaPause = integerOr(read("PAUSAVIRG"), 150);
  fresh.colonPause = integerOr(read("PAUSADOISPONTOS"), 200);
  settingsRecord = std::move(fresh);
}

bool synthStart(int voice, int rate, int pitch, int engineType) {
  dispatchRecord.engineKind = engineType;
  const bool ready = currentEngine().start(voice, rate, pitch);
  // What the engine says on starting ends before the program goes on.
  if (ready) {
    while (synthIsSpeaking(1)) waitMs(kStartWaitMs);
  }
  return ready;
}

void synthSpeak(std::string_view text) { currentEngine().speak(text); }

bool synthIsSpeaking(int kind) {
  pumpMessages();
  return currentEngine().isSpeaking(kind);
}

void synthStop() { currentEngine().stop(); }

void synthEnd() { currentEngine().end(); }
