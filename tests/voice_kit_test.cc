// The generated voice kit in the build tree: every sound the program plays
// is there in the form it reads, the five unit databases are sound
// indexes over their sample files holding the whole inventory, and the
// engine's own voice has every diphone it lists, with true pitch marks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/catalogue.h"
#include "platform/shared/riff.h"
#include "speech/number_words.h"
#include "synth/unit_database.h"
#include "synth/voice_defaults.h"
#include "tests/test_files.h"
#include "tts/diphone_voice.h"
#include "tts/prosody.h"

namespace {

namespace fs = std::filesystem;

#ifdef TALONIX_VOICE_KIT_DIR
const fs::path kKit = TALONIX_VOICE_KIT_DIR;
#else
const fs::path kKit;
#endif

// Problems with one recording: format, header size, silence at the ends.
std::string checkRecording(const fs::path& path) {
  const std::string bytes = testfiles::readAll(path);
  if (bytes.size() <= plat::kPcmHeaderBytes) return "missing or empty";
  const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
  if (bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 8, "WAVEfmt ") != 0 ||
      bytes.compare(36, 4, "data") != 0)
    return "not a canonical RIFF WAV";
  if (plat::get32(b + 16) != 16 || plat::get16(b + 20) != 1 || plat::get16(b + 22) != 1 ||
      plat::get32(b + 24) != 11025 || plat::get16(b + 34) != 8)
    return "not 8-bit mono PCM at 11025 Hz";
  const size_t samples = bytes.size() - plat::kPcmHeaderBytes;
  if (plat::get32(b + 40) != samples || plat::get32(b + 4) != samples + 36)
    return "lengths do not match the file";
  // Silence: within one level of the middle. At most 20 ms at each end.
  auto quiet = [&](size_t i) { return std::abs(b[plat::kPcmHeaderBytes + i] - 128) <= 1; };
  size_t lead = 0, trail = 0;
  while (lead < samples && quiet(lead)) ++lead;
  while (trail < samples && quiet(samples - 1 - trail)) ++trail;
  if (lead == samples) return "silent";
  if (lead > 221 || trail > 221) return "more than 20 ms of silence at an end";
  return "";
}

// The names the program forms for number words: accents dropped,
// seventeen renamed, cut to 8 characters.
void addNumberNames(uint64_t n, std::set<std::string>* names) {
  std::string words = numberWords(n) + " ";
  for (size_t at = 0, end; (end = words.find(' ', at)) != std::string::npos; at = end + 1) {
    std::string word = words.substr(at, end - at);
    if (word.empty()) continue;
    for (char& c : word) c = c == '\xE3' ? 'a' : c == '\xF5' ? 'o' : c;
    if (word == "dezessete") word = "dezeset";
    names->insert(("_" + word).substr(0, 8));
  }
}

std::vector<std::string> inventory() {
  const std::vector<std::string> onsets = {
      "", "B", "K", "D", "F", "G", "J", "L", "LH", "M", "N", "NH", "P",
      "R", "RR", "S", "T", "V", "X", "Z", "TCH", "DJ", "KS", "KW", "GW"};
  const std::vector<std::string> marks = {"", "CIRC", "TIL"};
  std::vector<std::string> names;
  for (const char* vowel : {"A", "E", "I", "O", "U"}) {
    for (const std::string& mark : marks) {
      for (const std::string& onset : onsets) names.push_back("$" + onset + vowel + mark);
      for (const char* glide : {"Y", "W"}) names.push_back(std::string("$") + vowel + glide + mark);
    }
  }
  for (const char* lone : {"B", "K", "D", "F", "G", "J", "L", "M", "N", "P",
                                  "R", "RR", "S", "T", "V", "X", "Z", "Y", "W", "NN"})
    names.push_back(std::string("$") + lone);
  std::erase_if(names, [](const std::string& n) { return n.size() > kUnitNameMax; });
  return names;
}

TEST(VoiceKit, EveryPlayedSoundIsARecordingTheProgramCanRead) {
  if (kKit.empty()) GTEST_SKIP() << "built without espeak-ng: no voice kit";
  std::set<std::string> letters = {
      "_zero", "_MENOS", "_uma", "_duas", "_primeir", "_de", "_e", "_hora",
      "_horas", "_minuto", "_minutos", "_DEL", "_APFCPO", "_APICPO", "_CPOAPA",
      "_FALACI", "_FALDLG", "_VELOC", "_Domingo", "_Segunda", "_Terca", "_Quarta",
      "_Quinta", "_Sexta", "_Sabado", "_Janeiro", "_Feverei", "_Marco", "_Abril",
      "_Maio", "_Junho", "_Julho", "_Agosto", "_Setembr", "_Outubro", "_Novembr",
      "_Dezembr", "dtmf_#", "dtmf_X"};
  for (int c = 32; c < 256; ++c) {
    const bool unassigned = c == 127 || c == 129 || c == 141 || c == 143 || c == 144 || c == 157;
    if (!unassigned) letters.insert("_" + std::to_string(c));
    if (c < 128 && std::isalpha(c)) letters.insert("_FON" + std::to_string(c));
  }
  for (char d = '0'; d <= '9'; ++d) letters.insert(std::string("dtmf_") + d);
  for (uint64_t n = 0; n < 2000; ++n) addNumberNames(n, &letters);
  for (uint64_t n : {2000000ull, 1000000ull, 3000000000ull, 1000000000ull})
    addNumberNames(n, &letters);
  for (const std::string& name : letters)
    EXPECT_EQ(checkRecording(kKit / "som" / "letras" / (name + ".wav")), "") << name;
  for (int i = 0; i < catalogueSize(); ++i) {
    const std::string id = catalogueIdentifier(i);
    EXPECT_EQ(checkRecording(kKit / "som" / "talonix" / (id + ".wav")), "") << id;
  }
}

TEST(VoiceKit, UnitDatabasesAreSortedIndexesHoldingTheInventory) {
  if (kKit.empty()) GTEST_SKIP() << "built without espeak-ng: no voice kit";
  const std::vector<std::string> names = inventory();
  double previousAverage = 1e9;
  for (const VoiceDefaults& speed : kVoiceDefaults) {
    SCOPED_TRACE(speed.database);
    const fs::path base = kKit / "som" / "difones" / speed.database;
    const std::string index = testfiles::readAll(base.string() + ".IND");
    const std::string data = testfiles::readAll(base.string() + ".DIF");
    const size_t dataSize = data.size();
    ASSERT_GT(index.size(), 0u);
    ASSERT_EQ(index.size() % kUnitRecordSize, 0u);
    const auto entries = parseUnitIndex(reinterpret_cast<const uint8_t*>(index.data()),
                                        index.size());
    double total = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
      if (i > 0) {
        EXPECT_TRUE(unitNameLess(entries[i - 1].name, entries[i].name)) << entries[i].name;
      }
      EXPECT_GT(entries[i].length, 0u) << entries[i].name;
      ASSERT_LE(uint64_t{entries[i].offset} + entries[i].length, dataSize) << entries[i].name;
      total += entries[i].length;
      // Sound inside, and ends at the middle line, so that any two units
      // join without a click.
      const auto* unit = reinterpret_cast<const uint8_t*>(data.data()) + entries[i].offset;
      const uint8_t* last = unit + entries[i].length - 1;
      EXPECT_LE(std::abs(unit[0] - 128), 2) << entries[i].name;
      EXPECT_LE(std::abs(*last - 128), 2) << entries[i].name;
      EXPECT_GT(*std::max_element(unit, last + 1), 128 + 4) << entries[i].name;
    }
    for (const std::string& name : names) EXPECT_GE(findUnit(entries, name), 0) << name;
    // A faster speed is cut from faster speech.
    const double average = total / static_cast<double>(entries.size());
    EXPECT_LT(average, previousAverage);
    previousAverage = average;
  }
  for (const char* file : {"regras.rgr", "portug.exc"}) {
    if (fs::exists(fs::path(TALONIX_SOURCE_DIR) / "data" / "voice" / file)) {
      EXPECT_TRUE(fs::exists(kKit / "som" / "difones" / file)) << file;
    }
  }
}

// The largest magnitude among samples [from, to) of a diphone.
int loudest(const DiphoneVoice& v, const Diphone& d, uint32_t from, uint32_t to) {
  int top = 0;
  for (uint32_t i = from; i < to && i < d.sampleCount; ++i)
    top = std::max(top, std::abs(static_cast<int>(v.samplesOf(d)[i])));
  return top;
}

// The shift that best lines up two periods of sound around the voiced
// mark nearest the end of `a` with two around the one nearest the start
// of `b` (the same phoneme's middle seen from its two diphones).
int markShift(const DiphoneVoice& v, const Diphone& a, const Diphone& b, double period) {
  auto nearest = [&](const Diphone& d, double at) {
    long best = -1;
    for (uint32_t i = 0; i < d.markCount; ++i) {
      const long p = v.marksOf(d)[i].position;
      if (v.marksOf(d)[i].voiced && (best < 0 || std::abs(p - at) < std::abs(best - at))) best = p;
    }
    return best;
  };
  const long t = std::lround(period);
  const long ma = nearest(a, a.sampleCount - 2.0 * period), mb = nearest(b, 2.0 * period);
  int shift = 0;
  double top = -2;
  for (long lag = -t / 2; lag <= t / 2; ++lag) {
    double xy = 0, xx = 0, yy = 0;
    for (long k = -t; k < t; ++k) {
      const long p = ma + k, q = mb + k + lag;
      if (p < 0 || q < 0 || p >= static_cast<long>(a.sampleCount) || q >= static_cast<long>(b.sampleCount)) continue;
      const double x = v.samplesOf(a)[p], y = v.samplesOf(b)[q];
      xy += x * y, xx += x * x, yy += y * y;
    }
    const double r = xy / std::sqrt(xx * yy + 1);
    if (r > top) top = r, shift = static_cast<int>(lag);
  }
  return shift;
}

TEST(VoiceKit, EngineVoiceHasEveryListedDiphoneWithMarksOnTheSourcePeriod) {
  if (kKit.empty()) GTEST_SKIP() << "built without espeak-ng: no voice kit";
  const std::string bytes = testfiles::readAll(kKit / "vireatts" / "br4.voz");
  DiphoneVoice v;
  std::string error;
  ASSERT_TRUE(parseDiphoneVoice(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                &v, &error))
      << error;
  // Near the middle of the engine's pitch targets.
  EXPECT_GT(v.sourcePitch, 170);
  EXPECT_LT(v.sourcePitch, 230);
  const double period = v.sampleRate / v.sourcePitch;

  resetProsody();
  ASSERT_TRUE(loadDiphonesFromBytes(
      testfiles::readAll(fs::path(TALONIX_SOURCE_DIR) / "data" / "tts" / "portug.dfn")));
  const std::vector<std::string> listed = prosodyState().diphones;
  resetProsody();
  EXPECT_EQ(listed.size(), 1673u);
  EXPECT_EQ(v.diphones.size(), listed.size());
  for (const std::string& pair : listed) {
    const size_t dash = pair.find('-');
    EXPECT_NE(v.find(pair.substr(0, dash), pair.substr(dash + 1)), nullptr) << pair;
  }

  // Voiced marks a period apart (a slip of phase would show as a shorter
  // or longer step), every diphone marked, both phonemes in it.
  uint64_t intervals = 0, close = 0;
  for (const Diphone& d : v.diphones) {
    const std::string name = v.symbols[d.left] + "-" + v.symbols[d.right];
    EXPECT_GT(d.boundary, 0u) << name;
    EXPECT_LT(d.boundary, d.sampleCount) << name;
    EXPECT_GE(d.markCount, d.sampleCount / static_cast<uint32_t>(period * 1.3)) << name;
    const PitchMark* m = v.marksOf(d);
    for (uint32_t i = 1; i < d.markCount; ++i) {
      if (!m[i].voiced || !m[i - 1].voiced) continue;
      const double step = (m[i].position - m[i - 1].position) / period;
      EXPECT_GE(step, 0.79) << name;
      EXPECT_LE(step, 1.21) << name;
      ++intervals;
      if (std::abs(step - 1) <= 0.05) ++close;
    }
  }
  EXPECT_GE(static_cast<double>(close), 0.95 * static_cast<double>(intervals));

  // Every diphone of a vowel marks it at the same phase, so that grains
  // from the two diphones of one phoneme add up instead of cancelling:
  // the periods around a mark of each line up with no shift.
  for (const char* vowel : {"a", "e", "i", "o", "O", "u", "an"}) {
    const Diphone* in = v.find("p", vowel);
    const Diphone* out = v.find(vowel, "t");
    ASSERT_TRUE(in && out) << vowel;
    EXPECT_LE(std::abs(markShift(v, *in, *out, period)), 3) << vowel;
    EXPECT_LE(std::abs(markShift(v, *v.find("_", vowel), *v.find(vowel, "_"), period)), 3)
        << vowel;
  }

  // Vowels are voiced throughout; voiceless fricatives not at all.
  auto voicedShare = [&](const char* a, const char* b) {
    const Diphone* d = v.find(a, b);
    if (d == nullptr) return -1.0;
    uint32_t n = 0;
    for (uint32_t i = 0; i < d->markCount; ++i) n += v.marksOf(*d)[i].voiced;
    return static_cast<double>(n) / d->markCount;
  };
  for (const auto& [a, b] : {std::pair("a", "e"), {"o", "i"}, {"an", "u"}, {"m", "a"}, {"a", "j"}})
    EXPECT_EQ(voicedShare(a, b), 1.0) << a << "-" << b;
  for (const auto& [a, b] : {std::pair("s", "s"), {"S", "s"}, {"s", "S"}, {"_", "s"}})
    EXPECT_EQ(voicedShare(a, b), 0.0) << a << "-" << b;

  // Pauses are near silence (what sounds there is a fricative fading in
  // or out, 30 dB down) beyond 10 ms of the boundary, and a voiceless
  // stop keeps its closure: silent before its burst.
  for (const Diphone& d : v.diphones) {
    const std::string name = v.symbols[d.left] + "-" + v.symbols[d.right];
    if (v.symbols[d.left] == "_") {
      EXPECT_LT(loudest(v, d, 0, d.boundary), 1000) << name;
    }
    if (v.symbols[d.right] == "_") {
      EXPECT_LT(loudest(v, d, d.boundary + 160, d.sampleCount), 1000) << name;
    }
  }
  for (const char* stop : {"p", "t", "k", "tS"}) {
    const Diphone* before = v.find("a", stop);
    ASSERT_NE(before, nullptr);
    EXPECT_LT(loudest(v, *before, before->boundary + 80, before->sampleCount), 300) << stop;
    const Diphone* after = v.find(stop, "a");
    ASSERT_NE(after, nullptr);
    EXPECT_LT(loudest(v, *after, 0, 80), 300) << stop;
  }
}

}  // namespace
