// How much faster than real time the diphone synthesizer renders: a text
// of syllable groups over a database of 1500-byte units, the pieces handed
// to a player that only counts them. "realtime" is seconds of sound per
// second of rendering.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "platform/headless/headless_platform.h"
#include "platform/shared/riff.h"
#include "synth/diphone_synth.h"
#include "synth/unit_database.h"

namespace {

namespace fs = std::filesystem;

size_t renderedBytes = 0;
void countImage(const uint8_t* image) { renderedBytes += plat::get32(image + 40); }

void writeFile(const fs::path& file, const std::vector<uint8_t>& bytes) {
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

void BM_DiphoneRendering(benchmark::State& state) {
  const fs::path root = fs::temp_directory_path() /
                        ("talonix-diphone-bench-" + std::to_string(::getpid()));
  fs::create_directories(root / "config");
  fs::create_directories(root / "letras");
  fs::create_directories(root / "difones");
  std::vector<UnitIndexEntry> units;
  std::vector<uint8_t> data;
  std::string text;
  for (char onset : std::string("bdkmpstvz")) {
    for (char vowel : std::string("aeiou")) {
      units.push_back({std::string("$") + static_cast<char>(onset - 32) +
                           static_cast<char>(vowel - 32),
                       1500, static_cast<uint32_t>(data.size())});
      data.insert(data.end(), 1500, static_cast<uint8_t>(data.size() / 1500));
      text += std::string("[ ") + onset + vowel + "/ " + onset +
              static_cast<char>(vowel - 32) + "] ";
    }
  }
  writeFile(root / "difones" / "DIFONES2.IND", unitIndexImage(units));
  writeFile(root / "difones" / "DIFONES2.DIF", data);
  writeFile(root / "difones" / "regras.rgr", {});
  writeFile(root / "difones" / "portug.exc", {});
  std::ofstream(root / "config" / "LUMIRA.INI", std::ios::binary)
      << "[TRADUTOR]\r\nDIRLETRAS=" << (root / "letras").string()
      << "\r\nDIRDIFONES=" << (root / "difones").string() << "\r\n";

  plat::headless::HeadlessConfig config;
  config.configDir = root / "config";
  config.workDir = root;
  plat::headless::HeadlessPlatform platform(config);
  platform.install();
  resetProgramState();
  setDiphoneImagePlayer(&countImage);
  if (startDiphoneSynth() != 0) state.SkipWithError("the synthesizer did not start");
  renderedBytes = 0;
  for (auto _ : state) speakDiphoneGroups(text, false);
  state.counters["realtime"] = benchmark::Counter(
      static_cast<double>(renderedBytes) / kUnitSampleRate, benchmark::Counter::kIsRate);
  resetProgramState();
  plat::headless::uninstall();
  fs::remove_all(root);
}
BENCHMARK(BM_DiphoneRendering)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
