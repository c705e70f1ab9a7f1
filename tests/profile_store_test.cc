#include "platform/shared/profile_store.h"

#include <gtest/gtest.h>
#include <stdlib.h>  // setenv, unsetenv (POSIX only)

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/shared/codepage.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

class ProfileStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("talonix-ini-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
    file_ = dir_ / "TALONIX.INI";
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, ec);
    fs::remove_all(dir_, ec);
  }

  void put(const std::string& bytes) { put(file_, bytes); }
  static void put(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::string disk() const { return disk(file_); }
  static std::string disk(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  std::string get(const char* section, const char* key, const char* def = "",
                  size_t size = 80) const {
    std::string buffer(size, '#');
    const size_t n = plat::getProfileString(file_, section, key, def,
                                           buffer.data(), size);
    return buffer.substr(0, n);
  }
  // The list as the caller's buffer holds it, up to its final NUL.
  std::string list(const char* section, size_t size = 4000) const {
    std::string buffer(size, '#');
    const size_t n = plat::getProfileString(file_, section, nullptr, "x",
                                           buffer.data(), size);
    return buffer.substr(0, n + 1);
  }
  bool set(const char* section, const char* key, const char* value) {
    return plat::writeProfileString(file_, section, key, value, flush_);
  }
  size_t entriesInDir() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }

  fs::path dir_;
  fs::path file_;
  // A disk that fails, as a full one does, while `diskFull` is set.
  bool diskFull = false;
  std::vector<fs::path> flushed;
  plat::DiskFlush flush_ = [this](const fs::path& path) {
    flushed.push_back(path);
    return !diskFull;
  };
};

TEST_F(ProfileStoreTest, ReadsValuesAsWindowsDoes) {
  put("; comentario\r\n[TALONIX]\r\n  MOEDA =  real \t\r\nNome=\"  Jo\xE3o \"\r\n"
      "Vazio=\r\nMOEDA=outra\r\n[Banco do Brasil]\nano4Digitos=S\n"
      "[talonix]\nBANCOATUAL=segunda\n[Ita\xDA]\nx=1\n");
  EXPECT_EQ(get("TALONIX", "MOEDA"), "real");
  EXPECT_EQ(get("talonix", "moeda"), "real");      // names without case
  EXPECT_EQ(get(" TALONIX\t", " MOEDA "), "real");  // nor surrounding blanks
  EXPECT_EQ(get("TALONIX", "Nome"), "  Jo\xE3o ");  // quotes removed, inside kept
  EXPECT_EQ(get("TALONIX", "Vazio", "padr\xE3o"), "");  // present but empty
  EXPECT_EQ(get("BANCO DO BRASIL", "ANO4DIGITOS"), "S");  // LF-only lines
  EXPECT_EQ(get("ita\xFA", "x"), "1");  // accented capitals fold too
  // Only the first section of a name counts.
  EXPECT_EQ(get("TALONIX", "BANCOATUAL", "nenhum"), "nenhum");
  // Defaults: trailing blanks dropped, null is empty.
  EXPECT_EQ(get("TALONIX", "falta", " 0,0  "), " 0,0");
  EXPECT_EQ(get("falta", "x", nullptr), "");
  EXPECT_EQ(get("TALONIX", "; comentario"), "");
}

TEST_F(ProfileStoreTest, HonoursBufferSizes) {
  put("[VIDEO]\r\nAMPLIF=35\r\nFONTE=Lucida Console\r\n");
  EXPECT_EQ(get("VIDEO", "AMPLIF", "2", 2), "3");
  EXPECT_EQ(get("VIDEO", "FONTE", "", 10), "Lucida Co");
  EXPECT_EQ(get("VIDEO", "falta", "Lucida Console", 10), "Lucida Co");
  EXPECT_EQ(get("VIDEO", "AMPLIF", "2", 1), "");
  char untouched = '#';
  EXPECT_EQ(plat::getProfileString(file_, "VIDEO", "AMPLIF", "", &untouched, 0), 0u);
  EXPECT_EQ(untouched, '#');
  std::string buffer(3, '#');
  plat::getProfileString(file_, "VIDEO", "AMPLIF", "", buffer.data(), 3);
  EXPECT_EQ(buffer, "35\0"s);
}

TEST_F(ProfileStoreTest, ListsNamesInFileOrder) {
  put("[Bancos]\r\nZeta=\r\nAlfa=\r\nzeta=again\r\n; x=1\r\ngarbage\r\nMeio=\r\n"
      "[Outro]\r\n[BANCOS]\r\nDepois=\r\n");
  EXPECT_EQ(list("Bancos"), "Zeta\0Alfa\0Meio\0\0"s);
  EXPECT_EQ(list(nullptr), "Bancos\0Outro\0\0"s);
  EXPECT_EQ(list("Outro"), "\0"s);
  EXPECT_EQ(list("falta"), "\0"s);
  // Cut short: the last name is cut and two NULs end it, size - 2 returned.
  std::string buffer(8, '#');
  EXPECT_EQ(plat::getProfileString(file_, "Bancos", nullptr, "", buffer.data(), 8), 6u);
  EXPECT_EQ(buffer, "Zeta\0A\0\0"s);
}

TEST_F(ProfileStoreTest, WritesCreateFileSectionAndKeyWithCrLf) {
  file_ = dir_ / "novo" / "sub" / "LUMIRA.INI";
  ASSERT_TRUE(set("TALONIX", "MOEDA", "real"));
  ASSERT_TRUE(set("TALONIX", "MOEDAS", "reais"));
  ASSERT_TRUE(set("Bancos", "Banco do Brasil", ""));
  EXPECT_EQ(disk(), "[TALONIX]\r\nMOEDA=real\r\nMOEDAS=reais\r\n"
                    "[Bancos]\r\nBanco do Brasil=\r\n");
  EXPECT_EQ(get("TALONIX", "MOEDAS"), "reais");
  EXPECT_EQ(list("Bancos"), "Banco do Brasil\0\0"s);
}

TEST_F(ProfileStoreTest, ReplacesInPlaceAndKeepsEverythingElse) {
  put("; cabecalho\n[TALONIX]\n  Moeda = real\n\xFF\x01 lixo\nOutra=1\n"
      "; sobre o banco\n[Banco]\nposValor=130,0\n");
  ASSERT_TRUE(set("talonix", "MOEDA", "dolar"));
  ASSERT_TRUE(set("TALONIX", "Nome", "Jos\xE9"));
  ASSERT_TRUE(set("Banco", "posDia", "108,25"));
  EXPECT_EQ(disk(), "; cabecalho\r\n[TALONIX]\r\n  Moeda =dolar\r\n\xFF\x01 lixo\r\n"
                    "Outra=1\r\nNome=Jos\xE9\r\n; sobre o banco\r\n[Banco]\r\n"
                    "posValor=130,0\r\nposDia=108,25\r\n");
}

TEST_F(ProfileStoreTest, DeletesKeysAndSections) {
  put("[A]\r\nk=1\r\nx=2\r\nK=3\r\n[B]\r\nk=4\r\n[a]\r\nk=5\r\n");
  ASSERT_TRUE(set("A", "k", nullptr));
  EXPECT_EQ(get("A", "k", "gone"), "gone");  // the duplicate went too
  EXPECT_EQ(get("B", "k"), "4");
  ASSERT_TRUE(set("a", nullptr, nullptr));
  EXPECT_EQ(disk(), "[B]\r\nk=4\r\n");
  // Deleting what is not there succeeds and creates nothing.
  const fs::path absent = dir_ / "absent.ini";
  EXPECT_TRUE(plat::writeProfileString(absent, "A", "k", nullptr, flush_));
  EXPECT_TRUE(plat::writeProfileString(absent, "A", nullptr, nullptr, flush_));
  EXPECT_FALSE(fs::exists(absent));
}

TEST_F(ProfileStoreTest, RefusesWritesTheFileCouldNotHold) {
  put("[A]\r\nk=1\r\n");
  EXPECT_FALSE(set(nullptr, "k", "v"));
  EXPECT_FALSE(set("A", "k", "1\r\n[B]\r\nz=2"));  // would forge a section
  EXPECT_FALSE(set("A", "k=x", "v"));
  EXPECT_FALSE(set("A", "  ", "v"));
  EXPECT_FALSE(set("A", ";k", "v"));
  EXPECT_FALSE(set("A", "[k]", "v"));
  EXPECT_FALSE(set("A]", "k", "v"));
  EXPECT_EQ(disk(), "[A]\r\nk=1\r\n");
}

TEST_F(ProfileStoreTest, BadFilesReadAsAbsent) {
  EXPECT_EQ(get("A", "k", "def"), "def");  // missing file
  EXPECT_EQ(list(nullptr), "\0"s);
  put("[A]\r\nk=a\0b\r\n[abc\r\nz=1\r\n[B\0]\r\ny=2\r\n"s +
      std::string(100000, 'q') + "\r\nw=" + std::string(100000, 'v'));
  EXPECT_EQ(get("A", "k", "def"), "def");  // a NUL makes the line garbage
  EXPECT_EQ(get("A", "z"), "1");           // "[abc" opened no section
  EXPECT_EQ(get("abc", "z", "def"), "def");
  EXPECT_EQ(get("A", "y"), "2");
  EXPECT_EQ(get("A", "w", "", 5), "vvvv");
  EXPECT_EQ(plat::getProfileString(dir_, "A", "k", "def", std::string(9, ' ').data(), 9), 3u);
}

TEST_F(ProfileStoreTest, FailedWritesLeaveTheOldFile) {
  // A directory where the file should be.
  EXPECT_FALSE(plat::writeProfileString(dir_, "A", "k", "v", flush_));
  fs::create_directory(dir_ / "sub");
  EXPECT_FALSE(plat::writeProfileString(dir_ / "sub", "A", "k", "v", flush_));
  EXPECT_TRUE(fs::is_directory(dir_ / "sub"));
  // A file too large to be a settings file is neither read nor cut short.
  put("[A]\r\nk=1\r\n");
  fs::resize_file(file_, plat::kMaxProfileFileSize + 1);
  EXPECT_EQ(get("A", "k", "def"), "def");
  EXPECT_FALSE(set("A", "k", "2"));
  EXPECT_EQ(fs::file_size(file_), plat::kMaxProfileFileSize + 1);
  // A read-only file stays as it is.
  put("[A]\r\nk=1\r\n");
  fs::permissions(file_, fs::perms::owner_read);
  EXPECT_FALSE(set("A", "k", "2"));
  EXPECT_EQ(disk(), "[A]\r\nk=1\r\n");
  fs::permissions(file_, fs::perms::owner_read | fs::perms::owner_write);
  // A disk that cannot take the new file: the save fails.
  diskFull = true;
  EXPECT_FALSE(set("A", "k", "2"));
  EXPECT_EQ(disk(), "[A]\r\nk=1\r\n");
  diskFull = false;
  // No temporary file is left behind by any of it.
  EXPECT_EQ(entriesInDir(), 2u);
  // A good save flushes the new file, then the rename in the directory.
  ASSERT_TRUE(set("A", "k", "2"));
  ASSERT_GE(flushed.size(), 2u);
  EXPECT_EQ(flushed.back(), dir_);
}

TEST_F(ProfileStoreTest, ReadOnlyDirectoryFailsAndKeepsTheFile) {
  put("[A]\r\nk=1\r\n");
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  if (std::ofstream(dir_ / "probe")) {
    GTEST_SKIP() << "permissions are not enforced for this user";
  }
  EXPECT_FALSE(set("A", "k", "2"));
  EXPECT_EQ(disk(), "[A]\r\nk=1\r\n");
}

// Links and case-sensitive names are POSIX matters; on Windows the file
// system itself finds "lumira.ini" under any case.
#ifndef _WIN32
TEST_F(ProfileStoreTest, WritesThroughALinkAndLeavesNoTemporaryFiles) {
  const fs::path real = dir_ / "real.ini";
  put(real, "[A]\r\nk=1\r\n");
  fs::create_symlink(real, file_);
  ASSERT_TRUE(set("A", "k", "2"));
  EXPECT_TRUE(fs::is_symlink(file_));
  EXPECT_EQ(disk(real), "[A]\r\nk=2\r\n");
  EXPECT_EQ(entriesInDir(), 2u);
}

TEST_F(ProfileStoreTest, ResolvesProgramNamesToFiles) {
  EXPECT_EQ(plat::resolveProfileFile("LUMIRA.INI", dir_), dir_ / "LUMIRA.INI");
  put(dir_ / "lumira.ini", "");
  EXPECT_EQ(plat::resolveProfileFile("LUMIRA.INI", dir_), dir_ / "lumira.ini");
  put(dir_ / "LUMIRA.INI", "");  // the exact name wins when it exists
  EXPECT_EQ(plat::resolveProfileFile("LUMIRA.INI", dir_), dir_ / "LUMIRA.INI");
  fs::create_directory(dir_ / "Configura\xC3\xA7\xC3\xA3o");
  put(dir_ / "Configura\xC3\xA7\xC3\xA3o" / "Ita\xC3\xBA.ini", "");
  const std::string windows = dir_.string() + "\\Configura\xE7\xE3o\\ITA\xDA.INI";
  EXPECT_EQ(plat::resolveProfileFile(windows, "/elsewhere"),
            dir_ / "Configura\xC3\xA7\xC3\xA3o" / "Ita\xC3\xBA.ini");
  EXPECT_EQ(plat::resolveProfileFile("", dir_), fs::path());
}
#endif

// The XDG fallbacks are the POSIX backends'; Windows has its own directory.
#ifndef _WIN32
TEST(DefaultWindowsDirectoryTest, FollowsTheEnvironmentInOrder) {
  const char* names[] = {"TALONIX_CONFIG_DIR", "XDG_CONFIG_HOME", "HOME"};
  std::string saved[3];
  bool had[3];
  for (int i = 0; i < 3; ++i) {
    const char* v = getenv(names[i]);
    had[i] = v != nullptr;
    if (v) saved[i] = v;
  }
  setenv("TALONIX_CONFIG_DIR", "/cfg", 1);
  setenv("XDG_CONFIG_HOME", "/xdg", 1);
  setenv("HOME", "/home/u", 1);
  EXPECT_EQ(plat::defaultWindowsDirectory(), fs::path("/cfg"));
  setenv("TALONIX_CONFIG_DIR", "", 1);
  EXPECT_EQ(plat::defaultWindowsDirectory(), fs::path("/xdg/talonix"));
  setenv("XDG_CONFIG_HOME", "relative", 1);
  EXPECT_EQ(plat::defaultWindowsDirectory(), fs::path("/home/u/.config/talonix"));
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("HOME");
  EXPECT_EQ(plat::defaultWindowsDirectory(), fs::path("."));
  for (int i = 0; i < 3; ++i) {
    if (had[i]) setenv(names[i], saved[i].c_str(), 1);
    else unsetenv(names[i]);
  }
}
#endif

TEST(CodepageTest, ConvertsBetweenWindows1252AndUtf8) {
  EXPECT_EQ(plat::cp1252ToUtf8("op\xE7\xE3o \x80\x9F"), "op\xC3\xA7\xC3\xA3o \xE2\x82\xAC\xC5\xB8");
  EXPECT_EQ(plat::cp1252ToUtf8("\x84\x85\x8C\x9C"), "\xE2\x80\x9E\xE2\x80\xA6\xC5\x92\xC5\x93");
  EXPECT_EQ(plat::cp1252ToUtf8("\x81\x90"), "\xEF\xBF\xBD\xEF\xBF\xBD");
  for (int c = 1; c < 256; ++c) {
    if (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D) continue;
    const std::string one(1, static_cast<char>(c));
    EXPECT_EQ(plat::utf8ToCp1252(plat::cp1252ToUtf8(one)), one) << c;
  }
  // Malformed or unmappable input becomes '?', byte by byte.
  EXPECT_EQ(plat::utf8ToCp1252("a\xC3"), "a?");
  EXPECT_EQ(plat::utf8ToCp1252("\xC0\xAF\xED\xA0\x80"), "?????");
  EXPECT_EQ(plat::utf8ToCp1252("\xE4\xB8\xAD\xEF\xBF\xBD\xC2\x90"), "???");
  EXPECT_TRUE(plat::equalsIgnoreCase1252("A\xC7\xC3O \x8A", "a\xE7\xE3o \x9A"));
  EXPECT_FALSE(plat::equalsIgnoreCase1252("\xD7", "\xF7"));
}

}  // namespace
