// The headless keyboard state, shell and registry: modifiers as the last
// keyboard message carried them, open requests captured for tests, and the
// registry values tests set.
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

bool HeadlessPlatform::readMachineRegistryText(std::string_view path, std::string* text) {
  const auto found = registry_.find(std::string(path));
  if (found == registry_.end()) return false;
  *text = found->second;
  return true;
}

}  // namespace plat::headless
