// The voice as a user meets it, over the kit this build generated, on the
// headless machine:
// - a typed key to its echo: the wall time readKeyEcho takes to read the
//   key and hand its recording to the device (with the headless device the
//   whole echo is handed over at once, so this bounds the time to its
//   first sample);
// - a key typed while the diphone voice speaks a sentence: how long after
//   the key the sound stops, on the virtual clock (the player looks at the
//   keys between waits of 10 ms), and the wall time speakText needs to
//   give up the rest of the text;
// - speaking a prompt on the diphone path: wall time per prompt.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/key_script.h"
#include "speech/speech.h"

#ifdef TALONIX_VOICE_KIT_DIR
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const char kSentence[] =
    "Lan\xE7" "amento foi registrado no banco atual, com valor de cento e "
    "cinquenta reais e data de hoje";

// A headless machine whose program lies in a bin/ beside the build's kit.
class KitMachine {
 public:
  KitMachine() {
    root_ = fs::temp_directory_path() / ("talonix-latency-" + std::to_string(::getpid()));
    fs::create_directories(root_ / "config");
    plat::headless::HeadlessConfig config;
    config.configDir = root_ / "config";
    config.workDir = root_;
    config.programPath =
        (fs::weakly_canonical(fs::path(TALONIX_VOICE_KIT_DIR) / ".." / "..") / "bin" / "talonix")
            .string();
    platform_ = std::make_unique<plat::headless::HeadlessPlatform>(config);
    platform_->install();
    resetProgramState();
    plat::window().setWindowProc(&consoleWindowProc);
    initSpeech(3, "");
  }
  ~KitMachine() {
    resetProgramState();
    plat::headless::uninstall();
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  plat::headless::HeadlessPlatform& platform() { return *platform_; }
  // A key the user types once the program waits for one.
  void type(uint8_t c) {
    std::vector<plat::headless::KeyGroup> groups(1);
    plat::headless::typedCharEvents(c, &groups[0].events);
    platform_->addKeyGroups(groups);
  }
  void typeAt(uint64_t ms, uint8_t c) {
    std::vector<plat::Event> events;
    plat::headless::typedCharEvents(c, &events);
    for (const plat::Event& e : events) platform_->postEventAt(ms, e);
  }

 private:
  fs::path root_;
  std::unique_ptr<plat::headless::HeadlessPlatform> platform_;
};

void BM_KeyToEcho(benchmark::State& state) {
  KitMachine machine;
  for (auto _ : state) {
    machine.type('a');
    const auto start = Clock::now();
    readKeyEcho();
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
  }
}
BENCHMARK(BM_KeyToEcho)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_KeyStopsTheVoice(benchmark::State& state) {
  KitMachine machine;
  double stopMs = 0;
  for (auto _ : state) {
    plat::headless::HeadlessPlatform& p = machine.platform();
    const uint64_t keyMs = p.virtualUs() / 1000 + 700;  // in the middle of the sentence
    machine.typeAt(keyMs, 'z');
    const size_t before = p.waveCaptures().size();
    const auto start = Clock::now();
    speakText(kSentence);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    // The last sound that played: where it was cut.
    uint64_t endUs = 0;
    for (size_t i = before; i < p.waveCaptures().size(); ++i) {
      const plat::headless::WaveCapture& w = p.waveCaptures()[i];
      if (w.playedBytes == 0) continue;
      const uint64_t bytesPerSecond = uint64_t{w.sampleRate} * w.channels * (w.bitsPerSample / 8);
      endUs = std::max(endUs, w.startUs + w.playedBytes * 1000000 / bytesPerSecond);
    }
    stopMs = std::max(stopMs, (static_cast<double>(endUs) - keyMs * 1000.0) / 1000);
    readKey();
  }
  state.counters["stop_after_key_ms"] = stopMs;
}
BENCHMARK(BM_KeyStopsTheVoice)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_SpeakAPrompt(benchmark::State& state) {
  KitMachine machine;
  for (auto _ : state) speakText(kSentence);
}
BENCHMARK(BM_SpeakAPrompt)->Unit(benchmark::kMillisecond);

}  // namespace
#endif  // TALONIX_VOICE_KIT_DIR
