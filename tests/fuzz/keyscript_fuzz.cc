// The runner's key scripts are typed by people: any text parses or fails
// with a message, never crashes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/headless/key_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<plat::headless::KeyGroup> groups;
  std::string error;
  plat::headless::parseKeyScript(
      std::string_view(reinterpret_cast<const char*>(data), size), &groups,
      &error);
  return 0;
}
