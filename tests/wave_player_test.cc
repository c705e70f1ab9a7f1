// The WAV player on the headless wave output: what reaches the device, in
// which pieces and formats, and how keys and bad files are met.
#include <gtest/gtest.h>

#include "platform/shared/riff.h"
#include "synth/wave_format.h"
#include "synth/wave_player.h"
#include "tests/speech_fixture.h"
#include "tests/wave_test_util.h"

namespace {

using wavetest::makeWav;
using wavetest::tone8;
using wavetest::WavShape;

class WavePlayerTest : public speechtest::SpeechFixture {
 protected:
  std::string file(const std::vector<uint8_t>& bytes, const char* name = "s.wav") {
    wavetest::writeBytes(workDir() / name, bytes);
    return (workDir() / name).string();
  }
  const std::vector<plat::headless::WaveCapture>& captures() const {
    return platform_->waveCaptures();
  }
  std::vector<size_t> sizes() const {
    std::vector<size_t> out;
    for (const auto& c : captures()) out.push_back(c.data.size());
    return out;
  }
  // Types 'a' once the virtual clock reaches atMs.
  void typeAt(uint64_t atMs) {
    std::vector<plat::Event> events;
    plat::headless::typedCharEvents('a', &events);
    for (const plat::Event& e : events) platform_->postEventAt(atMs, e);
  }
};

TEST_F(WavePlayerTest, PlaysAFileWholeAndClosesTheDevice) {
  std::vector<uint8_t> samples = tone8(4000);
  EXPECT_EQ(playWaveFile(file(makeWav(samples))), 0);
  ASSERT_EQ(captures().size(), 1u);
  const auto& c = captures()[0];
  EXPECT_EQ(c.sampleRate, 11025u);
  EXPECT_EQ(c.bitsPerSample, 8);
  EXPECT_EQ(c.channels, 1);
  samples.back() = 128;  // the last byte of an 8-bit piece is silenced
  EXPECT_EQ(c.data, samples);
  EXPECT_FALSE(platform_->waveDeviceOpen());
  EXPECT_EQ(wavePlayer().queued, 0);
  // The call lasted as long as the sound: 4000 samples at 11025 Hz.
  EXPECT_GE(platform_->tickMs(), 362u);
}

TEST_F(WavePlayerTest, AListChunkBeforeTheDataIsSkipped) {
  WavShape shape;
  shape.extraChunk = wavetest::listChunk();
  EXPECT_EQ(playWaveFile(file(makeWav(tone8(1000), shape))), 0);
  ASSERT_EQ(sizes(), (std::vector<size_t>{1000}));
  EXPECT_EQ(captures()[0].data[0], tone8(1)[0]);
}

TEST_F(WavePlayerTest, PiecesNeverLeaveAShortLastOne) {
  WavShape shape;
  shape.bits = 16;
  shape.rate = 22050;
  EXPECT_EQ(playWaveFile(file(makeWav(std::vector<uint8_t>(65600, 7), shape))), 0);
  EXPECT_EQ(sizes(), (std::vector<size_t>{65278, 322}));
  EXPECT_EQ(wavePieceSize(65534), 65534u);
  EXPECT_EQ(wavePieceSize(65790), 65534u);
  EXPECT_EQ(wavePieceSize(65535), 65278u);
  EXPECT_EQ(wavePieceSize(10), 10u);
}

TEST_F(WavePlayerTest, ALongFileCyclesTheFourBlocks) {
  WavShape shape;
  shape.bits = 16;
  EXPECT_EQ(playWaveFile(file(makeWav(std::vector<uint8_t>(65534 * 5 + 1000, 0), shape))), 0);
  std::vector<uintptr_t> tags;
  for (const auto& c : captures()) tags.push_back(c.tag);
  EXPECT_EQ(tags, (std::vector<uintptr_t>{1, 2, 3, 4, 1, 2}));
  EXPECT_EQ(platform_->waveOpenCount(), 1);
}

TEST_F(WavePlayerTest, ShortEightBitMonoIsPaddedWithSilence) {
  const std::vector<uint8_t> samples(100, 200);
  const std::vector<uint8_t> image = makeWav(samples);
  playWaveImage(image.data(), image.size());
  while (isPlaying()) platform_->waitEvent();
  ASSERT_EQ(captures().size(), 1u);
  const auto& data = captures()[0].data;
  ASSERT_EQ(data.size(), 256u);
  EXPECT_EQ(data[98], 200);
  EXPECT_EQ(data[99], 128);
  for (size_t i = 100; i < 256; ++i) ASSERT_EQ(data[i], 128) << i;
}

TEST_F(WavePlayerTest, ShortSixteenBitSoundIsPaddedWithZeroNotStaleBytes) {
  // A long sound first fills the blocks with non-silence.
  WavShape shape;
  shape.bits = 16;
  playWaveImage(makeWav(std::vector<uint8_t>(65534 * 4, 0x55), shape).data());
  while (isPlaying()) platform_->waitEvent();
  playWaveImage(makeWav(std::vector<uint8_t>(10, 0x11), shape).data());
  while (isPlaying()) platform_->waitEvent();
  const auto& data = captures().back().data;
  ASSERT_EQ(data.size(), 256u);
  EXPECT_EQ(data[9], 0x11);
  for (size_t i = 10; i < 256; ++i) ASSERT_EQ(data[i], 0) << i;
}

TEST_F(WavePlayerTest, FastPlayOpensAtOneAndAHalfTimesTheRate) {
  EXPECT_EQ(fastRate(11025), 16538u);
  EXPECT_EQ(fastRate(22050), 33075u);
  EXPECT_EQ(fastRate(11), 16u);
  EXPECT_EQ(fastRate(13), 20u);
  wavePlayer().fastPlay = true;
  EXPECT_EQ(playWaveFile(file(makeWav(tone8(500)))), 0);
  ASSERT_EQ(captures().size(), 1u);
  EXPECT_EQ(captures()[0].sampleRate, 16538u);
}

TEST_F(WavePlayerTest, CompressionPlaysSixteenBitMonoThroughAnEightBitDevice) {
  wavePlayer().compressSpeech = true;
  WavShape shape;
  shape.bits = 16;
  std::vector<uint8_t> samples;
  for (uint8_t s : tone8(8000)) {
    samples.push_back(0);
    samples.push_back(static_cast<uint8_t>(s ^ 0x80));
  }
  const std::vector<uint8_t> image = makeWav(samples, shape);
  const std::vector<uint8_t> before = image;
  playWaveImage(image.data(), image.size());
  while (isPlaying()) platform_->waitEvent();
  ASSERT_EQ(captures().size(), 1u);
  EXPECT_EQ(captures()[0].bitsPerSample, 8);
  // About every other period dropped.
  EXPECT_LT(captures()[0].data.size(), 5000u);
  EXPECT_GT(captures()[0].data.size(), 3000u);
  EXPECT_EQ(image, before);  // the caller's image is untouched
}

TEST_F(WavePlayerTest, CompressionLeavesStereoAndShortPiecesAlone) {
  wavePlayer().compressSpeech = true;
  WavShape stereo;
  stereo.channels = 2;
  playWaveImage(makeWav(tone8(8000), stereo).data());
  while (isPlaying()) platform_->waitEvent();
  ASSERT_EQ(captures().size(), 1u);
  EXPECT_EQ(captures()[0].data.size(), 8000u);

  std::vector<uint8_t> piece = tone8(999);
  EXPECT_EQ(compressSpeechPiece(piece.data(), piece.size(), 8, 11025), 999u);
  // At 22050 Hz the first search reaches sample 1320: a shorter piece is
  // kept rather than searched past its end.
  std::vector<uint8_t> mid = tone8(1200);
  EXPECT_EQ(compressSpeechPiece(mid.data(), mid.size(), 8, 22050), 1200u);
  std::vector<uint8_t> odd(1, 0x7F);
  EXPECT_EQ(compressSpeechPiece(odd.data(), odd.size(), 16, 11025), 0u);
}

TEST_F(WavePlayerTest, CompressedPiecesStayWithinTheBlock) {
  wavePlayer().compressSpeech = true;
  for (uint32_t rate : {11025u, 22050u}) {
    std::vector<uint8_t> loud(65534);
    for (size_t i = 0; i < loud.size(); ++i) loud[i] = static_cast<uint8_t>(i * 37);
    const size_t n = compressSpeechPiece(loud.data(), loud.size(), 8, rate);
    EXPECT_LE(n, loud.size());
  }
  playWaveImage(makeWav(std::vector<uint8_t>(65534, 255)).data());
  while (isPlaying()) platform_->waitEvent();
  for (const auto& c : captures()) EXPECT_LE(c.data.size(), kWaveBlockBytes);
}

TEST_F(WavePlayerTest, AKeyBeforePlaybackPlaysNothing) {
  type("x");
  EXPECT_EQ(playWaveFile(file(makeWav(tone8(4000)))), 0);
  EXPECT_TRUE(captures().empty());
  EXPECT_TRUE(keyAvailable());  // the key stays for the next read
}

TEST_F(WavePlayerTest, AKeyDuringPlaybackStopsItWithinOneShortWait) {
  WavShape shape;
  shape.bits = 16;
  shape.rate = 22050;
  const std::string name = file(makeWav(std::vector<uint8_t>(22050 * 2 * 20, 0), shape));
  typeAt(1000);
  EXPECT_EQ(playWaveFile(name), 0);
  EXPECT_GE(platform_->tickMs(), 1000u);
  EXPECT_LE(platform_->tickMs(), 1010u);
  EXPECT_FALSE(platform_->waveDeviceOpen());
  EXPECT_EQ(wavePlayer().queued, 0);
  ASSERT_FALSE(captures().empty());
  // What sounded before the key: about one second.
  size_t played = 0;
  for (const auto& c : captures()) played += c.playedBytes;
  EXPECT_NEAR(static_cast<double>(played), 44100.0, 44100.0 * 0.02);
  EXPECT_EQ(readKey(), 'a');
}

TEST_F(WavePlayerTest, AFormatChangeWaitsForTheSoundBefore) {
  playWaveImage(makeWav(tone8(11025)).data());
  WavShape shape;
  shape.bits = 16;
  playWaveImage(makeWav(std::vector<uint8_t>(1000, 0), shape).data());
  while (isPlaying()) platform_->waitEvent();
  ASSERT_EQ(captures().size(), 2u);
  EXPECT_GE(captures()[1].startUs, captures()[0].endUs);
  EXPECT_EQ(captures()[1].bitsPerSample, 16);
  EXPECT_EQ(platform_->waveOpenCount(), 2);
}

TEST_F(WavePlayerTest, AStrayCompletionChangesNothing) {
  plat::Event stray;
  stray.kind = plat::EventKind::kWaveDone;
  stray.wparam = 3;
  platform_->postEvent(stray);
  playWaveImage(makeWav(tone8(20000)).data());
  pumpMessages();
  EXPECT_EQ(wavePlayer().queued, 1);
  EXPECT_TRUE(isPlaying());
  stopPlayback();
  EXPECT_FALSE(isPlaying());
}

// --- Devices that cannot be had -------------------------------------------

TEST_F(WavePlayerTest, ABusyDeviceIsTriedAHundredTimesThenGivenUp) {
  platform_->setWaveOpenResult(plat::Audio::kWaveBusy);
  const uint64_t start = platform_->tickMs();
  EXPECT_EQ(playWaveFile(file(makeWav(tone8(500)))), plat::Audio::kWaveBusy);
  EXPECT_EQ(platform_->waveOpenCount(), 100);
  EXPECT_GE(platform_->tickMs() - start, 9900u);
  EXPECT_TRUE(captures().empty());
}

TEST_F(WavePlayerTest, NoDeviceAtAllMeansSilenceAtOnce) {
  platform_->setWaveOpenResult(plat::Audio::kWaveNoDriver);
  EXPECT_EQ(playWaveFile(file(makeWav(tone8(500)))), plat::Audio::kWaveNoDriver);
  EXPECT_EQ(platform_->waveOpenCount(), 1);
  playWaveImage(makeWav(tone8(500)).data());
  EXPECT_FALSE(isPlaying());
}

// --- Files that are not what they say -------------------------------------

TEST_F(WavePlayerTest, ADeviceThatStopsTakingSoundEndsThePlaybackAtOnce) {
  // Three pieces; the device takes the first and then no more.
  const std::string name = file(makeWav(std::vector<uint8_t>(3 * 65534, 140)));
  platform_->setWaveWritesLeft(1);
  const uint64_t start = platform_->tickMs();
  EXPECT_EQ(playWaveFile(name), plat::Audio::kWaveNoDriver);
  EXPECT_EQ(captures().size(), 1u);
  EXPECT_FALSE(platform_->waveDeviceOpen());
  EXPECT_EQ(wavePlayer().queued, 0);
  EXPECT_LT(platform_->tickMs() - start, 1000u);  // not the 6 s of the piece
  // The same for sound built in memory, and the next sound is not held up.
  platform_->setWaveWritesLeft(0);
  playWaveImage(makeWav(tone8(500)).data());
  EXPECT_FALSE(isPlaying());
  platform_->setWaveWritesLeft(-1);
  EXPECT_EQ(playWaveFile(file(makeWav(tone8(500)))), 0);
  EXPECT_EQ(captures().size(), 2u);
}

TEST_F(WavePlayerTest, FilesThatAreNotPlayableWavesAreRefused) {
  EXPECT_EQ(playWaveFile((workDir() / "missing.wav").string()), -1);
  EXPECT_EQ(playWaveFile(file({'R', 'I', 'F'})), -1);
  std::vector<uint8_t> notRiff = makeWav(tone8(100));
  notRiff[0] = 'X';
  EXPECT_EQ(playWaveFile(file(notRiff)), -1);

  auto refused = [&](WavShape shape) {
    return playWaveFile(file(makeWav(tone8(300), shape))) == -1;
  };
  WavShape s;
  s.formatBytes = 100000;  // longer than the file
  EXPECT_TRUE(refused(s));
  s = {};
  s.formatBytes = 14;  // too short to hold the bits per sample
  EXPECT_TRUE(refused(s));
  s = {};
  s.channels = 0;
  EXPECT_TRUE(refused(s));
  s = {};
  s.rate = 0;
  EXPECT_TRUE(refused(s));
  s = {};
  s.bits = 0;
  EXPECT_TRUE(refused(s));
  s = {};
  s.bits = 7;
  EXPECT_TRUE(refused(s));
  s = {};
  std::vector<uint8_t> huge;
  wavetest::tag(huge, "LIST");
  wavetest::put32(huge, 0xFFFFFFF0u);  // runs far past the end
  s.extraChunk = huge;
  EXPECT_TRUE(refused(s));
  EXPECT_TRUE(captures().empty());
}

TEST_F(WavePlayerTest, ADataLengthPastTheEndPlaysWhatIsThere) {
  WavShape shape;
  shape.dataLengthField = 0x7FFFFFFF;
  EXPECT_EQ(playWaveFile(file(makeWav(tone8(3000), shape))), 0);
  EXPECT_EQ(sizes(), (std::vector<size_t>{3000}));
  const std::vector<uint8_t> image = makeWav(tone8(3000), shape);
  playWaveImage(image.data(), image.size());
  while (isPlaying()) platform_->waitEvent();
  EXPECT_EQ(sizes(), (std::vector<size_t>{3000, 3000}));
}

TEST_F(WavePlayerTest, ImagesAreParsedWithinTheirSize) {
  const std::vector<uint8_t> image = makeWav(tone8(100));
  plat::WaveInfo info;
  size_t offset = 0;
  ASSERT_TRUE(plat::parseWaveImage(image.data(), image.size(), &info, &offset));
  EXPECT_EQ(offset, 44u);
  EXPECT_EQ(info.dataBytes, 100u);
  std::vector<uint8_t> lower = image;
  lower[0] = 'r';
  lower[12] = 'F';
  EXPECT_TRUE(plat::parseWaveImage(lower.data(), lower.size(), &info, &offset));
  for (size_t cut = 0; cut < 44; ++cut) {
    EXPECT_FALSE(plat::parseWaveImage(image.data(), cut, &info, &offset)) << cut;
  }
  EXPECT_FALSE(plat::parseWaveImage(nullptr, 0, &info, &offset));
}

}  // namespace
