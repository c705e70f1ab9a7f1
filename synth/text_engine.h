// The engines that take whole texts (the Portuguese engine, the platform
// voices), behind one interface the dispatch of speech_settings.h forwards
// to. The diphone synthesizer is not one of them: the speech layer drives it
// directly.
#ifndef TALONIX_SYNTH_TEXT_ENGINE_H_
#define TALONIX_SYNTH_TEXT_ENGINE_H_

#include <string_view>

#include "platform/voices.h"

class TextEngine {
 public:
  virtual ~TextEngine() = default;
  // True when the engine is ready to speak.
  virtual bool start(int voice, int rate, int pitch) = 0;
  // Windows-1252 text; returns once it is handed over (or queued for the
  // player).
  virtual void speak(std::string_view text) = 0;
  // kind 1: a text handed over has not finished; kind 0: any activity.
  virtual bool isSpeaking(int kind) = 0;
  virtual void stop() = 0;
  // Lets what is pending end (a key cuts it), then releases the engine.
  virtual void end() = 0;
};

// The platform's voice of that kind, its samples (if it makes any) played
// through the wave player. Its start fails when the platform has none.
TextEngine& platformVoiceEngine(plat::VoiceKind kind);
// The Portuguese engine (tts/engine.h) over MBROLA or its own synthesizer,
// found where readEngineLocation() says; its sound goes through the player.
TextEngine& portugueseEngine();
// Forgets the voices started, without calling them: the platform they came
// from may be gone (start-up and tests).
void resetTextEngines();

#endif  // TALONIX_SYNTH_TEXT_ENGINE_H_
