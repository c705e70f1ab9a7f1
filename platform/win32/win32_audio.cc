#include "platform/win32/win32_audio.h"

#include <cstring>
#include <utility>

#include "platform/shared/riff.h"

namespace plat::win32 {
namespace {

constexpr char kWindowClass[] = "TalonixWaveOut";

bool registerWindowClass(WNDPROC procedure) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kWindowClass;
  return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The device's thread sets WHDR_DONE; this thread reads it.
bool isDone(const WAVEHDR& header) {
  return (__atomic_load_n(&header.dwFlags, __ATOMIC_ACQUIRE) & WHDR_DONE) != 0;
}

}  // namespace

Win32Audio::Win32Audio(EventSink& sink, const WaveOutCalls& calls)
    : sink_(sink), calls_(calls) {
  if (!registerWindowClass(&Win32Audio::windowProc)) return;
  // Message-only: never shown, never enumerated, but its messages come
  // through the thread's queue like the console's.
  window_ = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
  if (window_) SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Audio::~Win32Audio() {
  waveClose();
  stopLoopingWave();
  if (window_) {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

LRESULT CALLBACK Win32Audio::windowProc(HWND window, UINT message, WPARAM wparam,
                                        LPARAM lparam) {
  if (message == MM_WOM_DONE) {
    auto* self = reinterpret_cast<Win32Audio*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self) self->collectDone();
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

// --- Looping tone -------------------------------------------------------------

void Win32Audio::playLoopingWave(const uint8_t* image, size_t size) {
  stopLoopingWave();  // a new tone replaces the one looping
  WaveInfo info;
  size_t offset = 0;
  if (!image || !parseWaveImage(image, size, &info, &offset)) return;
  // sndPlaySoundA trusts the lengths inside the image and is given no
  // size: it plays a clean copy whose header tells exactly what follows,
  // whole frames only.
  const size_t frame = static_cast<size_t>(info.channels) * (info.bitsPerSample / 8);
  const size_t bytes = static_cast<size_t>(info.dataBytes) / frame * frame;
  if (bytes == 0 || bytes > UINT32_MAX - kPcmHeaderBytes) return;
  loop_.resize(kPcmHeaderBytes + bytes);
  writePcmHeader(loop_.data(), static_cast<uint32_t>(bytes), info.sampleRate,
                 info.bitsPerSample, info.channels);
  std::memcpy(loop_.data() + kPcmHeaderBytes, image + offset, bytes);
  // No default sound in its place: it would loop until stopped.
  const UINT flags = SND_ASYNC | SND_MEMORY | SND_LOOP | SND_NODEFAULT;
  if (!sndPlaySoundA(reinterpret_cast<LPCSTR>(loop_.data()), flags)) loop_.clear();
}

void Win32Audio::stopLoopingWave() {
  if (loop_.empty()) return;
  // Returns once the sound has stopped reading the copy.
  sndPlaySoundA(nullptr, 0);
  loop_.clear();
}

// --- Waveform output ----------------------------------------------------------

int Win32Audio::waveOpen(uint32_t sampleRate, uint16_t bitsPerSample,
                         uint16_t channels) {
  if (device_) return kWaveBusy;
  if (!window_) return kWaveNoDriver;
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = channels;
  format.nSamplesPerSec = sampleRate;
  format.nBlockAlign = static_cast<WORD>(channels * (bitsPerSample / 8));
  format.nAvgBytesPerSec = format.nBlockAlign * sampleRate;
  format.wBitsPerSample = bitsPerSample;
  HWAVEOUT device = nullptr;
  const MMRESULT result =
      calls_.open(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(window_), 0,
                  CALLBACK_WINDOW | WAVE_ALLOWSYNC);
  if (result == MMSYSERR_NOERROR) device_ = device;
  return static_cast<int>(result);
}

bool Win32Audio::waveWrite(const uint8_t* data, size_t size, uintptr_t tag) {
  if (!device_ || !data || size == 0 || size > UINT32_MAX) return false;
  auto block = std::make_unique<Block>();
  block->bytes.assign(data, data + size);
  block->tag = tag;
  WAVEHDR& h = block->header;
  h.lpData = reinterpret_cast<LPSTR>(block->bytes.data());
  h.dwBufferLength = static_cast<DWORD>(size);
  h.dwUser = tag;
  if (calls_.prepare(device_, &h, sizeof h) != MMSYSERR_NOERROR) return false;
  if (calls_.write(device_, &h, sizeof h) != MMSYSERR_NOERROR) {
    calls_.unprepare(device_, &h, sizeof h);
    return false;
  }
  pending_.push_back(std::move(block));
  return true;
}

void Win32Audio::collectDone() {
  while (device_ && !pending_.empty() && isDone(pending_.front()->header)) {
    std::unique_ptr<Block> block = std::move(pending_.front());
    pending_.pop_front();
    const bool released = calls_.unprepare(device_, &block->header, sizeof(WAVEHDR)) ==
                          MMSYSERR_NOERROR;
    complete(std::move(block), released);
  }
}

void Win32Audio::complete(std::unique_ptr<Block> block, bool release) {
  Event done = eventOf(EventKind::kWaveDone);
  done.wparam = block->tag;
  done.lparam = block->bytes.size();
  // A block the device may still read is left to it rather than freed.
  if (!release) (void)block.release();
  sink_.postEvent(done);
}

void Win32Audio::waveReset() {
  if (!device_) return;
  // The device marks every buffer done before it returns.
  calls_.reset(device_);
  collectDone();
}

void Win32Audio::waveClose() {
  if (!device_) return;
  if (!pending_.empty()) waveReset();
  const bool closed = calls_.close(device_) == MMSYSERR_NOERROR;
  device_ = nullptr;
  // Whatever the device did not hand back still completes, once.
  while (!pending_.empty()) {
    std::unique_ptr<Block> block = std::move(pending_.front());
    pending_.pop_front();
    complete(std::move(block), closed);
  }
}

}  // namespace plat::win32
