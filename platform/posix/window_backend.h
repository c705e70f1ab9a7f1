// The program in a desktop window on Linux: the SDL window with its
// clipboard and magnifier, the POSIX system, SDL's sound, settings in INI
// files, espeak-ng and speech-dispatcher as the platform voices, the
// mbrola program for the Portuguese engine, and PDF printing through CUPS.
#ifndef TALONIX_PLATFORM_POSIX_WINDOW_BACKEND_H_
#define TALONIX_PLATFORM_POSIX_WINDOW_BACKEND_H_

#include "platform/espeak/espeak_voice.h"
#include "platform/pdf/pdf_printer.h"
#include "platform/platform.h"
#include "platform/posix/mbrola_process.h"
#include "platform/posix/posix_system.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_window.h"
#include "platform/shared/ini_profile.h"
#include "platform/speechd/speechd_voice.h"

namespace plat::posix {

struct WindowBackend {
  WindowBackend();

  Services services();
  void install() { setServices(services()); }

  sdl::SdlWindow window;
  PosixSystem system;
  sdl::SdlAudio audio;
  IniProfile profile;
  pdf::PdfPrinter printer;
  espeak::EspeakVoice espeakVoice;
  speechd::SpeechdVoice speechdVoice;
  MbrolaProcess mbrola;
  VoicePair voices{&espeakVoice, &speechdVoice, &mbrola};
};

}  // namespace plat::posix

#endif  // TALONIX_PLATFORM_POSIX_WINDOW_BACKEND_H_
