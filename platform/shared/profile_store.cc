#include "platform/shared/profile_store.h"

#include <cstdlib>
#include <string>
#include <system_error>

#include "platform/shared/codepage.h"
#include "platform/shared/profile_text.h"
#include "platform/shared/whole_file.h"

namespace plat {
namespace fs = std::filesystem;
namespace {

enum class FileState { kMissing, kRead, kFailed };

FileState readProfileFile(const fs::path& file, std::string* text) {
  std::error_code ec;
  if (fs::status(file, ec).type() == fs::file_type::not_found) return FileState::kMissing;
  return readWholeFile(file, text, kMaxProfileFileSize) ? FileState::kRead
                                                        : FileState::kFailed;
}

fs::path pathFromUtf8(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string cp1252Name(const fs::path& path) {
  const std::u8string u8 = path.u8string();
  return utf8ToCp1252(std::string(u8.begin(), u8.end()));
}

// `path` itself when it exists, else the one entry of its directory whose
// name matches it without case (the smallest such name, if several do).
fs::path matchCase(const fs::path& path) {
  std::error_code ec;
  if (fs::exists(fs::symlink_status(path, ec)) || !path.has_filename()) return path;
  const fs::path dir = path.parent_path();
  const std::string wanted = cp1252Name(path.filename());
  fs::path best;
  fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const fs::path name = it->path().filename();
    if (equalsIgnoreCase1252(cp1252Name(name), wanted) &&
        (best.empty() || name < best)) {
      best = name;
    }
  }
  return best.empty() ? path : dir / best;
}

}  // namespace

size_t getProfileString(const fs::path& file, const char* section,
                        const char* key, const char* defaultValue, char* buffer,
                        size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  std::string text;
  if (readProfileFile(file, &text) != FileState::kRead) text.clear();
  return readProfileText(text, section, key, defaultValue, buffer, size);
}

bool writeProfileString(const fs::path& file, const char* section,
                        const char* key, const char* value, const DiskFlush& flush) {
  // Through a link, the file it points to is edited.
  const fs::path target = finalLinkTarget(file);
  if (!target.has_filename()) return false;
  std::string old;
  const FileState state = readProfileFile(target, &old);
  if (state == FileState::kFailed) return false;
  std::string next;
  switch (editProfileText(old, section, key, value, &next)) {
    case EditResult::kRejected: return false;
    case EditResult::kUnchanged: return true;
    case EditResult::kChanged: break;
  }
  std::error_code ec;
  if (state == FileState::kRead &&
      (fs::status(target, ec).permissions() & fs::perms::owner_write) == fs::perms::none) {
    return false;
  }
  if (target.has_parent_path()) {
    fs::create_directories(target.parent_path(), ec);
    if (ec) return false;
  }
  return replaceWholeFile(target, next, flush);
}

fs::path resolveProfileFile(std::string_view name, const fs::path& windowsDir) {
  if (name.empty()) return {};
  std::string utf8 = cp1252ToUtf8(name);
  if (name.find_first_of("/\\") == std::string_view::npos) {
    return matchCase(windowsDir / pathFromUtf8(utf8));
  }
  for (char& c : utf8) {
    if (c == '\\') c = '/';
  }
  return matchCase(pathFromUtf8(utf8));
}

fs::path defaultWindowsDirectory() {
  const char* dir = std::getenv("TALONIX_CONFIG_DIR");
  if (dir != nullptr && *dir != '\0') return fs::path(dir);
  dir = std::getenv("XDG_CONFIG_HOME");
  if (dir != nullptr && *dir != '\0' && fs::path(dir).is_absolute()) {
    return fs::path(dir) / "talonix";
  }
  dir = std::getenv("HOME");
  if (dir != nullptr && *dir != '\0') return fs::path(dir) / ".config" / "talonix";
  return fs::path(".");
}

}  // namespace plat
