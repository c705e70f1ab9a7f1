// The line editor's cost per key on a full 2048-character field: cursor
// moves, word moves and typing (each insert shifts the whole field), with
// the field redrawn into the headless window after every key.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/headless/headless_platform.h"
#include "speech/line_editor.h"
#include "speech/speech.h"
#include "synth/synth.h"

namespace {

struct HeadlessEditor {
  HeadlessEditor() : platform(config()) {
    platform.install();
    resetConsole();
    resetKeyboard();
    plat::window().setWindowProc(&consoleWindowProc);
    resetSynth();
    resetSpeech();
    openConsole();
  }
  ~HeadlessEditor() { plat::headless::uninstall(); }
  static plat::headless::HeadlessConfig config() {
    plat::headless::HeadlessConfig c;
    c.configDir = std::filesystem::temp_directory_path() / "talonix_bench_cfg";
    c.workDir = std::filesystem::temp_directory_path();
    return c;
  }
  plat::headless::HeadlessPlatform platform;
};

// One editing session of `keys` keys ending with Enter, all type-ahead
// (the queue holds 64 bytes).
int queueSession() {
  int keys = 0;
  for (int i = 0; i < 10; ++i, ++keys) {
    queueKey(0);
    queueKey(i % 2 ? 77 : 116);  // Right, Ctrl+Right
  }
  for (int i = 0; i < 30; ++i, ++keys) queueKey(static_cast<uint8_t>('a' + i % 26));
  queueKey(0);
  queueKey(71);  // Home
  queueKey(13);
  return keys + 2;
}

void BM_EditFullLongField(benchmark::State& state) {
  HeadlessEditor editor;
  const std::string full = [] {
    std::string t;
    while (t.size() < 2048) t += "palavra 12345 ";
    return t.substr(0, 2048);
  }();
  int64_t keys = 0;
  for (auto _ : state) {
    std::string text = full;
    keys += queueSession();
    editLine(text, 1, 1, true, 78, 2048);
    benchmark::DoNotOptimize(text);
  }
  state.SetItemsProcessed(keys);
  // Seconds per key.
  state.counters["per_key"] = benchmark::Counter(
      static_cast<double>(keys),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_EditFullLongField)->Unit(benchmark::kMicrosecond);

}  // namespace
