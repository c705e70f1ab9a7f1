// Character classes and text helpers shared by the stages of the Portuguese
// engine (and the data files of the diphone voice's rules). Texts are
// Windows-1252 bytes; every class lists its members explicitly, so no locale
// is consulted.
#ifndef TALONIX_TTS_TTS_TEXT_H_
#define TALONIX_TTS_TTS_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace tts {

// Upper case of a letter: a-z and the accented small letters 0xE0-0xFE
// except the division sign; every other byte is returned as it is.
unsigned char upper(unsigned char c);
unsigned char lower(unsigned char c);
std::string upperText(std::string_view text);
std::string lowerText(std::string_view text);

// The letters of normalisation and tokens: A-Z, a-z and the accented
// letters of Portuguese (and Spanish Ñ, Ì, Ù).
bool isLetter(unsigned char c);
// Those letters that are consonants (Ç and Ñ included).
bool isConsonantLetter(unsigned char c);
inline bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// The sets the rules' contexts test, upper and lower case.
bool isRuleVowel(unsigned char c);      // A E I O U and accented vowels
bool isRuleConsonant(unsigned char c);  // B..Z without the vowels, Ç Ñ
bool isBackVowel(unsigned char c);      // A O Á Â Ó Ô
bool isFrontVowel(unsigned char c);     // E I É Í

// Blanks and control characters (codes 0 to 32) removed at both ends.
std::string_view trimmed(std::string_view text);

// Calls `take(line)` for each line of `bytes`, without its LF or CR LF;
// `take` returns false to stop. A last line without an end counts.
template <typename Take>
void forEachLine(std::string_view bytes, Take take) {
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!take(line)) return;
    start = end + 1;
  }
}

// Far above any real data file (15000 lines of 255 characters are under
// 4 MB); a larger one is refused, not read.
constexpr std::uintmax_t kMaxDataFileBytes = 16u << 20;

// The bytes of a data file named by a Windows-1252 path; false when it is
// missing, unreadable, not a regular file or too large.
bool readDataFile(std::string_view fileName, std::string* bytes);

// The loaders' message boxes (the prosody file's faults) go through one
// handler: the program shows and speaks them, the tool prints them. The
// default records "box <text>" with plat::record.
using MessageHandler = void (*)(std::string_view text);
void setMessageHandler(MessageHandler handler);  // nullptr: the default
void showMessage(std::string_view text);

}  // namespace tts

#endif  // TALONIX_TTS_TTS_TEXT_H_
