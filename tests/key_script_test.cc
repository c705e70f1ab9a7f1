#include "platform/headless/key_script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using plat::headless::KeyGroup;
using plat::Event;
using plat::EventKind;

// A compact picture of events: "D41 C97 U41" (down, char, up; S = system
// key down), modifiers as suffixes: s shift, c ctrl, a alt.
std::string describe(const std::vector<Event>& events) {
  std::string out;
  for (const Event& e : events) {
    if (!out.empty()) out += ' ';
    char kind = '?';
    switch (e.kind) {
      case EventKind::kKeyDown: kind = 'D'; break;
      case EventKind::kSysKeyDown: kind = 'S'; break;
      case EventKind::kKeyUp: kind = 'U'; break;
      case EventKind::kChar: kind = 'C'; break;
      default: break;
    }
    out += kind;
    char buf[8];
    std::snprintf(buf, sizeof buf, kind == 'C' ? "%u" : "%02X", e.code);
    out += buf;
    if (e.shift) out += 's';
    if (e.ctrl) out += 'c';
    if (e.alt) out += 'a';
  }
  return out;
}

std::string key(const char* name) {
  std::vector<Event> events;
  if (!plat::headless::keyEvents(name, &events)) return "unknown";
  return describe(events);
}

std::vector<KeyGroup> parse(const std::string& script) {
  std::vector<KeyGroup> groups;
  std::string error;
  EXPECT_TRUE(plat::headless::parseKeyScript(script, &groups, &error)) << error;
  return groups;
}

std::string parseError(const std::string& script) {
  std::vector<KeyGroup> groups;
  std::string error;
  EXPECT_FALSE(plat::headless::parseKeyScript(script, &groups, &error));
  return error;
}

TEST(KeyScriptKeys, PlainKeysGiveTheirCharacters) {
  EXPECT_EQ(key("Enter"), "D0D C13 U0D");
  EXPECT_EQ(key("Esc"), "D1B C27 U1B");
  EXPECT_EQ(key("Tab"), "D09 C9 U09");
  EXPECT_EQ(key("Shift+Tab"), "D09s C9s U09s");
  EXPECT_EQ(key("Backspace"), "D08 C8 U08");
  EXPECT_EQ(key("Space"), "D20 C32 U20");
  EXPECT_EQ(key("c"), "D43 C99 U43");
  EXPECT_EQ(key("C"), "D43 C99 U43");  // the bare key, not Shift
  EXPECT_EQ(key("Shift+c"), "D43s C67s U43s");
  EXPECT_EQ(key("7"), "D37 C55 U37");
  EXPECT_EQ(key("Shift+1"), "D31s C33s U31s");
  EXPECT_EQ(key("Ctrl+Tab"), "D09c U09c");
  EXPECT_EQ(key("Ctrl+Space"), "D20c C32c U20c");
}

TEST(KeyScriptKeys, KeysWithoutCharacters) {
  EXPECT_EQ(key("F1"), "D70 U70");
  EXPECT_EQ(key("F12"), "D7B U7B");
  EXPECT_EQ(key("f10"), "D79 U79");
  EXPECT_EQ(key("Up"), "D26 U26");
  EXPECT_EQ(key("Down"), "D28 U28");
  EXPECT_EQ(key("Left"), "D25 U25");
  EXPECT_EQ(key("Right"), "D27 U27");
  EXPECT_EQ(key("Home"), "D24 U24");
  EXPECT_EQ(key("End"), "D23 U23");
  EXPECT_EQ(key("PgUp"), "D21 U21");
  EXPECT_EQ(key("PgDn"), "D22 U22");
  EXPECT_EQ(key("Ins"), "D2D U2D");
  EXPECT_EQ(key("Shift+Ins"), "D2Ds U2Ds");
  EXPECT_EQ(key("Del"), "D2E U2E");
}

TEST(KeyScriptKeys, CtrlCombinations) {
  EXPECT_EQ(key("Ctrl+C"), "D43c C3c U43c");
  EXPECT_EQ(key("Ctrl+A"), "D41c C1c U41c");
  EXPECT_EQ(key("Ctrl+Z"), "D5Ac C26c U5Ac");
  EXPECT_EQ(key("Ctrl+Enter"), "D0Dc C10c U0Dc");
  EXPECT_EQ(key("Ctrl+Backspace"), "D08c C127c U08c");
  EXPECT_EQ(key("Ctrl+F5"), "D74c U74c");
  EXPECT_EQ(key("Ctrl+Ins"), "D2Dc U2Dc");
  EXPECT_EQ(key("Ctrl+Break"), "D03c U03c");
  EXPECT_EQ(key("ctrl+shift+b"), "D42sc C2sc U42sc");
}

TEST(KeyScriptKeys, AltCombinations) {
  // Alt alone: a system key, no character, no key up the program sees.
  EXPECT_EQ(key("Alt+F4"), "S73a");
  EXPECT_EQ(key("Alt+A"), "S41a");
  EXPECT_EQ(key("Alt+Left"), "S25a");
  // Ctrl+Alt: an ordinary key down, still no character.
  EXPECT_EQ(key("Ctrl+Alt+A"), "D41ca U41ca");
  EXPECT_EQ(key("Ctrl+Alt+0"), "D30ca U30ca");
  EXPECT_EQ(key("Ctrl+Alt+F11"), "D7Aca U7Aca");
}

TEST(KeyScriptKeys, UnknownNames) {
  EXPECT_EQ(key("F0"), "unknown");
  EXPECT_EQ(key("F13"), "unknown");
  EXPECT_EQ(key("F01"), "unknown");
  EXPECT_EQ(key("Hyper+A"), "unknown");
  EXPECT_EQ(key("Ctrl+"), "unknown");
  EXPECT_EQ(key("Ctrl"), "unknown");
  EXPECT_EQ(key("Enterr"), "unknown");
  EXPECT_EQ(key("+"), "unknown");
}

TEST(KeyScriptText, EachCharacterIsItsOwnGroupWithUsLayoutKeys) {
  std::vector<KeyGroup> g = parse("\"aZ5 ?\"");
  ASSERT_EQ(g.size(), 5u);
  EXPECT_EQ(describe(g[0].events), "D41 C97 U41");
  EXPECT_EQ(describe(g[1].events), "D5As C90s U5As");
  EXPECT_EQ(describe(g[2].events), "D35 C53 U35");
  EXPECT_EQ(describe(g[3].events), "D20 C32 U20");
  EXPECT_EQ(describe(g[4].events), "DBFs C63s UBFs");
}

TEST(KeyScriptText, EscapesAndPunctuation) {
  std::vector<KeyGroup> g = parse(R"("\"\\!,")");
  ASSERT_EQ(g.size(), 4u);
  EXPECT_EQ(describe(g[0].events), "DDEs C34s UDEs");
  EXPECT_EQ(describe(g[1].events), "DDC C92 UDC");
  EXPECT_EQ(describe(g[2].events), "D31s C33s U31s");
  EXPECT_EQ(describe(g[3].events), "DBC C44 UBC");
}

TEST(KeyScriptText, AccentedLettersArriveAsPacketCharacters) {
  // UTF-8 in the script, Windows-1252 for the program.
  std::vector<KeyGroup> g = parse("\"\xC3\xA3\xC3\x87\"");
  ASSERT_EQ(g.size(), 2u);
  EXPECT_EQ(describe(g[0].events), "DE7 C227 UE7");
  EXPECT_EQ(describe(g[1].events), "DE7 C199 UE7");
}

TEST(KeyScriptText, HashInsideAStringIsTyped) {
  std::vector<KeyGroup> g = parse("\"#\" # a comment \"x\"\nEnter");
  ASSERT_EQ(g.size(), 2u);
  EXPECT_EQ(describe(g[0].events), "D33s C35s U33s");
  EXPECT_EQ(describe(g[1].events), "D0D C13 U0D");
}

TEST(KeyScriptChords, PressAllThenReleaseAll) {
  std::vector<KeyGroup> g = parse("chord:FD chord:SPACE+F chord:space");
  ASSERT_EQ(g.size(), 3u);
  EXPECT_EQ(describe(g[0].events), "D46 C102 D44 C100 U46 U44");
  EXPECT_EQ(describe(g[1].events), "D20 C32 D46 C102 U20 U46");
  EXPECT_EQ(describe(g[2].events), "D20 C32 U20");
}

TEST(KeyScriptGroups, BracesDeliverKeysTogether) {
  std::vector<KeyGroup> g = parse("F1 { \"ab\" Enter chord:F } Esc");
  ASSERT_EQ(g.size(), 3u);
  EXPECT_EQ(describe(g[0].events), "D70 U70");
  EXPECT_EQ(describe(g[1].events),
            "D41 C97 U41 D42 C98 U42 D0D C13 U0D D46 C102 U46");
  EXPECT_EQ(describe(g[2].events), "D1B C27 U1B");
}

TEST(KeyScriptGroups, BracesNeedNoBlanksAndEmptyOnesVanish) {
  std::vector<KeyGroup> g = parse("{Enter}{}{Esc}");
  ASSERT_EQ(g.size(), 2u);
  EXPECT_EQ(describe(g[0].events), "D0D C13 U0D");
}

TEST(KeyScriptGroups, CommentsAndBlankScripts) {
  EXPECT_TRUE(parse("").empty());
  EXPECT_TRUE(parse("# only a comment\n\n   \t# another { \"\n").empty());
  EXPECT_EQ(parse("Enter# glued comment\r\nEsc\r\n").size(), 2u);
}

TEST(KeyScriptGroups, TildeMarksAKeyOrGroupPressedDuringSpeech) {
  std::vector<KeyGroup> g =
      parse("F1 ~Esc ~3:{ Down Enter } ~1000:chord:FD ~7 ~12:Ctrl+C ~{}\n\"a\"");
  ASSERT_EQ(g.size(), 7u);  // the empty group vanishes with its mark
  EXPECT_EQ(g[0].bargeInWaits, 0);
  EXPECT_EQ(g[1].bargeInWaits, 1);
  EXPECT_EQ(describe(g[1].events), "D1B C27 U1B");
  EXPECT_EQ(g[2].bargeInWaits, 3);
  EXPECT_EQ(describe(g[2].events), "D28 U28 D0D C13 U0D");
  EXPECT_EQ(g[3].bargeInWaits, 1000);
  EXPECT_EQ(describe(g[3].events), "D46 C102 D44 C100 U46 U44");
  EXPECT_EQ(g[4].bargeInWaits, 1);  // digits without ':' are the key
  EXPECT_EQ(describe(g[4].events), "D37 C55 U37");
  EXPECT_EQ(g[5].bargeInWaits, 12);
  EXPECT_EQ(describe(g[5].events), "D43c C3c U43c");
  EXPECT_EQ(g[6].bargeInWaits, 0);  // the mark does not outlive its group

  EXPECT_EQ(parseError("Enter\n~\n"), "line 2: '~' without a key or '{' after it");
  EXPECT_EQ(parseError("~ Esc"), "line 1: '~' without a key or '{' after it");
  EXPECT_EQ(parseError("~2:# x"), "line 1: '~' without a key or '{' after it");
  EXPECT_EQ(parseError("{ ~Esc }"), "line 1: '~' inside braces");
  EXPECT_EQ(parseError("~\"ab\""), "line 1: '~' before a string (use ~{ \"...\" })");
  EXPECT_EQ(parseError("\n~0:Esc"), "line 2: '~' wants a count from 1 to 1000 before ':', not '0'");
  EXPECT_NE(parseError("~1001:Esc").find("line 1: '~' wants a count"), std::string::npos);
  EXPECT_NE(parseError("~99999999999:Esc").find("not '99999999999'"), std::string::npos);
  EXPECT_NE(parseError("~:Esc").find("line 1: '~' wants a count"), std::string::npos);
  EXPECT_EQ(parseError("~3Down"), "line 1: unknown key name '3Down'");
}

TEST(KeyScriptErrors, NameTheLine) {
  EXPECT_EQ(parseError("Enter\n\nFoo\n"), "line 3: unknown key name 'Foo'");
  EXPECT_EQ(parseError("Esc\n\"abc\nEnter"), "line 2: unterminated string");
  EXPECT_EQ(parseError("\"abc"), "line 1: unterminated string");
  EXPECT_EQ(parseError("Enter\n{ Esc\nF1\n"), "line 2: '{' is never closed");
  EXPECT_EQ(parseError("Enter }"), "line 1: '}' without '{'");
  EXPECT_EQ(parseError("{ { } }"), "line 1: '{' inside braces");
  EXPECT_NE(parseError("\"a\\nb\"").find("line 1: unknown escape"),
            std::string::npos);
  EXPECT_EQ(parseError("chord:FF"), "line 1: key repeated in chord");
  EXPECT_EQ(parseError("chord:"), "line 1: empty key in chord");
  EXPECT_EQ(parseError("chord:F+"), "line 1: empty key in chord");
  EXPECT_NE(parseError("chord:F1").find("line 1: chord keys"), std::string::npos);
}

TEST(KeyScriptErrors, AFailedParseLeavesNoHalfScript) {
  std::vector<KeyGroup> groups;
  std::string error;
  EXPECT_FALSE(plat::headless::parseKeyScript("Enter Esc Bogus", &groups, &error));
  // The caller gets the message and no keys from before the fault.
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(groups.empty());
}

}  // namespace
