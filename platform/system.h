// The operating system beside the window: clock, files and directories,
// the shell, and the end of the process. Paths are Windows-1252 texts;
// nativePath turns one into the standard library's path.
#ifndef TALONIX_PLATFORM_SYSTEM_H_
#define TALONIX_PLATFORM_SYSTEM_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/events.h"

namespace plat {

// What the headless backend's exitProcess throws instead of ending the
// process: the program unwinds as the end of the process would end it, and
// the scenario runner and tests catch it. No other backend throws it.
struct ExitRequest {
  int code = 0;
};

class System {
 public:
  virtual ~System() = default;

  // --- Clock ---------------------------------------------------------------
  virtual LocalTime localTime() = 0;
  virtual uint64_t tickMs() = 0;  // monotonic milliseconds
  // Lets `ms` pass; the window's pending drawing is shown first.
  virtual void sleepMs(unsigned ms) = 0;

  // --- Files and directories -----------------------------------------------
  // The Windows directory stand-in, without a trailing separator.
  virtual std::string windowsDirectory() = 0;
  virtual std::string currentDirectory() = 0;
  virtual std::string programPath() = 0;  // full path of the program file
  virtual char pathSeparator() = 0;
  // A Windows-1252 path as the native path type of the standard library.
  virtual std::filesystem::path nativePath(std::string_view path) = 0;
  // Whether something (file or directory) is there. False for "".
  virtual bool fileExists(std::string_view path) = 0;
  // Makes what has been written to the closed file `path` (or, for a
  // directory, its entries: a rename done in it) durable on the disk
  // (fsync, FlushFileBuffers), so a power cut after it keeps the data.
  // False when the disk reports an error: the data may not be there.
  virtual bool flushFileToDisk(const std::filesystem::path& path) = 0;

  // --- Registry ------------------------------------------------------------
  // The text value at `path` under HKEY_LOCAL_MACHINE: the part after the
  // last backslash names the value (empty: the key's unnamed value), the
  // part before it the key. Only a string value (REG_SZ) counts; *text
  // gets it without its final NUL. False when there is none, and always
  // where the platform has no registry.
  virtual bool readMachineRegistryText(std::string_view path, std::string* text) = 0;

  // --- Shell and process ---------------------------------------------------
  // The shell's open verb (ShellExecuteA "open", shown normally): starts
  // `program` with `parameters` in `directory`, or opens a document with
  // its associated program. Never waits for it; the outcome is not
  // reported.
  virtual void shellOpen(std::string_view program, std::string_view parameters,
                         std::string_view directory) = 0;
  // Ends the program with the exit code and does not return. The headless
  // backend throws ExitRequest{code} instead (see above).
  [[noreturn]] virtual void exitProcess(int code) = 0;
};

}  // namespace plat

#endif  // TALONIX_PLATFORM_SYSTEM_H_
