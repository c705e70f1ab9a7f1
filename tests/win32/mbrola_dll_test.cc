// The mbrola.dll binding against our stand-in library (tests/fakes/
// fake_mbrola_dll.cc), found by the library search as the real one would
// be: each test points the search at one folder of stand-ins.
#include "platform/win32/mbrola_dll.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "tests/fakes/fake_mbrola_rule.h"

namespace {

using plat::win32::MbrolaDll;

std::string windowsPath(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

class MbrolaDllTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    log_ = std::string(temp) + "talonix-mbrola-calls.log";
    DeleteFileA(log_.c_str());
    SetEnvironmentVariableA("TALONIX_FAKE_MBROLA_LOG", log_.c_str());
  }
  void TearDown() override {
    SetDllDirectoryA(nullptr);
    SetEnvironmentVariableA("TALONIX_FAKE_MBROLA_LOG", nullptr);
    DeleteFileA(log_.c_str());
  }
  // Looks for mbrola.dll in `folder` of the stand-ins first.
  static void searchIn(const std::string& folder) {
    SetDllDirectoryA(windowsPath(TALONIX_FAKE_MBROLA_DIR "/" + folder).c_str());
  }
  // The calls the stand-in received, in order.
  std::vector<std::string> calls() const {
    std::ifstream in(log_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  static bool libraryInProcess() { return GetModuleHandleA("mbrola.dll") != nullptr; }

  std::string log_;
};

TEST_F(MbrolaDllTest, TakesOnlyAWholeLibrary) {
  MbrolaDll m;
  searchIn("");  // the stand-ins' own folder holds no library
  EXPECT_EQ(m.load("br4"), plat::MbrolaLoad::kAbsent);
  int16_t buffer[8];
  EXPECT_EQ(m.init("br4"), -1);
  EXPECT_EQ(m.write("a 10\r\n"), -1);
  EXPECT_NE(m.lastError(), 0);
  EXPECT_EQ(m.flush(), -1);
  EXPECT_EQ(m.read(buffer, 8), -1);
  m.reset();
  m.close();

  // One entry point missing, one the engine never calls: not taken.
  searchIn("incomplete");
  EXPECT_EQ(m.load("br4"), plat::MbrolaLoad::kIncomplete);
  EXPECT_FALSE(m.loaded());
  EXPECT_FALSE(libraryInProcess());
  EXPECT_EQ(calls(), (std::vector<std::string>{"attach", "detach"}));

  // A file of that name that is no library for this program (a 32-bit
  // build, say) cannot serve: it counts as absent, so the engine's own
  // synthesizer speaks.
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "talonix-mbrola-not-a-library";
  CreateDirectoryA(folder.c_str(), nullptr);
  std::ofstream(folder + "\\mbrola.dll") << "not a library";
  SetDllDirectoryA(folder.c_str());
  EXPECT_EQ(m.load("br4"), plat::MbrolaLoad::kAbsent);
  DeleteFileA((folder + "\\mbrola.dll").c_str());
  RemoveDirectoryA(folder.c_str());
}

TEST_F(MbrolaDllTest, SpeaksThroughTheLibraryInTheEnginesOrder) {
  MbrolaDll m;
  searchIn("whole");
  ASSERT_EQ(m.load("br4"), plat::MbrolaLoad::kLoaded);
  ASSERT_EQ(m.load("br4"), plat::MbrolaLoad::kLoaded) << "loaded once only";
  EXPECT_LT(m.init("C:\\voices\\missing\\br4"), 0);
  ASSERT_EQ(m.init("C:\\voices\\br4"), 0);
  m.setNoError(1);
  m.reset();
  int16_t buffer[16000];
  m.write("_ 50\r\n");
  EXPECT_EQ(m.lastError(), 0);
  m.write("a 100 50 200\r\n");
  EXPECT_EQ(m.lastError(), 0);
  // The first line's samples are ready once the second came.
  ASSERT_EQ(m.read(buffer, 16000), 800);
  EXPECT_EQ(std::count(buffer, buffer + 800, fake_mbrola::sampleValue("_")), 800);
  m.write("ERR 10\r\n");
  EXPECT_NE(m.lastError(), 0);
  m.reset();
  m.write("o 30\r\n");
  EXPECT_EQ(m.lastError(), 0);
  m.flush();
  EXPECT_EQ(m.read(buffer, 100), 100);
  EXPECT_EQ(m.read(buffer + 100, 16000), 380);
  EXPECT_EQ(std::count(buffer, buffer + 480, fake_mbrola::sampleValue("o")), 480);
  EXPECT_EQ(m.read(buffer, 16000), 0);
  EXPECT_EQ(m.read(buffer, 0), 0);
  m.close();
  m.unload();
  EXPECT_FALSE(libraryInProcess()) << "one unload releases it";
  m.unload();

  EXPECT_EQ(calls(), (std::vector<std::string>{
                         "attach", "init_MBR C:\\voices\\missing\\br4",
                         "init_MBR C:\\voices\\br4", "setNoError_MBR 1", "reset_MBR",
                         "write_MBR _ 50", "lastError_MBR", "write_MBR a 100 50 200",
                         "lastError_MBR", "read_MBR 16000", "write_MBR ERR 10",
                         "lastError_MBR", "reset_MBR", "write_MBR o 30", "lastError_MBR",
                         "flush_MBR", "read_MBR 100", "read_MBR 16000", "read_MBR 16000",
                         "close_MBR", "detach"}));
}

}  // namespace
