// The operating-system services of a POSIX machine: clock, files and
// directories, xdg-open for the shell's open verb, and the end of the
// process.
#ifndef TALONIX_PLATFORM_POSIX_POSIX_SYSTEM_H_
#define TALONIX_PLATFORM_POSIX_POSIX_SYSTEM_H_

#include <cstdint>
#include <functional>

#include "platform/system.h"

namespace plat::posix {

// Milliseconds of the monotonic clock.
uint64_t monotonicMs();

class PosixSystem : public System {
 public:
  // `beforeSleep` shows the window's pending drawing before the program
  // sleeps; `beforeExit` gives the terminal back before the process ends.
  // Either may be empty.
  PosixSystem(std::function<void()> beforeSleep,
              std::function<void()> beforeExit);

  LocalTime localTime() override;
  uint64_t tickMs() override { return monotonicMs(); }
  void sleepMs(unsigned ms) override;

  // $TALONIX_CONFIG_DIR, else the XDG configuration directory (see
  // profile_store.h).
  std::string windowsDirectory() override;
  std::string currentDirectory() override;
  std::string programPath() override;
  char pathSeparator() override { return '/'; }
  // '\' counts as '/'.
  std::filesystem::path nativePath(std::string_view path) override;
  bool fileExists(std::string_view path) override;
  // open + fsync.
  bool flushFileToDisk(const std::filesystem::path& path) override;

  // xdg-open (or the named program), detached; never waited on.
  // No registry here.
  bool readMachineRegistryText(std::string_view, std::string*) override { return false; }
  void shellOpen(std::string_view program, std::string_view parameters,
                 std::string_view directory) override;
  [[noreturn]] void exitProcess(int code) override;

 private:
  std::function<void()> beforeSleep_;
  std::function<void()> beforeExit_;
};

}  // namespace plat::posix

#endif  // TALONIX_PLATFORM_POSIX_POSIX_SYSTEM_H_
