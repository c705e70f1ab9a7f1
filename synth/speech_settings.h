// Speech settings per speed level and the dispatch to the text engines
// (the Portuguese engine or a platform voice, text_engine.h). The diphone
// synthesizer is not behind this dispatch: the speech layer drives it
// directly.
#ifndef TALONIX_SYNTH_SPEECH_SETTINGS_H_
#define TALONIX_SYNTH_SPEECH_SETTINGS_H_

#include <string>
#include <string_view>

// Values of the current speed level, read by readSpeedSettings.
struct SpeechSettings {
  int speed = 3;
  std::string databaseName;  // diphone database, 8 characters at most
  int periodPause = 250;  // ms at a full stop followed by a blank
  int commaPause = 150;   // ms at a comma or hyphen followed by a blank
  int colonPause = 200;   // ms at ( ) : ;
};

// The dispatch record.
struct SynthDispatch {
  int engineKind = 4;  // the engine type ("TIPOSAPI") of the last start
};

SpeechSettings& speechSettings();
SynthDispatch& synthDispatch();
// Back to the state of program start (tests; start-up).
void resetSpeechSettings();

// Reads section "SINTETIZADOR" of the family settings for speed 1..5 into
// speechSettings(), the diphone synthesizer's tuning and the wave player's
// compression and speed-up.
void readSpeedSettings(int speed);

// Starts the engine of the given type (3 Portuguese engine, 5 and 54 the
// platform voice of the "SAPI 5" kind, others the "SAPI 4" kind). True when
// it is ready; it has then finished whatever it says on starting.
bool synthStart(int voice, int rate, int pitch, int engineType);
void synthSpeak(std::string_view text);
// Pumps the thread's messages, then asks the engine. kind 1: text still
// queued; kind 0: any activity.
bool synthIsSpeaking(int kind);
void synthStop();
void synthEnd();

#endif  // TALONIX_SYNTH_SPEECH_SETTINGS_H_
