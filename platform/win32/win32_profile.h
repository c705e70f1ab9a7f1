// Profile strings through Windows' own profile calls: a bare file name
// lives in the settings directory (settings_dir.h: beside the program when
// its settings are there, else the Windows directory); WIN.INI is the
// system's settings file.
#ifndef TALONIX_PLATFORM_WIN32_WIN32_PROFILE_H_
#define TALONIX_PLATFORM_WIN32_WIN32_PROFILE_H_

#include "platform/profile.h"

namespace plat::win32 {

class Win32Profile : public Profile {
 public:
  size_t getPrivateProfileString(const char* section, const char* key,
                                 const char* defaultValue, char* buffer,
                                 size_t size, const char* file) override;
  bool writePrivateProfileString(const char* section, const char* key,
                                 const char* value, const char* file) override;
  size_t getProfileString(const char* section, const char* key,
                          const char* defaultValue, char* buffer,
                          size_t size) override;
};

}  // namespace plat::win32

#endif  // TALONIX_PLATFORM_WIN32_WIN32_PROFILE_H_
