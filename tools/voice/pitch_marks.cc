#include "tools/voice/pitch_marks.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kSearch = 0.2;             // a period may stray this far
constexpr double kVoicedCorrelation = 0.8;  // fricative noise mostly stays below
constexpr double kVoicedSpread = 0.06;      // how far a voiced period strays
constexpr double kVoicedLevel = 150;        // RMS: quieter is a closure's hum at most
// 80..400 Hz at 16 kHz: the pitch any voice of espeak's is given.
constexpr size_t kShortestLag = 40, kLongestLag = 200;

double rms(const std::vector<float>& x, size_t from, size_t to) {
  double sum = 0;
  for (size_t i = from; i < to; ++i) sum += static_cast<double>(x[i]) * x[i];
  return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0;
}

// Normalised correlation of x[a, a + len) with the same shifted by lag.
double correlation(const std::vector<float>& x, size_t a, size_t len, size_t lag) {
  double xy = 0, xx = 0, yy = 0;
  for (size_t i = a; i < a + len; ++i) {
    xy += static_cast<double>(x[i]) * x[i + lag];
    xx += static_cast<double>(x[i]) * x[i];
    yy += static_cast<double>(x[i + lag]) * x[i + lag];
  }
  return xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0;
}

// A low-passed copy: `passes` passes of a box 2 * half + 1 samples long.
std::vector<float> smoothed(const std::vector<float>& x, size_t half, int passes) {
  half = std::max<size_t>(1, half);
  std::vector<float> a = x, b(x.size());
  for (int pass = 0; pass < passes; ++pass) {
    for (size_t i = 0; i < a.size(); ++i) {
      const size_t from = i >= half ? i - half : 0, to = std::min(a.size(), i + half + 1);
      double sum = 0;
      for (size_t k = from; k < to; ++k) sum += a[k];
      b[i] = static_cast<float>(sum / static_cast<double>(to - from));
    }
    std::swap(a, b);
  }
  return a;
}

size_t peakIn(const std::vector<float>& x, size_t from, size_t to) {
  return static_cast<size_t>(std::max_element(x.begin() + static_cast<long>(from),
                                              x.begin() + static_cast<long>(to) + 1) -
                             x.begin());
}

// The mark a period after (dir 1) or before (dir -1) the mark at p: the
// fundamental's peak 0.8 to 1.2 periods away; -1 past the samples.
long nextMark(const std::vector<float>& fundamental, long p, int dir, double period) {
  const long n = static_cast<long>(fundamental.size());
  const long near = static_cast<long>(std::ceil((1 - kSearch) * period));
  const long far = static_cast<long>((1 + kSearch) * period);
  const long lo = dir > 0 ? p + near : p - far, hi = dir > 0 ? p + far : p - near;
  if (lo < 0 || hi >= n) return -1;
  return static_cast<long>(peakIn(fundamental, static_cast<size_t>(lo), static_cast<size_t>(hi)));
}

// Voiced marks of the run [a, b): the peaks of its fundamental, one a
// period, from the highest. The fundamental has a single peak in each
// period where the sound itself may have two alike (a vowel whose first
// formant lies near twice the pitch, u or i), so every diphone of a vowel
// puts its marks at the same phase.
void markRun(const std::vector<float>& fundamental, size_t a, size_t b, double period,
             std::vector<size_t>* marks) {
  // The highest true peak: the run's edge may only be on a rising slope.
  long anchor = -1;
  for (size_t i = a + 1; i + 1 < b; ++i) {
    if (fundamental[i] >= fundamental[i - 1] && fundamental[i] > fundamental[i + 1] &&
        (anchor < 0 || fundamental[i] > fundamental[static_cast<size_t>(anchor)]))
      anchor = static_cast<long>(i);
  }
  if (anchor < 0) return;
  std::vector<size_t> before;
  for (long p = anchor;;) {
    p = nextMark(fundamental, p, -1, period);
    if (p < static_cast<long>(a)) break;
    before.push_back(static_cast<size_t>(p));
  }
  marks->insert(marks->end(), before.rbegin(), before.rend());
  marks->push_back(static_cast<size_t>(anchor));
  for (long p = anchor;;) {
    p = nextMark(fundamental, p, 1, period);
    if (p < 0 || p >= static_cast<long>(b)) break;
    marks->push_back(static_cast<size_t>(p));
  }
}

}  // namespace

double measurePeriod(const std::vector<float>& samples) {
  const size_t len = 1600;  // 100 ms: some twenty periods
  if (samples.size() < len + kLongestLag + 2) return 0;
  // The loudest stretch is the steadiest part of a vowel.
  size_t best = 0;
  double loudest = -1;
  for (size_t a = 0; a + len + kLongestLag + 2 <= samples.size(); a += 160) {
    const double level = rms(samples, a, a + len);
    if (level > loudest) loudest = level, best = a;
  }
  std::vector<double> r(kLongestLag + 2, 0);
  double top = 0;
  for (size_t lag = kShortestLag - 1; lag <= kLongestLag + 1; ++lag) {
    r[lag] = correlation(samples, best, len, lag);
    top = std::max(top, r[lag]);
  }
  // The shortest lag nearly as good as the best: the period, not a multiple.
  for (size_t lag = kShortestLag; lag <= kLongestLag; ++lag) {
    if (r[lag] < 0.9 * top || r[lag] < r[lag - 1] || r[lag] < r[lag + 1]) continue;
    if (top < kVoicedCorrelation) return 0;
    const double denominator = r[lag - 1] - 2 * r[lag] + r[lag + 1];
    const double shift = denominator != 0 ? 0.5 * (r[lag - 1] - r[lag + 1]) / denominator : 0;
    return static_cast<double>(lag) + std::clamp(shift, -0.5, 0.5);
  }
  return 0;
}

namespace {

// Voiced: loud enough, and repeating at the source period itself (the
// voice is monotone): espeak's fricative noise repeats too, but weakly and
// at any shift.
bool voicedAt(const std::vector<float>& x, size_t at, double period) {
  const size_t len = static_cast<size_t>(std::lround(period));
  const size_t longest = static_cast<size_t>(std::ceil((1 + kVoicedSpread) * period));
  if (len == 0 || x.size() < len + longest + 1) return false;
  size_t a = at >= len ? at - len : 0;
  a = std::min(a, x.size() - len - longest - 1);
  if (rms(x, a, a + 2 * len) < kVoicedLevel) return false;
  const size_t shortest = static_cast<size_t>((1 - kVoicedSpread) * period);
  for (size_t lag = shortest; lag <= longest; ++lag) {
    if (correlation(x, a, len, lag) >= kVoicedCorrelation) return true;
  }
  return false;
}

}  // namespace

std::vector<PitchMark> pitchMarks(const std::vector<float>& samples, double period) {
  const size_t n = samples.size();
  if (n == 0 || period < 2) return {};
  // Boxes half a period long null the even harmonics; four passes bring
  // the third 38 dB below the fundamental, so a first formant there (o, O)
  // does not move the peak.
  const std::vector<float> fundamental = smoothed(samples, static_cast<size_t>(period / 4), 4);
  // Voiced runs, decided every half period.
  const size_t hop = std::max<size_t>(1, static_cast<size_t>(period / 2));
  std::vector<std::pair<size_t, size_t>> runs;
  for (size_t at = 0; at < n; at += hop) {
    if (!voicedAt(samples, at + hop / 2, period)) continue;
    const size_t end = std::min(n, at + hop);
    if (!runs.empty() && runs.back().second == at) runs.back().second = end;
    else runs.emplace_back(at, end);
  }
  // A dip shorter than two periods does not stop the voice (the marks go
  // on through it at the same phase); a run shorter than a period and a
  // half is chance, not a voice.
  for (size_t i = 1; i < runs.size();) {
    if (runs[i].first - runs[i - 1].second < 2 * period) {
      runs[i - 1].second = runs[i].second;
      runs.erase(runs.begin() + static_cast<long>(i));
    } else {
      ++i;
    }
  }
  std::erase_if(runs, [&](const auto& r) { return r.second - r.first < 1.5 * period; });
  std::vector<size_t> voiced;
  for (const auto& [a, b] : runs) markRun(fundamental, a, b, period, &voiced);

  // Unvoiced stand-ins fill the rest, about a period apart.
  std::vector<PitchMark> marks;
  auto add = [&](double at, bool isVoiced) {
    const auto p = static_cast<uint32_t>(std::lround(at));
    if (p < n && (marks.empty() || p > marks.back().position)) marks.push_back({p, isVoiced});
  };
  if (voiced.empty()) {
    for (double at = period / 2; at < static_cast<double>(n); at += period) add(at, false);
    return marks;
  }
  const double first = static_cast<double>(voiced.front());
  const long lead = static_cast<long>(first / period);
  for (long j = lead; j >= 1; --j) add(first - static_cast<double>(j) * period, false);
  for (size_t i = 0; i < voiced.size(); ++i) {
    add(static_cast<double>(voiced[i]), true);
    if (i + 1 == voiced.size()) break;
    const double gap = static_cast<double>(voiced[i + 1] - voiced[i]);
    const long steps = std::lround(gap / period);
    for (long j = 1; j < steps; ++j) {
      const double share = static_cast<double>(j) / static_cast<double>(steps);
      add(static_cast<double>(voiced[i]) + gap * share, false);
    }
  }
  for (double at = static_cast<double>(voiced.back()) + period; at < static_cast<double>(n);
       at += period)
    add(at, false);
  return marks;
}
