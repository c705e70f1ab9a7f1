// Profile strings over the bytes of one settings file, without touching any
// file: the reader and the editor behind profile_store, kept apart so they
// can be exercised directly (and fuzzed).
//
// File form: Windows-1252 lines ended by CR LF (LF alone is read too).
// "[name]" opens a section (text after the ']' is ignored); "key=value"
// is an entry; a line starting with ';' is a comment. Anything else,
// including a "[name" without ']' and any line holding a NUL byte, is kept
// but means nothing. Names are compared without case and without the
// blanks (spaces, tabs) around them. Only the first section of a name
// counts, and in it only the first entry of a key.
#ifndef TALONIX_PLATFORM_SHARED_PROFILE_TEXT_H_
#define TALONIX_PLATFORM_SHARED_PROFILE_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace plat {

// Looks up like GetPrivateProfileStringA, see profile_store.h.
size_t readProfileText(std::string_view text, const char* section,
                       const char* key, const char* defaultValue, char* buffer,
                       size_t size);

enum class EditResult {
  kRejected,   // nothing can be stored for these names or this value
  kUnchanged,  // the file already says so (e.g. deleting a missing key)
  kChanged,    // *out holds the new file
};

// Applies one WritePrivateProfileStringA-style write to `text`; the result
// is written with CR LF line ends. Rejected: a null section, a section
// holding ']', a key that is empty or holds '=' or starts with '[' or ';',
// and CR or LF in any of them: each would be read back differently.
EditResult editProfileText(std::string_view text, const char* section,
                           const char* key, const char* value,
                           std::string* out);

}  // namespace plat

#endif  // TALONIX_PLATFORM_SHARED_PROFILE_TEXT_H_
