#include "tools/voice/unit_inventory.h"

#include <cctype>

#include "synth/unit_database.h"

namespace {

struct Symbol {
  const char* ours;    // as the rules write it
  const char* espeak;  // espeak-ng's pt-br mnemonic
};

constexpr Symbol kOnsets[] = {
    {"", ""},      {"b", "b"},     {"k", "k"},     {"d", "d"},
    {"f", "f"},    {"g", "g"},     {"j", "Z"},     {"l", "l"},
    {"lh", "l^"},  {"m", "m"},     {"n", "n"},     {"nh", "n^"},
    {"p", "p"},    {"r", "*"},     {"rr", "x"},    {"s", "s"},
    {"t", "t"},    {"v", "v"},     {"x", "S"},     {"z", "z"},
    {"tch", "tS"}, {"dj", "dZ"},   {"ks", "ks"},   {"kw", "kw"},
    {"gw", "gw"}};

// Per vowel: plain, closed (CIRC), nasal (TIL).
struct Vowel {
  const char* ours;
  const char* espeak[3];
};
constexpr Vowel kVowels[] = {{"a", {"a", "&", "&~"}},
                             {"e", {"E", "e", "e~"}},
                             {"i", {"i", "i", "i~"}},
                             {"o", {"O", "o", "o~"}},
                             {"u", {"u", "u", "u~"}}};
constexpr const char* kMarks[3] = {"", "CIRC", "TIL"};

constexpr Symbol kGlides[] = {{"y", "I"}, {"w", "U"}};

constexpr const char* kLoneConsonants[] = {"b", "k", "d", "f", "g", "j",
                                           "l", "m", "n", "p", "r", "rr",
                                           "s", "t", "v", "x", "z"};

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

const char* espeakConsonant(const std::string& ours) {
  for (const Symbol& s : kOnsets) {
    if (ours == s.ours) return s.espeak;
  }
  return "";
}

bool voicelessStop(const std::string& ours) {
  return ours == "p" || ours == "t" || ours == "k" || ours == "tch" ||
         ours == "ks" || ours == "kw";
}

// A syllable said on its own, stressed, before an unstressed "p&": the
// vowel ends at the closure of the p, not at the end of the utterance,
// so it keeps its ordinary length.
UnitRecipe syllable(const std::string& name, const std::string& phonemes,
                    bool closure) {
  return {name, "[['" + phonemes + "p&]]", 0, 4, "p", closure};
}

}  // namespace

std::vector<UnitRecipe> unitInventory() {
  std::vector<UnitRecipe> units;
  auto add = [&](UnitRecipe unit) {
    if (unit.name.size() <= kUnitNameMax) units.push_back(std::move(unit));
  };
  for (const Symbol& onset : kOnsets) {
    for (const Vowel& vowel : kVowels) {
      for (int mark = 0; mark < 3; ++mark) {
        add(syllable("$" + upper(onset.ours) + upper(vowel.ours) + kMarks[mark],
                     std::string(onset.espeak) + vowel.espeak[mark],
                     voicelessStop(onset.ours)));
      }
    }
  }
  for (const Vowel& vowel : kVowels) {
    for (const Symbol& glide : kGlides) {
      for (int mark = 0; mark < 3; ++mark) {
        std::string phonemes = std::string(vowel.espeak[mark]) + glide.espeak;
        // espeak's nasal diphthong of pão
        if (phonemes == "&~U") phonemes = "&U~";
        add(syllable("$" + upper(vowel.ours) + upper(glide.ours) + kMarks[mark],
                     phonemes, false));
      }
    }
  }
  // Lone consonants between vowels, as in a cluster or a coda.
  for (const char* consonant : kLoneConsonants) {
    add({"$" + upper(consonant), std::string("[[p'a") + espeakConsonant(consonant) + "&]]",
         2, 3, "&", voicelessStop(consonant)});
  }
  add({"$NN", "[[p'&~N&]]", 2, 3, "&", false});
  for (const Symbol& glide : kGlides) {
    add({"$" + upper(glide.ours), std::string("[['") + glide.espeak + "]]", 0, 2, "_:", false});
  }
  return units;
}
