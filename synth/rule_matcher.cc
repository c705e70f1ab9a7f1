// Reading a word through the rules: at each position the first rule of the
// character's chain whose target and contexts match gives the output.
#include <algorithm>

#include "synth/diphone_chars.h"
#include "synth/diphone_rules.h"

using l2s::isAccentMark;
using l2s::isBackVowel;
using l2s::isConsonant;
using l2s::isFrontVowel;
using l2s::isLiquidNasal;
using l2s::isVowel;
using l2s::lowerAscii;
using l2s::upperAscii;

namespace {

bool vowelOrMark(char c) { return isVowel(c) || isAccentMark(c); }

// The right context from w[pos] on, symbol by symbol.
bool rightMatches(std::string_view context, std::string_view w, size_t pos) {
  const size_t n = w.size();
  for (const char symbol : context) {
    const bool inside = pos < n;
    const char c = inside ? w[pos] : '\0';
    switch (symbol) {
      case '#':
        if (!inside || !vowelOrMark(c)) return false;
        while (pos < n && vowelOrMark(w[pos])) ++pos;
        break;
      case '%':
        if (inside) return false;
        break;
      case '&':
        if (!inside || !isLiquidNasal(c)) return false;
        ++pos;
        break;
      case '*':
        if (!inside || !isConsonant(c) || lowerAscii(c) == 'r' || lowerAscii(c) == 'l')
          return false;
        break;
      case '+':
        if (!inside || !isFrontVowel(c)) return false;
        ++pos;
        if (pos < n && isAccentMark(w[pos])) ++pos;
        break;
      case '[':
        if (inside && (!isConsonant(c) || lowerAscii(c) == 'h')) return false;
        break;
      case '\\':
        if (inside && lowerAscii(c) == 's') ++pos;
        break;
      default:
        if (!inside || upperAscii(c) != symbol) return false;
        ++pos;
    }
  }
  return true;
}

// The left context backwards from w[end - 1], its last symbol first; `end`
// counts the characters still to the left.
bool leftMatches(std::string_view context, std::string_view w, size_t end) {
  for (size_t k = context.size(); k-- > 0;) {
    const char symbol = context[k];
    const bool inside = end > 0;
    const char c = inside ? w[end - 1] : '\0';
    // The vowel, or the accent mark after it, that ends here.
    const auto takeVowel = [&](bool (*vowel)(char)) {
      if (!inside) return false;
      if (vowel(c)) end -= 1;
      else if (isAccentMark(c) && end >= 2 && vowel(w[end - 2])) end -= 2;
      else return false;
      return true;
    };
    switch (symbol) {
      case '#':
        if (!inside || !vowelOrMark(c)) return false;
        while (end > 0 && vowelOrMark(w[end - 1])) --end;
        break;
      case '%':
        if (inside) return false;
        break;
      case ']':
        if (!takeVowel(isBackVowel)) return false;
        break;
      case '_':
        if (inside && !takeVowel(isVowel)) return false;
        break;
      case '|': {
        const char l = lowerAscii(c);
        if (!inside || (l != 'n' && l != 'r' && l != 's')) return false;
        --end;
        break;
      }
      default:
        if (!inside || upperAscii(c) != symbol) return false;
        --end;
    }
  }
  return true;
}

bool ruleMatches(const DiphoneRule& rule, std::string_view w, size_t p) {
  const std::string_view target = rule.target;
  if (w.size() - p < target.size()) return false;
  for (size_t k = 0; k < target.size(); ++k)
    if (upperAscii(w[p + k]) != target[k]) return false;
  return leftMatches(rule.left, w, p) &&
         rightMatches(rule.right, w, p + target.size());
}

const DiphoneRule* findRule(std::string_view w, size_t p) {
  const DiphoneRulesState& s = diphoneRulesState();
  const int chain = static_cast<unsigned char>(upperAscii(w[p])) - kFirstRuleCode;
  if (chain < 0 || chain >= kRuleChains) return nullptr;
  for (int r = s.chainHead[static_cast<size_t>(chain)]; r >= 0;) {
    const DiphoneRule& rule = s.rules[static_cast<size_t>(r)];
    if (ruleMatches(rule, w, p)) return &rule;
    r = rule.next;
  }
  return nullptr;
}

}  // namespace

std::string applyDiphoneRules(std::string_view word) {
  std::string out = "[";
  size_t p = 0;
  while (p < word.size()) {
    const size_t start = out.size();
    size_t length = 1;
    if (const DiphoneRule* rule = findRule(word, p)) {
      out += rule->output;
      length = std::max<size_t>(1, rule->target.size());
    } else {
      out += " /_";
      out += upperAscii(word[p]);
    }
    // The stress marked on the word's vowel goes to the output's vowel.
    const char here = word[p];
    if (isVowel(here) && here == upperAscii(here)) {
      for (size_t i = start; i < out.size(); ++i) {
        if (isVowel(out[i])) {
          out[i] = upperAscii(out[i]);
          break;
        }
      }
    }
    p += length;
    if (p < word.size()) out += '/';
  }
  out += ']';
  return out;
}
