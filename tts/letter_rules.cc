// Letter-to-sound: the rules file, the exceptions file, and the walk of a
// word through the rules with its stress mark.
#include "tts/letter_rules.h"

#include <algorithm>

#include "tts/tts_text.h"

namespace {

LetterRulesState rulesRecord;

std::string field(std::string_view text, size_t limit) {
  return std::string(text.substr(0, limit));
}

// left(target)right=output|comment. The bar of a comment is looked for
// only after "=", since "|" is also a left-context symbol. A line without
// a target would consume nothing, so it is not kept.
bool parseRule(std::string_view line, LetterRule* rule) {
  const size_t open = line.find('(');
  if (open == std::string_view::npos) return false;
  const size_t close = line.find(')', open + 1);
  if (close == std::string_view::npos || close == open + 1) return false;
  size_t equals = line.find('=', close + 1);
  if (equals == std::string_view::npos) equals = line.size();
  const size_t outputStart = std::min(equals + 1, line.size());
  const size_t bar = std::min(line.find('|', outputStart), line.size());
  rule->left = field(line.substr(0, open), kRuleContextLimit);
  rule->target = field(line.substr(open + 1, close - open - 1), kRuleTargetLimit);
  rule->right = field(line.substr(close + 1, equals - close - 1), kRuleContextLimit);
  rule->output = field(line.substr(outputStart, bar - outputStart), kRuleOutputLimit);
  return true;
}

}  // namespace

LetterRulesState& letterRulesState() { return rulesRecord; }

void resetLetterRules() { rulesRecord = LetterRulesState(); }

bool loadRulesFromBytes(std::string_view bytes) {
  for (auto& chain : rulesRecord.chains) chain.clear();
  tts::forEachLine(bytes, [](std::string_view line) {
    LetterRule rule;
    if (line.empty() || line.front() == ';' || !parseRule(line, &rule)) return true;
    rulesRecord.chains[static_cast<unsigned char>(rule.target[0])].push_back(
        std::move(rule));
    return true;
  });
  return true;
}

bool loadRules(std::string_view fileName) {
  std::string bytes;
  if (!tts::readDataFile(fileName, &bytes)) {
    for (auto& chain : rulesRecord.chains) chain.clear();
    return false;
  }
  return loadRulesFromBytes(bytes);
}

bool loadExceptionsFromBytes(std::string_view bytes) {
  auto& table = rulesRecord.exceptions;
  table.clear();
  tts::forEachLine(bytes, [&](std::string_view line) {
    // A longer line is cut, not carried over into a next entry.
    const std::string upper = tts::upperText(line.substr(0, kExceptionLineLimit));
    const std::string_view text = tts::trimmed(upper);
    if (text.empty()) return true;
    const size_t equals = text.find('=');
    // Without "=" the line keeps an empty word, which no word matches.
    if (equals == std::string_view::npos) {
      table.emplace_back(std::string(), std::string(text));
    } else {
      const std::string_view rest = text.substr(equals + 1);
      table.emplace_back(std::string(tts::trimmed(text.substr(0, equals))),
                         std::string(tts::trimmed(rest.substr(0, rest.find('|')))));
    }
    return table.size() < kMaxExceptions;
  });
  // Stable: of two entries for one word, the file's first wins.
  std::stable_sort(table.begin(), table.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  return true;
}

bool loadExceptions(std::string_view fileName) {
  std::string bytes;
  if (!tts::readDataFile(fileName, &bytes)) {
    rulesRecord.exceptions.clear();
    return false;
  }
  return loadExceptionsFromBytes(bytes);
}

namespace {

const std::string* respellingOf(std::string_view word) {
  const auto& table = rulesRecord.exceptions;
  auto at = std::lower_bound(
      table.begin(), table.end(), word,
      [](const auto& entry, std::string_view w) { return entry.first < w; });
  if (at == table.end() || at->first != word) return nullptr;
  return &at->second;
}

}  // namespace

std::string findException(std::string_view word) {
  std::string_view stem = word;
  while (!stem.empty()) {
    if (const std::string* respelling = respellingOf(stem)) {
      return *respelling + std::string(word.substr(stem.size()));
    }
    if (stem.back() != 'S' && stem.back() != 'M') break;
    stem.remove_suffix(1);
  }
  return std::string(word);
}

bool isUnstressedWord(std::string_view word) {
  static constexpr std::string_view kUnstressed[] = {"POR", "DAS", "DOS",
                                                     "COM", "N\xC3O", "SIM"};
  if (word.size() <= 2) return true;
  return std::find(std::begin(kUnstressed), std::end(kUnstressed), word) !=
         std::end(kUnstressed);
}

std::string_view pauseFor(char c) {
  switch (c) {
    case ',': return "_,";
    case ':': return "_:";
    case ';': return "_;";
    case '.': return "_.";
    case '(': return "_(";
    case ')': return "_)";
    case '!': return "_!";
    case '?': return "_?";
    default: return {};
  }
}
