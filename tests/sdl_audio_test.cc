// The terminal backend's wave output on SDL's dummy driver: buffers come
// back as events on the program's thread, in order, and a reset or close
// hands back everything still queued at once.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "console/console.h"
#include "platform/posix/terminal_backend.h"

namespace {

using plat::Event;
using plat::EventKind;

struct Done {
  uintptr_t tag;
  uintptr_t size;
  bool onProgramThread;
};
std::vector<Done> done;
std::thread::id programThread;

bool collect(const Event& e) {
  if (e.kind == EventKind::kWaveDone) {
    done.push_back({e.wparam, e.lparam, std::this_thread::get_id() == programThread});
  }
  return true;
}

class SdlAudioTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Before SDL starts: CI machines have no sound card.
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  }
  void SetUp() override {
    ASSERT_EQ(::pipe(in_), 0);
    ASSERT_EQ(::pipe(out_), 0);
    ::fcntl(out_[0], F_SETFL, O_NONBLOCK);
    terminal_ = std::make_unique<plat::posix::TerminalBackend>(in_[0], out_[1]);
    terminal_->window.setWindowProc(&collect);
    done.clear();
    programThread = std::this_thread::get_id();
    // SDL2 is required by the build, and its dummy driver needs no card:
    // a device that does not open is a failure, not a machine to skip.
    ASSERT_EQ(terminal_->audio.waveOpen(11025, 8, 1), plat::Audio::kWaveOk);
  }
  void TearDown() override {
    terminal_->audio.waveClose();
    terminal_.reset();
    for (int fd : {in_[0], in_[1], out_[0], out_[1]}) ::close(fd);
  }

  void write(size_t bytes, uintptr_t tag) {
    const std::vector<uint8_t> sound(bytes, 140);
    ASSERT_TRUE(terminal_->audio.waveWrite(sound.data(), sound.size(), tag));
  }
  void pumpAll() {
    while (terminal_->window.pumpOne(false) == plat::PumpResult::kDispatched) {
    }
  }
  // Pumps until `count` buffers came back; a guard, not a measure: the
  // sound lasts a fraction of the limit.
  void pumpUntilDone(size_t count) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (done.size() < count && std::chrono::steady_clock::now() < limit) {
      pumpAll();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }

  int in_[2], out_[2];
  std::unique_ptr<plat::posix::TerminalBackend> terminal_;
};

TEST_F(SdlAudioTest, BuffersComeBackInOrderOnTheProgramsThread) {
  write(600, 1);
  write(300, 2);
  write(256, 3);
  pumpUntilDone(3);
  ASSERT_EQ(done.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(done[i].tag, i + 1);
    EXPECT_TRUE(done[i].onProgramThread);
  }
  EXPECT_EQ(done[0].size, 600u);
  EXPECT_EQ(done[2].size, 256u);
}

TEST_F(SdlAudioTest, ResetHandsBackEveryQueuedBufferBeforeItReturns) {
  for (uintptr_t tag = 1; tag <= 4; ++tag) write(11025 * 5, tag);  // 20 s
  terminal_->audio.waveReset();
  pumpAll();
  ASSERT_EQ(done.size(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(done[i].tag, i + 1);
  // The device stays open and plays on.
  write(300, 9);
  pumpUntilDone(5);
  ASSERT_EQ(done.size(), 5u);
  EXPECT_EQ(done[4].tag, 9u);
}

TEST_F(SdlAudioTest, CloseWithQueuedSoundReturnsItAndRefusesFurtherWrites) {
  write(11025 * 5, 1);
  write(11025 * 5, 2);
  terminal_->audio.waveClose();
  pumpAll();
  EXPECT_EQ(done.size(), 2u);
  const uint8_t byte = 128;
  EXPECT_FALSE(terminal_->audio.waveWrite(&byte, 1, 3));
  // A new format opens a fresh device.
  EXPECT_EQ(terminal_->audio.waveOpen(22050, 16, 2), plat::Audio::kWaveOk);
}

TEST_F(SdlAudioTest, ADeviceClosedAndOpenedAgainPlaysOnlyTheNewSound) {
  for (int round = 0; round < 3; ++round) {
    write(11025 * 5, 1);  // cut by the close
    terminal_->audio.waveClose();
    ASSERT_EQ(terminal_->audio.waveOpen(11025, 8, 1), plat::Audio::kWaveOk);
    write(300, 2);
  }
  pumpUntilDone(6);
  ASSERT_EQ(done.size(), 6u);
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(done[i].tag, i % 2 + 1) << i;
  EXPECT_EQ(terminal_->audio.waveOpen(11025, 8, 1), plat::Audio::kWaveBusy);
}

TEST_F(SdlAudioTest, TheConsolesToneLoopsBesideWaveOutputUntilStopped) {
  terminal_->install();
  resetConsole();
  playTone(440);
  EXPECT_TRUE(terminal_->audio.looping());
  write(600, 1);  // recordings still play while the tone sounds
  pumpUntilDone(1);
  EXPECT_EQ(done.size(), 1u);
  playTone(880);  // a new tone replaces the old one, on the same device
  EXPECT_TRUE(terminal_->audio.looping());
  stopTone();
  EXPECT_FALSE(terminal_->audio.looping());
  // What cannot be played is not played.
  const uint8_t junk[] = {'R', 'I', 'F', 'F', 0, 0};
  terminal_->audio.playLoopingWave(junk, sizeof junk);
  EXPECT_FALSE(terminal_->audio.looping());
  plat::clearServices();
}

TEST_F(SdlAudioTest, OneDeviceAtATimeAndOnlyFormatsItCanPlay) {
  EXPECT_EQ(terminal_->audio.waveOpen(11025, 8, 1), plat::Audio::kWaveBusy);
  terminal_->audio.waveClose();
  EXPECT_EQ(terminal_->audio.waveOpen(11025, 12, 1), plat::Audio::kWaveBadFormat);
  EXPECT_EQ(terminal_->audio.waveOpen(0, 8, 1), plat::Audio::kWaveBadFormat);
  EXPECT_EQ(terminal_->audio.waveOpen(11025, 8, 0), plat::Audio::kWaveBadFormat);
}

}  // namespace
