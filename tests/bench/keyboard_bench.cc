// One typed key, from its window messages to readKey: the path every
// keystroke of the program takes.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/headless/headless_platform.h"

namespace {

plat::Event keyEvent(plat::EventKind kind, uint32_t code) {
  plat::Event e;
  e.kind = kind;
  e.code = code;
  return e;
}

void BM_LetterKeyToReadKey(benchmark::State& state) {
  resetKeyboard();
  const plat::Event down = keyEvent(plat::EventKind::kKeyDown, 'A');
  const plat::Event ch = keyEvent(plat::EventKind::kChar, 'a');
  const plat::Event up = keyEvent(plat::EventKind::kKeyUp, 'A');
  for (auto _ : state) {
    onKeyDownMessage(down);
    onCharMessage(ch);
    onKeyUpMessage(up);
    benchmark::DoNotOptimize(readKey());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LetterKeyToReadKey);

void BM_ArrowKeyToReadKey(benchmark::State& state) {
  resetKeyboard();
  const plat::Event down = keyEvent(plat::EventKind::kKeyDown, plat::kVkDown);
  const plat::Event up = keyEvent(plat::EventKind::kKeyUp, plat::kVkDown);
  for (auto _ : state) {
    onKeyDownMessage(down);
    onKeyUpMessage(up);
    benchmark::DoNotOptimize(readKey());
    benchmark::DoNotOptimize(readKey());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ArrowKeyToReadKey);

// A Braille chord F+D: two dots down, two releases, then the letter read.
void BM_BrailleChordToReadKey(benchmark::State& state) {
  resetKeyboard();
  brailleState().mode = 1;  // set directly: no signal tones without a window
  const plat::Event fDown = keyEvent(plat::EventKind::kKeyDown, 'F');
  const plat::Event dDown = keyEvent(plat::EventKind::kKeyDown, 'D');
  const plat::Event fUp = keyEvent(plat::EventKind::kKeyUp, 'F');
  const plat::Event dUp = keyEvent(plat::EventKind::kKeyUp, 'D');
  for (auto _ : state) {
    onKeyDownMessage(fDown);
    onKeyDownMessage(dDown);
    onKeyUpMessage(fUp);
    onKeyUpMessage(dUp);
    benchmark::DoNotOptimize(readKey());
  }
  resetKeyboard();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BrailleChordToReadKey);

// The whole road: three window messages queued on the headless backend,
// then readKey waits, pumps them through the console's window procedure and
// takes the character.
void BM_KeyThroughWindowProcedure(benchmark::State& state) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / "talonix_keyboard_bench";
  std::filesystem::create_directories(dir);
  plat::headless::HeadlessConfig config;
  config.configDir = dir;
  config.workDir = dir;
  plat::headless::HeadlessPlatform backend(config);
  backend.install();
  resetConsole();
  resetKeyboard();
  plat::window().setWindowProc(&consoleWindowProc);
  openConsole();
  const plat::Event down = keyEvent(plat::EventKind::kKeyDown, 'A');
  const plat::Event ch = keyEvent(plat::EventKind::kChar, 'a');
  const plat::Event up = keyEvent(plat::EventKind::kKeyUp, 'A');
  for (auto _ : state) {
    backend.postEvent(down);
    backend.postEvent(ch);
    backend.postEvent(up);
    benchmark::DoNotOptimize(readKey());
  }
  state.SetItemsProcessed(state.iterations());
  resetKeyboard();
  resetConsole();
  plat::headless::uninstall();
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
}
BENCHMARK(BM_KeyThroughWindowProcedure);

}  // namespace
