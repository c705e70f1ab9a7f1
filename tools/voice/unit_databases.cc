#include "tools/voice/unit_databases.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "synth/unit_database.h"
#include "tools/voice/espeak_session.h"
#include "tools/voice/recordings.h"
#include "tools/voice/sound_shaping.h"

namespace {

constexpr size_t kClosure = 380;  // 35 ms of silence before a burst
constexpr size_t kFade = 17;      // 1.5 ms
constexpr size_t kZeroReach = 40; // how far an end may move to a crossing

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// The length the synthesizer keeps of an unstressed unit.
size_t cutLength(size_t length, int unitCut, int minimumUnit) {
  const long cut = static_cast<long>(length) - unitCut;
  if (cut >= minimumUnit) return static_cast<size_t>(cut);
  return length >= static_cast<size_t>(minimumUnit) ? static_cast<size_t>(minimumUnit) : length;
}

}  // namespace

std::vector<uint8_t> cutUnit(const UnitRecipe& recipe, JoinFigures* figures) {
  const Utterance spoken = speakEspeak(recipe.carrier, true);
  const auto& events = spoken.phonemes;
  if (recipe.after < 1 || events.size() < recipe.before + recipe.after + 1 ||
      events[events.size() - recipe.after].name != recipe.next) {
    std::string seen;
    for (const PhonemeEvent& e : events) seen += " " + e.name;
    figures->problems.push_back(recipe.name + " from " + recipe.carrier + ":" + seen);
    return {};
  }
  const std::vector<float> halved = halveRate(spoken.samples);
  Span span{events[recipe.before].sample / 2, events[events.size() - recipe.after].sample / 2};
  span = trimSilence(halved, span, kSilenceLevel, 0);
  span = snapToZeroCrossings(halved, span, kZeroReach);
  std::vector<uint8_t> unit = toUnsigned8(halved, span, kFade, kSpeechGain);
  if (recipe.closure && !unit.empty()) unit.insert(unit.begin(), kClosure, 128);
  return unit;
}

bool writeUnitDatabase(const std::string& directory, const std::string& name,
                       int wordsPerMinute, int unitCut, int minimumUnit,
                       JoinFigures* figures) {
  setEspeakVoice(wordsPerMinute, true);
  std::vector<UnitIndexEntry> index;
  std::vector<uint8_t> data;
  int firstLow = 255, firstHigh = 0, lastLow = 255, lastHigh = 0;
  int cutLow = 255, cutHigh = 0;
  std::vector<int> cutEnds;
  for (const UnitRecipe& recipe : unitInventory()) {
    const std::vector<uint8_t> unit = cutUnit(recipe, figures);
    if (unit.empty() || unit.size() > 0xFFFF) continue;
    index.push_back({recipe.name, static_cast<uint16_t>(unit.size()),
                     static_cast<uint32_t>(data.size())});
    data.insert(data.end(), unit.begin(), unit.end());
    for (size_t i = 1; i < unit.size(); ++i)
      ++figures->insideSteps[static_cast<size_t>(std::abs(unit[i] - unit[i - 1]))];
    firstLow = std::min<int>(firstLow, unit.front());
    firstHigh = std::max<int>(firstHigh, unit.front());
    lastLow = std::min<int>(lastLow, unit.back());
    lastHigh = std::max<int>(lastHigh, unit.back());
    // Units of 3 or more name characters lose their end when unstressed.
    const size_t kept = recipe.name.size() >= 3
                            ? cutLength(unit.size(), unitCut, minimumUnit)
                            : unit.size();
    const int end = kept > 0 ? unit[kept - 1] : 128;
    cutEnds.push_back(end);
    cutLow = std::min(cutLow, end);
    cutHigh = std::max(cutHigh, end);
  }
  // The widest step between any end and any start.
  auto widest = [&](int endLow, int endHigh) {
    return std::max(std::abs(endHigh - firstLow), std::abs(firstHigh - endLow));
  };
  figures->largestWholeJoin = std::max(figures->largestWholeJoin, widest(lastLow, lastHigh));
  figures->largestCutJoin = std::max(figures->largestCutJoin,
                                     widest(std::min(cutLow, lastLow), std::max(cutHigh, lastHigh)));
  for (const int end : cutEnds)
    ++figures->cutJoinSteps[static_cast<size_t>(std::max(std::abs(end - firstLow), std::abs(end - firstHigh)))];
  figures->units += index.size();
  figures->bytes += data.size();
  const std::string base = directory + "/" + name;
  return writeBytes(base + ".IND", unitIndexImage(std::move(index))) &&
         writeBytes(base + ".DIF", data);
}

int stepPercentile(const std::array<uint64_t, 256>& steps, double share) {
  uint64_t total = 0;
  for (uint64_t n : steps) total += n;
  uint64_t seen = 0;
  for (size_t step = 0; step < steps.size(); ++step) {
    seen += steps[step];
    if (static_cast<double>(seen) >= share * static_cast<double>(total))
      return static_cast<int>(step);
  }
  return 255;
}
