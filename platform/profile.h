// Profile strings: settings in INI files, read and written with the
// semantics of the Win32 profile calls. Texts and names are Windows-1252.
#ifndef TALONIX_PLATFORM_PROFILE_H_
#define TALONIX_PLATFORM_PROFILE_H_

#include <cstddef>

namespace plat {

class Profile {
 public:
  virtual ~Profile() = default;
  // GetPrivateProfileStringA: section or key may be null (list section
  // names or key names, each ended by NUL, the list by a second NUL). A
  // bare file name resolves in the Windows directory. Returns the number of
  // characters copied, not counting the terminator; at most size - 1
  // (size - 2 for a list). A buffer of size 0 receives nothing. A missing
  // or unreadable file reads as empty: `defaultValue` (null counts as "").
  virtual size_t getPrivateProfileString(const char* section, const char* key,
                                         const char* defaultValue, char* buffer,
                                         size_t size, const char* file) = 0;
  // WritePrivateProfileStringA: a null key deletes the section, a null
  // value deletes the key. Creates the file and section on first write.
  // False on failure; the file is then unchanged.
  virtual bool writePrivateProfileString(const char* section, const char* key,
                                         const char* value,
                                         const char* file) = 0;
  // GetProfileStringA (the system's own settings file, WIN.INI).
  virtual size_t getProfileString(const char* section, const char* key,
                                  const char* defaultValue, char* buffer,
                                  size_t size) = 0;
};

}  // namespace plat

#endif  // TALONIX_PLATFORM_PROFILE_H_
