#include "tools/voice/sound_shaping.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/shared/riff.h"

namespace {

constexpr int kHalfTaps = 32;  // the filter spans 2 * kHalfTaps + 1 inputs
constexpr double kCutoffHz = 5000.0;
constexpr double kInputRate = 22050.0;

// Blackman-windowed sinc, normalised to unit gain at 0 Hz.
std::array<double, 2 * kHalfTaps + 1> lowPass() {
  std::array<double, 2 * kHalfTaps + 1> taps{};
  const double pi = std::acos(-1.0);
  const double fc = kCutoffHz / kInputRate;  // cycles per input sample
  double sum = 0;
  for (int k = -kHalfTaps; k <= kHalfTaps; ++k) {
    const double x = 2 * pi * fc * k;
    const double sinc = k == 0 ? 2 * fc : std::sin(x) / (pi * k);
    const double n = static_cast<double>(k + kHalfTaps) / (2 * kHalfTaps);
    const double window = 0.42 - 0.5 * std::cos(2 * pi * n) + 0.08 * std::cos(4 * pi * n);
    taps[static_cast<size_t>(k + kHalfTaps)] = sinc * window;
    sum += sinc * window;
  }
  for (double& t : taps) t /= sum;
  return taps;
}

}  // namespace

std::vector<float> halveRate(const std::vector<int16_t>& samples) {
  static const auto taps = lowPass();
  const long n = static_cast<long>(samples.size());
  std::vector<float> out(samples.size() / 2);
  for (size_t i = 0; i < out.size(); ++i) {
    const long centre = static_cast<long>(2 * i);
    double acc = 0;
    for (int k = -kHalfTaps; k <= kHalfTaps; ++k) {
      const long at = centre + k;
      if (at < 0 || at >= n) continue;  // silence beyond the edges
      acc += taps[static_cast<size_t>(k + kHalfTaps)] * samples[static_cast<size_t>(at)];
    }
    out[i] = static_cast<float>(acc);
  }
  return out;
}

Span trimSilence(const std::vector<float>& samples, Span span, float threshold,
                 size_t keep) {
  span.end = std::min(span.end, samples.size());
  size_t first = span.begin, last = span.end;
  while (first < last && std::fabs(samples[first]) < threshold) ++first;
  while (last > first && std::fabs(samples[last - 1]) < threshold) --last;
  if (first == last) return {span.begin, span.begin};
  first = first - std::min(keep, first - span.begin);
  last = last + std::min(keep, span.end - last);
  return {first, last};
}

Span snapToZeroCrossings(const std::vector<float>& samples, Span span,
                         size_t reach) {
  // A crossing at i lies between samples i - 1 and i.
  auto crossing = [&](size_t i) {
    return i > 0 && i < samples.size() &&
           (samples[i - 1] <= 0) != (samples[i] <= 0);
  };
  auto nearest = [&](size_t at, size_t low, size_t high) {
    for (size_t d = 0; d <= reach; ++d) {
      if (at >= d && at - d >= low && crossing(at - d)) return at - d;
      if (at + d <= high && crossing(at + d)) return at + d;
    }
    return at;
  };
  if (span.size() == 0) return span;
  const size_t middle = span.begin + span.size() / 2;
  Span out{nearest(span.begin, 0, middle), nearest(span.end, middle + 1, samples.size())};
  if (out.end <= out.begin) return span;
  return out;
}

namespace {
size_t gClipped = 0;  // for the report
}  // namespace

size_t clippedSamples() { return gClipped; }

std::vector<uint8_t> toUnsigned8(const std::vector<float>& samples, Span span,
                                 size_t fade, double gain) {
  span.end = std::min(span.end, samples.size());
  const size_t n = span.size();
  std::vector<uint8_t> out(n);
  fade = std::min(fade, n / 2);
  for (size_t i = 0; i < n; ++i) {
    double ramp = 1.0;
    if (i < fade) ramp = static_cast<double>(i + 1) / (fade + 1);
    if (n - 1 - i < fade) ramp = std::min(ramp, static_cast<double>(n - i) / (fade + 1));
    const double level = std::round(samples[span.begin + i] * gain * ramp / 256.0) + 128;
    if (level < 0 || level > 255) ++gClipped;
    out[i] = static_cast<uint8_t>(std::clamp(level, 0.0, 255.0));
  }
  return out;
}

std::vector<uint8_t> waveImage(const std::vector<uint8_t>& samples,
                               uint32_t rate) {
  std::vector<uint8_t> image(plat::kPcmHeaderBytes + samples.size());
  plat::writePcmHeader(image.data(), static_cast<uint32_t>(samples.size()), rate, 8, 1);
  std::copy(samples.begin(), samples.end(), image.begin() + plat::kPcmHeaderBytes);
  return image;
}
