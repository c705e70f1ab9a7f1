// The WAV player over winmm's real waveOut, its finished buffers coming back
// as window messages through a real Windows message pump. wine needs a
// sound device for it: the suite runs with ALSA_CONFIG_PATH naming
// alsa-null.conf (a device that takes sound and plays it nowhere); a run
// with no device at all (ALSA_CONFIG_PATH=/dev/null) checks the other side.
#include "platform/win32/win32_audio.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "console/console.h"
#include "platform/headless/key_script.h"
#include "synth/wave_player.h"
#include "tests/console_fixture.h"
#include "tests/wave_test_util.h"

namespace {

using plat::win32::Win32Audio;
using plat::win32::WaveOutCalls;

double nowMs() {
  LARGE_INTEGER frequency, count;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&count);
  return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The headless machine, but its waits are real and its pump also takes
// the thread's Windows messages, as the console window's pump does.
class PumpingPlatform : public plat::headless::HeadlessPlatform {
 public:
  using HeadlessPlatform::HeadlessPlatform;

  bool realTime = true;
  std::vector<plat::Event> done;  // every kWaveDone handed over
  // Types a key when that many buffers have come back (0: never).
  size_t keyAfterDone = 0;
  double keyTypedMs = 0;

  void postEvent(const plat::Event& e) override {
    HeadlessPlatform::postEvent(e);
    if (e.kind != plat::EventKind::kWaveDone) return;
    done.push_back(e);
    if (done.size() != keyAfterDone) return;
    std::vector<plat::Event> key;
    plat::headless::typedCharEvents('a', &key);
    for (const plat::Event& k : key) HeadlessPlatform::postEvent(k);
    keyTypedMs = nowMs();
  }
  void waitEvent() override {
    if (pendingEvents() == 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
  }
  plat::PumpResult pumpOne(bool consoleOnly) override {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    return HeadlessPlatform::pumpOne(consoleOnly);
  }
  void sleepMs(unsigned ms) override {
    if (realTime) Sleep(ms); else HeadlessPlatform::sleepMs(ms);
  }
};

// What reached the device, and how long each reset took.
int opens = 0;
std::vector<uintptr_t> written;
std::vector<double> resetMs;

MMRESULT WINAPI busyOpen(LPHWAVEOUT, UINT, LPCWAVEFORMATEX, DWORD_PTR, DWORD_PTR, DWORD) {
  ++opens;
  return MMSYSERR_ALLOCATED;
}
MMRESULT WINAPI countedWrite(HWAVEOUT device, LPWAVEHDR header, UINT size) {
  const MMRESULT result = waveOutWrite(device, header, size);
  if (result == MMSYSERR_NOERROR) written.push_back(header->dwUser);
  return result;
}
MMRESULT WINAPI timedReset(HWAVEOUT device) {
  const double start = nowMs();
  const MMRESULT result = waveOutReset(device);
  resetMs.push_back(nowMs() - start);
  return result;
}

class Win32AudioTest : public ConsoleFixture {
 protected:
  void SetUp() override {
    ConsoleFixture::SetUp();
    opens = 0;
    written.clear();
    resetMs.clear();
  }
  void TearDown() override {
    ConsoleFixture::TearDown();
    audio_.reset();
  }
  std::unique_ptr<plat::headless::HeadlessPlatform> makePlatform(
      const plat::headless::HeadlessConfig& config) override {
    auto platform = std::make_unique<PumpingPlatform>(config);
    pumping_ = platform.get();
    return platform;
  }
  void useAudio(const WaveOutCalls& calls) {
    audio_ = std::make_unique<Win32Audio>(*pumping_, calls);
    plat::Services services = platform_->services();
    services.audio = audio_.get();
    plat::setServices(services);
  }
  // Sound of 16-bit stereo at 44100 Hz: a piece of 65534 bytes lasts 0.37 s.
  static std::vector<uint8_t> pieces(size_t count) {
    return std::vector<uint8_t>(count * kWaveBlockBytes, 0);
  }

  PumpingPlatform* pumping_ = nullptr;
  std::unique_ptr<Win32Audio> audio_;
};

TEST_F(Win32AudioTest, SoundPlaysToTheEndAndAKeyCutsItShort) {
  if (waveOutGetNumDevs() == 0) GTEST_SKIP() << "no sound device (see alsa-null.conf)";
  WaveOutCalls observed;
  observed.write = countedWrite;
  observed.reset = timedReset;
  useAudio(observed);
  wavetest::WavShape cd;
  cd.rate = 44100;
  cd.bits = 16;
  cd.channels = 2;
  // Six pieces through the ring of four: every one comes back, in order.
  const std::vector<uint8_t> image = wavetest::makeWav(pieces(6), cd);
  playWaveImage(image.data(), image.size());
  // A minute at most: lost notices must fail the test, not hang it.
  for (int wait = 0; wait < 600 && isPlaying(); ++wait) plat::window().waitEvent();
  EXPECT_EQ(written, (std::vector<uintptr_t>{1, 2, 3, 4, 1, 2}));
  std::vector<uintptr_t> back;
  for (const plat::Event& e : pumping_->done) {
    back.push_back(e.wparam);
    EXPECT_EQ(e.lparam, kWaveBlockBytes);
  }
  EXPECT_EQ(back, written);
  EXPECT_FALSE(audio_->deviceOpen());

  // A key typed once the first buffer is back stops a long sound at the
  // player's next 10 ms wait: the reset hands back every buffer at once,
  // and the device's own late notices of them are not counted again.
  pumping_->done.clear();
  written.clear();
  pumping_->keyAfterDone = 1;
  EXPECT_EQ(playSamples(pieces(10).data(), 10 * kWaveBlockBytes, 44100, 2, 16), 0);
  const double keyToSilence = nowMs() - pumping_->keyTypedMs;
  Sleep(50);
  pumpMessages();
  EXPECT_LT(written.size(), 10u);
  EXPECT_EQ(pumping_->done.size(), written.size());
  EXPECT_EQ(audio_->pendingBuffers(), 0u);
  EXPECT_FALSE(audio_->deviceOpen());
  ASSERT_EQ(resetMs.size(), 1u);
  std::printf("[ figures  ] key to silence %.2f ms, waveOutReset %.3f ms\n", keyToSilence,
              resetMs[0]);

  // The tone loops until stopped; an image that lies about its length is
  // not handed to the system as it is.
  playTone(440);
  EXPECT_TRUE(audio_->looping());
  stopTone();
  EXPECT_FALSE(audio_->looping());
  std::vector<uint8_t> lying = wavetest::makeWav(std::vector<uint8_t>(3, 128));
  plat::put32(lying.data() + 40, 1u << 30);
  audio_->playLoopingWave(lying.data(), lying.size());
  audio_->stopLoopingWave();
}

TEST_F(Win32AudioTest, ADeviceBusyEveryTimeEndsInItsCodeAndSilence) {
  WaveOutCalls calls;
  calls.open = busyOpen;
  useAudio(calls);
  pumping_->realTime = false;  // the hundred waits of 100 ms pass at once
  EXPECT_EQ(playSamples(pieces(1).data(), 100, 11025, 1, 8), MMSYSERR_ALLOCATED);
  EXPECT_EQ(opens, 100);
  EXPECT_FALSE(isPlaying());
  EXPECT_FALSE(audio_->waveWrite(pieces(1).data(), 100, 1));
  pumpMessages();
  EXPECT_TRUE(pumping_->done.empty());
}

TEST_F(Win32AudioTest, WithoutAnyDeviceTheOpenFailsAndNothingWaits) {
  if (waveOutGetNumDevs() != 0) GTEST_SKIP() << "a sound device is present";
  useAudio({});
  const int result = playSamples(pieces(1).data(), 1000, 11025, 1, 8);
  EXPECT_NE(result, 0);
  EXPECT_EQ(result, audio_->waveOpen(11025, 8, 1));
  EXPECT_FALSE(isPlaying());
  playTone(440);
  stopTone();
  EXPECT_TRUE(pumping_->done.empty());
}

}  // namespace
