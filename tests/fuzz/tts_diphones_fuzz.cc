// Feeds arbitrary bytes as a definitions file: every entry must be two
// symbols joined by "-", the list sorted so each entry is found again, and
// lookups of pieces of the bytes must end.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tts/prosody.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  check(loadDiphonesFromBytes(bytes));
  for (const std::string& entry : prosodyState().diphones) {
    const size_t dash = entry.find('-');
    check(dash != std::string::npos && dash > 0 && dash + 1 < entry.size());
    check(hasDiphone(entry.substr(0, dash), entry.substr(dash + 1)));
  }
  for (size_t at = 0; at + 1 < size && at < 2048; at += 7)
    hasDiphone(bytes.substr(at, 3), bytes.substr(at + 1, 2));
  return 0;
}
