#include "platform/posix/terminal_backend.h"

#include "platform/shared/profile_store.h"

namespace plat::posix {

TerminalBackend::TerminalBackend(int inFd, int outFd)
    : window(inFd, outFd),
      system([this] { window.flushScreen(); }, [this] { window.release(); }),
      audio(window),
      profile(system, defaultWindowsDirectory()),
      speechdVoice(window) {}

Services TerminalBackend::services() {
  Services s;
  s.window = &window;
  s.clipboard = &window;
  s.magnifier = &magnifier;
  s.audio = &audio;
  s.profile = &profile;
  s.system = &system;
  s.printer = &printer;
  s.voices = &voices;
  return s;
}

}  // namespace plat::posix
