// Sound output: the looping tone, and waveform output in the shape of
// waveOut.
#ifndef TALONIX_PLATFORM_AUDIO_H_
#define TALONIX_PLATFORM_AUDIO_H_

#include <cstddef>
#include <cstdint>

namespace plat {

class Audio {
 public:
  // Result codes of waveOpen, as MMSYSERR: success, the device is busy
  // (worth retrying), no device or driver, format not supported.
  static constexpr int kWaveOk = 0;
  static constexpr int kWaveBusy = 4;
  static constexpr int kWaveNoDriver = 6;
  static constexpr int kWaveBadFormat = 32;

  virtual ~Audio() = default;

  // Plays an in-memory RIFF WAVE image looping until stopped
  // (sndPlaySoundA with SND_ASYNC | SND_MEMORY | SND_LOOP); it replaces a
  // sound looping before. The image is copied: the caller keeps its buffer.
  // An image that cannot be played is not played; nothing is reported.
  virtual void playLoopingWave(const uint8_t* image, size_t size) = 0;
  // Harmless when nothing loops.
  virtual void stopLoopingWave() = 0;

  // --- Waveform output ------------------------------------------------------
  // One output device at a time. Buffers play one after another in the
  // order written. Each written buffer comes back exactly once as a
  // kWaveDone event through the window's event loop on the program's thread
  // (never as a callback from another thread): wparam = the tag given to
  // waveWrite, lparam = its byte count. waveReset completes every pending
  // buffer at once (their events are posted before it returns); waveClose
  // on a device with pending buffers resets it first.
  //
  // Opens the device for PCM of that format; one of the result codes.
  virtual int waveOpen(uint32_t sampleRate, uint16_t bitsPerSample,
                       uint16_t channels) = 0;
  // Queues `size` bytes. The bytes are copied before it returns: the
  // caller's block is free at once (the player still reuses a block only
  // after its completion, as with waveOut). False when no device is open
  // or the buffer cannot be taken: then no event follows.
  virtual bool waveWrite(const uint8_t* data, size_t size, uintptr_t tag) = 0;
  // Both harmless when no device is open.
  virtual void waveReset() = 0;
  virtual void waveClose() = 0;
};

}  // namespace plat

#endif  // TALONIX_PLATFORM_AUDIO_H_
