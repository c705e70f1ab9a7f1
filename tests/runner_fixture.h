// End-to-end tests through the built scenario runner (talonix-run), run as
// a separate process exactly as a user of it would: its arguments go to the
// child as they are (no shell), its input is empty and its stderr is kept.
// Each test has its own directory with the stand-in for the Windows
// directory ("config") and the program's directory ("work"); a run's
// outputs are read back with the runner's own transcript reader.
#ifndef TALONIX_TESTS_RUNNER_FIXTURE_H_
#define TALONIX_TESTS_RUNNER_FIXTURE_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/headless/transcript.h"

namespace runnertest {

using Lines = std::vector<std::string>;

// Queries on speech records or screen rows.
int countOf(const Lines& lines, const std::string& line);
bool contains(const Lines& lines, const std::string& line);
// True when `wanted` appear in this order, other lines between them allowed.
bool inOrder(const Lines& lines, const Lines& wanted);
// True when `wanted` appear one right after the other.
bool consecutive(const Lines& lines, const Lines& wanted);
// The lines after the n-th (1-based) occurrence of `line`; none when it
// does not occur that often.
Lines after(const Lines& lines, const std::string& line, int n = 1);
// The lines whose first word is none of `kinds` ("pause", "click", ...).
Lines without(const Lines& lines, std::initializer_list<std::string_view> kinds);

// What one run left: its outputs (screen and speech UTF-8), exit code and
// stderr.
struct RunResult : plat::headless::Transcript {
  int code = -1;  // -1 when the process did not end by itself
  std::string errors;

  // The first screen row (0-based) that begins with `text`, else -1.
  int rowStarting(const std::string& text) const;
  int count(const std::string& line) const { return countOf(speech, line); }
  bool said(const std::string& line) const { return contains(speech, line); }
  // True when some speech line holds `text`.
  bool mentions(const std::string& text) const;
  Lines after(const std::string& line, int n = 1) const {
    return runnertest::after(speech, line, n);
  }
};

class RunnerFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::filesystem::path dir() const { return dir_; }
  std::filesystem::path configDir() const { return dir_ / "config"; }
  std::filesystem::path workDir() const { return dir_ / "work"; }

  // Runs `script` with --config-dir and --workdir set, the screen,
  // attributes, speech, print log and clipboard written, and `extra`
  // arguments after them.
  RunResult run(const std::string& script, const std::vector<std::string>& extra = {});
  // The same with the session's sound (--audio) too.
  RunResult runWithAudio(const std::string& script,
                         const std::vector<std::string>& extra = {});
  // The runner with exactly these arguments; its exit code.
  int runRaw(const std::vector<std::string>& args);

 private:
  RunResult runWith(const std::string& script, const std::vector<std::string>& extra,
                    bool audio);
  std::filesystem::path dir_;
};

}  // namespace runnertest

#endif  // TALONIX_TESTS_RUNNER_FIXTURE_H_
