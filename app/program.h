// The program's entry: start-up, the main menu loop and shut-down.
#ifndef TALONIX_APP_PROGRAM_H_
#define TALONIX_APP_PROGRAM_H_

// Runs the whole program on the services installed with plat::setServices().
// Resets every process-wide state record first, so it may run more than
// once in one process (tests). It ends through plat::system().exitProcess()
// (closeConsole), which does not return.
[[noreturn]] void runTalonix();

// Puts every process-wide state record (console, keyboard and Braille,
// tone, speech, synthesizers and WAV player, forms and menus, banks,
// ledger, browser) back to its state at program start. The platform's
// services are not touched.
void resetProgramState();

#endif  // TALONIX_APP_PROGRAM_H_
