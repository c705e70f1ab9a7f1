// Recorded messages end to end: the built runner started on a family
// settings file whose "DIRTALONIX" names a folder of recordings, with the
// whole session's sound written by --audio.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/runner_fixture.h"
#include "tests/test_files.h"
#include "tests/wave_test_util.h"

namespace {

using runnertest::contains;
using testfiles::writeFile;

namespace fs = std::filesystem;

// Where `needle` stands in `hay` at a whole sample (even offset), or npos.
size_t findSamples(const std::vector<uint8_t>& hay, const std::vector<uint8_t>& needle) {
  auto from = hay.begin();
  while (true) {
    auto at = std::search(from, hay.end(), needle.begin(), needle.end());
    if (at == hay.end()) return std::string::npos;
    const size_t offset = static_cast<size_t>(at - hay.begin());
    if (offset % 2 == 0) return offset;
    from = at + 1;
  }
}

class AudioScenarioTest : public runnertest::RunnerFixture {
 protected:
  void SetUp() override {
    RunnerFixture::SetUp();
    writeFile(configDir() / "LUMIRA.INI",
              "[TALONIX]\r\nDIRTALONIX=" + sounds().string() + "\r\n");
  }

  fs::path sounds() const { return dir() / "sons"; }

  // Runs the program; the speech record. The session's sound is in audio_.
  std::vector<std::string> run(const std::string& script) {
    run_ = runWithAudio(script);
    EXPECT_EQ(run_.code, 0);
    audio_ = run_.audio;
    return run_.speech;
  }

  runnertest::RunResult run_;
  std::vector<uint8_t> audio_;
};

TEST_F(AudioScenarioTest, ARecordedMessageIsHeardInsteadOfItsTextAndLandsInTheAudio) {
  // "Fim do programa" recorded at 11025 Hz, 8-bit mono; the prompt at
  // 22050 Hz, 16-bit mono, the session file's own format.
  const std::vector<uint8_t> farewell = wavetest::tone8(3000, 60);
  wavetest::writeBytes(sounds() / "CHFIM.wav", wavetest::makeWav(farewell));
  std::vector<uint8_t> prompt;
  for (int i = 0; i < 1500; ++i) wavetest::put16(prompt, static_cast<uint32_t>(i * 37 - 20000));
  wavetest::WavShape wide;
  wide.rate = 22050;
  wide.bits = 16;
  wavetest::writeBytes(sounds() / "CHOPCAO.wav", wavetest::makeWav(prompt, wide));

  const std::vector<std::string> said = run("Esc");
  EXPECT_TRUE(contains(said, "sound CHFIM"));
  EXPECT_FALSE(contains(said, "say Fim do programa"));
  EXPECT_TRUE(contains(said, "sound CHOPCAO"));
  EXPECT_FALSE(contains(said, "say Sua op\xC3\xA7\xC3\xA3o: "));
  EXPECT_TRUE(contains(said, "say Banco atual: "));  // no recording: synthesised

  ASSERT_GE(audio_.size(), 44u);
  EXPECT_EQ(std::string(audio_.begin(), audio_.begin() + 4), "RIFF");
  EXPECT_EQ(plat::get16(&audio_[22]), 1);   // mono
  EXPECT_EQ(plat::get16(&audio_[34]), 16);  // bits
  EXPECT_EQ(plat::get32(&audio_[24]), 22050u);
  const uint32_t dataBytes = plat::get32(&audio_[40]);
  EXPECT_EQ(dataBytes, audio_.size() - 44);

  const std::vector<uint8_t> samples(audio_.begin() + 44, audio_.end());
  // The 16-bit recording sounds byte for byte.
  EXPECT_NE(findSamples(samples, prompt), std::string::npos);
  // The 8-bit one at twice its rate: each sample twice, as signed 16 bits.
  // Its last byte is the closing silence the player puts on short sounds.
  std::vector<uint8_t> widened;
  for (size_t i = 0; i + 1 < farewell.size(); ++i) {
    const uint32_t v = static_cast<uint32_t>((farewell[i] - 128) * 256);
    wavetest::put16(widened, v);
    wavetest::put16(widened, v);
  }
  const size_t at = findSamples(samples, widened);
  ASSERT_NE(at, std::string::npos);
  // Then that silence, and the farewell is the last thing heard.
  EXPECT_EQ(samples.size(), at + widened.size() + 4);
  EXPECT_EQ(samples[at + widened.size()], 0);
}

TEST_F(AudioScenarioTest, EveryTextSaidThroughHelpLFAndXIsHeard) {
  // No recordings of the catalogue here: every prompt goes through the
  // diphone voice. Each text with a letter or a digit must sound, at the
  // moment it is said or in the pieces recorded after it (numbers and
  // characters are recorded as their own lines) until the next text.
  writeFile(workDir() / "brasil.chq", "");
  run("F1  l Down \"Deposito\" Down \"150\" Down \"d\" Esc Enter"
      "  f Down Esc  x \"extrato.txt\" Enter  Esc");
  const std::vector<std::string>& levels = run_.levels;
  ASSERT_FALSE(levels.empty());
  int texts = 0;
  for (size_t i = 0; i < levels.size(); ++i) {
    const size_t tab = levels[i].find('\t');
    ASSERT_NE(tab, std::string::npos) << levels[i];
    const std::string line = levels[i].substr(tab + 1);
    if (line == "beep") {
      EXPECT_NE(levels[i].substr(0, tab), "-inf");
    }
    if (line.rfind("say ", 0) != 0) continue;
    if (std::none_of(line.begin() + 4, line.end(), [](char c) { return std::isalnum(c); }))
      continue;
    double loudest = -1000;
    for (size_t j = i; j < levels.size(); ++j) {
      if (j > i && levels[j].find("\tsay ") != std::string::npos) break;
      const std::string level = levels[j].substr(0, levels[j].find('\t'));
      if (level != "-inf") loudest = std::max(loudest, std::stod(level));
    }
    EXPECT_GT(loudest, -40.0) << line;
    ++texts;
  }
  EXPECT_GT(texts, 30);
  EXPECT_TRUE(contains(run_.speech, "say Fim do programa"));
}

}  // namespace
