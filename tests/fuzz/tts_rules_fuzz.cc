// Feeds arbitrary bytes as a rules file and, split at its first NUL, as an
// exceptions file; then reads fixed words and the bytes themselves through
// them. Every rule must sit in its target's chain within its fields'
// limits, the exceptions must stay sorted and bounded, and every walk must
// end with the word's closing empty line.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "tts/letter_rules.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

void checkTables() {
  const LetterRulesState& s = letterRulesState();
  for (size_t chain = 0; chain < s.chains.size(); ++chain) {
    for (const LetterRule& rule : s.chains[chain]) {
      check(!rule.target.empty() && static_cast<unsigned char>(rule.target[0]) == chain);
      check(rule.target.size() <= kRuleTargetLimit);
      check(rule.left.size() <= kRuleContextLimit && rule.right.size() <= kRuleContextLimit);
      check(rule.output.size() <= kRuleOutputLimit);
    }
  }
  const auto& e = s.exceptions;
  check(e.size() <= kMaxExceptions);
  check(std::is_sorted(e.begin(), e.end(),
                       [](const auto& a, const auto& b) { return a.first < b.first; }));
}

void walk(std::string_view word) {
  std::vector<std::string> out;
  const std::string spelled = findException(word);
  applyRules(spelled, isUnstressedWord(spelled) ? 0 : stressPosition(spelled), &out);
  check(!out.empty() && out.back().size() <= 1 + kRuleOutputUsed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const size_t nul = std::min(bytes.find('\0'), bytes.size());
  resetLetterRules();
  loadRulesFromBytes(bytes.substr(0, nul));
  loadExceptionsFromBytes(bytes.substr(std::min(nul + 1, bytes.size())));
  checkTables();
  for (std::string_view w : {"CASA", "HOMENS", "PRAIA", "QUE", "\xC1GUA", "TAXIS", "A", "",
                             "CONTRIBU\xCDRA", "SSSS", "%#&*+[\\]_|"}) {
    walk(w);
  }
  for (size_t at = 0; at < size && at < 1024; at += 24) walk(bytes.substr(at, 24));
  const std::vector<std::string> lines =
      transcribeTokens({"555|", "555|CASA", "5?5|,", "123|AMOR", "99|", "555|" + std::string(bytes.substr(0, 64))});
  check(!lines.empty() && lines.back() == "__");
  return 0;
}
