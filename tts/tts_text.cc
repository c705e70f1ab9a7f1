#include "tts/tts_text.h"

#include <cstring>

#include "platform/platform.h"
#include "platform/shared/whole_file.h"

namespace tts {

namespace {

bool contains(const char* set, unsigned char c) {
  return c != 0 && std::strchr(set, static_cast<char>(c)) != nullptr;
}

// Windows-1252 spellings of the accented letters, kept as escapes so the
// source stays plain ASCII.
constexpr const char kAccentedLetters[] =
    "\xC0\xC1\xC2\xC3\xC7\xC9\xCA\xCC\xCD\xD1\xD3\xD4\xD5\xD9\xDA\xDC"
    "\xE0\xE1\xE2\xE3\xE7\xE9\xEA\xEC\xED\xF1\xF3\xF4\xF5\xF9\xFA\xFC";
constexpr const char kAccentedVowels[] =
    "\xC0\xC1\xC2\xC3\xC9\xCA\xCC\xCD\xD3\xD4\xD5\xD9\xDA\xDC"
    "\xE0\xE1\xE2\xE3\xE9\xEA\xEC\xED\xF3\xF4\xF5\xF9\xFA\xFC";

}  // namespace

unsigned char upper(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  return c;
}

unsigned char lower(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  return c;
}

std::string upperText(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(upper(static_cast<unsigned char>(c)));
  return out;
}

std::string lowerText(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(lower(static_cast<unsigned char>(c)));
  return out;
}

bool isLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         contains(kAccentedLetters, c);
}

bool isConsonantLetter(unsigned char c) {
  return contains("BCDFGHJKLMNPQRSTVWXYZbcdfghjklmnpqrstvwxyz\xC7\xD1\xE7\xF1", c);
}

bool isRuleVowel(unsigned char c) {
  return contains("AEIOUaeiou", c) || contains(kAccentedVowels, c);
}

bool isRuleConsonant(unsigned char c) { return isConsonantLetter(c); }

bool isBackVowel(unsigned char c) {
  return contains("AOao\xC1\xC2\xD3\xD4\xE1\xE2\xF3\xF4", c);
}

bool isFrontVowel(unsigned char c) { return contains("EIei\xC9\xCD\xE9\xED", c); }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
    text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
    text.remove_suffix(1);
  return text;
}

bool readDataFile(std::string_view fileName, std::string* bytes) {
  return !fileName.empty() &&
         plat::readWholeFile(plat::system().nativePath(fileName), bytes,
                             kMaxDataFileBytes);
}

namespace {

void recordMessage(std::string_view text) {
  std::string line = "box ";
  line.append(text);
  plat::record(line);
}

MessageHandler messageHandler = recordMessage;

}  // namespace

void setMessageHandler(MessageHandler handler) {
  messageHandler = handler != nullptr ? handler : recordMessage;
}

void showMessage(std::string_view text) { messageHandler(text); }

}  // namespace tts
