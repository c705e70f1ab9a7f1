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

#include <chrono>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/key_script.h"
#include "speech/speech.h"
#include "tests/bench/kit_machine.h"

#ifdef TALONIX_VOICE_KIT_DIR
namespace {

using Clock = std::chrono::steady_clock;

const char kSentence[] =
    "Lan\xE7" "amento foi registrado no banco atual, com valor de cento e "
    "cinquenta reais e data de hoje";

class KitMachine : public benchkit::KitMachine {
 public:
  KitMachine() : benchkit::KitMachine("latency") { initSpeech(3, ""); }
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
