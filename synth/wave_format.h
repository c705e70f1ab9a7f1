// Reading the RIFF WAV layout: the header walk shared by files and
// in-memory images, and the sample transformations applied on the way to
// the device (speed-up, speech compression, piece sizes).
#ifndef TALONIX_SYNTH_WAVE_FORMAT_H_
#define TALONIX_SYNTH_WAVE_FORMAT_H_

#include <cstddef>
#include <cstdint>

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
// the source at the first sample. False for anything that is not a
// playable PCM layout: missing tags, a truncated or too short format
// chunk, zero channels or rate, bits per sample that are not a whole
// number of bytes (8 to 32), a chunk that runs past the end.
bool readWaveHeader(WaveSource& source, WaveInfo* info);

// readWaveHeader over bytes; *dataOffset is where the samples begin.
bool parseWaveImage(const uint8_t* image, size_t size, WaveInfo* info,
                    size_t* dataOffset);

// The size of the next piece read from a file with `remaining` bytes left:
// a last piece is never left shorter than 256 bytes.
size_t wavePieceSize(uint64_t remaining);

// rate x 1.5 to the nearest integer, a half going to the even neighbour.
uint32_t fastRate(uint32_t rate);

// Drops every other pitch period of a mono piece in place; 16-bit samples
// become unsigned 8-bit ones first. Returns the new length in bytes (never
// more than n).
size_t compressSpeechPiece(uint8_t* piece, size_t n, uint16_t bits,
                           uint32_t rate);

#endif  // TALONIX_SYNTH_WAVE_FORMAT_H_
