// Output into the grid: bytes per second through writeChars, including the
// painting of each dirty span into the headless window.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/headless/headless_platform.h"

namespace {

struct HeadlessConsole {
  HeadlessConsole() : platform(config()) {
    platform.install();
    resetConsole();
    resetKeyboard();
    plat::window().setWindowProc(&consoleWindowProc);
    openConsole();
  }
  ~HeadlessConsole() { plat::headless::uninstall(); }
  static plat::headless::HeadlessConfig config() {
    plat::headless::HeadlessConfig c;
    c.configDir = std::filesystem::temp_directory_path() / "talonix_bench_cfg";
    c.workDir = std::filesystem::temp_directory_path();
    return c;
  }
  plat::headless::HeadlessPlatform platform;
};

void BM_WriteCharsPrompt(benchmark::State& state) {
  HeadlessConsole console;
  const std::string prompt = "\r\nSua op\xE7\xE3o: ";
  for (auto _ : state) {
    writeChars(prompt.data(), static_cast<uint16_t>(prompt.size()));
  }
  state.SetBytesProcessed(state.iterations() * prompt.size());
}
BENCHMARK(BM_WriteCharsPrompt);

void BM_WriteCharsFullScreen(benchmark::State& state) {
  HeadlessConsole console;
  std::string screen;
  for (int row = 0; row < 25; ++row) {
    screen += std::string(78, static_cast<char>('a' + row % 26)) + "\r\n";
  }
  for (auto _ : state) {
    writeChars(screen.data(), static_cast<uint16_t>(screen.size()));
  }
  state.SetBytesProcessed(state.iterations() * screen.size());
}
BENCHMARK(BM_WriteCharsFullScreen);

void BM_ColouredRuns(benchmark::State& state) {
  HeadlessConsole console;
  for (auto _ : state) {
    for (int i = 0; i < 16; ++i) {
      setTextColor(i);
      writeChars("colour ", 7);
    }
    writeChars("\r\n", 2);
  }
  state.SetBytesProcessed(state.iterations() * (16 * 7 + 2));
}
BENCHMARK(BM_ColouredRuns);

}  // namespace
