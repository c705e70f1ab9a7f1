// The mbrola program binding against our stand-in program
// (tests/fakes/fake_mbrola.cc), which the binding starts as it would start
// mbrola.
#include "platform/posix/mbrola_process.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/fakes/fake_mbrola_rule.h"

namespace {

namespace fs = std::filesystem;
using plat::posix::MbrolaProcess;

// The samples the stand-in makes of these lines, in order.
std::vector<int16_t> samplesOf(const std::vector<std::string>& lines) {
  std::vector<int16_t> all;
  for (const std::string& line : lines) {
    const fake_mbrola::LineEffect e = fake_mbrola::lineEffect(line);
    if (e.kind == fake_mbrola::LineKind::kSound) all.insert(all.end(), e.count, e.value);
  }
  return all;
}

// Reads until the binding gives no more; `last` gets its final result.
std::vector<int16_t> readAll(MbrolaProcess& m, int* last) {
  std::vector<int16_t> all, buffer(16000);
  while ((*last = m.read(buffer.data(), 16000)) > 0) {
    all.insert(all.end(), buffer.begin(), buffer.begin() + *last);
  }
  return all;
}

// Polls `done` for up to ten seconds (the child works beside us).
template <typename Pred>
bool eventually(Pred done) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// The states of our children that run the stand-in ('Z': a zombie).
std::string fakeChildren() {
  std::string states;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator("/proc", ec)) {
    std::ifstream in(entry.path() / "stat");
    std::string stat;
    if (!std::getline(in, stat)) continue;
    const size_t open = stat.find('('), close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos) continue;
    std::istringstream rest(stat.substr(close + 1));
    char state = 0;
    int parent = 0;
    rest >> state >> parent;
    if (parent == getpid() && stat.substr(open + 1, close - open - 1) == "fake_mbrola") {
      states.push_back(state);
    }
  }
  return states;
}

class MbrolaProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("mbrola-process-" + std::to_string(getpid()));
    fs::create_directories(dir_);
    voice_ = (dir_ / "br4").string();
    std::ofstream(voice_) << "voice";
    std::ofstream(dir_ / "voice-missing") << "voice";
    setenv("TALONIX_MBROLA", TALONIX_FAKE_MBROLA, 1);
    setenv("TALONIX_FAKE_MBROLA_LOG", (dir_ / "log").c_str(), 1);
  }
  void TearDown() override {
    unsetenv("TALONIX_MBROLA");
    unsetenv("TALONIX_FAKE_MBROLA_LOG");
    fs::remove_all(dir_);
  }
  // A started binding, ready for a text.
  void start(MbrolaProcess& m) {
    ASSERT_EQ(m.load(voice_), plat::MbrolaLoad::kLoaded);
    ASSERT_EQ(m.init(voice_), 0);
    m.setNoError(1);
    m.reset();
  }
  // The command lines the stand-in was started with, in order.
  std::vector<std::string> starts() {
    std::ifstream in(dir_ / "log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  fs::path dir_;
  std::string voice_;
};

TEST_F(MbrolaProcessTest, FindsProgramAndVoiceOrFailsCleanly) {
  // A long start watch: a loaded machine (sanitizers, parallel tests) may
  // take a while to start the stand-in and see it end.
  MbrolaProcess m(MbrolaProcess::kStallMs, 5000);
  int16_t buffer[16];
  // Nothing started: every call fails without harm.
  EXPECT_EQ(m.write("a 10\r\n"), -1);
  EXPECT_NE(m.lastError(), 0);
  EXPECT_EQ(m.read(buffer, 16), -1);

  setenv("TALONIX_MBROLA", (dir_ / "no-such-program").c_str(), 1);
  EXPECT_EQ(m.load(voice_), plat::MbrolaLoad::kAbsent);
  // By name, through PATH.
  const std::string path = getenv("PATH");
  setenv("PATH", fs::path(TALONIX_FAKE_MBROLA).parent_path().c_str(), 1);
  setenv("TALONIX_MBROLA", "fake_mbrola", 1);
  EXPECT_EQ(m.load(voice_), plat::MbrolaLoad::kLoaded);
  setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(m.load((dir_ / "nowhere" / "xq9").string()), plat::MbrolaLoad::kAbsent);
  EXPECT_EQ(m.init(voice_), -1) << "init without a loaded program";

  setenv("TALONIX_MBROLA", TALONIX_FAKE_MBROLA, 1);
  ASSERT_EQ(m.load(voice_), plat::MbrolaLoad::kLoaded);
  EXPECT_EQ(m.init((dir_ / "nowhere").string()), -1);
  // A voice the program cannot use: it ends at start, and init says so.
  EXPECT_EQ(m.init((dir_ / "voice-missing").string()), -1);
  EXPECT_EQ(m.write("a 10\r\n"), -1);
  EXPECT_EQ(m.read(buffer, 16), -1);
  m.unload();
  EXPECT_EQ(fakeChildren(), "");
}

TEST_F(MbrolaProcessTest, StreamsATextRefusesABadLineAndLeavesNoChild) {
  MbrolaProcess m;
  start(m);
  const std::vector<std::string> text = {"_ 50\r\n", "a 100 50 200\r\n", "; note\r\n",
                                         "o 80 10 180 90 150\r\n"};
  for (const std::string& line : text) {
    m.write(line);
    EXPECT_EQ(m.lastError(), 0) << line;
  }
  // Before the flush, what the program has made arrives as it comes; the
  // last line waits for the flush.
  const std::vector<int16_t> whole = samplesOf(text);
  const size_t early = samplesOf({text[0], text[1]}).size();
  std::vector<int16_t> got;
  int16_t buffer[777];
  EXPECT_TRUE(eventually([&] {
    const int n = m.read(buffer, 777);
    EXPECT_GE(n, 0);
    got.insert(got.end(), buffer, buffer + std::max(n, 0));
    return got.size() >= early;
  }));
  EXPECT_EQ(got.size(), early);
  EXPECT_EQ(m.flush(), 0);
  int last = 0;
  const std::vector<int16_t> rest = readAll(m, &last);
  got.insert(got.end(), rest.begin(), rest.end());
  EXPECT_EQ(last, 0);
  EXPECT_EQ(got, whole);
  EXPECT_EQ(m.read(buffer, 777), 0) << "the end stays the end";
  EXPECT_EQ(m.write("a 10\r\n"), -1) << "a line after the flush";

  // With the no-error option (-e) what the program says on stderr is a
  // warning: the line is skipped and the text goes on, nothing refused.
  m.reset();
  m.write("ERR 30\r\n");
  m.write("e 20\r\n");
  m.flush();
  EXPECT_EQ(readAll(m, &last), samplesOf({"e 20"}));
  EXPECT_EQ(m.lastError(), 0);

  // Without it the next child is started without -e, and a line it
  // complains of is told, until a reset clears it. The reset's spare (with
  // -e) starts at nearly the same moment, so the two log lines may come in
  // either order.
  m.reset();
  m.setNoError(0);
  const std::string absolute = fs::absolute(voice_).string();
  std::vector<std::string> log;
  EXPECT_TRUE(eventually([&] {
    log = starts();
    return std::find(log.begin(), log.end(), "start " + absolute + " - -.raw") != log.end();
  }));
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "start -e " + absolute + " - -.raw");
  m.write("ERR 30\r\n");
  EXPECT_TRUE(eventually([&] { return m.lastError() != 0; }));
  m.reset();
  EXPECT_EQ(m.lastError(), 0);
  m.close();
  EXPECT_EQ(fakeChildren(), "");
  EXPECT_EQ(m.write("a 10\r\n"), -1);
}

TEST_F(MbrolaProcessTest, SurvivesADeathAHangAndALongText) {
  MbrolaProcess m;
  start(m);
  m.write("a 10\r\n");
  m.write("DIE 10\r\n");
  // Writing to the dead program neither signals us nor waits.
  ASSERT_TRUE(eventually([] { return fakeChildren().find('Z') != std::string::npos; }));
  EXPECT_EQ(m.write("o 10\r\n"), -1);
  EXPECT_NE(m.lastError(), 0);
  m.flush();
  int last = 0;
  readAll(m, &last);
  EXPECT_LT(last, 0);
  m.reset();
  EXPECT_EQ(m.lastError(), 0);
  m.write("b 30\r\n");
  m.flush();
  EXPECT_EQ(readAll(m, &last), samplesOf({"b 30"}));
  EXPECT_EQ(last, 0);

  // A program that stops working: a write or a read waits on it only so
  // long, and the next text has a new one.
  MbrolaProcess hung(300);
  start(hung);
  hung.write("HANG\r\n");
  for (int written = 0; hung.write("a 10 50 200\r\n") == 1;) ASSERT_LT(++written, 1000000);
  EXPECT_NE(hung.lastError(), 0);
  hung.reset();
  hung.write("HANG\r\n");
  hung.flush();
  readAll(hung, &last);
  EXPECT_LT(last, 0);
  hung.reset();
  hung.write("b 30\r\n");
  hung.flush();
  EXPECT_EQ(readAll(hung, &last), samplesOf({"b 30"}));
  hung.close();

  // A program that greets on its error output before any line: the
  // greeting refuses nothing, in the first child or in those after it.
  setenv("TALONIX_FAKE_MBROLA_GREET", "1", 1);
  MbrolaProcess greeter;
  start(greeter);
  for (int text = 0; text < 3; ++text) {
    greeter.reset();
    greeter.write("a 20\r\n");
    greeter.write("o 20\r\n");
    EXPECT_EQ(greeter.lastError(), 0) << "text " << text;
    greeter.flush();
    EXPECT_EQ(readAll(greeter, &last), samplesOf({"a 20", "o 20"}));
  }
  greeter.close();
  unsetenv("TALONIX_FAKE_MBROLA_GREET");

  // Ten thousand lines written without reading: the program's output
  // fills its pipe long before the end, and neither side may wait forever.
  m.reset();
  std::vector<std::string> text;
  for (int i = 0; i < 10000; ++i) text.push_back(i % 2 ? "a 20 50 200\r\n" : "s 20\r\n");
  for (const std::string& line : text) ASSERT_EQ(m.write(line), 1);
  EXPECT_EQ(m.lastError(), 0);
  m.flush();
  EXPECT_EQ(readAll(m, &last), samplesOf(text));
  EXPECT_EQ(last, 0);
  m.close();
  EXPECT_EQ(fakeChildren(), "");
}

}  // namespace
