// The two loaders of the prosody stage: the prosody file (durations, key
// words, intonation rules, pitch) and the definitions file (the diphones
// the synthesizer has).
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "tts/prosody.h"
#include "tts/tts_text.h"

namespace {

// Windows-1252 texts, kept as escapes so the source stays plain ASCII.
constexpr std::string_view kDurationTitle = "[DURA\xC7\xC3O]";
constexpr std::string_view kKeyTitle = "[CHAVES]";
constexpr std::string_view kIntonationTitle = "[PROS\xD3" "DIA]";
constexpr std::string_view kNotFound = "Configura\xE7\xE3o da pros\xF3" "dia n\xE3o foi achada";
constexpr std::string_view kNoDurations = "Dura\xE7\xE3o dos difones errada ou ausente";
constexpr std::string_view kBadPhoneme = "Configura\xE7\xE3o da pros\xF3" "dia: fonema errado: ";
constexpr std::string_view kNoKeyWords = "Pros\xF3" "dia: palavras chaves ausentes";
constexpr std::string_view kBadKey = "Configura\xE7\xE3o da pros\xF3" "dia: chave errada: ";
constexpr std::string_view kNoIntonation = "Pros\xF3" "dia: especifica\xE7\xF5" "es ausentes";
constexpr std::string_view kBadPitch = "Pros\xF3" "dia: tom errado: ";

constexpr size_t kSymbolLimit = 2;
constexpr size_t kClassLimit = 2;
constexpr size_t kRuleClassLimit = 3;
constexpr size_t kPatternLength = 3;

bool fail(std::string_view message, std::string_view line = {}) {
  tts::showMessage(std::string(message) + std::string(line));
  return false;
}

// The data lines of the section that follows the first line that, trimmed,
// is `title`, up to a line that begins with "[". Comments ("*", ";") and
// blank lines are left out. False when the title is missing.
bool sectionLines(std::string_view bytes, std::string_view title,
                  std::vector<std::string_view>* lines) {
  bool found = false;
  tts::forEachLine(bytes, [&](std::string_view line) {
    if (!found) {
      found = tts::trimmed(line) == title;
      return true;
    }
    if (!line.empty() && line.front() == '[') return false;
    if (tts::trimmed(line).empty() || line.front() == '*' || line.front() == ';')
      return true;
    lines->push_back(line);
    return true;
  });
  return found;
}

bool readDurations(std::string_view bytes, ProsodyState& s) {
  std::vector<std::string_view> lines;
  if (!sectionLines(bytes, kDurationTitle, &lines)) return fail(kNoDurations);
  for (std::string_view line : lines) {
    // Lines past the table's room are not read.
    if (s.durations.size() >= kMaxDurations) break;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return fail(kBadPhoneme, line);
    std::string symbol(tts::trimmed(line.substr(0, equals)).substr(0, kSymbolLimit));
    int duration = 0;
    if (!readCount(tts::trimmed(line.substr(equals + 1)), &duration)) {
      // Reported, but one bad figure need not silence the engine.
      fail(kBadPhoneme, line);
      duration = kDefaultDuration;
    }
    s.durations.emplace_back(std::move(symbol), duration);
  }
  return true;
}

bool readKeyWords(std::string_view bytes, ProsodyState& s) {
  std::vector<std::string_view> lines;
  if (!sectionLines(bytes, kKeyTitle, &lines)) return fail(kNoKeyWords);
  for (std::string_view line : lines) {
    if (s.keyWords.size() >= kMaxKeyWords) break;  // the rest is not read
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return fail(kBadKey, line);
    s.keyWords.emplace_back(
        tts::upperText(tts::trimmed(line.substr(0, equals))),
        tts::upperText(tts::trimmed(line.substr(equals + 1)).substr(0, kClassLimit)));
  }
  // Byte order; stable, so the first of two equal key words is the one found.
  std::stable_sort(s.keyWords.begin(), s.keyWords.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  return true;
}

// "70,80,...": exactly ten pitch levels, none negative.
bool readLevels(std::string_view text, std::array<int, 10>* levels) {
  size_t count = 0;
  while (true) {
    const size_t comma = text.find(',');
    int level = 0;
    if (count == levels->size() || !readCount(tts::trimmed(text.substr(0, comma)), &level))
      return false;
    (*levels)[count++] = level;
    if (comma == std::string_view::npos) return count == levels->size();
    text.remove_prefix(comma + 1);
  }
}

// A token line carries exactly three pattern characters before its bar, so
// a pattern of another length is cut or filled; the filler is no digit and
// so sets no pitch.
std::string patternOf(std::string_view text) {
  std::string pattern(text.substr(0, kPatternLength));
  pattern.resize(kPatternLength, '-');
  return pattern;
}

IntonationRule intonationRule(std::string_view classes, std::string_view pattern) {
  IntonationRule rule;
  std::string* parts[] = {&rule.previous, &rule.current, &rule.next};
  for (std::string* part : parts) {
    const size_t bar = classes.find('|');
    *part = std::string(tts::trimmed(classes.substr(0, bar)).substr(0, kRuleClassLimit));
    classes = bar == std::string_view::npos ? std::string_view() : classes.substr(bar + 1);
  }
  rule.pattern = patternOf(pattern);
  return rule;
}

bool readIntonation(std::string_view bytes, ProsodyState& s) {
  std::vector<std::string_view> lines;
  if (!sectionLines(bytes, kIntonationTitle, &lines)) return fail(kNoIntonation);
  for (std::string_view raw : lines) {
    const std::string line = tts::upperText(raw);
    const std::string_view text = line;
    if (text.starts_with("HERTZ=")) {
      if (!readCount(tts::trimmed(text.substr(6)), &s.hertz)) return fail(kBadPitch, raw);
    } else if (text.starts_with("TABHERTZ=")) {
      if (!readLevels(text.substr(9), &s.tabHertz)) return fail(kBadPitch, raw);
    } else {
      // Rules past the table's room are not read; the pitch lines still are.
      if (s.intonation.size() >= kMaxIntonationRules) continue;
      const size_t equals = text.find('=');
      if (equals == std::string_view::npos) return fail(kBadKey, raw);
      s.intonation.push_back(intonationRule(tts::trimmed(text.substr(0, equals)),
                                            tts::trimmed(text.substr(equals + 1))));
    }
  }
  return true;
}

bool isSymbolChar(unsigned char c) {
  return tts::isLetter(c) || c == '2' || c == '@' || c == '_';
}

// The next run of symbol characters at or after `at`; empty at the end.
std::string_view nextSymbol(std::string_view line, size_t* at) {
  while (*at < line.size() && !isSymbolChar(static_cast<unsigned char>(line[*at]))) ++*at;
  const size_t start = *at;
  while (*at < line.size() && isSymbolChar(static_cast<unsigned char>(line[*at]))) ++*at;
  return line.substr(start, *at - start);
}

int compareFolded(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = tts::upper(static_cast<unsigned char>(a[i]));
    const unsigned char y = tts::upper(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

ProsodyState& prosodyState() {
  static ProsodyState state;
  return state;
}

void resetProsody() { prosodyState() = ProsodyState(); }

namespace {

// Everything of the prosody file; the diphones are the other file's.
void clearProsodyTables(ProsodyState& s) {
  s.durations.clear();
  s.keyWords.clear();
  s.intonation.clear();
  s.hertz = kDefaultHertz;
  // A file without levels gives no pitch targets rather than an earlier
  // file's.
  s.tabHertz.fill(0);
}

}  // namespace

bool loadProsodyFromBytes(std::string_view bytes) {
  ProsodyState& s = prosodyState();
  clearProsodyTables(s);
  return readDurations(bytes, s) && readKeyWords(bytes, s) && readIntonation(bytes, s);
}

bool loadProsody(std::string_view fileName) {
  std::string bytes;
  if (!tts::readDataFile(fileName, &bytes)) {
    clearProsodyTables(prosodyState());
    return fail(kNotFound);
  }
  return loadProsodyFromBytes(bytes);
}

bool loadDiphonesFromBytes(std::string_view bytes) {
  std::vector<std::string>& list = prosodyState().diphones;
  list.clear();
  tts::forEachLine(bytes, [&](std::string_view raw) {
    const std::string_view line = tts::trimmed(raw);
    if (line.empty() || line.front() == '!' || line.front() == '*' || line.front() == ';')
      return true;
    size_t at = 0;
    const std::string_view first = nextSymbol(line, &at);
    const std::string_view second = nextSymbol(line, &at);
    // A line with a single symbol names no diphone.
    if (!first.empty() && !second.empty())
      list.push_back(std::string(first) + "-" + std::string(second));
    return true;
  });
  std::sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) {
    return compareFolded(a, b) < 0;
  });
  return true;
}

bool loadDiphones(std::string_view fileName) {
  std::string bytes;
  if (!tts::readDataFile(fileName, &bytes)) {
    prosodyState().diphones.clear();
    return false;
  }
  return loadDiphonesFromBytes(bytes);
}

bool hasDiphone(std::string_view previous, std::string_view current) {
  const std::string wanted = std::string(previous) + "-" + std::string(current);
  const std::vector<std::string>& list = prosodyState().diphones;
  const auto at = std::lower_bound(
      list.begin(), list.end(), wanted,
      [](const std::string& a, const std::string& b) { return compareFolded(a, b) < 0; });
  return at != list.end() && compareFolded(*at, wanted) == 0;
}

std::string_view keyClass(std::string_view word) {
  const std::string key = tts::upperText(word);
  const auto& table = prosodyState().keyWords;
  const auto at = std::lower_bound(
      table.begin(), table.end(), key,
      [](const auto& entry, const std::string& k) { return entry.first < k; });
  if (at == table.end() || at->first != key) return {};
  return at->second;
}
