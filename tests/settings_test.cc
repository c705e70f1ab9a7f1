// The start-up load: currency, current bank (or the factory bank), window
// title, personal data and what is announced.
#include <algorithm>
#include <fstream>
#include <sstream>

#include "app/bank_records.h"
#include "app/commands.h"
#include "tests/speech_fixture.h"
#include "tests/test_files.h"

namespace {

namespace fs = std::filesystem;
using speechtest::Lines;

const std::string kIncomplete =
    "say Dados est\xE3o incompletos, atualize seus dados pessoais";
const std::string kCurrentBank = "say Banco atual: ";

std::string fileText(const fs::path& path) { return testfiles::readAll(path); }

class SettingsTest : public speechtest::SpeechFixture {
 protected:
  void SetUp() override {
    SpeechFixture::SetUp();
    initSpeech(0, (workDir() / "som").string());
    speechState().speakPunctuationNames = false;  // as at start-up
    resetBankRecords();
    writeLineEnd();  // the window exists, as after the start-up banner
  }
  // What loadSettings said, without the pauses.
  Lines load() {
    forget();
    loadSettings();
    Lines out;
    for (const std::string& line : heard()) {
      if (line.rfind("pause ", 0) != 0) out.push_back(line);
    }
    return out;
  }
  static bool shown(const std::string& text) {
    for (int row = 1; row <= kConsoleRows; ++row) {
      if (screenRow(row) == text) return true;
    }
    return false;
  }
  std::string familyValue(const char* key) { return readProgramFamilyValue(key); }
  fs::path programIni() const { return configDir() / "TALONIX.INI"; }
  fs::path ledger() const { return workDir() / "brasil.chq"; }

  void registeredBank(const std::string& name, const std::string& ledgerFile) {
    writeIni(programIni(), {"[Bancos]", name + "=", "[" + name + "]",
                            "arquivoLanc=" + ledgerFile, "ano4Digitos=N",
                            "imprimeDeitado=N", "posValor=120,-4"});
  }
};

TEST_F(SettingsTest, FirstRunSetsUpCurrencyAndTheFactoryBank) {
  const Lines said = load();
  EXPECT_EQ(currencySingular(), "real");
  EXPECT_EQ(currencyPlural(), "reais");
  EXPECT_EQ(familyValue("MOEDA"), "real");
  EXPECT_EQ(familyValue("MOEDAS"), "reais");
  EXPECT_EQ(familyValue("BANCOATUAL"), "Banco do Brasil");
  EXPECT_EQ(currentBankName(), "Banco do Brasil");
  EXPECT_EQ(currentBank().ledgerFile,
            plat::system().currentDirectory() + plat::system().pathSeparator() +
                "brasil.chq");
  EXPECT_TRUE(currentBank().yearFourDigits);
  EXPECT_TRUE(currentBank().printLyingDown);
  EXPECT_EQ(currentBank().layout.value, (LayoutPoint{130, 0}));
  EXPECT_EQ(fileText(ledger()).substr(0, 28), std::string(10, ' ') + "\r\nSaldo Anterior\r\n");
  EXPECT_EQ(platform_->title(), "Talonix Banco do Brasil");
  EXPECT_EQ(said, (Lines{kIncomplete, kCurrentBank, "say Banco do Brasil"}));
  EXPECT_TRUE(shown("Dados est\xE3o incompletos, atualize seus dados pessoais"));
  EXPECT_TRUE(shown("Banco atual: Banco do Brasil"));
}

TEST_F(SettingsTest, ARegisteredCurrentBankIsLoadedAsStored) {
  familySettings({"[TALONIX]", "MOEDA=euro", "MOEDAS=euros", "BANCOATUAL=Itau",
                  "Nome=Maria", "Identidade=123", "Expedidor=SSP", "CPF=999",
                  "Telefone=555", "Endereco=Rua A", "Bairro=Centro", "Cidade=Recife"});
  registeredBank("Itau", "/contas/itau.chq");
  const Lines said = load();
  EXPECT_EQ(currencySingular(), "euro");
  EXPECT_EQ(currencyPlural(), "euros");
  EXPECT_EQ(currentBankName(), "Itau");
  EXPECT_EQ(currentBank().ledgerFile, "/contas/itau.chq");
  EXPECT_FALSE(currentBank().yearFourDigits);
  EXPECT_EQ(currentBank().layout.value, (LayoutPoint{120, -4}));
  EXPECT_EQ(platform_->title(), "Talonix Itau");
  const PersonalData& p = personalData();
  EXPECT_EQ(p.name, "Maria");
  EXPECT_EQ(p.identity, "123");
  EXPECT_EQ(p.issuer, "SSP");
  EXPECT_EQ(p.cpf, "999");
  EXPECT_EQ(p.telephone, "555");
  EXPECT_EQ(p.address, "Rua A");
  EXPECT_EQ(p.district, "Centro");
  EXPECT_EQ(p.city, "Recife");
  EXPECT_EQ(said, (Lines{kCurrentBank, "say Itau"}));
  EXPECT_FALSE(fs::exists(ledger()));
  EXPECT_EQ(fileText(programIni()).find("Banco do Brasil"), std::string::npos);
}

TEST_F(SettingsTest, OneMissingCurrencyNameRestoresBoth) {
  familySettings({"[TALONIX]", "MOEDA=euro"});
  load();
  EXPECT_EQ(currencySingular(), "real");
  EXPECT_EQ(familyValue("MOEDA"), "real");
  EXPECT_EQ(familyValue("MOEDAS"), "reais");
}

TEST_F(SettingsTest, AnUnregisteredCurrentBankIsReplacedByTheFactoryBank) {
  familySettings({"[TALONIX]", "BANCOATUAL=Sumiu", "Nome=Jo"});
  writeIni(programIni(), {"[Sumiu]", "arquivoLanc=/x.chq", "posValor=1,1"});
  const Lines said = load();
  EXPECT_EQ(currentBankName(), "Banco do Brasil");
  EXPECT_EQ(familyValue("BANCOATUAL"), "Banco do Brasil");
  EXPECT_TRUE(fs::exists(ledger()));
  EXPECT_EQ(said, (Lines{kCurrentBank, "say Banco do Brasil"}));
}

TEST_F(SettingsTest, TheSecondRunKeepsTheLedgerAndChangesNothing) {
  load();
  std::ofstream(ledger(), std::ios::binary | std::ios::app) << "mais\r\n";
  const std::string ledgerBefore = fileText(ledger());
  const std::string iniBefore = fileText(programIni());
  resetBankRecords();
  load();
  EXPECT_EQ(fileText(ledger()), ledgerBefore);
  EXPECT_EQ(fileText(programIni()), iniBefore);
  EXPECT_EQ(currentBankName(), "Banco do Brasil");
}

TEST_F(SettingsTest, GarbageSettingsLoadWithoutHarm) {
  const std::string longName(1000, 'Z');
  familySettings({"[TALONIX]", "BANCOATUAL=" + longName, "Nome=" + std::string(1000, 'n'),
                  "MOEDA=" + std::string(1000, 'm'), "MOEDAS=x"});
  writeIni(programIni(), {"[" + longName + "]", "ano4Digitos=S", "posValor=lixo"});
  load();
  EXPECT_LE(currentBankName().size(), kShortTextLength);
  EXPECT_LE(personalData().name.size(), kShortTextLength);
  EXPECT_LE(currencySingular().size(), kShortTextLength);
  EXPECT_FALSE(currentBankName().empty());
  EXPECT_EQ(platform_->title(), "Talonix " + currentBankName());
}

TEST_F(SettingsTest, ABankSectionWithoutKeysGivesTheFactoryBank) {
  familySettings({"[TALONIX]", "BANCOATUAL=Oco", "Nome=Ana"});
  writeIni(programIni(), {"[Bancos]", "Oco=", "[Oco]"});
  load();
  EXPECT_EQ(currentBankName(), "Banco do Brasil");
  EXPECT_EQ(currentBank().layout.payee, (LayoutPoint{8, 18}));
}

}  // namespace
