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

double hann(int64_t j, int64_t half) {
  return 0.5 * (1 + std::cos(kPi * static_cast<double>(j) / static_cast<double>(half)));
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
  lastCentre_ = settled_ = 0;
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
  lastCentre_ = base_;
  mark_ = static_cast<double>(base_) + std::min(sourcePeriod_ / 2, kLongestFadeIn);
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
    const int64_t centre = nearest(mark_);
    Grain grain;
    int64_t silentUntil = -1;
    if (!locate(centre, &grain, &silentUntil)) break;
    if (silentUntil >= 0) {
      // Nothing sounds inside a pause; the next grain fades in after it.
      lastCentre_ = silentUntil;
      settled_ = std::max(settled_, silentUntil);
      mark_ = static_cast<double>(silentUntil) + std::min(sourcePeriod_ / 2, kLongestFadeIn);
      continue;
    }
    const double spacing = placeGrain(grain);
    if (spacing <= 0) break;
    lastCentre_ = centre;
    settled_ = std::max(settled_, centre);
    mark_ += spacing;
  }
  // Keep the phoneme before the next mark's: its diphone may be needed.
  while (phones_.size() >= 3 && phones_[1].end <= settled_) phones_.pop_front();
  pitch_.dropBefore(static_cast<double>(settled_));
}

bool PsolaStream::locate(int64_t centre, Grain* grain, int64_t* silentUntil) const {
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
  grain->centre = centre;
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
    const double c = static_cast<double>(centre);
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
  int64_t m = std::clamp<int64_t>(nearest(grain.source), 0, n - 1);
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
    m = std::min<int64_t>(k->position, n - 1);
    voiced = k->voiced;
    if (k + 1 != end) after = (k + 1)->position - k->position;
    before = k != marks ? k->position - (k - 1)->position : after;
    if (k + 1 == end) after = before;
  }
  double spacing;
  if (voiced) {
    if (!pitch_.settledAt(static_cast<double>(grain.centre), closed_)) return 0;
    const double hz = pitch_.at(static_cast<double>(grain.centre), voice_.sourcePitch);
    spacing = voice_.sampleRate / std::clamp(hz, kLowestHertz, kHighestHertz);
  } else {
    spacing = std::clamp(after, kNarrowestSpacing, kWidestSpacing);
  }
  const int64_t c = grain.centre;
  const int64_t next = nearest(mark_ + spacing);
  // Each half of the window is as long as the source period on its side,
  // but no longer than the distance to the neighbouring output mark (so
  // neighbours cross-fade), the output the diphone owns, or the diphone.
  const int64_t left = std::max<int64_t>(
      1, std::min<int64_t>({nearest(before), c - lastCentre_, c - grain.lo + 1, m + 1}));
  const int64_t right = std::max<int64_t>(
      1, std::min<int64_t>({nearest(after), next - c, grain.hi - c, n - m}));
  growTo(c + right);
  const int16_t* x = voice_.samplesOf(*d) + m;
  float* y = out_.data() + (c - outBase_);
  for (int64_t j = 1 - left; j < 0; ++j) y[j] += static_cast<float>(hann(j, left) * x[j]);
  for (int64_t j = 0; j < right; ++j) y[j] += static_cast<float>(hann(j, right) * x[j]);
  return spacing;
}

void PsolaStream::growTo(int64_t position) {
  if (position > outBase_ + static_cast<int64_t>(out_.size())) {
    out_.resize(static_cast<size_t>(position - outBase_), 0.0f);
  }
}
