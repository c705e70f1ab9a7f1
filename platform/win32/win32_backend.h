// The program as a native Windows program: the console window with its
// clipboard and magnifier, the system, and Windows' profile calls. Sound,
// printing and the platform voices are still the absent forms.
#ifndef TALONIX_PLATFORM_WIN32_WIN32_BACKEND_H_
#define TALONIX_PLATFORM_WIN32_WIN32_BACKEND_H_

#include "platform/absent.h"
#include "platform/platform.h"
#include "platform/win32/win32_magnifier.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_window.h"

namespace plat::win32 {

struct Win32Backend {
  Win32Backend();
  ~Win32Backend();
  Win32Backend(const Win32Backend&) = delete;
  Win32Backend& operator=(const Win32Backend&) = delete;

  Services services();
  // Starts COM on this thread for the platform voices, then installs.
  void install();

  Win32Window window;
  Win32System system;
  Win32Profile profile;
  Win32Magnifier magnifier{window};
  // Sound: winmm wave output goes here.
  NoAudio audio;
  // Printing: the GDI printer goes here.
  NoPrinter printer;
  // The Speech API voices go here.
  NoVoices voices;

 private:
  bool comStarted_ = false;
};

}  // namespace plat::win32

#endif  // TALONIX_PLATFORM_WIN32_WIN32_BACKEND_H_
