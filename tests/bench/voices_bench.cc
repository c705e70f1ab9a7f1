// How soon the platform voices sound: espeak-ng, from speak to the first
// samples handed to the sink; speech-dispatcher, from say to the server's
// begin event, when a server answers (SPEECHD_ADDRESS names a private one).
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/espeak/espeak_voice.h"
#include "platform/speechd/speechd_voice.h"

namespace {

using Clock = std::chrono::steady_clock;

// Takes the time of the first buffer, then stops the text.
class FirstSamplesSink : public plat::SampleSink {
 public:
  bool playSamples(const int16_t*, size_t, uint32_t) override {
    if (first == Clock::time_point{}) first = Clock::now();
    return false;
  }
  bool isPlaying() override { return false; }
  void stop() override {}
  Clock::time_point first;
};

void BM_EspeakFirstSamples(benchmark::State& state) {
  plat::espeak::EspeakVoice voice;
  FirstSamplesSink sink;
  if (!voice.start(0, 0, 0, sink)) {
    state.SkipWithError("espeak-ng cannot start");
    return;
  }
  for (auto _ : state) {
    sink.first = {};
    const Clock::time_point spoke = Clock::now();
    voice.speak("Sua op\xE7\xE3o: lan\xE7\x61mentos, extrato ou cheque.");
    state.SetIterationTime(
        std::chrono::duration<double>(sink.first - spoke).count());
  }
  voice.end();
}
BENCHMARK(BM_EspeakFirstSamples)->UseManualTime()->Unit(benchmark::kMillisecond);

class NoWake : public plat::EventSink {
 public:
  void postEvent(const plat::Event&) override {}
};

class NoSamples : public plat::SampleSink {
 public:
  bool playSamples(const int16_t*, size_t, uint32_t) override { return false; }
  bool isPlaying() override { return false; }
  void stop() override {}
};

void BM_SpeechdSayToBegin(benchmark::State& state) {
  NoWake wake;
  NoSamples none;
  plat::speechd::SpeechdVoice voice(wake, false);
  if (!voice.start(0, 0, 0, none)) {
    state.SkipWithError("no speech-dispatcher server answers");
    return;
  }
  for (auto _ : state) {
    const size_t before = voice.begun();
    const Clock::time_point said = Clock::now();
    voice.speak("sim");
    const Clock::time_point limit = said + std::chrono::seconds(2);
    while (voice.begun() == before && Clock::now() < limit) std::this_thread::yield();
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - said).count());
    // The next text starts on a quiet server.
    while (voice.isSpeaking(0)) std::this_thread::yield();
  }
  voice.end();
}
BENCHMARK(BM_SpeechdSayToBegin)->UseManualTime()->Unit(benchmark::kMillisecond)
    ->Iterations(1)->Repetitions(30)->ReportAggregatesOnly(true);

}  // namespace
