// The speech layer around speakText: the family settings lookup, starting
// speech, recorded sounds and built sound images, and reading keys with
// spoken echo.
#include <cstring>

#include "tests/speech_fixture.h"

#include "console/keys.h"
#include "platform/shared/riff.h"

#include "synth/diphone_synth.h"
#include "synth/speech_settings.h"
#include "synth/wave_player.h"

namespace speechtest {
namespace {

std::string sep() { return std::string(1, plat::system().pathSeparator()); }

// --- Family settings -------------------------------------------------------

using FamilySettingsTest = SpeechFixture;

TEST_F(FamilySettingsTest, WindowsDirectoryFileWinsOverProgramDirectory) {
  writeIni(workDir() / "LUMIRA.INI", {"[TALONIX]", "DIRTALONIX=prog"});
  EXPECT_EQ(readFamilySetting("TALONIX", "DIRTALONIX"), "prog");
  familySettings({"[TALONIX]", "DIRTALONIX=win"});
  EXPECT_EQ(familySettingsFile(), "LUMIRA.INI");
  EXPECT_EQ(readFamilySetting("TALONIX", "DIRTALONIX"), "win");
}

TEST_F(FamilySettingsTest, AbsentValuesAndTheDefaultSection) {
  EXPECT_EQ(readFamilySetting("TRADUTOR", "SAPI"), "");
  familySettings({"[LUMIRA]", "PROG.HTM=browser"});
  EXPECT_EQ(readFamilySetting("", "PROG.HTM"), "browser");
  EXPECT_EQ(readFamilySetting("TRADUTOR", "PROG.HTM"), "");
}

TEST_F(FamilySettingsTest, AtStandsForTheInstallationDirectory) {
  const std::string program = familyProgramDirectory();
  familySettings({"[TALONIX]", "A=@\\som\\", "B=x;@\\a;@\\b", "C=@", "D=a@b"});
  // PGMLUMIRA unset: the program directory; only the "@" is replaced.
  EXPECT_EQ(readFamilySetting("TALONIX", "A"), program + "\\som\\");
  EXPECT_EQ(readFamilySetting("TALONIX", "B"),
            "x;" + program + "\\a;" + program + "\\b");
  EXPECT_EQ(readFamilySetting("TALONIX", "C"), program);
  EXPECT_EQ(readFamilySetting("TALONIX", "D"), "a@b");
}

TEST_F(FamilySettingsTest, AtWithInstallationDirectorySet) {
  familySettings({"[LUMIRA]", "PGMLUMIRA=/opt/lumira", "[TALONIX]",
                  "A=@\\som\\", "S=@" + sep() + "som"});
  EXPECT_EQ(readFamilySetting("TALONIX", "A"), "/opt/lumira\\som\\");
  EXPECT_EQ(readFamilySetting("TALONIX", "S"), "/opt/lumira" + sep() + "som");
}

TEST_F(FamilySettingsTest, InstallationDirectoryBeginningWithAtIsIgnored) {
  familySettings({"[LUMIRA]", "PGMLUMIRA=@elsewhere", "[TALONIX]", "A=@x"});
  EXPECT_EQ(readFamilySetting("TALONIX", "A"),
            familyProgramDirectory() + "x");
}

TEST_F(FamilySettingsTest, InstallationDirectoryHoldingAtDoesNotLoop) {
  familySettings({"[LUMIRA]", "PGMLUMIRA=/a@\\b", "[TALONIX]", "A=@\\c"});
  EXPECT_EQ(readFamilySetting("TALONIX", "A"), "/a@\\b\\c");
}

TEST(SettingIntegerTest, LeadingDigitsAsTheStandardConversionReadsThem) {
  EXPECT_EQ(settingInteger(""), 0);
  EXPECT_EQ(settingInteger("abc"), 0);
  EXPECT_EQ(settingInteger("4x"), 4);
  EXPECT_EQ(settingInteger("  12"), 12);
  EXPECT_EQ(settingInteger("-3"), -3);
  EXPECT_EQ(settingInteger("99999999999999999999"), 2147483647);
}

// --- Starting speech -------------------------------------------------------

using InitSpeechTest = SpeechFixture;

TEST_F(InitSpeechTest, SpeedOutOfRangeOrAbsentIsThree) {
  initSpeech(7, "");
  EXPECT_EQ(speechState().speed, 3);
  EXPECT_EQ(speechSettings().speed, 3);
  initSpeech(0, "");
  EXPECT_EQ(speechState().speed, 3);
  familySettings({"[TRADUTOR]", "VELOCIDADE=4x"});
  initSpeech(0, "");
  EXPECT_EQ(speechState().speed, 4);
  initSpeech(2, "");
  EXPECT_EQ(speechState().speed, 2);
  familySettings({"[TRADUTOR]", "VELOCIDADE=9"});
  initSpeech(0, "");
  EXPECT_EQ(speechState().speed, 3);
}

TEST_F(InitSpeechTest, PauseLengthsTakeTheirDefaults) {
  initSpeech(3, "");
  EXPECT_EQ(speechSettings().periodPause, 250);
  EXPECT_EQ(speechSettings().commaPause, 150);
  EXPECT_EQ(speechSettings().colonPause, 200);
}

TEST_F(InitSpeechTest, DirectoriesGetTheirSeparator) {
  const std::string letters = tarvekDirectory() + "som" + sep() + "letras";
  familySettings({"[TRADUTOR]", "DIRLETRAS=" + letters});
  initSpeech(3, "/prog/som");
  EXPECT_EQ(speechState().soundDirectory, "/prog/som" + sep());
  EXPECT_EQ(speechState().lettersDirectory, letters + sep());
  initSpeech(3, "/prog/som\\");
  EXPECT_EQ(speechState().soundDirectory, "/prog/som\\");
  initSpeech(3, "");
  EXPECT_EQ(speechState().soundDirectory, "");
}

TEST_F(InitSpeechTest, StartWritesOnlyTheVoiceKeysTheSettingsLack) {
  // The user's own values (an empty one too) stay; the rest points at the
  // kit beside the program, and speech starts from it.
  familySettings({"[SINTETIZADOR]", "CORTEFON3=123", "INTERPAL2=", "[TRADUTOR]",
                  "VELOCIDADE=3"});
  initSpeech(0, "");
  const std::string file = "LUMIRA.INI";
  auto value = [&](const char* section, const char* key) {
    return plat::readProfileString(section, key, "absent", file.c_str(), 255);
  };
  EXPECT_EQ(value("SINTETIZADOR", "CORTEFON3"), "123");
  EXPECT_EQ(value("SINTETIZADOR", "INTERPAL2"), "");
  EXPECT_EQ(value("SINTETIZADOR", "DIFONES3"), "DIFONES3");
  EXPECT_EQ(value("SINTETIZADOR", "SOBRAFON5"), "500");
  EXPECT_EQ(value("TRADUTOR", "VELOCIDADE"), "3");
  EXPECT_EQ(value("TRADUTOR", "DIRLETRAS"),
            tarvekDirectory() + "som" + sep() + "letras" + sep());
  EXPECT_EQ(speechSettings().databaseName, "DIFONES3");
}

TEST_F(InitSpeechTest, LettersDirectoryDefaultsToTheInstallationTree) {
  initSpeech(3, "");
  EXPECT_EQ(speechState().lettersDirectory,
            tarvekDirectory() + "som" + sep() + "letras" + sep());
  if (sep() == "/") {
    EXPECT_EQ(tarvekDirectory(), workDir().string() + "/share/tarvek/");
  }
}

TEST_F(InitSpeechTest, DiphoneFailureReportsWaitsForEnterAndEnds) {
  // No such database: the name is shown as stored, cut to eight characters.
  familySettings({"[SINTETIZADOR]", "DIFONES3=BRASILEIRO"});
  std::vector<plat::headless::KeyGroup> enter(1);
  ASSERT_TRUE(plat::headless::keyEvents("Enter", &enter[0].events));
  platform_->addKeyGroups(enter);
  try {
    initSpeech(3, "");
    FAIL() << "initSpeech returned after a failed start";
  } catch (const plat::ExitRequest& exit) {
    EXPECT_EQ(exit.code, 0);
  }
  EXPECT_EQ(screenRow(1), "Erro de inicializa\xE7\xE3o: 1");
  EXPECT_EQ(screenRow(2), "Banco de dados de voz: BRASILEI");
  EXPECT_EQ(platform_->keyGroupsLeft(), 0u);
}

// --- Sounds ----------------------------------------------------------------

using SpeechSoundTest = SpeechFixture;

TEST_F(SpeechSoundTest, SoundNamesChooseTheirDirectory) {
  std::filesystem::create_directories(workDir() / "letras");
  familySettings({"[TRADUTOR]", "DIRLETRAS=" + (workDir() / "letras").string()});
  initSpeech(3, (workDir() / "som").string());
  touch(workDir() / "letras" / "_MENOS.wav");
  touch(workDir() / "som" / "CHFIM.wav");
  EXPECT_TRUE(soundExists("_MENOS"));
  EXPECT_TRUE(soundExists("CHFIM"));
  EXPECT_FALSE(soundExists("_CHFIM"));
  EXPECT_FALSE(soundExists("MENOS"));
  EXPECT_EQ(soundFilePath("_65"),
            (workDir() / "letras").string() + sep() + "_65.wav");
  forget();
  speakSound("CHFIM");
  speakChar(0xE7);
  EXPECT_EQ(heard(), (Lines{"sound CHFIM", "char 231"}));
}

TEST_F(SpeechSoundTest, SpellingStopsBeforeACharacterWhenAKeyWaits) {
  forget();
  spellText("ab");
  type("z");
  spellText("cd");
  EXPECT_EQ(heard(), (Lines{"char 97", "char 98"}));
  EXPECT_EQ(readKey(), 'z');
}

TEST_F(SpeechSoundTest, BeepDiscardsWaitingKeys) {
  type("abc");
  forget();
  beep();
  EXPECT_EQ(heard(), (Lines{"beep"}));
  EXPECT_FALSE(keyAvailable());
}

TEST_F(SpeechSoundTest, KeyWhileSpeakingSilencesAndStaysQueued) {
  EXPECT_FALSE(isSpeaking());
  EXPECT_FALSE(speechState().stopRequested);
  type("k");
  EXPECT_FALSE(isSpeaking());
  EXPECT_TRUE(speechState().stopRequested);
  waitSpeech();
  EXPECT_EQ(readKey(), 'k');
}

TEST_F(SpeechSoundTest, PauseStepsPassAtOnceWhenAKeyWaits) {
  const uint64_t start = plat::system().tickMs();
  forget();
  speechPause(120);
  EXPECT_EQ(plat::system().tickMs() - start, 100u);  // two 50 ms steps
  type("k");
  speechPause(1000);
  EXPECT_EQ(plat::system().tickMs() - start, 100u);
  EXPECT_EQ(heard(), (Lines{"pause 120", "pause 1000"}));
}

TEST_F(SpeechSoundTest, ClickKeepsTheCompressionSetting) {
  wavePlayer().compressSpeech = true;
  forget();
  click();
  EXPECT_EQ(heard(), (Lines{"click"}));
  EXPECT_TRUE(wavePlayer().compressSpeech);
}

TEST(WaveImageTest, HeaderBytes) {
  uint8_t header[44];
  std::memset(header, 0xEE, sizeof header);
  plat::writePcmHeader(header, 256, 11025, 8, 1);
  const uint8_t expected[44] = {
      'R', 'I', 'F', 'F', 0x24, 0x01, 0, 0,    'W', 'A', 'V', 'E',
      'f', 'm', 't', ' ', 16,   0,    0, 0,    1,   0,   1,   0,
      0x11, 0x2B, 0, 0,   0x11, 0x2B, 0, 0,    1,   0,   8,   0,
      'd', 'a', 't', 'a', 0x00, 0x01, 0, 0};
  EXPECT_EQ(std::memcmp(header, expected, sizeof header), 0);
}

TEST(WaveImageTest, HeaderOfWiderFormatsDescribesItsFrames) {
  uint8_t header[44] = {};
  plat::writePcmHeader(header, 70000, 22050, 16, 2);
  auto u32 = [&](int at) { return plat::get32(header + at); };
  EXPECT_EQ(u32(4), 70036u);
  EXPECT_EQ(header[22], 2);
  EXPECT_EQ(u32(28), 88200u);
  EXPECT_EQ(header[32], 4);  // bytes per frame
  EXPECT_EQ(header[34], 16);
  EXPECT_EQ(u32(40), 70000u);
}

TEST(WaveImageTest, BeepIsATriangleEndingInSilence) {
  const std::vector<uint8_t> image = makeBeepImage();
  ASSERT_EQ(image.size(), 44u + 512u);
  EXPECT_EQ(image[40], 0x00);
  EXPECT_EQ(image[41], 0x02);  // 512 data bytes
  const uint8_t pattern[8] = {128, 112, 96, 80, 64, 80, 96, 112};
  for (size_t i = 0; i < 511; ++i)
    ASSERT_EQ(image[44 + i], pattern[i % 8]) << "sample " << i;
  EXPECT_EQ(image[44 + 511], 128);
}

TEST_F(SpeechSoundTest, ClickIsABurstOfNoiseThenSilence) {
  const uint8_t* image = speechState().clickImage;
  EXPECT_EQ(std::memcmp(image, "RIFF", 4), 0);
  EXPECT_EQ(image[40], 0x00);
  EXPECT_EQ(image[41], 0x01);  // 256 data bytes
  for (int i = 0; i < 64; ++i) {
    EXPECT_GE(image[44 + i], 128) << i;
    EXPECT_LE(image[44 + i], 187) << i;
  }
  for (int i = 64; i < 256; ++i) ASSERT_EQ(image[44 + i], 128) << i;
}

TEST(UpperTextTest, LettersAndTheUpperHalfFrom224) {
  EXPECT_EQ(upperText("abc xyz"), "ABC XYZ");
  EXPECT_EQ(upperText("op\xE7\xE3o"), "OP\xC7\xC3O");
  EXPECT_EQ(upperText("\xE0\xFF\xDF\xB5" "1-"), "\xC0\xDF\xDF\xB5" "1-");
}

// --- Reading keys ----------------------------------------------------------

using KeyEchoTest = SpeechFixture;

TEST_F(KeyEchoTest, PrintableKeysAreEchoedAloudAndOnScreen) {
  queueKey('c');
  forget();
  uint8_t extended = 0;
  EXPECT_EQ(readKeyEcho(&extended), 'c');
  EXPECT_EQ(extended, ' ');
  EXPECT_EQ(heard(), (Lines{"char 99"}));
  EXPECT_EQ(screenRow(1), "c");
}

// The focus signals are extended codes; the characters whose bytes they
// once were (Þ 222, ß 223) are typed and echoed like any other.
TEST_F(KeyEchoTest, ControlAndFocusKeysAreNotEchoed) {
  forget();
  for (uint8_t key : {uint8_t{13}, uint8_t{27}, uint8_t{8}}) {
    queueKey(key);
    EXPECT_EQ(readKeyEcho(), key);
  }
  for (uint8_t signal : {kKeyFocusGained, kKeyFocusLost}) {
    queueKey(kKeyExtended);
    queueKey(signal);
    uint8_t extended = 0;
    EXPECT_EQ(readKeyEcho(&extended), kKeyExtended);
    EXPECT_EQ(extended, signal);
  }
  EXPECT_EQ(heard(), Lines{});
  EXPECT_EQ(screenRow(1), "");

  type("\xDE\xDF");
  EXPECT_EQ(readKeyEcho(), 0xDE);
  EXPECT_EQ(readKeyEcho(), 0xDF);
  EXPECT_EQ(heard(), (Lines{"char 222", "char 223"}));
  EXPECT_EQ(screenRow(1), "\xDE\xDF");
}

TEST_F(KeyEchoTest, ShiftTabIsAnExtendedKeyWithoutEcho) {
  press("Shift+Tab");
  forget();
  uint8_t extended = 0;
  EXPECT_EQ(readKeyEcho(&extended), 0);
  EXPECT_EQ(extended, 15);
  EXPECT_EQ(heard(), Lines{});
}

TEST_F(KeyEchoTest, CtrlAltCodesGiveTheCharacterThatFollows) {
  queueKey(0);
  queueKey(17);
  queueKey('@');
  uint8_t extended = 0;
  forget();
  EXPECT_EQ(readKeyEcho(&extended), '@');
  EXPECT_EQ(extended, 17);
  EXPECT_EQ(heard(), (Lines{"char 64"}));
}

// Where Ctrl+Alt+Q gives no character of its own (a US layout), the key
// after it is read in its place; an extended key must come whole, or its
// code byte would later read as a typed character.
TEST_F(KeyEchoTest, CtrlAltCodeFollowedByAnExtendedKeyGivesThatKey) {
  press("Ctrl+Alt+Q");
  press("F1");
  type("x");
  uint8_t extended = 0;
  forget();
  EXPECT_EQ(readKeyEcho(&extended), 0);
  EXPECT_EQ(extended, 59);
  EXPECT_EQ(heard(), Lines{});
  EXPECT_EQ(readKeyEcho(&extended), 'x');
}

TEST_F(KeyEchoTest, F8SpeaksTheTimeAndReadsOn) {
  press("F8");
  // Typed after the time is heard: a key already waiting would cut it off.
  std::vector<plat::headless::KeyGroup> later(1);
  plat::headless::typedCharEvents('b', &later[0].events);
  platform_->addKeyGroups(later);
  forget();
  EXPECT_EQ(readKeyEcho(), 'b');
  // Ten thirty in the fixture's clock.
  EXPECT_EQ(heard(), (Lines{"number dez", "sound _horas", "number trinta",
                            "sound _minutos", "char 98"}));
}

TEST_F(KeyEchoTest, WaitsForTheUserWhenNothingIsQueued) {
  std::vector<plat::headless::KeyGroup> later(1);
  plat::headless::typedCharEvents('y', &later[0].events);
  platform_->addKeyGroups(later);
  EXPECT_EQ(readKeyEcho(), 'y');
}

TEST_F(KeyEchoTest, ReadKeySpokenSpeaksAnyByte) {
  queueKey(13);
  forget();
  EXPECT_EQ(readKeySpoken(), 13);
  EXPECT_EQ(heard(), (Lines{"char 13"}));
}

}  // namespace
}  // namespace speechtest
