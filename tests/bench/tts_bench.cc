// The Portuguese engine's text side against espeak-ng's own transcription
// (`espeak-ng -v pt-br -x -q`) on the same 10 000-word text, in one run:
// each iteration times both, and the counters give their times and the
// ratio (espeak-ng's time over ours; above 1 means we are faster).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/shared/codepage.h"
#include "tests/test_files.h"
#include "tts/engine_text.h"

namespace {

namespace fs = std::filesystem;

// Sentences of the reference word list, with the numbers, money, dates and
// abbreviations a cheque book has, up to `words` words.
std::string benchText(size_t words) {
  const auto lines = testfiles::readLines(std::string(TALONIX_SOURCE_DIR) +
                                          "/tests/data/tts_reference.tsv");
  static const char* const kInserts[] = {"R$ 1.234,56", "12/03/2025", "14h30", "Av.",
                                         "Dr.", "CPF", "3.500", "2\xBA"};
  std::string text;
  size_t count = 0;
  for (size_t i = 0; count < words; ++i) {
    const std::string& line = lines[i % lines.size()];
    text += plat::utf8ToCp1252(line.substr(0, line.find('\t')));
    ++count;
    if (i % 9 == 4) {
      text += std::string(" ") + kInserts[(i / 9) % 8];
      ++count;
    }
    text += i % 12 == 11 ? ". " : (i % 29 == 28 ? "? " : " ");
  }
  return text;
}

struct Engine {
  std::unique_ptr<plat::headless::HeadlessPlatform> platform;
  std::string text;
  fs::path textFile;
};

Engine& engine() {
  static Engine e = [] {
    Engine made;
    plat::headless::HeadlessConfig config;
    config.workDir = fs::temp_directory_path();
    config.configDir = config.workDir;
    made.platform = std::make_unique<plat::headless::HeadlessPlatform>(config);
    made.platform->install();
    const std::string dir = std::string(TALONIX_SOURCE_DIR) + "/data/tts/";
    if (!engineLoadTables({dir + "portug.nrl", dir + "portug.exc", dir + "portug.dfn",
                           dir + "portug.pro", dir + "portug.abr"})) {
      std::abort();
    }
    made.text = benchText(10000);
    made.textFile = fs::temp_directory_path() / "talonix_tts_bench.txt";
    std::ofstream(made.textFile, std::ios::binary) << plat::cp1252ToUtf8(made.text);
    return made;
  }();
  return e;
}

double secondsOf(auto run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_TtsTextToPhonemeLines(benchmark::State& state) {
  Engine& e = engine();
  size_t lines = 0;
  for (auto _ : state) {
    std::vector<std::string> out = enginePhonemeLines(e.text);
    lines = out.size();
    benchmark::DoNotOptimize(out);
  }
  state.counters["lines"] = static_cast<double>(lines);
  state.counters["words/s"] =
      benchmark::Counter(10000.0, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_TtsTextToPhonemeLines)->Unit(benchmark::kMillisecond);

// espeak-ng is started as a program, as the comparison names it; the same
// text, written as UTF-8, is its input.
void BM_TtsAgainstEspeakSideBySide(benchmark::State& state) {
  Engine& e = engine();
  if (std::system("command -v espeak-ng > /dev/null 2>&1") != 0) {
    state.SkipWithError("espeak-ng is not installed");
    return;
  }
  const std::string command =
      "espeak-ng -v pt-br -x -q -f '" + e.textFile.string() + "' > /dev/null";
  double ours = 0, theirs = 0;
  for (auto _ : state) {
    ours += secondsOf([&] { benchmark::DoNotOptimize(enginePhonemeLines(e.text)); });
    theirs += secondsOf([&] {
      if (std::system(command.c_str()) != 0) state.SkipWithError("espeak-ng failed");
    });
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["ours_ms"] = 1000 * ours / n;
  state.counters["espeak_ms"] = 1000 * theirs / n;
  state.counters["ratio"] = theirs / ours;
}
BENCHMARK(BM_TtsAgainstEspeakSideBySide)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
