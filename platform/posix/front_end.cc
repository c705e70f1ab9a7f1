#include "platform/posix/front_end.h"

#include <string_view>

namespace plat::posix {

FrontEndChoice chooseFrontEnd(int argc, const char* const* argv,
                              const char* (*getenv)(const char*)) {
  FrontEndChoice choice;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i] ? argv[i] : "";
    if (arg == "--window") {
      choice.frontEnd = FrontEnd::kWindow;
      choice.forced = true;
    } else if (arg == "--terminal") {
      choice.frontEnd = FrontEnd::kTerminal;
      choice.forced = true;
    } else if (arg == "--help" || arg == "-h") {
      choice.help = true;
    } else if (choice.problem.empty()) {
      choice.problem = "unknown argument: " + std::string(arg);
    }
  }
  if (!choice.forced) {
    auto set = [getenv](const char* name) {
      const char* value = getenv(name);
      return value && *value;
    };
    choice.frontEnd = set("DISPLAY") || set("WAYLAND_DISPLAY") ? FrontEnd::kWindow
                                                               : FrontEnd::kTerminal;
  }
  return choice;
}

}  // namespace plat::posix
