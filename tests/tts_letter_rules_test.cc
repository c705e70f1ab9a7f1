// The letter-to-sound stage: the rule walk's contexts and stress mark, the
// exceptions, the stress finder, the final r and s before a vowel, and the
// quality of our Brazilian rules against espeak-ng's transcriptions.
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/shared/codepage.h"
#include "tests/test_files.h"
#include "tests/tts_reference.h"
#include "tts/letter_rules.h"
#include "tts/tts_text.h"

namespace {

std::vector<std::string> wordLines(const std::string& word, int stress) {
  std::vector<std::string> out;
  applyRules(word, stress, &out);
  return out;
}

using Lines = std::vector<std::string>;

TEST(TtsLetterRules, RulesWalkTheirContextsAndMarkTheStressedSymbol) {
  resetLetterRules();
  loadRulesFromBytes(
      "; a comment line\r\n"
      "(AI)=a&j|the diphthong, two lines\r\n"
      "%(A)=a\r\n"
      "(A)%=@\r\n"
      "(A)=a\r\n"
      "(C)+=s\r\n"
      "(C)=k\r\n"
      "(S)%=s2\r\n"
      "#(S)#=z\r\n"
      "(S)=s\r\n"
      "(R)%=r2\r\n"
      "%(R)=R\r\n"
      "#(R)#=r\r\n"
      "(R)=r\r\n"
      "|(R)=R\r\n"
      "(H)=\r\n"
      "(M)=m\r\n"
      "(O)\\%=u\r\n"
      "(O)=o\r\n"
      "(E)=e\r\n"
      "(I)=i\r\n"
      "(T)=t\r\n"
      "no target line=x\r\n");
  // "a&j" gives two lines, the first carrying the mark when stressed.
  EXPECT_EQ(wordLines("CAIS", 2), (Lines{"k", ">a", "j", "s2", ""}));
  EXPECT_EQ(wordLines("CAIS", 0), (Lines{"k", "a", "j", "s2", ""}));
  // Word edges, vowels around, front vowels, optional S.
  EXPECT_EQ(wordLines("ACASA", 3), (Lines{"a", "k", ">a", "z", "@", ""}));
  EXPECT_EQ(wordLines("CECI", 2), (Lines{"s", ">e", "s", "i", ""}));
  EXPECT_EQ(wordLines("RATOS", 2), (Lines{"R", ">a", "t", "u", "s2", ""}));
  EXPECT_EQ(wordLines("CARO", 2), (Lines{"k", ">a", "r", "u", ""}));
  EXPECT_EQ(wordLines("MAR", 2), (Lines{"m", ">a", "r2", ""}));
  // A silent letter at the stress passes the mark on to the next symbol.
  EXPECT_EQ(wordLines("HOTE", 1), (Lines{">o", "t", "e", ""}));
  // A letter no rule reads is silent; control characters have no chain.
  EXPECT_EQ(wordLines("A\x01X", 0), (Lines{"a", ""}));
}

TEST(TtsLetterRules, ExceptionsStressAndLinking) {
  resetLetterRules();
  std::string exceptions = "TAXI=T\xC1" "CSI|loan word\nboi=bOi\nNOEQUALS\n\n";
  for (int i = 0; i < 15100; ++i) exceptions += "W" + std::to_string(100000 + i) + "=X\n";
  loadExceptionsFromBytes(exceptions);
  const LetterRulesState& s = letterRulesState();
  EXPECT_EQ(s.exceptions.size(), 15000u);  // later lines ignored
  EXPECT_EQ(findException("TAXI"), "T\xC1" "CSI");
  EXPECT_EQ(findException("TAXIS"), "T\xC1" "CSIS");  // plural through the singular
  EXPECT_EQ(findException("BOIS"), "BOIS");           // respelling is upper-cased
  EXPECT_EQ(findException("BOI"), "BOI");
  EXPECT_EQ(findException("NOEQUALS"), "NOEQUALS");
  EXPECT_EQ(findException("MMS"), "MMS");

  struct Case { const char* word; int stress; };
  for (const Case& c : {Case{"casa", 2}, Case{"casas", 2}, Case{"amor", 3},
                        Case{"falam", 2}, Case{"jardim", 5}, Case{"rua", 2},
                        Case{"pegue", 2}, Case{"coisa", 2}, Case{"aqui", 4},
                        Case{"caf\xE9", 4}, Case{"PSST", 0}, Case{"l\xE2mpada", 2},
                        Case{"homens", 2}, Case{"jovens", 2}, Case{"jardins", 5},
                        Case{"praia", 3}, Case{"meio", 2}, Case{"dia", 2},
                        Case{"baleai", 5}, Case{"folheei", 6}, Case{"incluindo", 6},
                        Case{"cuida", 2}, Case{"Uruguai", 6}}) {
    EXPECT_EQ(stressPosition(c.word), c.stress) << c.word;
  }
  for (const char* w : {"O", "DE", "POR", "DAS", "DOS", "COM", "N\xC3O", "SIM"})
    EXPECT_TRUE(isUnstressedWord(w)) << w;
  EXPECT_FALSE(isUnstressedWord("MAR"));

  Lines lines{";555|x",   "__", "",    ";555|mar", "m",   ">a",  "r2", "",
              ";555|azul", "a",  "z",   ">u",       "s2",  "",    ";555|ama",
              ">a",        "m",  "@",   "r2",       "",    ";555|tom", "t",
              ">on",       "s2", "",    ";555|ele", "\xA8" "e", "l", "I", "s2", "",
              ";555|amigos", "@", "m", ">i", "g", "U", "s2", "", "__"};
  joinWords(&lines);
  EXPECT_EQ(lines[6], "r");    // before an unstressed vowel
  EXPECT_EQ(lines[12], "s2");  // before a stressed one
  EXPECT_EQ(lines[18], "r2");  // before a consonant
  EXPECT_EQ(lines[23], "z");   // the mark that ends lengthening is looked past
  EXPECT_EQ(lines[29], "z");   // the reduced a of our symbols is a vowel too
}

// Our rules against espeak-ng on words it did not tune on. The report of
// every disagreement goes to $TALONIX_TTS_REPORT when that is set; another
// reference can be named by $TALONIX_TTS_REFERENCE.
TEST(TtsLetterRules, BrazilianRulesAgreeWithEspeak) {
  const std::string data = std::string(TALONIX_SOURCE_DIR) + "/data/tts/";
  resetLetterRules();
  const std::string rules = testfiles::readAll(data + "portug.nrl");
  ASSERT_FALSE(rules.empty());
  loadRulesFromBytes(rules);
  loadExceptionsFromBytes(testfiles::readAll(data + "portug.exc"));
  const char* override = std::getenv("TALONIX_TTS_REFERENCE");
  const auto reference = testfiles::readLines(
      override ? override : std::string(TALONIX_SOURCE_DIR) + "/tests/data/tts_reference.tsv");
  ASSERT_GE(reference.size(), override ? 1u : 2000u);
  const char* reportPath = std::getenv("TALONIX_TTS_REPORT");
  std::ofstream report;
  if (reportPath != nullptr) report.open(reportPath);
  int words = 0, same = 0, stressSame = 0, marksOffVowels = 0;
  for (const std::string& entry : reference) {
    const size_t tab = entry.find('\t');
    if (tab == std::string::npos) continue;
    const std::string word = plat::utf8ToCp1252(entry.substr(0, tab));
    const ttsref::Transcription theirs = ttsref::fromEspeak(entry.substr(tab + 1));
    const std::string spelled = findException(tts::upperText(word));
    const int stress = isUnstressedWord(spelled) ? 0 : stressPosition(spelled);
    const ttsref::Transcription ours = ttsref::fromEngine(wordLines(spelled, stress));
    ++words;
    const bool phonemesSame = ours.phonemes == theirs.phonemes;
    const bool stressOk = ours.stressedVowel == theirs.stressedVowel && !ours.markOffVowel;
    marksOffVowels += ours.markOffVowel;
    same += phonemesSame && stressOk;
    stressSame += stressOk;
    if (report.is_open() && !(phonemesSame && stressOk)) {
      report << entry.substr(0, tab) << "\t" << (ours.markOffVowel ? "MARK " : "")
             << (stressOk ? "" : "STRESS ")
             << ttsref::joined(ours.phonemes) << " /" << ours.stressedVowel << "\t"
             << ttsref::joined(theirs.phonemes) << " /" << theirs.stressedVowel << "\n";
    }
  }
  const double wordShare = 100.0 * same / words;
  const double stressShare = 100.0 * stressSame / words;
  std::printf("letter-to-sound against espeak-ng: %d words, %.1f %% agree, stress %.1f %%, "
              "%d marks off a vowel\n", words, wordShare, stressShare, marksOffVowels);
  EXPECT_GE(wordShare, 90.0);
  EXPECT_GE(stressShare, 97.0);
  // The pitch and lengthening of the stress belong on a vowel.
  EXPECT_EQ(marksOffVowels, 0);
}

}  // namespace
