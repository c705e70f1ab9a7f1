// The diphone synthesizer's start and end, its files, and the sound buffer
// its units are joined in. The group reader is diphone_groups.cc.
#include "synth/diphone_synth.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/platform.h"
#include "platform/shared/riff.h"
#include "platform/shared/whole_file.h"
#include "synth/diphone_rules.h"
#include "synth/diphone_sound.h"
#include "synth/family_settings.h"
#include "synth/speech_settings.h"
#include "synth/unit_database.h"
#include "synth/wave_player.h"

namespace {

constexpr size_t kHeaderBytes = plat::kPcmHeaderBytes;
// Far above any real index (65 536 units) or character recording; a bigger
// file is refused rather than read into memory.
constexpr std::uintmax_t kIndexBytesMax = 16u << 20;
constexpr std::uintmax_t kSoundBytesMax = 8u << 20;

struct DiphoneSynth {
  bool started = false;
  std::string lettersDirectory;  // character sounds; trailing separator
  std::string unitsDirectory;    // database and rules; trailing separator
  std::vector<UnitIndexEntry> index;  // sorted
  std::ifstream data;                 // the unit samples, open while started
  uint64_t dataBytes = 0;
  int unitCut = 400;
  int minimumUnit = 0;
  int groupGap = 100;
  DiphoneImagePlayer player = nullptr;
  size_t fill = kHeaderBytes;  // end of the samples in the buffer
  std::minstd_rand noise;
};

DiphoneSynth synthRecord;
uint8_t soundBuffer[kDiphoneBufferBytes];
DiphoneStats statsRecord;
// Where the last unit appended ends in the buffer: a unit appended right
// there makes a join.
size_t lastUnitEnd = 0;

// A unit cut short ends wherever the cut fell, often mid-wave; ending it
// instead at the last crossing of the middle line within a few
// milliseconds keeps the join with the next unit from clicking. A unit
// with no crossing there keeps its length.
constexpr size_t kSnapWindow = 64;

size_t snapToCrossing(const uint8_t* samples, size_t n) {
  const size_t low = n > kSnapWindow ? n - kSnapWindow : 1;
  for (size_t j = n - 1; j >= low && j > 0; --j) {
    const int a = samples[j - 1] - 128, b = samples[j] - 128;
    if (a == 0) return j;
    if ((a < 0) != (b < 0)) return std::abs(a) <= std::abs(b) ? j : j + 1;
  }
  return n;
}

void countSteps(const uint8_t* samples, size_t n) {
  if (n == 0) return;
  if (lastUnitEnd == static_cast<size_t>(samples - soundBuffer) && lastUnitEnd > kHeaderBytes) {
    ++statsRecord.joinSteps[std::abs(samples[0] - samples[-1])];
  }
  for (size_t i = 1; i < n; ++i) ++statsRecord.innerSteps[std::abs(samples[i] - samples[i - 1])];
}

std::filesystem::path native(const std::string& path) {
  return plat::system().nativePath(path);
}

std::string readDirectory(const char* key, const char* leaf) {
  const char sep = plat::system().pathSeparator();
  const std::string fallback = tarvekDirectory() + "som" + sep + leaf;
  // The speech layer reads its letters directory with the same buffer, so
  // both always name the same directory.
  return withTrailingSeparator(plat::readProfileString(
      "TRADUTOR", key, fallback.c_str(), "LUMIRA.INI", 255));
}

bool isDirectory(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::is_directory(native(path), ignored);
}

bool openDatabase(const std::string& base) {
  DiphoneSynth& s = synthRecord;
  std::string bytes;
  if (!plat::readWholeFile(native(base + ".IND"), &bytes, kIndexBytesMax)) {
    return false;
  }
  s.index = parseUnitIndex(reinterpret_cast<const uint8_t*>(bytes.data()),
                           bytes.size());
  sortUnitIndex(s.index);
  std::error_code error;
  const std::filesystem::path dataFile = native(base + ".DIF");
  if (!std::filesystem::is_regular_file(dataFile, error)) return false;
  s.data.open(dataFile, std::ios::binary);
  if (!s.data) return false;
  s.data.seekg(0, std::ios::end);
  const std::streamoff end = s.data.tellg();
  s.dataBytes = end > 0 ? static_cast<uint64_t>(end) : 0;
  return true;
}

void closeDatabase() {
  DiphoneSynth& s = synthRecord;
  if (s.data.is_open()) s.data.close();
  s.data.clear();
  s.index.clear();
  s.index.shrink_to_fit();
  s.dataBytes = 0;
}

// Reads what the data file holds of [offset, offset + n): an index may
// point past its end.
size_t readData(uint64_t offset, uint8_t* into, size_t n) {
  DiphoneSynth& s = synthRecord;
  if (offset >= s.dataBytes || n == 0) return 0;
  n = static_cast<size_t>(std::min<uint64_t>(n, s.dataBytes - offset));
  s.data.clear();
  s.data.seekg(static_cast<std::streamoff>(offset));
  s.data.read(reinterpret_cast<char*>(into), static_cast<std::streamsize>(n));
  return static_cast<size_t>(std::max<std::streamsize>(0, s.data.gcount()));
}

// Room for k more bytes, the buffer played first when they would fill it.
// Returns how many fit: less than k only for one sound longer than the
// whole buffer, which is cut to fit.
size_t makeRoom(uint64_t k) {
  if (synthRecord.fill + k >= kDiphoneBufferBytes) flushDiphoneSound();
  return static_cast<size_t>(
      std::min<uint64_t>(k, kDiphoneBufferBytes - synthRecord.fill));
}

std::string upperName(std::string_view name) {
  std::string upper(name);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

}  // namespace

int startDiphoneSynth() {
  endDiphoneSynth();
  DiphoneSynth& s = synthRecord;
  s.lettersDirectory = readDirectory("DIRLETRAS", "letras");
  s.unitsDirectory = readDirectory("DIRDIFONES", "difones");
  if (!isDirectory(s.lettersDirectory) || !isDirectory(s.unitsDirectory)) {
    return 1;
  }
  const std::string& name = speechSettings().databaseName;
  if (name.empty() || !openDatabase(s.unitsDirectory + name)) {
    closeDatabase();
    return 1;
  }
  if (!loadDiphoneRules(s.unitsDirectory + "regras.rgr") ||
      !loadDiphoneExceptions(s.unitsDirectory + "portug.exc")) {
    freeDiphoneRules();
    closeDatabase();
    return 2;
  }
  s.started = true;
  return 0;
}

void endDiphoneSynth() {
  if (synthRecord.started) freeDiphoneRules();
  closeDatabase();
  synthRecord.started = false;
  synthRecord.fill = kHeaderBytes;
}

void setDiphoneTuning(int unitCut, int minimumUnit, int groupGap) {
  synthRecord.unitCut = unitCut;
  synthRecord.minimumUnit = minimumUnit;
  synthRecord.groupGap = groupGap;
}

void setDiphoneImagePlayer(DiphoneImagePlayer player) {
  synthRecord.player = player;
}

void resetDiphoneSynth() {
  endDiphoneSynth();
  synthRecord = DiphoneSynth{};
}

DiphoneStats& diphoneStats() { return statsRecord; }
void clearDiphoneStats() { statsRecord = DiphoneStats{}; }

bool diphoneSynthStarted() { return synthRecord.started; }
int diphoneGroupGap() { return synthRecord.groupGap; }

bool appendDatabaseUnit(std::string_view name, int stressMode, double factor) {
  DiphoneSynth& s = synthRecord;
  const long at = findUnit(s.index, upperName(name));
  if (at < 0) return false;
  const UnitIndexEntry& unit = s.index[static_cast<size_t>(at)];
  int64_t keep = unit.length;
  if (stressMode < 2 && name.size() >= 3) {
    keep = int64_t{unit.length} - s.unitCut;
    if (keep < s.minimumUnit) {
      keep = unit.length >= s.minimumUnit ? s.minimumUnit : unit.length;
    }
  }
  // Tuning values come from the settings file: a negative cut or minimum
  // must not reach into the next unit's samples.
  keep = std::clamp<int64_t>(keep, 0, unit.length);
  const double bytes = std::floor(static_cast<double>(keep) * factor);
  const size_t k = makeRoom(bytes > 0 ? static_cast<uint64_t>(bytes) : 0);
  uint8_t* into = soundBuffer + s.fill;
  size_t n = readData(unit.offset, into, k);
  if (n > 0 && n < unit.length) n = snapToCrossing(into, n);
  countSteps(into, n);
  s.fill += n;
  lastUnitEnd = s.fill;
  return true;
}

bool appendCharacterSound(std::string_view name) {
  DiphoneSynth& s = synthRecord;
  std::string bytes;
  const std::string file = s.lettersDirectory + std::string(name) + ".wav";
  if (!plat::readWholeFile(native(file), &bytes, kSoundBytesMax)) return false;
  const auto* image = reinterpret_cast<const uint8_t*>(bytes.data());
  plat::WaveInfo info;
  size_t offset = 0;
  if (!plat::parseWaveImage(image, bytes.size(), &info, &offset)) return false;
  const size_t k = makeRoom(info.dataBytes);
  std::memcpy(soundBuffer + s.fill, image + offset, k);
  s.fill += k;
  return true;
}

void appendNoise(size_t samples) {
  DiphoneSynth& s = synthRecord;
  std::uniform_int_distribution<int> value(88, 167);
  const size_t k = makeRoom(samples);
  for (size_t i = 0; i < k; ++i) {
    soundBuffer[s.fill++] = static_cast<uint8_t>(value(s.noise));
  }
}

void appendSilence(int samples) {
  for (int block = 0; block < samples / 100; ++block) {
    const size_t k = makeRoom(100);
    std::memset(soundBuffer + synthRecord.fill, 128, k);
    synthRecord.fill += k;
  }
}

void flushDiphoneSound() {
  DiphoneSynth& s = synthRecord;
  lastUnitEnd = 0;
  if (s.fill <= kHeaderBytes) return;
  plat::writePcmHeader(soundBuffer, static_cast<uint32_t>(s.fill - kHeaderBytes),
                       kUnitSampleRate, 8, 1);
  s.fill = kHeaderBytes;
  // A key already stopped this text: the rest passes without sound.
  if (keyAvailable()) return;
  if (s.player) {
    s.player(soundBuffer);
    return;
  }
  playWaveImage(soundBuffer);
  while (isPlaying()) plat::window().waitEvent();
}
