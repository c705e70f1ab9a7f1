// Building WAV bytes for tests, benchmarks and fuzz seeds.
#ifndef TALONIX_TESTS_WAVE_TEST_UTIL_H_
#define TALONIX_TESTS_WAVE_TEST_UTIL_H_

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace wavetest {

inline void put16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void put32(std::vector<uint8_t>& b, uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}
inline void tag(std::vector<uint8_t>& b, const char* t) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(t[i]));
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
  std::vector<uint8_t> b;
  b.reserve(64 + shape.extraChunk.size() + samples.size());
  tag(b, "RIFF");
  put32(b, static_cast<uint32_t>(36 + shape.extraChunk.size() + samples.size()));
  tag(b, "WAVE");
  tag(b, "fmt ");
  put32(b, shape.formatBytes);
  put16(b, 1);
  put16(b, shape.channels);
  put32(b, shape.rate);
  const uint32_t frame = shape.channels * (shape.bits / 8u);
  put32(b, shape.rate * frame);
  put16(b, frame);
  put16(b, shape.bits);
  b.insert(b.end(), shape.extraChunk.begin(), shape.extraChunk.end());
  tag(b, "data");
  put32(b, shape.dataLengthField < 0 ? static_cast<uint32_t>(samples.size())
                                    : static_cast<uint32_t>(shape.dataLengthField));
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
