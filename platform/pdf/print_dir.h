// Where the PDF of a document is kept when no printer takes it, and how it
// gets there: $TALONIX_PRINT_DIR when set, else "Talonix" in the user's
// documents directory (XDG_DOCUMENTS_DIR, from the environment or
// ~/.config/user-dirs.dirs, when that directory exists), else
// ${XDG_DATA_HOME:-$HOME/.local/share}/talonix/cheques. Paths are UTF-8.
#ifndef TALONIX_PLATFORM_PDF_PRINT_DIR_H_
#define TALONIX_PLATFORM_PDF_PRINT_DIR_H_

#include <ctime>
#include <string>
#include <string_view>

namespace plat::pdf {

// The directory, chosen afresh from the environment; "" when there is no
// home to put it in.
std::string printDirectory();

// Creates `dir` and its missing parents; false when it is not a writable
// directory afterwards.
bool makeWritableDirectory(const std::string& dir);

// The file name for a document named `documentName` (Windows-1252) begun
// at `when`: the name made safe for a file name, a date-time stamp and
// ".pdf", without the counter keepFile may add.
std::string documentFileName(std::string_view documentName, std::time_t when);

// Gives the finished `temp` file in `dir` the name `fileName`, or
// "name_2.pdf", "name_3.pdf"... when that is taken: an existing file is
// never replaced. Returns the final path, "" when it could not be named.
std::string keepFile(const std::string& temp, const std::string& dir,
                     const std::string& fileName);

}  // namespace plat::pdf

#endif  // TALONIX_PLATFORM_PDF_PRINT_DIR_H_
