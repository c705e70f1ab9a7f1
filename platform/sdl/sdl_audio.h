// Sound through SDL2's audio subsystem (any driver SDL has: a real card,
// "dummy", "disk"), for every backend that runs on SDL: the terminal today,
// the SDL window later. SDL starts on the first open, never at program
// start; a machine without a usable device gets kWaveNoDriver and the
// program stays silent. SDL's own thread only moves bytes; each finished
// buffer goes to the event sink as a kWaveDone event, which the window
// delivers on the program's thread.
//
// SDL audio is process-wide: one SdlAudio at a time.
#ifndef TALONIX_PLATFORM_SDL_SDL_AUDIO_H_
#define TALONIX_PLATFORM_SDL_SDL_AUDIO_H_

#include <cstddef>
#include <cstdint>

#include "platform/audio.h"
#include "platform/window.h"

namespace plat::sdl {

class SdlAudio : public Audio {
 public:
  // `sink` outlives this object.
  explicit SdlAudio(EventSink& sink);
  // Closes every device; SDL's thread is gone when it returns.
  ~SdlAudio() override;
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  // The looping tone is mixed into the device beside wave output.
  void playLoopingWave(const uint8_t* image, size_t size) override;
  void stopLoopingWave() override;
  int waveOpen(uint32_t sampleRate, uint16_t bitsPerSample,
               uint16_t channels) override;
  bool waveWrite(const uint8_t* data, size_t size, uintptr_t tag) override;
  void waveReset() override;
  void waveClose() override;

  bool waveDeviceOpen() const;
  bool looping() const;
};

}  // namespace plat::sdl

#endif  // TALONIX_PLATFORM_SDL_SDL_AUDIO_H_
