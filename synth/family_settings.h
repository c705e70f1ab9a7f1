// The family settings file LUMIRA.INI, shared by every talking program of
// the family, and small helpers for the values read from it.
#ifndef TALONIX_SYNTH_FAMILY_SETTINGS_H_
#define TALONIX_SYNTH_FAMILY_SETTINGS_H_

#include <string>
#include <string_view>

// Takes the program directory: the current directory at program start,
// without a trailing separator. Start-up and tests.
void resetFamilySettings();
// Stands for the family installation directory when none is configured.
const std::string& familyProgramDirectory();

// The value of `key` in `section` (empty = "LUMIRA"), empty when absent.
// "@" stands for the family installation directory ("PGMLUMIRA" of section
// "LUMIRA", or the program directory). Only the "@" is replaced: the rest
// of the value, separators included, stays as stored.
std::string readFamilySetting(std::string_view section, std::string_view key);

// The name under which the family settings file is read: the plain
// "LUMIRA.INI" when it lies in the Windows directory, otherwise the path
// in the program directory.
std::string familySettingsFile();

// The platform's standard text-to-integer conversion: leading blanks, a
// sign and the leading digits; 0 when there are none. Clamped to int.
int settingInteger(std::string_view text);

// True when the text ends in the platform's separator or in "\".
bool endsWithSeparator(std::string_view path);
// The path with the platform's separator added when it ends in none.
std::string withTrailingSeparator(std::string_view path);

// The family's installation tree with a trailing separator. Where the
// separator is "\": a "tarvek" folder beside the program when there is one
// (the Windows package unpacked anywhere), else "c:\tarvek\". Otherwise
// share/tarvek/ beside the bin directory that holds the program.
std::string tarvekDirectory();

#endif  // TALONIX_SYNTH_FAMILY_SETTINGS_H_
