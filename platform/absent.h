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

// No printer at all: there is no default printer and no context can be
// made, so the program says the printer is not suitable and prints nothing.
class NoPrinter : public Printer {
 public:
  size_t defaultPrinter(char* buffer, size_t size) override {
    if (size > 0) buffer[0] = '\0';
    return 0;
  }
  PrintHandle createDc(const char*) override { return 0; }
  int getDeviceCaps(PrintHandle, DeviceCap) override { return 0; }
  int startDoc(PrintHandle, const char*) override { return -1; }
  int startPage(PrintHandle) override { return -1; }
  PrintHandle createFont(const PrintFont&) override { return 0; }
  PrintHandle createPen(int) override { return 0; }
  PrintHandle selectObject(PrintHandle, PrintHandle) override { return 0; }
  bool moveTo(PrintHandle, int, int) override { return false; }
  bool lineTo(PrintHandle, int, int) override { return false; }
  bool deleteObject(PrintHandle) override { return false; }
  bool textOut(PrintHandle, int, int, const char*, int) override { return false; }
  bool getTextExtent(PrintHandle, const char*, int, PrintSize*) override {
    return false;
  }
  int endPage(PrintHandle) override { return -1; }
  int endDoc(PrintHandle) override { return -1; }
  int abortDoc(PrintHandle) override { return -1; }
  bool deleteDc(PrintHandle) override { return false; }
  std::string keptDocument() override { return ""; }
};

// No platform voices (Windows until its speech interfaces are reached):
// every start of a platform voice fails, so the diphone path speaks.
class NoVoices : public Voices {
 public:
  Voice* voice(VoiceKind) override { return nullptr; }
};

}  // namespace plat

#endif  // TALONIX_PLATFORM_ABSENT_H_
