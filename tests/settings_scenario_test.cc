// The settings store end to end: the built runner started twice on the
// same directories, as a user starting the program on a new machine and
// then again.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/shared/codepage.h"
#include "tests/ledger_text.h"
#include "tests/runner_fixture.h"
#include "tests/test_files.h"

namespace {

using runnertest::contains;
using testfiles::readAll;
using testfiles::writeFile;

namespace fs = std::filesystem;

std::string u8(const char* cp1252) { return plat::cp1252ToUtf8(cp1252); }

// The file's lines without their CR LF ends.
std::vector<std::string> readLines(const fs::path& path) {
  std::vector<std::string> lines = testfiles::readLines(path);
  for (std::string& line : lines) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
  }
  return lines;
}

const std::string kOpeningEntry = ledgertext::openingEntry();

class SettingsScenarioTest : public runnertest::RunnerFixture {
 protected:
  fs::path ledger() const { return workDir() / "brasil.chq"; }

  // Runs the program with the key script; the speech record, in UTF-8.
  std::vector<std::string> run(const std::string& script) {
    const runnertest::RunResult r = RunnerFixture::run(script);
    EXPECT_EQ(r.code, 0);
    last_ = r;
    return r.speech;
  }
  bool onScreen(const std::string& text) const { return last_.rowStarting(text) >= 0; }

  runnertest::RunResult last_;  // the latest run
};

TEST_F(SettingsScenarioTest, FirstRunRegistersTheFactoryBankAndTheSecondFindsIt) {
  const std::vector<std::string> first = run("Esc");
  const std::vector<std::string> lumira = readLines(configDir() / "LUMIRA.INI");
  EXPECT_TRUE(contains(lumira, "MOEDA=real"));
  EXPECT_TRUE(contains(lumira, "MOEDAS=reais"));
  EXPECT_TRUE(contains(lumira, "BANCOATUAL=Banco do Brasil"));

  const std::vector<std::string> program = readLines(configDir() / "TALONIX.INI");
  const std::vector<std::string> expected = {
      "[Bancos]", "Banco do Brasil=", "[Banco do Brasil]",
      "arquivoLanc=" + ledger().string(), "ano4Digitos=S", "imprimeDeitado=S",
      "ajusteMM=0,0", "posValor=130,0", "posExtenso1=26,6", "posExtenso2=8,12",
      "posFavorecido=8,18", "posCidade=70,25", "posDia=108,25", "posMes=125,25",
      "posAno=157,25"};
  for (const std::string& line : expected) EXPECT_TRUE(contains(program, line)) << line;
  EXPECT_EQ(readAll(ledger()), kOpeningEntry);

  const std::string incomplete =
      "say " + u8("Dados est\xE3o incompletos, atualize seus dados pessoais");
  EXPECT_TRUE(contains(first, incomplete));
  const auto bank = std::find(first.begin(), first.end(), "say Banco atual: ");
  ASSERT_NE(bank, first.end());
  EXPECT_NE(std::find(bank, first.end(), "say Banco do Brasil"), first.end());
  EXPECT_TRUE(onScreen("Banco atual: Banco do Brasil"));

  // The user has recorded an entry in between: the ledger must survive.
  writeFile(ledger(), kOpeningEntry + "01/03/2024\r\nDep\r\n5,00\r\nC\r\n\r\n\r\n\r\n\r\n" +
                          std::string(40, '-') + "\r\n");
  const std::string ledgerBefore = readAll(ledger());
  const std::string programBefore = readAll(configDir() / "TALONIX.INI");
  const std::vector<std::string> second = run("Esc");
  EXPECT_EQ(readAll(ledger()), ledgerBefore);
  EXPECT_EQ(readAll(configDir() / "TALONIX.INI"), programBefore);
  EXPECT_TRUE(contains(second, "say Banco do Brasil"));
  EXPECT_TRUE(onScreen("Banco atual: Banco do Brasil"));
}

TEST_F(SettingsScenarioTest, AStoredBankAndIssuerAreLoadedQuietly) {
  writeFile(configDir() / "LUMIRA.INI",
            "[TALONIX]\r\nMOEDA=peso\r\nMOEDAS=pesos\r\nBANCOATUAL=Caixa\r\n"
            "Nome=Maria da Silva\r\n");
  writeFile(configDir() / "TALONIX.INI",
            "[Bancos]\r\nCaixa=\r\n[Caixa]\r\narquivoLanc=" +
                (workDir() / "caixa.chq").string() + "\r\nano4Digitos=N\r\n");
  const std::vector<std::string> said = run("Esc");
  EXPECT_FALSE(contains(said, "say " + u8("Dados est\xE3o incompletos, atualize seus dados pessoais")));
  EXPECT_TRUE(contains(said, "say Caixa"));
  EXPECT_TRUE(onScreen("Banco atual: Caixa"));
  EXPECT_FALSE(fs::exists(ledger()));
  EXPECT_FALSE(fs::exists(workDir() / "caixa.chq"));  // only the factory bank's is made
  EXPECT_TRUE(contains(readLines(configDir() / "LUMIRA.INI"), "MOEDA=peso"));
}

TEST_F(SettingsScenarioTest, GarbageSettingsStillStartTheProgram) {
  std::string banks = "[Bancos]\r\n";
  for (int i = 0; i < 10000; ++i) banks += "B" + std::to_string(i) + "=\r\n";
  const std::string longName(1000, 'X');
  writeFile(configDir() / "LUMIRA.INI",
            "[TALONIX]\r\nBANCOATUAL=" + longName + "\r\nNome=" + std::string(1000, 'n') +
                "\r\nMOEDA=\r\n");
  writeFile(configDir() / "TALONIX.INI",
            banks + "[" + longName + "]\r\nano4Digitos=S\r\nposValor=lixo,-\r\n[B7]\r\n");
  const std::vector<std::string> said = run("Esc");
  ASSERT_FALSE(said.empty());
  EXPECT_EQ(said.back(), "say Fim do programa");
  EXPECT_TRUE(contains(readLines(configDir() / "LUMIRA.INI"), "MOEDAS=reais"));
  EXPECT_TRUE(onScreen("Banco atual: "));
}

}  // namespace
