// The engine's own voice file: a small voice written and read back whole,
// from memory and from a file, and every kind of damage refused without
// leaving half a voice behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/shared/riff.h"
#include "tests/test_files.h"
#include "tts/diphone_voice.h"

namespace {

namespace fs = std::filesystem;

// Three symbols, the diphones stored out of order, one of them unvoiced.
DiphoneVoice smallVoice() {
  DiphoneVoice v;
  v.sourcePitch = 201.25;
  v.symbols = {"_", "a", "tS"};
  v.samples = {0, 5, -7, 32767, -32768, 11, 12, 13, 14, 15};
  v.marks = {{1, true}, {3, true}, {0, false}, {2, false}, {3, false}};
  // a-tS: samples 0..5, marks 0..1; _-a: samples 5..9, marks 2..4;
  // tS-_: the last sample, no mark.
  v.diphones = {{1, 2, 0, 5, 3, 0, 2}, {0, 1, 5, 4, 2, 2, 3}, {2, 0, 9, 1, 0, 5, 0}};
  return v;
}

bool parse(const std::vector<uint8_t>& bytes, DiphoneVoice* voice, std::string* error) {
  // An exactly sized copy, so that a read past the end is caught by ASan.
  std::unique_ptr<uint8_t[]> copy(new uint8_t[bytes.size() + 1]);
  std::copy(bytes.begin(), bytes.end(), copy.get());
  return parseDiphoneVoice(copy.get(), bytes.size(), voice, error);
}

// Byte offsets of the small voice's fields.
constexpr size_t kRate = 8, kPitch = 12, kSymbols = 16;
constexpr size_t kDiphones = kSymbols + 4 + 2 + 2 + 3;  // after "_", "a", "tS"
constexpr size_t kRecord = 22;
constexpr size_t kSamples = kDiphones + 4 + 3 * kRecord;
constexpr size_t kMarks = kSamples + 4 + 10 * 2;

TEST(DiphoneVoice, RoundTripsAndRefusesEveryDamage) {
  const std::vector<uint8_t> bytes = encodeDiphoneVoice(smallVoice());
  ASSERT_EQ(bytes.size(), kMarks + 4 + 5 * 4);
  DiphoneVoice v;
  std::string error;
  ASSERT_TRUE(parse(bytes, &v, &error)) << error;
  EXPECT_EQ(v.sampleRate, 16000u);
  EXPECT_DOUBLE_EQ(v.sourcePitch, 201.25);
  EXPECT_EQ(v.symbols, (std::vector<std::string>{"_", "a", "tS"}));
  EXPECT_EQ(v.samples, smallVoice().samples);
  // Sorted by pair, and found by name only as stored (letter case counts).
  ASSERT_EQ(v.diphones.size(), 3u);
  EXPECT_EQ(v.diphones[0].left, 0);
  EXPECT_EQ(v.diphones[2].left, 2);
  const Diphone* d = v.find("_", "a");
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->boundary, 2u);
  EXPECT_EQ(v.samplesOf(*d)[3], 14);
  ASSERT_EQ(d->markCount, 3u);
  EXPECT_FALSE(v.marksOf(*d)[2].voiced);
  EXPECT_EQ(v.marksOf(*d)[2].position, 3u);
  const Diphone* a = v.find("a", "tS");
  ASSERT_NE(a, nullptr);
  EXPECT_TRUE(v.marksOf(*a)[1].voiced);
  EXPECT_EQ(v.samplesOf(*a)[3], 32767);
  EXPECT_EQ(v.samplesOf(*a)[4], -32768);
  EXPECT_EQ(v.find("tS", "_")->markCount, 0u);
  EXPECT_EQ(v.find("a", "a"), nullptr);
  EXPECT_EQ(v.find("A", "tS"), nullptr);
  EXPECT_EQ(v.find("x", "_"), nullptr);
  EXPECT_EQ(v.symbolIndex("tS"), 2);
  EXPECT_EQ(v.symbolIndex("t"), -1);
  EXPECT_EQ(encodeDiphoneVoice(v).size(), bytes.size());

  // The same from a file; a missing one and a directory are refused.
  plat::headless::HeadlessConfig config;
  const fs::path dir = fs::temp_directory_path() / "talonix-diphone-voice-test";
  fs::create_directories(dir);
  config.configDir = config.workDir = dir;
  plat::headless::HeadlessPlatform platform(config);
  platform.install();
  testfiles::writeFile(dir / "br4.voz", std::string(bytes.begin(), bytes.end()));
  DiphoneVoice loaded;
  EXPECT_TRUE(loadDiphoneVoice((dir / "br4.voz").string(), &loaded, &error)) << error;
  EXPECT_EQ(loaded.diphones.size(), 3u);
  EXPECT_FALSE(loadDiphoneVoice((dir / "none.voz").string(), &loaded, &error));
  EXPECT_TRUE(loaded.diphones.empty());
  EXPECT_FALSE(loadDiphoneVoice(dir.string(), &loaded, &error));
  EXPECT_FALSE(loadDiphoneVoice("", &loaded, &error));
  plat::headless::uninstall();
  fs::remove_all(dir);

  // Every damage: a whole voice goes in first, so that a refusal must
  // also empty it.
  using Edit = std::function<void(std::vector<uint8_t>&)>;
  auto set32 = [](size_t at, uint32_t value) {
    return Edit([=](std::vector<uint8_t>& b) { plat::put32(b.data() + at, value); });
  };
  const size_t first = kDiphones + 4;  // the first record: a-tS
  const std::vector<std::pair<const char*, Edit>> damages = {
      {"empty", [](auto& b) { b.clear(); }},
      {"wrong magic", [](auto& b) { b[6] = '2'; }},
      {"other rate", set32(kRate, 22050)},
      {"no pitch", set32(kPitch, 0)},
      {"absurd pitch", set32(kPitch, 0xFFFFFFFF)},
      {"no symbols", set32(kSymbols, 0)},
      {"too many symbols", set32(kSymbols, 256)},
      {"symbols past the end", set32(kSymbols, 255)},
      {"empty symbol", [](auto& b) { b[kSymbols + 4] = 0; }},
      {"symbol with a blank", [](auto& b) { b[kSymbols + 5] = ' '; }},
      {"symbol twice", [](auto& b) { b[kSymbols + 7] = '_'; }},
      {"no diphones", set32(kDiphones, 0)},
      {"too many diphones", set32(kDiphones, 65536)},
      {"diphones past the end", set32(kDiphones, 60000)},
      {"unknown symbol", [=](auto& b) { b[first] = 3; }},
      {"pair twice", [=](auto& b) { b[first] = 0, b[first + 1] = 1; }},
      {"no samples in a diphone", set32(first + 6, 0)},
      {"samples past the array", set32(first + 6, 11)},
      {"first sample overflows", set32(first + 2, 0xFFFFFFFF)},
      {"boundary outside", set32(first + 10, 6)},
      {"marks past the array", set32(first + 18, 6)},
      {"first mark overflows", set32(first + 14, 0xFFFFFFF0)},
      {"samples past the end", set32(kSamples, 0x7FFFFFFF)},
      {"marks past the end", set32(kMarks, 6)},
      {"mark outside its diphone", set32(kMarks + 4 + 4, 0x80000005)},
      {"marks out of order", set32(kMarks + 4 + 4, 0x80000001)},
      {"bytes left over", [](auto& b) { b.push_back(0); }},
      {"cut short", [](auto& b) { b.pop_back(); }},
  };
  for (const auto& [name, edit] : damages) {
    std::vector<uint8_t> broken = bytes;
    edit(broken);
    DiphoneVoice voice = smallVoice();
    error.clear();
    EXPECT_FALSE(parse(broken, &voice, &error)) << name;
    EXPECT_FALSE(error.empty()) << name;
    EXPECT_TRUE(voice.symbols.empty() && voice.diphones.empty() && voice.samples.empty())
        << name;
  }
  // Every cut of the file is refused, none read past its end.
  for (size_t n = 0; n < bytes.size(); ++n) {
    EXPECT_FALSE(parse(std::vector<uint8_t>(bytes.begin(), bytes.begin() + n), &v, &error))
        << n;
  }
  EXPECT_FALSE(parseDiphoneVoice(nullptr, 100, &v, nullptr));
}

}  // namespace
