// Feeds arbitrary bytes as a text to speak through the engine's text path.
// Whatever comes in, only words, blanks and punctuation come out: no digit
// and no control character.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tts/normalise.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

bool loadTables() {
  loadAbbreviationsFromBytes("AV=avenida\nDR=doutor\nSR=senhor\nCH=cheque\nX=\n");
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool loaded = loadTables();
  (void)loaded;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (char c : normaliseText(text)) {
    const unsigned char u = static_cast<unsigned char>(c);
    check(u >= ' ' && !(u >= '0' && u <= '9'));
  }
  return 0;
}
