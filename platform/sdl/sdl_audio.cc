#include "platform/sdl/sdl_audio.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <vector>

namespace plat::sdl {
namespace {

struct Buffer {
  std::vector<uint8_t> bytes;
  size_t at = 0;
  uintptr_t tag = 0;
};

// Shared with SDL's audio thread; touched only under SDL_LockAudioDevice
// (or while the device is paused, when its callback does not run).
struct Shared {
  std::deque<Buffer> playing;
  uint8_t silence = 0;
  EventSink* sink = nullptr;
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

void postDone(Shared& s, uintptr_t tag, size_t size) {
  Event done = eventOf(EventKind::kWaveDone);
  done.wparam = tag;
  done.lparam = size;
  if (s.sink) s.sink->postEvent(done);
}

void SDLCALL fill(void* userdata, Uint8* stream, int len) {
  Shared& s = *static_cast<Shared*>(userdata);
  size_t want = static_cast<size_t>(len);
  while (want > 0 && !s.playing.empty()) {
    Buffer& b = s.playing.front();
    const size_t n = std::min(want, b.bytes.size() - b.at);
    std::memcpy(stream, b.bytes.data() + b.at, n);
    stream += n;
    want -= n;
    b.at += n;
    if (b.at == b.bytes.size()) {
      postDone(s, b.tag, b.bytes.size());
      s.playing.pop_front();
    }
  }
  if (want > 0) std::memset(stream, s.silence, want);
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

void closeDevices() {
  if (device.id != 0) SDL_CloseAudioDevice(device.id);
  if (device.parked != 0) SDL_CloseAudioDevice(device.parked);
  device.id = device.parked = 0;
}

// SDL's thread must be gone before the process tears down its statics.
void shutDownAtExit() {
  closeDevices();
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

bool sdlFormatOf(uint16_t bitsPerSample, SDL_AudioFormat* format) {
  switch (bitsPerSample) {
    case 8: *format = AUDIO_U8; return true;
    case 16: *format = AUDIO_S16LSB; return true;
    case 32: *format = AUDIO_S32LSB; return true;
    default: return false;
  }
}

// Takes back the parked device when it has the format asked for.
bool unpark(const Format& format) {
  if (device.parked == 0) return false;
  const SDL_AudioDeviceID parked = device.parked;
  device.parked = 0;
  if (!(device.parkedFormat == format)) {
    SDL_CloseAudioDevice(parked);
    return false;
  }
  device.shared.playing.clear();  // paused: the record is ours alone
  device.id = parked;
  device.format = format;
  SDL_PauseAudioDevice(device.id, 0);
  return true;
}

}  // namespace

SdlAudio::SdlAudio(EventSink& sink) { device.shared.sink = &sink; }

SdlAudio::~SdlAudio() {
  closeDevices();
  device.shared.playing.clear();
  device.shared.sink = nullptr;
}

// Stand-in until the tone has a device of its own: silent.
void SdlAudio::playLoopingWave(const uint8_t*, size_t) {}
void SdlAudio::stopLoopingWave() {}

int SdlAudio::waveOpen(uint32_t sampleRate, uint16_t bitsPerSample,
                       uint16_t channels) {
  if (device.id != 0) return kWaveBusy;
  SDL_AudioSpec want;
  SDL_zero(want);
  if (!sdlFormatOf(bitsPerSample, &want.format) || sampleRate == 0 ||
      channels == 0 || channels > 8 || sampleRate > 384000) {
    return kWaveBadFormat;
  }
  const Format format{sampleRate, bitsPerSample, channels};
  if (unpark(format)) return kWaveOk;
  QuietStderr quiet;
  if (!startSdl()) return kWaveNoDriver;
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
  if (device.id == 0) return kWaveNoDriver;
  device.format = format;
  SDL_PauseAudioDevice(device.id, 0);
  return kWaveOk;
}

bool SdlAudio::waveWrite(const uint8_t* data, size_t size, uintptr_t tag) {
  if (device.id == 0) return false;
  Buffer b;
  b.bytes.assign(data, data + size);
  b.tag = tag;
  SDL_LockAudioDevice(device.id);
  if (b.bytes.empty()) {
    postDone(device.shared, tag, 0);
  } else {
    device.shared.playing.push_back(std::move(b));
  }
  SDL_UnlockAudioDevice(device.id);
  return true;
}

void SdlAudio::waveReset() {
  if (device.id == 0) return;
  SDL_LockAudioDevice(device.id);
  Shared& s = device.shared;
  for (const Buffer& b : s.playing) postDone(s, b.tag, b.bytes.size());
  s.playing.clear();
  SDL_UnlockAudioDevice(device.id);
}

void SdlAudio::waveClose() {
  if (device.id == 0) return;
  waveReset();
  SDL_PauseAudioDevice(device.id, 1);  // returns once the callback is out
  device.parked = device.id;
  device.parkedFormat = device.format;
  device.id = 0;
}

bool SdlAudio::waveDeviceOpen() const { return device.id != 0; }
bool SdlAudio::looping() const { return false; }

}  // namespace plat::sdl
