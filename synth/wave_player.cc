#include "synth/wave_player.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/platform.h"
#include "platform/shared/riff.h"
#include "synth/wave_format.h"

namespace {

constexpr int kOpenAttempts = 100;
constexpr int kFullQueueWaits = 40;
constexpr size_t kMinBuffer = 256;

WavePlayerState playerRecord;
// The device blocks and the file buffer live as long as the program.
uint8_t dataBlocks[kWaveBlocks][kWaveBlockBytes];
uint8_t fileBuffer[kWaveBlockBytes];

bool keyStops() { return playerRecord.stopOnKey && keyAvailable(); }

class FileWaveSource : public plat::WaveSource {
 public:
  explicit FileWaveSource(std::ifstream& in) : in_(in) {
    in_.seekg(0, std::ios::end);
    const std::streamoff end = in_.tellg();
    size_ = end > 0 ? static_cast<uint64_t>(end) : 0;
    in_.seekg(0, std::ios::beg);
  }
  size_t read(uint8_t* into, size_t n) override {
    in_.read(reinterpret_cast<char*>(into), static_cast<std::streamsize>(n));
    const size_t got = static_cast<size_t>(std::max<std::streamsize>(0, in_.gcount()));
    at_ += got;
    return got;
  }
  bool skip(uint64_t n) override {
    if (n > remaining()) return false;
    at_ += n;
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(at_), std::ios::beg);
    return static_cast<bool>(in_);
  }
  uint64_t remaining() override { return at_ < size_ ? size_ - at_ : 0; }

 private:
  std::ifstream& in_;
  uint64_t size_ = 0;
  uint64_t at_ = 0;
};

int openDevice(uint32_t rate, uint16_t bits, uint16_t channels) {
  WavePlayerState& s = playerRecord;
  if (s.deviceOpen &&
      (rate != s.sampleRate || bits != s.bitsPerSample || channels != s.channels)) {
    while (isPlaying()) plat::window().waitEvent();
    stopPlayback();  // a key may have ended the wait with the device open
  }
  if (s.deviceOpen) return 0;
  int result = 0;
  for (int attempt = 1;; ++attempt) {
    result = plat::audio().waveOpen(rate, bits, channels);
    if (result != plat::Audio::kWaveBusy || attempt >= kOpenAttempts) break;
    waitMs(100);
  }
  setWaveDoneHandler(onWaveBufferDone);
  if (result == 0) {
    s.deviceOpen = true;
    s.sampleRate = rate;
    s.bitsPerSample = bits;
    s.channels = channels;
  }
  return result;
}

int nextRingIndex() { return playerRecord.ringIndex % kWaveBlocks + 1; }

bool queueFull() {
  const WavePlayerState& s = playerRecord;
  return s.queued >= kWaveBlocks || s.inFlight[nextRingIndex() - 1];
}

// Copies a piece into the next device block, compresses and pads it there,
// and hands it to the device. The block is never filled past its size.
bool queueBuffer(const uint8_t* bytes, size_t count, bool compress,
                 uint16_t sourceBits) {
  WavePlayerState& s = playerRecord;
  for (int wait = 0; wait < kFullQueueWaits && queueFull(); ++wait) {
    pumpMessages();
    waitMs(50);
  }
  if (queueFull() || !s.deviceOpen) return false;
  const int index = nextRingIndex();
  uint8_t* block = dataBlocks[index - 1];
  count = std::min(count, kWaveBlockBytes);
  std::memcpy(block, bytes, count);
  size_t length = count;
  if (compress) length = compressSpeechPiece(block, count, sourceBits, s.sampleRate);
  const bool mono8 = s.bitsPerSample == 8 && s.channels == 1;
  if (length < kMinBuffer) {
    std::memset(block + length, mono8 || s.bitsPerSample == 8 ? 128 : 0,
                kMinBuffer - length);
  }
  if (mono8 && length != kWaveBlockBytes && length > 0) block[length - 1] = 128;
  const size_t bufferLength = std::max(length, kMinBuffer);
  if (!plat::audio().waveWrite(block, bufferLength, static_cast<uintptr_t>(index))) {
    return false;
  }
  s.ringIndex = index;
  s.inFlight[index - 1] = true;
  ++s.queued;
  return true;
}

}  // namespace

WavePlayerState& wavePlayer() { return playerRecord; }
void resetWavePlayer() { playerRecord = WavePlayerState{}; }

void onWaveBufferDone(uintptr_t wparam, uintptr_t lparam) {
  (void)lparam;
  WavePlayerState& s = playerRecord;
  // A block of a device already closed comes back once more: ignore it.
  if (wparam < 1 || wparam > static_cast<uintptr_t>(kWaveBlocks)) return;
  if (!s.inFlight[wparam - 1]) return;
  s.inFlight[wparam - 1] = false;
  if (s.queued > 0) --s.queued;
}

int playSamples(const uint8_t* data, size_t count, uint32_t sampleRate,
                uint16_t channels, uint16_t bitsPerSample) {
  WavePlayerState& s = playerRecord;
  if (!data || count == 0) return 0;
  if (sampleRate == 0 || channels == 0 || bitsPerSample == 0) {
    return plat::Audio::kWaveBadFormat;
  }
  const uint32_t rate = s.fastPlay ? fastRate(sampleRate) : sampleRate;
  const bool compress = s.compressSpeech && channels == 1 &&
                        (bitsPerSample == 8 || bitsPerSample == 16);
  const int opened = openDevice(rate, compress ? 8 : bitsPerSample, channels);
  if (opened != 0) return opened;
  while (count > 0) {
    while (s.queued >= kWaveBlocks) {
      if (keyStops()) {
        stopPlayback();
        return 0;
      }
      waitMs(10);
    }
    if (keyStops()) {
      stopPlayback();
      return 0;
    }
    const size_t piece = std::min(count, kWaveBlockBytes);
    // A device that no longer takes sound is given up: the rest would be
    // lost too, and nothing would come back to end the wait for it.
    if (!queueBuffer(data, piece, compress, bitsPerSample)) {
      stopPlayback();
      return plat::Audio::kWaveNoDriver;
    }
    data += piece;
    count -= piece;
  }
  return 0;
}

void playWaveImage(const uint8_t* image, size_t size) {
  plat::WaveInfo info;
  size_t offset = 0;
  if (!plat::parseWaveImage(image, size, &info, &offset)) return;
  playSamples(image + offset, static_cast<size_t>(info.dataBytes), info.sampleRate,
              info.channels, info.bitsPerSample);
}

void playWaveImage(const uint8_t* image) {
  if (!image) return;
  playWaveImage(image, static_cast<size_t>(plat::get32(image + 4)) + 8);
}

int queueWaveSource(plat::WaveSource& source) {
  plat::WaveInfo info;
  if (!plat::readWaveHeader(source, &info)) return -1;
  uint64_t remaining = info.dataBytes;
  int result = 0;
  while (remaining > 0) {
    const size_t got = source.read(fileBuffer, wavePieceSize(remaining));
    if (got == 0) break;
    remaining -= got;
    result = playSamples(fileBuffer, got, info.sampleRate, info.channels,
                         info.bitsPerSample);
    if (result != 0 || keyStops()) break;
  }
  return result;
}

int playWaveFile(std::string_view name) {
  if (keyStops()) return 0;
  std::ifstream in(plat::system().nativePath(name), std::ios::binary);
  if (!in) return -1;
  FileWaveSource source(in);
  const int result = queueWaveSource(source);
  in.close();
  while (isPlaying()) plat::window().waitEvent();
  return result;
}

bool isPlaying() {
  WavePlayerState& s = playerRecord;
  pumpMessages();
  if (keyStops() || s.queued == 0) stopPlayback();
  return s.queued != 0;
}

void stopPlayback() {
  WavePlayerState& s = playerRecord;
  if (!s.deviceOpen) return;
  plat::Audio& p = plat::audio();
  if (s.queued > 0) p.waveReset();
  pumpMessages();
  p.waveClose();
  pumpMessages();
  // Whatever did not come back belongs to the closed device.
  s.deviceOpen = false;
  s.queued = 0;
  std::fill(std::begin(s.inFlight), std::end(s.inFlight), false);
}
