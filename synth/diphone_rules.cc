// The letter-to-sound state: the rules in their chains and the sorted
// exceptions, read from their files.
#include "synth/diphone_rules.h"

#include <algorithm>

#include "tts/tts_text.h"

namespace {

DiphoneRulesState rulesRecord;

std::string field(std::string_view text, size_t limit) {
  return std::string(text.substr(0, limit));
}

// left(target)right=output|comment; false when the line has no such shape.
bool parseRule(std::string_view line, DiphoneRule* rule) {
  const size_t open = line.find('(');
  if (open == std::string_view::npos) return false;
  const size_t close = line.find(')', open + 1);
  if (close == std::string_view::npos) return false;
  const size_t equals = line.find('=', close + 1);
  if (equals == std::string_view::npos) return false;
  const size_t bar = std::min(line.find('|', equals + 1), line.size());
  rule->left = field(line.substr(0, open), kRuleContextMax);
  rule->target = field(line.substr(open + 1, close - open - 1), kRuleTargetMax);
  rule->right = field(line.substr(close + 1, equals - close - 1), kRuleContextMax);
  rule->output = field(line.substr(equals + 1, bar - equals - 1), kRuleOutputMax);
  return true;
}

// Rules of one letter need not stand together in the file: each goes to
// the end of its own letter's chain.
void addRule(DiphoneRule rule) {
  DiphoneRulesState& s = rulesRecord;
  if (rule.target.empty()) return;  // would match without consuming anything
  const int chain = static_cast<unsigned char>(rule.target[0]) - kFirstRuleCode;
  if (chain < 0 || chain >= kRuleChains) return;
  const int index = static_cast<int>(s.rules.size());
  rule.next = -1;
  s.rules.push_back(std::move(rule));
  if (s.chainTail[chain] < 0) s.chainHead[chain] = index;
  else s.rules[static_cast<size_t>(s.chainTail[chain])].next = index;
  s.chainTail[chain] = index;
}

}  // namespace

DiphoneRulesState& diphoneRulesState() { return rulesRecord; }

void resetDiphoneRules() { rulesRecord = DiphoneRulesState(); }

void freeDiphoneRules() {
  DiphoneRulesState& s = rulesRecord;
  s.rules.clear();
  s.rules.shrink_to_fit();
  s.chainHead.fill(-1);
  s.chainTail.fill(-1);
}

void loadDiphoneRulesFromBytes(std::string_view bytes) {
  freeDiphoneRules();
  rulesRecord.exceptions.clear();
  tts::forEachLine(bytes, [](std::string_view line) {
    DiphoneRule rule;
    if (parseRule(line, &rule)) addRule(std::move(rule));
    return true;
  });
}

bool loadDiphoneRules(std::string_view fileName) {
  std::string bytes;
  const bool read = tts::readDataFile(fileName, &bytes);
  loadDiphoneRulesFromBytes(read ? bytes : std::string_view());
  return read;
}

void loadDiphoneExceptionsFromBytes(std::string_view bytes) {
  std::vector<DiphoneException>& table = rulesRecord.exceptions;
  table.clear();
  tts::forEachLine(bytes, [&](std::string_view line) {
    line = line.substr(0, kExceptionTextMax);
    const size_t equals = line.find('=');
    if (equals == 0 || equals == std::string_view::npos) return true;
    const size_t bar = std::min(line.find('|', equals + 1), line.size());
    table.push_back({std::string(line.substr(0, equals)),
                     std::string(line.substr(equals + 1, bar - equals - 1))});
    return table.size() < kExceptionsMax;
  });
  // Stable, so that of two entries for one word the first in the file wins.
  std::stable_sort(table.begin(), table.end(),
                   [](const DiphoneException& a, const DiphoneException& b) {
                     return a.word < b.word;  // bytes compared unsigned
                   });
}

bool loadDiphoneExceptions(std::string_view fileName) {
  std::string bytes;
  const bool read = tts::readDataFile(fileName, &bytes);
  loadDiphoneExceptionsFromBytes(read ? bytes : std::string_view());
  return read;
}
