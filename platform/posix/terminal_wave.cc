// The terminal backend's wave output: the SDL device, with finished
// buffers turned into kWaveDone events on the program's thread.
#include "platform/sdl/sdl_audio.h"
#include "platform/posix/terminal_platform.h"

namespace plat::posix {

int TerminalPlatform::waveOpen(uint32_t sampleRate, uint16_t bitsPerSample,
                               uint16_t channels) {
  return plat::sdl::open(sampleRate, bitsPerSample, channels);
}

bool TerminalPlatform::waveWrite(const uint8_t* data, size_t size,
                                 uintptr_t tag) {
  return plat::sdl::write(data, size, tag);
}

void TerminalPlatform::waveReset() {
  plat::sdl::reset();
  queueWaveDone();
}

void TerminalPlatform::waveClose() {
  plat::sdl::close();
  queueWaveDone();
}

void TerminalPlatform::queueWaveDone() {
  for (const auto& [tag, size] : plat::sdl::takeFinished()) {
    plat::Event done;
    done.kind = plat::EventKind::kWaveDone;
    done.wparam = tag;
    done.lparam = size;
    queue_.push_back(done);
  }
}

}  // namespace plat::posix
