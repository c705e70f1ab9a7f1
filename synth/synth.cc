#include "synth/synth.h"

#include "synth/diphone_rules.h"
#include "synth/diphone_synth.h"
#include "synth/speech_settings.h"
#include "synth/wave_player.h"
#include "tts/engine.h"
#include "tts/engine_text.h"

void resetSynth() {
  resetSpeechSettings();
  resetWavePlayer();
  resetDiphoneRules();
  resetDiphoneSynth();
  resetEngineText();
  resetEngine();
}
