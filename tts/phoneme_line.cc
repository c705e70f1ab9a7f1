#include "tts/phoneme_line.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The next field of `rest`, which loses it; empty at the end.
std::string_view nextField(std::string_view* rest) {
  size_t i = 0;
  while (i < rest->size() && isBlank((*rest)[i])) ++i;
  size_t end = i;
  while (end < rest->size() && !isBlank((*rest)[end])) ++end;
  const std::string_view field = rest->substr(i, end - i);
  rest->remove_prefix(end);
  return field;
}

// A plain decimal of at most 9 digits before and 9 after the point, so
// no value overflows and none is lost to rounding that matters.
bool readNumber(std::string_view field, double* value) {
  double whole = 0, scale = 1;
  size_t digitsBefore = 0, digitsAfter = 0;
  bool point = false;
  for (const char c : field) {
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9') {
      if (point) {
        if (++digitsAfter > 9) return false;
        scale /= 10;
        whole += (c - '0') * scale;
      } else {
        if (++digitsBefore > 9) return false;
        whole = whole * 10 + (c - '0');
      }
    } else {
      return false;
    }
  }
  if (digitsBefore + digitsAfter == 0) return false;
  *value = whole;
  return true;
}

}  // namespace

LineKind parsePhonemeLine(std::string_view line, PhonemeLine* out) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
    line.remove_suffix(1);
  }
  line = line.substr(0, line.find(';'));
  std::string_view rest = line;
  const std::string_view name = nextField(&rest);
  if (name.empty()) return LineKind::kNothing;
  PhonemeLine parsed;
  parsed.name = std::string(name.substr(0, kMaxSymbolBytes + 1));
  if (!readNumber(nextField(&rest), &parsed.ms) || parsed.ms > kMaxPhonemeMs) {
    return LineKind::kMalformed;
  }
  for (;;) {
    const std::string_view percentField = nextField(&rest);
    if (percentField.empty()) break;
    PitchTarget target;
    if (parsed.targets.size() == kMaxPitchTargets ||
        !readNumber(percentField, &target.percent) ||
        !readNumber(nextField(&rest), &target.hertz) || target.percent > 100 ||
        target.hertz <= 0 || target.hertz > kMaxHertz ||
        (!parsed.targets.empty() && target.percent < parsed.targets.back().percent)) {
      return LineKind::kMalformed;
    }
    parsed.targets.push_back(target);
  }
  *out = std::move(parsed);
  return LineKind::kPhoneme;
}
