#include "tts/prosody.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tts/tts_text.h"

namespace {

constexpr std::string_view kSentenceStart = "[--]";
constexpr std::string_view kNeutralPattern = "555";
constexpr std::string_view kWordClass = "XX";
// A token line is "[CC]text", an intonation line "PPP|text": the text
// starts at the fifth character of both.
constexpr size_t kTokenTextAt = 4;
constexpr int kStressFactor = 145;
constexpr int kBridgeMs = 50;
// Products are held below this so no conversion to int can overflow.
constexpr double kProductLimit = 2e9;

char at(std::string_view text, size_t i) { return i < text.size() ? text[i] : '\0'; }

// The integer part of a product, never negative and never past int.
int integerPart(double value) {
  if (!(value > 0)) return 0;  // also for NaN
  return static_cast<int>(value < kProductLimit ? value : kProductLimit);
}

std::string tokenLine(std::string_view cls, std::string_view text) {
  std::string line = "[";
  line += cls;
  // The line format needs two class characters whatever the file gave.
  line.resize(3, ' ');
  line += ']';
  line += text;
  return line;
}

std::string_view classOf(std::string_view line) {
  return line.size() > 1 ? line.substr(1, 2) : std::string_view();
}

bool ruleMatches(const IntonationRule& rule, std::string_view previous,
                 std::string_view current, std::string_view next) {
  return (rule.previous.empty() || rule.previous == classOf(previous)) &&
         (rule.current.empty() || rule.current == classOf(current)) &&
         (rule.next.empty() || rule.next == classOf(next));
}

std::string_view patternFor(std::string_view previous, std::string_view current,
                            std::string_view next) {
  for (const IntonationRule& rule : prosodyState().intonation)
    if (ruleMatches(rule, previous, current, next)) return rule.pattern;
  return kNeutralPattern;
}

// Walks the letter-to-sound stage's lines, carrying what one phoneme line
// needs from the lines before it.
class Timing {
 public:
  Timing(double pitchFactor, double durationFactor)
      : pitchFactor_(pitchFactor), durationFactor_(durationFactor) {}

  void take(std::string_view line, bool lastOfWord, std::vector<std::string>* out) {
    if (line.empty()) {
      factor_ = 100;
      current_.clear();
      out->emplace_back();
      return;
    }
    if (line.front() == ';') {
      current_.clear();
      pattern_ = std::string(line.substr(1, 3));
      // Built by appending: GCC 12 at -O3 wrongly reports overlapping
      // copies in a literal + temporary string.
      std::string comment(1, ';');
      comment.append(line.substr(std::min(line.size(), size_t{5})));
      commentLength_ = comment.size();
      wordState_ = 0;
      out->push_back(std::move(comment));
      return;
    }
    line = takeMarks(line);
    // A mark without a symbol sets the stress for the next phoneme but is
    // no line the synthesizer could read.
    if (line.empty()) return;
    std::string timed = phonemeLine(line, lastOfWord);
    bridge(out);
    out->push_back(std::move(timed));
  }

 private:
  // The stress mark starts the lengthening, which lasts to the word's end
  // or to a phoneme marked with code 168.
  std::string_view takeMarks(std::string_view line) {
    if (line.front() == '>') {
      line.remove_prefix(1);
      if (!line.empty() && line.front() == '\xA8') line.remove_prefix(1);
      factor_ = kStressFactor;
      wordState_ = 2;
    } else if (line.front() == '\xA8') {
      line.remove_prefix(1);
      factor_ = 100;
    }
    return line;
  }

  std::string phonemeLine(std::string_view line, bool lastOfWord) {
    int duration = 0;
    if (line.front() == '_') {
      int given = 0;
      if (line.size() == 1)
        duration = kDefaultDuration;
      else if (line[1] == ' ' && readCount(line.substr(2), &given))
        duration = given;
      else
        duration = phonemeDuration(line);
      line = "_";
    } else {
      duration = phonemeDuration(line);
      // Long words are spoken faster up to their stress.
      if (wordState_ < 2) {
        if (commentLength_ > 13)
          duration = static_cast<int>(int64_t{duration} * 80 / 100);
        else if (commentLength_ > 9)
          duration = static_cast<int>(int64_t{duration} * 90 / 100);
      }
    }
    current_ = line;
    const int ms = integerPart(static_cast<double>(duration) * factor_ * durationFactor_) / 100;
    std::string timed = current_ + " " + std::to_string(ms);
    pitchTarget(lastOfWord, &timed);
    return timed;
  }

  // At most one target per phoneme: the first digit of the pattern on the
  // token's first phoneme, the second on the stressed one, the third on the
  // word's last phoneme after the stress.
  void pitchTarget(bool lastOfWord, std::string* line) {
    size_t digit = 0;
    int position = 50;
    if (wordState_ == 0) {
      digit = 0;
      wordState_ = 1;
    } else if (wordState_ == 2) {
      digit = 1;
      position = 80;
      wordState_ = 3;
    } else if (wordState_ == 3 && lastOfWord) {
      digit = 2;
    } else {
      return;
    }
    const char c = at(pattern_, digit);
    if (!tts::isDigit(static_cast<unsigned char>(c))) return;
    const ProsodyState& s = prosodyState();
    const int level = s.tabHertz[static_cast<size_t>(c - '0')];
    if (level == 0) return;
    const int hertz = integerPart(static_cast<double>(level) * pitchFactor_ * s.hertz) / 100;
    line->append(" ").append(std::to_string(position)).append(" ").append(
        std::to_string(hertz));
  }

  // A diphone the synthesizer lacks gets a short silence, or the glide y,
  // before the phoneme; across words too.
  void bridge(std::vector<std::string>* out) {
    if (current_.empty()) return;
    if (!hasDiphone(previous_, current_)) {
      const bool glide = !(previous_ == "r2" && hasDiphone("r2", "_")) &&
                         hasDiphone(previous_, "y");
      out->push_back((glide ? "y " : "_ ") + std::to_string(kBridgeMs));
    }
    previous_ = current_;
  }

  const double pitchFactor_;
  const double durationFactor_;
  std::string previous_ = "_";
  std::string current_;
  std::string pattern_{kNeutralPattern};
  int wordState_ = 0;
  int factor_ = 100;
  size_t commentLength_ = 0;
};

}  // namespace

bool readCount(std::string_view text, int* value) {
  if (text.empty() || text.size() > 9) return false;
  int n = 0;
  for (char c : text) {
    if (!tts::isDigit(static_cast<unsigned char>(c))) return false;
    n = n * 10 + (c - '0');
  }
  *value = n;
  return true;
}

int phonemeDuration(std::string_view symbol) {
  for (const auto& [name, duration] : prosodyState().durations)
    if (name == symbol) return duration;
  return kDefaultDuration;
}

std::vector<std::string> tokenise(std::string_view text) {
  std::vector<std::string> tokens{std::string(kSentenceStart)};
  size_t i = 0;
  while (true) {
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    if (i >= text.size()) break;
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '.' && at(text, i + 1) == '.') {
      while (i < text.size() && text[i] == '.') ++i;
      tokens.push_back(tokenLine(".-", "."));
    } else if (!tts::isLetter(c)) {
      tokens.push_back(tokenLine(std::string(2, static_cast<char>(c)), text.substr(i, 1)));
      ++i;
    } else {
      const size_t start = i;
      while (i < text.size() && tts::isLetter(static_cast<unsigned char>(text[i]))) ++i;
      const std::string_view word = text.substr(start, i - start);
      const std::string_view cls = keyClass(word);
      tokens.push_back(tokenLine(cls.empty() ? kWordClass : cls, word));
    }
    const char first = at(tokens.back(), kTokenTextAt);
    if (first == '!' || first == '.' || first == '?') tokens.emplace_back(kSentenceStart);
  }
  return tokens;
}

std::vector<std::string> chooseIntonation(const std::vector<std::string>& tokens) {
  std::vector<std::string_view> lines;
  for (const std::string& token : tokens)
    if (!token.empty()) lines.push_back(token);
  std::vector<std::string> patterns;
  char lastDigit = '5';
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view previous = i > 0 ? lines[i - 1] : std::string_view();
    const std::string_view next = i + 1 < lines.size() ? lines[i + 1] : std::string_view();
    std::string pattern(patternFor(previous, lines[i], next));
    if (!pattern.empty() && pattern.front() == '?') pattern.front() = lastDigit;
    if (!pattern.empty()) lastDigit = pattern.back();
    const std::string_view line = lines[i];
    patterns.push_back(pattern + "|" +
                       std::string(line.substr(std::min(line.size(), kTokenTextAt))));
  }
  return patterns;
}

std::vector<std::string> timePhonemes(const std::vector<std::string>& phonemes,
                                      double pitchFactor, double durationFactor) {
  Timing timing(pitchFactor, durationFactor);
  std::vector<std::string> out;
  for (size_t i = 0; i < phonemes.size(); ++i) {
    const bool lastOfWord = i + 1 == phonemes.size() || phonemes[i + 1].empty();
    timing.take(phonemes[i], lastOfWord, &out);
  }
  return out;
}
