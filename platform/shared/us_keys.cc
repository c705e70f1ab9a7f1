#include "platform/shared/us_keys.h"

#include "platform/events.h"

namespace plat {
namespace {

constexpr char kShiftedDigits[] = ")!@#$%^&*(";

struct Punct {
  char plain, shifted;
  uint32_t vk;
};
constexpr Punct kPunct[] = {
    {';', ':', 0xBA},  {'=', '+', 0xBB}, {',', '<', 0xBC},    {'-', '_', 0xBD},
    {'.', '>', 0xBE},  {'/', '?', 0xBF}, {'`', '~', 0xC0},    {'[', '{', 0xDB},
    {'\\', '|', kVkOem5}, {']', '}', 0xDD}, {'\'', '"', 0xDE},
};

}  // namespace

UsKey usKeyOf(uint8_t c) {
  if (c >= 'a' && c <= 'z') return {static_cast<uint32_t>(c - 'a' + 'A'), false};
  if (c >= 'A' && c <= 'Z') return {c, true};
  if (c >= '0' && c <= '9') return {c, false};
  if (c == ' ') return {kVkSpace, false};
  for (int d = 0; d < 10; ++d) {
    if (kShiftedDigits[d] == static_cast<char>(c)) {
      return {static_cast<uint32_t>('0' + d), true};
    }
  }
  for (const Punct& p : kPunct) {
    if (p.plain == static_cast<char>(c)) return {p.vk, false};
    if (p.shifted == static_cast<char>(c)) return {p.vk, true};
  }
  return {};
}

char shiftedDigit(char digit) {
  return digit >= '0' && digit <= '9' ? kShiftedDigits[digit - '0'] : digit;
}

}  // namespace plat
