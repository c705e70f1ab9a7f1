// The program in the user's terminal. It reads no arguments.
#include "app/program.h"
#include "platform/posix/terminal_platform.h"

int main() {
  static plat::posix::TerminalPlatform terminal;
  plat::setPlatform(&terminal);
  runTalonix();
}
