#include "tools/voice/diphone_voice_kit.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/voice/diphone_cutting.h"
#include "tools/voice/pitch_marks.h"
#include "tools/voice/resample.h"
#include "tts/prosody.h"

namespace {

// The Brazilian voice with a female variant that adds no echo, breath or
// flutter (those would smear one phoneme into the next and shake the
// monotone), raised to about 200 Hz: the middle of the engine's pitch
// targets (150 to 300 Hz), so that neither end is stretched far. This
// variant speaks fast; 110 words a minute keep its vowels steady.
constexpr const char* kVoiceName = "pt-br+Andrea";
constexpr int kVoicePitch = 40;
constexpr int kWordsPerMinute = 110;

using Pair = std::pair<const EngineSymbol*, const EngineSymbol*>;

struct Figures {
  std::vector<uint64_t> steps = std::vector<uint64_t>(65536);  // |x[i] - x[i-1]|
  int largestEdge = 0;  // the largest first or last sample
  // Per symbol: the lowest and highest last sample of the diphones ending
  // in it, and first sample of those beginning with it.
  std::vector<std::array<int, 4>> joins =
      std::vector<std::array<int, 4>>(engineSymbols().size(), {32767, -32768, 32767, -32768});
  std::vector<uint64_t> intervals = std::vector<uint64_t>(201);  // per cent of the period
  uint64_t marks = 0, voicedMarks = 0;
  std::vector<std::string> approximated, failed;
};

int indexOf(const EngineSymbol* s) { return static_cast<int>(s - engineSymbols().data()); }

// The pairs of the definitions file, read by the engine's own reader.
bool readPairs(const std::string& path, std::vector<Pair>* pairs) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "talonix-voice: cannot read %s\n", path.c_str());
    return false;
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  loadDiphonesFromBytes(bytes.str());
  const std::vector<std::string> entries = prosodyState().diphones;
  resetProsody();
  for (const std::string& entry : entries) {
    const size_t dash = entry.find('-');
    const EngineSymbol* a = findEngineSymbol(entry.substr(0, dash));
    const EngineSymbol* b = findEngineSymbol(entry.substr(dash + 1));
    if (!a || !b) {
      std::fprintf(stderr, "talonix-voice: %s: unknown symbol in %s\n", path.c_str(),
                   entry.c_str());
      return false;
    }
    pairs->emplace_back(a, b);
  }
  return !pairs->empty();
}

// The source period at 16 kHz, measured on a long stressed vowel.
double sourcePeriod() {
  const Utterance u = speakEspeak("[[t'ata]]", true);
  const size_t count = static_cast<size_t>(toEngineRate(static_cast<long>(u.samples.size())));
  return measurePeriod(resampleTo16k(u.samples, 0, count));
}

bool cutPair(const Pair& pair, double period, CutDiphone* cut, Figures* figures) {
  const std::string name = std::string(pair.first->name) + "-" + pair.second->name;
  if (pair.first->kind == SymbolKind::kSilence && pair.second->kind == SymbolKind::kSilence) {
    *cut = silenceDiphone(period);
    return true;
  }
  const std::vector<Carrier> carriers = carriersFor(*pair.first, *pair.second);
  std::string heard;
  for (size_t i = 0; i < carriers.size(); ++i) {
    const Utterance spoken = speakEspeak(carriers[i].text, true);
    if (cutDiphone(spoken, carriers[i], *pair.first, *pair.second, period, cut)) {
      if (i > 0) figures->approximated.push_back(name + " from " + carriers[i].text);
      return true;
    }
    if (i == 0) {
      for (const PhonemeEvent& e : spoken.phonemes) heard += " " + e.name;
    }
  }
  figures->failed.push_back(name + ": " + (carriers.empty() ? "" : carriers[0].text) +
                            " said as" + heard);
  return false;
}

void measure(const Pair& pair, const CutDiphone& cut, double period, Figures* f) {
  const std::vector<int16_t>& x = cut.samples;
  for (size_t i = 1; i < x.size(); ++i) ++f->steps[static_cast<size_t>(std::abs(x[i] - x[i - 1]))];
  f->largestEdge = std::max({f->largestEdge, std::abs(x.front()), std::abs(x.back())});
  auto& ends = f->joins[static_cast<size_t>(indexOf(pair.second))];
  ends[0] = std::min<int>(ends[0], x.back());
  ends[1] = std::max<int>(ends[1], x.back());
  auto& starts = f->joins[static_cast<size_t>(indexOf(pair.first))];
  starts[2] = std::min<int>(starts[2], x.front());
  starts[3] = std::max<int>(starts[3], x.front());
  for (size_t i = 0; i < cut.marks.size(); ++i) {
    ++f->marks;
    if (!cut.marks[i].voiced) continue;
    ++f->voicedMarks;
    if (i > 0 && cut.marks[i - 1].voiced) {
      const double ratio = (cut.marks[i].position - cut.marks[i - 1].position) / period;
      ++f->intervals[std::min<size_t>(200, static_cast<size_t>(std::lround(ratio * 100)))];
    }
  }
}

uint64_t countIn(const std::vector<uint64_t>& h, size_t from, size_t to) {
  uint64_t n = 0;
  for (size_t i = from; i <= to && i < h.size(); ++i) n += h[i];
  return n;
}

size_t percentile(const std::vector<uint64_t>& h, double share) {
  const uint64_t total = countIn(h, 0, h.size());
  uint64_t seen = 0;
  for (size_t i = 0; i < h.size(); ++i) {
    seen += h[i];
    if (static_cast<double>(seen) >= share * static_cast<double>(total)) return i;
  }
  return h.size();
}

void printFigures(const DiphoneVoice& voice, size_t bytes, const Figures& f, double seconds) {
  std::printf("talonix-voice: engine voice: %zu diphones, %zu bytes, source pitch %.2f Hz "
              "(espeak-ng %s, pitch %d, %d words a minute)\n",
              voice.diphones.size(), bytes, voice.sourcePitch, kVoiceName, kVoicePitch,
              kWordsPerMinute);
  int join = 0;
  for (const auto& j : f.joins) {
    if (j[0] > j[1] || j[2] > j[3]) continue;
    join = std::max({join, std::abs(j[1] - j[2]), std::abs(j[3] - j[0])});
  }
  std::printf("  step inside diphones, 99.9th percentile: %zu; largest sample at an edge: %d;"
              " largest step from any A-B to any B-C: %d\n",
              percentile(f.steps, 0.999), f.largestEdge, join);
  const uint64_t intervals = countIn(f.intervals, 0, 200);
  auto share = [&](size_t from, size_t to) {
    return intervals ? 100.0 * static_cast<double>(countIn(f.intervals, from, to)) /
                           static_cast<double>(intervals)
                     : 0.0;
  };
  size_t low = 0, high = 200;
  while (low < 200 && f.intervals[low] == 0) ++low;
  while (high > 0 && f.intervals[high] == 0) --high;
  std::printf("  pitch marks: %llu, %llu voiced; voiced intervals within 2 %% of the period: "
              "%.1f %%, within 5 %%: %.1f %%, from %zu %% to %zu %%\n",
              static_cast<unsigned long long>(f.marks),
              static_cast<unsigned long long>(f.voicedMarks), share(98, 102), share(95, 105),
              low, high);
  for (const std::string& a : f.approximated)
    std::printf("  from a second-choice carrier: %s\n", a.c_str());
  std::printf("  generated in %.2f s\n", seconds);
}

bool writeFile(const std::string& file, const std::vector<uint8_t>& bytes) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::create_directories(fs::path(file).parent_path(), error);
  // Written beside and renamed, so that a build never sees half a voice.
  const std::string temporary = file + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) return false;
  }
  fs::rename(temporary, file, error);
  return !error;
}

}  // namespace

bool writeEngineVoice(const std::string& definitions, const std::string& file) {
  const auto started = std::chrono::steady_clock::now();
  std::vector<Pair> pairs;
  if (!readPairs(definitions, &pairs)) return false;
  if (!setEspeakMonotoneVoice(kVoiceName, kWordsPerMinute, kVoicePitch)) {
    std::fprintf(stderr, "talonix-voice: espeak-ng has no voice %s\n", kVoiceName);
    return false;
  }
  const double period = sourcePeriod();
  if (period <= 0) {
    std::fprintf(stderr, "talonix-voice: the source pitch cannot be measured\n");
    return false;
  }
  DiphoneVoice voice;
  voice.sourcePitch = kEngineRate / period;
  for (const EngineSymbol& s : engineSymbols()) voice.symbols.emplace_back(s.name);
  // Stored in the order the reader keeps them.
  std::sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) {
    return std::pair(indexOf(a.first), indexOf(a.second)) <
           std::pair(indexOf(b.first), indexOf(b.second));
  });
  Figures figures;
  CutDiphone cut;
  for (const Pair& pair : pairs) {
    if (!cutPair(pair, period, &cut, &figures)) continue;
    measure(pair, cut, period, &figures);
    Diphone d;
    d.left = static_cast<uint8_t>(indexOf(pair.first));
    d.right = static_cast<uint8_t>(indexOf(pair.second));
    d.firstSample = static_cast<uint32_t>(voice.samples.size());
    d.sampleCount = static_cast<uint32_t>(cut.samples.size());
    d.boundary = cut.boundary;
    d.firstMark = static_cast<uint32_t>(voice.marks.size());
    d.markCount = static_cast<uint32_t>(cut.marks.size());
    voice.samples.insert(voice.samples.end(), cut.samples.begin(), cut.samples.end());
    voice.marks.insert(voice.marks.end(), cut.marks.begin(), cut.marks.end());
    voice.diphones.push_back(d);
  }
  for (const std::string& f : figures.failed)
    std::fprintf(stderr, "talonix-voice: diphone not cut: %s\n", f.c_str());
  if (!figures.failed.empty()) return false;
  const std::vector<uint8_t> bytes = encodeDiphoneVoice(voice);
  // What the engine will read must read back whole.
  DiphoneVoice check;
  std::string error;
  if (!parseDiphoneVoice(bytes.data(), bytes.size(), &check, &error) || !writeFile(file, bytes)) {
    std::fprintf(stderr, "talonix-voice: cannot write %s %s\n", file.c_str(), error.c_str());
    return false;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  printFigures(voice, bytes.size(), figures, seconds);
  return true;
}
