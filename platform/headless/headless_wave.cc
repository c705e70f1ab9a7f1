// The headless wave output: every buffer is captured with its format and
// "plays" in virtual time, so a run waits for sound exactly as long as the
// sound lasts without taking that long.
#include <algorithm>

#include "platform/headless/headless_platform.h"

namespace plat::headless {
namespace {

uint64_t bytesPerSecond(const WaveCapture& w) {
  const uint64_t frame =
      static_cast<uint64_t>(w.channels) * std::max<uint16_t>(1, w.bitsPerSample / 8);
  return std::max<uint64_t>(1, frame * w.sampleRate);
}

uint64_t durationUs(const WaveCapture& w) {
  return w.data.size() * 1000000ull / bytesPerSecond(w);
}

}  // namespace

int HeadlessPlatform::waveOpen(uint32_t sampleRate, uint16_t bitsPerSample,
                               uint16_t channels) {
  ++waveOpens_;
  if (waveOpenResult_ != kWaveOk) return waveOpenResult_;
  if (waveOpen_) return kWaveBusy;
  if (sampleRate == 0 || channels == 0 || bitsPerSample == 0) return kWaveBadFormat;
  waveOpen_ = true;
  waveRate_ = sampleRate;
  waveBits_ = bitsPerSample;
  waveChannels_ = channels;
  waveEndUs_ = nowUs();
  return kWaveOk;
}

bool HeadlessPlatform::waveWrite(const uint8_t* data, size_t size, uintptr_t tag) {
  if (!waveOpen_ || waveWritesLeft_ == 0) return false;
  if (waveWritesLeft_ > 0) --waveWritesLeft_;
  WaveCapture w;
  w.sampleRate = waveRate_;
  w.bitsPerSample = waveBits_;
  w.channels = waveChannels_;
  w.tag = tag;
  w.data.assign(data, data + size);
  w.startUs = std::max(nowUs(), waveEndUs_);
  w.endUs = w.startUs + durationUs(w);
  w.playedBytes = size;
  waveEndUs_ = w.endUs;
  waves_.push_back(std::move(w));
  wavePending_.push_back(waves_.size() - 1);
  return true;
}

void HeadlessPlatform::completeWave(size_t index, uint64_t playedUs) {
  WaveCapture& w = waves_[index];
  const uint64_t frame =
      static_cast<uint64_t>(w.channels) * std::max<uint16_t>(1, w.bitsPerSample / 8);
  uint64_t played = playedUs * bytesPerSecond(w) / 1000000ull;
  played -= played % frame;
  // A buffer that sounded to its end played whole, whatever the rounding
  // of its duration to microseconds.
  if (playedUs >= w.endUs - w.startUs) played = w.data.size();
  w.playedBytes = static_cast<size_t>(std::min<uint64_t>(played, w.data.size()));
  plat::Event done;
  done.kind = plat::EventKind::kWaveDone;
  done.wparam = w.tag;
  done.lparam = w.data.size();
  postEvent(done);
}

void HeadlessPlatform::waveReset() {
  const uint64_t now = nowUs();
  for (size_t index : wavePending_) {
    const WaveCapture& w = waves_[index];
    completeWave(index, now > w.startUs ? std::min(now, w.endUs) - w.startUs : 0);
  }
  wavePending_.clear();
  waveEndUs_ = now;
}

void HeadlessPlatform::waveClose() {
  if (!wavePending_.empty()) waveReset();
  waveOpen_ = false;
}

// A sleep lets virtual time pass: sound that ends meanwhile completes.
void HeadlessPlatform::sleepMs(unsigned ms) {
  elapsedMs_ += ms;
  deliverDue();
}

void HeadlessPlatform::postEventAt(uint64_t atMs, const plat::Event& event) {
  // Kept in time order; equal times keep the order they were posted in.
  auto at = std::upper_bound(
      timed_.begin(), timed_.end(), atMs,
      [](uint64_t t, const TimedEvent& e) { return t < e.atMs; });
  timed_.insert(at, TimedEvent{atMs, event});
  deliverDue();
}

void HeadlessPlatform::deliverDue() {
  const uint64_t now = nowUs();
  while (!wavePending_.empty() && waves_[wavePending_.front()].endUs <= now) {
    const size_t index = wavePending_.front();
    wavePending_.pop_front();
    completeWave(index, waves_[index].endUs - waves_[index].startUs);
  }
  size_t due = 0;
  while (due < timed_.size() && timed_[due].atMs <= elapsedMs_) {
    postEvent(timed_[due].event);
    ++due;
  }
  timed_.erase(timed_.begin(), timed_.begin() + static_cast<ptrdiff_t>(due));
}

bool HeadlessPlatform::advanceToNextSoundEvent() {
  uint64_t nextUs = UINT64_MAX;
  if (!wavePending_.empty()) nextUs = waves_[wavePending_.front()].endUs;
  if (!timed_.empty()) nextUs = std::min(nextUs, timed_.front().atMs * 1000);
  if (nextUs == UINT64_MAX) return false;
  const uint64_t nextMs = (nextUs + 999) / 1000;
  elapsedMs_ = std::max(elapsedMs_, nextMs);
  deliverDue();
  return true;
}

}  // namespace plat::headless
