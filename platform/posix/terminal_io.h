// The process's hold on its terminal: raw keyboard mode, the alternate
// screen and a hidden cursor while the program runs, and the guarantee that
// the terminal is given back on every way out (normal exit, std::exit,
// termination signals, crashes). Signals are turned into wake-ups of the
// message loop through a self-pipe.
#ifndef TALONIX_PLATFORM_POSIX_TERMINAL_IO_H_
#define TALONIX_PLATFORM_POSIX_TERMINAL_IO_H_

namespace plat::posix {

// Takes the terminal: raw mode on `inFd` (no echo, no line editing, no
// signal keys, so Ctrl+C and Ctrl+\ arrive as keys), the alternate screen
// and a hidden cursor on `outFd`. Installs the restoring handlers once.
// A descriptor that is no terminal is left as it is. Returns whether raw
// mode is on.
bool enterTerminalMode(int inFd, int outFd);
// Gives the terminal back as it was. Safe to repeat; async-signal-safe.
void leaveTerminalMode();
// Whether the terminal's own Backspace key sends DEL (0x7F).
bool eraseIsDel();
// The terminal's size in cells; false when it cannot be asked.
bool terminalSize(int fd, int* columns, int* rows);

// The self-pipe: readable when a wake-up was posted or a signal came.
int wakeReadFd();
void postWake();
// Drains the pipe.
void drainWake();
// Set by SIGWINCH / SIGCONT; each read clears it.
bool takeResized();
bool takeContinued();

// Writes all of `size` bytes, retrying short writes; false on failure.
bool writeAll(int fd, const char* data, unsigned long size);

}  // namespace plat::posix

#endif  // TALONIX_PLATFORM_POSIX_TERMINAL_IO_H_
