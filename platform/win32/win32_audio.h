// Sound on Windows through winmm: waveform output with waveOut, finished
// buffers reported by MM_WOM_DONE to a message-only window of our own,
// which hands them to the console window as kWaveDone events; the looping
// tone through sndPlaySoundA.
//
// Everything runs on the program's thread: the object is made there, its
// window's messages are dispatched by the console window's message pump
// (which takes the thread's messages of every window).
#ifndef TALONIX_PLATFORM_WIN32_WIN32_AUDIO_H_
#define TALONIX_PLATFORM_WIN32_WIN32_AUDIO_H_

#include <windows.h>
#include <mmsystem.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "platform/audio.h"
#include "platform/window.h"

namespace plat::win32 {

// The waveOut calls the audio object makes, so that a test can stand in
// for the device (one that stays busy, say). The defaults are winmm's.
struct WaveOutCalls {
  MMRESULT(WINAPI* open)(LPHWAVEOUT, UINT, LPCWAVEFORMATEX, DWORD_PTR,
                         DWORD_PTR, DWORD) = waveOutOpen;
  MMRESULT(WINAPI* prepare)(HWAVEOUT, LPWAVEHDR, UINT) = waveOutPrepareHeader;
  MMRESULT(WINAPI* unprepare)(HWAVEOUT, LPWAVEHDR, UINT) = waveOutUnprepareHeader;
  MMRESULT(WINAPI* write)(HWAVEOUT, LPWAVEHDR, UINT) = waveOutWrite;
  MMRESULT(WINAPI* reset)(HWAVEOUT) = waveOutReset;
  MMRESULT(WINAPI* close)(HWAVEOUT) = waveOutClose;
};

class Win32Audio : public Audio {
 public:
  // `sink` (the console window) outlives this object.
  explicit Win32Audio(EventSink& sink, const WaveOutCalls& calls = {});
  // Closes the device (every pending buffer completes) and stops the tone.
  ~Win32Audio() override;
  Win32Audio(const Win32Audio&) = delete;
  Win32Audio& operator=(const Win32Audio&) = delete;

  void playLoopingWave(const uint8_t* image, size_t size) override;
  void stopLoopingWave() override;
  // MMSYSERR codes as waveOut gives them; kWaveBusy while a device is
  // already open, kWaveNoDriver when our callback window could not be made.
  int waveOpen(uint32_t sampleRate, uint16_t bitsPerSample,
               uint16_t channels) override;
  bool waveWrite(const uint8_t* data, size_t size, uintptr_t tag) override;
  void waveReset() override;
  void waveClose() override;

  bool deviceOpen() const { return device_ != nullptr; }
  bool looping() const { return !loop_.empty(); }
  // Buffers written and not yet come back.
  size_t pendingBuffers() const { return pending_.size(); }

 private:
  struct Block {
    WAVEHDR header{};
    std::vector<uint8_t> bytes;
    uintptr_t tag = 0;
  };

  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wparam,
                                     LPARAM lparam);
  // Completes, in the order written, every buffer the device has marked
  // done. The message's header is never read: it may belong to a device
  // already closed.
  void collectDone();
  void complete(std::unique_ptr<Block> block, bool release);

  EventSink& sink_;
  WaveOutCalls calls_;
  HWND window_ = nullptr;
  HWAVEOUT device_ = nullptr;
  std::deque<std::unique_ptr<Block>> pending_;
  std::vector<uint8_t> loop_;  // the image looping; sndPlaySoundA reads it
};

}  // namespace plat::win32

#endif  // TALONIX_PLATFORM_WIN32_WIN32_AUDIO_H_
