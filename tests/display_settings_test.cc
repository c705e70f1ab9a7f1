// Display settings as read from LUMIRA.INI, including bad values.
#include "console/display_settings.h"

#include <cstring>

#include "tests/console_fixture.h"

namespace {

class DisplaySettingsTest : public ConsoleFixture {
 protected:
  DisplaySettings read() {
    uint8_t identity[16];
    for (int i = 0; i < 16; ++i) identity[i] = static_cast<uint8_t>(i);
    return readDisplaySettings(identity);
  }
};

TEST_F(DisplaySettingsTest, NoFileGivesTheDefaults) {
  DisplaySettings s = read();
  EXPECT_EQ(s.initialAttribute, 0x0F);
  EXPECT_FALSE(s.colorsFixed);
  EXPECT_FALSE(s.slowDisplay);
  EXPECT_EQ(s.brailleMode, 0);
  EXPECT_EQ(s.magnifierFactor, 2);
  EXPECT_EQ(s.fontFace, "Lucida Console");
  EXPECT_EQ(s.fontWidth, 13);  // work area 1024 x 734
  EXPECT_EQ(s.fontHeight, 28);
  EXPECT_EQ(s.fontWeight, 0);
  EXPECT_TRUE(s.maximized);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(s.remap[i], i);
}

TEST_F(DisplaySettingsTest, ColourTableChangesOnlyTheEntriesGiven) {
  familySettings({"[VIDEO]", "TABCORES=0,4,2"});
  DisplaySettings s = read();
  EXPECT_EQ(s.remap[0], 0);
  EXPECT_EQ(s.remap[1], 4);
  EXPECT_EQ(s.remap[2], 2);
  for (int i = 3; i < 16; ++i) EXPECT_EQ(s.remap[i], i);
}

TEST_F(DisplaySettingsTest, ColourTableStopsAtAnItemWithTrailingText) {
  uint8_t remap[16];
  std::memset(remap, 9, sizeof remap);
  parseColorTable("1,2x,5,6", remap);
  EXPECT_EQ(remap[0], 1);
  EXPECT_EQ(remap[1], 2);
  EXPECT_EQ(remap[2], 9);  // never reached
}

TEST_F(DisplaySettingsTest, ColourTableEntriesOutsideThePaletteAreClamped) {
  uint8_t remap[16] = {};
  parseColorTable("99,-3,15,4000000000", remap);
  EXPECT_EQ(remap[0], 15);
  EXPECT_EQ(remap[1], 0);  // "-3" has no leading digits, and stops the list
  EXPECT_EQ(remap[2], 0);
  parseColorTable("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,0,7,7", remap);
  EXPECT_EQ(remap[15], 0);
}

TEST_F(DisplaySettingsTest, InitialAttributeFromBackAndForeColours) {
  familySettings({"[VIDEO]", "CORFUNDO=1", "CORLETRA=14"});
  EXPECT_EQ(read().initialAttribute, 0x1E);
  familySettings({"[VIDEO]", "CORFUNDO=2abc", "CORLETRA=x"});
  EXPECT_EQ(read().initialAttribute, 0x20);
}

TEST_F(DisplaySettingsTest, EmptyForegroundKeepsTheStartingGrey) {
  familySettings({"[VIDEO]", "CORLETRA="});
  EXPECT_EQ(read().initialAttribute, 0x07);
}

TEST_F(DisplaySettingsTest, YesNoSettingsTestTheFirstCharacter) {
  familySettings({"[VIDEO]", "CORESFIXAS=Sim", "LENTO=s"});
  DisplaySettings s = read();
  EXPECT_TRUE(s.colorsFixed);
  EXPECT_TRUE(s.slowDisplay);
  familySettings({"[VIDEO]", "CORESFIXAS=nao", "LENTO=N"});
  s = read();
  EXPECT_FALSE(s.colorsFixed);
  EXPECT_FALSE(s.slowDisplay);
}

TEST_F(DisplaySettingsTest, MagnifierFactorFromTheFirstCharacter) {
  struct Case { const char* value; int factor; };
  for (Case c : {Case{"3", 3}, Case{"35", 3}, Case{"7", 7}, Case{"0", 1},
                 Case{"8", 1}, Case{"9", 1}, Case{"", 1}}) {
    familySettings({"[VIDEO]", std::string("AMPLIF=") + c.value});
    EXPECT_EQ(read().magnifierFactor, c.factor) << c.value;
  }
}

TEST_F(DisplaySettingsTest, BrailleModeFromTheFirstCharacter) {
  struct Case { const char* value; int mode; };
  for (Case c : {Case{"1", 1}, Case{"2", 2}, Case{"3", 3}, Case{"5", 1}}) {
    familySettings({"[BRAILLE]", std::string("MODO=") + c.value});
    EXPECT_EQ(read().brailleMode, c.mode) << c.value;
  }
}

TEST_F(DisplaySettingsTest, FontSizeAndWindowPlacement) {
  familySettings({"[VIDEO]", "LARGURALETRA=10", "ALTURALETRA=22px",
                  "CANTOTELA=NAO"});
  DisplaySettings s = read();
  EXPECT_EQ(s.fontWidth, 10);
  EXPECT_EQ(s.fontHeight, 22);
  EXPECT_FALSE(s.maximized);
  familySettings({"[VIDEO]", "CANTOTELA=SIM"});
  EXPECT_TRUE(read().maximized);
}

TEST_F(DisplaySettingsTest, GarbageFileReadsAsDefaults) {
  std::string binary = "[VIDEO]\r\nCORLETRA=";
  for (int i = 0; i < 256; ++i) binary += static_cast<char>(i);
  binary += "\r\n" + std::string(100000, 'A') + "\r\nTABCORES=" +
            std::string(100000, '9') + "\r\n";
  {
    std::ofstream out(root_ / "windows" / "LUMIRA.INI", std::ios::binary);
    out << binary;
  }
  DisplaySettings s = read();
  EXPECT_EQ(s.remap[0], 15);  // a huge number is still clamped
  EXPECT_GE(s.magnifierFactor, 1);
  write("still works");
  EXPECT_EQ(planeRow(1), "still works");
}

}  // namespace
