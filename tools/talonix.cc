// The program in the user's terminal. It reads no arguments.
#include "app/program.h"
#include "platform/posix/terminal_backend.h"

int main() {
  static plat::posix::TerminalBackend terminal;
  terminal.install();
  runTalonix();
}
