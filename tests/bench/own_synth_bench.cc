// The engine's own synthesizer against the clock: seconds of speech made
// per second of work ("x_realtime"; it must stay above 100). On the voice
// made in memory, both as one render and through the MBROLA calls the way
// the engine drives them, and on the real br4 voice when the build made it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "tests/own_voice_fixture.h"
#include "tts/engine.h"
#include "tts/engine_text.h"
#include "tts/own_synth.h"
#include "tts/own_synth_render.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// About 20 s of speech through every pair, with a moving contour.
const Lines& phrase() {
  static const Lines lines = [] {
    Lines made = {"_ 50"};
    for (int i = 0; i < 250; ++i) {
      const double hz = 110 + 65 * (1 + std::sin(i * 0.7));
      made.push_back(std::string(ownvoice::sounds()[(i * 7 + i / 5) % 6].name) + " " +
                     std::to_string(40 + (i * 29) % 100) + " 50 " + std::to_string(hz));
    }
    made.push_back("_ 50");
    return made;
  }();
  return lines;
}

double secondsOf(const std::vector<int16_t>& samples) { return samples.size() / 16000.0; }

void report(benchmark::State& state, double audioSeconds) {
  state.counters["audio_s"] = audioSeconds;
  state.counters["x_realtime"] =
      benchmark::Counter(audioSeconds, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_OwnSynthRenderKnownVoice(benchmark::State& state) {
  const DiphoneVoice voice = ownvoice::syntheticVoice();
  double audio = 0;
  for (auto _ : state) {
    const std::vector<int16_t> y = renderPhonemeLines(voice, phrase());
    audio = secondsOf(y);
    benchmark::DoNotOptimize(y.data());
  }
  report(state, audio);
}
BENCHMARK(BM_OwnSynthRenderKnownVoice)->Unit(benchmark::kMillisecond);

// Line by line as the engine speaks: write, read up to 16 000 samples
// until none is ready, flush after the last line.
void BM_OwnSynthStreamKnownVoice(benchmark::State& state) {
  const fs::path dir = fs::temp_directory_path() / "talonix_own_synth_bench";
  fs::create_directories(dir);
  plat::headless::HeadlessConfig config;
  config.workDir = dir;
  config.configDir = dir;
  plat::headless::HeadlessPlatform platform(config);
  platform.install();
  const std::vector<uint8_t> bytes = encodeDiphoneVoice(ownvoice::syntheticVoice());
  std::ofstream(dir / "br4.voz", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  plat::Mbrola& m = ownSynthesizer();
  if (m.init((dir / "br4").string()) < 0) state.SkipWithError("the voice did not load");
  m.setNoError(1);
  std::vector<int16_t> buffer(16000);
  size_t total = 0;
  for (auto _ : state) {
    m.reset();
    total = 0;
    for (size_t i = 0; i < phrase().size(); ++i) {
      m.write(phrase()[i] + "\r\n");
      if (i + 1 == phrase().size()) m.flush();
      for (int got; (got = m.read(buffer.data(), 16000)) > 0;) total += static_cast<size_t>(got);
    }
  }
  report(state, total / 16000.0);
  resetOwnSynthesizer();
  plat::headless::uninstall();
  fs::remove_all(dir);
}
BENCHMARK(BM_OwnSynthStreamKnownVoice)->Unit(benchmark::kMillisecond);

// The engine's lines for a paragraph of cheque-book speech over br4.voz.
void BM_OwnSynthRenderRealVoice(benchmark::State& state) {
  const std::string path = ownvoice::realVoicePath();
  plat::headless::HeadlessConfig config;
  config.workDir = fs::temp_directory_path();
  config.configDir = config.workDir;
  plat::headless::HeadlessPlatform platform(config);
  platform.install();
  DiphoneVoice voice;
  std::string why;
  const std::string data = std::string(TALONIX_SOURCE_DIR) + "/data/tts/portug.";
  if (path.empty() || !loadDiphoneVoice(path, &voice, &why)) {
    state.SkipWithError("no br4.voz in this build");
  } else if (!engineLoadTables({data + "nrl", data + "exc", data + "dfn", data + "pro", data + "abr"})) {
    state.SkipWithError("the engine's data did not load");
  } else {
    const Lines lines = enginePhonemeLines(
        "O cheque n\xFAmero 4.512 de R$ 1.234,56 foi emitido em 12/03/2025 para a "
        "Companhia Paulista de Tr\xE2nsito. Confira o saldo da conta corrente antes "
        "de emitir outro cheque; o saldo atual \xE9 de R$ 8.765,43.");
    double audio = 0;
    for (auto _ : state) {
      const std::vector<int16_t> y = renderPhonemeLines(voice, lines);
      audio = secondsOf(y);
      benchmark::DoNotOptimize(y.data());
    }
    report(state, audio);
  }
  resetEngineText();
  plat::headless::uninstall();
}
BENCHMARK(BM_OwnSynthRenderRealVoice)->Unit(benchmark::kMillisecond);

// What the user waits for: from a prompt handed to the engine to its first
// piece of sound reaching the player ("first_ms"), and the whole
// engineSpeak of the prompt, over br4.voz with the shipped data.
class TimedSound : public EngineSound {
 public:
  std::chrono::steady_clock::time_point first;
  bool played = false;
  bool play(const uint8_t*) override {
    if (!played) first = std::chrono::steady_clock::now();
    played = true;
    return true;
  }
  void stop() override {}
  bool isPlaying() override { return false; }
  void holdOptions() override {}
  void restoreOptions() override {}
};

void BM_EngineSpeakFirstSound(benchmark::State& state) {
  const std::string path = ownvoice::realVoicePath();
  plat::headless::HeadlessConfig config;
  config.workDir = fs::temp_directory_path();
  config.configDir = config.workDir;
  plat::headless::HeadlessPlatform platform(config);
  platform.install();
  const std::string data = std::string(TALONIX_SOURCE_DIR) + "/data/tts/portug.";
  TimedSound sound;
  if (path.empty() ||
      !engineStart("br4", {data + "nrl", data + "exc", data + "dfn", data + "pro", data + "abr"},
                   path, sound)) {
    state.SkipWithError("no br4.voz in this build");
  } else {
    double firstMs = 0;
    for (auto _ : state) {
      sound.played = false;
      const auto start = std::chrono::steady_clock::now();
      engineSpeak("Sua op\xE7\xE3o: ");
      firstMs += std::chrono::duration<double, std::milli>(sound.first - start).count();
    }
    state.counters["first_ms"] = firstMs / static_cast<double>(state.iterations());
  }
  engineEnd();
  resetEngine();
  resetEngineText();
  plat::headless::uninstall();
}
BENCHMARK(BM_EngineSpeakFirstSound)->Unit(benchmark::kMillisecond);

}  // namespace
