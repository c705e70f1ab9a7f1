// The bank-entry form: what the user sees and hears, the checks of date,
// value and debit/credit, giving up after an error, the confirmation, and
// what L appends to the ledger file. The way back to the form after an
// error is followed end to end in the scenario tests.
#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/entry_form.h"
#include "browser_fixture.h"

namespace {

using ledgertest::Lines;
using ledgertest::openingEntry;
using ledgertest::storedEntry;

const char kDateError[] = "Campo data est\xE1 com erro, aperte enter";
const char kConfirm[] = "Confirma lan\xE7" "amento? ";
const char kRegistered[] = "Lan\xE7" "amento foi registrado";

class EntryFormTest : public ledgertest::LedgerUiFixture {
 protected:
  void SetUp() override {
    LedgerUiFixture::SetUp();
    writeLedger(openingEntry());
  }
};

TEST_F(EntryFormTest, ChecksDateThenValueThenLetterAndTheFirstFailureWins) {
  EXPECT_EQ(checkEntry("29/02/2025", "150,00", "d"), kEntryAcceptable);
  EXPECT_EQ(checkEntry("29/02/2025", "150.00", "C"), kEntryAcceptable);
  EXPECT_EQ(checkEntry("29/02/2025", "0,00", ""), kEntryAcceptable);
  EXPECT_EQ(checkEntry("29/02/2025", "1,00", "credito"), kEntryAcceptable);
  EXPECT_EQ(checkEntry("30/02/2025", "lixo", "x"), kEntryBadDate);
  EXPECT_EQ(checkEntry("", "150,00", "D"), kEntryBadDate);
  EXPECT_EQ(checkEntry("01/01/2025", "150,5", "x"), kEntryBadValue);
  EXPECT_EQ(checkEntry("01/01/2025", "1.500,00", "D"), kEntryBadValue);
  EXPECT_EQ(checkEntry("01/01/2025", "150", "D"), kEntryBadValue);
  EXPECT_EQ(checkEntry("01/01/2025", "150,00", "x"), kEntryBadDebitCredit);
  EXPECT_EQ(checkEntry("01/01/2025", "150,00", " D"), kEntryBadDebitCredit);
}

TEST_F(EntryFormTest, NewEntryIsDatedTodayCompletedAndAppendedAsTyped) {
  keys("Down \"Deposito\" Down \"150\" Down \"d\" Down \"12\" Esc Enter");
  run(registerBankEntry);

  EXPECT_EQ(screenRow(1), "Talonix");
  EXPECT_EQ(screenRow(3), "Preencha o formul\xE1rio com o lan\xE7" "amento a registrar");
  EXPECT_EQ(screenRow(4), "Os campos com * s\xE3o opcionais");
  EXPECT_EQ(screenRow(5), "Termine com ESC");
  EXPECT_EQ(screenRow(6), std::string(23, ' ') + "Data 02/03/2024");
  EXPECT_EQ(screenRow(13), std::string(16, ' ') + "*Finalidade");
  const Lines s = said();
  ASSERT_TRUE(wasSaid("02/03/2024"));  // the date field as reached
  EXPECT_TRUE(wasSaid("*N\xFAmero de S\xE9rie"));
  EXPECT_TRUE(wasSaid(kConfirm));
  EXPECT_EQ(s.back(), kRegistered);
  EXPECT_EQ(ledgerFile(), openingEntry() + storedEntry({"02/03/2024", "Deposito",
                                                        "150,00", "d", "12"}));
}

TEST_F(EntryFormTest, EscAfterAnErrorGivesUpAndWritesNothing) {
  keys("\"30/02/2025\" Down Down \"1\" Esc Esc");
  run(registerBankEntry);
  EXPECT_TRUE(wasSaid(kDateError));
  EXPECT_EQ(said().back(), "Desistiu...");
  EXPECT_FALSE(wasSaid(kConfirm));
  EXPECT_EQ(ledgerFile(), openingEntry());
}

TEST_F(EntryFormTest, NoOrEscAtTheConfirmationKeepsTheFileAsItWas) {
  keys("Down Down \"10\" Esc n");
  run(registerBankEntry);
  EXPECT_EQ(said().back(), kConfirm);
  keys("Down Down \"10\" Esc Esc");
  run(registerBankEntry);
  EXPECT_EQ(ledgerFile(), openingEntry());
}

TEST_F(EntryFormTest, EditingChangesTheEntryInPlaceAndAnyOtherKeyConfirms) {
  LedgerEntry entry{"05/03/2024", "Cheque", "10,00", "D", "", "77", "Fulano", ""};
  keys("Down Down \"99\" Esc Space");
  bool confirmed = false;
  run([&] { confirmed = editEntry(entry); });
  EXPECT_TRUE(confirmed);
  EXPECT_EQ(entry, (LedgerEntry{"05/03/2024", "Cheque", "99,00", "D", "", "77",
                                "Fulano", ""}));
  EXPECT_TRUE(wasSaid("10,00"));  // existing values are read out as reached

  keys("Esc N");
  run([&] { confirmed = editEntry(entry); });
  EXPECT_FALSE(confirmed);
  EXPECT_EQ(entry.value, "99,00");
  EXPECT_EQ(ledgerFile(), openingEntry());  // editing alone never writes
}

}  // namespace
