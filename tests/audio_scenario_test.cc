// Recorded messages end to end: the built runner started on a family
// settings file whose "DIRTALONIX" names a folder of recordings, with the
// whole session's sound written by --audio.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/wave_test_util.h"
#include "tests/test_files.h"

namespace {

using testfiles::readLines;

namespace fs = std::filesystem;

std::vector<uint8_t> readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

bool contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

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

class AudioScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() /
           ("talonix-audio-" + std::to_string(std::rand()) + "-" + info->name() + "-" +
            std::to_string(counter++));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "config");
    fs::create_directories(dir_ / "work");
    writeText(dir_ / "config" / "LUMIRA.INI",
              "[TALONIX]\r\nDIRTALONIX=" + sounds().string() + "\r\n");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  fs::path sounds() const { return dir_ / "sons"; }

  // Runs the program; the speech record. The session's sound is in audio_.
  std::vector<std::string> run(const std::string& script) {
    writeText(dir_ / "keys.txt", script);
    const std::string q = "'";
    const std::string cmd =
        q + TALONIX_RUN_PATH + q + " --keys " + q + (dir_ / "keys.txt").string() + q +
        " --speech " + q + (dir_ / "speech.txt").string() + q + " --audio " + q +
        (dir_ / "session.wav").string() + q + " --config-dir " + q +
        (dir_ / "config").string() + q + " --workdir " + q + (dir_ / "work").string() +
        q + " 2> /dev/null < /dev/null";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    audio_ = readBytes(dir_ / "session.wav");
    return readLines(dir_ / "speech.txt");
  }

  fs::path dir_;
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

TEST_F(AudioScenarioTest, WithoutRecordingsTheAudioHoldsOnlyBuiltSounds) {
  // F1 ends its help with a beep; nothing else in this run has samples.
  const std::vector<std::string> said = run("F1 Esc");
  EXPECT_TRUE(contains(said, "beep"));
  EXPECT_TRUE(contains(said, "say Fim do programa"));
  ASSERT_GT(audio_.size(), 44u);
  // The beep's 512 samples at 11025 Hz are 1024 here.
  EXPECT_EQ(audio_.size() - 44, 2u * 1024);
}

}  // namespace
