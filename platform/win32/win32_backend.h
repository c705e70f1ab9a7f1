// The program as a native Windows program: the console window with its
// clipboard and magnifier, the system, Windows' profile calls, winmm sound,
// GDI printing and the Speech API voices.
#ifndef TALONIX_PLATFORM_WIN32_WIN32_BACKEND_H_
#define TALONIX_PLATFORM_WIN32_WIN32_BACKEND_H_

#include "platform/platform.h"
#include "platform/win32/win32_audio.h"
#include "platform/win32/win32_magnifier.h"
#include "platform/win32/win32_printer.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_voices.h"
#include "platform/win32/win32_window.h"

namespace plat::win32 {

// COM on the program's thread, for the voices: started by install(), ended
// after every member that uses it is gone (it is the first member).
class ComApartment {
 public:
  ComApartment() = default;
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  void start();

 private:
  bool started_ = false;
};

struct Win32Backend {
  Win32Backend();

  Services services();
  // Starts COM on this thread, then installs the services.
  void install();

  ComApartment com;
  Win32Window window;
  Win32System system;
  Win32Profile profile;
  Win32Magnifier magnifier{window};
  Win32Audio audio{window};
  Win32Printer printer;
  Win32Voices voices{window};
};

}  // namespace plat::win32

#endif  // TALONIX_PLATFORM_WIN32_WIN32_BACKEND_H_
