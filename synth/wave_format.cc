#include "synth/wave_format.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kPieceBytes = 65534;
constexpr size_t kMinBuffer = 256;

uint16_t get16(const uint8_t* at) {
  return static_cast<uint16_t>(at[0] | (at[1] << 8));
}

uint32_t get32(const uint8_t* at) {
  return get16(at) | (static_cast<uint32_t>(get16(at + 2)) << 16);
}

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

bool readAll(WaveSource& source, uint8_t* into, size_t n) {
  return source.read(into, n) == n;
}

bool playableFormat(const WaveInfo& w) {
  return w.sampleRate != 0 && w.channels != 0 && w.bitsPerSample >= 8 &&
         w.bitsPerSample <= 32 && w.bitsPerSample % 8 == 0;
}

// Index of the largest sample in [from, to] (the first of equals).
size_t loudest(const uint8_t* s, size_t from, size_t to) {
  size_t best = from;
  for (size_t i = from + 1; i <= to; ++i) {
    if (s[i] > s[best]) best = i;
  }
  return best;
}

}  // namespace

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

size_t wavePieceSize(uint64_t remaining) {
  if (remaining > kPieceBytes && remaining < kPieceBytes + kMinBuffer) {
    return kPieceBytes - kMinBuffer;
  }
  return static_cast<size_t>(std::min<uint64_t>(remaining, kPieceBytes));
}

uint32_t fastRate(uint32_t rate) {
  const uint64_t triple = static_cast<uint64_t>(rate) * 3;
  uint64_t half = triple / 2;
  if ((triple & 1) && (half & 1)) ++half;  // x.5: take the even neighbour
  return static_cast<uint32_t>(std::min<uint64_t>(half, UINT32_MAX));
}

size_t compressSpeechPiece(uint8_t* s, size_t n, uint16_t bits, uint32_t rate) {
  if (bits == 16) {
    n /= 2;
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<uint8_t>(s[2 * i + 1] ^ 0x80);
  }
  if (n < 1000) return n;
  const bool low = rate == 11025;
  const size_t start = low ? 200 : 800;
  const size_t skip = low ? 80 : 320;
  const size_t window = low ? 50 : 200;
  // The first search must lie inside the piece.
  if (start + skip + window >= n) return n;
  size_t cur = loudest(s, start, start + skip + window);
  size_t out = cur;
  while (n > 2 * (skip + window) && n - 2 * (skip + window) > cur) {
    const size_t q = loudest(s, cur + skip, cur + skip + window);
    const size_t r = loudest(s, q + skip, q + skip + window);
    std::memmove(s + out, s + q, r - q + 1);
    out += r - q + 1;
    cur = r;
  }
  // Finish on a sample near silence, so the cut does not click.
  while (cur < n && out < n && (s[out] > 148 || s[out] < 108)) s[out++] = s[cur++];
  return out;
}
