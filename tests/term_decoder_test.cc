// The terminal key decoder: bytes from an xterm-like terminal in, the
// messages of a Windows console window out.
#include "platform/posix/term_decoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using plat::Event;
using plat::EventKind;

std::string keyName(uint32_t vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) {
    return std::string(1, static_cast<char>(vk));
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%02X", vk);
  return buf;
}

// One line per message: "down A +ctrl", "char 1", "up A".
std::string summary(const std::vector<Event>& events) {
  std::string out;
  for (const Event& e : events) {
    if (!out.empty()) out += ", ";
    switch (e.kind) {
      case EventKind::kKeyDown: out += "down " + keyName(e.code); break;
      case EventKind::kSysKeyDown: out += "sysdown " + keyName(e.code); break;
      case EventKind::kKeyUp: out += "up " + keyName(e.code); continue;
      case EventKind::kChar: out += "char " + std::to_string(e.code); continue;
      default: out += "other"; continue;
    }
    if (e.shift) out += " +shift";
    if (e.ctrl) out += " +ctrl";
    if (e.alt) out += " +alt";
  }
  return out;
}

class DecoderTest : public ::testing::Test {
 protected:
  // Feeds the bytes at one moment, then lets the ESC timeout pass.
  std::string decode(std::string_view bytes) {
    std::vector<Event> out;
    decoder_.feed(bytes, now_, &out);
    now_ += plat::posix::kEscTimeoutMs;
    decoder_.flushPending(now_, &out);
    return summary(out);
  }

  plat::posix::Decoder decoder_;
  uint64_t now_ = 1000;
};

TEST_F(DecoderTest, PrintableCharactersGiveDownCharUp) {
  EXPECT_EQ(decode("a"), "down A, char 97, up A");
  EXPECT_EQ(decode("A"), "down A +shift, char 65, up A");
  EXPECT_EQ(decode("7"), "down 7, char 55, up 7");
  EXPECT_EQ(decode(" "), "down 0x20, char 32, up 0x20");
  EXPECT_EQ(decode("!"), "down 1 +shift, char 33, up 1");
  EXPECT_EQ(decode("\\"), "down 0xDC, char 92, up 0xDC");
  EXPECT_EQ(decode("ab"), "down A, char 97, up A, down B, char 98, up B");
}

TEST_F(DecoderTest, Utf8BecomesWindows1252AndUnknownCharactersAreDropped) {
  EXPECT_EQ(decode("\xC3\xA7"), "down 0x00, char 231, up 0x00");  // ç
  EXPECT_EQ(decode("\xE2\x82\xAC"), "down 0x00, char 128, up 0x00");  // €
  EXPECT_EQ(decode("\xE4\xB8\xAD"), "");          // a CJK character
  EXPECT_EQ(decode("\xF0\x9F\x98\x80"), "");      // an emoji
  EXPECT_EQ(decode("\xC2\x85"), "");              // a C1 control
  EXPECT_EQ(decode("\xE0\x81\x81"), "");          // overlong
  EXPECT_EQ(decode("\xA7x"), "down X, char 120, up X");  // stray byte
  EXPECT_EQ(decode("\xC3x"), "down X, char 120, up X");  // cut short
  EXPECT_EQ(decode("\xC3"), "");                  // never finished
}

TEST_F(DecoderTest, EnterTabEscAndBackspace) {
  EXPECT_EQ(decode("\r"), "down 0x0D, char 13, up 0x0D");
  EXPECT_EQ(decode("\n"), "down 0x0D, char 13, up 0x0D");
  EXPECT_EQ(decode("\t"), "down 0x09, char 9, up 0x09");
  EXPECT_EQ(decode("\x1b[Z"), "down 0x09 +shift, char 9, up 0x09");
  EXPECT_EQ(decode("\x1b"), "down 0x1B, char 27, up 0x1B");
  EXPECT_EQ(decode("\x7f"), "down 0x08, char 8, up 0x08");
  EXPECT_EQ(decode("\x08"), "down 0x08 +ctrl, char 127, up 0x08");
  EXPECT_EQ(decode("\x1b[127;5u"), "down 0x08 +ctrl, char 127, up 0x08");
}

TEST(DecoderEraseTest, TerminalWhoseBackspaceSendsBsHasCtrlBackspaceAsDel) {
  plat::posix::Decoder decoder(false);
  std::vector<Event> out;
  decoder.feed("\x08\x7f", 0, &out);
  EXPECT_EQ(summary(out),
            "down 0x08, char 8, up 0x08, down 0x08 +ctrl, char 127, up 0x08");
}

TEST_F(DecoderTest, CtrlLettersKeepTheirControlCharacter) {
  EXPECT_EQ(decode("\x01"), "down A +ctrl, char 1, up A");
  EXPECT_EQ(decode("\x03"), "down C +ctrl, char 3, up C");  // copy, not a signal
  EXPECT_EQ(decode("\x1a"), "down Z +ctrl, char 26, up Z");
  EXPECT_EQ(decode("\x1c"), "down 0xDC +ctrl, char 28, up 0xDC");
  EXPECT_EQ(decode(std::string_view("\0", 1)), "down 0x20 +ctrl, char 32, up 0x20");
}

TEST_F(DecoderTest, CtrlEnterWhereTheTerminalReportsIt) {
  EXPECT_EQ(decode("\x1b[13;5u"), "down 0x0D +ctrl, char 10, up 0x0D");
  EXPECT_EQ(decode("\x1b[27;5;13~"), "down 0x0D +ctrl, char 10, up 0x0D");
  EXPECT_EQ(decode("\x1b[13;2u"), "down 0x0D +shift, char 13, up 0x0D");
  EXPECT_EQ(decode("\x1b[97;5u"), "down A +ctrl, char 1, up A");
  EXPECT_EQ(decode("\x1b[97;2u"), "down A +shift, char 65, up A");
}

TEST_F(DecoderTest, CursorAndEditingKeysHaveNoCharacter) {
  EXPECT_EQ(decode("\x1b[A"), "down 0x26, up 0x26");
  EXPECT_EQ(decode("\x1b[B"), "down 0x28, up 0x28");
  EXPECT_EQ(decode("\x1b[C"), "down 0x27, up 0x27");
  EXPECT_EQ(decode("\x1b[D"), "down 0x25, up 0x25");
  EXPECT_EQ(decode("\x1bOA"), "down 0x26, up 0x26");
  EXPECT_EQ(decode("\x1b[H"), "down 0x24, up 0x24");
  EXPECT_EQ(decode("\x1b[F"), "down 0x23, up 0x23");
  EXPECT_EQ(decode("\x1b[1~"), "down 0x24, up 0x24");
  EXPECT_EQ(decode("\x1b[4~"), "down 0x23, up 0x23");
  EXPECT_EQ(decode("\x1b[2~"), "down 0x2D, up 0x2D");
  EXPECT_EQ(decode("\x1b[3~"), "down 0x2E, up 0x2E");
  EXPECT_EQ(decode("\x1b[5~"), "down 0x21, up 0x21");
  EXPECT_EQ(decode("\x1b[6~"), "down 0x22, up 0x22");
}

TEST_F(DecoderTest, FunctionKeysInEveryCommonEncoding) {
  EXPECT_EQ(decode("\x1bOP"), "down 0x70, up 0x70");
  EXPECT_EQ(decode("\x1bOS"), "down 0x73, up 0x73");
  EXPECT_EQ(decode("\x1b[11~"), "down 0x70, up 0x70");
  EXPECT_EQ(decode("\x1b[15~"), "down 0x74, up 0x74");
  EXPECT_EQ(decode("\x1b[17~"), "down 0x75, up 0x75");
  EXPECT_EQ(decode("\x1b[21~"), "down 0x79, up 0x79");
  EXPECT_EQ(decode("\x1b[23~"), "down 0x7A, up 0x7A");
  EXPECT_EQ(decode("\x1b[24~"), "down 0x7B, up 0x7B");
  EXPECT_EQ(decode("\x1b[1;2P"), "down 0x70 +shift, up 0x70");
  EXPECT_EQ(decode("\x1b[[A"), "down 0x70, up 0x70");  // linux console
  EXPECT_EQ(decode("\x1b[[E"), "down 0x74, up 0x74");
  EXPECT_EQ(decode("\x1bO5P"), "down 0x70 +ctrl, up 0x70");  // old xterm
}

TEST_F(DecoderTest, ModifierParametersInBothForms) {
  const char* names[] = {"", " +shift", " +alt", " +shift +alt", " +ctrl",
                         " +shift +ctrl", " +ctrl +alt", " +shift +ctrl +alt"};
  for (int m = 2; m <= 8; ++m) {
    const std::string mods = names[m - 1];
    const bool sys = (m == 3 || m == 4);  // Alt without Ctrl
    const std::string down = sys ? "sysdown " : "down ";
    EXPECT_EQ(decode("\x1b[1;" + std::to_string(m) + "A"),
              down + "0x26" + mods + ", up 0x26") << m;
    EXPECT_EQ(decode("\x1b[11;" + std::to_string(m) + "~"),
              down + "0x70" + mods + ", up 0x70") << m;
  }
  EXPECT_EQ(decode("\x1b[1;5P"), "down 0x70 +ctrl, up 0x70");
  EXPECT_EQ(decode("\x1b[3;5~"), "down 0x2E +ctrl, up 0x2E");
}

TEST_F(DecoderTest, AltKeysAreSystemKeysWithoutCharacter) {
  EXPECT_EQ(decode("\x1b" "a"), "sysdown A +alt, up A");
  EXPECT_EQ(decode("\x1b" "A"), "sysdown A +shift +alt, up A");
  EXPECT_EQ(decode("\x1b" "1"), "sysdown 1 +alt, up 1");
  EXPECT_EQ(decode("\x1b\x01"), "down A +ctrl +alt, up A");  // Ctrl+Alt+A
  EXPECT_EQ(decode("\x1b[1;3D"), "sysdown 0x25 +alt, up 0x25");
  EXPECT_EQ(decode("\x1b[1;3S"), "sysdown 0x73 +alt, up 0x73");  // Alt+F4
  EXPECT_EQ(decode("\x1b\x1b[A"), "sysdown 0x26 +alt, up 0x26");
  EXPECT_EQ(decode("\x1b\xC3\xA7"), "sysdown 0x00 +alt, up 0x00");
}

TEST_F(DecoderTest, ModifiersAreOnEveryMessageOfTheKey) {
  std::vector<Event> out;
  decoder_.feed("\x01", 0, &out);
  ASSERT_EQ(out.size(), 3u);
  for (const Event& e : out) EXPECT_TRUE(e.ctrl);
}

TEST_F(DecoderTest, ByteByByteFeedingGivesTheSameKeys) {
  const std::string input =
      "x\x1b[1;5A\x1bOP\x1b[24~\xC3\xA3\x1b[13;5u\r\x1b[[B";
  const std::string whole = decode(input);
  std::vector<Event> out;
  for (char c : input) decoder_.feed(static_cast<uint8_t>(c), now_, &out);
  EXPECT_EQ(summary(out), whole);
  EXPECT_FALSE(decoder_.pending());
}

TEST_F(DecoderTest, LoneEscWaitsForItsTimeout) {
  std::vector<Event> out;
  decoder_.feed(0x1b, 1000, &out);
  EXPECT_TRUE(out.empty());
  ASSERT_TRUE(decoder_.pending());
  EXPECT_EQ(decoder_.deadline(), 1000 + plat::posix::kEscTimeoutMs);
  decoder_.flushPending(1000 + plat::posix::kEscTimeoutMs - 1, &out);
  EXPECT_TRUE(out.empty());
  decoder_.flushPending(1000 + plat::posix::kEscTimeoutMs, &out);
  EXPECT_EQ(summary(out), "down 0x1B, char 27, up 0x1B");
  EXPECT_FALSE(decoder_.pending());
}

TEST_F(DecoderTest, EscFollowedLateIsEscThenTheKey) {
  std::vector<Event> out;
  decoder_.feed(0x1b, 1000, &out);
  decoder_.feed('a', 1000 + plat::posix::kEscTimeoutMs, &out);
  EXPECT_EQ(summary(out), "down 0x1B, char 27, up 0x1B, down A, char 97, up A");
}

TEST_F(DecoderTest, EscPressedTwiceGivesTwoEscKeys) {
  EXPECT_EQ(decode("\x1b\x1b"),
            "down 0x1B, char 27, up 0x1B, down 0x1B, char 27, up 0x1B");
  EXPECT_EQ(decode("\x1b\x1b" "a"),
            "down 0x1B, char 27, up 0x1B, sysdown A +alt, up A");
}

TEST_F(DecoderTest, EscBracketAloneIsAltBracket) {
  EXPECT_EQ(decode("\x1b["), "sysdown 0xDB +alt, up 0xDB");
}

TEST_F(DecoderTest, UnknownAndMalformedSequencesAreSwallowedWhole) {
  EXPECT_EQ(decode("\x1b[99~x"), "down X, char 120, up X");
  EXPECT_EQ(decode("\x1b[1;99Ax"), "down X, char 120, up X");   // bad modifier
  EXPECT_EQ(decode("\x1b[?1;2cx"), "down X, char 120, up X");   // device reply
  EXPECT_EQ(decode("\x1b[1 qx"), "down X, char 120, up X");     // intermediate
  EXPECT_EQ(decode("\x1b[9999999999999999Ax"), "down X, char 120, up X");
  EXPECT_EQ(decode("\x1b[" + std::string(200, '1') + "Ax"),
            "down X, char 120, up X");                          // runaway
  EXPECT_EQ(decode("\x1b]0;title\x07x"), "down X, char 120, up X");
  EXPECT_EQ(decode("\x1b]52;c;abc\x1b\\x"), "down X, char 120, up X");
  EXPECT_EQ(decode("\x1b[1;5"), "");                            // cut short
  EXPECT_EQ(decode("\x1bOE"), "");                              // keypad 5
}

TEST_F(DecoderTest, ABrokenSequenceGivesBackTheControlKeyThatBrokeIt) {
  EXPECT_EQ(decode("\x1b[1\r"), "down 0x0D, char 13, up 0x0D");
  EXPECT_EQ(decode("\x1b[1\x1b[B"), "down 0x28, up 0x28");
}

TEST_F(DecoderTest, MouseReportsAreIgnored) {
  EXPECT_EQ(decode("\x1b[M !!x"), "down X, char 120, up X");       // X10
  EXPECT_EQ(decode("\x1b[<0;10;5Mx"), "down X, char 120, up X");   // SGR
  EXPECT_EQ(decode("\x1b[<0;10;5mx"), "down X, char 120, up X");
}

TEST_F(DecoderTest, RandomGarbageNeverProducesMalformedMessages) {
  std::mt19937 rng(12345);
  std::vector<Event> out;
  for (int round = 0; round < 2000; ++round) {
    std::string bytes;
    const int n = static_cast<int>(rng() % 24);
    for (int i = 0; i < n; ++i) {
      // Lean on the bytes that steer the decoder.
      const char steer[] = "\x1b[O;0123456789~ABCDPQRSu<M]\x07\xC3";
      bytes.push_back(rng() % 2 ? steer[rng() % (sizeof steer - 1)]
                                : static_cast<char>(rng() % 256));
    }
    out.clear();
    decoder_.feed(bytes, now_, &out);
    now_ += 1 + rng() % (2 * plat::posix::kEscTimeoutMs);
    decoder_.flushPending(now_, &out);
    // Every key is a down (with at most one character) and a matching up.
    size_t i = 0;
    while (i < out.size()) {
      ASSERT_TRUE(out[i].kind == EventKind::kKeyDown ||
                  out[i].kind == EventKind::kSysKeyDown);
      size_t j = i + 1;
      if (j < out.size() && out[j].kind == EventKind::kChar) {
        EXPECT_LT(out[j].code, 256u);
        ++j;
      }
      ASSERT_LT(j, out.size());
      ASSERT_EQ(out[j].kind, EventKind::kKeyUp);
      EXPECT_EQ(out[j].code, out[i].code);
      i = j + 1;
    }
  }
  // Once the garbage has timed out the decoder reads keys again.
  now_ += plat::posix::kEscTimeoutMs;
  decoder_.flushPending(now_, &out);
  EXPECT_EQ(decode("\x18q"), "down X +ctrl, char 24, up X, down Q, char 113, up Q");
}

}  // namespace
