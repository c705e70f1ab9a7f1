#include "tools/voice/say.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/headless/headless_platform.h"
#include "platform/shared/riff.h"
#include "synth/diphone_rules.h"
#include "synth/diphone_synth.h"
#include "synth/speech_settings.h"
#include "synth/voice_defaults.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t>* gCaptured = nullptr;

// Takes each piece the synthesizer would play, in order.
void capture(const uint8_t* image) {
  const uint32_t bytes = plat::get32(image + 40);
  gCaptured->insert(gCaptured->end(), image + plat::kPcmHeaderBytes,
                    image + plat::kPcmHeaderBytes + bytes);
}

}  // namespace

bool sayWithKit(const std::string& kit, int speed, std::string_view text,
                std::vector<uint8_t>* samples, std::string* error) {
  // The synthesizer finds its directories in the family settings: a
  // settings folder of our own points them at the kit.
  const fs::path settings =
      fs::temp_directory_path() / ("talonix-voice-" + std::to_string(getpid()));
  fs::create_directories(settings);
  const fs::path root = fs::absolute(kit);
  std::ofstream(settings / "LUMIRA.INI")
      << "[TRADUTOR]\nDIRLETRAS=" << (root / "som" / "letras").string()
      << "\nDIRDIFONES=" << (root / "som" / "difones").string() << "\n";
  plat::headless::HeadlessConfig config;
  config.configDir = settings;
  config.workDir = settings;
  plat::headless::HeadlessPlatform platform(config);
  platform.install();

  const VoiceDefaults& tuning = kVoiceDefaults[speed - 1];
  speechSettings().databaseName = tuning.database;
  setDiphoneTuning(tuning.unitCut, tuning.minimumUnit, tuning.groupGap);
  samples->clear();
  gCaptured = samples;
  setDiphoneImagePlayer(capture);
  const int started = startDiphoneSynth();
  if (started == 0) {
    speakDiphoneGroups(transcribeForDiphones(text), false);
  } else {
    *error = started == 1 ? "no unit database " + std::string(tuning.database) + " in " + kit
                          : "no regras.rgr or portug.exc in " + kit;
  }
  endDiphoneSynth();
  setDiphoneImagePlayer(nullptr);
  gCaptured = nullptr;
  std::error_code ignored;
  fs::remove_all(settings, ignored);
  return started == 0;
}
