// The desktop window on SDL's dummy video driver (the same drawing and
// showing code as on a real display, without the display server): a key
// from SDL's queue to the console's key queue, a full repaint of the grid,
// and a typed letter, with the pixels it sends to the screen. Run with
// SDL_VIDEODRIVER=x11 on a display to count the X server in.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/headless/headless_platform.h"
#include "platform/sdl/sdl_window.h"

namespace {

struct WindowConsole {
  WindowConsole() : platform(config()) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);  // x11 under a display measures the server too
    platform.install();
    plat::Services s = platform.services();
    s.window = &window;
    s.clipboard = &window;
    s.magnifier = &window;
    plat::setServices(s);
    resetConsole();
    resetKeyboard();
    plat::window().setWindowProc(&consoleWindowProc);
    openConsole();
    pumpMessages();
  }
  ~WindowConsole() { plat::headless::uninstall(); }
  static plat::headless::HeadlessConfig config() {
    plat::headless::HeadlessConfig c;
    c.configDir = std::filesystem::temp_directory_path() / "talonix_bench_window";
    std::filesystem::create_directories(c.configDir);
    // The default cell of a 1024 x 768 screen.
    std::ofstream(c.configDir / "LUMIRA.INI", std::ios::binary)
        << "[VIDEO]\r\nLARGURALETRA=13\r\nALTURALETRA=28\r\n";
    c.workDir = std::filesystem::temp_directory_path();
    return c;
  }
  plat::headless::HeadlessPlatform platform;
  plat::sdl::SdlWindow window;
};

void pushKey(Uint32 type, SDL_Keycode sym) {
  SDL_Event e{};
  e.type = type;
  e.key.keysym.sym = sym;
  e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  SDL_PushEvent(&e);
}

// Key down, its text and key up, as SDL delivers a typed "a": the time
// from SDL's queue until the byte is in the console's key queue (what the
// window shows afterwards is not counted).
void BM_KeyEventToQueue(benchmark::State& state) {
  WindowConsole console;
  for (auto _ : state) {
    state.PauseTiming();
    pumpMessages();  // the last key-up, and showing what changed
    keyQueue().count = 0;
    pushKey(SDL_KEYDOWN, SDLK_a);
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.text[0] = 'a';
    SDL_PushEvent(&text);
    pushKey(SDL_KEYUP, SDLK_a);
    state.ResumeTiming();
    while (keyQueue().count == 0) plat::window().pumpOne(false);
  }
}
BENCHMARK(BM_KeyEventToQueue);

// Every cell painted again and the whole grid sent to the window.
void BM_FullRepaint(benchmark::State& state) {
  WindowConsole console;
  for (int row = 0; row < 25; ++row) {
    setTextColor(row % 16);
    writeText(std::string(79, static_cast<char>('A' + row)) + "\r\n");
  }
  for (auto _ : state) {
    console.window.invalidateAll(true);
    console.window.updateWindow();
  }
  state.counters["pixels"] = console.window.canvas().width() * console.window.canvas().height();
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);

// One letter written at the cursor and shown: the pixels sent are its cell.
void BM_TypedLetter(benchmark::State& state) {
  WindowConsole console;
  moveCursor(1, 12);
  double pixels = 0;
  for (auto _ : state) {
    writeChars("x\b", 1);
    console.window.present();
    for (const plat::sdl::PixelRect& r : console.window.lastPresented()) pixels += r.w * r.h;
    moveCursor(1, 12);
  }
  state.counters["pixelsSent"] = pixels / static_cast<double>(state.iterations());
}
BENCHMARK(BM_TypedLetter);

}  // namespace
