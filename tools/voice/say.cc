#include "platform/shared/codepage.h"
#include "tools/voice/say.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/headless/headless_platform.h"
#include "platform/shared/riff.h"
#include "synth/diphone_rules.h"
#include "synth/diphone_synth.h"
#include "synth/speech_settings.h"
#include "synth/voice_defaults.h"
#include "tools/voice/sound_names.h"

namespace fs = std::filesystem;

namespace {

struct KitVoice {
  fs::path settings;
  std::unique_ptr<plat::headless::HeadlessPlatform> platform;
  std::vector<uint8_t>* captured = nullptr;
};

KitVoice voice;

// Takes each piece the synthesizer would play, in order.
void capture(const uint8_t* image) {
  if (!voice.captured) return;
  const uint32_t bytes = plat::get32(image + 40);
  voice.captured->insert(voice.captured->end(), image + plat::kPcmHeaderBytes,
                         image + plat::kPcmHeaderBytes + bytes);
}

}  // namespace

bool openKitVoice(const std::string& kit, int speed, std::string* error) {
  // The synthesizer finds its directories in the family settings: a
  // settings folder of our own points them at the kit.
  voice.settings = fs::temp_directory_path() / ("talonix-voice-" + std::to_string(getpid()));
  fs::create_directories(voice.settings);
  const fs::path root = fs::absolute(kit);
  std::ofstream(voice.settings / "LUMIRA.INI")
      << "[TRADUTOR]\nDIRLETRAS=" << (root / "som" / "letras").string()
      << "\nDIRDIFONES=" << (root / "som" / "difones").string() << "\n";
  plat::headless::HeadlessConfig config;
  config.configDir = voice.settings;
  config.workDir = voice.settings;
  voice.platform = std::make_unique<plat::headless::HeadlessPlatform>(config);
  voice.platform->install();

  const VoiceDefaults& tuning = kVoiceDefaults[speed - 1];
  speechSettings().databaseName = tuning.database;
  setDiphoneTuning(tuning.unitCut, tuning.minimumUnit, tuning.groupGap);
  setDiphoneImagePlayer(capture);
  const int started = startDiphoneSynth();
  if (started == 0) return true;
  *error = started == 1 ? "no unit database " + std::string(tuning.database) + " in " + kit
                        : "no regras.rgr or portug.exc in " + kit;
  closeKitVoice();
  return false;
}

void sayOnKitVoice(std::string_view text, std::vector<uint8_t>* samples) {
  voice.captured = samples;
  speakDiphoneGroups(transcribeForDiphones(text), false);
  voice.captured = nullptr;
}

void closeKitVoice() {
  endDiphoneSynth();
  setDiphoneImagePlayer(nullptr);
  plat::clearServices();
  voice.platform.reset();
  std::error_code ignored;
  fs::remove_all(voice.settings, ignored);
}

bool sayWithKit(const std::string& kit, int speed, std::string_view text,
                std::vector<uint8_t>* samples, std::string* error) {
  samples->clear();
  if (!openKitVoice(kit, speed, error)) return false;
  sayOnKitVoice(text, samples);
  closeKitVoice();
  return true;
}

namespace {

// The smallest step that `share` of the counted steps do not exceed.
int percentile(const uint64_t (&counts)[256], double share) {
  uint64_t total = 0;
  for (uint64_t c : counts) total += c;
  uint64_t seen = 0;
  for (int step = 0; step < 256; ++step) {
    seen += counts[step];
    if (static_cast<double>(seen) >= share * static_cast<double>(total)) return step;
  }
  return 255;
}

int largest(const uint64_t (&counts)[256]) {
  for (int step = 255; step > 0; --step) {
    if (counts[step] != 0) return step;
  }
  return 0;
}

// Prints the figures; false when the voice misses its goals: a unit
// replaced by noise or skipped, fewer than 99 % found as named, or a join
// that jumps further than the steps inside the units.
bool printCoverage(uint64_t words, uint64_t samples, double seconds) {
  const DiphoneStats& s = diphoneStats();
  const uint64_t units = s.direct + s.fallback + s.noise + s.skipped;
  const double total = units ? static_cast<double>(units) : 1.0;
  auto share = [total](uint64_t n) { return 100.0 * static_cast<double>(n) / total; };
  auto count = [](uint64_t n) { return static_cast<unsigned long long>(n); };
  std::printf("words %llu, units %llu: direct %llu (%.3f %%), fallback %llu (%.3f %%), "
              "noise %llu (%.3f %%), skipped %llu (%.3f %%)\n",
              count(words), count(units), count(s.direct), share(s.direct), count(s.fallback),
              share(s.fallback), count(s.noise), share(s.noise), count(s.skipped),
              share(s.skipped));
  const int inside = percentile(s.innerSteps, 0.999);
  uint64_t above = 0, joins = 0;
  for (int step = 0; step < 256; ++step) {
    joins += s.joinSteps[step];
    if (step > inside) above += s.joinSteps[step];
  }
  std::printf("steps inside units: 99.9th percentile %d, largest %d; at %llu joins: "
              "99.9th percentile %d, largest %d, %llu above the inside figure\n",
              inside, largest(s.innerSteps), static_cast<unsigned long long>(joins),
              percentile(s.joinSteps, 0.999), largest(s.joinSteps),
              static_cast<unsigned long long>(above));
  const double audio = static_cast<double>(samples) / 11025;
  std::printf("rendered %.0f s of sound in %.2f s: %.0f times real time\n", audio, seconds,
              seconds > 0 ? audio / seconds : 0.0);
  const bool met = s.noise == 0 && s.skipped == 0 &&
                   static_cast<double>(s.direct) >= 0.99 * total && above == 0;
  if (!met) std::printf("the voice misses its goals\n");
  return met;
}

}  // namespace

bool reportCoverage(const std::string& kit, int speed, const std::string& wordList) {
  std::ifstream in(wordList, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "talonix-voice: cannot read %s\n", wordList.c_str());
    return false;
  }
  std::string error;
  if (!openKitVoice(kit, speed, &error)) {
    std::fprintf(stderr, "talonix-voice: %s\n", error.c_str());
    return false;
  }
  clearDiphoneStats();
  uint64_t words = 0, samples = 0;
  std::vector<uint8_t> sound;
  const auto start = std::chrono::steady_clock::now();
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    sound.clear();
    sayOnKitVoice(plat::utf8ToCp1252(line), &sound);
    samples += sound.size();
    ++words;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  closeKitVoice();
  return printCoverage(words, samples, seconds);
}
