#include "tts/psola_stream.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
// Pitches beyond speech are held at these bounds rather than refused.
constexpr double kLowestHertz = 20, kHighestHertz = 1600;
// Unvoiced marks further apart or closer than these are stand-ins gone
// wrong; the spacing is kept sensible.
constexpr double kNarrowestSpacing = 16, kWidestSpacing = 800;
// After a silence the first grain fades in over about half a source
// period, so sound never starts with a step.
constexpr double kLongestFadeIn = 80;

int64_t nearest(double x) { return static_cast<int64_t>(std::llround(x)); }

// The window's weight `t` samples from its centre, on a side `half` long.
double hann(double t, double half) {
  return half > 0 ? 0.5 * (1 + std::cos(kPi * t / half)) : 1.0;
}

// The diphone's sound between its samples (Catmull-Rom), so grains sit at
// their exact place and a period that is not a whole number of samples
// does not jitter; indices stay inside the diphone.
double sourceAt(const int16_t* x, int64_t n, double at) {
  const double whole = std::floor(at);
  const double f = at - whole;
  const int64_t i = static_cast<int64_t>(whole);
  const auto s = [&](int64_t k) -> double { return x[std::clamp<int64_t>(k, 0, n - 1)]; };
  const double p0 = s(i - 1), p1 = s(i), p2 = s(i + 1), p3 = s(i + 2);
  return p1 + 0.5 * f * (p2 - p0 + f * (2 * p0 - 5 * p1 + 4 * p2 - p3 + f * (3 * (p1 - p2) + p3 - p0)));
}

}  // namespace

PsolaStream::PsolaStream(const DiphoneVoice& voice)
    : voice_(voice),
      silenceSymbol_(voice.symbolIndex("_")),
      sourcePeriod_(voice.sourcePitch > 0 ? voice.sampleRate / voice.sourcePitch : 128),
      samplesPerMs_(voice.sampleRate / 1000.0) {}

PsolaStream::Added PsolaStream::add(const PhonemeLine& line, bool lackingRefused) {
  const bool silent = line.name == "_";
  const int symbol = voice_.symbolIndex(line.name);
  if (symbol < 0 && !silent) return Added::kUnknownSymbol;
  if (!open_) startUtterance();
  const Phone& prev = phones_.back();
  const Diphone* in = prev.symbol < 0 || symbol < 0
                          ? nullptr
                          : voice_.find(voice_.symbols[prev.symbol], line.name);
  // Between two silences there is nothing to sound, and the stream's own
  // edges are never the caller's fault.
  if (!in && lackingRefused && !prev.edge && !(prev.silent && silent)) {
    return Added::kMissingDiphone;
  }
  const double startMs = ms_;
  append(symbol, silent, false, line.ms).in = in;
  for (const PitchTarget& t : line.targets) {
    pitch_.add(static_cast<double>(base_) +
                   (startMs + line.ms * t.percent / 100) * samplesPerMs_,
               t.hertz);
  }
  render();
  return Added::kOk;
}

void PsolaStream::finish() {
  if (!open_) return;
  const Phone& last = phones_.back();
  const Diphone* out = last.symbol < 0 || silenceSymbol_ < 0
                           ? nullptr
                           : voice_.find(voice_.symbols[last.symbol], "_");
  Phone& edge = append(silenceSymbol_, true, true, 0);
  edge.in = out;
  const int64_t end = edge.end;
  closed_ = true;
  render();
  settled_ = std::max(settled_, end);
  growTo(end);
  base_ = end;
  open_ = closed_ = false;
  phones_.clear();
  pitch_.clear();
}

size_t PsolaStream::readable() const {
  return settled_ > readPos_ ? static_cast<size_t>(settled_ - readPos_) : 0;
}

size_t PsolaStream::take(int16_t* out, size_t wanted) {
  const size_t n = std::min(wanted, readable());
  growTo(settled_);
  const float* from = out_.data() + (readPos_ - outBase_);
  for (size_t i = 0; i < n; ++i) {
    const float v = std::round(from[i]);
    out[i] = static_cast<int16_t>(std::clamp(v, -32768.0f, 32767.0f));
  }
  readPos_ += static_cast<int64_t>(n);
  // Samples handed out are dropped once there are enough to be worth it.
  const int64_t spent = readPos_ - outBase_;
  if (spent >= (int64_t{1} << 15)) {
    out_.erase(out_.begin(), out_.begin() + spent);
    outBase_ = readPos_;
  }
  return n;
}

void PsolaStream::clear() {
  phones_.clear();
  pitch_.clear();
  open_ = closed_ = false;
  base_ = 0;
  ms_ = 0;
  mark_ = 0;
  lastCentre_ = 0;
  settled_ = 0;
  out_.clear();
  outBase_ = readPos_ = 0;
}

void PsolaStream::startUtterance() {
  phones_.clear();
  pitch_.clear();
  ms_ = 0;
  open_ = true;
  closed_ = false;
  append(silenceSymbol_, true, true, 0);
  lastCentre_ = static_cast<double>(base_);
  mark_ = lastCentre_ + std::min(sourcePeriod_ / 2, kLongestFadeIn);
  settled_ = std::max(settled_, base_);
}

PsolaStream::Phone& PsolaStream::append(int symbol, bool silent, bool edge, double ms) {
  Phone p;
  p.symbol = symbol;
  p.silent = silent;
  p.edge = edge;
  p.start = phones_.empty() ? base_ : phones_.back().end;
  p.mid = base_ + nearest((ms_ + ms / 2) * samplesPerMs_);
  ms_ += ms;
  p.end = base_ + nearest(ms_ * samplesPerMs_);
  phones_.push_back(p);
  return phones_.back();
}

void PsolaStream::render() {
  for (;;) {
    Grain grain;
    int64_t silentUntil = -1;
    if (!locate(mark_, &grain, &silentUntil)) break;
    if (silentUntil >= 0) {
      // Nothing sounds inside a pause; the next grain fades in after it.
      lastCentre_ = static_cast<double>(silentUntil);
      settled_ = std::max(settled_, silentUntil);
      mark_ = lastCentre_ + std::min(sourcePeriod_ / 2, kLongestFadeIn);
      continue;
    }
    const double spacing = placeGrain(grain);
    if (spacing <= 0) break;
    // Later grains reach back no further than this one's centre.
    lastCentre_ = mark_;
    settled_ = std::max(settled_, static_cast<int64_t>(std::floor(mark_)));
    mark_ += spacing;
  }
  // Keep the phoneme before the next mark's: its diphone may be needed.
  while (phones_.size() >= 3 && phones_[1].end <= settled_) phones_.pop_front();
  pitch_.dropBefore(static_cast<double>(settled_));
}

bool PsolaStream::locate(double at, Grain* grain, int64_t* silentUntil) const {
  const int64_t centre = static_cast<int64_t>(std::floor(at));
  const auto after = std::upper_bound(
      phones_.begin(), phones_.end(), centre,
      [](int64_t c, const Phone& p) { return c < p.start; });
  if (after == phones_.begin()) return false;
  const size_t j = static_cast<size_t>(after - phones_.begin()) - 1;
  const Phone& here = phones_[j];
  if (centre >= here.end) return false;  // past every phoneme known
  if (here.silent) {
    *silentUntil = here.end;
    return true;
  }
  grain->centre = at;
  if (centre < here.mid && j == 0) {
    grain->lo = here.start;
    grain->hi = here.end;
    return true;  // no neighbour left to make a diphone with: silence
  }
  const size_t a = centre < here.mid ? j - 1 : j;
  if (a + 1 >= phones_.size()) return false;  // the next phoneme is not known yet
  const Phone& left = phones_[a];
  const Phone& right = phones_[a + 1];
  grain->lo = left.silent ? right.start : left.start;
  grain->hi = right.silent ? right.start : right.end;
  grain->diphone = right.in;
  if (const Diphone* d = right.in) {
    const double c = at;
    if (centre < right.start) {
      grain->source = d->boundary * (c - left.mid) / static_cast<double>(right.start - left.mid);
    } else {
      grain->source = d->boundary + (d->sampleCount - d->boundary) * (c - right.start) /
                                        static_cast<double>(right.mid - right.start);
    }
  }
  return true;
}

double PsolaStream::placeGrain(const Grain& grain) {
  const Diphone* d = grain.diphone;
  if (d == nullptr) return sourcePeriod_;  // a pair the voice lacks: silence
  const int64_t n = d->sampleCount;
  const PitchMark* marks = voice_.marksOf(*d);
  double m = std::clamp(std::round(grain.source), 0.0, static_cast<double>(n - 1));
  bool voiced = false;
  double before = sourcePeriod_, after = sourcePeriod_;
  if (d->markCount > 0) {
    const PitchMark* end = marks + d->markCount;
    const PitchMark* k = std::lower_bound(
        marks, end, grain.source,
        [](const PitchMark& mark, double s) { return mark.position < s; });
    if (k == end || (k != marks && grain.source - (k - 1)->position < k->position - grain.source)) {
      --k;
    }
    // The periods on either side of a mark (the outer marks take their
    // one neighbour's).
    const auto periods = [&](const PitchMark* at, double* b, double* a) {
      if (at + 1 != end) *a = (at + 1)->position - at->position;
      *b = at != marks ? at->position - (at - 1)->position : *a;
      if (at + 1 == end) *a = *b;
    };
    periods(k, &before, &after);
    // A mark too near the diphone's ends would give a grain cut short,
    // and a gap in the sound: the nearest one with room is taken.
    while (k != marks && k->position + after > static_cast<double>(n - 1)) {
      periods(--k, &before, &after);
    }
    while (k + 1 != end && k->position < before) periods(++k, &before, &after);
    m = std::min<double>(k->position, static_cast<double>(n - 1));
    voiced = k->voiced;
  }
  const double c = grain.centre;
  double spacing;
  if (voiced) {
    if (!pitch_.settledAt(c, closed_)) return 0;
    const double hz = pitch_.at(c, voice_.sourcePitch);
    spacing = voice_.sampleRate / std::clamp(hz, kLowestHertz, kHighestHertz);
  } else {
    spacing = std::clamp(after, kNarrowestSpacing, kWidestSpacing);
  }
  // Each half of the window is as long as the source period on its side,
  // but no longer than the distance to the neighbouring output mark (so
  // neighbours cross-fade), the output the diphone owns, or the diphone.
  const double left =
      std::max(0.0, std::min({before, c - lastCentre_, c - static_cast<double>(grain.lo) + 1, m}));
  const double right = std::max(0.0, std::min({after, spacing, static_cast<double>(grain.hi) - c,
                                               static_cast<double>(n - 1) - m}));
  const int64_t first = static_cast<int64_t>(std::floor(c - left)) + 1;
  const int64_t last = static_cast<int64_t>(std::ceil(c + right)) - 1;
  if (last < first) return spacing;
  growTo(last + 1);
  const int16_t* x = voice_.samplesOf(*d);
  float* y = out_.data() + (first - outBase_);
  for (int64_t i = first; i <= last; ++i, ++y) {
    const double t = static_cast<double>(i) - c;
    const double w = t < 0 ? hann(t, left) : hann(t, right);
    *y += static_cast<float>(w * sourceAt(x, n, m + t));
  }
  return spacing;
}

void PsolaStream::growTo(int64_t position) {
  if (position > outBase_ + static_cast<int64_t>(out_.size())) {
    out_.resize(static_cast<size_t>(position - outBase_), 0.0f);
  }
}
