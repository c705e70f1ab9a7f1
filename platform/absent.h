// The explicit forms of services a backend does not have. Each does
// nothing and reports that in its results, as its interface describes for
// the case.
#ifndef TALONIX_PLATFORM_ABSENT_H_
#define TALONIX_PLATFORM_ABSENT_H_

#include "platform/audio.h"
#include "platform/magnifier.h"
#include "platform/printer.h"
#include "platform/voices.h"

namespace plat {

// No sound device: waveOpen gives kWaveNoDriver, waveWrite false; tones
// are silent.
class NoAudio : public Audio {
 public:
  void playLoopingWave(const uint8_t*, size_t) override {}
  void stopLoopingWave() override {}
  int waveOpen(uint32_t, uint16_t, uint16_t) override { return kWaveNoDriver; }
  bool waveWrite(const uint8_t*, size_t, uintptr_t) override { return false; }
  void waveReset() override {}
  void waveClose() override {}
};

// No magnifier (a terminal cannot stretch its cells): the window stays as
// it is.
class NoMagnifier : public Magnifier {
 public:
  void takeSnapshot() override {}
  void stretchSnapshot(int, int, int, int) override {}
  void freeSnapshot() override {}
};

// No printer yet: it comes with cheque printing.
class NoPrinter : public Printer {};

// No platform voices (Windows until its speech interfaces are reached):
// every start of a platform voice fails, so the diphone path speaks.
class NoVoices : public Voices {
 public:
  Voice* voice(VoiceKind) override { return nullptr; }
};

}  // namespace plat

#endif  // TALONIX_PLATFORM_ABSENT_H_
