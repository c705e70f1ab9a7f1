// Feeds arbitrary bytes as a rules file, then reads a fixed text and the
// bytes themselves through the rules: the chains must hold every rule once,
// the fields their limits, and the reading must end.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "synth/diphone_rules.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

void checkChains() {
  const DiphoneRulesState& s = diphoneRulesState();
  size_t linked = 0;
  for (int chain = 0; chain < kRuleChains; ++chain) {
    for (int r = s.chainHead[static_cast<size_t>(chain)]; r >= 0;
         r = s.rules[static_cast<size_t>(r)].next) {
      check(static_cast<size_t>(r) < s.rules.size() && ++linked <= s.rules.size());
      const DiphoneRule& rule = s.rules[static_cast<size_t>(r)];
      check(!rule.target.empty() && rule.target.size() <= kRuleTargetMax);
      check(static_cast<unsigned char>(rule.target[0]) - kFirstRuleCode == chain);
      check(rule.left.size() <= kRuleContextMax && rule.right.size() <= kRuleContextMax);
      check(rule.output.size() <= kRuleOutputMax);
    }
  }
  check(linked == s.rules.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  resetDiphoneRules();
  loadDiphoneRulesFromBytes(bytes);
  checkChains();
  transcribeForDiphones(
      "Rato d'\xE1gua WWW www ela uma isso ningu\xE9m rainha Coimbra qu\xEA ling\xFCi\xE7" "a "
      "a\xE7\xE3o m\xE3" "e p\xE3o 5,3! \x01\x7F\xA9\xFF\t#%&*+[\\]_|");
  // The bytes as a text, and as words straight to the rules (stress marks
  // and all), so every context symbol meets words of every shape.
  transcribeForDiphones(bytes.substr(0, 4096));
  for (size_t at = 0; at < size && at < 4096; at += 16) applyDiphoneRules(bytes.substr(at, 16));
  return 0;
}
