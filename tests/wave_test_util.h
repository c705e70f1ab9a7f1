// Building WAV bytes for tests, benchmarks and fuzz seeds.
#ifndef TALONIX_TESTS_WAVE_TEST_UTIL_H_
#define TALONIX_TESTS_WAVE_TEST_UTIL_H_

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/shared/riff.h"

namespace wavetest {

inline void tag(std::vector<uint8_t>& b, const char* t) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(t[i]));
}
// Appends a little-endian field.
inline void put16(std::vector<uint8_t>& b, uint32_t v) {
  b.resize(b.size() + 2);
  plat::put16(b.data() + b.size() - 2, v);
}
inline void put32(std::vector<uint8_t>& b, uint32_t v) {
  b.resize(b.size() + 4);
  plat::put32(b.data() + b.size() - 4, v);
}

struct WavShape {
  uint32_t rate = 11025;
  uint16_t bits = 8;
  uint16_t channels = 1;
  uint32_t formatBytes = 16;      // the length the "fmt " chunk claims
  std::vector<uint8_t> extraChunk;  // a whole chunk placed before "data"
  int64_t dataLengthField = -1;   // -1: the real sample count
};

inline std::vector<uint8_t> makeWav(const std::vector<uint8_t>& samples,
                                    const WavShape& shape = {}) {
  const uint32_t dataLength = shape.dataLengthField < 0
                                  ? static_cast<uint32_t>(samples.size())
                                  : static_cast<uint32_t>(shape.dataLengthField);
  std::vector<uint8_t> b(plat::kPcmHeaderBytes);
  b.reserve(64 + shape.extraChunk.size() + samples.size());
  plat::writePcmHeader(b.data(), dataLength, shape.rate, shape.bits, shape.channels);
  plat::put32(b.data() + 4, static_cast<uint32_t>(36 + shape.extraChunk.size() + samples.size()));
  plat::put32(b.data() + 16, shape.formatBytes);
  b.insert(b.begin() + 36, shape.extraChunk.begin(), shape.extraChunk.end());
  b.insert(b.end(), samples.begin(), samples.end());
  return b;
}

inline std::vector<uint8_t> listChunk() {
  std::vector<uint8_t> c;
  tag(c, "LIST");
  put32(c, 10);
  const char info[] = "INFOISFT\0\0";
  c.insert(c.end(), info, info + 10);
  return c;
}

// A falling and rising 8-bit pattern; `period` samples per cycle.
inline std::vector<uint8_t> tone8(size_t count, size_t period = 50) {
  std::vector<uint8_t> s(count);
  for (size_t i = 0; i < count; ++i) {
    const size_t p = i % period;
    const size_t half = period / 2;
    s[i] = static_cast<uint8_t>(p < half ? 128 + p * 100 / half : 228 - (p - half) * 100 / half);
  }
  return s;
}

inline void writeBytes(const std::filesystem::path& file, const std::vector<uint8_t>& b) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

}  // namespace wavetest

#endif  // TALONIX_TESTS_WAVE_TEST_UTIL_H_
