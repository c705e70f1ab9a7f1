// Letter-to-sound for the diphone synthesizer: text to bracketed groups of
// phoneme symbols, one group per word or character, the syllables of a
// group joined by "/", the stressed vowel in upper case. Driven by a rules
// file of context-sensitive rules and a file of whole-word exceptions.
//
// Texts are Windows-1252 bytes. Every byte 0..255 is accepted everywhere:
// the rules, the exceptions and the text.
#ifndef TALONIX_SYNTH_DIPHONE_RULES_H_
#define TALONIX_SYNTH_DIPHONE_RULES_H_

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Field limits of a rule; characters beyond them are dropped on loading.
constexpr size_t kRuleContextMax = 5;
constexpr size_t kRuleTargetMax = 5;
constexpr size_t kRuleOutputMax = 11;
// One chain per target first character from kFirstRuleCode, upper case.
constexpr int kFirstRuleCode = 32;
constexpr int kRuleChains = 64;
constexpr size_t kExceptionsMax = 15000;
constexpr size_t kExceptionTextMax = 255;  // a line, so each part too
constexpr size_t kWordMax = 255;
// Stands in the prepared text for a character that has no plain form.
constexpr char kUnspeakable = '\x01';

// left(target)right=output: the target, upper case, read where its
// contexts match, gives the output.
struct DiphoneRule {
  std::string left;
  std::string target;  // never empty
  std::string right;
  std::string output;
  int next = -1;  // index of the next rule of the chain; -1 ends it
};

struct DiphoneException {
  std::string word;
  std::string replacement;
};

// A word of the prepared text: lower-case letters and accent marks (or one
// other character), at most kWordMax of them.
struct DiphoneWord {
  std::string text;
  int vowels = 0;
  bool accented = false;  // an accent other than the diaeresis shows the stress
};

struct DiphoneRulesState {
  std::vector<DiphoneRule> rules;  // the chains' rules, in file order
  std::array<int, kRuleChains> chainHead;
  std::array<int, kRuleChains> chainTail;
  std::vector<DiphoneException> exceptions;  // sorted by word, byte order
  DiphoneWord word;  // the word being transcribed
  DiphoneRulesState() { chainHead.fill(-1); chainTail.fill(-1); }
};

DiphoneRulesState& diphoneRulesState();
// No rules, no exceptions: every character gets its default output.
void resetDiphoneRules();

// Rules from the file (a Windows-1252 path); the rules loaded before are
// dropped, and so are the exceptions. False when the file cannot be read;
// no rules then remain.
bool loadDiphoneRules(std::string_view fileName);
// One rule a line (LF or CR LF); lines without "(", ")" and "=" in that
// order are skipped. A rule whose target starts with no character of the
// chains is dropped.
void loadDiphoneRulesFromBytes(std::string_view bytes);
// Exceptions from the file, replacing those loaded before; false when it
// cannot be read (none then remain).
bool loadDiphoneExceptions(std::string_view fileName);
// word=replacement|comment a line, at most kExceptionsMax kept; lines
// without "=" or with an empty word are skipped, characters past
// kExceptionTextMax in a line are dropped.
void loadDiphoneExceptionsFromBytes(std::string_view bytes);
void freeDiphoneRules();

// The steps of transcribeForDiphones, in order.

// ASCII form: accented letters become the vowel and an accent mark
// (" ' ^ ` ~), ç "ss", w and y beside a letter u and i, the apostrophe
// after d goes, and a character with no plain form " \x01 ".
std::string prepareText(std::string_view text);
// The word at *pos (after blanks) into *word, *pos moved past it; false at
// the end of the text. A run longer than kWordMax goes on as the next word.
bool nextWord(std::string_view prepared, size_t* pos, DiphoneWord* word);
// The exception's replacement for the word, also after taking off a final
// s or m (put back after the replacement), repeatedly; the word's vowel
// count and accent flag are those of the new text.
void replaceFromExceptions(DiphoneWord* word);
// Upper-cases the stressed vowel, unless an accent already shows it.
void markStress(DiphoneWord* word);
// "[ /_c]" for each character c.
std::string spellWord(std::string_view word);
// "[", the rules' outputs joined by "/", "]".
std::string applyDiphoneRules(std::string_view word);

std::string transcribeForDiphones(std::string_view text);

// The rules file; true when it could be opened. Also empties the
// exceptions.
bool loadDiphoneRules(std::string_view fileName);
// The exceptions file; true when it could be opened.
bool loadDiphoneExceptions(std::string_view fileName);
void freeDiphoneRules();

#endif  // TALONIX_SYNTH_DIPHONE_RULES_H_
