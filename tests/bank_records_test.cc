// Bank records: value formats, a bank's section read and written, the
// family settings values, and the ledger file's creation.
#include "app/bank_records.h"

#include <algorithm>

#include "app/ledger_file.h"
#include "tests/speech_fixture.h"
#include "tests/test_files.h"

namespace {

namespace fs = std::filesystem;
using speechtest::Lines;

using testfiles::readAll;
using testfiles::writeFile;

class BankRecordsTest : public speechtest::SpeechFixture {
 protected:
  void SetUp() override {
    SpeechFixture::SetUp();
    initSpeech(0, (workDir() / "som").string());
    resetBankRecords();
  }
  std::string bankValue(const std::string& bank, const char* key) {
    char buffer[512] = {};
    size_t n = plat::profile().getPrivateProfileString(
        bank.c_str(), key, "<absent>", buffer, sizeof buffer, "TALONIX.INI");
    return std::string(buffer, n);
  }
  fs::path programIni() const { return configDir() / "TALONIX.INI"; }
  bool said(const std::string& line) const {
    Lines h = heard();
    return std::find(h.begin(), h.end(), line) != h.end();
  }
};

// --- Value formats -----------------------------------------------------------

TEST(SettingValueTest, BooleansAreFalseOnlyForALeadingN) {
  EXPECT_FALSE(parseSettingBool("N"));
  EXPECT_FALSE(parseSettingBool("n"));
  EXPECT_FALSE(parseSettingBool("Nao"));
  EXPECT_TRUE(parseSettingBool("S"));
  EXPECT_TRUE(parseSettingBool("x"));
  EXPECT_TRUE(parseSettingBool(""));
  EXPECT_TRUE(parseSettingBool(" N"));
  EXPECT_STREQ(formatSettingBool(true), "S");
  EXPECT_STREQ(formatSettingBool(false), "N");
}

TEST(SettingValueTest, PointsReadTwoSignedNumbersSkippingOtherText) {
  EXPECT_EQ(parseSettingPoint("130,0"), (LayoutPoint{130, 0}));
  EXPECT_EQ(parseSettingPoint("-3,2"), (LayoutPoint{-3, 2}));
  EXPECT_EQ(parseSettingPoint("x=12; y=-7"), (LayoutPoint{12, -7}));
  EXPECT_EQ(parseSettingPoint("5"), (LayoutPoint{5, 0}));
  EXPECT_EQ(parseSettingPoint(""), (LayoutPoint{0, 0}));
  EXPECT_EQ(parseSettingPoint("abc,def"), (LayoutPoint{0, 0}));
  EXPECT_EQ(parseSettingPoint("-,4"), (LayoutPoint{0, 4}));
  EXPECT_EQ(formatSettingPoint({130, 0}), "130,0");
  EXPECT_EQ(formatSettingPoint({-3, 2}), "-3,2");
}

TEST(SettingValueTest, HugePointNumbersSaturateInsteadOfOverflowing) {
  EXPECT_EQ(parseSettingPoint("99999999999999999999999,-99999999999999999999"),
            (LayoutPoint{INT32_MAX, INT32_MIN}));
  EXPECT_EQ(parseSettingPoint(std::string(1000, '9')).x, INT32_MAX);
  EXPECT_EQ(parseSettingPoint("2147483647,-2147483648"),
            (LayoutPoint{INT32_MAX, INT32_MIN}));
}

TEST(SettingValueTest, LayoutPointsAreReachedInStorageOrder) {
  ChequeLayout layout;
  layout.value = {1, 2};
  layout.year = {3, 4};
  EXPECT_STREQ(layoutKey(0), "ajusteMM");
  EXPECT_STREQ(layoutKey(1), "posValor");
  EXPECT_STREQ(layoutKey(8), "posAno");
  EXPECT_STREQ(layoutKey(9), "posCruzamento");
  EXPECT_STREQ(layoutKey(10), "fimCruzamento");
  EXPECT_STREQ(layoutKey(11), "");
  EXPECT_EQ(*layoutPoint(layout, 1), (LayoutPoint{1, 2}));
  EXPECT_EQ(*layoutPoint(layout, 8), (LayoutPoint{3, 4}));
  EXPECT_EQ(layoutPoint(layout, -1), nullptr);
  EXPECT_EQ(layoutPoint(layout, 11), nullptr);
}

// --- A bank's section --------------------------------------------------------

TEST_F(BankRecordsTest, FactoryPositionsResetEveryPointAdjustmentIncluded) {
  currentBank().layout.adjustment = {5, 5};
  currentBank().layout.value = {1, 1};
  setFactoryPositions();
  const ChequeLayout& l = currentBank().layout;
  EXPECT_EQ(l.adjustment, (LayoutPoint{0, 0}));
  EXPECT_EQ(l.value, (LayoutPoint{130, 0}));
  EXPECT_EQ(l.words1, (LayoutPoint{26, 6}));
  EXPECT_EQ(l.words2, (LayoutPoint{8, 12}));
  EXPECT_EQ(l.payee, (LayoutPoint{8, 18}));
  EXPECT_EQ(l.city, (LayoutPoint{70, 25}));
  EXPECT_EQ(l.day, (LayoutPoint{108, 25}));
  EXPECT_EQ(l.month, (LayoutPoint{125, 25}));
  EXPECT_EQ(l.year, (LayoutPoint{157, 25}));
}

TEST_F(BankRecordsTest, RegisterWritesTheFactoryBankAndListsIt) {
  currentBank().printLyingDown = false;
  registerBank("Itau", "/contas/itau.chq");
  EXPECT_EQ(bankValue("Bancos", "Itau"), "");
  EXPECT_EQ(bankValue("Itau", "arquivoLanc"), "/contas/itau.chq");
  EXPECT_EQ(bankValue("Itau", "ano4Digitos"), "S");
  EXPECT_EQ(bankValue("Itau", "imprimeDeitado"), "S");
  EXPECT_EQ(bankValue("Itau", "ajusteMM"), "0,0");
  EXPECT_EQ(bankValue("Itau", "posValor"), "130,0");
  EXPECT_EQ(bankValue("Itau", "posAno"), "157,25");
  const std::string text = readAll(programIni());
  EXPECT_LT(text.find("arquivoLanc"), text.find("ano4Digitos"));
  EXPECT_LT(text.find("imprimeDeitado"), text.find("ajusteMM"));
  EXPECT_LT(text.find("posMes"), text.find("posAno"));
}

TEST_F(BankRecordsTest, SavedBankReadsBackAndBecomesCurrent) {
  BankProfile& bank = currentBank();
  bank.ledgerFile = "/contas/caixa.chq";
  bank.yearFourDigits = false;
  bank.printLyingDown = true;
  bank.layout.payee = {-3, 2};
  bank.layout.adjustment = {-1, -1};
  saveBank("Caixa");
  const BankProfile saved = bank;
  resetBankRecords();
  loadBank("Caixa");
  EXPECT_EQ(currentBank().ledgerFile, saved.ledgerFile);
  EXPECT_FALSE(currentBank().yearFourDigits);
  EXPECT_TRUE(currentBank().printLyingDown);
  EXPECT_EQ(currentBank().layout, saved.layout);
  EXPECT_EQ(currentBank().layout.payee, (LayoutPoint{-3, 2}));
  EXPECT_EQ(currentBankName(), "Caixa");
  EXPECT_EQ(readProgramFamilyValue("BANCOATUAL"), "Caixa");
}

TEST_F(BankRecordsTest, SaveWithAnEmptyNameWritesNothing) {
  saveBank("");
  EXPECT_FALSE(fs::exists(programIni()));
}

TEST_F(BankRecordsTest, MissingKeysTakeTheirDefaults) {
  writeIni(programIni(), {"[Bancos]", "Vazio=", "[Vazio]"});
  currentBank().ledgerFile = "old";
  loadBank("Vazio");
  EXPECT_EQ(currentBank().ledgerFile, "");
  EXPECT_TRUE(currentBank().yearFourDigits);
  EXPECT_FALSE(currentBank().printLyingDown);
  // The nine old points read 0,0; a bank saved before crossed cheques were
  // printed gets the factory crossing.
  ChequeLayout expected;
  expected.crossingStart = factoryLayout().crossingStart;
  expected.crossingEnd = factoryLayout().crossingEnd;
  EXPECT_EQ(currentBank().layout, expected);
  EXPECT_NE(expected.crossingStart, (LayoutPoint{0, 0}));
  EXPECT_EQ(currentBankName(), "Vazio");
}

TEST_F(BankRecordsTest, FlagsFollowTheFirstLetterRule) {
  writeIni(programIni(), {"[A]", "ano4Digitos=nao", "imprimeDeitado=x",
                          "[B]", "ano4Digitos=", "imprimeDeitado=n",
                          "[C]", "imprimeDeitado="});
  loadBank("A");
  EXPECT_FALSE(currentBank().yearFourDigits);
  EXPECT_TRUE(currentBank().printLyingDown);
  loadBank("B");
  EXPECT_TRUE(currentBank().yearFourDigits);
  EXPECT_FALSE(currentBank().printLyingDown);
  loadBank("C");
  EXPECT_TRUE(currentBank().printLyingDown);  // present but empty
}

TEST_F(BankRecordsTest, ALongLedgerPathIsReadBackWhole) {
  const std::string path = "/" + std::string(150, 'd') + "/conta.chq";
  registerBank("Longo", path);
  currentBank().ledgerFile.clear();
  loadBank("Longo");
  EXPECT_EQ(currentBank().ledgerFile, path);
}

TEST_F(BankRecordsTest, GarbageValuesLoadWithinTheirLimits) {
  const std::string name(255, 'B');
  writeIni(programIni(),
           {"[" + name + "]", "arquivoLanc=" + std::string(1000, 'f'),
            "ano4Digitos=" + std::string(1000, 'N'), "posValor=abc;def",
            "posDia=--", "posAno=12,34,56,-78", "ajusteMM=" + std::string(900, '7')});
  loadBank(name);
  EXPECT_EQ(currentBankName(), name);
  EXPECT_LE(currentBank().ledgerFile.size(), kShortTextLength);
  EXPECT_EQ(currentBank().layout.value, (LayoutPoint{0, 0}));
  EXPECT_EQ(currentBank().layout.day, (LayoutPoint{0, 0}));
  EXPECT_EQ(currentBank().layout.year, (LayoutPoint{12, 34}));
  EXPECT_EQ(currentBank().layout.adjustment.x, INT32_MAX);
}

TEST_F(BankRecordsTest, OverlongBankNamesAreCutToAShortText) {
  const std::string longName(1000, 'L');
  currentBank().layout.day = {4, 5};
  saveBank(longName);
  resetBankRecords();
  loadBank(longName);
  EXPECT_EQ(currentBankName(), longName.substr(0, kShortTextLength));
  EXPECT_EQ(currentBank().layout.day, (LayoutPoint{4, 5}));
  EXPECT_EQ(readProgramFamilyValue("BANCOATUAL"), currentBankName());
}

TEST_F(BankRecordsTest, ManyBanksCanBeSavedAndEachReadBack) {
  std::vector<std::string> lines = {"[Bancos]"};
  for (int i = 0; i < 10000; ++i) lines.push_back("Banco" + std::to_string(i) + "=");
  writeIni(programIni(), lines);
  currentBank().layout.city = {1, 2};
  saveBank("Banco9999");
  saveBank("Novo");
  resetBankRecords();
  loadBank("Banco9999");
  EXPECT_EQ(currentBank().layout.city, (LayoutPoint{1, 2}));
  EXPECT_EQ(bankValue("Bancos", "Novo"), "");
}

// --- Family settings values --------------------------------------------------

TEST_F(BankRecordsTest, FamilyValuesAreNamesNotPaths) {
  familySettings({"[LUMIRA]", "PGMLUMIRA=/opt/lumira", "[TALONIX]",
                  "Nome=@Fulano", "BANCOATUAL=@\\Banco"});
  EXPECT_EQ(readProgramFamilyValue("Nome"), "@Fulano");
  EXPECT_EQ(readProgramFamilyValue("BANCOATUAL"), "@\\Banco");
}

TEST_F(BankRecordsTest, FamilyWritesGoWhereTheReadsLook) {
  // Only in the program directory: written there, not beside it elsewhere.
  fs::remove(configDir() / "LUMIRA.INI");  // the one speech start-up made
  writeIni(workDir() / "LUMIRA.INI", {"[TALONIX]", "DIRTALONIX=/sons"});
  writeProgramFamilyValue("MOEDA", "euro");
  EXPECT_EQ(readProgramFamilyValue("MOEDA"), "euro");
  EXPECT_FALSE(fs::exists(configDir() / "LUMIRA.INI"));
  EXPECT_NE(readAll(workDir() / "LUMIRA.INI").find("DIRTALONIX"), std::string::npos);
}

TEST_F(BankRecordsTest, FamilyWritesWithNoFileCreateItInTheWindowsDirectory) {
  writeProgramFamilyValue("MOEDA", "real");
  EXPECT_TRUE(fs::exists(configDir() / "LUMIRA.INI"));
  EXPECT_EQ(readProgramFamilyValue("MOEDA"), "real");
}

// --- Ledger file -------------------------------------------------------------

TEST_F(BankRecordsTest, LedgerPathsGetTheCurrentDirectoryAndExtension) {
  const std::string dir = plat::system().currentDirectory();
  const char sep = plat::system().pathSeparator();
  EXPECT_EQ(resolveLedgerPath("brasil.chq"), dir + sep + "brasil.chq");
  EXPECT_EQ(resolveLedgerPath("conta"), dir + sep + "conta.CHQ");
  EXPECT_EQ(resolveLedgerPath(""), dir + sep + ".CHQ");
  EXPECT_EQ(resolveLedgerPath("c:\\dados\\conta"), "c:\\dados\\conta.CHQ");
  EXPECT_EQ(resolveLedgerPath(std::string("x") + sep + "conta"),
            std::string("x") + sep + "conta.CHQ");
}

TEST_F(BankRecordsTest, CreatedLedgerHoldsOnlyTheOpeningEntry) {
  currentBank().ledgerFile = resolveLedgerPath("nova.chq");
  EXPECT_TRUE(createLedgerFile());
  const std::string expected = std::string(10, ' ') + "\r\nSaldo Anterior\r\n0,00\r\nC\r\n"
                               "\r\n\r\n\r\nSaldo Anterior\r\n" + std::string(40, '-') + "\r\n";
  EXPECT_EQ(readAll(workDir() / "nova.chq"), expected);
  EXPECT_EQ(openingEntryText(), expected);
  for (const auto& entry : fs::directory_iterator(workDir())) {
    EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos);
  }
}

TEST_F(BankRecordsTest, AnExistingLedgerIsNeverTouched) {
  writeFile(workDir() / "velha.chq", "dados\r\n");
  currentBank().ledgerFile = resolveLedgerPath("velha.chq");
  forget();
  EXPECT_TRUE(createLedgerFile());
  EXPECT_EQ(readAll(workDir() / "velha.chq"), "dados\r\n");
  EXPECT_TRUE(heard().empty());
}

TEST_F(BankRecordsTest, LedgerThatCannotBeCreatedIsAnnounced) {
  currentBank().ledgerFile = resolveLedgerPath("falta/dir/conta.chq");
  forget();
  EXPECT_FALSE(createLedgerFile());
  EXPECT_TRUE(said("say Erro no arquivo de lan\xE7" "amentos."));
  currentBank().ledgerFile.clear();
  forget();
  EXPECT_FALSE(createLedgerFile());
  EXPECT_TRUE(said("say Erro no arquivo de lan\xE7" "amentos."));
}

}  // namespace
