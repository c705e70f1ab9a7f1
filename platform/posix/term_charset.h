// Windows-1252 <-> Unicode for the terminal's edge: the program keeps every
// text in Windows-1252, the terminal speaks UTF-8.
#ifndef TALONIX_PLATFORM_POSIX_TERM_CHARSET_H_
#define TALONIX_PLATFORM_POSIX_TERM_CHARSET_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace plat::posix {

// The code point of a Windows-1252 byte; the five unassigned bytes give 0.
uint32_t cp1252ToCodePoint(uint8_t byte);
// The Windows-1252 byte of a code point; false when it has none.
bool codePointToCp1252(uint32_t codePoint, uint8_t* byte);
void appendUtf8(std::string* out, uint32_t codePoint);
// A whole text; the unassigned bytes are dropped.
std::string cp1252ToUtf8(std::string_view text);

}  // namespace plat::posix

#endif  // TALONIX_PLATFORM_POSIX_TERM_CHARSET_H_
