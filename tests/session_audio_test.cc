// The session's sound as one file: formats converted, buffers laid out on
// the virtual clock, cut buffers, tones beside recordings, long silences.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/headless/session_audio.h"
#include "tests/wave_test_util.h"

namespace {

using plat::headless::convertToSessionFormat;
using plat::headless::HeadlessPlatform;
using plat::headless::sessionAudioSamples;

class SessionAudioTest : public ::testing::Test {
 protected:
  HeadlessPlatform p{plat::headless::HeadlessConfig{}};

  void play(const std::vector<uint8_t>& bytes, uint32_t rate, uint16_t bits,
            uint16_t channels) {
    ASSERT_EQ(p.waveOpen(rate, bits, channels), 0);
    ASSERT_TRUE(p.waveWrite(bytes.data(), bytes.size(), 1));
  }
  // Lets the virtual clock run until everything written has sounded.
  void finish() {
    p.sleepMs(60000);
    p.waveClose();
  }
};

TEST_F(SessionAudioTest, FormatsAreConvertedToSixteenBitMonoAt22050) {
  // 8-bit at half the rate: each sample twice, centred on zero.
  EXPECT_EQ(convertToSessionFormat(std::vector<uint8_t>{128, 255, 0}.data(), 3, 11025, 8, 1),
            (std::vector<int16_t>{0, 0, 127 * 256, 127 * 256, -128 * 256, -128 * 256}));
  // 16-bit stereo at twice the rate: every other frame, channels averaged.
  std::vector<uint8_t> stereo;
  for (int v : {1000, 3000, -7, -7, 500, -500, 9, 9}) wavetest::put16(stereo, static_cast<uint32_t>(v));
  EXPECT_EQ(convertToSessionFormat(stereo.data(), stereo.size(), 44100, 16, 2),
            (std::vector<int16_t>{2000, 0}));
  // 24-bit keeps its top 16 bits; a trailing partial frame is not sound.
  const std::vector<uint8_t> wide = {0x11, 0x34, 0x12, 0xFF, 0x00, 0x80, 0xAA};
  EXPECT_EQ(convertToSessionFormat(wide.data(), wide.size(), 22050, 24, 1),
            (std::vector<int16_t>{0x1234, -32768}));
  // Other rates hold the sample sounding at each output time.
  const std::vector<uint8_t> three = {138, 148, 158};
  EXPECT_EQ(convertToSessionFormat(three.data(), 3, 16000, 8, 1),
            (std::vector<int16_t>{2560, 2560, 5120, 7680, 7680}));
}

TEST_F(SessionAudioTest, UnreadableFormatsGiveNothing) {
  const std::vector<uint8_t> bytes(100, 200);
  EXPECT_TRUE(convertToSessionFormat(bytes.data(), bytes.size(), 0, 8, 1).empty());
  EXPECT_TRUE(convertToSessionFormat(bytes.data(), bytes.size(), 11025, 12, 1).empty());
  EXPECT_TRUE(convertToSessionFormat(bytes.data(), bytes.size(), 11025, 8, 0).empty());
  EXPECT_TRUE(convertToSessionFormat(nullptr, 10, 11025, 8, 1).empty());
}

TEST_F(SessionAudioTest, ConsecutiveBuffersFollowEachOtherWithoutGapOrOverlap) {
  // Odd lengths at 11025 Hz do not end on whole microseconds.
  const std::vector<uint8_t> a(333, 130), b(777, 140);
  ASSERT_EQ(p.waveOpen(11025, 8, 1), 0);
  ASSERT_TRUE(p.waveWrite(a.data(), a.size(), 1));
  ASSERT_TRUE(p.waveWrite(b.data(), b.size(), 2));
  finish();
  const std::vector<int16_t> s = sessionAudioSamples(p);
  ASSERT_EQ(s.size(), 2u * (333 + 777));
  EXPECT_EQ(s[0], 512);
  EXPECT_EQ(s[2 * 333 - 1], 512);
  EXPECT_EQ(s[2 * 333], 12 * 256);
  EXPECT_EQ(s.back(), 12 * 256);
}

TEST_F(SessionAudioTest, ABufferCutByAResetIsThereOnlyAsFarAsItSounded) {
  play(std::vector<uint8_t>(22050, 200), 22050, 8, 1);  // one second
  p.sleepMs(250);
  p.waveReset();
  p.waveClose();
  EXPECT_EQ(sessionAudioSamples(p).size(), 22050u / 4);
}

TEST_F(SessionAudioTest, SilencesBetweenSoundsFollowTheClockUpToOneSecond) {
  play(std::vector<uint8_t>(1000, 200), 22050, 8, 1);
  p.sleepMs(500);  // ends the sound, then a short pause
  p.waveClose();
  p.sleepMs(100);
  play(std::vector<uint8_t>(1000, 60), 22050, 8, 1);
  p.sleepMs(1000);
  p.waveClose();
  p.sleepMs(20000);  // a long wait for the user
  play(std::vector<uint8_t>(1000, 60), 22050, 8, 1);
  finish();
  const std::vector<int16_t> s = sessionAudioSamples(p);
  // The second sound starts when the clock said: 0.6 s after the first.
  const size_t second = 22050 * 6 / 10;
  ASSERT_GT(s.size(), second + 1000);
  EXPECT_EQ(s[999], (200 - 128) * 256);
  EXPECT_EQ(s[1000], 0);
  EXPECT_EQ(s[second - 1], 0);
  EXPECT_EQ(s[second], (60 - 128) * 256);
  // The third comes one second after the second ended, not twenty.
  const size_t third = s.size() - 1000;
  EXPECT_NEAR(static_cast<double>(third), second + 1000 + 22050, 1.0);
  EXPECT_EQ(s[third - 1], 0);
  EXPECT_EQ(s[third], (60 - 128) * 256);
}

TEST_F(SessionAudioTest, ATonePlaysBesideRecordingsForAsLongAsItLooped) {
  wavetest::WavShape shape;
  shape.rate = 22050;
  const std::vector<uint8_t> image = wavetest::makeWav({228, 228, 28, 28}, shape);
  play(std::vector<uint8_t>(22050, 138), 22050, 8, 1);  // one second at +10
  p.sleepMs(100);
  p.playLoopingWave(image.data(), image.size());
  p.sleepMs(200);
  p.stopLoopingWave();
  finish();
  const std::vector<int16_t> s = sessionAudioSamples(p);
  ASSERT_EQ(s.size(), 22050u);
  EXPECT_EQ(s[2204], 10 * 256);
  EXPECT_EQ(s[2205], 110 * 256);       // summed: +10 and +100
  EXPECT_EQ(s[2207], -90 * 256);       // +10 and -100
  EXPECT_EQ(s[2205 + 4410 - 1], 110 * 256);
  EXPECT_EQ(s[2205 + 4410], 10 * 256);  // stopped after 200 ms
}

TEST_F(SessionAudioTest, TheFileIsAPlainPcmWav) {
  play(std::vector<uint8_t>(100, 129), 11025, 8, 1);
  finish();
  const std::vector<uint8_t> wav = plat::headless::sessionAudioWav(p);
  std::vector<uint8_t> expected = wavetest::makeWav(std::vector<uint8_t>(400, 0), [] {
    wavetest::WavShape shape;
    shape.rate = 22050;
    shape.bits = 16;
    return shape;
  }());
  for (size_t i = 44; i < expected.size(); i += 2) expected[i] = 0;
  for (size_t i = 45; i < expected.size(); i += 2) expected[i] = 1;  // 256
  EXPECT_EQ(wav, expected);
}

TEST_F(SessionAudioTest, AnUnreadableToneImageAddsNothing) {
  const std::vector<uint8_t> junk = {'R', 'I', 'F', 'F', 1, 2, 3};
  p.playLoopingWave(junk.data(), junk.size());
  p.sleepMs(500);
  p.stopLoopingWave();
  std::vector<uint8_t> lying = wavetest::makeWav({1, 2, 3});
  lying[16] = 0xFF;  // a format chunk longer than the image
  lying[17] = 0xFF;
  p.playLoopingWave(lying.data(), lying.size());
  p.sleepMs(500);
  EXPECT_TRUE(sessionAudioSamples(p).empty());
}

}  // namespace
