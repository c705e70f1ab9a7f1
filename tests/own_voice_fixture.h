// A small diphone voice made in memory for the engine's own synthesizer,
// whose truth is known exactly: voiced phonemes are a train of decaying
// resonances at 125 Hz with a mark on every pulse, "s" is smoothed noise with
// evenly spaced stand-in marks, "_" is zeros. Each diphone starts its
// pulse train at its own phase, as diphones cut from speech do. Beside it,
// the measures the tests and the benchmark take of rendered speech.
#ifndef TALONIX_TESTS_OWN_VOICE_FIXTURE_H_
#define TALONIX_TESTS_OWN_VOICE_FIXTURE_H_

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

#include "tts/diphone_voice.h"

namespace ownvoice {

constexpr double kSourceHertz = 125;  // a period of 128 samples
constexpr int kPeriod = 128;

struct Sound {
  const char* name;
  int half;           // samples of the phoneme on each side of its cut
  double formant[2];  // 0: unvoiced noise (or silence for "_")
};

inline const std::vector<Sound>& sounds() {
  static const std::vector<Sound> all = {
      {"_", 640, {0, 0}},     {"a", 880, {700, 1100}}, {"i", 800, {300, 900}},
      {"o", 860, {450, 800}}, {"m", 640, {250, 600}},  {"s", 720, {0, 0}},
  };
  return all;
}

// One pulse's response `t` samples after it: two decaying resonances, low
// enough that a cut across a pulse would step further than any sample
// step inside a phoneme.
inline double pulse(const Sound& s, int t) {
  const double decay = std::exp(-t / 30.0);
  return 6000 * decay *
         (std::sin(2 * std::numbers::pi * s.formant[0] * t / 16000) +
          0.5 * std::sin(2 * std::numbers::pi * s.formant[1] * t / 16000));
}

// Every ordered pair of the sounds, except those in `without` ("a-i").
inline DiphoneVoice syntheticVoice(const std::vector<std::string>& without = {}) {
  DiphoneVoice v;
  v.sampleRate = 16000;
  v.sourcePitch = kSourceHertz;
  for (const Sound& s : sounds()) v.symbols.push_back(s.name);
  uint32_t noise = 12345;
  for (size_t l = 0; l < sounds().size(); ++l) {
    for (size_t r = 0; r < sounds().size(); ++r) {
      const Sound& left = sounds()[l];
      const Sound& right = sounds()[r];
      if (std::find(without.begin(), without.end(),
                    std::string(left.name) + "-" + right.name) != without.end()) {
        continue;
      }
      Diphone d;
      d.left = static_cast<uint8_t>(l);
      d.right = static_cast<uint8_t>(r);
      d.firstSample = static_cast<uint32_t>(v.samples.size());
      d.boundary = static_cast<uint32_t>(left.half);
      d.sampleCount = static_cast<uint32_t>(left.half + right.half);
      d.firstMark = static_cast<uint32_t>(v.marks.size());
      std::vector<double> x(d.sampleCount, 0.0);
      const int phase = static_cast<int>((l * 37 + r * 53) % kPeriod);
      const auto soundAt = [&](int n) -> const Sound& {
        return n < static_cast<int>(d.boundary) ? left : right;
      };
      // Voiced marks on the pulses, unvoiced stand-ins every 80 samples.
      std::vector<PitchMark> marks;
      for (int n = phase; n < static_cast<int>(d.sampleCount); n += kPeriod) {
        const Sound& s = soundAt(n);
        if (s.formant[0] == 0) continue;
        marks.push_back({static_cast<uint32_t>(n), true});
        const int stop = n < static_cast<int>(d.boundary) ? static_cast<int>(d.boundary)
                                                          : static_cast<int>(d.sampleCount);
        for (int t = 0; t < 2 * kPeriod && n + t < stop; ++t) x[n + t] += pulse(s, t);
      }
      for (int n = 0; n < static_cast<int>(d.sampleCount); ++n) {
        const Sound& s = soundAt(n);
        if (s.formant[0] == 0 && std::string(s.name) == "s") {
          noise = noise * 1103515245u + 12345u;
          // Quiet and smoothed, as fricatives are beside vowels.
          const double white = static_cast<double>((noise >> 16) % 2001) - 1000;
          x[n] = n > 0 && soundAt(n - 1).name == s.name ? 0.5 * (x[n - 1] + white) : white;
        }
        const int start = n < static_cast<int>(d.boundary) ? 0 : static_cast<int>(d.boundary);
        if (s.formant[0] == 0 && (n - start) % 80 == 40) {
          marks.push_back({static_cast<uint32_t>(n), false});
        }
      }
      std::sort(marks.begin(), marks.end(),
                [](const PitchMark& a, const PitchMark& b) { return a.position < b.position; });
      for (double sample : x) v.samples.push_back(static_cast<int16_t>(std::lround(sample)));
      v.marks.insert(v.marks.end(), marks.begin(), marks.end());
      d.markCount = static_cast<uint32_t>(marks.size());
      v.diphones.push_back(d);
    }
  }
  return v;
}

// The pitch of a stretch by normalised autocorrelation: the shortest lag
// at a peak whose correlation comes within 0.03 of the best, refined on a
// parabola. (A looser margin takes a strong second harmonic, as in "u",
// for the pitch.) The sound is first smoothed below about 2 kHz, as pitch
// trackers do, so that a period between two whole lags is not missed for
// one twice as long that happens to fall on a whole lag.
inline double measuredHertz(const int16_t* raw, size_t n, double rate = 16000) {
  const int minLag = static_cast<int>(rate / 1000), maxLag = static_cast<int>(rate / 50);
  if (n <= static_cast<size_t>(2 * maxLag) + 16) return 0;
  std::vector<double> x(raw, raw + n);
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t i = 0; i + 8 <= n; ++i) {
      double sum = 0;
      for (size_t k = 0; k < 8; ++k) sum += x[i + k];
      x[i] = sum / 8;
    }
  }
  n -= 16;
  const size_t span = n - static_cast<size_t>(maxLag) - 2;
  std::vector<double> r(static_cast<size_t>(maxLag) + 2, 0.0);
  double best = 0;
  for (int lag = minLag; lag <= maxLag + 1; ++lag) {
    double xy = 0, xx = 0, yy = 0;
    for (size_t i = 0; i < span; ++i) {
      xy += x[i] * x[i + lag];
      xx += x[i] * x[i];
      yy += x[i + lag] * x[i + lag];
    }
    r[lag] = xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0;
    best = std::max(best, r[lag]);
  }
  for (int lag = minLag + 1; lag <= maxLag; ++lag) {
    if (r[lag] >= best - 0.03 && r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1]) {
      const double a = r[lag - 1], b = r[lag], c = r[lag + 1];
      const double denominator = a - 2 * b + c;
      const double shift = denominator != 0 ? 0.5 * (a - c) / denominator : 0;
      return rate / (lag + shift);
    }
  }
  return 0;
}

// The given quantile (0..1) of the absolute steps between neighbouring
// samples at the positions listed.
inline double stepQuantile(const std::vector<int16_t>& y, const std::vector<size_t>& at,
                           double q) {
  std::vector<int> steps;
  for (size_t n : at) {
    if (n > 0 && n < y.size()) steps.push_back(std::abs(int{y[n]} - int{y[n - 1]}));
  }
  if (steps.empty()) return 0;
  std::sort(steps.begin(), steps.end());
  return steps[std::min(steps.size() - 1, static_cast<size_t>(q * steps.size()))];
}

// The engine's real voice, when this build made one: the environment's
// TALONIX_OWN_VOICE first, else where the voice kit writes it.
inline std::string realVoicePath() {
  if (const char* path = std::getenv("TALONIX_OWN_VOICE")) return path;
#ifdef TALONIX_OWN_VOICE_FILE
  return TALONIX_OWN_VOICE_FILE;
#else
  return "";
#endif
}

}  // namespace ownvoice

#endif  // TALONIX_TESTS_OWN_VOICE_FIXTURE_H_
