// The engine's prosody: tokens and their patterns, each phoneme's duration
// and pitch target with the bridging of missing diphones, the two loaders
// and their faults, and the shipped data files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "tests/test_files.h"
#include "tts/prosody.h"
#include "tts/tts_text.h"

namespace {

using Lines = std::vector<std::string>;

std::vector<std::string>& shown() {
  static std::vector<std::string> messages;
  return messages;
}
void capture(std::string_view text) { shown().emplace_back(text); }

// A prosody file; its sections in another order than usual, its rules
// partly in small letters.
const char kPro[] =
    "* small voice\r\n"
    "[PROS\xD3" "DIA]\r\n"
    "hertz=230\r\n"
    "TABHERTZ=0,70,80,90,90,100,120,130,140,150\r\n"
    "|ar|=111\r\n"
    "||..=?31\r\n"
    "--|XX|=7\r\n"
    "|XX|=464\r\n"
    "[CHAVES]\r\n"
    "o=ar\r\n"
    "De = pr \r\n"
    "quem=QUX\r\n"
    "[DURA\xC7\xC3O]\r\n"
    "; milliseconds\r\n"
    "a=60\r\n"
    "k=80\r\n"
    "@=70\r\n"
    "__=150\r\n"
    "_.=350\r\n";

// Every ordered pair of the symbols the timing cases use.
std::string allPairs() {
  const char* symbols[] = {"_", "a", "k", "t", "z", "@", "r2"};
  std::string dfn;
  for (const char* a : symbols)
    for (const char* b : symbols) dfn += std::string(a) + "-" + b + "\n";
  return dfn;
}

class TtsProsody : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::headless::HeadlessConfig config;
    config.configDir = config.workDir = std::filesystem::temp_directory_path();
    platform_ = std::make_unique<plat::headless::HeadlessPlatform>(config);
    platform_->install();
    shown().clear();
    tts::setMessageHandler(&capture);
    resetProsody();
  }
  void TearDown() override {
    tts::setMessageHandler(nullptr);
    resetProsody();
    plat::headless::uninstall();
  }

  std::unique_ptr<plat::headless::HeadlessPlatform> platform_;
};

TEST_F(TtsProsody, TokensGetTheirClassAndPatternFromTheirNeighbours) {
  ASSERT_TRUE(loadProsodyFromBytes(kPro));
  struct Case {
    const char* text;
    Lines tokens, patterns;
  };
  const Case cases[] = {
      {"casa.",
       {"[--]", "[XX]casa", "[..].", "[--]"},
       {"555|", "531|casa", "555|.", "555|"}},
      // Blanks and control characters are skipped, key words are found in
      // any case, a run of full stops is one token, a short pattern is
      // filled with no-pitch characters.
      {"O \t gato de\x01quem... Sim!",
       {"[--]", "[AR]O", "[XX]gato", "[PR]de", "[QU]quem", "[.-].", "[--]", "[XX]Sim",
        "[!!]!", "[--]"},
       {"555|", "111|O", "464|gato", "555|de", "555|quem", "555|.", "555|", "7--|Sim",
        "555|!", "555|"}},
      // "?" goes on from the last digit of the token before.
      {"o casa.", {"[--]", "[AR]o", "[XX]casa", "[..].", "[--]"},
       {"555|", "111|o", "131|casa", "555|.", "555|"}},
      // Digits and signs are tokens of their own; accented letters are
      // letters; "?" ends a sentence.
      {"1,b\xE7\xE3o?x",
       {"[--]", "[11]1", "[,,],", "[XX]b\xE7\xE3o", "[??]?", "[--]", "[XX]x"},
       {"555|", "555|1", "555|,", "464|b\xE7\xE3o", "555|?", "555|", "7--|x"}},
      {"", {"[--]"}, {"555|"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(tokenise(c.text), c.tokens);
    EXPECT_EQ(chooseIntonation(c.tokens), c.patterns);
  }
  // Empty lines are passed over by the window; lines too short for a class
  // or a text still give a pattern line.
  EXPECT_EQ(chooseIntonation({"[--]", "", "[XX]casa", "", "[", "[X"}),
            (Lines{"555|", "7--|casa", "555|", "555|"}));
}

TEST_F(TtsProsody, PhonemesGetDurationsPitchAndBridges) {
  ASSERT_TRUE(loadProsodyFromBytes(kPro));
  struct Case {
    const char* name;
    Lines in;
    Lines out;
    double pitchFactor = 1, durationFactor = 1;
    std::string diphones = allPairs();
  };
  const Case cases[] = {
      {"one word and a full stop: a bare comment, then a pause",
       {";555|", "__", "", ";531|casa", "k", ">a", "z", "@", "", ";555|.", "_.", ";555|", "__",
        "", "__"},
       {";", "_ 150 50 230", "", ";casa", "k 80 50 230", "a 87 80 207", "z 145",
        "@ 101 50 161", "", ";.", "_ 350 50 230", ";", "_ 150 50 230", "", "_ 150"}},
      {"a pause keeps its milliseconds, a bare one lasts 100",
       {";555|", "_ 120", "_", "_ x", "_ 99999"},
       {";", "_ 120 50 230", "_ 100", "_ 100", "_ 99999"}},
      {"the speed and pitch factors",
       {";555|ka", "k", ">a", ""},
       {";ka", "k 40 50 460", "a 43 80 460", ""},
       2, 0.5},
      {"13 letters: shorter before the stress, 145 % from it on",
       {";555|abcdefghijklm", "k", "a", ">a", "k", "t", ""},
       {";abcdefghijklm", "k 64 50 230", "a 48", "a 87 80 230", "k 116", "t 145 50 230", ""}},
      {"9 letters: 90 % before the stress; 8 letters: no change",
       {";555|abcdefghi", "k", ">a", "", ";555|abcdefgh", "k", ""},
       {";abcdefghi", "k 72 50 230", "a 87 80 230", "", ";abcdefgh", "k 80 50 230", ""}},
      {"a stressed first phoneme has no first target; code 168 ends the lengthening",
       {";555|x", ">\xA8" "a", "k", "\xA8k", "a", ""},
       {";x", "a 87 80 230", "k 116", "k 80", "a 60 50 230", ""}},
      {"a pattern character that is no digit, or a level of 0, sets no pitch",
       {";0x-|ab", "k", ">a", "k", "", ";", "k", ";5", "a"},
       {";ab", "k 80", "a 87", "k 116", "", ";", "k 80", ";", "a 60 50 230"}},
      {"a stress mark alone stresses the next phoneme",
       {";555|x", ">", "a", ""},
       {";x", "a 87 80 230", ""}},
      {"r2 before a missing diphone is bridged by silence",
       {";555|", "r2", "", ";555|ka", "k", "a"},
       {";", "r2 100 50 230", "", ";ka", "_ 50", "k 80 50 230", "a 60"},
       1, 1, "r2-_\n_-r2\n_-_\nk-a\n"},
      {"the glide y bridges where the list has it, letter case ignored",
       {"a", "k", "r2", "t", "a"},
       {"a 60 50 230", "y 50", "k 80", "r2 100", "y 50", "t 100", "_ 50", "a 60"},
       1, 1, "_-A\nA-Y\nk-r2\nR2-y\n"},
      {"huge figures stay inside the integers",
       {"_ 999999999"}, {"_ 20000000 50 20000000"}, 1e9, 1e6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    loadDiphonesFromBytes(c.diphones);
    EXPECT_EQ(timePhonemes(c.in, c.pitchFactor, c.durationFactor), c.out);
  }
  EXPECT_TRUE(shown().empty());
}

TEST_F(TtsProsody, LoaderFaultsShowTheirMessage) {
  const std::string bad = "Configura\xE7\xE3o da pros\xF3" "dia: ";
  const std::string pitch = "Pros\xF3" "dia: tom errado: ";
  const std::string levels = "TABHERTZ=0,70,80,90,90,100,120,130,140,150";
  auto file = [&](std::string durations, std::string keys, std::string rules) {
    return "[DURA\xC7\xC3O]\n" + durations + "\n[CHAVES]\n" + keys +
           "\n[PROS\xD3" "DIA]\n" + rules + "\n";
  };
  struct Case {
    const char* name;
    std::string bytes;
    bool loads;
    Lines messages;
    int durationOfA = -1;  // checked when not negative
  };
  const Case cases[] = {
      {"titles trimmed, comments, blank lines, a '[' line ends a section",
       "  [CHAVES]\t\r\n*c\r\n;c\r\n\r\n   \r\no=ar\r\n[DURA\xC7\xC3O]\r\na=60\r\n[X]\r\nb=\r\n"
       "[PROS\xD3" "DIA]\r\n" + levels,
       true, {}},
      {"no duration section", "[CHAVES]\n[PROS\xD3" "DIA]\n", false,
       {"Dura\xE7\xE3o dos difones errada ou ausente"}},
      {"a duration without '='", file("a=60\nabc", "", ""), false,
       {bad + "fonema errado: abc"}},
      {"a duration that is no number lasts 100, and loading goes on",
       file("a=6o\nk=-5\n@=70", "", ""), true,
       {bad + "fonema errado: a=6o", bad + "fonema errado: k=-5"}, 100},
      {"no key words", "[DURA\xC7\xC3O]\n[PROS\xD3" "DIA]\n", false,
       {"Pros\xF3" "dia: palavras chaves ausentes"}},
      {"a key word without '='", file("", "o=ar\nxyz", ""), false,
       {bad + "chave errada: xyz"}},
      {"no intonation", "[DURA\xC7\xC3O]\n[CHAVES]\n", false,
       {"Pros\xF3" "dia: especifica\xE7\xF5" "es ausentes"}},
      {"a rule without '=' is shown as written", file("", "", "|xx|"), false,
       {bad + "chave errada: |xx|"}},
      {"a base pitch that is no number", file("", "", "HERTZ=2x0"), false,
       {pitch + "HERTZ=2x0"}},
      {"nine levels", file("", "", "TABHERTZ=1,2,3,4,5,6,7,8,9"), false,
       {pitch + "TABHERTZ=1,2,3,4,5,6,7,8,9"}},
      {"eleven levels", file("", "", "tabhertz=1,2,3,4,5,6,7,8,9,10,11"), false,
       {pitch + "tabhertz=1,2,3,4,5,6,7,8,9,10,11"}},
      {"a negative level", file("", "", "TABHERTZ=1,2,3,4,5,6,7,8,9,-1"), false,
       {pitch + "TABHERTZ=1,2,3,4,5,6,7,8,9,-1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    shown().clear();
    EXPECT_EQ(loadProsodyFromBytes(c.bytes), c.loads);
    EXPECT_EQ(shown(), c.messages);
    if (c.durationOfA >= 0) {
      EXPECT_EQ(phonemeDuration("a"), c.durationOfA);
    }
  }

  shown().clear();
  EXPECT_FALSE(loadProsody("no such dir/portug.pro"));
  EXPECT_EQ(shown(), Lines{"Configura\xE7\xE3o da pros\xF3" "dia n\xE3o foi achada"});

  // What a good file leaves in the tables: symbols and classes cut to two
  // characters, key words sorted in byte order, rules split at their bars.
  ASSERT_TRUE(loadProsodyFromBytes(
      file("kaa = 70 ", "\xC9=ax\nzebra=xx\nabc=PRONOME\n", "a|b=1234\nHERTZ= 200 \n" + levels)));
  const ProsodyState& s = prosodyState();
  EXPECT_EQ(s.durations, (std::vector<std::pair<std::string, int>>{{"ka", 70}}));
  EXPECT_EQ(s.keyWords, (std::vector<std::pair<std::string, std::string>>{
                            {"ABC", "PR"}, {"ZEBRA", "XX"}, {"\xC9", "AX"}}));
  ASSERT_EQ(s.intonation.size(), 1u);
  const IntonationRule& r = s.intonation[0];
  EXPECT_EQ(r.previous + "|" + r.current + "|" + r.next + "=" + r.pattern, "A|B|=123");
  EXPECT_EQ(s.hertz + s.tabHertz[9], 200 + 150);
}

TEST_F(TtsProsody, TablesStopAtTheirLimitsAndDiphonesAreFoundInAnyCase) {
  std::string durations, keys, rules;
  for (int i = 0; i < 150; ++i) durations += "d" + std::to_string(i) + "=1\n";
  for (int i = 1200; i > 0; --i) keys += "W" + std::to_string(i) + "=AR\n";
  for (int i = 0; i < 400; ++i) rules += "|X|=" + std::to_string(100 + i) + "\n";
  // Past the limits the lines are not read, so a fault there is no fault.
  ASSERT_TRUE(loadProsodyFromBytes("[DURA\xC7\xC3O]\n" + durations + "junk\n[CHAVES]\n" + keys +
                                   "junk\n[PROS\xD3" "DIA]\n" + rules + "HERTZ=100\n"));
  const ProsodyState& s = prosodyState();
  EXPECT_EQ(s.durations.size() + s.keyWords.size() + s.intonation.size(),
            kMaxDurations + kMaxKeyWords + kMaxIntonationRules);
  EXPECT_TRUE(std::is_sorted(s.keyWords.begin(), s.keyWords.end()));
  EXPECT_EQ(s.intonation.back().pattern + std::to_string(s.hertz), "399100");
  EXPECT_TRUE(shown().empty());

  ASSERT_TRUE(loadDiphonesFromBytes(
      "; comment\n! x\n* y\n\n  a-b  \r\nr2 - _ \nA\n\xE3-a\nt-S extra\nfoo bar baz\n"));
  EXPECT_EQ(s.diphones, (Lines{"a-b", "foo-bar", "r2-_", "t-S", "\xE3-a"}));
  const std::tuple<const char*, const char*, bool> lookups[] = {
      {"A", "B", true},   {"t", "s", true},     {"R2", "_", true},  {"\xC3", "A", true},
      {"foo", "bar", true}, {"b", "a", false}, {"a", "", false}, {"x", "y", false}};
  for (const auto& [a, b, found] : lookups) EXPECT_EQ(hasDiphone(a, b), found) << a << "-" << b;
  EXPECT_FALSE(loadDiphones("no such dir/portug.dfn"));
  EXPECT_TRUE(s.diphones.empty());
}

// The phoneme symbols of the engine's documentation: the first column of
// the table under its heading.
std::vector<std::string> documentedSymbols() {
  std::vector<std::string> symbols;
  bool inTable = false;
  for (const std::string& line :
       testfiles::readLines(std::filesystem::path(TALONIX_SOURCE_DIR) / "docs/tts.md")) {
    if (line.rfind("## ", 0) == 0) inTable = line.rfind("## Phoneme symbols", 0) == 0;
    if (!inTable || line.rfind("| `", 0) != 0) continue;
    const std::string cell = line.substr(1, line.find('|', 1) - 1);
    for (size_t at = cell.find('`'); at != std::string::npos; at = cell.find('`', at)) {
      const size_t end = cell.find('`', at + 1);
      symbols.push_back(cell.substr(at + 1, end - at - 1));
      at = end + 1;
    }
  }
  return symbols;
}

TEST_F(TtsProsody, ShippedDataCoverTheSymbolsAndShapeSentences) {
  const std::string dir = std::string(TALONIX_SOURCE_DIR) + "/data/tts/";
  ASSERT_TRUE(loadProsody(dir + "portug.pro"));
  ASSERT_TRUE(loadDiphones(dir + "portug.dfn"));
  EXPECT_TRUE(shown().empty());

  const std::vector<std::string> symbols = documentedSymbols();
  ASSERT_EQ(symbols.size(), 41u);
  const ProsodyState& s = prosodyState();
  const auto listed = [&](const std::string& symbol) {
    return std::any_of(s.durations.begin(), s.durations.end(),
                       [&](const auto& d) { return d.first == symbol; });
  };
  const std::set<std::string> merged = {"t-s", "t-S", "d-Z", "d-z", "r-r", "R-R", "r-R", "R-r"};
  for (const std::string& a : symbols) {
    EXPECT_TRUE(listed(a)) << a;
    for (const std::string& b : symbols) {
      const std::string pair = a + "-" + b;
      const bool wanted = !merged.count(pair);
      EXPECT_EQ(std::count(s.diphones.begin(), s.diphones.end(), pair), wanted ? 1 : 0) << pair;
      EXPECT_TRUE(!wanted || hasDiphone(a, b)) << pair;
    }
  }
  for (const char* pause : {"_,", "_.", "_?", "_!", "_:", "_;", "__", "_(", "_)"})
    EXPECT_TRUE(listed(pause)) << pause;

  // A pattern's digits: start, stress, end of the word.
  const auto patternOf = [](const char* text, const std::string& word) {
    for (const std::string& line : chooseIntonation(tokenise(text)))
      if (line.substr(4) == word) return line.substr(0, 3);
    return std::string("none");
  };
  EXPECT_GE(patternOf("Onde fica o banco?", "Onde")[0], '8');     // asked high
  const std::string question = patternOf("Onde fica o banco?", "banco");
  EXPECT_GT(question[2], question[1]);                              // rises
  const std::string statement = patternOf("A conta fechou.", "fechou");
  EXPECT_LT(statement[2], statement[1]);                            // falls
  const std::string pause = patternOf("Sim, agora.", "Sim");
  EXPECT_GT(pause[2], pause[1]);                                    // goes on
  EXPECT_EQ(patternOf("A conta fechou.", "A"), "444");              // flat
}

}  // namespace
