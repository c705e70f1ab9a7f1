// The Portuguese engine's place in the dispatch, until the engine exists.
#include <string>

#include "platform/platform.h"
#include "synth/diphone_rules.h"
#include "synth/diphone_synth.h"
#include "synth/text_engine.h"

namespace {

// A user who chose this engine hears why another voice speaks.
constexpr std::string_view kMissingNotice =
    "O motor de fala portugu\xEAs ainda n\xE3o existe nesta vers\xE3o";

class MissingPortugueseEngine : public TextEngine {
 public:
  bool start(int voice, int rate, int pitch) override {
    (void)voice;
    (void)rate;
    (void)pitch;
    plat::record("say " + std::string(kMissingNotice));
    speakDiphoneGroups(transcribeForDiphones(kMissingNotice), false);
    return false;
  }
  void speak(std::string_view text) override { (void)text; }
  bool isSpeaking(int kind) override {
    (void)kind;
    return false;
  }
  void stop() override {}
  void end() override {}
};

MissingPortugueseEngine missingEngine;

}  // namespace

TextEngine& portugueseEngine() { return missingEngine; }
