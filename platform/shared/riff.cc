#include "platform/shared/riff.h"

#include <algorithm>
#include <cstring>

namespace plat {
namespace {

bool tagIs(const uint8_t* at, const char* tag) {
  for (int i = 0; i < 4; ++i) {
    char c = static_cast<char>(at[i]);
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    char t = tag[i];
    if (t >= 'a' && t <= 'z') t = static_cast<char>(t - 'a' + 'A');
    if (c != t) return false;
  }
  return true;
}

void putTag(uint8_t* at, const char* tag) { std::memcpy(at, tag, 4); }

bool readAll(WaveSource& source, uint8_t* into, size_t n) {
  return source.read(into, n) == n;
}

bool playableFormat(const WaveInfo& w) {
  return w.sampleRate != 0 && w.channels != 0 && w.bitsPerSample >= 8 &&
         w.bitsPerSample <= 32 && w.bitsPerSample % 8 == 0;
}

}  // namespace

void writePcmHeader(uint8_t* at, uint32_t dataBytes, uint32_t sampleRate,
                    uint16_t bitsPerSample, uint16_t channels) {
  const uint32_t frameBytes = channels * (bitsPerSample / 8u);
  putTag(at, "RIFF");
  put32(at + 4, dataBytes + 36);
  putTag(at + 8, "WAVE");
  putTag(at + 12, "fmt ");
  put32(at + 16, 16);
  put16(at + 20, 1);  // PCM
  put16(at + 22, channels);
  put32(at + 24, sampleRate);
  put32(at + 28, sampleRate * frameBytes);
  put16(at + 32, frameBytes == 0 ? 1 : frameBytes);
  put16(at + 34, bitsPerSample);
  putTag(at + 36, "data");
  put32(at + 40, dataBytes);
}

size_t MemoryWaveSource::read(uint8_t* into, size_t n) {
  const size_t count = std::min(n, size_ - at_);
  if (count) std::memcpy(into, bytes_ + at_, count);
  at_ += count;
  return count;
}

bool MemoryWaveSource::skip(uint64_t n) {
  if (n > size_ - at_) {
    at_ = size_;
    return false;
  }
  at_ += static_cast<size_t>(n);
  return true;
}

bool readWaveHeader(WaveSource& source, WaveInfo* info) {
  uint8_t head[12];
  if (!readAll(source, head, 12) || !tagIs(head, "RIFF")) return false;
  uint8_t chunk[8];
  if (!readAll(source, chunk, 8) || !tagIs(chunk, "fmt ")) return false;
  const uint32_t formatBytes = get32(chunk + 4);
  uint8_t format[16];
  if (formatBytes < sizeof format || formatBytes > source.remaining() ||
      !readAll(source, format, sizeof format) ||
      !source.skip(formatBytes - sizeof format)) {
    return false;
  }
  WaveInfo w;
  w.channels = get16(format + 2);
  w.sampleRate = get32(format + 4);
  w.bitsPerSample = get16(format + 14);
  if (!playableFormat(w)) return false;
  for (;;) {
    if (!readAll(source, chunk, 8)) return false;
    const uint32_t length = get32(chunk + 4);
    if (tagIs(chunk, "data")) {
      w.dataBytes = std::min<uint64_t>(length, source.remaining());
      break;
    }
    if (!source.skip(length)) return false;
  }
  *info = w;
  return true;
}

bool parseWaveImage(const uint8_t* image, size_t size, WaveInfo* info,
                    size_t* dataOffset) {
  if (!image) return false;
  MemoryWaveSource source(image, size);
  if (!readWaveHeader(source, info)) return false;
  *dataOffset = source.position();
  return true;
}

}  // namespace plat
