// Feeds arbitrary bytes as an abbreviations file, then normalises a fixed
// text and the bytes themselves: the table must keep its limits and the
// expanded words must come out whole.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tts/normalise.h"
#include "tts/tts_text.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  resetNormalise();
  check(loadAbbreviationsFromBytes(bytes));
  const auto& table = normaliseState().abbreviations;
  check(table.size() <= kMaxAbbreviations);
  for (const Abbreviation& entry : table) {
    check(entry.expansion.size() <= kMaxExpansion);
    check(entry.key == tts::upperText(entry.key));
    check(entry.key.find('=') == std::string::npos);
  }
  normaliseText(
      "Av. Paulista, 1.500 - Dr. Silva; CPF 123.456.789-00. R$ 1.234,56 em "
      "12/03/2025 \xE0s 14h30. Sr. X. e Sra. Y. pagaram 3os. 2\xBA etc. a.b...");
  normaliseText(bytes.substr(0, 4096));
  return 0;
}
