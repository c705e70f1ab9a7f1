// The headless keyboard state and shell: modifiers as the last keyboard
// message carried them, and open requests captured for tests.
#include "platform/headless/headless_platform.h"

namespace plat::headless {

bool HeadlessPlatform::keyHeld(uint32_t virtualKey) {
  return keys_.held(virtualKey);
}

void HeadlessPlatform::shellOpen(std::string_view program,
                                 std::string_view parameters,
                                 std::string_view directory) {
  shell_.push_back(ShellRequest{std::string(program), std::string(parameters),
                                std::string(directory)});
}

}  // namespace plat::headless
