// One SDL device, opened on first use and kept running: wave output plays
// in the device's own format and the looping tone is converted to it and
// mixed in. Many SDL drivers (dummy and disk among them) give a process
// only one output device, and opening or closing one takes a few of its
// buffer periods (a quarter second at 11025 Hz), which would hold up every
// echoed key: the device is reopened only when a sound of another format
// comes.
#include "platform/sdl/sdl_audio.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <vector>

#include "platform/shared/riff.h"

namespace plat::sdl {
namespace {

struct Buffer {
  std::vector<uint8_t> bytes;
  size_t at = 0;
  uintptr_t tag = 0;
};

struct Format {
  uint32_t rate = 0;
  uint16_t bits = 0, channels = 0;
  bool operator==(const Format&) const = default;
};

// Shared with SDL's audio thread; touched only under SDL_LockAudioDevice.
struct Shared {
  std::deque<Buffer> playing;
  std::vector<uint8_t> tone;  // in the device's format; loops while not empty
  size_t toneAt = 0;
  uint16_t bits = 8;          // of the device's samples
  EventSink* sink = nullptr;
};

struct Device {
  bool initTried = false;
  bool initOk = false;
  SDL_AudioDeviceID id = 0;
  Format format;           // of the device
  bool waveOpen = false;   // wave output is open on it
  // The tone as given, kept to convert it again for a new device format.
  std::vector<uint8_t> toneSamples;
  Format toneFormat;
  Shared shared;
};

Device device;

void postDone(Shared& s, uintptr_t tag, size_t size) {
  Event done = eventOf(EventKind::kWaveDone);
  done.wparam = tag;
  done.lparam = size;
  if (s.sink) s.sink->postEvent(done);
}

template <typename T>
void mixSamples(uint8_t* out, const uint8_t* in, size_t bytes, long long low,
                long long high, long long zero) {
  for (size_t i = 0; i + sizeof(T) <= bytes; i += sizeof(T)) {
    T a, b;
    std::memcpy(&a, out + i, sizeof a);
    std::memcpy(&b, in + i, sizeof b);
    const long long sum = static_cast<long long>(a) + b - zero;
    const T c = static_cast<T>(std::clamp(sum, low, high));
    std::memcpy(out + i, &c, sizeof c);
  }
}

// Adds `bytes` of tone to the output, clipping.
void mixTone(Shared& s, uint8_t* out, size_t bytes) {
  size_t done = 0;
  while (done < bytes && !s.tone.empty()) {
    if (s.toneAt >= s.tone.size()) s.toneAt = 0;
    const size_t n = std::min(bytes - done, s.tone.size() - s.toneAt);
    const uint8_t* in = s.tone.data() + s.toneAt;
    if (s.bits == 8) mixSamples<uint8_t>(out + done, in, n, 0, 255, 128);
    if (s.bits == 16) mixSamples<int16_t>(out + done, in, n, -32768, 32767, 0);
    if (s.bits == 32) mixSamples<int32_t>(out + done, in, n, INT32_MIN, INT32_MAX, 0);
    done += n;
    s.toneAt += n;
  }
}

void SDLCALL fill(void* userdata, Uint8* stream, int len) {
  Shared& s = *static_cast<Shared*>(userdata);
  const size_t bytes = static_cast<size_t>(len);
  size_t at = 0;
  while (at < bytes && !s.playing.empty()) {
    Buffer& b = s.playing.front();
    const size_t n = std::min(bytes - at, b.bytes.size() - b.at);
    std::memcpy(stream + at, b.bytes.data() + b.at, n);
    at += n;
    b.at += n;
    if (b.at == b.bytes.size()) {
      postDone(s, b.tag, b.bytes.size());
      s.playing.pop_front();
    }
  }
  std::memset(stream + at, s.bits == 8 ? 128 : 0, bytes - at);
  mixTone(s, stream, bytes);
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

void closeDevice() {
  if (device.id != 0) SDL_CloseAudioDevice(device.id);
  device.id = 0;
  device.waveOpen = false;
  device.shared.playing.clear();
  device.shared.tone.clear();
}

// SDL's thread must be gone before the process tears down its statics.
void shutDownAtExit() {
  closeDevice();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool sdlFormatOf(uint16_t bitsPerSample, SDL_AudioFormat* format) {
  switch (bitsPerSample) {
    case 8: *format = AUDIO_U8; return true;
    case 16: *format = AUDIO_S16LSB; return true;
    case 32: *format = AUDIO_S32LSB; return true;
    default: return false;
  }
}

bool playable(const Format& f) {
  SDL_AudioFormat ignored;
  return sdlFormatOf(f.bits, &ignored) && f.rate != 0 && f.rate <= 384000 &&
         f.channels != 0 && f.channels <= 8;
}

// `samples` of format `from` in the format `to`; empty when they cannot be
// converted.
std::vector<uint8_t> converted(const std::vector<uint8_t>& samples,
                               const Format& from, const Format& to) {
  if (from == to) return samples;
  SDL_AudioFormat in, out;
  if (!sdlFormatOf(from.bits, &in) || !sdlFormatOf(to.bits, &out)) return {};
  SDL_AudioStream* stream = SDL_NewAudioStream(
      in, static_cast<Uint8>(from.channels), static_cast<int>(from.rate), out,
      static_cast<Uint8>(to.channels), static_cast<int>(to.rate));
  if (!stream) return {};
  std::vector<uint8_t> result;
  if (SDL_AudioStreamPut(stream, samples.data(), static_cast<int>(samples.size())) == 0 &&
      SDL_AudioStreamFlush(stream) == 0) {
    result.resize(static_cast<size_t>(std::max(SDL_AudioStreamAvailable(stream), 0)));
    const int got = SDL_AudioStreamGet(stream, result.data(), static_cast<int>(result.size()));
    const size_t frame = static_cast<size_t>(to.channels) * (to.bits / 8);
    result.resize(static_cast<size_t>(std::max(got, 0)) / frame * frame);
  }
  SDL_FreeAudioStream(stream);
  return result;
}

// Hands the tone, converted to the device's format, to SDL's thread.
void startTone() {
  std::vector<uint8_t> tone;
  if (!device.toneSamples.empty()) {
    tone = converted(device.toneSamples, device.toneFormat, device.format);
  }
  SDL_LockAudioDevice(device.id);
  device.shared.tone.swap(tone);
  device.shared.toneAt = 0;
  SDL_UnlockAudioDevice(device.id);
}

// The device in `format`, started; false when there is none.
bool haveDevice(const Format& format) {
  if (device.id != 0 && device.format == format) return true;
  QuietStderr quiet;
  if (device.id != 0) closeDevice();
  if (!device.initTried) {
    device.initTried = true;
    device.initOk = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (device.initOk) std::atexit(shutDownAtExit);
  }
  if (!device.initOk) return false;
  SDL_AudioSpec want;
  SDL_zero(want);
  sdlFormatOf(format.bits, &want.format);
  want.freq = static_cast<int>(format.rate);
  want.channels = static_cast<Uint8>(format.channels);
  want.samples = 1024;
  want.callback = fill;
  want.userdata = &device.shared;
  device.shared.bits = format.bits;
  SDL_AudioSpec have;
  // SDL converts to whatever the hardware takes.
  device.id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device.id == 0) return false;
  device.format = format;
  startTone();
  SDL_PauseAudioDevice(device.id, 0);
  return true;
}

}  // namespace

SdlAudio::SdlAudio(EventSink& sink) { device.shared.sink = &sink; }

SdlAudio::~SdlAudio() {
  closeDevice();
  device.toneSamples.clear();
  device.shared.sink = nullptr;
}

void SdlAudio::playLoopingWave(const uint8_t* image, size_t size) {
  stopLoopingWave();  // a new tone replaces the one looping
  WaveInfo info;
  size_t offset = 0;
  if (!image || !parseWaveImage(image, size, &info, &offset) || info.dataBytes == 0) {
    return;
  }
  const Format format{info.sampleRate, info.bitsPerSample, info.channels};
  if (!playable(format)) return;
  // Whole frames only, so the loop never starts again mid-sample.
  const size_t frame = static_cast<size_t>(info.channels) * (info.bitsPerSample / 8);
  const size_t bytes = static_cast<size_t>(info.dataBytes) / frame * frame;
  if (bytes == 0) return;
  device.toneSamples.assign(image + offset, image + offset + bytes);
  device.toneFormat = format;
  // Without wave output the device may take the tone's own format.
  if (device.id != 0 && (device.waveOpen || device.format == format)) {
    startTone();
  } else if (!haveDevice(format)) {
    device.toneSamples.clear();
  }
}

void SdlAudio::stopLoopingWave() {
  device.toneSamples.clear();
  if (device.id == 0) return;
  std::vector<uint8_t> old;
  SDL_LockAudioDevice(device.id);
  old.swap(device.shared.tone);
  SDL_UnlockAudioDevice(device.id);
}

int SdlAudio::waveOpen(uint32_t sampleRate, uint16_t bitsPerSample,
                       uint16_t channels) {
  if (device.waveOpen) return kWaveBusy;
  const Format format{sampleRate, bitsPerSample, channels};
  if (!playable(format)) return kWaveBadFormat;
  if (!haveDevice(format)) return kWaveNoDriver;
  device.waveOpen = true;
  return kWaveOk;
}

bool SdlAudio::waveWrite(const uint8_t* data, size_t size, uintptr_t tag) {
  if (!device.waveOpen) return false;
  Buffer b;
  b.bytes.assign(data, data + size);
  b.tag = tag;
  SDL_LockAudioDevice(device.id);
  if (b.bytes.empty() && device.shared.playing.empty()) {
    postDone(device.shared, tag, 0);
  } else {
    device.shared.playing.push_back(std::move(b));
  }
  SDL_UnlockAudioDevice(device.id);
  return true;
}

void SdlAudio::waveReset() {
  if (!device.waveOpen) return;
  SDL_LockAudioDevice(device.id);
  Shared& s = device.shared;
  for (const Buffer& b : s.playing) postDone(s, b.tag, b.bytes.size());
  s.playing.clear();
  SDL_UnlockAudioDevice(device.id);
}

void SdlAudio::waveClose() {
  if (!device.waveOpen) return;
  waveReset();
  device.waveOpen = false;
}

bool SdlAudio::waveDeviceOpen() const { return device.waveOpen; }

bool SdlAudio::looping() const { return !device.toneSamples.empty() && device.id != 0; }

}  // namespace plat::sdl
