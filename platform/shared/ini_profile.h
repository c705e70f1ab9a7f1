// Profile strings kept in INI files by the profile store, for the backends
// that have no Win32 profile calls. A bare file name lives in the Windows
// directory; a relative path with directories resolves against the
// system's current directory; a null file name is WIN.INI.
#ifndef TALONIX_PLATFORM_SHARED_INI_PROFILE_H_
#define TALONIX_PLATFORM_SHARED_INI_PROFILE_H_

#include <filesystem>

#include "platform/profile.h"
#include "platform/system.h"

namespace plat {

class IniProfile : public Profile {
 public:
  // `system` gives the current directory and flushes written files;
  // `windowsDir` is where bare names live. Both outlive this object.
  IniProfile(System& system, std::filesystem::path windowsDir);

  size_t getPrivateProfileString(const char* section, const char* key,
                                 const char* defaultValue, char* buffer,
                                 size_t size, const char* file) override;
  bool writePrivateProfileString(const char* section, const char* key,
                                 const char* value, const char* file) override;
  size_t getProfileString(const char* section, const char* key,
                          const char* defaultValue, char* buffer,
                          size_t size) override;

  const std::filesystem::path& windowsDir() const { return windowsDir_; }

 private:
  std::filesystem::path fileOf(const char* name);

  System& system_;
  std::filesystem::path windowsDir_;
};

}  // namespace plat

#endif  // TALONIX_PLATFORM_SHARED_INI_PROFILE_H_
