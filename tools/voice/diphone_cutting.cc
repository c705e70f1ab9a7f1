#include "tools/voice/diphone_cutting.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "tools/voice/pitch_marks.h"
#include "tools/voice/resample.h"

namespace {

using K = SymbolKind;

// Positions at espeak's 22 050 Hz.
constexpr long kFrame = 44;           // 2 ms: the step of the energy scans
constexpr double kQuiet = 350;        // RMS of a pause or a stop's closure
constexpr long kMaxClosure = 1100;    // 50 ms: longer is a pause, not a closure
constexpr long kBurstSlack = 264;     // 12 ms: a burst starting before its event
constexpr double kVoiceBar = 0.4;     // of a voiced stop, its closure's middle
constexpr long kLead = 660;           // 30 ms of the pause before the first phoneme
constexpr long kTail = 441;           // 20 ms of the pause after the last
// Positions at 16 kHz.
constexpr long kZeroReach = 16;       // a cut moves at most 1 ms to a quiet sample
constexpr long kFade = 32;            // 2 ms into and out of a pause

double frameRms(const std::vector<int16_t>& x, long from) {
  double sum = 0;
  long n = 0;
  for (long i = std::max(0L, from); i < from + kFrame && i < static_cast<long>(x.size()); ++i, ++n)
    sum += static_cast<double>(x[static_cast<size_t>(i)]) * x[static_cast<size_t>(i)];
  return n ? std::sqrt(sum / static_cast<double>(n)) : 0;
}

// Where each phoneme of the carrier lies in the utterance.
class Phones {
 public:
  Phones(const Utterance& u, std::vector<size_t> events,
         std::vector<const EngineSymbol*> symbols)
      : u_(u), events_(std::move(events)), symbols_(std::move(symbols)) {}

  long event(size_t k) const { return static_cast<long>(u_.phonemes[events_[k]].sample); }
  K kind(size_t k) const { return symbols_[k] ? symbols_[k]->kind : K::kConsonant; }

  // A stop begins where the sound before its burst falls silent: espeak
  // counts that closure in the phoneme before (a voiced stop's too, after
  // a consonant; after a vowel its event starts a voice bar). A hiatus glide
  // espeak puts between two vowels is shared by both.
  long start(size_t k) const {
    if (isStop(k)) return closure(k).first;
    const size_t e = events_[k];
    if (e > 0 && u_.phonemes[e - 1].name == ";")
      return (static_cast<long>(u_.phonemes[e - 1].sample) + event(k)) / 2;
    return event(k);
  }

  bool isStop(size_t k) const {
    return kind(k) == K::kVoicelessStop || kind(k) == K::kVoicedStop;
  }

  // The silent stretch before a stop's burst, which may come a
  // few milliseconds before espeak's event; empty at the event when none.
  std::pair<long, long> closure(size_t k) const {
    const long at = event(k);
    const long floor = k > 0 ? event(k - 1) + (at - event(k - 1)) / 3 : 0;
    auto quiet = [&](long to) {
      return to - kFrame >= floor && frameRms(u_.samples, to - kFrame) < kQuiet;
    };
    long burst = at;
    while (at - burst < kBurstSlack && burst - kFrame >= floor && !quiet(burst)) burst -= kFrame;
    if (!quiet(burst)) return {at, at};
    long begin = burst;
    while (burst - begin < kMaxClosure && quiet(begin)) begin -= kFrame;
    return {begin, burst};
  }

  // The next phoneme's start; the last one ends where its sound fades
  // into the pause, not where espeak's pause event comes.
  long end(size_t k) const {
    if (k + 1 < events_.size()) return start(k + 1);
    const size_t next = events_[k] + 1;
    long at = next < u_.phonemes.size() ? static_cast<long>(u_.phonemes[next].sample)
                                        : static_cast<long>(u_.samples.size());
    const long floor = event(k) + (at - event(k)) / 2;
    while (at - kFrame > floor && frameRms(u_.samples, at - kFrame) < kQuiet) at -= kFrame;
    return at;
  }

  // Stops are cut inside their closure, before the burst.
  long middle(size_t k) const {
    switch (kind(k)) {
      case K::kVoicelessStop:
      case K::kVoicedStop: {
        const auto [begin, burst] = closure(k);
        if (begin < burst) return (begin + burst) / 2;
        if (kind(k) == K::kVoicelessStop) return (begin + end(k)) / 2;
        return event(k) + static_cast<long>(kVoiceBar * static_cast<double>(end(k) - event(k)));
      }
      default: return (start(k) + end(k)) / 2;
    }
  }

 private:
  const Utterance& u_;
  std::vector<size_t> events_;
  std::vector<const EngineSymbol*> symbols_;
};

// The phoneme events of the carrier's phonemes; empty when espeak said
// something else (merged two phonemes, dropped or added one). Pauses and
// the glide of a hiatus (";") are not phonemes of ours.
std::vector<size_t> matchEvents(const Utterance& u, const Carrier& c) {
  std::vector<size_t> at;
  for (size_t i = 0; i < u.phonemes.size(); ++i) {
    const std::string& name = u.phonemes[i].name;
    if (!name.starts_with('_') && name != ";") at.push_back(i);
  }
  if (at.size() != c.phonemes.size()) return {};
  for (size_t k = 0; k < at.size(); ++k) {
    if (u.phonemes[at[k]].name != c.phonemes[k]) return {};
  }
  return at;
}

// The sample nearest zero within reach of `at` (an index into x, the
// nearest of equals), so that the diphone starts and ends quietly.
long quietestNear(const std::vector<float>& x, long at) {
  long best = at;
  for (long d = 0; d <= kZeroReach; ++d) {
    for (long i : {at - d, at + d}) {
      if (i >= 0 && i < static_cast<long>(x.size()) &&
          std::fabs(x[static_cast<size_t>(i)]) < std::fabs(x[static_cast<size_t>(best)]))
        best = i;
    }
  }
  return best;
}

}  // namespace

bool cutDiphone(const Utterance& spoken, const Carrier& carrier, const EngineSymbol& left,
                const EngineSymbol& right, double period, CutDiphone* out) {
  std::vector<size_t> events = matchEvents(spoken, carrier);
  if (events.empty()) return false;
  // The context's phonemes count as the symbols espeak says them for (a
  // stop after the pair has its closure too).
  std::vector<const EngineSymbol*> symbols;
  for (const std::string& p : carrier.phonemes) {
    const auto& all = engineSymbols();
    const auto at = std::find_if(all.begin(), all.end(),
                                 [&](const EngineSymbol& s) { return p == s.espeak; });
    symbols.push_back(at != all.end() ? &*at : nullptr);
  }
  if (carrier.left >= 0) symbols[static_cast<size_t>(carrier.left)] = &left;
  if (carrier.right >= 0) symbols[static_cast<size_t>(carrier.right)] = &right;
  const Phones phones(spoken, std::move(events), std::move(symbols));
  const auto l = static_cast<size_t>(carrier.left), r = static_cast<size_t>(carrier.right);
  long start, boundary, end;
  if (carrier.left < 0) {
    boundary = phones.start(r);
    start = boundary - kLead;
    end = phones.middle(r);
  } else if (carrier.right < 0) {
    start = phones.middle(l);
    boundary = phones.end(l);
    end = boundary + kTail;
  } else {
    start = phones.middle(l);
    boundary = phones.start(r);
    end = phones.middle(r);
  }
  if (!(start < boundary && boundary < end)) return false;

  // At 16 kHz, with room around the cut for the voicing decisions.
  const long margin = static_cast<long>(3 * period);
  long s = toEngineRate(start), b = toEngineRate(boundary), e = toEngineRate(end);
  const long first = s - margin;
  const std::vector<float> wide =
      resampleTo16k(spoken.samples, first, static_cast<size_t>(e - s + 2 * margin));
  s = quietestNear(wide, s - first) + first;
  e = quietestNear(wide, e - 1 - first) + first + 1;  // its last sample
  if (!(s < b && b < e)) return false;

  out->samples.resize(static_cast<size_t>(e - s));
  const long n = e - s;
  for (long i = 0; i < n; ++i) {
    double v = wide[static_cast<size_t>(s - first + i)];
    // Pauses begin and end at zero.
    if (carrier.left < 0 && i < kFade) v *= static_cast<double>(i) / kFade;
    if (carrier.right < 0 && n - 1 - i < kFade) v *= static_cast<double>(n - 1 - i) / kFade;
    out->samples[static_cast<size_t>(i)] =
        static_cast<int16_t>(std::clamp(std::lround(v), -32768L, 32767L));
  }
  out->boundary = static_cast<uint32_t>(b - s);
  out->marks.clear();
  for (const PitchMark& m : pitchMarks(wide, period)) {
    const long at = static_cast<long>(m.position) + first;
    if (at >= s && at < e) out->marks.push_back({static_cast<uint32_t>(at - s), m.voiced});
  }
  return true;
}

CutDiphone silenceDiphone(double period) {
  CutDiphone d;
  d.samples.assign(2 * kLead * kEngineRate / kEspeakRate, 0);
  d.boundary = static_cast<uint32_t>(d.samples.size() / 2);
  d.marks = pitchMarks(std::vector<float>(d.samples.size(), 0.0f), period);
  return d;
}
