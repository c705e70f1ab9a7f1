// The sound device of the terminal backend, through SDL2's audio
// subsystem (any driver SDL has: a real card, "dummy", "disk"). SDL is
// started on the first open, never at program start; a machine without a
// usable device gets kWaveNoDriver and the program stays silent. SDL's own
// thread only moves bytes and marks finished buffers; the program's thread
// collects them with takeFinished() after the self-pipe woke it.
#ifndef TALONIX_PLATFORM_SDL_SDL_AUDIO_H_
#define TALONIX_PLATFORM_SDL_SDL_AUDIO_H_

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace plat::sdl {

// Result codes as plat::Platform::waveOpen.
int open(uint32_t sampleRate, uint16_t bitsPerSample, uint16_t channels);
bool write(const uint8_t* data, size_t size, uintptr_t tag);
void reset();
void close();
bool isOpen();
// (tag, size) of each buffer finished since the last call, in order.
std::vector<std::pair<uintptr_t, size_t>> takeFinished();

}  // namespace plat::sdl

#endif  // TALONIX_PLATFORM_SDL_SDL_AUDIO_H_
