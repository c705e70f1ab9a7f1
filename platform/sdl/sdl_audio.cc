#include "platform/sdl/sdl_audio.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>

#include "platform/platform.h"
#include "platform/posix/terminal_io.h"

#ifdef TALONIX_HAVE_SDL2
#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace plat::sdl {

#ifdef TALONIX_HAVE_SDL2
namespace {

struct Buffer {
  std::vector<uint8_t> bytes;
  size_t at = 0;
  uintptr_t tag = 0;
};

// Shared with SDL's audio thread; touched only under SDL_LockAudioDevice.
struct Shared {
  std::deque<Buffer> playing;
  std::vector<std::pair<uintptr_t, size_t>> finished;
  uint8_t silence = 0;
};

struct Format {
  uint32_t rate = 0;
  uint16_t bits = 0, channels = 0;
  bool operator==(const Format&) const = default;
};

struct Device {
  bool initTried = false;
  bool initOk = false;
  SDL_AudioDeviceID id = 0;
  Format format;
  // A closed device is only paused: SDL takes a few of its buffer periods
  // (a quarter second at 11025 Hz) to really close one, which would hold
  // up every key echoed. The next open of the same format takes it back.
  SDL_AudioDeviceID parked = 0;
  Format parkedFormat;
  Shared shared;
};

Device device;

void SDLCALL fill(void* userdata, Uint8* stream, int len) {
  Shared& s = *static_cast<Shared*>(userdata);
  size_t want = static_cast<size_t>(len);
  bool anyFinished = false;
  while (want > 0 && !s.playing.empty()) {
    Buffer& b = s.playing.front();
    const size_t n = std::min(want, b.bytes.size() - b.at);
    std::memcpy(stream, b.bytes.data() + b.at, n);
    stream += n;
    want -= n;
    b.at += n;
    if (b.at == b.bytes.size()) {
      s.finished.emplace_back(b.tag, b.bytes.size());
      s.playing.pop_front();
      anyFinished = true;
    }
  }
  if (want > 0) std::memset(stream, s.silence, want);
  if (anyFinished) plat::posix::postWake();
}

// Sound libraries report a missing card on stderr, which is the user's
// terminal, right across the screen. While SDL starts and opens, stderr
// goes nowhere.
class QuietStderr {
 public:
  QuietStderr() {
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0) return;
    saved_ = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (saved_ >= 0) ::dup2(null, STDERR_FILENO);
    ::close(null);
  }
  ~QuietStderr() {
    if (saved_ < 0) return;
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
  }
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_ = -1;
};

// SDL's thread must be gone before the process tears down its statics.
void shutDownAtExit() {
  if (device.id != 0) SDL_CloseAudioDevice(device.id);
  if (device.parked != 0) SDL_CloseAudioDevice(device.parked);
  device.id = device.parked = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool startSdl() {
  if (!device.initTried) {
    device.initTried = true;
    device.initOk = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (device.initOk) std::atexit(shutDownAtExit);
  }
  return device.initOk;
}

}  // namespace

int open(uint32_t sampleRate, uint16_t bitsPerSample, uint16_t channels) {
  if (device.id != 0) return plat::Platform::kWaveBusy;
  SDL_AudioSpec want;
  SDL_zero(want);
  switch (bitsPerSample) {
    case 8: want.format = AUDIO_U8; break;
    case 16: want.format = AUDIO_S16LSB; break;
    case 32: want.format = AUDIO_S32LSB; break;
    default: return plat::Platform::kWaveBadFormat;
  }
  if (sampleRate == 0 || channels == 0 || channels > 8 || sampleRate > 384000) {
    return plat::Platform::kWaveBadFormat;
  }
  (void)plat::posix::wakeReadFd();  // the self-pipe exists before SDL's thread runs
  const Format format{sampleRate, bitsPerSample, channels};
  if (device.parked != 0) {
    const SDL_AudioDeviceID parked = device.parked;
    device.parked = 0;
    if (device.parkedFormat == format) {
      // Paused, its callback does not run: the record is ours alone.
      device.shared.playing.clear();
      device.id = parked;
      device.format = format;
      SDL_PauseAudioDevice(device.id, 0);
      return plat::Platform::kWaveOk;
    }
    SDL_CloseAudioDevice(parked);
  }
  QuietStderr quiet;
  if (!startSdl()) return plat::Platform::kWaveNoDriver;
  want.freq = static_cast<int>(sampleRate);
  want.channels = static_cast<Uint8>(channels);
  want.samples = 1024;
  want.callback = fill;
  want.userdata = &device.shared;
  SDL_AudioSpec have;
  device.shared.playing.clear();
  device.shared.silence = bitsPerSample == 8 ? 128 : 0;
  // SDL converts to whatever the hardware takes.
  device.id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device.id == 0) return plat::Platform::kWaveNoDriver;
  device.format = format;
  SDL_PauseAudioDevice(device.id, 0);
  return plat::Platform::kWaveOk;
}

bool write(const uint8_t* data, size_t size, uintptr_t tag) {
  if (device.id == 0) return false;
  Buffer b;
  b.bytes.assign(data, data + size);
  b.tag = tag;
  SDL_LockAudioDevice(device.id);
  if (b.bytes.empty()) {
    device.shared.finished.emplace_back(tag, 0);
  } else {
    device.shared.playing.push_back(std::move(b));
  }
  SDL_UnlockAudioDevice(device.id);
  if (size == 0) plat::posix::postWake();
  return true;
}

void reset() {
  if (device.id == 0) return;
  SDL_LockAudioDevice(device.id);
  Shared& s = device.shared;
  for (const Buffer& b : s.playing) s.finished.emplace_back(b.tag, b.bytes.size());
  s.playing.clear();
  SDL_UnlockAudioDevice(device.id);
  plat::posix::postWake();
}

void close() {
  if (device.id == 0) return;
  reset();
  SDL_PauseAudioDevice(device.id, 1);  // returns once the callback is out
  device.parked = device.id;
  device.parkedFormat = device.format;
  device.id = 0;
}

bool isOpen() { return device.id != 0; }

std::vector<std::pair<uintptr_t, size_t>> takeFinished() {
  std::vector<std::pair<uintptr_t, size_t>> out;
  if (device.id != 0) SDL_LockAudioDevice(device.id);
  out.swap(device.shared.finished);
  if (device.id != 0) SDL_UnlockAudioDevice(device.id);
  return out;
}

#else  // built without SDL2: no device, silence

int open(uint32_t, uint16_t, uint16_t) { return plat::Platform::kWaveNoDriver; }
bool write(const uint8_t*, size_t, uintptr_t) { return false; }
void reset() {}
void close() {}
bool isOpen() { return false; }
std::vector<std::pair<uintptr_t, size_t>> takeFinished() { return {}; }

#endif

}  // namespace plat::sdl
