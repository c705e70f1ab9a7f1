// The profile-string store: settings files in the INI form read and written
// the way GetPrivateProfileStringA and WritePrivateProfileStringA do, for
// the platforms that do not have them. Portable: the standard library only.
//
// File form and name matching: see profile_text.h. Texts are Windows-1252.
#ifndef TALONIX_PLATFORM_SHARED_PROFILE_STORE_H_
#define TALONIX_PLATFORM_SHARED_PROFILE_STORE_H_

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "platform/shared/whole_file.h"

namespace plat {

// Larger files are not settings files: they read as absent and are never
// rewritten (a write fails rather than cut them short).
constexpr std::uintmax_t kMaxProfileFileSize = 16u << 20;

// Copies the value of `key` in `section`, trimmed of blanks and of one pair
// of enclosing double quotes, or else `defaultValue` (null counts as "")
// trimmed of trailing blanks. At most size - 1 characters and a NUL;
// returns the characters copied. A null section lists the section names, a
// null key the key names of the section in file order: each name ended by
// NUL, the list by another NUL; a list cut short ends in two NULs and
// returns size - 2. Size 0: nothing is written. A file that is missing,
// unreadable, not a regular file or too large reads as empty.
size_t getProfileString(const std::filesystem::path& file, const char* section,
                        const char* key, const char* defaultValue, char* buffer,
                        size_t size);

// Sets `key` in `section` to `value`: in place when the key exists (its
// spelling and every other line stay as they are), else at the end of the
// section, else in a new section at the end of the file; the file and its
// missing parent directories are created. A null value deletes the key, a
// null key the section. False on failure (a null section, names the file
// could not hold, a file that cannot be read or replaced, a read-only file);
// the old file is then as it was. The file is replaced the way
// replaceWholeFile does, `flush` making it durable; through a symbolic link
// the file it points to is edited and the link kept.
bool writeProfileString(const std::filesystem::path& file, const char* section,
                        const char* key, const char* value, const DiskFlush& flush);

// The file a program's name for a settings file means. A bare name (no '/'
// nor '\') lives in `windowsDir`; any other is a path, '\' counting as a
// separator. When that file does not exist but one whose name differs only
// in case does in the same directory, that one is meant (programs ask for
// "LUMIRA.INI" where a POSIX system may hold "lumira.ini"). `name` is
// Windows-1252. An empty name gives an empty path.
std::filesystem::path resolveProfileFile(std::string_view name,
                                         const std::filesystem::path& windowsDir);

// Where the settings files live when there is no Windows directory:
// $TALONIX_CONFIG_DIR, else $XDG_CONFIG_HOME/talonix (when absolute), else
// $HOME/.config/talonix, else ".". Not created here.
std::filesystem::path defaultWindowsDirectory();

}  // namespace plat

#endif  // TALONIX_PLATFORM_SHARED_PROFILE_STORE_H_
