#include "platform/posix/mbrola_process.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/shared/codepage.h"

extern char** environ;

namespace plat::posix {
namespace {

using Clock = std::chrono::steady_clock;

// The one command line the program is started with:
//   mbrola [-e] <voice> - -.raw
// "-" reads phoneme lines from standard input; "-.raw" writes headerless
// 16-bit little-endian samples at the voice's 16 000 Hz to standard output;
// -e goes on past a diphone the voice lacks instead of stopping.
std::vector<std::string> commandLine(const std::string& program,
                                     const std::string& voice, bool noError) {
  std::vector<std::string> args{program};
  if (noError) args.push_back("-e");
  args.insert(args.end(), {voice, "-", "-.raw"});
  return args;
}

bool isFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isProgram(const std::string& path) {
  return isFile(path) && access(path.c_str(), X_OK) == 0;
}

std::string findProgram() {
  const char* chosen = std::getenv("TALONIX_MBROLA");
  const std::string name = chosen && *chosen ? chosen : "mbrola";
  if (name.find('/') != std::string::npos) return isProgram(name) ? name : "";
  const char* path = std::getenv("PATH");
  const std::string dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t from = 0;
  while (from <= dirs.size()) {
    size_t to = dirs.find(':', from);
    if (to == std::string::npos) to = dirs.size();
    const std::string dir = to > from ? dirs.substr(from, to - from) : ".";
    if (isProgram(dir + "/" + name)) return dir + "/" + name;
    from = to + 1;
  }
  return "";
}

// An absolute path, so that no voice path is taken for an option.
std::string findVoice(std::string_view databasePath) {
  const std::string given = plat::cp1252ToUtf8(databasePath);
  std::error_code ec;
  if (!given.empty() && isFile(given)) {
    const std::filesystem::path full = std::filesystem::absolute(given, ec);
    return ec ? "" : full.string();
  }
  const size_t cut = given.find_last_of("/\\");
  const std::string name = cut == std::string::npos ? given : given.substr(cut + 1);
  if (name.empty() || name == "." || name == "..") return "";
  for (const std::string& candidate :
       {"/usr/share/mbrola/" + name + "/" + name, "/usr/share/mbrola/" + name}) {
    if (isFile(candidate)) return candidate;
  }
  return "";
}

int msSince(Clock::time_point then) {
  return static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - then).count());
}

void closeFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

MbrolaProcess::~MbrolaProcess() { close(); }

plat::MbrolaLoad MbrolaProcess::load(std::string_view databasePath) {
  program_ = findProgram();
  if (program_.empty() || findVoice(databasePath).empty()) {
    program_.clear();
    return plat::MbrolaLoad::kAbsent;
  }
  return plat::MbrolaLoad::kLoaded;
}

void MbrolaProcess::unload() {
  close();
  program_.clear();
}

MbrolaProcess::Child MbrolaProcess::start() const {
  Child child;
  child.noError = noError_;
  int in[2] = {-1, -1}, out[2] = {-1, -1}, err[2] = {-1, -1};
  // The input is a socket so that writing to a child that has gone fails
  // instead of raising SIGPIPE. Our ends are closed on exec, so that no
  // later child holds them open.
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, in) != 0 ||
      pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
    for (int* fd : {&in[0], &in[1], &out[0], &out[1], &err[0], &err[1]}) closeFd(*fd);
    child.failed = true;
    return child;
  }
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_adddup2(&files, in[1], 0);
  posix_spawn_file_actions_adddup2(&files, out[1], 1);
  posix_spawn_file_actions_adddup2(&files, err[1], 2);
  // The child gets plain signal handling, whatever ours is.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  std::vector<std::string> args = commandLine(program_, voice_, noError_);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const int spawned =
      posix_spawn(&child.pid, program_.c_str(), &files, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  posix_spawnattr_destroy(&attr);
  closeFd(in[1]);
  closeFd(out[1]);
  closeFd(err[1]);
  child.in = in[0];
  child.out = out[0];
  child.err = err[0];
  for (int fd : {child.in, child.out, child.err}) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  }
  if (spawned != 0) {
    child.pid = -1;
    child.failed = true;
    closeFd(child.in);
    closeFd(child.out);
    closeFd(child.err);
  }
  return child;
}

// Kills and reaps the child; what it left unread goes with it.
void MbrolaProcess::end(Child& child) {
  if (child.pid > 0) {
    kill(child.pid, SIGKILL);
    while (waitpid(child.pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  closeFd(child.in);
  closeFd(child.out);
  closeFd(child.err);
  child = Child{};
}

bool MbrolaProcess::alive(Child& child) {
  if (child.pid <= 0) return false;
  int status = 0;
  const pid_t done = waitpid(child.pid, &status, WNOHANG);
  if (done == 0) return true;
  child.pid = -1;
  // Before its input ended a child has no reason to stop.
  if (done < 0 || !child.flushed || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    child.failed = true;
  }
  return false;
}

void MbrolaProcess::reap(Child& child) const {
  const Clock::time_point since = Clock::now();
  while (alive(child)) {
    // Its output has ended, so it is on its way out; one that lingers is
    // ended for it.
    if (msSince(since) >= stallMs_) {
      kill(child.pid, SIGKILL);
      while (waitpid(child.pid, nullptr, 0) < 0 && errno == EINTR) {
      }
      child.pid = -1;
      child.failed = true;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

bool MbrolaProcess::drain(Child& child) {
  bool moved = false;
  uint8_t buffer[65536];
  while (child.out >= 0) {
    const ssize_t n = ::read(child.out, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    moved = true;
    if (n <= 0) {
      if (n < 0) child.failed = true;
      child.outEnded = true;
      closeFd(child.out);
      break;
    }
    if (child.head > 0 && child.head * 2 >= child.bytes.size()) {
      child.bytes.erase(child.bytes.begin(), child.bytes.begin() + child.head);
      child.head = 0;
    }
    child.bytes.insert(child.bytes.end(), buffer, buffer + n);
  }
  while (child.err >= 0) {
    const ssize_t n = ::read(child.err, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    moved = true;
    if (n <= 0) {
      closeFd(child.err);
      break;
    }
    // Without -e, words on its error output after a line tell of a line it
    // did not take. With -e they are warnings (a diphone it lacks, a line
    // it skipped) and it goes on: resetting would throw good sound away.
    // What it says before its first line (a banner) is never a refusal.
    if (child.written && !child.noError &&
        std::any_of(buffer, buffer + n, [](uint8_t c) { return c > ' '; })) {
      child.refused = true;
    }
  }
  return moved;
}

bool MbrolaProcess::writeAll(Child& child, const std::string& text) {
  size_t sent = 0;
  Clock::time_point moved = Clock::now();
  while (sent < text.size()) {
    const ssize_t n = send(child.in, text.data() + sent, text.size() - sent,
                           MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      sent += static_cast<size_t>(n);
      moved = Clock::now();
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
    // Its input is full: take its output meanwhile, or it may be waiting
    // for us to do so before it reads on.
    if (drain(child)) moved = Clock::now();
    const int left = stallMs_ - msSince(moved);
    if (left <= 0) return false;
    pollfd fds[3] = {{child.in, POLLOUT, 0}, {child.out, POLLIN, 0}, {child.err, POLLIN, 0}};
    poll(fds, 3, left);
  }
  return true;
}

int MbrolaProcess::init(std::string_view databasePath) {
  if (program_.empty()) return -1;
  voice_ = findVoice(databasePath);
  end(current_);
  end(spare_);
  if (voice_.empty()) return -1;
  current_ = start();
  // A program that cannot use the voice says so and ends at once; one
  // still running when the watch is over is taken as ready.
  const Clock::time_point since = Clock::now();
  int left = startWatchMs_;
  while (left > 0 && current_.err >= 0) {
    pollfd fd{current_.err, POLLIN, 0};
    if (poll(&fd, 1, left) > 0) drain(current_);
    left = startWatchMs_ - msSince(since);
  }
  if (current_.err < 0) reap(current_);
  if (current_.failed || current_.pid <= 0) {
    end(current_);
    voice_.clear();
    return -1;
  }
  current_.refused = false;  // talk before any line is no line's error
  return 0;
}

void MbrolaProcess::setNoError(int noError) {
  noError_ = noError != 0;
  // A child not yet used is started again with the new option.
  if (!voice_.empty() && !current_.written && current_.noError != noError_) {
    end(current_);
    current_ = start();
  }
}

void MbrolaProcess::reset() {
  if (voice_.empty()) return;
  const bool fresh = !current_.written && !current_.failed && !current_.refused &&
                     current_.noError == noError_ && alive(current_);
  if (!fresh) {
    end(current_);
    if (spare_.noError == noError_ && alive(spare_)) {
      drain(spare_);  // its banner, if any, read while nothing is written
      current_ = std::move(spare_);
      spare_ = Child{};
    } else {
      end(spare_);
      current_ = start();
    }
  }
  keepSpare();
}

void MbrolaProcess::keepSpare() {
  if (spare_.noError == noError_ && alive(spare_)) return;
  end(spare_);
  spare_ = start();
}

int MbrolaProcess::write(std::string_view line) {
  Child& child = current_;
  if (voice_.empty() || child.failed || child.in < 0) {
    child.refused = true;
    return -1;
  }
  std::string text(line.substr(0, line.find_first_of("\r\n")));
  text.push_back('\n');
  child.written = true;
  if (!writeAll(child, text)) {
    child.failed = true;
    // Stopped, so that later calls do not wait on it again.
    if (child.pid > 0) kill(child.pid, SIGKILL);
    reap(child);
    return -1;
  }
  drain(child);
  return 1;
}

int MbrolaProcess::lastError() {
  if (voice_.empty()) return 1;
  drain(current_);
  alive(current_);
  return current_.failed || current_.refused ? 1 : 0;
}

int MbrolaProcess::flush() {
  if (voice_.empty() || current_.flushed) return -1;
  current_.flushed = true;
  closeFd(current_.in);
  return current_.failed ? -1 : 0;
}

int MbrolaProcess::takeSamples(Child& child, int16_t* samples, int wanted) {
  const size_t whole = (child.bytes.size() - child.head) / 2;
  const int n = static_cast<int>(std::min(whole, static_cast<size_t>(wanted)));
  const uint8_t* from = child.bytes.data() + child.head;
  for (int i = 0; i < n; ++i) {
    samples[i] = static_cast<int16_t>(static_cast<uint16_t>(from[2 * i] | (from[2 * i + 1] << 8)));
  }
  child.head += static_cast<size_t>(n) * 2;
  if (child.head == child.bytes.size()) {
    child.bytes.clear();
    child.head = 0;
  }
  return n;
}

int MbrolaProcess::read(int16_t* samples, int wanted) {
  if (!samples || voice_.empty()) return -1;
  if (wanted <= 0) return 0;
  Child& child = current_;
  drain(child);
  int n = takeSamples(child, samples, wanted);
  if (n > 0) return n;
  if (!child.flushed) {
    alive(child);
    return child.failed ? -1 : 0;
  }
  Clock::time_point moved = Clock::now();
  while (!child.outEnded) {
    const int left = stallMs_ - msSince(moved);
    if (left <= 0) {
      if (child.pid > 0) kill(child.pid, SIGKILL);
      reap(child);
      child.failed = true;
      return -1;
    }
    pollfd fds[2] = {{child.out, POLLIN, 0}, {child.err, POLLIN, 0}};
    poll(fds, 2, left);
    if (drain(child)) moved = Clock::now();
    n = takeSamples(child, samples, wanted);
    if (n > 0) return n;
  }
  reap(child);
  return child.failed ? -1 : 0;
}

void MbrolaProcess::close() {
  end(current_);
  end(spare_);
  voice_.clear();
}

}  // namespace plat::posix
