#include "platform/shared/ini_profile.h"

#include <string>
#include <utility>

#include "platform/shared/profile_store.h"

namespace plat {

IniProfile::IniProfile(System& system, std::filesystem::path windowsDir)
    : system_(system), windowsDir_(std::move(windowsDir)) {}

std::filesystem::path IniProfile::fileOf(const char* file) {
  std::string name = file ? file : "WIN.INI";
  const bool hasDir = name.find_first_of("/\\") != std::string::npos;
  const bool absolute = !name.empty() && (name[0] == '/' || name[0] == '\\' ||
                                          (name.size() > 1 && name[1] == ':'));
  if (hasDir && !absolute) {
    name = system_.currentDirectory() + system_.pathSeparator() + name;
  }
  return resolveProfileFile(name, windowsDir_);
}

size_t IniProfile::getPrivateProfileString(const char* section, const char* key,
                                           const char* defaultValue,
                                           char* buffer, size_t size,
                                           const char* file) {
  return plat::getProfileString(fileOf(file), section, key, defaultValue,
                                buffer, size);
}

bool IniProfile::writePrivateProfileString(const char* section,
                                           const char* key, const char* value,
                                           const char* file) {
  return writeProfileString(fileOf(file), section, key, value,
                            [this](const std::filesystem::path& path) {
                              return system_.flushFileToDisk(path);
                            });
}

size_t IniProfile::getProfileString(const char* section, const char* key,
                                    const char* defaultValue, char* buffer,
                                    size_t size) {
  return getPrivateProfileString(section, key, defaultValue, buffer, size,
                                 nullptr);
}

}  // namespace plat
