// The message catalogue and speakMessage.
#include "app/catalogue.h"

#include <set>

#include "tests/speech_fixture.h"
#include "tests/wave_test_util.h"

namespace {

using speechtest::Lines;

class CatalogueTest : public speechtest::SpeechFixture {
 protected:
  // A short recording the player accepts.
  void record(const char* name) {
    wavetest::writeBytes(workDir() / "som" / name,
                         wavetest::makeWav(std::vector<uint8_t>(300, 128)));
  }
  void SetUp() override {
    SpeechFixture::SetUp();
    std::filesystem::create_directories(workDir() / "letras");
    familySettings({"[TRADUTOR]", "DIRLETRAS=" + (workDir() / "letras").string()});
    initSpeech(0, (workDir() / "som").string());
  }
};

TEST_F(CatalogueTest, HoldsAllEntriesWithOneIdentifierTwice) {
  EXPECT_EQ(catalogueSize(), 133);
  std::set<std::string> distinct;
  for (int i = 0; i < catalogueSize(); ++i) {
    const std::string id = catalogueIdentifier(i);
    EXPECT_EQ(id.substr(0, 2), "CH") << id;
    EXPECT_LE(id.size(), 8u) << id;
    distinct.insert(id);
  }
  EXPECT_EQ(distinct.size(), 132u);
}

TEST_F(CatalogueTest, TextsKeepTheirExactSpacingAndAccents) {
  EXPECT_EQ(messageText("CHOPCAO"), "Sua op\xE7\xE3o: ");
  EXPECT_EQ(messageText("CHINIC"), "Talonix - vers\xE3o ");
  EXPECT_EQ(messageText("CHVALINV"),
            "Valor inv\xE1lido, n\xE3o use pontos.  Use v\xEDrgula e 2 "
            "d\xEDgitos nos centavos.");
  EXPECT_EQ(messageText("CHLANERR"),
            "Lan\xE7" "amento n\xE3o foi registrado.  Erro no arquivo de "
            "lan\xE7" "amentos.");
  EXPECT_EQ(messageText("CHAJUD3"), "   L  lan\xE7" "amento banc\xE1rio");
  EXPECT_EQ(messageText("CHINFMIL"), "Quantos mil\xEDmetros desloco ? ");
  EXPECT_EQ(messageText("CHCNFLAN"), "Confirma lan\xE7" "amento? ");
}

TEST_F(CatalogueTest, TheFirstOfATwiceStandingIdentifierIsFound) {
  EXPECT_EQ(messageText("CHSELDSL"), "Selecione agora o deslocamento a realizar");
}

TEST_F(CatalogueTest, UnknownIdentifiersGiveTheInvalidText) {
  EXPECT_EQ(messageText("chopcao"), "--> Mensagem inv\xE1lida: chopcao");
  EXPECT_EQ(messageText("CHOPCAO "), "--> Mensagem inv\xE1lida: CHOPCAO ");
  EXPECT_EQ(messageText(""), "--> Mensagem inv\xE1lida: ");
}

TEST_F(CatalogueTest, SpeakMessageLeavesTheCursorAfterThePrompt) {
  forget();
  speakMessage("CHOPCAO", 0);
  EXPECT_EQ(screenRow(1), "Sua op\xE7\xE3o:");
  EXPECT_EQ(cursorColumn(), 12);
  EXPECT_EQ(cursorRow(), 1);
  Lines lines = heard();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "say Sua op\xE7\xE3o: ");
}

TEST_F(CatalogueTest, LineEndsAndSilentWriting) {
  speakMessage("CHFIM", 2);
  EXPECT_EQ(cursorRow(), 3);
  EXPECT_EQ(cursorColumn(), 1);
  forget();
  speakMessage("CHOK", -1);
  EXPECT_EQ(cursorRow(), 3);
  EXPECT_EQ(screenRow(3), "");
  ASSERT_FALSE(heard().empty());
  EXPECT_EQ(heard()[0], "say OK.");
}

TEST_F(CatalogueTest, ARecordingIsPlayedInsteadOfTheText) {
  record("CHFIM.wav");
  forget();
  speakMessage("CHFIM", 1);
  EXPECT_EQ(screenRow(1), "Fim do programa");
  EXPECT_EQ(heard(), (Lines{"sound CHFIM"}));
}

TEST_F(CatalogueTest, AnUnknownIdentifierWithARecordingStillPlaysIt) {
  record("CHNOVO.wav");
  forget();
  speakMessage("CHNOVO", 0);
  EXPECT_EQ(screenRow(1), "--> Mensagem inv\xE1lida: CHNOVO");
  EXPECT_EQ(heard(), (Lines{"sound CHNOVO"}));
}

TEST_F(CatalogueTest, ABrokenRecordingGivesWayToTheText) {
  touch(workDir() / "som" / "CHFIM.wav");
  forget();
  speakMessage("CHFIM", 1);
  EXPECT_EQ(heard(), (Lines{"sound CHFIM", "say Fim do programa"}));
}

}  // namespace
