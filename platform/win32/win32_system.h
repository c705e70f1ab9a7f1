// The Windows system services: clock, directories and paths (ANSI calls in
// code page 1252), flushing files to the disk, the shell's open verb and
// the end of the process.
#ifndef TALONIX_PLATFORM_WIN32_WIN32_SYSTEM_H_
#define TALONIX_PLATFORM_WIN32_WIN32_SYSTEM_H_

#include <functional>

#include "platform/system.h"

namespace plat::win32 {

class Win32System : public System {
 public:
  // `beforeSleep` shows the window's pending drawing; may be empty.
  explicit Win32System(std::function<void()> beforeSleep = {});

  LocalTime localTime() override;
  uint64_t tickMs() override;
  void sleepMs(unsigned ms) override;

  // Where bare settings names live (settings_dir.h).
  std::string windowsDirectory() override;
  std::string currentDirectory() override;
  std::string programPath() override;
  char pathSeparator() override { return '\\'; }
  // Windows-1252 to UTF-16, whatever the machine's ANSI code page.
  std::filesystem::path nativePath(std::string_view path) override;
  bool fileExists(std::string_view path) override;
  // FlushFileBuffers. A directory Windows will not open or flush counts
  // as flushed: NTFS logs a rename in its journal, there is no
  // per-directory flush to ask for, and refusing would fail every save.
  bool flushFileToDisk(const std::filesystem::path& path) override;

  // RegOpenKeyExA (read access), RegQueryValueExA twice (size, then
  // value), RegCloseKey on every path.
  bool readMachineRegistryText(std::string_view path, std::string* text) override;

  // ShellExecuteA "open", SW_SHOWNORMAL; the result is not examined.
  void shellOpen(std::string_view program, std::string_view parameters,
                 std::string_view directory) override;
  [[noreturn]] void exitProcess(int code) override;

 private:
  std::function<void()> beforeSleep_;
};

}  // namespace plat::win32

#endif  // TALONIX_PLATFORM_WIN32_WIN32_SYSTEM_H_
