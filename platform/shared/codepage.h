// Windows-1252 <-> UTF-8 at the platform boundary (POSIX file names, UTF-8
// terminals), and the case folding used to compare setting names.
//
// Choices:
// - The five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90,
//   0x9D) become U+FFFD: passing them on as C1 control characters could make
//   a terminal start a control sequence (0x90 is DCS, 0x9D is OSC).
// - Control characters 0x00-0x1F and 0x7F pass through unchanged; filtering
//   them is the caller's business.
// - On the way back, a character Windows-1252 cannot hold, U+FFFD included,
//   and every byte of a malformed UTF-8 sequence become '?'.
#ifndef TALONIX_PLATFORM_SHARED_CODEPAGE_H_
#define TALONIX_PLATFORM_SHARED_CODEPAGE_H_

#include <string>
#include <string_view>

namespace plat {

// The end of a line in the program's text files (ledgers, statements,
// settings) and in text it hands to the clipboard, as on Windows.
inline constexpr char kLineEnd[] = "\r\n";

std::string cp1252ToUtf8(std::string_view text);
std::string utf8ToCp1252(std::string_view text);

// Lower case of a Windows-1252 byte: ASCII letters, the accented capitals
// 0xC0-0xDE (not 0xD7, the multiplication sign), and the capitals
// S/Z with caron, OE and Y with diaeresis in 0x80-0x9F.
unsigned char foldCase1252(unsigned char c);
bool equalsIgnoreCase1252(std::string_view a, std::string_view b);

}  // namespace plat

#endif  // TALONIX_PLATFORM_SHARED_CODEPAGE_H_
