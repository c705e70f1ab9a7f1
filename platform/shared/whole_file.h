// Reading a file whole and replacing a file whole, the way every file that
// holds user data (ledgers, statements, settings) is read and written.
// Portable: the standard library only; the one OS service needed, making
// written data durable, is passed in.
#ifndef TALONIX_PLATFORM_SHARED_WHOLE_FILE_H_
#define TALONIX_PLATFORM_SHARED_WHOLE_FILE_H_

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace plat {

// Makes what was written to the closed file (or, for a directory, a rename
// done in it) durable on the disk; false when the disk reports an error.
// An empty function flushes nothing and counts as success.
using DiskFlush = std::function<bool(const std::filesystem::path&)>;

constexpr std::uintmax_t kNoSizeLimit = UINTMAX_MAX;

// Whether readWholeFile reads what is neither a regular file nor a
// directory (a pipe, a terminal): only a tool's input may come from one; a
// program file there would block the program.
enum class OtherFiles { kRefuse, kRead };

// The bytes of `file` (links followed). False, with *bytes unspecified,
// when it is missing, is a directory or (unless `other` says kRead) not a
// regular file, cannot be read, or holds more than `maxBytes`.
bool readWholeFile(const std::filesystem::path& file, std::string* bytes,
                   std::uintmax_t maxBytes = kNoSizeLimit,
                   OtherFiles other = OtherFiles::kRefuse);

// Replaces (or creates) `file` with `bytes`: a complete temporary file is
// written beside it, flushed, given the old file's permissions and renamed
// over it, then the directory is flushed; so an interrupted save leaves the
// old file or the new one, never a mix. A symbolic link is kept: the file
// it finally points to is the one replaced. The directory must exist.
// False when the save failed (the temporary file could not be written or
// flushed, or the rename failed); the old file is then as it was. Before
// writing, temporary files left beside it by earlier interrupted saves
// (names of the form "<name>.tmp<16 hex digits>-<digits>", untouched for a
// few minutes) are removed; no other file is ever touched.
bool replaceWholeFile(const std::filesystem::path& file, std::string_view bytes,
                      const DiskFlush& flush);

// The file a save of `file` writes: `file` with every symbolic link on it
// followed (a link to a missing file gives that missing file). Empty when
// the links go round in a loop or cannot be read.
std::filesystem::path finalLinkTarget(const std::filesystem::path& file);

}  // namespace plat

#endif  // TALONIX_PLATFORM_SHARED_WHOLE_FILE_H_
