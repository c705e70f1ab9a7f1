// Dialling telephone tones and choosing what the shell opens a link with.
#include <string>

#include "speech/speech_services.h"
#include "speech_fixture.h"
#include "synth/wave_player.h"

namespace {

using speechtest::Lines;

class SpeechServicesTest : public speechtest::SpeechFixture {};

TEST_F(SpeechServicesTest, DialTonesPlaysDigitsHashAndStarAndWaitsOnCommas) {
  wavePlayer().fastPlay = true;
  const uint64_t before = plat::system().tickMs();
  forget();
  dialTones("0-1*,#a9");
  EXPECT_EQ(heard(), (Lines{"dtmf 0", "dtmf 1", "dtmf X", "dtmf #", "dtmf 9"}));
  // 100 ms after each of the five tones, a second for the comma.
  EXPECT_GE(plat::system().tickMs() - before, 1500u);
  EXPECT_TRUE(wavePlayer().fastPlay);  // restored afterwards
}

TEST_F(SpeechServicesTest, DialTonesStopsWhenAKeyWaits) {
  type("x");
  forget();
  dialTones("123");
  EXPECT_EQ(heard(), Lines{});
}

TEST_F(SpeechServicesTest, WebAddressesOpenWithTheConfiguredBrowser) {
  familySettings({"[LUMIRA]", "PROG.HTM=c:\\web\\browser.exe"});
  for (const char* link : {"http://a.b", "https://a.b/c", "www.a.com.br"}) {
    const LinkRequest r = linkRequest(link);
    EXPECT_EQ(r.program, "c:\\web\\browser.exe") << link;
    EXPECT_EQ(r.parameters, link);
  }
  EXPECT_EQ(linkRequest("http://a.b").directory,
            plat::system().currentDirectory());
}

TEST_F(SpeechServicesTest, WithoutABrowserTheShellOpensTheAddressItself) {
  const LinkRequest r = linkRequest("www.a.com");
  EXPECT_EQ(r.program, "www.a.com");
  EXPECT_EQ(r.parameters, "");
}

TEST_F(SpeechServicesTest, DocumentsOpenWithTheProgramOfTheirExtension) {
  familySettings({"[LUMIRA]", "PROG.TXT=editor", "PROG.DOC=@\\word.exe"});
  LinkRequest r = linkRequest("nota.txt");
  EXPECT_EQ(r.program, "editor");
  EXPECT_EQ(r.parameters, "nota.txt");
  // Only three characters after the first full stop count.
  r = linkRequest("carta.docx.bak");
  EXPECT_EQ(r.parameters, "carta.docx.bak");
  EXPECT_NE(r.program.find("word.exe"), std::string::npos);
  // Unknown extension: the shell's own association.
  r = linkRequest("foto.jpg");
  EXPECT_EQ(r.program, "foto.jpg");
  EXPECT_EQ(r.parameters, "");
}

TEST_F(SpeechServicesTest, ProgramsAreStartedFromTheCurrentDirectoryOrTheirPath) {
  const std::string dir = plat::system().currentDirectory();
  const char sep = plat::system().pathSeparator();
  LinkRequest r = linkRequest("calc.exe");
  EXPECT_EQ(r.program, dir + sep + "calc.exe");
  EXPECT_EQ(r.parameters, "");
  EXPECT_EQ(linkRequest("c:\\jogo.COM").program, "c:\\jogo.COM");
  EXPECT_EQ(linkRequest("\\bin\\x.exe").program, "\\bin\\x.exe");
}

TEST_F(SpeechServicesTest, OpenLinkHandsTheRequestToTheShellOnly) {
  familySettings({"[LUMIRA]", "PROG.HTM=browser"});
  openLink("http://x.y");
  ASSERT_EQ(platform_->shellRequests().size(), 1u);
  EXPECT_EQ(platform_->shellRequests()[0].program, "browser");
  EXPECT_EQ(platform_->shellRequests()[0].parameters, "http://x.y");
  // A long text is cut before it reaches the shell.
  openLink("www." + std::string(400, 'a'));
  EXPECT_EQ(platform_->shellRequests()[1].parameters.size(), 255u);
}

}  // namespace
