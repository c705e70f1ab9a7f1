// What our stand-ins for MBROLA (the library and the program) make of a
// phoneme line, which the tests work out the same way: "name ms ..." gives
// ms * 16 samples, all of one value drawn from the name (negative values
// too, so byte order and sign are checked). A line naming ERR is refused,
// one naming DIE ends the synthesizer, one naming HANG makes it stop
// working without ending; blank and ";" lines give nothing.
#ifndef TALONIX_TESTS_FAKES_FAKE_MBROLA_RULE_H_
#define TALONIX_TESTS_FAKES_FAKE_MBROLA_RULE_H_

#include <cstdint>
#include <string_view>

namespace fake_mbrola {

enum class LineKind { kNothing, kSound, kRefused, kDie, kHang };

struct LineEffect {
  LineKind kind = LineKind::kNothing;
  int16_t value = 0;
  int count = 0;
};

inline int16_t sampleValue(std::string_view name) {
  uint32_t h = 7;
  for (char c : name) h = h * 31 + static_cast<unsigned char>(c);
  return static_cast<int16_t>(static_cast<int>(h % 60000) - 30000);
}

inline LineEffect lineEffect(std::string_view line) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  size_t at = 0;
  while (at < line.size() && blank(line[at])) ++at;
  size_t end = at;
  while (end < line.size() && !blank(line[end])) ++end;
  const std::string_view name = line.substr(at, end - at);
  LineEffect effect;
  if (name.empty() || name[0] == ';') return effect;
  if (name == "ERR") return LineEffect{LineKind::kRefused, 0, 0};
  if (name == "DIE") return LineEffect{LineKind::kDie, 0, 0};
  if (name == "HANG") return LineEffect{LineKind::kHang, 0, 0};
  while (end < line.size() && blank(line[end])) ++end;
  long ms = 0;
  while (end < line.size() && line[end] >= '0' && line[end] <= '9' && ms < 100000) {
    ms = ms * 10 + (line[end++] - '0');
  }
  if (ms > 100000) ms = 100000;
  return LineEffect{LineKind::kSound, sampleValue(name), static_cast<int>(ms) * 16};
}

}  // namespace fake_mbrola

#endif  // TALONIX_TESTS_FAKES_FAKE_MBROLA_RULE_H_
