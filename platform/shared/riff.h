// The RIFF WAV layout: little-endian fields, the canonical 44-byte PCM
// header every sound the program builds carries, and the header walk
// shared by files and in-memory images. Portable: the standard library
// only.
#ifndef TALONIX_PLATFORM_SHARED_RIFF_H_
#define TALONIX_PLATFORM_SHARED_RIFF_H_

#include <cstddef>
#include <cstdint>

namespace plat {

// Little-endian fields at `at` (2 or 4 bytes there).
inline uint16_t get16(const uint8_t* at) {
  return static_cast<uint16_t>(at[0] | (at[1] << 8));
}
inline uint32_t get32(const uint8_t* at) {
  return get16(at) | (static_cast<uint32_t>(get16(at + 2)) << 16);
}
inline void put16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}
inline void put32(uint8_t* at, uint32_t value) {
  put16(at, value);
  put16(at + 2, value >> 16);
}

constexpr size_t kPcmHeaderBytes = 44;

// Writes the 44-byte header of a PCM WAV holding `dataBytes` of samples at
// `at`: "RIFF", the length, "WAVE", a 16-byte "fmt " chunk and the "data"
// chunk's head. A format of less than a byte per frame is given a block
// size of 1.
void writePcmHeader(uint8_t* at, uint32_t dataBytes, uint32_t sampleRate,
                    uint16_t bitsPerSample, uint16_t channels);

// Where the header walk reads from. read() returns the bytes actually
// read; skip() false when the source ends before n more bytes.
class WaveSource {
 public:
  virtual ~WaveSource() = default;
  virtual size_t read(uint8_t* into, size_t n) = 0;
  virtual bool skip(uint64_t n) = 0;
  // Bytes left from the current position.
  virtual uint64_t remaining() = 0;
};

class MemoryWaveSource : public WaveSource {
 public:
  MemoryWaveSource(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}
  size_t read(uint8_t* into, size_t n) override;
  bool skip(uint64_t n) override;
  uint64_t remaining() override { return size_ - at_; }
  size_t position() const { return at_; }

 private:
  const uint8_t* bytes_;
  size_t size_;
  size_t at_ = 0;
};

struct WaveInfo {
  uint32_t sampleRate = 0;
  uint16_t channels = 0;
  uint16_t bitsPerSample = 0;
  // Bytes of the data chunk that really follow (a length running past the
  // end of the source is cut to what is there).
  uint64_t dataBytes = 0;
};

// Walks "RIFF", the "fmt " chunk and any other chunks up to "data", leaving
// the source at the first sample. Tags match in either case. False for
// anything that is not a playable PCM layout: missing tags, a truncated or
// too short format chunk, zero channels or rate, bits per sample that are
// not a whole number of bytes (8 to 32), a chunk that runs past the end.
bool readWaveHeader(WaveSource& source, WaveInfo* info);

// readWaveHeader over bytes; *dataOffset is where the samples begin.
bool parseWaveImage(const uint8_t* image, size_t size, WaveInfo* info,
                    size_t* dataOffset);

}  // namespace plat

#endif  // TALONIX_PLATFORM_SHARED_RIFF_H_
