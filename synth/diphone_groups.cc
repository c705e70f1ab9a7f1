// Reading bracketed phoneme groups into unit names and finding each unit,
// with the fallbacks for units the database lacks.
#include <algorithm>
#include <string>
#include <string_view>

#include "synth/diphone_sound.h"
#include "synth/diphone_synth.h"

namespace {

constexpr size_t kTokenMax = 40;
// Syllables are joined while the token is at most this long.
constexpr size_t kJoinedMax = 8;
constexpr size_t kNameMax = 12;
constexpr size_t kNoiseSamples = 300;

// Built by appending: GCC 12 at -O3 reports false overlaps for a literal
// put in front of a string.
std::string joined(std::string_view a, std::string_view b) {
  std::string out;
  out.reserve(a.size() + b.size());
  out.append(a);
  out.append(b);
  return out;
}

bool isIn(char c, std::string_view set) {
  return set.find(c) != std::string_view::npos;
}
bool isVowel(char c) { return isIn(c, "AEIOUaeiouwy"); }
bool isConsonant(char c) { return isIn(c, "bcdfgjklmnpqrstvxz"); }
bool isGlide(char c) { return c == 'w' || c == 'y'; }
bool isMark(char c) { return c == '^' || c == '~'; }
bool isStressedVowel(char c) { return isIn(c, "AEIOU"); }

struct GroupReader {
  std::string_view text;
  size_t cursor = 0;
  int stressMode = 1;  // 2 while a stressed unit is named, then 0
  bool noPauses = false;
};

int pauseSamples(char mark) {
  switch (mark) {
    case ',': return 4000;
    case '.': return 8000;
    case ':': return 8000;
    case ';': return 6000;
    default: return 0;
  }
}

std::string readToken(GroupReader& r) {
  const std::string_view t = r.text;
  if (t[r.cursor] == '[') {
    r.stressMode = 1;
    ++r.cursor;
  }
  std::string token;
  auto append = [&token](char c) {
    if (token.size() < kTokenMax) token += c;
  };
  while (r.cursor < t.size()) {
    const char c = t[r.cursor];
    if (c == ' ' || c == ']') break;
    if (c == '/') {
      if (token.size() > kJoinedMax) break;
      ++r.cursor;
      continue;
    }
    append(c);
    ++r.cursor;
    // "_" takes the next character with it, whatever it is.
    if (c == '_' && r.cursor < t.size()) append(t[r.cursor++]);
  }
  if (r.cursor < t.size()) ++r.cursor;  // the terminator
  if (!r.noPauses && token.size() == 2 && token[0] == '_' &&
      pauseSamples(token[1]) > 0) {
    appendSilence(pauseSamples(token[1]));
    token.clear();
  }
  return token;
}

// How a unit name was resolved, the worst of its parts: the order is the
// order of badness.
enum class Found { kDirect, kFallback, kNoise, kSkipped };

Found worse(Found a, Found b) { return std::max(a, b); }
Found viaFallback(Found a, Found b) { return worse(worse(a, b), Found::kFallback); }

Found findName(std::string name, int mode, double factor) {
  if (name.size() > kNameMax) name.resize(kNameMax);
  // A missing character sound is silent.
  if (name[0] == '_') {
    return appendCharacterSound(name) ? Found::kDirect : Found::kSkipped;
  }
  if (appendDatabaseUnit(name, mode, factor)) return Found::kDirect;
  if (name.size() <= 2) {
    appendNoise(kNoiseSamples);
    return Found::kNoise;
  }
  const size_t n = name.size();
  const char last = name.back();
  if (isVowel(last)) {
    const Found a = findName(name.substr(0, n - 1), mode, 0.9 * factor);
    return viaFallback(a, findName(joined("$", std::string_view(&last, 1)), mode, factor));
  }
  if (name.ends_with("CIRC") && n >= 7) {
    const Found a = findName(name.substr(0, n - 5), mode, 0.9 * factor);
    return viaFallback(a, findName(joined("$", std::string_view(name).substr(n - 5)), mode, factor));
  }
  if (name.ends_with("TIL")) {
    std::string open = name.substr(0, n - 3);
    const char before = open.back();
    if (before != 'I' && before != 'i' && before != 'U' && before != 'u') {
      open += "CIRC";
      mode = 2;
    }
    const Found a = findName(open, mode, 0.9 * factor);
    return viaFallback(a, findName("$nn", 1, 0.9));
  }
  return Found::kSkipped;
}

// A unit name asked for by the groups, counted by how it was resolved.
void lookUpUnit(const std::string& name, int mode, double factor) {
  DiphoneStats& stats = diphoneStats();
  switch (findName(name, mode, factor)) {
    case Found::kDirect: ++stats.direct; break;
    case Found::kFallback: ++stats.fallback; break;
    case Found::kNoise: ++stats.noise; break;
    case Found::kSkipped: ++stats.skipped; break;
  }
}

// A unit text: "_" and a character, or symbols made into "$" names with
// "^" and "~" written CIRC and TIL (each ending a name).
void speakUnit(GroupReader& r, std::string_view unit, double factor) {
  if (unit.empty()) return;
  if (unit[0] == '_') {
    if (unit.size() >= 2) {
      findName(joined("_", std::to_string(static_cast<uint8_t>(unit[1]))),
               r.stressMode, factor);
    }
    return;
  }
  bool stressed = false;
  std::string name = "$";
  for (char c : unit) {
    if (isStressedVowel(c)) {
      r.stressMode = 2;
      stressed = true;
    }
    if (isMark(c)) {
      lookUpUnit(joined(name, c == '^' ? "CIRC" : "TIL"), r.stressMode, factor);
      name.resize(1);  // back to "$"
    } else if (name.size() < kNameMax) {
      name += c;
    }
  }
  if (name != "$") lookUpUnit(name, r.stressMode, factor);
  if (stressed) r.stressMode = 0;
}

void decompose(GroupReader& r, std::string_view t, double f) {
  const size_t n = t.size();
  if (n == 0) return;
  if (n == 1) return speakUnit(r, t, f);
  const std::string_view pair = t.substr(0, 2);
  if (n > 2 && isConsonant(t[0]) && isConsonant(t[1]) && pair != "dj" &&
      pair != "nh" && pair != "rr" && pair != "ks" && t.substr(0, 3) != "tch") {
    speakUnit(r, t.substr(0, 1), 1.0);
    return decompose(r, t.substr(1), f);
  }
  if (n > 2 && t.ends_with("rr")) {
    decompose(r, t.substr(0, n - 2), f);
    return speakUnit(r, "rr", f);
  }
  if (n > 2 && isConsonant(t[n - 1])) {
    decompose(r, t.substr(0, n - 1), f);
    return decompose(r, t.substr(n - 1), f);
  }
  if (isGlide(t[n - 1])) {
    if (isVowel(t[n - 2]) && n > 2) {
      decompose(r, t.substr(0, n - 1), 0.6);
      return speakUnit(r, t.substr(n - 2), f);
    }
    if (isMark(t[n - 2])) {
      // A mark and a glide alone have no vowel to carry the mark: the
      // glide is spoken plain.
      if (n == 2) return speakUnit(r, t.substr(1), f);
      if (n > 3) {
        // A nasal vowel before a glide starts from its closed form.
        std::string closed(t.substr(0, n - 2));
        closed += '^';
        decompose(r, closed, 0.6);
      }
      const char unit[3] = {t[n - 3], t[n - 1], t[n - 2]};
      return speakUnit(r, std::string_view(unit, 3), f);
    }
  }
  if (t != "_s" && t[n - 1] == 's') {
    decompose(r, t.substr(0, n - 1), 0.7);
    return speakUnit(r, "s", f);
  }
  speakUnit(r, t, f);
}

}  // namespace

void speakDiphoneGroups(std::string_view groups, bool noPauses) {
  if (!diphoneSynthStarted()) return;
  GroupReader r;
  r.text = groups;
  r.noPauses = noPauses;
  while (r.cursor < groups.size()) {
    const std::string token = readToken(r);
    decompose(r, token, 1.0);
    if (r.cursor < groups.size() && groups[r.cursor - 1] != ' ') {
      appendSilence(diphoneGroupGap());
    }
  }
  flushDiphoneSound();
}
