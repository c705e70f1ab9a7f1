// The program on Linux, in its own desktop window when there is a display,
// else in the user's terminal; --window and --terminal choose.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/program.h"
#include "platform/posix/front_end.h"
#include "platform/posix/terminal_backend.h"
#include "platform/posix/window_backend.h"

namespace {

void usage(std::FILE* to) {
  std::fputs("usage: talonix [--window | --terminal | --help]\n"
             "  --window    in a desktop window (the default when there is a display)\n"
             "  --terminal  in this terminal\n", to);
}

}  // namespace

int main(int argc, char** argv) {
  using plat::posix::FrontEnd;
  const plat::posix::FrontEndChoice choice =
      plat::posix::chooseFrontEnd(argc, argv, [](const char* name) -> const char* {
        return std::getenv(name);
      });
  if (!choice.problem.empty()) {
    std::fprintf(stderr, "talonix: %s\n", choice.problem.c_str());
    usage(stderr);
    return 2;
  }
  if (choice.help) {
    usage(stdout);
    return 0;
  }
  if (choice.frontEnd == FrontEnd::kWindow) {
    std::string why;
    if (plat::sdl::windowAvailable(&why)) {
      static plat::posix::WindowBackend desktop;
      desktop.install();
      runTalonix();
    }
    // Started from a desktop menu there is no terminal to fall back on:
    // an exit status says it failed, rather than a silent end.
    if (!isatty(0) || !isatty(1)) {
      std::fprintf(stderr, "talonix: no window (%s), and no terminal\n", why.c_str());
      return 1;
    }
    // The user still gets the program, where it was started.
    std::fprintf(stderr, "talonix: no window (%s); using the terminal\n", why.c_str());
  }
  static plat::posix::TerminalBackend terminal;
  terminal.install();
  runTalonix();
}
