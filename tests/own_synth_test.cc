// The engine's own synthesizer, measured: every line lasts what it says,
// pitch follows the targets, diphones join without clicks, pauses are
// silent, and the MBROLA calls stream exactly what one render gives. First
// on a voice whose truth is known, then on the real voice when the build
// made it; last, lines no synthesizer should take.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "tests/own_voice_fixture.h"
#include "tts/engine_text.h"
#include "tts/own_synth.h"
#include "tts/own_synth_render.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using Samples = std::vector<int16_t>;

// Where each line's phoneme begins, lies half way and ends, in samples.
struct Timeline {
  std::vector<std::string> names;
  std::vector<double> startMs, ms;
  size_t at(double ms) const { return static_cast<size_t>(std::llround(ms * 16)); }
  size_t start(size_t i) const { return at(startMs[i]); }
  size_t mid(size_t i) const { return at(startMs[i] + ms[i] / 2); }
  size_t end(size_t i) const { return at(startMs[i] + ms[i]); }
  size_t total() const { return ms.empty() ? 0 : end(ms.size() - 1); }
};

Timeline timelineOf(const Lines& lines) {
  Timeline t;
  double sum = 0;
  for (const std::string& line : lines) {
    char name[16];
    double ms = 0;
    if (line.empty() || line[0] == ';' || std::sscanf(line.c_str(), "%15s %lf", name, &ms) != 2) {
      continue;
    }
    t.names.push_back(name);
    t.startMs.push_back(sum);
    t.ms.push_back(ms);
    sum += ms;
  }
  return t;
}

double hertzBetween(const Samples& y, double fromMs, double toMs) {
  const size_t from = static_cast<size_t>(fromMs * 16), to = static_cast<size_t>(toMs * 16);
  return ownvoice::measuredHertz(y.data() + from, to - from);
}

// Steady targets from 0.6 to 2 times the source pitch in long voiced
// phonemes, measured over their middles: the largest relative error.
double worstPitchError(const DiphoneVoice& voice, const std::vector<std::string>& voiced) {
  double worst = 0;
  for (const std::string& v : voiced) {
    for (double factor : {0.6, 0.8, 1.0, 1.3, 1.6, 2.0}) {
      const double target = factor * voice.sourcePitch;
      const Samples s = renderPhonemeLines(voice, {"_ 50", v + " 400 50 " + std::to_string(target), "_ 50"});
      const double error = std::abs(hertzBetween(s, 120, 380) / target - 1);
      worst = std::max(worst, error);
      EXPECT_LT(error, 0.05) << v << " at " << target << " Hz";
    }
  }
  return worst;
}

// Sample steps at the joins (phoneme middles) against those elsewhere
// inside sounding phonemes: {largest at a join, 99.9th percentile inside}.
std::pair<double, double> joinSteps(const Samples& y, const Lines& lines) {
  const Timeline t = timelineOf(lines);
  std::vector<size_t> joins, inside;
  std::vector<bool> isJoin(y.size() + 1, false), sounding(y.size() + 1, false);
  for (size_t i = 0; i < t.ms.size(); ++i) {
    if (t.names[i] == "_") continue;
    for (size_t n = t.start(i) + 1; n < t.end(i) && n < y.size(); ++n) sounding[n] = true;
    if (t.mid(i) < y.size()) isJoin[t.mid(i)] = true;
  }
  for (size_t n = 1; n < y.size(); ++n) {
    if (isJoin[n]) joins.push_back(n);
    else if (sounding[n]) inside.push_back(n);
  }
  return {ownvoice::stepQuantile(y, joins, 1.0), ownvoice::stepQuantile(y, inside, 0.999)};
}

class OwnSynth : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           (std::string("talonix_own_synth_") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    plat::headless::HeadlessConfig config;
    config.workDir = dir_;
    config.configDir = dir_;
    platform_ = std::make_unique<plat::headless::HeadlessPlatform>(config);
    platform_->install();
    resetOwnSynthesizer();
  }
  void TearDown() override {
    resetOwnSynthesizer();
    resetEngineText();
    plat::headless::uninstall();
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  // The voice written as a file; its path without ".voz", as the engine
  // names a database.
  std::string saveVoice(const DiphoneVoice& voice, const std::string& name) {
    const std::vector<uint8_t> bytes = encodeDiphoneVoice(voice);
    std::ofstream(dir_ / (name + ".voz"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return (dir_ / name).string();
  }
  // Everything readable now, asked for in pieces of `piece`.
  static Samples drain(plat::Mbrola& m, int piece) {
    Samples all;
    std::vector<int16_t> buffer(static_cast<size_t>(piece));
    for (int got; (got = m.read(buffer.data(), piece)) > 0;) {
      EXPECT_LE(got, piece);
      all.insert(all.end(), buffer.begin(), buffer.begin() + got);
    }
    return all;
  }

  fs::path dir_;
  std::unique_ptr<plat::headless::HeadlessPlatform> platform_;
};

TEST_F(OwnSynth, KeepsTimePitchSilenceAndSmoothJoinsOnAKnownVoice) {
  const DiphoneVoice voice = ownvoice::syntheticVoice();

  // Time: fractional durations, a zero one, pauses; each prefix ends where
  // the sum of its durations says (so no line drifts), and pauses hold
  // nothing but zeros while every sounding phoneme sounds in its middle.
  const char* const names[] = {"a", "m", "i", "s", "o", "a", "_", "i", "m", "o", "s"};
  Lines lines = {"_ 20"};
  for (int i = 0; i < 60; ++i) {
    const double ms = i == 17 ? 0 : 25 + std::fmod(i * 37.37, 110.0);
    lines.push_back(std::string(names[i % 11]) + " " + std::to_string(ms));
  }
  lines.push_back("_ 20");
  const Timeline t = timelineOf(lines);
  const Samples y = renderPhonemeLines(voice, lines);
  ASSERT_EQ(y.size(), t.total());
  for (size_t k = 1; k <= lines.size(); k += 7) {
    const Lines prefix(lines.begin(), lines.begin() + static_cast<long>(k));
    EXPECT_EQ(renderPhonemeLines(voice, prefix).size(), timelineOf(prefix).total()) << k;
  }
  for (size_t i = 0; i < t.ms.size(); ++i) {
    if (lines[i][0] == '_') {
      for (size_t n = t.start(i); n < t.end(i); ++n) ASSERT_EQ(y[n], 0) << "pause " << i << " at " << n;
    } else if (t.ms[i] >= 20) {
      int loudest = 0;
      for (size_t n = t.mid(i) - 80; n < t.mid(i) + 80; ++n) loudest = std::max(loudest, std::abs(int{y[n]}));
      EXPECT_GT(loudest, 500) << "phoneme " << i << " " << lines[i];
    }
  }

  // Pitch: steady targets in every voiced phoneme.
  const double worst = worstPitchError(voice, {"a", "i", "o", "m"});
  std::printf("[ figures  ] known voice: worst steady pitch error %.2f %% (0.6x..2x)\n", worst * 100);

  // The contour: straight from one target to the next across phonemes,
  // held before the first and after the last.
  const Samples c = renderPhonemeLines(voice, {"_ 50", "a 300 50 100", "o 300 50 200", "_ 50"});
  EXPECT_NEAR(hertzBetween(c, 60, 190), 100, 5);
  EXPECT_NEAR(hertzBetween(c, 251, 299), 125, 125 * 0.05);
  EXPECT_NEAR(hertzBetween(c, 326, 374), 150, 150 * 0.05);
  EXPECT_NEAR(hertzBetween(c, 401, 449), 175, 175 * 0.05);
  EXPECT_NEAR(hertzBetween(c, 510, 640), 200, 10);

  // Joins: a phrase through every pair, with a moving contour; no step
  // where two diphones meet is larger than the steps inside them.
  Lines phrase = {"_ 30"};
  for (int i = 0; i < 90; ++i) {
    const double hz = 110 + 65 * (1 + std::sin(i * 0.7));
    phrase.push_back(std::string(ownvoice::sounds()[1 + (i * 7 + i / 5) % 5].name) + " " +
                     std::to_string(40 + (i * 29) % 100) + " 50 " + std::to_string(hz));
  }
  phrase.push_back("_ 30");
  const auto [atJoin, inside] = joinSteps(renderPhonemeLines(voice, phrase), phrase);
  std::printf("[ figures  ] known voice: largest join step %.0f, 99.9th percentile inside %.0f\n",
              atJoin, inside);
  EXPECT_LE(atJoin, inside);
}

TEST_F(OwnSynth, StreamsThroughTheMbrolaCallsAsTheEngineUsesThem) {
  const DiphoneVoice voice = ownvoice::syntheticVoice({"a-i"});
  plat::Mbrola& m = ownSynthesizer();
  EXPECT_EQ(m.load("anything"), plat::MbrolaLoad::kLoaded);
  EXPECT_LT(m.init((dir_ / "absent").string()), 0);
  ASSERT_EQ(m.init(saveVoice(voice, "br4")), 0);
  m.setNoError(1);

  // Samples come out as soon as nothing later can change them, in the
  // pieces asked for, and all of them are the one render's, sample for
  // sample. A pair the voice lacks ("a-i") is silence, not an error.
  const Lines lines = {"; a comment", "_ 40", "m 70 50 140", "a 120.5", "", "i 90 50 180",
                       "s 60", "o 110 20 150 80 120", "_ 60"};
  const Timeline t = timelineOf(lines);
  m.reset();
  Samples streamed;
  for (size_t i = 0; i < lines.size(); ++i) {
    m.write(lines[i] + "\r\n");
    EXPECT_EQ(m.lastError(), 0) << lines[i];
    if (lines[i] == "a 120.5") {
      EXPECT_LT(streamed.size(), t.mid(2)) << "before the pitch after 'm' is known";
    }
    if (i + 1 == lines.size()) m.flush();
    const Samples got = drain(m, i % 2 ? 7 : 16000);
    streamed.insert(streamed.end(), got.begin(), got.end());
    if (lines[i] == "i 90 50 180") {
      EXPECT_GT(streamed.size(), t.end(2)) << "the 'a' once 'i' came";
    }
  }
  const Samples whole = renderPhonemeLines(voice, lines);
  EXPECT_EQ(streamed, whole);
  ASSERT_EQ(streamed.size(), t.total());
  for (size_t n = t.mid(2) + 160; n < t.mid(3) - 160; ++n) ASSERT_EQ(streamed[n], 0) << n;
  Samples one(4);
  EXPECT_EQ(m.read(one.data(), 4), 0);

  // Refused when asked to: the missing pair is an error, and the engine's
  // reset forgets what was pending; the next text starts clean and a write
  // may carry several lines.
  m.setNoError(0);
  m.write("_ 40\r\n");
  m.write("a 100\r\n");
  EXPECT_EQ(m.lastError(), 0);
  m.write("i 100\r\n");
  EXPECT_NE(m.lastError(), 0);
  m.reset();
  EXPECT_EQ(m.lastError(), 0);
  EXPECT_EQ(m.read(one.data(), 4), 0);
  m.write("_ 40\r\nm 70 50 140\r\na 120.5\r\ni 90 50 180\r\n");
  EXPECT_NE(m.lastError(), 0) << "a-i is still missing";
  m.reset();
  m.setNoError(1);
  m.write("_ 40\r\nm 70 50 140\r\na 120.5\r\ni 90 50 180\r\ns 60\r\no 110 20 150 80 120\r\n_ 60\r\n");
  EXPECT_EQ(m.lastError(), 0);
  m.flush();
  EXPECT_EQ(drain(m, 1000), whole);

  // Closed, nothing is read or taken; a broken voice file is refused.
  m.close();
  EXPECT_LT(m.read(one.data(), 4), 0);
  m.write("a 100\r\n");
  EXPECT_NE(m.lastError(), 0);
  std::vector<uint8_t> bytes = encodeDiphoneVoice(voice);
  bytes.resize(bytes.size() / 2);
  std::ofstream(dir_ / "half.voz", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  EXPECT_LT(m.init((dir_ / "half.voz").string()), 0);
}

TEST_F(OwnSynth, RealVoiceKeepsTimePitchAndJoins) {
  const std::string path = ownvoice::realVoicePath();
  if (path.empty() || !fs::exists(path)) GTEST_SKIP() << "no br4.voz in this build";
  DiphoneVoice voice;
  std::string why;
  ASSERT_TRUE(loadDiphoneVoice(path, &voice, &why)) << why;
  const std::string data = std::string(TALONIX_SOURCE_DIR) + "/data/tts/portug.";
  ASSERT_TRUE(engineLoadTables({data + "nrl", data + "exc", data + "dfn", data + "pro", data + "abr"}));
  const Lines lines = enginePhonemeLines(
      "O cheque de R$ 1.234,56 foi emitido hoje para a Companhia Paulista de "
      "Tr\xE2nsito; confira o saldo, por favor.");
  size_t refused = 0;
  const Samples y = renderPhonemeLines(voice, lines, &refused);
  EXPECT_EQ(refused, 0u);
  EXPECT_EQ(y.size(), timelineOf(lines).total());
  const auto [atJoin, inside] = joinSteps(y, lines);
  std::printf("[ figures  ] br4: %zu lines, %.3f s; largest join step %.0f, 99.9th percentile inside %.0f\n",
              lines.size(), y.size() / 16000.0, atJoin, inside);
  EXPECT_LE(atJoin, inside);

  const double worst = worstPitchError(voice, {"a", "e", "i", "o", "u", "m"});
  std::printf("[ figures  ] br4: source %.1f Hz, worst steady pitch error %.2f %%\n",
              voice.sourcePitch, worst * 100);
}

// Lines no synthesizer should take: each is refused with an error, adds
// nothing, and the synthesizer goes on as before.
TEST_F(OwnSynth, RefusesBadLinesAndGoesOn) {
  plat::Mbrola& m = ownSynthesizer();
  m.write("a 100\r\n");
  EXPECT_NE(m.lastError(), 0) << "no voice yet";
  Samples one(4);
  EXPECT_LT(m.read(one.data(), 4), 0);
  const DiphoneVoice voice = ownvoice::syntheticVoice();
  ASSERT_EQ(m.init(saveVoice(voice, "v") + ".voz"), 0);
  EXPECT_EQ(m.read(nullptr, 0), 0);
  EXPECT_LT(m.read(nullptr, 5), 0);

  std::string pairs = "a 100";
  for (int i = 0; i < 10000; ++i) pairs += " 50 130";
  const Lines bad = {
      "a", "a -5", "a +5", "a 5e3", "a 1e999", "a 99999999999999999999", "a 60001", "a 1.2.3",
      "a ten", "a 10 50", "a 10 50 100 60", "a 10 101 100", "a 10 50 0", "a 10 50 -3",
      "a 10 50 9000", "a 10 60 100 40 100", "a 10abc", "zz 10", "A 10", "abcdefghijk 10",
      std::string("a\0 10", 5), std::string("a 1\0", 4), "\x80\xFF\x01 10", "a 10\r50 100",
      "nan 10", "a nan", "a inf", "a 10 50 nan", pairs};
  m.setNoError(1);
  for (const std::string& line : bad) {
    m.reset();
    m.write("_ 30\r\n");
    m.write(line + "\r\n");
    EXPECT_NE(m.lastError(), 0) << line.substr(0, 40);
    m.flush();
    EXPECT_EQ(drain(m, 4096).size(), 480u) << "only the pause: " << line.substr(0, 40);
  }
  // Good lines of every shape still pass, tabs and comments included.
  m.reset();
  for (const char* good : {"a\t60.25\t0\t100\t100\t150", "  i 40 ; soft", ";", "   ", "o 0", "_ 10 50 200"}) {
    m.write(std::string(good) + "\r\n");
    EXPECT_EQ(m.lastError(), 0) << good;
  }
  m.flush();
  EXPECT_EQ(drain(m, 4096).size(), static_cast<size_t>(std::llround((60.25 + 40 + 10) * 16)));
}

}  // namespace
