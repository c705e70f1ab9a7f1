// The terminal program on the sound drivers a machine without a card has:
// SDL's dummy and disk drivers, and none at all. It must start, speak its
// farewell recording (or stay silent) and end, never hang, and never write
// a sound library's complaints across the user's screen.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/voice_kit_fixture.h"
#include "tests/wave_test_util.h"
#include "tests/test_files.h"

extern char** environ;

namespace {

using testfiles::readAll;

namespace fs = std::filesystem;

struct Outcome {
  bool ended = false;  // false: still running at the limit, then killed
  int exitCode = -1;
  std::string screen, errors;
};

class SoundDeviceScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    dir_ = fs::temp_directory_path() /
           ("talonix-device-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "config");
    fs::create_directories(dir_ / "work");
    voicetest::writeSilentVoiceKit(dir_ / "tarvek");
    const fs::path sounds = dir_ / "tarvek" / "som";
    std::ofstream(dir_ / "config" / "LUMIRA.INI", std::ios::binary)
        << "[TALONIX]\r\nDIRTALONIX=" << (dir_ / "sons").string() << "\r\n"
        << "[TRADUTOR]\r\nDIRLETRAS=" << (sounds / "letras").string()
        << "\r\nDIRDIFONES=" << (sounds / "difones").string() << "\r\n";
    farewell_ = wavetest::tone8(2000, 40);
    wavetest::writeBytes(dir_ / "sons" / "CHFIM.wav", wavetest::makeWav(farewell_));
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  // Runs the program with `driver`, types ESC and keeps the terminal open
  // until it ends by itself.
  Outcome run(const std::string& driver, const std::string& device = "") {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
      const std::string v = *e;
      if (v.rfind("SDL_", 0) != 0 && v.rfind("AUDIODEV=", 0) != 0 &&
          v.rfind("TALONIX_CONFIG_DIR=", 0) != 0) {
        env.push_back(v);
      }
    }
    if (!device.empty()) env.push_back("AUDIODEV=" + device);
    env.push_back("SDL_AUDIODRIVER=" + driver);
    env.push_back("SDL_DISKAUDIOFILE=" + disk().string());
    env.push_back("TALONIX_CONFIG_DIR=" + (dir_ / "config").string());
    std::vector<char*> envp;
    for (std::string& v : env) envp.push_back(v.data());
    envp.push_back(nullptr);
    const std::string program =
        (fs::path(TALONIX_RUN_PATH).parent_path() / "talonix").string();
    const std::string work = (dir_ / "work").string();
    const std::string screen = (dir_ / "screen.txt").string();
    const std::string errors = (dir_ / "errors.txt").string();

    int keys[2];
    EXPECT_EQ(::pipe(keys), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      ::dup2(keys[0], STDIN_FILENO);
      ::close(keys[0]);
      ::close(keys[1]);
      const int out = ::open(screen.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ::dup2(out, STDOUT_FILENO);
      ::dup2(err, STDERR_FILENO);
      if (::chdir(work.c_str()) != 0) ::_exit(126);
      // The terminal, even when the tests run on a desktop.
      char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("--terminal"),
                      nullptr};
      ::execve(program.c_str(), argv, envp.data());
      ::_exit(127);
    }
    ::close(keys[0]);
    std::this_thread::sleep_for(std::chrono::milliseconds(escDelayMs_));
    EXPECT_EQ(::write(keys[1], "\x1b", 1), 1);
    Outcome o;
    int status = 0;
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < limit) {
      if (::waitpid(child, &status, WNOHANG) == child) {
        o.ended = true;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!o.ended) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
    }
    ::close(keys[1]);
    o.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    o.screen = readAll(screen);
    o.errors = readAll(errors);
    return o;
  }
  fs::path disk() const { return dir_ / "disk.raw"; }

  fs::path dir_;
  std::vector<uint8_t> farewell_;
  int escDelayMs_ = 0;  // how long the user listens before pressing ESC
};

TEST_F(SoundDeviceScenarioTest, TheDummyDriverPlaysAndTheProgramEnds) {
  const Outcome o = run("dummy");
  ASSERT_TRUE(o.ended) << "the program hung";
  EXPECT_EQ(o.exitCode, 0);
  EXPECT_NE(o.screen.find("Fim do programa"), std::string::npos);
  EXPECT_EQ(o.errors, "");
}

TEST_F(SoundDeviceScenarioTest, TheDiskDriverReceivesTheRecordingsSamples) {
  const Outcome o = run("disk");
  ASSERT_TRUE(o.ended) << "the program hung";
  EXPECT_EQ(o.exitCode, 0);
  const std::string written = readAll(disk());
  // All but the last byte, which the player turns into silence.
  const std::string expected(farewell_.begin(), farewell_.end() - 1);
  EXPECT_NE(written.find(expected + '\x80'), std::string::npos);
}

TEST_F(SoundDeviceScenarioTest, WithoutAnyDeviceTheProgramRunsSilently) {
  struct Case {
    const char* driver;
    const char* device;
  };
  // No driver by that name; a disk driver that cannot write its file; a
  // sound library asked for a card that is not there (it complains on
  // stderr, which must not reach the screen).
  for (const Case& c : {Case{"nonexistent", ""}, Case{"disk", ""},
                        Case{"alsa", "talonix_no_such_device"}}) {
    if (std::string(c.driver) == "disk") fs::create_directories(disk());
    const Outcome o = run(c.driver, c.device);
    ASSERT_TRUE(o.ended) << c.driver << ": the program hung";
    EXPECT_EQ(o.exitCode, 0) << c.driver;
    EXPECT_NE(o.screen.find("Fim do programa"), std::string::npos) << c.driver;
    EXPECT_EQ(o.errors, "") << c.driver;
  }
}

TEST_F(SoundDeviceScenarioTest, AFreshInstallationSpeaksItsFirstPromptAloud) {
  // No settings at all: the program finds the voice kit beside itself and
  // speaks its banner from it. The user listens two seconds, then leaves.
  fs::remove(dir_ / "config" / "LUMIRA.INI");
  escDelayMs_ = 2000;
  const Outcome o = run("disk");
  ASSERT_TRUE(o.ended) << "the program hung";
  EXPECT_EQ(o.exitCode, 0);
  // The kit's recordings are 8-bit mono, which the device keeps. The
  // first prompt runs from its first sound to its first tenth of a second
  // of silence.
  const std::string played = readAll(disk());
  size_t begin = 0;
  while (begin < played.size() && static_cast<uint8_t>(played[begin]) == 128) ++begin;
  ASSERT_LT(begin, played.size()) << "nothing was heard";
  double energy = 0;
  size_t end = begin, quiet = 0;
  for (; end < played.size() && quiet < 1102; ++end) {
    const double v = (static_cast<uint8_t>(played[end]) - 128) / 128.0;
    energy += v * v;
    quiet = std::abs(v) < 2 / 128.0 ? quiet + 1 : 0;
  }
  const double dbfs = 10 * std::log10(energy / static_cast<double>(end - begin));
  std::printf("first prompt: %.2f s at %.1f dBFS\n",
              static_cast<double>(end - begin) / 11025, dbfs);
  EXPECT_GT(dbfs, -40.0);
  EXPECT_GT(end - begin, 11025u / 2);
  EXPECT_TRUE(fs::exists(dir_ / "config" / "LUMIRA.INI"));
}

}  // namespace
