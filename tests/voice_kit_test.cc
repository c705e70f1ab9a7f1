// The generated voice kit in the build tree: every sound the program plays
// is there in the form it reads, and the five unit databases are sound
// indexes over their sample files holding the whole inventory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
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

}  // namespace
