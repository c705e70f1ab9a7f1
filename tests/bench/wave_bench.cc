// The WAV player's reaction and footprint:
// - from a key arriving to playback stopped (the device reset and closed),
//   on the headless device (virtual and wall time) and on SDL's dummy
//   device (wall time);
// - playing a 60-second file: the most bytes the device holds at once,
//   the process's resident memory growth while it plays, and the time
//   until the first piece reaches the device.
// The SDL parts run with SDL_AUDIODRIVER=dummy unless it is set already;
// the 60-second one takes a minute of real time.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/key_script.h"
#include "platform/posix/terminal_backend.h"
#include "synth/wave_player.h"
#include "tests/wave_test_util.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double microsSince(Clock::time_point t) {
  return std::chrono::duration<double, std::micro>(Clock::now() - t).count();
}

// A 16-bit stereo 44100 Hz file of `seconds`, written once.
std::string waveFile(int seconds) {
  const fs::path file =
      fs::temp_directory_path() / ("talonix_bench_" + std::to_string(seconds) + "s.wav");
  if (!fs::exists(file)) {
    std::vector<uint8_t> samples(static_cast<size_t>(seconds) * 44100 * 4);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint8_t>(i * 31);
    wavetest::WavShape shape;
    shape.rate = 44100;
    shape.bits = 16;
    shape.channels = 2;
    wavetest::writeBytes(file, wavetest::makeWav(samples, shape));
  }
  return file.string();
}

// Resident memory now, in KB (the peak from getrusage would still hold
// the 10 MB the file was built from).
long rssKb() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// Stamps the moments the bench measures, whichever backend runs.
struct Stamps {
  Clock::time_point keyWall, resetWall, stopWall, firstWriteWall;
  uint64_t stopVirtualMs = 0;
  bool keySeen = false, reset = false, stopped = false, written = false;
  size_t heldBytes = 0, maxHeldBytes = 0;
  long maxRssKb = 0;  // sampled at every buffer written
};
Stamps stamps;

bool stampingProc(const plat::Event& e) {
  if (!stamps.keySeen && (e.kind == plat::EventKind::kKeyDown || e.kind == plat::EventKind::kChar)) {
    stamps.keySeen = true;
    stamps.keyWall = Clock::now();
  }
  if (e.kind == plat::EventKind::kWaveDone && stamps.heldBytes >= e.lparam) {
    stamps.heldBytes -= e.lparam;
  }
  return consoleWindowProc(e);
}

template <typename Base>
class Stamping : public Base {
 public:
  using Base::Base;
  bool waveWrite(const uint8_t* data, size_t size, uintptr_t tag) override {
    if (!stamps.written) {
      stamps.written = true;
      stamps.firstWriteWall = Clock::now();
    }
    const bool ok = Base::waveWrite(data, size, tag);
    stamps.maxRssKb = std::max(stamps.maxRssKb, rssKb());
    if (ok) {
      stamps.heldBytes += size;
      stamps.maxHeldBytes = std::max(stamps.maxHeldBytes, stamps.heldBytes);
    }
    return ok;
  }
  void waveReset() override {
    if (stamps.keySeen && !stamps.reset) {
      stamps.reset = true;
      stamps.resetWall = Clock::now();
    }
    Base::waveReset();
  }
  void waveClose() override {
    Base::waveClose();
    if (stamps.keySeen && !stamps.stopped) {
      stamps.stopped = true;
      stamps.stopWall = Clock::now();
      stamps.stopVirtualMs = plat::system().tickMs();
    }
  }
};

void startPlayer(const plat::Services& services) {
  plat::setServices(services);
  resetConsole();
  resetKeyboard();
  resetWavePlayer();
  plat::window().setWindowProc(&stampingProc);
}

void BM_KeyStopsPlaybackHeadless(benchmark::State& state) {
  const std::string file = waveFile(10);
  Stamping<plat::headless::HeadlessPlatform> platform{plat::headless::HeadlessConfig{}};
  startPlayer(platform.services());
  double virtualMs = 0, wallUs = 0;
  for (auto _ : state) {
    stamps = Stamps{};
    std::vector<plat::Event> key;
    plat::headless::typedCharEvents('a', &key);
    // The key comes 2 s into the sound, the ring full and the player waiting.
    // Not on a multiple of the player's 10 ms waits.
    const uint64_t keyAt = platform.tickMs() + 2003;
    for (const plat::Event& e : key) platform.postEventAt(keyAt, e);
    playWaveFile(file);
    while (keyAvailable()) readKey();
    virtualMs += static_cast<double>(stamps.stopVirtualMs - keyAt);
    wallUs += std::chrono::duration<double, std::micro>(stamps.stopWall - stamps.keyWall).count();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["virtual_ms"] = virtualMs / n;
  state.counters["wall_us"] = wallUs / n;
  plat::headless::uninstall();
}
BENCHMARK(BM_KeyStopsPlaybackHeadless)->Unit(benchmark::kMicrosecond);

// The terminal backend reading keys from a pipe, playing on SDL.
struct SdlPlayer {
  SdlPlayer() {
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (::pipe(in) != 0 || ::pipe(out) != 0) std::abort();
    ::fcntl(out[0], F_SETFL, O_NONBLOCK);
    backend = std::make_unique<plat::posix::TerminalBackend>(in[0], out[1]);
    audio = std::make_unique<Stamping<plat::sdl::SdlAudio>>(backend->window);
    plat::Services services = backend->services();
    services.audio = audio.get();
    startPlayer(services);
    // Nobody reads the screen: drain it so the pipe never fills.
    drainer = std::thread([this] {
      char buf[4096];
      while (!done) {
        if (::read(out[0], buf, sizeof buf) <= 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    });
  }
  ~SdlPlayer() {
    done = true;
    drainer.join();
    plat::headless::uninstall();
    audio.reset();
    backend.reset();
    for (int fd : {in[0], in[1], out[0], out[1]}) ::close(fd);
  }
  bool deviceWorks() {
    const int r = audio->waveOpen(44100, 16, 2);
    audio->waveClose();
    return r == 0;
  }
  int in[2], out[2];
  std::unique_ptr<plat::posix::TerminalBackend> backend;
  std::unique_ptr<Stamping<plat::sdl::SdlAudio>> audio;
  std::atomic<bool> done{false};
  std::thread drainer;
};

void BM_KeyStopsPlaybackSdlDummy(benchmark::State& state) {
  const std::string file = waveFile(10);
  SdlPlayer sdl;
  if (!sdl.deviceWorks()) {
    state.SkipWithError("no SDL audio device");
    return;
  }
  double wallUs = 0, toResetUs = 0;
  for (auto _ : state) {
    stamps = Stamps{};
    Clock::time_point typed;
    std::thread typist([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      typed = Clock::now();
      if (::write(sdl.in[1], "a", 1) != 1) std::abort();
    });
    playWaveFile(file);
    typist.join();
    while (keyAvailable()) readKey();
    wallUs += std::chrono::duration<double, std::micro>(stamps.stopWall - typed).count();
    toResetUs += std::chrono::duration<double, std::micro>(stamps.resetWall - typed).count();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["wall_us"] = wallUs / n;
  state.counters["key_to_reset_us"] = toResetUs / n;
}
BENCHMARK(BM_KeyStopsPlaybackSdlDummy)->Unit(benchmark::kMillisecond)->Iterations(10);

// One echoed letter: a 50 ms recording at 11025 Hz, 8-bit mono, played to
// its end and the device closed, as every typed character is.
void BM_ShortRecordingSdlDummy(benchmark::State& state) {
  const fs::path file = fs::temp_directory_path() / "talonix_bench_letter.wav";
  wavetest::writeBytes(file, wavetest::makeWav(wavetest::tone8(551)));
  SdlPlayer sdl;
  if (!sdl.deviceWorks()) {
    state.SkipWithError("no SDL audio device");
    return;
  }
  for (auto _ : state) playWaveFile(file.string());
}
BENCHMARK(BM_ShortRecordingSdlDummy)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_SixtySecondFileHeadless(benchmark::State& state) {
  const std::string file = waveFile(60);
  for (auto _ : state) {
    Stamping<plat::headless::HeadlessPlatform> platform{plat::headless::HeadlessConfig{}};
    startPlayer(platform.services());
    stamps = Stamps{};
    const Clock::time_point start = Clock::now();
    playWaveFile(file);
    state.counters["first_write_us"] =
        std::chrono::duration<double, std::micro>(stamps.firstWriteWall - start).count();
    state.counters["whole_call_us"] = microsSince(start);
    state.counters["device_held_max_bytes"] = static_cast<double>(stamps.maxHeldBytes);
    state.counters["file_bytes"] = static_cast<double>(fs::file_size(file));
    plat::headless::uninstall();
  }
}
BENCHMARK(BM_SixtySecondFileHeadless)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SixtySecondFileSdlDummy(benchmark::State& state) {
  const std::string file = waveFile(60);
  SdlPlayer sdl;
  if (!sdl.deviceWorks()) {
    state.SkipWithError("no SDL audio device");
    return;
  }
  for (auto _ : state) {
    stamps = Stamps{};
    const long rssBefore = rssKb();
    const Clock::time_point start = Clock::now();
    playWaveFile(file);
    state.counters["first_write_us"] =
        std::chrono::duration<double, std::micro>(stamps.firstWriteWall - start).count();
    state.counters["whole_call_s"] = microsSince(start) / 1e6;
    state.counters["device_held_max_bytes"] = static_cast<double>(stamps.maxHeldBytes);
    state.counters["rss_growth_max_kb"] = static_cast<double>(stamps.maxRssKb - rssBefore);
    state.counters["file_bytes"] = static_cast<double>(fs::file_size(file));
  }
}
BENCHMARK(BM_SixtySecondFileSdlDummy)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
