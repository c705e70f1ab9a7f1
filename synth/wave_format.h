// The sample transformations applied on the way to the device (speed-up,
// speech compression, piece sizes). The RIFF layout itself is read by
// platform/shared/riff.h.
#ifndef TALONIX_SYNTH_WAVE_FORMAT_H_
#define TALONIX_SYNTH_WAVE_FORMAT_H_

#include <cstddef>
#include <cstdint>

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
