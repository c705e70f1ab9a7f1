// Feeds arbitrary bytes as an exceptions file, then looks words up: the
// table must keep its limits and order, and every word in it must be found.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "synth/diphone_rules.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

bool listed(const std::string& word) {
  const auto& table = diphoneRulesState().exceptions;
  return std::any_of(table.begin(), table.end(),
                     [&](const DiphoneException& e) { return e.word == word; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  resetDiphoneRules();
  loadDiphoneExceptionsFromBytes(bytes);
  const DiphoneRulesState& s = diphoneRulesState();
  check(s.exceptions.size() <= kExceptionsMax);
  for (size_t i = 0; i < s.exceptions.size(); ++i) {
    const DiphoneException& e = s.exceptions[i];
    check(!e.word.empty() && e.word.size() + e.replacement.size() < kExceptionTextMax);
    check(i == 0 || s.exceptions[i - 1].word <= e.word);
  }
  // The first entry of a word wins; its replacement, or a final s or m set
  // aside and put back after it.
  for (size_t i = 0; i < s.exceptions.size() && i < 256; ++i) {
    const DiphoneException& e = s.exceptions[i];
    if (i > 0 && s.exceptions[i - 1].word == e.word) continue;
    DiphoneWord word{e.word, 0, false};
    replaceFromExceptions(&word);
    check(word.text == e.replacement);
    // A longer stem of the word + "sm" may be an entry of its own.
    if (listed(e.word + "s") || listed(e.word + "sm")) continue;
    word.text = e.word + "sm";
    replaceFromExceptions(&word);
    check(word.text == e.replacement + "sm");
  }
  transcribeForDiphones(bytes.substr(0, 4096));
  transcribeForDiphones("casas mesmo bens sms s m \xE9 a\xE7\xE3o");
  return 0;
}
