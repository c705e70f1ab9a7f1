// Character classes of the letter-to-sound stage. ASCII only: the text is
// turned to ASCII before any of them is asked.
#ifndef TALONIX_SYNTH_DIPHONE_CHARS_H_
#define TALONIX_SYNTH_DIPHONE_CHARS_H_

namespace l2s {

inline char lowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
inline char upperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
inline bool isLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
inline bool isVowel(char c) {
  switch (lowerAscii(c)) {
    case 'a': case 'e': case 'i': case 'o': case 'u':
      return true;
    default:
      return false;
  }
}
inline bool isConsonant(char c) { return isLetter(c) && !isVowel(c); }
inline bool isAccentMark(char c) {
  return c == '"' || c == '\'' || c == '^' || c == '`' || c == '~';
}
inline bool isPauseMark(char c) {
  switch (c) {
    case ' ': case '!': case ',': case '.': case ':': case ';': case '?':
      return true;
    default:
      return false;
  }
}
inline bool isFrontVowel(char c) {
  const char l = lowerAscii(c);
  return l == 'e' || l == 'i';
}
inline bool isBackVowel(char c) {
  const char l = lowerAscii(c);
  return l == 'a' || l == 'o';
}
// l m n r z, which close a syllable.
inline bool isLiquidNasal(char c) {
  switch (lowerAscii(c)) {
    case 'l': case 'm': case 'n': case 'r': case 'z':
      return true;
    default:
      return false;
  }
}

}  // namespace l2s

#endif  // TALONIX_SYNTH_DIPHONE_CHARS_H_
