// Letter-to-sound: each word, after its exception respelling, becomes one
// line per phoneme symbol through context rules read from the rules file,
// the symbol of its stressed vowel marked with ">"; punctuation becomes
// pauses.
#ifndef TALONIX_TTS_LETTER_RULES_H_
#define TALONIX_TTS_LETTER_RULES_H_

#include <array>
#include <string>
#include <string_view>
#include <vector>

constexpr size_t kRuleContextLimit = 5;
constexpr size_t kRuleTargetLimit = 5;
constexpr size_t kRuleOutputLimit = 20;
// Characters of an output that take effect.
constexpr size_t kRuleOutputUsed = 11;
constexpr size_t kMaxExceptions = 15000;
constexpr size_t kExceptionLineLimit = 255;

struct LetterRule {
  std::string left, target, right, output;
};

// The loaded rules in one chain per first target character (file order),
// and the exceptions sorted by word. Owned by letter_rules.cc.
struct LetterRulesState {
  std::array<std::vector<LetterRule>, 256> chains;
  std::vector<std::pair<std::string, std::string>> exceptions;
};
LetterRulesState& letterRulesState();
void resetLetterRules();

// False when the file cannot be read (the tables are then empty).
bool loadRules(std::string_view fileName);
bool loadRulesFromBytes(std::string_view bytes);
bool loadExceptions(std::string_view fileName);
bool loadExceptionsFromBytes(std::string_view bytes);

// The respelling of an upper-case word, a final S or M set aside and put
// back when only the shorter word is known; the word itself otherwise.
std::string findException(std::string_view word);
// Position (from 1) of the stressed letter of a word; 0 for none.
int stressPosition(std::string_view word);
bool isUnstressedWord(std::string_view word);
// One line per phoneme (the stressed one prefixed ">"), then "" closing
// the word, appended to `out`. `word` is upper case.
void applyRules(std::string_view word, int stress, std::vector<std::string>* out);
// "_," for ",", and so on; empty for a character that makes no pause.
std::string_view pauseFor(char c);
// From "PPP|text" token lines to the phoneme lines of the timing stage.
std::vector<std::string> transcribeTokens(const std::vector<std::string>& tokens);
// A word's final r2 or s2 before a word that begins with an unstressed
// vowel (a e i o u w y, and our @ E O) becomes r or z.
void joinWords(std::vector<std::string>* lines);

#endif  // TALONIX_TTS_LETTER_RULES_H_
