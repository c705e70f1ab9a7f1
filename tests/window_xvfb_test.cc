// The program in its desktop window, on a private X server, driven with
// real key and mouse events and checked from screenshots: the window must
// show, cell for cell and colour for colour, what the headless runner
// paints after the same keys.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/runner_fixture.h"
#include "tests/test_files.h"
#include "tests/x11_screen.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace x11test;

constexpr int kCellWidth = 10, kLineHeight = 20, kFactor = 3;
const char kSettings[] =
    "[VIDEO]\r\nFONTE=DejaVu Sans Mono\r\nLARGURALETRA=10\r\nALTURALETRA=20\r\n"
    "CANTOTELA=NAO\r\nAMPLIF=3\r\n";

// The last row that begins with `text` (Windows-1252), else -1.
int lastRowStarting(const Grid& grid, const std::string& text) {
  int found = -1;
  for (int r = 0; r < kRows; ++r) {
    bool match = true;
    for (size_t i = 0; i < text.size(); ++i)
      match = match && grid.cells[r][i].ch == static_cast<uint8_t>(text[i]);
    if (match) found = r;
  }
  return found;
}

class WindowXvfbTest : public runnertest::RunnerFixture {
 protected:
  void SetUp() override {
    if (!installed("Xvfb") || !installed("xdotool"))
      GTEST_SKIP() << "Xvfb and xdotool are needed (scripts/setup.sh test)";
    RunnerFixture::SetUp();
    std::string why;
    ASSERT_TRUE(xvfb_.start(&why)) << why;
    ASSERT_TRUE(x_.open(xvfb_.display()));
    ASSERT_TRUE(reader_.load("DejaVu Sans Mono", kCellWidth, kLineHeight));
  }
  void TearDown() override {
    if (program_ > 0) {
      ::kill(program_, SIGKILL);
      ::waitpid(program_, nullptr, 0);
    }
    x_.close();
    xvfb_.stop();
    if (!IsSkipped()) RunnerFixture::TearDown();
  }

  // What the runner shows after `script`, started afresh with the same
  // settings as the window.
  Grid runnerShows(const std::string& script) {
    const fs::path base = dir() / "runner";
    fs::remove_all(base);
    testfiles::writeFile(base / "config" / "LUMIRA.INI", kSettings);
    fs::create_directories(base / "work");
    testfiles::writeFile(base / "keys.txt", script);
    const int code = runRaw({"--keys", (base / "keys.txt").string(), "--screen",
                             (base / "screen.txt").string(), "--attrs",
                             (base / "attrs.txt").string(), "--config-dir",
                             (base / "config").string(), "--workdir", (base / "work").string()});
    EXPECT_EQ(code, 0) << script;
    Grid grid;
    EXPECT_TRUE(readRunnerGrid((base / "screen.txt").string(), (base / "attrs.txt").string(),
                               &grid));
    return grid;
  }

  // Starts `talonix --window` on the private display, in a directory of
  // its own, with settings of its own and sound that plays nowhere.
  void startProgram() {
    testfiles::writeFile(configDir() / "LUMIRA.INI", kSettings);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
      const std::string v = *e;
      if (v.rfind("SDL_", 0) != 0 && v.rfind("DISPLAY=", 0) != 0 &&
          v.rfind("TALONIX_CONFIG_DIR=", 0) != 0 && v.rfind("ASAN_OPTIONS=", 0) != 0)
        env.push_back(v);
    }
    // Under the sanitizers, memory errors still fail the test; leaks are
    // not looked for in the child, where the X and D-Bus libraries keep
    // memory whose allocation stacks cannot be told apart (the window's own
    // code is leak-checked in-process on SDL's dummy driver).
    const char* asan = std::getenv("ASAN_OPTIONS");
    env.push_back(std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":detect_leaks=0");
    env.push_back("DISPLAY=" + xvfb_.display());
    env.push_back("SDL_AUDIODRIVER=dummy");
    env.push_back("TALONIX_CONFIG_DIR=" + configDir().string());
    std::vector<char*> envp;
    for (std::string& v : env) envp.push_back(v.data());
    envp.push_back(nullptr);
    const std::string work = workDir().string(), errors = (dir() / "errors.txt").string();
    program_ = ::fork();
    if (program_ == 0) {
      const int in = ::open("/dev/null", O_RDONLY);
      const int out = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ::dup2(in, STDIN_FILENO);
      ::dup2(out, STDOUT_FILENO);
      ::dup2(out, STDERR_FILENO);
      if (::chdir(work.c_str()) != 0) ::_exit(126);
      char* argv[] = {const_cast<char*>(TALONIX_PATH), const_cast<char*>("--window"), nullptr};
      ::execve(argv[0], argv, envp.data());
      ::_exit(127);
    }
  }

  // The program's window client area as the screen shows it now.
  Image client() {
    Geometry g;
    if (!x_.geometry(window_, &g)) return {};
    return x_.capture(g);
  }

  // Waits until the window shows `expected`; a failure names the rows
  // that still differ.
  void expectShows(const Grid& expected, const std::string& what) {
    std::string diff;
    const bool shown = waitFor([&] {
      const Image now = client();
      if (now.width < kColumns * kCellWidth || now.height < kRows * kLineHeight) {
        diff = "no window";
        return false;
      }
      diff = reader_.differences(expected, reader_.read(now));
      return diff.empty();
    });
    EXPECT_TRUE(shown) << what << ":\n" << diff;
  }

  void press(const std::vector<std::string>& args) {
    ASSERT_TRUE(xdotool(xvfb_.display(), args)) << args.front();
  }

  // The program's exit status once it ends within `seconds`, else -1.
  int exitStatus(double seconds) {
    int status = 0;
    const bool ended = waitFor([&] { return ::waitpid(program_, &status, WNOHANG) == program_; },
                               seconds);
    if (!ended) return -1;
    program_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  Xvfb xvfb_;
  Display x_;
  CellReader reader_;
  pid_t program_ = -1;
  unsigned long window_ = 0;
};

TEST_F(WindowXvfbTest, TheWindowShowsWhatTheRunnerPaintsAndAnswersKeysAndMouse) {
  const auto started = std::chrono::steady_clock::now();
  startProgram();

  // A window of the grid's size with the program's title.
  ASSERT_TRUE(waitFor([&] { return (window_ = x_.findWindow("Talonix")) != 0; }))
      << "no window; the program said: " << testfiles::readAll(dir() / "errors.txt");
  Geometry g;
  ASSERT_TRUE(x_.geometry(window_, &g));
  EXPECT_EQ(g.width, kColumns * kCellWidth);
  EXPECT_EQ(g.height, kRows * kLineHeight);
  press({"mousemove", "--window", std::to_string(window_), "400", "250"});
  press({"windowfocus", "--sync", std::to_string(window_)});

  // Idle at the main prompt: the banner, the prompt and their colours, and,
  // once the prompt is spoken, the caret where the answer goes.
  const Grid prompt = runnerShows("");
  expectShows(prompt, "the main prompt");
  int column = -1, row = -1;
  EXPECT_TRUE(waitFor([&] { return reader_.read(client()).caret(&column, &row); }));
  EXPECT_EQ(column, 11);
  EXPECT_EQ(row, lastRowStarting(prompt, "Sua op"));
  EXPECT_TRUE(waitFor([&] { return x_.title(window_) == "Talonix Banco do Brasil"; }))
      << x_.title(window_);

  // The Down arrow opens the command popup; ESC closes it and prompts again.
  press({"key", "Down"});
  expectShows(runnerShows("Down"), "the command popup");
  press({"key", "Escape"});
  expectShows(runnerShows("Down Esc"), "the popup closed");

  // Braille mode 1 with Ctrl+Shift+F11 (X servers keep Ctrl+Alt+F11 for
  // themselves, so the window takes it for Ctrl+Alt+F11); then F and D
  // pressed together and released are "b".
  press({"key", "ctrl+shift+F11"});
  // The mode takes effect after its two 200 ms signal tones, which nothing
  // on the screen shows; a loaded machine gets time to spare.
  std::this_thread::sleep_for(std::chrono::milliseconds(3000));
  press({"keydown", "f", "keydown", "d", "keyup", "f", "keyup", "d"});
  const Grid braille = runnerShows("Down Esc Ctrl+Alt+F11 chord:FD");
  expectShows(braille, "the Braille chord");

  // The magnifier: while the right button is held, the window shows the
  // part around the mouse three times as large, and follows the mouse;
  // released, the text and the caret again.
  EXPECT_TRUE(waitFor([&] { return reader_.read(client()).caret(&column, &row); }));
  const Image before = client();
  auto magnifiedAt = [&](int px, int py) {
    std::string why;
    EXPECT_TRUE(waitFor([&] {
      const Image now = client();
      return now != before && isMagnified(before, now, px, py, kFactor, &why);
    })) << "around (" << px << ", " << py << "): " << why;
  };
  press({"mousemove", "--window", std::to_string(window_), "300", "150"});
  press({"mousedown", "3"});
  magnifiedAt(300, 150);
  press({"mousemove", "--window", std::to_string(window_), "650", "420"});
  magnifiedAt(650, 420);
  press({"mouseup", "3"});
  expectShows(braille, "the magnifier released");
  int caretColumn = -1, caretRow = -1;
  EXPECT_TRUE(waitFor([&] { return reader_.read(client()).caret(&caretColumn, &caretRow); }));
  EXPECT_EQ(caretColumn, column);
  EXPECT_EQ(caretRow, row);

  // ESC at the main prompt: the farewell is spoken, then the program ends.
  press({"key", "Escape"});
  EXPECT_EQ(exitStatus(15), 0);
  EXPECT_EQ(testfiles::readAll(dir() / "errors.txt"), "");
  std::printf("the scenario took %.1f s\n",
              std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
}

}  // namespace
