#include "tools/voice/diphone_carriers.h"

namespace {

using K = SymbolKind;

// Contexts around the pair, each list best first.
using Context = std::vector<std::vector<const char*>>;

// Before the left symbol: a vowel before a consonant or glide, a stop
// before a vowel.
Context before(const EngineSymbol& s) {
  switch (s.kind) {
    case K::kSilence: return {{}};
    case K::kVowel:
    case K::kReducedVowel: return {{"t"}, {"p"}, {"s"}};
    default: return {{"a"}, {"e"}, {"i"}};
  }
}

// After the right symbol: a vowel after a consonant; a stop and a vowel
// after a vowel or glide; nothing after what ends a word.
Context after(const EngineSymbol& s) {
  switch (s.kind) {
    case K::kSilence: return {{}};
    case K::kVowel:
    case K::kGlide: return {{"t", "a"}, {"p", "a"}, {}};
    case K::kReducedVowel:
    case K::kWordFinal: return {{}, {"t", "a"}};
    default: return {{"a"}, {"&"}, {"i"}};
  }
}

}  // namespace

const std::vector<EngineSymbol>& engineSymbols() {
  static const std::vector<EngineSymbol> symbols = {
      {"a", "a", K::kVowel},          {"e", "e", K::kVowel},
      {"E", "E", K::kVowel},          {"i", "i", K::kVowel},
      {"o", "o", K::kVowel},          {"O", "O", K::kVowel},
      {"u", "u", K::kVowel},          {"@", "&", K::kReducedVowel},
      {"I", "y", K::kReducedVowel},   {"U", "U", K::kReducedVowel},
      {"an", "&~", K::kVowel},        {"en", "e~", K::kVowel},
      {"in", "i~", K::kVowel},        {"on", "o~", K::kVowel},
      {"un", "u~", K::kVowel},        {"j", "j", K::kGlide},
      {"w", "w", K::kGlide},          {"p", "p", K::kVoicelessStop},
      {"b", "b", K::kVoicedStop},     {"t", "t", K::kVoicelessStop},
      {"d", "d", K::kVoicedStop},     {"k", "k", K::kVoicelessStop},
      {"g", "g", K::kVoicedStop},     {"tS", "tS", K::kVoicelessStop},
      {"dZ", "dZ", K::kVoicedStop},   {"f", "f", K::kConsonant},
      {"v", "v", K::kConsonant},      {"s", "s", K::kConsonant},
      {"z", "z", K::kConsonant},      {"S", "S", K::kConsonant},
      {"Z", "Z", K::kConsonant},      {"m", "m", K::kConsonant},
      {"n", "n", K::kConsonant},      {"J", "n^", K::kConsonant},
      {"l", "l", K::kConsonant, "l-"},      {"L", "l^", K::kConsonant},
      {"r", "*", K::kConsonant},      {"R", "x", K::kConsonant},
      {"r2", "r", K::kWordFinal},     {"s2", "s", K::kWordFinal},
      {"_", "", K::kSilence},
  };
  return symbols;
}

const EngineSymbol* findEngineSymbol(std::string_view name) {
  for (const EngineSymbol& s : engineSymbols()) {
    if (name == s.name) return &s;
  }
  return nullptr;
}

std::vector<Carrier> carriersFor(const EngineSymbol& left, const EngineSymbol& right) {
  std::vector<Carrier> carriers;
  // espeak's l has no length before a consonant or a pause; its held
  // lateral ("l-") stands for it there.
  const bool beforeVowel = right.kind == K::kVowel || right.kind == K::kReducedVowel;
  const char* leftSaid = left.coda && !beforeVowel ? left.coda : left.espeak;
  // A syllable break ("-") between the two keeps espeak from merging them
  // (a U into a diphthong, t s into an affricate): the last resort.
  for (const char* gap : {"", "-"}) {
    if (*gap && (left.kind == K::kSilence || right.kind == K::kSilence)) continue;
    for (const auto& pre : before(left)) {
      for (const auto& post : after(right)) {
        Carrier c;
        std::vector<std::pair<const char*, SymbolKind>> word;
        for (const char* p : pre) word.emplace_back(p, K::kConsonant);
        if (left.kind != K::kSilence) {
          c.left = static_cast<int>(word.size());
          word.emplace_back(leftSaid, left.kind);
        }
        if (right.kind != K::kSilence) {
          c.right = static_cast<int>(word.size());
          word.emplace_back(right.espeak, right.kind);
        }
        for (const char* p : post) word.emplace_back(p, K::kConsonant);
        // The stress on the pair's own full vowel, else on the context's.
        int stressed = -1;
        for (int at : {c.left, c.right}) {
          if (stressed < 0 && at >= 0 && word[static_cast<size_t>(at)].second == K::kVowel)
            stressed = at;
        }
        for (size_t i = 0; stressed < 0 && i < word.size(); ++i) {
          const std::string_view p = word[i].first;
          if (p == "a" || p == "e" || p == "i") stressed = static_cast<int>(i);
        }
        c.text = "[[";
        for (size_t i = 0; i < word.size(); ++i) {
          if (static_cast<int>(i) == stressed) c.text += '\'';
          c.text += word[i].first;
          if (static_cast<int>(i) == c.left && c.right >= 0) c.text += gap;
          c.phonemes.emplace_back(word[i].first);
        }
        c.text += "]]";
        if (!c.phonemes.empty()) carriers.push_back(std::move(c));
      }
    }
  }
  return carriers;
}
