// Letter-to-sound for the diphone voice: a small rules file written here,
// read through every context symbol, and the whole transcription of texts
// with exceptions, stress and spelling; then rules, exceptions and texts
// that are wrong or hostile.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "console_fixture.h"
#include "synth/diphone_rules.h"
#include "tests/test_files.h"

namespace {

// Each context rule's output names its symbols, so a group shows which
// rule read the letter. The T rule at the end is apart from the other T
// rule; CR LF and LF line ends are mixed.
const char kRules[] =
    "%(R)=R%|word start\r\n"
    "|(R)=Rbar|after n r s\r\n"
    "(R)=r\n"
    "(T)I=TI\n"
    "(A~O)=a~w\r\n"
    "(A')=A'\n"
    "(A)%=a^\n"
    "(A)=a\n"
    "(E')=E'\n"
    "(E)&%=e&%\n"
    "(E)=e\n"
    "](I)=I]\n"
    "_(U)=U_\n"
    "(I)=i\n"
    "(O)\\%=o\\%\n"
    "(O)=o\n"
    "(U)=u\n"
    "(B)#%=B#%\n"
    "(B)=b\n"
    "#(S)#=S##\n"
    "(S)=s\n"
    "(G)+%=G+%\n"
    "(G)=g\n"
    "(L)*=L*\n"
    "(L)=l\n"
    "(M)[=M[\n"
    "(M)=m\n"
    "(D)=d\n"
    "(T)=t\n";

// A literal's bytes, NULs included.
template <size_t N>
std::string bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

class DiphoneRulesTest : public ConsoleFixture {
 protected:
  std::filesystem::path work() const { return root_ / "work"; }
};

TEST_F(DiphoneRulesTest, ContextsStressExceptionsAndSpelling) {
  testfiles::writeFile(work() / "regras.rgr", kRules);
  testfiles::writeFile(work() / "portug.exc",
                       "zz=never\r\nate=ate'|ate with its accent\r\n\r\nno equals sign\n");
  ASSERT_TRUE(loadDiphoneRules("regras.rgr"));
  ASSERT_TRUE(loadDiphoneExceptions("portug.exc"));
  EXPECT_EQ(diphoneRulesState().exceptions.size(), 2u);

  const std::vector<std::pair<std::string, std::string>> read = {
      {"rr", "[R%/Rbar]"},           // % and | on the left
      {"ara", "[a/r/a^]"},           // % on the right
      {"ti", "[TI/i]"},              // a literal context
      {"ta", "[t/a^]"},              // a rule apart from its letter's others
      {"pa~o", "[ /_P/a~w]"},        // a long target; no rule: spelled
      {"tem", "[t/e&%/M[]"},         // & consumed before %; [ at the end
      {"tema", "[t/e/m/a^]"},
      {"pai", "[ /_P/a/I]]"},        // ] after a back vowel
      {"pa'i", "[ /_P/A'/I]]"},      // ] after an accented one
      {"pei", "[ /_P/e/i]"},
      {"u", "[U_]"},                 // _ at the word start
      {"e'u", "[E'/U_]"},            // _ after an accented vowel
      {"tu", "[t/u]"},
      {"dos", "[d/o\\%/s]"},         // \ takes an s, then %
      {"doa", "[d/o/a^]"},
      {"bae", "[B#%/a/e]"},          // # takes the whole run of vowels
      {"bab", "[b/a/b]"},
      {"b", "[b]"},                  // # needs a vowel
      {"asa", "[a/S##/a^]"},
      {"ge'", "[G+%/E']"},           // + takes the accent with its vowel
      {"gea", "[g/e/a^]"},
      {"alta", "[a/L*/t/a^]"},       // * leaves the consonant
      {"alra", "[a/l/r/a^]"},
      {"amt", "[a/M[/t]"},
      {"amh", "[a/m/ /_H]"},
      {"tAta", "[t/A/t/a^]"},        // the stress goes to the output
  };
  for (const auto& [word, groups] : read)
    EXPECT_EQ(applyDiphoneRules(word), groups) << word;

  // The whole road: d' joins the words, w beside letters is u, a word of
  // consonants is spelled, an accent keeps its own stress, the first
  // vowel may be the stressed one, ç is ss, a sign without a plain form
  // is the spelled marker.
  EXPECT_EQ(prepareText("d'\xE1gua WWW W Yara \xE7\xA9\t"),
            "da'gua uuu W iara ss \x01  \x01 ");
  EXPECT_EQ(transcribeForDiphones("d'\xE1gua"), "[d/A'/g/u/a^]");
  EXPECT_EQ(transcribeForDiphones("WWW"), "[U_/U_/U_]");
  EXPECT_EQ(transcribeForDiphones("rst W"),
            "[ /_r][ /_s][ /_t][ /_w]");
  EXPECT_EQ(transcribeForDiphones("est\xE1"), "[e/s/t/A']");
  EXPECT_EQ(transcribeForDiphones("ela uma isso"),
            "[E/l/a^][U_/m/a^][I/s/s/o\\%]");
  EXPECT_EQ(transcribeForDiphones("Rato mal"),
            "[R%/A/t/o\\%][m/A/l]");
  EXPECT_EQ(transcribeForDiphones("\xA9"), "[ /_\x01]");
  EXPECT_EQ(transcribeForDiphones("5!"), "[ /_5][ /_!]");

  // Exceptions: the accent of the replacement shows the stress (no second
  // one is added); a final s or m is set aside and put back.
  EXPECT_EQ(transcribeForDiphones("ate ates atesm atex"),
            "[a/t/E'][a/t/E'/s][a/t/E'/s/M[][a/t/E/ /_X]");
  EXPECT_EQ(transcribeForDiphones("sms"), "[ /_s][ /_m][ /_s]");

  // Loading the rules drops the exceptions; missing files fail and leave
  // nothing behind.
  ASSERT_TRUE(loadDiphoneRules("regras.rgr"));
  EXPECT_TRUE(diphoneRulesState().exceptions.empty());
  EXPECT_FALSE(loadDiphoneExceptions("missing.exc"));
  EXPECT_FALSE(loadDiphoneRules("missing.rgr"));
  EXPECT_EQ(applyDiphoneRules("ta"), "[ /_T/ /_A]");
}

TEST_F(DiphoneRulesTest, BadRulesExceptionsAndTexts) {
  std::string rules =
      "ABCDEFG(HIJKLMN)OPQRSTU=0123456789abcdef|long fields\r\n"
      "(A)a without equals\n"
      "A=no brackets\n"
      "(a)=lower-case target\n"
      "()=empty target\n"
      "(\xE9)=high target\n";
  rules += bytes("\x00(\x00" "A)\xFF" "=nul\n");
  rules += bytes("(A)\x00\xFF" "=a\n(A)=a\n");
  loadDiphoneRulesFromBytes(rules);
  const DiphoneRulesState& s = diphoneRulesState();
  ASSERT_EQ(s.rules.size(), 3u);
  EXPECT_EQ(s.rules[0].left, "ABCDE");
  EXPECT_EQ(s.rules[0].target, "HIJKL");
  EXPECT_EQ(s.rules[0].right, "OPQRS");
  EXPECT_EQ(s.rules[0].output, "0123456789a");
  EXPECT_EQ(s.rules[1].right, std::string("\x00\xFF", 2));
  EXPECT_EQ(s.chainHead['A' - kFirstRuleCode], 1);
  EXPECT_EQ(s.rules[1].next, 2);

  // Every byte, alone and in one run; a long text; one 100 000-letter word
  // is read in 255-letter words, losing none.
  std::string every;
  for (int c = 0; c < 256; ++c) {
    every += static_cast<char>(c);
    if (c == ' ') continue;  // a blank alone holds no word
    EXPECT_FALSE(transcribeForDiphones(std::string(1, static_cast<char>(c))).empty()) << c;
  }
  EXPECT_FALSE(transcribeForDiphones(every).empty());
  std::string text;
  while (text.size() < 100000) text += every + " casa d'agua www  ";
  EXPECT_FALSE(transcribeForDiphones(text).empty());
  const std::string letters = transcribeForDiphones(std::string(100000, 'a'));
  EXPECT_EQ(std::count(letters.begin(), letters.end(), '['), 393);
  EXPECT_EQ(std::count(letters.begin(), letters.end(), 'a') +
                std::count(letters.begin(), letters.end(), 'A'),
            100000);

  // 20 000 exceptions in falling order: the first 15 000 are kept, sorted.
  std::string exceptions;
  for (int i = 19999; i >= 0; --i)
    exceptions += "w" + std::to_string(100000 + i) + "=r" + std::to_string(i) + "\r\n";
  loadDiphoneExceptionsFromBytes(exceptions);
  ASSERT_EQ(s.exceptions.size(), kExceptionsMax);
  EXPECT_TRUE(std::is_sorted(s.exceptions.begin(), s.exceptions.end(),
                             [](const auto& a, const auto& b) { return a.word < b.word; }));
  DiphoneWord kept{"w119999", 0, false};
  replaceFromExceptions(&kept);
  EXPECT_EQ(kept.text, "r19999");
  DiphoneWord dropped{"w100000", 0, false};
  replaceFromExceptions(&dropped);
  EXPECT_EQ(dropped.text, "w100000");

  // A line past 255 characters keeps its first 255; binary replacements
  // go through the rules like any other word.
  loadDiphoneExceptionsFromBytes(std::string(200, 'x') + "=" + std::string(100, 'y') +
                                 bytes("\nb=\x00\x01\xFF[\n"));
  ASSERT_EQ(s.exceptions.size(), 2u);
  EXPECT_EQ(s.exceptions[1].replacement, std::string(54, 'y'));
  EXPECT_EQ(transcribeForDiphones("b bs"),
            bytes("[ /_\x00/ /_\x01/ /_\xFF/ /_[][ /_\x00/ /_\x01/ /_\xFF/ /_[/ /_S]"));
}

}  // namespace
