// Which front end the Linux program runs in: its own desktop window, or the
// terminal it was started from.
#ifndef TALONIX_PLATFORM_POSIX_FRONT_END_H_
#define TALONIX_PLATFORM_POSIX_FRONT_END_H_

#include <string>

namespace plat::posix {

enum class FrontEnd { kWindow, kTerminal };

struct FrontEndChoice {
  FrontEnd frontEnd = FrontEnd::kTerminal;
  bool forced = false;  // named on the command line
  bool help = false;    // --help: print usage and end
  std::string problem;  // an argument not understood: print usage
};

// From the arguments (--window, --terminal, --help; the last of the first
// two wins) and, when neither is given, from the environment: the window
// when DISPLAY or WAYLAND_DISPLAY is set and not empty, else the terminal.
// `getenv` is the environment's lookup (std::getenv in the program).
FrontEndChoice chooseFrontEnd(int argc, const char* const* argv,
                              const char* (*getenv)(const char*));

}  // namespace plat::posix

#endif  // TALONIX_PLATFORM_POSIX_FRONT_END_H_
