// The statement export: its columns, the name typed, the files it refuses
// and the failures it reports; and command X end to end through the runner.
#include "app/statement.h"

#include <algorithm>

#include "app/bank_records.h"
#include "app/catalogue.h"
#include "app/commands.h"
#include "app/ledger_file.h"
#include "tests/ledger_fixture.h"
#include "tests/runner_fixture.h"
#include "tests/test_files.h"

namespace {

using testfiles::writeFile;

namespace fs = std::filesystem;
using speechtest::Lines;

const std::string kHeader =
    "Data        N\xFAmero      Documento                        Valor            Saldo";
const std::string kRule(79, '-');

std::string fileText(const fs::path& path) { return testfiles::readAll(path); }

std::string blanks(size_t n) { return std::string(n, ' '); }

// An opening entry of 1000,00 and a cheque of 150,00, number 000123.
std::string exampleLedger() {
  return blanks(10) + "\r\nSaldo Anterior\r\n1000,00\r\nC\r\n\r\n\r\n\r\nSaldo Anterior\r\n" +
         std::string(40, '-') + "\r\n05/03/2025\r\nCheque\r\n150,00\r\nD\r\n\r\n000123\r\n"
         "MERCADO\r\n\r\n" + std::string(40, '-') + "\r\n";
}
const std::string kOpeningLine =
    blanks(24) + "Saldo Anterior" + blanks(55 - 38) + "1000,00" + blanks(72 - 62) + "1000,00";
const std::string kChequeLine = "05/03/2025" + blanks(2) + "000123" + blanks(6) + "Cheque" +
                                blanks(56 - 30) + "150,00" + blanks(73 - 62) + "850,00";

TEST(StatementLineTest, ColumnsOfTheOpeningEntryAndOfACheque) {
  LedgerEntry opening;
  opening.date = blanks(10);
  opening.documentType = "Saldo Anterior";
  opening.value = "0,00";
  const std::string line = statementLine(opening, 0.0);
  EXPECT_EQ(line, blanks(24) + "Saldo Anterior" + blanks(58 - 38) + "0,00" +
                      blanks(75 - 62) + "0,00");
  EXPECT_EQ(line.size(), 79u);

  LedgerEntry cheque;
  cheque.date = "05/03/2025";
  cheque.documentNumber = "000123";
  cheque.documentType = "Cheque";
  cheque.value = "150,00";
  EXPECT_EQ(statementLine(cheque, 850.0), kChequeLine);
  EXPECT_EQ(kHeader.size(), 79u);
}

TEST(StatementLineTest, LongFieldsPushTheNextColumnsRightAndNothingIsCut) {
  LedgerEntry e;
  e.date = "05/03/2025";
  e.documentNumber = std::string(20, '9');
  e.documentType = std::string(40, 'T');
  e.value = "1,00";
  EXPECT_EQ(statementLine(e, -1.0), "05/03/2025  " + std::string(20, '9') +
                                        std::string(40, 'T') + "1,00-1,00");
  e.documentType = std::string(300, 'T');
  EXPECT_EQ(statementLine(e, 0).size(), 12 + 20 + 300 + 4 + 4u);
}

class StatementTest : public ledgertest::LedgerFixture {
 protected:
  StatementTest() : LedgerFixture("caixa.chq") {}
  void SetUp() override {
    LedgerFixture::SetUp();
    setCurrentBankName("Caixa");
    currentBank().ledgerFile = ledger().string();
    writeFile(ledger(), exampleLedger());
  }
  // Runs command X with the name typed, one key at a time, and ENTER.
  void exportAs(const std::string& typed) {
    std::vector<plat::headless::KeyGroup> keys;
    for (char c : typed) {
      keys.emplace_back();
      plat::headless::typedCharEvents(static_cast<uint8_t>(c), &keys.back().events);
    }
    keys.emplace_back();
    plat::headless::keyEvents("Enter", &keys.back().events);
    platform_->addKeyGroups(keys);
    forget();
    exportStatement();
  }
};

TEST_F(StatementTest, WritesTheSortedLedgerUnderTheNameWithoutLeadingBlanks) {
  // Stored in append order; the statement is by date.
  writeFile(ledger(), exampleLedger() + "01/03/2025\r\nDep\r\n5,00\r\nc\r\n\r\n\r\n\r\n\r\n" +
                          std::string(40, '-') + "\r\n");
  exportAs("   extrato.txt");
  EXPECT_TRUE(said("CHOK"));
  const std::string deposit = "01/03/2025" + blanks(14) + "Dep" + blanks(58 - 27) + "5,00" +
                              blanks(72 - 62) + "1005,00";
  const std::string cheque = "05/03/2025" + blanks(2) + "000123" + blanks(6) + "Cheque" +
                             blanks(56 - 30) + "150,00" + blanks(73 - 62) + "855,00";
  EXPECT_EQ(fileText(workDir() / "extrato.txt"),
            "Talonix - Caixa\r\n" + kHeader + "\r\n" + kRule + "\r\n" + kOpeningLine + "\r\n" +
                deposit + "\r\n" + cheque + "\r\n");
  EXPECT_FALSE(fs::exists(workDir() / "   extrato.txt"));
  // The ledger itself is not rewritten.
  EXPECT_EQ(ledgerCount(), 0u);
  EXPECT_NE(fileText(ledger()).find("\r\nc\r\n"), std::string::npos);
}

TEST_F(StatementTest, AnExistingFileOfAnotherNameIsOverwritten) {
  writeFile(workDir() / "old.txt", std::string(5000, 'x'));
  exportAs("old.txt");
  EXPECT_TRUE(said("CHOK"));
  EXPECT_EQ(fileText(workDir() / "old.txt").substr(0, 17), "Talonix - Caixa\r\n");
}

TEST_F(StatementTest, AnyNameOfTheLedgerItselfIsRefusedAndTheLedgerKept) {
  fs::create_directories(workDir() / "sub");
  fs::create_symlink(ledger(), workDir() / "link.chq");
  for (const std::string& name :
       {ledger().string(), std::string("caixa.chq"), std::string("./caixa.chq"),
        std::string("sub/../caixa.chq"), std::string("sub\\..\\caixa.chq"),
        std::string("link.chq"), std::string("  caixa.chq")}) {
    SCOPED_TRACE(name);
    exportAs(name);
    EXPECT_TRUE(said("CHARQINC"));
    EXPECT_FALSE(said("CHOK"));
    EXPECT_EQ(fileText(ledger()), exampleLedger());
  }
  // Nor may it replace the settings: the banks with their print positions.
  writeIni(configDir() / "TALONIX.INI", {"[Bancos]", "Caixa="});
  for (const fs::path& settings : {configDir() / "TALONIX.INI", configDir() / "LUMIRA.INI"}) {
    exportAs(settings.string());
    EXPECT_TRUE(said("CHARQINC"));
    EXPECT_FALSE(said("CHOK"));
  }
  EXPECT_EQ(fileText(configDir() / "TALONIX.INI"), "[Bancos]\r\nCaixa=\r\n");
}

TEST_F(StatementTest, ProblemsAreSpokenAndNeverReportedAsDone) {
  // Nothing typed, or only blanks.
  for (const char* typed : {"", "    "}) {
    exportAs(typed);
    EXPECT_TRUE(said("CHARQINC"));
    EXPECT_FALSE(said("CHOK"));
  }
  // A name that cannot be created: a directory, a missing directory.
  fs::create_directories(workDir() / "pasta" / "inner");
  for (const char* typed : {"pasta", "nowhere/extrato.txt"}) {
    exportAs(typed);
    EXPECT_TRUE(said("CHARQNCR"));
    EXPECT_FALSE(said("CHOK"));
  }
  EXPECT_TRUE(fs::is_directory(workDir() / "pasta" / "inner"));
  // No ledger file name: nothing is asked.
  currentBank().ledgerFile.clear();
  forget();
  exportStatement();
  EXPECT_TRUE(said("CHARQNDF"));
  EXPECT_FALSE(said("CHQTXT"));
}

TEST_F(StatementTest, AnUnreadableLedgerGivesTheHeaderLinesOnly) {
  fs::remove(ledger());
  exportAs("extrato.txt");
  EXPECT_TRUE(said("CHARQERR"));
  EXPECT_TRUE(said("CHOK"));
  EXPECT_EQ(fileText(workDir() / "extrato.txt"),
            "Talonix - Caixa\r\n" + kHeader + "\r\n" + kRule + "\r\n");
  EXPECT_FALSE(fs::exists(ledger()));
}

// --- Through the runner --------------------------------------------------------

class StatementScenarioTest : public runnertest::RunnerFixture {};

TEST_F(StatementScenarioTest, CommandXWritesTheStatementOfTheCurrentBank) {
  writeFile(configDir() / "LUMIRA.INI",
            "[TALONIX]\r\nBANCOATUAL=Caixa\r\nNome=Maria da Silva\r\n");
  writeFile(configDir() / "TALONIX.INI", "[Bancos]\r\nCaixa=\r\n[Caixa]\r\narquivoLanc=" +
                                             (workDir() / "caixa.chq").string() +
                                             "\r\nano4Digitos=S\r\n");
  writeFile(workDir() / "caixa.chq", exampleLedger());
  const runnertest::RunResult r = run("X \"   extrato.txt\" Enter Esc");
  ASSERT_EQ(r.code, 0);
  EXPECT_EQ(fileText(workDir() / "extrato.txt"), "Talonix - Caixa\r\n" + kHeader + "\r\n" +
                                                     kRule + "\r\n" + kOpeningLine + "\r\n" +
                                                     kChequeLine + "\r\n");
  EXPECT_EQ(fileText(workDir() / "caixa.chq"), exampleLedger());
  EXPECT_TRUE(r.mentions("say Informe o nome do arquivo TXT a gerar"));
  EXPECT_TRUE(r.mentions("say OK."));
}

}  // namespace
