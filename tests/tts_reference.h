// The engine's letter-to-sound measured against espeak-ng's pt-BR
// transcriptions (tests/data/tts_reference.tsv, made by
// scripts/tts-reference.sh). Both sides are mapped to the engine's symbols
// (docs/tts.md) first. espeak-ng's notation differs in ways that carry no
// Brazilian contrast, and those are folded:
// - a vowel before a nasal coda ("&~N", "eIN", "iN", "om" + consonant)
//   is the nasal vowel, and final "eIN" is "en j";
// - a nasal vowel before a nasal onset (c"&~"ma) is nasalised by that
//   consonant, so it counts as the oral one;
// - the tap with its echo vowel ("*@-") is one tap, "R" after a consonant
//   is the tap too, "x" is the strong r; "lj" is lh, "n^" nh;
// - I, U and y after a vowel are the glides j and w; elsewhere y and U are
//   the reduced final vowels I and U;
// - a word's last r and s are r2 and s2.
#ifndef TALONIX_TESTS_TTS_REFERENCE_H_
#define TALONIX_TESTS_TTS_REFERENCE_H_

#include <string>
#include <vector>

namespace ttsref {

struct Transcription {
  std::vector<std::string> phonemes;
  int stressedVowel = -1;  // index among the vowels; -1: none marked
  bool markOffVowel = false;  // the stress mark fell on a consonant or glide
};

inline bool isVowelSymbol(const std::string& s) {
  static const char* const kVowels[] = {"a", "e", "E", "i", "o", "O", "u", "@",
                                        "I", "U", "an", "en", "in", "on", "un"};
  for (const char* v : kVowels)
    if (s == v) return true;
  return false;
}

namespace detail {

inline bool isEspeakVowel(char c) {
  return c == 'a' || c == '&' || c == 'e' || c == 'E' || c == 'i' || c == 'o' ||
         c == 'O' || c == 'u' || c == 'y' || c == 'U' || c == 'I';
}

inline std::string nasalOf(char v) {
  switch (v) {
    case 'a': case '&': return "an";
    case 'e': case 'E': return "en";
    case 'i': case 'I': case 'y': return "in";
    case 'o': case 'O': return "on";
    default: return "un";
  }
}

inline std::string oralOf(char v) {
  switch (v) {
    case '&': return "@";
    case 'y': return "I";
    default: return std::string(1, v);
  }
}

}  // namespace detail

// l before the glide j is heard as lh, and espeak-ng writes both as "lj".
inline void foldLj(Transcription* t) {
  auto& p = t->phonemes;
  for (size_t i = 0; i + 1 < p.size(); ++i) {
    if (p[i] == "l" && p[i + 1] == "j") {
      p[i] = "L";
      p.erase(p.begin() + static_cast<long>(i) + 1);
    }
  }
}

// espeak-ng's "-x" output for one word (UTF-8 free: ASCII symbols).
inline Transcription fromEspeak(const std::string& raw) {
  using namespace detail;
  // Stress and syllable marks out, noting which vowel the stress falls on.
  std::string s;
  std::vector<bool> stressAt;
  bool stressNext = false;
  for (size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '\'') { stressNext = true; continue; }
    if (c == ',' || c == ';' || c == '#' || c == '-') continue;
    if (c == '@' && !s.empty() && s.back() == '*') continue;  // the tap's echo
    s += c;
    stressAt.push_back(false);
    if (stressNext && isEspeakVowel(c)) { stressAt.back() = true; stressNext = false; }
  }
  Transcription t;
  int vowels = 0;
  auto add = [&](const std::string& p, bool stressed) {
    if (isVowelSymbol(p)) {
      if (stressed) t.stressedVowel = vowels;
      ++vowels;
    }
    t.phonemes.push_back(p);
  };
  auto isConsonantAt = [&](size_t i) {
    return i < s.size() && !isEspeakVowel(s[i]) && s[i] != '~' && s[i] != 'w' &&
           s[i] != 'j';
  };
  bool afterVowel = false;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    const bool last = i + 1 == s.size();
    if (isEspeakVowel(c)) {
      // A glide: I, U, y right after a vowel.
      // (After i, y is the final vowel: "ie" is i-I.)
      const bool afterI = !t.phonemes.empty() && t.phonemes.back() == "i";
      if (afterVowel && (c == 'I' || c == 'U' || (c == 'y' && !afterI))) {
        const bool nasal = i + 1 < s.size() && s[i + 1] == '~';
        add(c == 'U' ? "w" : "j", false);
        if (nasal) ++i;
        afterVowel = false;
        continue;
      }
      bool nasal = false;
      size_t j = i + 1;
      if (j < s.size() && s[j] == '~') { nasal = true; ++j; }
      // "&U~": the nasal mark written after the diphthong's glide.
      if (j + 1 < s.size() && (s[j] == 'U' || s[j] == 'I' || s[j] == 'y') &&
          s[j + 1] == '~') {
        nasal = true;
      }
      // "eI" before a nasal coda is the nasal e (final: with its glide).
      bool eiNasal = false;
      if ((c == 'e' || c == 'E') && j < s.size() && s[j] == 'I' && j + 1 < s.size() &&
          (s[j + 1] == 'N' || s[j + 1] == 'm' || s[j + 1] == 'n') &&
          (j + 2 >= s.size() || isConsonantAt(j + 2))) {
        eiNasal = true;
        ++j;
      }
      if (j < s.size() && (s[j] == 'N' || s[j] == 'm' || s[j] == 'n') &&
          (j + 1 >= s.size() || isConsonantAt(j + 1)) &&
          !(j + 1 < s.size() && s[j + 1] == '^')) {
        nasal = true;
        // Final also before a last s: "-gens" is en j s.
        const bool final = j + 1 >= s.size() ||
                           (j + 2 == s.size() && (s[j + 1] == 's' || s[j + 1] == 'z'));
        add(nasalOf(c), stressAt[i]);
        if (eiNasal && final) add("j", false);
        i = j;
        afterVowel = true;
        continue;
      }
      if (eiNasal) --j;
      // Nasalised by the nasal onset that follows: the oral vowel.
      const bool onsetNasal = j < s.size() && (s[j] == 'm' || s[j] == 'n');
      add(nasal && !onsetNasal ? nasalOf(c) : oralOf(c), stressAt[i]);
      i = j - 1;
      afterVowel = true;
      continue;
    }
    afterVowel = false;
    if (c == 't' && i + 1 < s.size() && s[i + 1] == 'S') { add("tS", false); ++i; continue; }
    if (c == 'd' && i + 1 < s.size() && s[i + 1] == 'Z') { add("dZ", false); ++i; continue; }
    if (c == 'n' && i + 1 < s.size() && s[i + 1] == '^') { add("J", false); ++i; continue; }
    if (c == 'l' && i + 1 < s.size() && s[i + 1] == 'j') { add("L", false); ++i; continue; }
    if (c == '*' || c == 'R') { add(last ? "r2" : "r", false); continue; }
    if (c == 'r') { add(last ? "r2" : "r", false); continue; }
    if (c == 'x') { add("R", false); continue; }
    if (c == 'N') { add("n", false); continue; }
    if (c == 's' && last) { add("s2", false); continue; }
    if (c == 'w' || c == 'j') { add(std::string(1, c), false); afterVowel = false; continue; }
    add(std::string(1, c), false);
  }
  foldLj(&t);
  return t;
}

// The engine's lines for one word: ">" marks the stressed symbol, "\xA8"
// a symbol that ends the stress lengthening; the closing empty line ends it.
inline Transcription fromEngine(const std::vector<std::string>& lines) {
  Transcription t;
  int vowels = 0;
  for (std::string line : lines) {
    bool stressed = false;
    if (!line.empty() && line[0] == '>') { stressed = true; line.erase(0, 1); }
    if (!line.empty() && line[0] == '\xA8') line.erase(0, 1);
    if (line.empty()) continue;
    if (isVowelSymbol(line)) {
      if (stressed) t.stressedVowel = vowels;
      ++vowels;
    } else if (stressed) {
      // The stressed letter's symbol is not a vowel: a rule consumed the
      // stressed vowel inside a longer target.
      t.markOffVowel = true;
    }
    t.phonemes.push_back(line);
  }
  foldLj(&t);
  return t;
}

inline std::string joined(const std::vector<std::string>& phonemes) {
  std::string out;
  for (const std::string& p : phonemes) out += (out.empty() ? "" : " ") + p;
  return out;
}

}  // namespace ttsref

#endif  // TALONIX_TESTS_TTS_REFERENCE_H_
