// The bank-entry form and the browser end to end: the built runner driven
// by key scripts on the factory bank, checked by what the user hears, what
// the screen shows and what the ledger file holds.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/shared/codepage.h"
#include "tests/ledger_text.h"
#include "tests/runner_fixture.h"
#include "tests/test_files.h"

namespace {

using ledgertext::openingEntry;
using ledgertext::storedEntry;
using runnertest::after;
using runnertest::consecutive;
using runnertest::inOrder;
using runnertest::Lines;
using runnertest::RunResult;
using runnertest::without;
using testfiles::readAll;

namespace fs = std::filesystem;

std::string u8(const std::string& cp1252) { return plat::cp1252ToUtf8(cp1252); }

const std::string kOpening = openingEntry();

const std::string kRegistered = "say " + u8("Lan\xE7" "amento foi registrado");
const std::string kConfirm = "say " + u8("Confirma lan\xE7" "amento? ");
const std::string kValueError = "say " + u8("Campo valor est\xE1 com erro, aperte enter");
const std::string kDateError = "say " + u8("Campo data est\xE1 com erro, aperte enter");
const std::string kLetterError =
    "say " + u8("Campo d\xE9" "bito/cr\xE9" "dito est\xE1 com erro, aperte enter");

class EntryBrowserScenarioTest : public runnertest::RunnerFixture {
 protected:
  fs::path ledger() const { return workDir() / "brasil.chq"; }

  // The run's speech without pauses and clicks; the clock on a fixed day.
  RunResult run(const std::string& script) {
    RunResult r = RunnerFixture::run(script, {"--now", "2025-03-07T10:00"});
    EXPECT_EQ(r.code, 0);
    r.speech = without(r.speech, {"pause", "click"});
    return r;
  }
};

// --- The bank-entry command (L) --------------------------------------------

TEST_F(EntryBrowserScenarioTest, AnEntryIsDatedTodayCompletedAndAppendedAsTyped) {
  const RunResult r = run("l Down \"Deposito\" Down \"150\" Down \"d\" Esc Enter Esc");
  EXPECT_TRUE(inOrder(r.speech, {"say Data", "say 07/03/2025", kConfirm, kRegistered}));
  EXPECT_EQ(readAll(ledger()),
            kOpening + storedEntry({"07/03/2025", "Deposito", "150,00", "d"}));
}

TEST_F(EntryBrowserScenarioTest, AWrongValueReturnsToTheFormWithWhatWasTypedOrGivesUp) {
  const RunResult r = run("l Down Down \"150,5\" Esc  Enter Down Down Esc  Esc  Esc");
  EXPECT_EQ(r.count(kValueError), 2);
  EXPECT_TRUE(inOrder(r.after(kValueError),
                      {"say Valor", "say 150,5", kValueError, "say Desistiu..."}));
  EXPECT_FALSE(r.said(kConfirm));
  EXPECT_EQ(readAll(ledger()), kOpening);
}

TEST_F(EntryBrowserScenarioTest, DatesAndLettersAreCheckedAndNoAtTheConfirmationDrops) {
  const RunResult r = run(
      "l \"30/02/2025\" Down Down \"10\" Esc "          // no 30 February
      "Enter \"29/02/2025\" Down Down Down \"x\" Esc "  // leap day taken, x refused
      "Enter Down Down Down \"D\" Esc n "               // all good, but N
      "l Down Down \"5\" Esc Enter Esc");
  EXPECT_EQ(r.count(kDateError), 1);
  EXPECT_EQ(r.count(kLetterError), 1);
  EXPECT_EQ(r.count(kConfirm), 2);
  EXPECT_EQ(r.count(kRegistered), 1);
  EXPECT_EQ(readAll(ledger()), kOpening + storedEntry({"07/03/2025", "", "5,00", " "}));
}

TEST_F(EntryBrowserScenarioTest, TheFormsFieldsAreTypedAndCorrectedWithTheLineEditor) {
  const RunResult r = run(
      "l Down "
      "\"Chequx\" Backspace \"e\" Home Shift+Right Shift+Right Shift+Right Ctrl+C Down "
      "\"150\" Down \"D\" Down "
      "\"999\" Ctrl+Y \"12\" Down "
      "\"77\" Ctrl+U \"345\" Down "
      "\"CPF 123 casa\" Home F1 F1 F1 F1 Home Ctrl+Right Ctrl+Right \"a \" Down "
      "Ctrl+V Esc Enter Esc");
  EXPECT_EQ(readAll(ledger()),
            kOpening + storedEntry({"07/03/2025", "Cheque", "150,00", "D", "12", "345",
                                    "CPF 123 a casa", "Che"}));
  EXPECT_TRUE(r.said("sound _CPOAPA"));
  const Lines payee = r.after("say *Favorecido");
  EXPECT_TRUE(consecutive(payee, {"char 67", "char 80", "char 70", "say 123"}));
  EXPECT_TRUE(inOrder(after(payee, "say 123"), {"say casa", "beep"}));
  EXPECT_TRUE(r.said(kRegistered));
}

// --- The browser (F) --------------------------------------------------------

// Three entries appended out of date order: a credit of 100,00 typed with a
// lower-case c, a debit of 2,00 on 10/03 and a debit of 150,00 on 05/03.
const std::string kThreeEntries =
    "l \"01/03/2025\" Down \"Deposito\" Down \"100\" Down \"c\" Esc Enter "
    "l \"10/03/2025\" Down \"Tarifa\" Down \"2\" Down \"d\" Down Down Down "
    "\"Mercado Novo\" Esc Enter "
    "l \"05/03/2025\" Down \"Cheque\" Down \"150\" Down \"D\" Down \"12\" Down \"345\" "
    "Down \"MERCADO CENTRAL\" Esc Enter ";

TEST_F(EntryBrowserScenarioTest, TheListShowsRunningBalancesAndTheSummaryIsHeard) {
  // The keys run out inside the browser: the screen is the browser's.
  const RunResult r = run(kThreeEntries + "f Down Down Down");
  ASSERT_EQ(r.screen.size(), 25u);
  EXPECT_EQ(r.screen[0], "Talonix - Banco do Brasil");
  EXPECT_EQ(r.screen[4], "01/03/2025  Deposito" + std::string(24, ' ') + "100,00" +
                             std::string(11, ' ') + "100,00");
  EXPECT_EQ(r.screen[5], "05/03/2025  Cheque" + std::string(26, ' ') + "150,00" +
                             std::string(11, ' ') + "-50,00");
  EXPECT_EQ(r.screen[6], "10/03/2025  Tarifa" + std::string(28, ' ') + "2,00" +
                             std::string(11, ' ') + "-52,00");
  EXPECT_EQ(r.screen[16], u8("150,00 D\xE9" "bito"));
  EXPECT_EQ(r.screen[17], "Favorecido: MERCADO CENTRAL");
  // Numbers are also heard as number words between the texts.
  EXPECT_TRUE(inOrder(r.speech, {"say 05/03", "say Cheque", "say 150", "say saldo",
                         "say 50 negativo"}));
}

TEST_F(EntryBrowserScenarioTest, SearchBalanceRemoveAndEscSavesSorted) {
  run(kThreeEntries + "Esc");
  const RunResult r = run(
      "f F5 \"mercado\" Enter "   // MERCADO CENTRAL
      "Ctrl+F5 "                  // Mercado Novo
      "Ctrl+F5 "                  // no more
      "Up S Down "                // Up ends the wait; the final balance
      "R S Esc Esc");             // the 10/03 entry removed
  EXPECT_TRUE(inOrder(r.speech, {"say " + u8("Qual o texto buscado? "), "say Achou", "say 05/03",
                         "say Achou", "say 10/03", "say " + u8("N\xE3o achou")}));
  EXPECT_TRUE(consecutive(r.speech, {"say Saldo final: ", "say 52 negativo"}));
  EXPECT_TRUE(r.said("say " + u8("Confirma remo\xE7\xE3o? ")));
  EXPECT_EQ(readAll(ledger()),
            kOpening + storedEntry({"01/03/2025", "Deposito", "100,00", "C"}) +
                storedEntry({"05/03/2025", "Cheque", "150,00", "D", "12", "345",
                             "MERCADO CENTRAL"}));
}

// The key that ends the wait after the final balance or "Não achou" is the
// next command, also where no entry is current: it is not thrown away by
// the attention tone.
TEST_F(EntryBrowserScenarioTest, TheKeyEndingAWaitActsWhereNoEntryIsCurrent) {
  run(kThreeEntries + "Esc");
  const RunResult r = run(
      "f S Down "                            // at the start: Down reaches the opening entry
      "Ctrl+PgDn Down F5 \"zzz\" Enter Up "  // past the end: Up reaches the last
      "Esc Esc");
  // The first entry is the opening balance, without a date.
  EXPECT_TRUE(inOrder(after(r.speech, "say 52 negativo"), {"say Saldo Anterior", "say saldo"}));
  EXPECT_TRUE(consecutive(r.speech, {"say " + u8("N\xE3o achou"), "say 10/03"}));
  EXPECT_EQ(r.count("beep"), 1);  // only Down past the last entry
}

}  // namespace
