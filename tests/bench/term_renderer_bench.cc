// Bytes and time the terminal renderer needs for the program's commonest
// screen updates: a prompt and the letter typed at it, and a full redraw.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "platform/posix/term_renderer.h"

namespace {

constexpr plat::Rgb kWhite{255, 255, 255}, kBlue{0, 0, 255},
    kBlack{0, 0, 0}, kYellow{255, 255, 0};

void put(plat::posix::Renderer* r, int column, int row, std::string_view text,
         plat::Rgb fg, plat::Rgb bg) {
  r->put(column, row, reinterpret_cast<const uint8_t*>(text.data()),
         static_cast<int>(text.size()), fg, bg);
}

// A screen like the main menu's: a banner on blue, lines of text below.
void drawMenuScreen(plat::posix::Renderer* r) {
  put(r, 0, 0, std::string(80, ' '), kWhite, kBlue);
  put(r, 20, 0, "Talonix - gerenciador de tal\xF5" "es de cheque", kYellow,
      kBlue);
  for (int row = 2; row < 22; ++row) {
    put(r, 0, row, "  E - Emitir cheque       L - Lan\xE7" "amentos       "
        "C - Configura\xE7\xE3o", kWhite, kBlack);
  }
}

void BM_PromptAndTypedLetter(benchmark::State& state) {
  uint64_t promptBytes = 0, letterBytes = 0;
  for (auto _ : state) {
    plat::posix::Renderer r;
    drawMenuScreen(&r);
    benchmark::DoNotOptimize(r.flush());
    const uint64_t before = r.bytesWritten();
    put(&r, 0, 24, "Sua op\xE7\xE3o: ", kWhite, kBlue);
    r.setCaret(true, 11, 24);
    benchmark::DoNotOptimize(r.flush());
    const uint64_t afterPrompt = r.bytesWritten();
    put(&r, 11, 24, "e", kWhite, kBlue);
    r.setCaret(true, 12, 24);
    benchmark::DoNotOptimize(r.flush());
    promptBytes = afterPrompt - before;
    letterBytes = r.bytesWritten() - afterPrompt;
  }
  state.counters["prompt_bytes"] = static_cast<double>(promptBytes);
  state.counters["letter_bytes"] = static_cast<double>(letterBytes);
}
BENCHMARK(BM_PromptAndTypedLetter);

void BM_FullRedraw(benchmark::State& state) {
  plat::posix::Renderer r;
  drawMenuScreen(&r);
  put(&r, 0, 24, "Sua op\xE7\xE3o: ", kWhite, kBlue);
  r.flush();
  uint64_t bytes = 0;
  for (auto _ : state) {
    const uint64_t before = r.bytesWritten();
    r.requestFullRedraw();  // as after a resize
    benchmark::DoNotOptimize(r.flush());
    bytes = r.bytesWritten() - before;
  }
  state.counters["redraw_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_FullRedraw);

void BM_FullRedrawEveryCellDifferentColour(benchmark::State& state) {
  plat::posix::Renderer r;
  for (int row = 0; row < plat::posix::kGridRows; ++row) {
    for (int c = 0; c < plat::posix::kGridColumns; ++c) {
      const uint8_t v = static_cast<uint8_t>((row * 80 + c) * 37);
      put(&r, c, row, "x", plat::Rgb{v, 255, 0}, plat::Rgb{0, v, 255});
    }
  }
  r.flush();
  uint64_t bytes = 0;
  for (auto _ : state) {
    const uint64_t before = r.bytesWritten();
    r.requestFullRedraw();
    benchmark::DoNotOptimize(r.flush());
    bytes = r.bytesWritten() - before;
  }
  state.counters["redraw_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_FullRedrawEveryCellDifferentColour);

}  // namespace
