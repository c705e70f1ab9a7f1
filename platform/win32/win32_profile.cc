#include "platform/win32/win32_profile.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/win32/settings_dir.h"

namespace plat::win32 {
namespace {

// The calls count in DWORD; a larger buffer is used only in part.
DWORD sizeOf(size_t size) {
  return static_cast<DWORD>(std::min<size_t>(size, 0x7FFFFFFF));
}

// A bare name goes to the settings directory (beside the program, or the
// Windows directory); null stays null (WIN.INI).
class FileName {
 public:
  explicit FileName(const char* name) : name_(name), path_(settingsFile(name)) {}
  const char* get() const { return name_ ? path_.c_str() : nullptr; }

 private:
  const char* name_;
  std::string path_;
};

// Windows writes the file in place and leaves it to the cache: the banks
// and their print positions reach the disk before the change is reported.
// A file that cannot be opened for it (held, or nothing written) is left.
void flushToDisk(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  FlushFileBuffers(file);
  CloseHandle(file);
}

}  // namespace

size_t Win32Profile::getPrivateProfileString(const char* section, const char* key,
                                             const char* defaultValue, char* buffer,
                                             size_t size, const char* file) {
  if (size == 0 || !buffer) return 0;
  return GetPrivateProfileStringA(section, key, defaultValue ? defaultValue : "",
                                  buffer, sizeOf(size), FileName(file).get());
}

bool Win32Profile::writePrivateProfileString(const char* section, const char* key,
                                             const char* value, const char* file) {
  const FileName name(file);
  if (!WritePrivateProfileStringA(section, key, value, name.get())) return false;
  if (name.get()) flushToDisk(name.get());
  return true;
}

size_t Win32Profile::getProfileString(const char* section, const char* key,
                                      const char* defaultValue, char* buffer,
                                      size_t size) {
  if (size == 0 || !buffer) return 0;
  return GetProfileStringA(section, key, defaultValue ? defaultValue : "", buffer,
                           sizeOf(size));
}

}  // namespace plat::win32
