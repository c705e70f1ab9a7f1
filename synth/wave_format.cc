#include "synth/wave_format.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kPieceBytes = 65534;
constexpr size_t kMinBuffer = 256;

// Index of the largest sample in [from, to] (the first of equals).
size_t loudest(const uint8_t* s, size_t from, size_t to) {
  size_t best = from;
  for (size_t i = from + 1; i <= to; ++i) {
    if (s[i] > s[best]) best = i;
  }
  return best;
}

}  // namespace

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
