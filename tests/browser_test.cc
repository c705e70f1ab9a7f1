// The ledger browser: the list with running balances, the detail pane, the
// summary and details heard, moving, searching, removing, editing, adding,
// the final balance, the help, and what the browse command saves.
#include <gtest/gtest.h>

#include "app/commands.h"
#include "browser_fixture.h"

namespace {

using ledgertest::Lines;
using ledgertest::openingEntry;
using ledgertest::SeenScreen;
using ledgertest::storedEntry;

const char kNotFound[] = "N\xE3o achou";
const char kLoadError[] = "Arquivo de lan\xE7" "amentos est\xE1 vazio ou n\xE3o foi achado.";

class BrowserTest : public ledgertest::LedgerUiFixture {
 protected:
  // The opening entry, a credit of 100,00, a debit of 150,00 and a debit
  // written with a lower-case d.
  void fourEntries() {
    addLedgerEntry({std::string(10, ' '), "Saldo Anterior", "0,00", "C", "", "", "",
                    "Saldo Anterior"});
    addLedgerEntry({"01/03/2024", "Deposito", "100,00", "C", "", "", "Empresa", ""});
    addLedgerEntry({"05/03/2024", "Cheque", "150,00", "D", "12", "345",
                    "MERCADO CENTRAL", "compras"});
    addLedgerEntry({"06/03/2024", "Cheque", "20,00", "d", "", "", "Mercado Novo",
                    "presta\xE7\xE3o"});
  }
  void numberedEntries(int n) {
    for (int i = 1; i <= n; ++i) {
      addLedgerEntry({"01/03/2024", "Doc" + std::to_string(i), "1,00", "C", "", "", "", ""});
    }
  }
  void browse(const std::string& script) {
    keys(script);
    run(runBrowser);
  }
};

TEST_F(BrowserTest, ListShowsRunningBalancesDetailsAndTheCurrentEntryInWhite) {
  fourEntries();
  forget();
  browse("Down Down Down Esc");
  const SeenScreen& s = seenBeforeKey(3);
  EXPECT_EQ(s.rows[0], "Talonix - Banco Teste");
  EXPECT_EQ(s.rows[1],
            "Data         Documento                        Valor           Saldo");
  EXPECT_EQ(s.rows[2], std::string(67, '-'));
  EXPECT_EQ(s.rows[3], std::string(12, ' ') + "Saldo Anterior" + std::string(20, ' ') +
                           "0,00" + std::string(13, ' ') + "0,00");
  EXPECT_EQ(s.rows[4], "01/03/2024  Deposito" + std::string(24, ' ') + "100,00" +
                           std::string(11, ' ') + "100,00");
  EXPECT_EQ(s.rows[5], "05/03/2024  Cheque" + std::string(26, ' ') + "150,00" +
                           std::string(11, ' ') + "-50,00");
  EXPECT_EQ(s.rows[7], "");
  EXPECT_EQ(s.foreground(1, 6), 15);
  EXPECT_EQ(s.foreground(1, 5), 7);
  EXPECT_EQ(s.foreground(45, 7), 7);

  EXPECT_EQ(s.rows[14], std::string(69, '-'));
  const std::vector<std::string> pane(s.rows.begin() + 15, s.rows.begin() + 23);
  EXPECT_EQ(pane, (std::vector<std::string>{
                      "Cheque", "150,00 D\xE9" "bito", "Favorecido: MERCADO CENTRAL",
                      "Finalidade: compras", "Data: 05/03/2024", "S\xE9rie: 12",
                      "N\xFAmero: 345", ""}));
  EXPECT_TRUE(saidRun({"05/03", "Cheque", "150", "saldo", "50 negativo"}));
  EXPECT_TRUE(saidRun({"01/03", "Deposito", "100", "saldo", "100"}));
  EXPECT_EQ(screenRow(1), "");  // ESC leaves a clear screen
}

TEST_F(BrowserTest, LowerCaseDebitShowsAndSaysNoMarkButCountsAsADebit) {
  fourEntries();
  browse("Ctrl+PgDn Enter Esc");
  const SeenScreen& s = seenBeforeKey(1);
  EXPECT_EQ(s.rows[6].substr(45), "20,00" + std::string(11, ' ') + "-70,00");
  EXPECT_EQ(s.rows[16], "20,00");
  EXPECT_TRUE(saidRun({"06/03", "Cheque", "20", "saldo", "70 negativo"}));
  // ENTER reads everything and the summary is not said again after it.
  EXPECT_TRUE(saidRun({"Cheque", "20,00", "Favorecido: Mercado Novo",
                       "Finalidade: presta\xE7\xE3o", "Data: 06/03/2024"}));
  EXPECT_EQ(said().back(), "Data: 06/03/2024");
  EXPECT_EQ(seenBeforeKey(2).rows[16], "20,00");
}

TEST_F(BrowserTest, MovesStopAtEitherEndWithTheToneAndScrollTheList) {
  numberedEntries(25);
  browse("Up Ctrl+PgDn PgUp Ctrl+PgUp PgDn PgDn PgDn Down Ctrl+PgDn Down Down Esc");
  const auto firstRow = [&](size_t k) { return seenBeforeKey(k).rows[3].substr(12, 5); };
  EXPECT_EQ(seenBeforeKey(1).rows[2], std::string(67, '-'));
  EXPECT_EQ(firstRow(2), "Doc16");   // at 25: entries 16..25 shown
  EXPECT_EQ(seenBeforeKey(2).rows[12].substr(12, 5), "Doc25");
  EXPECT_EQ(seenBeforeKey(2).foreground(1, 13), 15);
  EXPECT_EQ(firstRow(3), "Doc15");   // at 15
  EXPECT_EQ(firstRow(4), "Doc1 ");   // at 1
  EXPECT_EQ(firstRow(6), "Doc12");   // at 21 after two PgDn
  EXPECT_EQ(browserState().current, 26u);
  const Lines s = said();
  // Up at 0; past the end after a PgDn, a Down and two more Downs.
  EXPECT_EQ(std::count(s.begin(), s.end(), "<beep>"), 5);
  EXPECT_TRUE(saidRun({"01/03", "Doc25", "1", "saldo", "25"}));
}

TEST_F(BrowserTest, SearchFindsUpperCaseTextsAndSearchingAgainGoesOnOrFails) {
  fourEntries();
  forget();
  browse("F5 \"mercado\" Enter Ctrl+F5 Ctrl+F5 Down Esc");
  EXPECT_TRUE(saidRun({"Qual o texto buscado? "}));
  EXPECT_TRUE(saidRun({"Achou", "05/03", "Cheque"}));
  EXPECT_TRUE(saidRun({"Achou", "06/03", "Cheque"}));
  // Not found: the current entry stays and the next key is the next command.
  const SeenScreen& waiting = seenBeforeKey(11);  // F5, 7 letters, Enter, 2 Ctrl+F5
  EXPECT_EQ(waiting.rows[21], kNotFound);
  EXPECT_EQ(waiting.foreground(1, 7), 15);
  EXPECT_EQ(browserState().current, 5u);
  EXPECT_EQ(browserState().searchText, "mercado");
}

TEST_F(BrowserTest, SearchMatchesAccentedLettersAndEscSearchesNothing) {
  fourEntries();
  browse("P \"PRESTA\xC3\x87\xC3\x83O\" Enter Esc");
  EXPECT_EQ(browserState().current, 4u);
  resetBrowser();
  browse("Down P Esc Esc");
  EXPECT_EQ(browserState().current, 1u);
  EXPECT_EQ(browserState().searchText, "");
  EXPECT_FALSE(wasSaid(kNotFound));
  // A new search starts at the current entry itself.
  browse("Down Down Down P \"mercado\" Enter Esc");
  EXPECT_EQ(browserState().current, 3u);
}

TEST_F(BrowserTest, SearchingAgainWithNoTextYetAsksForOne) {
  fourEntries();
  browse("Ctrl+F5 \"mercado\" Enter Esc");
  EXPECT_TRUE(wasSaid("Qual o texto buscado? "));
  EXPECT_EQ(browserState().current, 3u);
}

TEST_F(BrowserTest, RemovingAsksAndOnlySRemoves) {
  fourEntries();
  browse("Down Down Down R n F7 s Ctrl+PgDn R S Esc");
  EXPECT_TRUE(wasSaid("Confirma remo\xE7\xE3o? "));
  EXPECT_TRUE(wasSaid("Desistiu..."));
  ASSERT_EQ(ledgerCount(), 2u);
  EXPECT_EQ(ledgerEntry(2).documentType, "Deposito");
  EXPECT_EQ(browserState().current, 3u);  // the removed last entry: past the end
  EXPECT_EQ(said().back(), "<beep>");
}

TEST_F(BrowserTest, FinalBalanceWaitsForAKeyThatIsThenTheNextCommand) {
  fourEntries();
  forget();
  browse("Down S Down Esc");
  EXPECT_EQ(seenBeforeKey(2).rows[21], "Saldo final: 70 negativo");
  EXPECT_TRUE(saidRun({"Saldo final: ", "70 negativo"}));
  EXPECT_TRUE(saidRun({"01/03", "Deposito", "100", "saldo", "100"}));
  EXPECT_EQ(browserState().current, 2u);
}

TEST_F(BrowserTest, EditingResortsAndANewEntryIsDatedToday) {
  fourEntries();
  browse("Down Down E \"10/03/2024\" Esc Enter "
         "N Down \"Saque\" Down \"30\" Down \"D\" Esc Enter Esc");
  ASSERT_EQ(ledgerCount(), 5u);
  EXPECT_EQ(ledgerEntry(2).documentType, "Saque");
  EXPECT_EQ(ledgerEntry(2).date, "02/03/2024");
  EXPECT_EQ(ledgerEntry(2).value, "30,00");
  EXPECT_EQ(ledgerEntry(5).documentType, "Deposito");
  EXPECT_EQ(ledgerEntry(5).date, "10/03/2024");
  EXPECT_DOUBLE_EQ(balanceUpTo(5), -100.0);
  // After the form the browser is drawn whole again.
  EXPECT_EQ(seenBeforeKey(15).rows[0], "Talonix - Banco Teste");
  EXPECT_EQ(seenBeforeKey(15).rows[13], "");
}

TEST_F(BrowserTest, EditOrRemoveWithNoCurrentEntryDoNothing) {
  fourEntries();
  browse("E R Space Esc");
  EXPECT_EQ(ledgerCount(), 4u);
  const Lines s = said();
  EXPECT_EQ(std::count(s.begin(), s.end(), "<beep>"), 3);
  EXPECT_FALSE(wasSaid("Confirma remo\xE7\xE3o? "));
}

TEST_F(BrowserTest, HelpIsSpokenAndStaysWrittenBelowTheList) {
  fourEntries();
  forget();
  browse("Down F1 Down Esc");
  EXPECT_TRUE(saidRun({"Op\xE7\xF5" "es de folheamento:", "E - editar",
                       "R - remover lan\xE7" "amento", "N - novo lan\xE7" "amento",
                       "S - saldo final", "F5 - procura um lan\xE7" "amento",
                       "CTL F5 - procura pr\xF3ximo", "ESC - termina"}));
  const SeenScreen& help = seenBeforeKey(2);
  EXPECT_EQ(help.rows[14], std::string(59, '-'));
  EXPECT_EQ(help.rows[15], "Op\xE7\xF5" "es de folheamento:");
  EXPECT_EQ(help.rows[22], "ESC - termina");
  EXPECT_EQ(help.rows[0], "Talonix - Banco Teste");
  EXPECT_EQ(help.rows[3].substr(12, 14), "Saldo Anterior");
  // The next key brings the detail pane back.
  EXPECT_EQ(seenBeforeKey(3).rows[15], "Deposito");
}

class BrowseCommandTest : public ledgertest::LedgerUiFixture {};

TEST_F(BrowseCommandTest, EscRewritesTheFileSortedWithUpperCaseLetters) {
  writeLedger(openingEntry() +
              storedEntry({"05/03/2024", "Cheque", "150,00", "d", "12"}) +
              storedEntry({"01/03/2024", "Deposito", "100,00", "c"}) +
              storedEntry({"05/03/2024", "Deposito", "5,00", "C"}));
  keys("Down Esc");
  run(browseEntries);
  EXPECT_EQ(ledgerFile(), openingEntry() +
                              storedEntry({"01/03/2024", "Deposito", "100,00", "C"}) +
                              storedEntry({"05/03/2024", "Deposito", "5,00", "C"}) +
                              storedEntry({"05/03/2024", "Cheque", "150,00", "D", "12"}));
  EXPECT_EQ(ledgerCount(), 0u);  // the list is freed after the command
}

TEST_F(BrowseCommandTest, ALedgerThatCannotBeReadIsNeitherBrowsedNorReplaced) {
  run(browseEntries);  // no file at all: no key is read
  EXPECT_EQ(said().back(), kLoadError);
  EXPECT_FALSE(std::filesystem::exists(ledgerPath()));

  std::filesystem::create_directories(ledgerPath());  // a directory in its place
  forget();
  run(browseEntries);
  EXPECT_EQ(said().back(), kLoadError);
  EXPECT_TRUE(std::filesystem::is_directory(ledgerPath()));
}

TEST_F(BrowseCommandTest, ClosingTheWindowInTheBrowserKeepsItsChanges) {
  writeLedger(openingEntry() + storedEntry({"05/03/2024", "Cheque", "150,00", "D"}));
  keys("Down Down R S");  // then the user closes the window
  EXPECT_THROW(browseEntries(), plat::ExitRequest);
  EXPECT_EQ(ledgerFile(), openingEntry());
  EXPECT_EQ(consoleState().beforeClose, nullptr);
}

TEST_F(BrowseCommandTest, WithoutALedgerFileNameItSaysSo) {
  currentBank().ledgerFile.clear();
  run(browseEntries);
  EXPECT_EQ(said().back(), "Nome do arquivo de lan\xE7" "amentos n\xE3o foi definido.");
}

TEST_F(BrowseCommandTest, ALedgerOfMoreThanTwoThousandEntriesKeepsThemAll) {
  std::string bytes = openingEntry();
  for (int i = 0; i < 2500; ++i) {
    bytes += storedEntry({"01/01/2025", "Doc" + std::to_string(i), "1,00", "C"});
  }
  writeLedger(bytes);
  forget();
  keys("Ctrl+PgDn Esc");
  run(browseEntries);
  EXPECT_TRUE(saidRun({"01/01", "Doc2499", "1", "saldo", "2500"}));
  EXPECT_EQ(ledgerFile(), bytes);
}

}  // namespace
