#include "tests/runner_fixture.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

#include "tests/test_files.h"
#include "tests/voice_kit_fixture.h"

extern char** environ;

namespace runnertest {
namespace {

namespace fs = std::filesystem;

// Starts the runner with `args` (stdin empty, stderr into `errors`) and
// waits for it; its exit code, -1 when it could not start or was killed.
int spawnRunner(const std::vector<std::string>& args, const fs::path& errors) {
  std::vector<std::string> words{TALONIX_RUN_PATH};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t child = -1;
  const int started = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0) {
    ADD_FAILURE() << "cannot start " << argv[0];
    return -1;
  }
  int status = 0;
  while (waitpid(child, &status, 0) == -1) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int countOf(const Lines& lines, const std::string& line) {
  return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

bool contains(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool inOrder(const Lines& lines, const Lines& wanted) {
  auto at = lines.begin();
  for (const std::string& line : wanted) {
    at = std::find(at, lines.end(), line);
    if (at == lines.end()) return false;
    ++at;
  }
  return true;
}

bool consecutive(const Lines& lines, const Lines& wanted) {
  return std::search(lines.begin(), lines.end(), wanted.begin(), wanted.end()) != lines.end();
}

Lines after(const Lines& lines, const std::string& line, int n) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == line && --n == 0) return Lines(lines.begin() + i + 1, lines.end());
  }
  return {};
}

Lines without(const Lines& lines, std::initializer_list<std::string_view> kinds) {
  Lines out;
  for (const std::string& line : lines) {
    const std::string_view first = std::string_view(line).substr(0, line.find(' '));
    if (std::find(kinds.begin(), kinds.end(), first) == kinds.end()) out.push_back(line);
  }
  return out;
}

int RunResult::rowStarting(const std::string& text) const {
  for (size_t i = 0; i < screen.size(); ++i) {
    if (screen[i].rfind(text, 0) == 0) return static_cast<int>(i);
  }
  return -1;
}

bool RunResult::mentions(const std::string& text) const {
  return std::any_of(speech.begin(), speech.end(), [&](const std::string& line) {
    return line.find(text) != std::string::npos;
  });
}

void RunnerFixture::SetUp() {
  // Tests run side by side in separate processes: the process id keeps
  // their directories apart.
  static std::atomic<int> counter{0};
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  dir_ = fs::temp_directory_path() /
         (std::string("talonix-run-") + info->test_suite_name() + "-" + info->name() + "-" +
          std::to_string(::getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(dir_);
  fs::create_directories(configDir());
  fs::create_directories(workDir());
  // The program speaks with the build's voice, from a tree of its own.
  voicetest::linkVoiceKit(dir_ / "share" / "tarvek");
}

void RunnerFixture::TearDown() {
  std::error_code ignored;
  fs::remove_all(dir_, ignored);
}

RunResult RunnerFixture::run(const std::string& script, const std::vector<std::string>& extra) {
  return runWith(script, extra, false);
}

RunResult RunnerFixture::runWithAudio(const std::string& script,
                                      const std::vector<std::string>& extra) {
  return runWith(script, extra, true);
}

int RunnerFixture::runRaw(const std::vector<std::string>& args) {
  return spawnRunner(args, dir_ / "stderr.txt");
}

RunResult RunnerFixture::runWith(const std::string& script,
                                 const std::vector<std::string>& extra, bool audio) {
  plat::headless::TranscriptFiles files{dir_ / "screen.txt", dir_ / "attrs.txt",
                                        dir_ / "speech.txt", {}, {}, dir_ / "print.txt",
                                        dir_ / "clipboard.txt"};
  if (audio) {
    files.audio = dir_ / "session.wav";
    files.levels = dir_ / "levels.txt";
  }
  // A run that writes nothing must not be read as the one before it.
  for (const fs::path& old : {files.screen, files.attrs, files.speech, dir_ / "session.wav",
                         dir_ / "levels.txt", files.print, files.clipboard})
    fs::remove(old);
  testfiles::writeFile(dir_ / "keys.txt", script);
  std::vector<std::string> args = {"--keys",   (dir_ / "keys.txt").string(),
                                   "--screen", files.screen.string(),
                                   "--attrs",  files.attrs.string(),
                                   "--speech", files.speech.string(),
                                   "--print",  files.print.string(),
                                   "--clipboard", files.clipboard.string(),
                                   "--config-dir", configDir().string(),
                                   "--workdir", workDir().string(),
                                   "--program-path", (dir_ / "bin" / "talonix").string()};
  if (audio) {
    args.insert(args.end(), {"--audio", files.audio.string(), "--levels",
                             files.levels.string()});
  }
  args.insert(args.end(), extra.begin(), extra.end());
  RunResult r;
  r.code = runRaw(args);
  static_cast<plat::headless::Transcript&>(r) = plat::headless::readTranscript(files);
  r.errors = testfiles::readAll(dir_ / "stderr.txt");
  return r;
}

}  // namespace runnertest
