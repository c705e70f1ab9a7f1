// Playback of PCM WAV sound: recorded files and in-memory images, streamed
// through the platform's waveform output in pieces of at most 65534 bytes
// over a ring of four device blocks. Finished blocks come back through the
// console window's wave-done slot. A key waiting stops playback.
#ifndef TALONIX_SYNTH_WAVE_PLAYER_H_
#define TALONIX_SYNTH_WAVE_PLAYER_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace plat {
class WaveSource;
}  // namespace plat

constexpr size_t kWaveBlockBytes = 65534;
constexpr int kWaveBlocks = 4;

struct WavePlayerState {
  bool fastPlay = false;        // play at 1.5 times the sample rate
  bool compressSpeech = false;  // drop every other pitch period (mono)
  bool stopOnKey = true;        // a waiting key stops playback
  bool deviceOpen = false;
  uint32_t sampleRate = 0;      // format of the open device
  uint16_t bitsPerSample = 0;
  uint16_t channels = 0;
  int queued = 0;               // blocks handed to the device, not back yet
  int ringIndex = 0;            // last block used, 1..4 (0: none yet)
  bool inFlight[kWaveBlocks] = {};
};

WavePlayerState& wavePlayer();
void resetWavePlayer();

// 0 when played or stopped by a key, -1 when the file cannot be opened or
// is not a WAV file, otherwise the device-open error code. Returns when the
// sound has ended or a key stopped it.
int playWaveFile(std::string_view name);
// What playWaveFile does with the open file, over any source (bytes in
// memory too): reads the header and queues the samples piece by piece.
// Returns as playWaveFile does, but once the last piece is queued (or a
// key stopped playback).
int queueWaveSource(plat::WaveSource& source);
// Plays a RIFF WAV image of `size` bytes held in memory; returns when the
// last piece is queued. The samples are copied: the image only has to
// stay valid during the call, and it is never changed.
void playWaveImage(const uint8_t* image, size_t size);
// The same for an image the program built itself, whose RIFF length field
// tells its size.
void playWaveImage(const uint8_t* image);
// 0, or the device-open error code (kWaveNoDriver too when the device
// stopped taking sound: the playback is then stopped); returns when the
// last piece is queued.
int playSamples(const uint8_t* data, size_t count, uint32_t sampleRate,
                uint16_t channels, uint16_t bitsPerSample);
// True while sound is still queued; closes the device otherwise, and
// stops playback when a key waits.
bool isPlaying();
// Silences and closes the device.
void stopPlayback();
// The console's wave-done slot: one finished block (wparam = its ring
// index).
void onWaveBufferDone(uintptr_t wparam, uintptr_t lparam);

#endif  // TALONIX_SYNTH_WAVE_PLAYER_H_
