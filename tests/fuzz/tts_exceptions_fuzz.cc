// Feeds arbitrary bytes as an exceptions file: the table must stay sorted,
// bounded and within its line limit, and every word looked up, the bytes'
// own pieces included, must come back as a respelling or itself.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tts/letter_rules.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  resetLetterRules();
  loadExceptionsFromBytes(bytes);
  const auto& table = letterRulesState().exceptions;
  check(table.size() <= kMaxExceptions);
  check(std::is_sorted(table.begin(), table.end(),
                       [](const auto& a, const auto& b) { return a.first < b.first; }));
  for (const auto& [word, respelling] : table)
    check(word.size() + respelling.size() <= kExceptionLineLimit);
  for (size_t at = 0; at < size && at < 2048; at += 7) {
    const std::string_view piece = bytes.substr(at, 12);
    const std::string found = findException(piece);
    check(!found.empty() || piece.empty() || table.size() > 0);
  }
  for (const auto& entry : table) {
    if (entry.first.empty()) continue;
    check(findException(entry.first + "S").size() >= 1);
  }
  return 0;
}
