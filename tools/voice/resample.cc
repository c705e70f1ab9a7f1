#include "tools/voice/resample.h"

#include <array>
#include <cmath>

#include "tools/voice/espeak_session.h"

namespace {

// 22050 / 16000 = 441 / 320: output k sits at input (k * 441) / 320, so
// 320 phases of one filter serve every output sample.
constexpr long kUp = 320, kDown = 441;
constexpr int kHalfTaps = 32;          // 64 taps: a transition under 2 kHz
constexpr double kCutoffHz = 7000.0;   // aliases stay above 8 kHz - 1 kHz

using Phase = std::array<float, 2 * kHalfTaps>;

// Blackman-windowed sinc for each fractional delay, each phase summing to
// one so that silence and steady levels pass unchanged.
std::vector<Phase> makeFilter() {
  const double pi = std::acos(-1.0);
  const double fc = kCutoffHz / kEspeakRate;  // cycles per input sample
  std::vector<Phase> phases(kUp);
  for (long p = 0; p < kUp; ++p) {
    const double frac = static_cast<double>(p) / kUp;
    double sum = 0;
    std::array<double, 2 * kHalfTaps> taps{};
    for (int j = 0; j < 2 * kHalfTaps; ++j) {
      const double t = (j - kHalfTaps + 1) - frac;  // input offset from the output time
      const double sinc = t == 0 ? 2 * fc : std::sin(2 * pi * fc * t) / (pi * t);
      const double n = (t + kHalfTaps) / (2.0 * kHalfTaps);  // 0..1 across the span
      const double window =
          n <= 0 || n >= 1 ? 0 : 0.42 - 0.5 * std::cos(2 * pi * n) + 0.08 * std::cos(4 * pi * n);
      taps[static_cast<size_t>(j)] = sinc * window;
      sum += taps[static_cast<size_t>(j)];
    }
    for (int j = 0; j < 2 * kHalfTaps; ++j)
      phases[static_cast<size_t>(p)][static_cast<size_t>(j)] =
          static_cast<float>(taps[static_cast<size_t>(j)] / sum);
  }
  return phases;
}

long floorDiv(long a, long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

std::vector<float> resampleTo16k(const std::vector<int16_t>& in, long first, size_t count) {
  static const std::vector<Phase> filter = makeFilter();
  const long n = static_cast<long>(in.size());
  std::vector<float> out(count);
  for (size_t i = 0; i < count; ++i) {
    const long k = first + static_cast<long>(i);
    const long base = floorDiv(k * kDown, kUp);
    const Phase& taps = filter[static_cast<size_t>(k * kDown - base * kUp)];
    double acc = 0;
    for (int j = 0; j < 2 * kHalfTaps; ++j) {
      const long at = base + j - kHalfTaps + 1;
      if (at >= 0 && at < n) acc += taps[static_cast<size_t>(j)] * in[static_cast<size_t>(at)];
    }
    out[i] = static_cast<float>(acc);
  }
  return out;
}

long toEngineRate(long espeakSample) {
  return std::lround(static_cast<double>(espeakSample) * kUp / kDown);
}
