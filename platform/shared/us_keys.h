// The US keyboard layout: which key, with or without Shift, types each
// printable ASCII character. Key scripts and terminals report characters;
// the program sees the key messages a US keyboard would send for them.
#ifndef TALONIX_PLATFORM_SHARED_US_KEYS_H_
#define TALONIX_PLATFORM_SHARED_US_KEYS_H_

#include <cstdint>

namespace plat {

struct UsKey {
  uint32_t vk = 0;  // 0: no key of its own (outside ASCII)
  bool shifted = false;
};

UsKey usKeyOf(uint8_t ch);

// The character of a digit key with Shift held ('1' gives '!').
char shiftedDigit(char digit);

}  // namespace plat

#endif  // TALONIX_PLATFORM_SHARED_US_KEYS_H_
