// The mbrola program binding against our stand-in program: the time from
// the engine's start to a text's first samples (the child's start watch
// included), the time a text waits before its first samples once the
// engine runs (a spare child already started), and a 10 000-line text.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/posix/mbrola_process.h"

namespace {

namespace fs = std::filesystem;
using plat::posix::MbrolaProcess;

std::string benchVoice() {
  setenv("TALONIX_MBROLA", TALONIX_FAKE_MBROLA, 1);
  const fs::path voice = fs::temp_directory_path() / ("mbrola-bench-" + std::to_string(getpid()));
  std::ofstream(voice) << "voice";
  return voice.string();
}

// One short text: its samples, the first read waiting for them.
int64_t speak(MbrolaProcess& m, int lines) {
  m.reset();
  for (int i = 0; i < lines; ++i) m.write(i % 2 ? "a 20 50 200\r\n" : "s 20\r\n");
  m.flush();
  int16_t buffer[16000];
  int64_t total = 0;
  for (int n; (n = m.read(buffer, 16000)) > 0;) total += n;
  return total;
}

void BM_StartToFirstText(benchmark::State& state) {
  const std::string voice = benchVoice();
  for (auto _ : state) {
    MbrolaProcess m;
    m.load(voice);
    m.init(voice);
    m.setNoError(1);
    benchmark::DoNotOptimize(speak(m, 2));
  }
  fs::remove(voice);
}
BENCHMARK(BM_StartToFirstText)->Unit(benchmark::kMillisecond);

void BM_TextAfterText(benchmark::State& state) {
  const std::string voice = benchVoice();
  MbrolaProcess m;
  m.load(voice);
  m.init(voice);
  m.setNoError(1);
  for (auto _ : state) benchmark::DoNotOptimize(speak(m, static_cast<int>(state.range(0))));
  fs::remove(voice);
}
BENCHMARK(BM_TextAfterText)->Arg(2)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
