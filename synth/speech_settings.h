// Speech settings per speed level and the dispatch to the text engines
// (the Portuguese engine or a platform voice). The diphone synthesizer is
// not behind this dispatch: the speech layer drives it directly.
#ifndef TALONIX_SYNTH_SPEECH_SETTINGS_H_
#define TALONIX_SYNTH_SPEECH_SETTINGS_H_

#include <string>
#include <string_view>
#include <vector>

// Values of the current speed level, read by readSpeedSettings.
struct SpeechSettings {
  int speed = 3;
  std::string databaseName = "DIFONES2";  // diphone database, 8 chars max
  int periodPause = 250;  // ms at a full stop followed by a blank
  int commaPause = 150;   // ms at a comma or hyphen followed by a blank
  int colonPause = 200;   // ms at ( ) : ;
};

// The dispatch record: which engine kind was started last.
struct SynthDispatch {
  int engineKind = 4;  // the engine type of the last start
  // What the last start was asked for (kept for callers and tests).
  int voice = 0, rate = 0, pitch = 0;
  int startCount = 0;
  std::vector<std::string> handedTexts;  // texts given to synthSpeak
};

SpeechSettings& speechSettings();
SynthDispatch& synthDispatch();
// Back to the state of program start (tests; start-up).
void resetSpeechSettings();

// Fills speechSettings() for speed 1..5.
void readSpeedSettings(int speed);

// Starts the engine of the given type (3 Portuguese engine, 5 and 54
// platform voices through SAPI 5, others SAPI 4). True when it is ready.
bool synthStart(int voice, int rate, int pitch, int engineType);
void synthSpeak(std::string_view text);
// kind 1: text still queued; kind 0: any activity.
bool synthIsSpeaking(int kind);
void synthStop();
void synthEnd();

#endif  // TALONIX_SYNTH_SPEECH_SETTINGS_H_
