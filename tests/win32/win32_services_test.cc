// Windows' own profile calls behind the profile contract, the clipboard
// when another program holds it, and the system's paths and flushes.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_window.h"
#include "tests/test_files.h"

namespace {

namespace fs = std::filesystem;

TEST(Win32ServicesTest, ProfileCallsKeepTheContractAndAHeldFileIsLeftAlone) {
  plat::win32::Win32Profile profile;
  const fs::path dir = fs::temp_directory_path() / "talonix w32 perfil";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string file = (dir / "teste.ini").string();
  const char* f = file.c_str();

  ASSERT_TRUE(profile.writePrivateProfileString("Bancos", "Caixa", "caixa.chq", f));
  ASSERT_TRUE(profile.writePrivateProfileString("Bancos", "Ita\xFA", "", f));
  ASSERT_TRUE(profile.writePrivateProfileString("Outro", "x", "1", f));
  char buf[64];
  EXPECT_EQ(profile.getPrivateProfileString("Bancos", "Caixa", "", buf, sizeof buf, f), 9u);
  EXPECT_STREQ(buf, "caixa.chq");
  // Cut to size - 1; nothing at all for size 0.
  EXPECT_EQ(profile.getPrivateProfileString("Bancos", "Caixa", "", buf, 4, f), 3u);
  EXPECT_STREQ(buf, "cai");
  std::memset(buf, 'Z', sizeof buf);
  EXPECT_EQ(profile.getPrivateProfileString("Bancos", "Caixa", "", buf, 0, f), 0u);
  EXPECT_EQ(buf[0], 'Z');
  // Key names and section names as NUL-ended lists.
  const size_t keys = profile.getPrivateProfileString("Bancos", nullptr, "", buf, sizeof buf, f);
  EXPECT_EQ(std::string(buf, keys + 1), std::string("Caixa\0Ita\xFA\0", 12));
  const size_t sections = profile.getPrivateProfileString(nullptr, nullptr, "", buf, sizeof buf, f);
  EXPECT_EQ(std::string(buf, sections + 1), std::string("Bancos\0Outro\0", 14));
  EXPECT_EQ(profile.getPrivateProfileString("Bancos", nullptr, "", buf, 8, f), 6u);
  // Absent keys and files give the default, null meaning "".
  EXPECT_EQ(profile.getPrivateProfileString("Bancos", "Nada", "padr\xE3o", buf, sizeof buf, f), 6u);
  EXPECT_STREQ(buf, "padr\xE3o");
  EXPECT_EQ(profile.getPrivateProfileString("Bancos", "Nada", nullptr, buf, sizeof buf,
                                            (dir / "falta.ini").string().c_str()), 0u);
  EXPECT_STREQ(buf, "");
  // Null value deletes the key, null key the section.
  ASSERT_TRUE(profile.writePrivateProfileString("Bancos", "Caixa", nullptr, f));
  EXPECT_EQ(profile.getPrivateProfileString("Bancos", "Caixa", "-", buf, sizeof buf, f), 1u);
  ASSERT_TRUE(profile.writePrivateProfileString("Outro", nullptr, nullptr, f));
  EXPECT_EQ(profile.getPrivateProfileString("Outro", "x", "-", buf, sizeof buf, f), 1u);

  // A file another program holds without sharing: the write fails and
  // the bytes stay as they were.
  const std::string before = testfiles::readAll(file);
  HANDLE held = CreateFileA(f, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(profile.writePrivateProfileString("Bancos", "Novo", "1", f));
  EXPECT_FALSE(profile.writePrivateProfileString("Bancos", nullptr, nullptr, f));
  CloseHandle(held);
  EXPECT_EQ(testfiles::readAll(file), before);

  // A bare name lives in the Windows directory.
  plat::win32::Win32System system;
  const char* bare = "TALONIX_W32TESTE.INI";
  ASSERT_TRUE(profile.writePrivateProfileString("S", "k", "v", bare));
  const std::string inWindows = system.windowsDirectory() + "\\" + bare;
  EXPECT_TRUE(system.fileExists(inWindows));
  EXPECT_EQ(profile.getPrivateProfileString("S", "k", "", buf, sizeof buf, bare), 1u);
  DeleteFileA(inWindows.c_str());
  EXPECT_EQ(profile.getProfileString("talonix-nada", "k", "d", buf, sizeof buf), 1u);
  EXPECT_EQ(profile.getProfileString("talonix-nada", "k", "d", buf, 0), 0u);
  fs::remove_all(dir);
}

TEST(Win32ServicesTest, ClipboardHeldByAnotherThreadFailsWithoutChangingAnything) {
  plat::win32::Win32Window window;
  // Without a window nothing is put there: the user's text stays.
  EXPECT_FALSE(window.setClipboardText("sem janela"));
  plat::WindowConfig config;
  config.maximized = false;
  if (!window.createWindow(config, nullptr)) GTEST_SKIP() << "no desktop to open a window on";
  if (!window.setClipboardText("Ol\xE1 mundo")) GTEST_SKIP() << "no clipboard here";
  std::string text;
  bool hasText = false;
  ASSERT_TRUE(window.getClipboardText(&text, &hasText));
  EXPECT_TRUE(hasText);
  EXPECT_EQ(text, "Ol\xE1 mundo");

  HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread holder([&] {
    // Another program's window holds the clipboard open.
    HWND other = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               nullptr, nullptr);
    OpenClipboard(other);
    SetEvent(opened);
    WaitForSingleObject(release, 10000);
    CloseClipboard();
    DestroyWindow(other);
  });
  WaitForSingleObject(opened, 10000);
  EXPECT_FALSE(window.setClipboardText("outro"));
  text = "antes";
  hasText = false;
  EXPECT_FALSE(window.getClipboardText(&text, &hasText));
  EXPECT_EQ(text, "antes");
  EXPECT_FALSE(hasText);
  SetEvent(release);
  holder.join();
  CloseHandle(opened);
  CloseHandle(release);
  ASSERT_TRUE(window.getClipboardText(&text, &hasText));
  EXPECT_EQ(text, "Ol\xE1 mundo");
  window.destroyWindow();
}

TEST(Win32ServicesTest, PathsFlushesAndTheShellWithWindows1252Names) {
  plat::win32::Win32System system;
  EXPECT_EQ(system.nativePath("C:\\Pasta A\xE7\xE3o\\x.chq").wstring(),
            L"C:\\Pasta A\u00E7\u00E3o\\x.chq");
  const fs::path dir = fs::temp_directory_path() / L"talonix Pasta A\u00E7\u00E3o";
  fs::create_directories(dir);
  const fs::path file = dir / "x.chq";
  testfiles::writeFile(file, "dados");
  // The same folder named in Windows-1252, whatever the ANSI code page.
  std::string dir1252 = fs::temp_directory_path().string();
  if (dir1252.back() == '\\') dir1252.pop_back();
  dir1252 += "\\talonix Pasta A\xE7\xE3o";
  EXPECT_TRUE(system.fileExists(dir1252));
  EXPECT_TRUE(system.fileExists(dir1252 + "\\x.chq"));
  EXPECT_FALSE(system.fileExists(dir1252 + "\\y.chq"));
  EXPECT_FALSE(system.fileExists(""));
  EXPECT_TRUE(system.flushFileToDisk(file));
  EXPECT_TRUE(system.flushFileToDisk(dir));  // the directory of a rename
  EXPECT_FALSE(system.flushFileToDisk(dir / "falta.chq"));
  const std::string windows = system.windowsDirectory();
  EXPECT_NE(windows.back(), '\\');
  EXPECT_TRUE(system.fileExists(windows));
  const std::string program = system.programPath();
  EXPECT_EQ(program.substr(program.size() - 4), ".exe");

  // The shell's open verb starts the program with its parameters in the
  // directory given, without waiting for it.
  system.shellOpen("cmd.exe", "/c echo aberto> sinal.txt", dir1252);
  // The file appears before cmd has written into it.
  for (int i = 0; i < 200 && testfiles::readAll(dir / "sinal.txt").size() < 6; ++i) Sleep(50);
  EXPECT_EQ(testfiles::readAll(dir / "sinal.txt").substr(0, 6), "aberto");
  fs::remove_all(dir);
}

}  // namespace
