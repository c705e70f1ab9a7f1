// The walk of a word through the rules' chains, the tokens' transcription
// and the linking of a final r or s to the next word's vowel.
#include <string>
#include <vector>

#include "tts/letter_rules.h"
#include "tts/tts_text.h"

namespace {

// Positions count from 1; 0 and size + 1 stand just outside the word.
struct Word {
  std::string_view text;
  int size() const { return static_cast<int>(text.size()); }
  bool inside(int at) const { return at >= 1 && at <= size(); }
  unsigned char at(int position) const {
    return static_cast<unsigned char>(text[static_cast<size_t>(position - 1)]);
  }
};

bool isAnyOf(std::string_view set, unsigned char c) {
  return set.find(static_cast<char>(c)) != std::string_view::npos;
}

// Symbols read from the last back to the first, the cursor moving left.
bool leftMatches(const Word& w, std::string_view context, int cursor) {
  for (size_t i = context.size(); i-- > 0;) {
    const unsigned char symbol = static_cast<unsigned char>(context[i]);
    if (symbol == '%') {
      if (cursor != 0) return false;
      continue;
    }
    if (symbol == '_' && cursor == 0) continue;
    if (!w.inside(cursor)) return false;
    const unsigned char c = w.at(cursor);
    bool ok;
    switch (symbol) {
      case '#': case '_': ok = tts::isRuleVowel(c); break;
      case ']': ok = tts::isBackVowel(c); break;
      case '|': ok = isAnyOf("NRS", c); break;
      default: ok = c == symbol;
    }
    if (!ok) return false;
    --cursor;
  }
  return true;
}

// Symbols read from the first to the last, the cursor moving right.
bool rightMatches(const Word& w, std::string_view context, int cursor) {
  for (const char s : context) {
    const unsigned char symbol = static_cast<unsigned char>(s);
    const bool in = w.inside(cursor);
    const unsigned char c = in ? w.at(cursor) : 0;
    switch (symbol) {
      case '%':
        if (in) return false;
        continue;
      case '*':
        if (!in || !tts::isRuleConsonant(c) || c == 'L' || c == 'R') return false;
        continue;
      case '[':
        if (in && (!tts::isRuleConsonant(c) || c == 'H')) return false;
        continue;
      case '\\':
        if (in && c == 'S') ++cursor;
        continue;
      default:
        break;
    }
    if (!in) return false;
    bool ok;
    switch (symbol) {
      case '#': ok = tts::isRuleVowel(c); break;
      case '&': ok = isAnyOf("LMNRZ", c); break;
      case '+': ok = tts::isFrontVowel(c); break;
      default: ok = c == symbol;
    }
    if (!ok) return false;
    ++cursor;
  }
  return true;
}

const LetterRule* findRule(const Word& w, int p) {
  for (const LetterRule& rule : letterRulesState().chains[w.at(p)]) {
    const int length = static_cast<int>(rule.target.size());
    if (p + length - 1 > w.size()) continue;
    if (w.text.substr(static_cast<size_t>(p - 1), rule.target.size()) != rule.target)
      continue;
    if (leftMatches(w, rule.left, p - 1) && rightMatches(w, rule.right, p + length))
      return &rule;
  }
  return nullptr;
}

}  // namespace

void applyRules(std::string_view word, int stress, std::vector<std::string>* out) {
  const Word w{word};
  std::string line;
  bool marked = stress < 1;
  int p = 1;
  while (p <= w.size()) {
    // Control characters have no chain.
    const LetterRule* rule = w.at(p) >= 32 ? findRule(w, p) : nullptr;
    if (rule == nullptr) {
      ++p;
      continue;
    }
    const std::string_view output =
        std::string_view(rule->output).substr(0, kRuleOutputUsed);
    for (const char c : output) {
      if (!marked && p >= stress) {
        line += '>';
        marked = true;
      }
      if (c == '&') {
        out->push_back(std::move(line));
        line.clear();
      } else {
        line += c;
      }
    }
    if (!output.empty()) {
      out->push_back(std::move(line));
      line.clear();
    }
    p += static_cast<int>(rule->target.size());
  }
  out->push_back(std::move(line));
}

std::vector<std::string> transcribeTokens(const std::vector<std::string>& tokens) {
  std::vector<std::string> out;
  for (const std::string& token : tokens) {
    out.push_back(";" + token);
    const std::string text =
        tts::upperText(token.size() > 4 ? std::string_view(token).substr(4) : "");
    if (text.empty()) {
      out.emplace_back("__");
      out.emplace_back();
    } else if (isAnyOf(" !(),.:;?", static_cast<unsigned char>(text[0]))) {
      const std::string_view pause = pauseFor(text[0]);
      if (!pause.empty()) out.emplace_back(pause);
    } else {
      const std::string word = findException(text);
      applyRules(word, isUnstressedWord(word) ? 0 : stressPosition(word), &out);
    }
  }
  out.emplace_back("__");
  joinWords(&out);
  return out;
}

void joinWords(std::vector<std::string>* lines) {
  std::vector<std::string>& l = *lines;
  for (size_t i = 3; i + 1 < l.size(); ++i) {
    if (l[i].empty() || l[i][0] != ';') continue;
    std::string_view next = l[i + 1];
    if (!next.empty() && next[0] == '\xA8') next.remove_prefix(1);
    // Our symbols write vowels in capitals too: the reduced a "@" (the
    // article "a", "amigos") and the open E and O.
    if (!next.empty() && isAnyOf("aeiouwy@EO", static_cast<unsigned char>(next[0]))) {
      // Edited in place: r2 -> r, s2 -> z.
      std::string& last = l[i - 2];
      if (last == "s2") last[0] = 'z';
      if (last == "r2" || last == "z2") last.pop_back();
    }
    ++i;  // on after the line looked at
  }
}
