#include "platform/win32/win32_profile.h"

#include <windows.h>

#include <algorithm>

namespace plat::win32 {
namespace {

// The calls count in DWORD; a larger buffer is used only in part.
DWORD sizeOf(size_t size) {
  return static_cast<DWORD>(std::min<size_t>(size, 0x7FFFFFFF));
}

}  // namespace

size_t Win32Profile::getPrivateProfileString(const char* section, const char* key,
                                             const char* defaultValue, char* buffer,
                                             size_t size, const char* file) {
  if (size == 0 || !buffer) return 0;
  return GetPrivateProfileStringA(section, key, defaultValue ? defaultValue : "",
                                  buffer, sizeOf(size), file);
}

bool Win32Profile::writePrivateProfileString(const char* section, const char* key,
                                             const char* value, const char* file) {
  return WritePrivateProfileStringA(section, key, value, file) != 0;
}

size_t Win32Profile::getProfileString(const char* section, const char* key,
                                      const char* defaultValue, char* buffer,
                                      size_t size) {
  if (size == 0 || !buffer) return 0;
  return GetProfileStringA(section, key, defaultValue ? defaultValue : "", buffer,
                           sizeOf(size));
}

}  // namespace plat::win32
