// Ledger names and the statement's refusal of a ledger as its target, with
// Windows' own paths: drive letters, UNC names, blanks and accents, and a
// file system that ignores case.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/bank_records.h"
#include "app/commands.h"
#include "app/ledger_file.h"
#include "platform/win32/win32_system.h"
#include "synth/engine_location.h"
#include "tests/ledger_fixture.h"
#include "tests/test_files.h"

namespace {

namespace fs = std::filesystem;

class Win32PathsTest : public ledgertest::LedgerFixture {
 protected:
  void SetUp() override {
    LedgerFixture::SetUp();
    base_ = workDir() / "Meus Dados";
    fs::create_directories(base_);
    previous_ = fs::current_path();
    fs::current_path(base_);
    // The real system's paths beside the headless window and keys.
    plat::Services s = platform_->services();
    s.system = &system_;
    plat::setServices(s);
    base1252_ = system_.currentDirectory();
  }
  void TearDown() override {
    fs::current_path(previous_);
    LedgerFixture::TearDown();
  }

  // Command X with the name typed and ENTER; true when it said "OK".
  bool exportAs(const std::string& typed) {
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
    return said("CHOK");
  }

  plat::win32::Win32System system_;
  fs::path base_, previous_;
  std::string base1252_;
};

TEST_F(Win32PathsTest, LedgerNamesAndTheStatementGuardWithWindowsPaths) {
  EXPECT_EQ(base1252_.substr(1, 2), ":\\");
  EXPECT_EQ(resolveLedgerPath("conta"), base1252_ + "\\conta.CHQ");
  EXPECT_EQ(resolveLedgerPath("Conta Corrente.chq"), base1252_ + "\\Conta Corrente.chq");
  EXPECT_EQ(resolveLedgerPath("\\\\servidor\\contas\\banco"), "\\\\servidor\\contas\\banco.CHQ");
  EXPECT_EQ(resolveLedgerPath("D:\\Dados\\banco.chq"), "D:\\Dados\\banco.chq");
  // A drive-relative name already says where it lives.
  EXPECT_EQ(resolveLedgerPath("D:banco"), "D:banco.CHQ");

  const std::string ledger = base1252_ + "\\caixa.chq";
  const std::string contents = "          \r\nSaldo Anterior\r\n0,00\r\nC\r\n\r\n\r\n\r\n"
                               "Saldo Anterior\r\n" + std::string(40, '-') + "\r\n";
  testfiles::writeFile(base_ / "caixa.chq", contents);
  // Another bank's ledger, not made yet, and the current bank's.
  registerBank("Poupan\xE7" "a", base1252_ + "\\poupanca.chq");
  registerBank("Caixa", ledger);
  const std::string drive = base1252_.substr(0, 2);
  for (const std::string& name :
       {std::string("CAIXA.CHQ"), std::string("  Caixa.chq"), ledger,
        std::string("..\\Meus Dados\\caixa.chq"), drive + "caixa.chq",
        drive + base1252_.substr(2) + "/CAIXA.chq", std::string("POUPANCA.CHQ")}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(exportAs(name));
    EXPECT_TRUE(said("CHARQINC"));
    EXPECT_EQ(testfiles::readAll(base_ / "caixa.chq"), contents);
    EXPECT_FALSE(fs::exists(base_ / "poupanca.chq"));
  }

  // A different file of the same size, and names with blanks and accents,
  // are statements like any other.
  testfiles::writeFile(base_ / "copia.chq", contents);
  EXPECT_TRUE(exportAs("copia.chq"));
  EXPECT_EQ(testfiles::readAll(base_ / "copia.chq").substr(0, 10), "Talonix - ");
  EXPECT_TRUE(exportAs("Extrato de Mar\xE7o.txt"));
  EXPECT_TRUE(fs::exists(base_ / L"Extrato de Mar\u00E7o.txt"));
  EXPECT_TRUE(exportAs(base1252_ + "\\Sub Pasta\\..\\extrato.txt"));
  EXPECT_TRUE(fs::exists(base_ / "extrato.txt"));
  EXPECT_EQ(testfiles::readAll(base_ / "caixa.chq"), contents);
}

// The engine's folder through the real registry: the br4 database's
// unnamed value, its folder cut off; a value of another type, or none,
// leaves the kit's folder.
TEST_F(Win32PathsTest, TheEngineFindsItsFolderThroughTheRegistry) {
  const char* key = "SOFTWARE\\TCTS\\Mbrola\\databases\\BR4";
  HKEY handle;
  // A machine with the synthesizer installed keeps its registration.
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) == ERROR_SUCCESS) {
    RegCloseKey(handle);
    GTEST_SKIP() << "a real br4 database is registered here";
  }
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &handle, nullptr),
            ERROR_SUCCESS);
  const std::string path = "C:\\voices\\br4";
  ASSERT_EQ(RegSetValueExA(handle, nullptr, 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(path.c_str()),
                           static_cast<DWORD>(path.size() + 1)),
            ERROR_SUCCESS);
  std::string text;
  EXPECT_TRUE(system_.readMachineRegistryText(databaseRegistryPath("BR4"), &text));
  EXPECT_EQ(text, path);
  EXPECT_EQ(readEngineLocation().directory, "C:\\voices\\");
  const DWORD number = 7;
  ASSERT_EQ(RegSetValueExA(handle, nullptr, 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&number), sizeof number),
            ERROR_SUCCESS);
  EXPECT_FALSE(system_.readMachineRegistryText(databaseRegistryPath("BR4"), &text));
  EXPECT_EQ(readEngineLocation().directory, "\\tarvek\\vireatts\\");
  RegCloseKey(handle);
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
  EXPECT_FALSE(system_.readMachineRegistryText(databaseRegistryPath("BR4"), &text));
}

}  // namespace
