#include "platform/posix/terminal_io.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace plat::posix {
namespace {

// Title kept on the terminal's stack, alternate screen, hidden cursor, and
// modified keys reported (so Ctrl+Enter can be told from Enter).
constexpr char kEnter[] = "\x1b[22;0t\x1b[?1049h\x1b[?25l\x1b[>4;1m";
constexpr char kLeave[] =
    "\x1b[>4m\x1b[0m\x1b[?25h\x1b[?1049l\x1b[23;0t";

constexpr int kFatalSignals[] = {SIGTERM, SIGHUP,  SIGINT, SIGQUIT, SIGSEGV,
                                 SIGABRT, SIGBUS,  SIGFPE, SIGILL};

// Everything a signal handler touches is plain data set before the
// handlers exist.
struct TerminalHold {
  int inFd = -1;
  int outFd = -1;
  bool haveSaved = false;
  termios saved{};
  volatile sig_atomic_t active = 0;
  volatile sig_atomic_t resized = 0;
  volatile sig_atomic_t continued = 0;
  int wake[2] = {-1, -1};
  struct sigaction previous[65];
};

TerminalHold hold;

void writeRaw(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    data += n;
    size -= static_cast<size_t>(n);
  }
}

void wakeFromSignal() {
  const int saved = errno;
  if (hold.wake[1] >= 0) {
    const char b = 1;
    (void)!::write(hold.wake[1], &b, 1);
  }
  errno = saved;
}

void onFatalSignal(int sig) {
  leaveTerminalMode();
  // Hand the signal to whoever had it before (the default action ends the
  // process as the signal says; a sanitizer reports the crash).
  sigaction(sig, &hold.previous[sig], nullptr);
  raise(sig);
}

void onResize(int) {
  hold.resized = 1;
  wakeFromSignal();
}

void onStop(int) {
  leaveTerminalMode();
  raise(SIGSTOP);
}

void onContinue(int) {
  hold.continued = 1;
  wakeFromSignal();
}

void restoreAtExit() { leaveTerminalMode(); }

void install(int sig, void (*handler)(int), int flags) {
  struct sigaction sa;
  std::memset(&sa, 0, sizeof sa);
  sa.sa_handler = handler;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = flags;
  sigaction(sig, &sa, &hold.previous[sig]);
}

void installOnce() {
  if (::pipe(hold.wake) == 0) {
    for (int fd : hold.wake) {
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
      ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
  }
  for (int sig : kFatalSignals) install(sig, onFatalSignal, SA_RESETHAND);
  install(SIGWINCH, onResize, SA_RESTART);
  install(SIGTSTP, onStop, SA_RESTART);
  install(SIGCONT, onContinue, SA_RESTART);
  std::atexit(restoreAtExit);
}

// Once per process, whichever thread comes first (sound threads post
// wake-ups too): a second pipe would take wake-ups nobody polls.
void installHandlers() {
  static std::once_flag once;
  std::call_once(once, installOnce);
}

}  // namespace

bool enterTerminalMode(int inFd, int outFd) {
  installHandlers();
  hold.inFd = inFd;
  hold.outFd = outFd;
  if (!hold.haveSaved && ::tcgetattr(inFd, &hold.saved) == 0) {
    hold.haveSaved = true;
  }
  bool raw = false;
  if (hold.haveSaved) {
    termios t = hold.saved;
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                   IXON);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag = (t.c_cflag & ~(CSIZE | PARENB)) | CS8;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    raw = ::tcsetattr(inFd, TCSANOW, &t) == 0;
  }
  if (::isatty(outFd)) writeRaw(outFd, kEnter, sizeof kEnter - 1);
  hold.active = 1;
  return raw;
}

void leaveTerminalMode() {
  if (!hold.active) return;
  hold.active = 0;
  if (::isatty(hold.outFd)) writeRaw(hold.outFd, kLeave, sizeof kLeave - 1);
  if (hold.haveSaved) ::tcsetattr(hold.inFd, TCSANOW, &hold.saved);
}

bool eraseIsDel() {
  return !hold.haveSaved || hold.saved.c_cc[VERASE] != 0x08;
}

bool terminalSize(int fd, int* columns, int* rows) {
  winsize ws{};
  if (::ioctl(fd, TIOCGWINSZ, &ws) != 0 || ws.ws_col == 0 || ws.ws_row == 0) {
    return false;
  }
  *columns = ws.ws_col;
  *rows = ws.ws_row;
  return true;
}

int wakeReadFd() {
  installHandlers();
  return hold.wake[0];
}

void postWake() {
  installHandlers();
  wakeFromSignal();
}

void drainWake() {
  char buf[64];
  while (hold.wake[0] >= 0 && ::read(hold.wake[0], buf, sizeof buf) > 0) {
  }
}

bool takeResized() {
  if (!hold.resized) return false;
  hold.resized = 0;
  return true;
}

bool takeContinued() {
  if (!hold.continued) return false;
  hold.continued = 0;
  return true;
}

bool writeAll(int fd, const char* data, unsigned long size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<unsigned long>(n);
  }
  return true;
}

}  // namespace plat::posix
