// Terminal input decoding: any byte stream, fed in uneven slices with
// timeouts between them, yields only well-formed key events.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/posix/term_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  plat::posix::Decoder decoder(data[0] & 1);
  std::vector<plat::Event> events;
  uint64_t now = 0;
  size_t at = 1;
  while (at < size) {
    // The byte after each slice says how long the slice is and whether the
    // escape timeout passes before the next one.
    const size_t length = 1 + data[at] % 16;
    const bool pause = data[at] & 0x80;
    ++at;
    const size_t n = length < size - at ? length : size - at;
    decoder.feed(std::string_view(reinterpret_cast<const char*>(data + at), n),
                 now, &events);
    at += n;
    now += pause ? plat::posix::kEscTimeoutMs + 1 : 1;
    if (pause) decoder.flushPending(now, &events);
  }
  decoder.flushPending(now + plat::posix::kEscTimeoutMs + 1, &events);
  if (decoder.pending()) std::abort();
  for (const plat::Event& e : events) {
    if (e.kind == plat::EventKind::kChar && e.code > 255) std::abort();
  }
  return 0;
}
