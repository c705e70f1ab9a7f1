#include "platform/posix/window_backend.h"

#include <cstdio>

#include "platform/shared/profile_store.h"

namespace plat::posix {

WindowBackend::WindowBackend()
    : system([this] { window.present(); }, [this] { window.present(); }),
      audio(window),
      profile(system, defaultWindowsDirectory()),
      speechdVoice(window) {
  window.setNoWindowHandler([this](const std::string& why) {
    std::fprintf(stderr, "talonix: the window could not be opened (%s)\n", why.c_str());
    system.exitProcess(1);
  });
}

Services WindowBackend::services() {
  Services s;
  s.window = &window;
  s.clipboard = &window;
  s.magnifier = &window;
  s.audio = &audio;
  s.profile = &profile;
  s.system = &system;
  s.printer = &printer;
  s.voices = &voices;
  return s;
}

}  // namespace plat::posix
