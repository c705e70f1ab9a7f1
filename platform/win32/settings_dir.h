// Where the Windows program keeps the settings files it names without a
// directory (LUMIRA.INI, TALONIX.INI): the stand-in it reports as the
// Windows directory.
//
// A 64-bit program run without administrator rights cannot write in the
// real Windows directory (and no file virtualization redirects it), so the
// package keeps its settings beside the program: when the program's own
// folder holds the package's marker PORTATIL.TXT, or TALONIX.INI or
// LUMIRA.INI, that folder is used. Otherwise the real Windows directory,
// where an installed family keeps LUMIRA.INI. (The package ships no
// settings file under its live name, so unpacking a new version over the
// folder keeps the user's banks and settings.)
#ifndef TALONIX_PLATFORM_WIN32_SETTINGS_DIR_H_
#define TALONIX_PLATFORM_WIN32_SETTINGS_DIR_H_

#include <string>

namespace plat::win32 {

// `programDir` and `windowsDir` without a trailing separator.
std::string settingsDirectoryFor(const std::string& programDir,
                                 const std::string& windowsDir);

// The directory of the running program file, without a separator.
std::string programDirectory();

// settingsDirectoryFor the running program and GetWindowsDirectoryA,
// found once and kept for the whole run.
const std::string& settingsDirectory();

// A bare file name (no drive, no separator) placed in settingsDirectory();
// any other name as it is.
std::string settingsFile(const char* name);

}  // namespace plat::win32

#endif  // TALONIX_PLATFORM_WIN32_SETTINGS_DIR_H_
