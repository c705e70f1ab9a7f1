// The terminal backend's keyboard state and the shell's open verb: a
// document or address opens with xdg-open, a named program is started
// with its parameters. The child is detached (double fork, own session,
// no terminal), so the program never waits for it and leaves no zombie.
#include <fcntl.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <system_error>
#include <vector>

#include "platform/shared/codepage.h"
#include "platform/posix/posix_system.h"

namespace plat::posix {
namespace {

// Runs argv in the background, cut off from the terminal.
void spawnDetached(const std::vector<std::string>& args,
                   const std::string& directory) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child < 0) return;
  if (child == 0) {
    if (fork() != 0) _exit(0);
    setsid();
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
      dup2(null, 0);
      dup2(null, 1);
      dup2(null, 2);
    }
    if (!directory.empty() && chdir(directory.c_str()) != 0) {
      // The current directory stays; the program may still open.
    }
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);  // the middle process ends at once
}

bool isFile(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

}  // namespace

void PosixSystem::shellOpen(std::string_view program,
                                 std::string_view parameters,
                                 std::string_view directory) {
  if (program.empty()) return;
  const std::string dir = nativePath(directory).string();
  const std::filesystem::path native = nativePath(program);
  // A document or address: the desktop's own association opens it.
  auto target = [&](std::string_view text) {
    const std::filesystem::path p = nativePath(text);
    return isFile(p) ? p.string() : plat::cp1252ToUtf8(text);
  };
  if (isFile(native) && access(native.c_str(), X_OK) == 0) {
    std::vector<std::string> args{native.string()};
    if (!parameters.empty()) args.push_back(plat::cp1252ToUtf8(parameters));
    spawnDetached(args, dir);
  } else if (!parameters.empty()) {
    spawnDetached({"xdg-open", target(parameters)}, dir);
  } else {
    spawnDetached({"xdg-open", target(program)}, dir);
  }
}

}  // namespace plat::posix
