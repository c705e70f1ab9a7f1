// Cost of one settings lookup in a file of 200 lines: the program reads
// every setting afresh from disk, so this is paid per read.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "platform/shared/profile_store.h"
#include "platform/shared/profile_text.h"

namespace {

// 20 sections of 9 keys each, with a header and a blank line: 200 lines.
std::string twoHundredLines() {
  std::string text;
  for (int s = 0; s < 20; ++s) {
    text += "[Banco " + std::to_string(s) + "]\r\n";
    for (int k = 0; k < 8; ++k) {
      text += "pos" + std::to_string(k) + "=" + std::to_string(s * 10 + k) + ",25\r\n";
    }
    text += "arquivoLanc=/home/usuario/banco" + std::to_string(s) + ".chq\r\n\r\n";
  }
  return text;
}

void BM_LookupInFile(benchmark::State& state) {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("talonix-ini-bench-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(dir);
  const auto file = dir / "TALONIX.INI";
  std::ofstream(file, std::ios::binary) << twoHundredLines();
  char buffer[80];
  for (auto _ : state) {
    benchmark::DoNotOptimize(plat::getProfileString(file, "banco 19", "ARQUIVOLANC", "",
                                                   buffer, sizeof buffer));
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LookupInFile);

void BM_LookupInText(benchmark::State& state) {
  const std::string text = twoHundredLines();
  char buffer[80];
  for (auto _ : state) {
    benchmark::DoNotOptimize(plat::readProfileText(text, "banco 19", "ARQUIVOLANC", "",
                                                  buffer, sizeof buffer));
  }
}
BENCHMARK(BM_LookupInText);

}  // namespace
