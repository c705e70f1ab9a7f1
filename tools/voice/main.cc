// talonix-voice: writes the family's installation tree of the diphone voice
// (recordings, catalogue messages, unit databases, rules) from espeak-ng.
//
//   talonix-voice --out DIR [--data DIR]
//   talonix-voice --out DIR --say TEXT --wav FILE [--speed N]
//   talonix-voice --out DIR --coverage WORDLIST [--speed N]
//   talonix-voice --out DIR --tts-data DIR
//
// DIR gets som/letras, som/talonix and som/difones. --data names the
// folder holding regras.rgr and portug.exc. The figures of the joins and
// the time taken are printed at the end. With --say, nothing is generated:
// the text (UTF-8) is spoken through the program's diphone path over the
// kit already in DIR, at speed N (3 by default), into a WAV file. With
// --coverage, every word of a word list (UTF-8, one per line) is spoken
// so, and the units found, the joins and the speed are reported. With
// --tts-data (the folder of the Portuguese engine's data files), only the
// engine's own diphone voice is made: DIR/vireatts/br4.voz, one diphone
// for each pair of portug.dfn there.
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "synth/voice_defaults.h"
#include "platform/shared/codepage.h"
#include "tools/voice/diphone_voice_kit.h"
#include "tools/voice/espeak_session.h"
#include "tools/voice/recordings.h"
#include "tools/voice/say.h"
#include "tools/voice/sound_names.h"
#include "tools/voice/sound_shaping.h"
#include "tools/voice/unit_databases.h"

namespace fs = std::filesystem;

namespace {

// espeak's rate in words per minute for each speed level, 1 the slowest.
constexpr int kWordsPerMinute[5] = {120, 145, 170, 205, 250};

struct Options {
  std::string out;
  std::string data;
  std::string say;
  std::string wav;
  std::string coverage;
  std::string ttsData;
  int speed = 3;
};

bool parseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string_view flag = argv[i];
    if (flag == "--out") options->out = argv[i + 1];
    else if (flag == "--data") options->data = argv[i + 1];
    else if (flag == "--say") options->say = argv[i + 1];
    else if (flag == "--wav") options->wav = argv[i + 1];
    else if (flag == "--coverage") options->coverage = argv[i + 1];
    else if (flag == "--tts-data") options->ttsData = argv[i + 1];
    else if (flag == "--speed") options->speed = std::atoi(argv[i + 1]);
    else return false;
  }
  return argc % 2 == 1 && !options->out.empty() && options->speed >= 1 &&
         options->speed <= 5 && options->say.empty() == options->wav.empty();
}

// The rules and exceptions come from the repository; a missing one is
// only a warning, so that the voice can be built before they exist.
bool copyRules(const std::string& data, const fs::path& units) {
  for (const char* file : {"regras.rgr", "portug.exc"}) {
    const fs::path from = fs::path(data) / file;
    std::error_code error;
    if (data.empty() || !fs::exists(from, error)) {
      std::fprintf(stderr, "talonix-voice: warning: %s not found, not copied\n", from.c_str());
      continue;
    }
    fs::copy_file(from, units / file, fs::copy_options::overwrite_existing, error);
    if (error) {
      std::fprintf(stderr, "talonix-voice: cannot copy %s: %s\n", from.c_str(),
                   error.message().c_str());
      return false;
    }
  }
  return true;
}

int say(const Options& options) {
  std::vector<uint8_t> samples;
  std::string error;
  if (!sayWithKit(options.out, options.speed, plat::utf8ToCp1252(options.say), &samples,
                  &error)) {
    std::fprintf(stderr, "talonix-voice: %s\n", error.c_str());
    return 1;
  }
  if (!writeWaveFile(options.wav, samples)) {
    std::fprintf(stderr, "talonix-voice: cannot write %s\n", options.wav.c_str());
    return 1;
  }
  std::printf("talonix-voice: %s: %.2f s of sound\n", options.wav.c_str(),
              static_cast<double>(samples.size()) / 11025);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parseOptions(argc, argv, &options)) {
    std::fprintf(stderr, "usage: talonix-voice --out DIR [--data DIR]\n"
                         "       talonix-voice --out DIR --say TEXT --wav FILE [--speed 1..5]\n"
                         "       talonix-voice --out DIR --coverage WORDLIST [--speed 1..5]\n"
                         "       talonix-voice --out DIR --tts-data DIR\n");
    return 2;
  }
  if (!options.say.empty()) return say(options);
  if (!options.coverage.empty()) {
    return reportCoverage(options.out, options.speed, options.coverage) ? 0 : 1;
  }
  if (!options.ttsData.empty()) {
    if (!startEspeak()) {
      std::fprintf(stderr, "talonix-voice: espeak-ng or its pt-br voice is missing\n");
      return 1;
    }
    const fs::path dfn = fs::path(options.ttsData) / "portug.dfn";
    const fs::path voz = fs::path(options.out) / "vireatts" / "br4.voz";
    return writeEngineVoice(dfn.string(), voz.string()) ? 0 : 1;
  }
  const auto started = std::chrono::steady_clock::now();
  const fs::path root(options.out);
  const fs::path letters = root / "som" / "letras";
  const fs::path messages = root / "som" / "talonix";
  const fs::path units = root / "som" / "difones";
  std::error_code error;
  for (const fs::path& dir : {letters, messages, units}) fs::create_directories(dir, error);
  if (error) {
    std::fprintf(stderr, "talonix-voice: cannot create %s: %s\n", root.c_str(),
                 error.message().c_str());
    return 1;
  }
  if (!startEspeak()) {
    std::fprintf(stderr, "talonix-voice: espeak-ng or its pt-br voice is missing\n");
    return 1;
  }
  const int recordings = writeRecordings(letters.string(), messages.string());
  if (recordings < 0) {
    std::fprintf(stderr, "talonix-voice: cannot write the recordings\n");
    return 1;
  }
  JoinFigures figures;
  for (int speed = 1; speed <= 5; ++speed) {
    const VoiceDefaults& tuning = kVoiceDefaults[speed - 1];
    if (!writeUnitDatabase(units.string(), tuning.database, kWordsPerMinute[speed - 1],
                           tuning.unitCut, tuning.minimumUnit, &figures)) {
      std::fprintf(stderr, "talonix-voice: cannot write %s\n", tuning.database);
      return 1;
    }
  }
  if (!copyRules(options.data, units)) return 1;
  for (const std::string& problem : figures.problems)
    std::fprintf(stderr, "talonix-voice: unit not cut: %s\n", problem.c_str());
  const double seconds = std::chrono::duration<double>(
      std::chrono::steady_clock::now() - started).count();
  std::printf("talonix-voice: %d recordings, %zu units in 5 databases (%zu bytes)\n",
              recordings, figures.units, figures.bytes);
  std::printf("  step inside units, 99.9th percentile: %d\n",
              stepPercentile(figures.insideSteps, 0.999));
  std::printf("  largest step at a join of whole units: %d\n", figures.largestWholeJoin);
  std::printf("  step at a join after the unstressed cut: largest %d, 99.9th percentile %d,"
              " median %d\n", figures.largestCutJoin,
              stepPercentile(figures.cutJoinSteps, 0.999), stepPercentile(figures.cutJoinSteps, 0.5));
  std::printf("  samples clipped: %zu\n", clippedSamples());
  std::printf("  generated in %.2f s\n", seconds);
  return figures.problems.empty() ? 0 : 1;
}
