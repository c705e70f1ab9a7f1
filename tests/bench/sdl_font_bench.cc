// Time the window's font takes to be found and drawn when a window opens:
// the default face at the default cell, normal and bold.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/sdl/sdl_font.h"

namespace {

void BM_FindFontFile(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(plat::sdl::findFontFile("Lucida Console"));
  }
}
BENCHMARK(BM_FindFontFile)->Unit(benchmark::kMillisecond);

void BM_GlyphAtlasLoad(benchmark::State& state) {
  const std::string file = plat::sdl::findFontFile("Lucida Console");
  plat::sdl::GlyphAtlas atlas;
  for (auto _ : state) {
    if (!atlas.load(file, 13, 28, static_cast<int>(state.range(0)))) {
      state.SkipWithError("font not loaded");
      break;
    }
  }
}
BENCHMARK(BM_GlyphAtlasLoad)->Arg(0)->Arg(700)->Unit(benchmark::kMillisecond);

}  // namespace
