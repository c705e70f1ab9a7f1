// The program in a text terminal: the terminal window with its clipboard,
// the POSIX system, SDL's sound, settings in INI files, espeak-ng and
// speech-dispatcher as the platform voices, the mbrola program for the
// Portuguese engine, PDF printing through CUPS, and no magnifier (a
// terminal reports no release of the right button).
#ifndef TALONIX_PLATFORM_POSIX_TERMINAL_BACKEND_H_
#define TALONIX_PLATFORM_POSIX_TERMINAL_BACKEND_H_

#include "platform/absent.h"
#include "platform/espeak/espeak_voice.h"
#include "platform/pdf/pdf_printer.h"
#include "platform/platform.h"
#include "platform/posix/mbrola_process.h"
#include "platform/posix/posix_system.h"
#include "platform/posix/terminal_window.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/shared/ini_profile.h"
#include "platform/speechd/speechd_voice.h"

namespace plat::posix {

struct TerminalBackend {
  // Reads keys from `inFd` and draws on `outFd` (normally stdin, stdout).
  explicit TerminalBackend(int inFd = 0, int outFd = 1);

  Services services();
  void install() { setServices(services()); }

  TerminalWindow window;
  PosixSystem system;
  sdl::SdlAudio audio;
  IniProfile profile;
  NoMagnifier magnifier;
  pdf::PdfPrinter printer;
  espeak::EspeakVoice espeakVoice;
  speechd::SpeechdVoice speechdVoice;
  MbrolaProcess mbrola;
  VoicePair voices{&espeakVoice, &speechdVoice, &mbrola};
};

}  // namespace plat::posix

#endif  // TALONIX_PLATFORM_POSIX_TERMINAL_BACKEND_H_
