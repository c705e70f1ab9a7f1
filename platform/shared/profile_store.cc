#include "platform/shared/profile_store.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>

#include "platform/shared/codepage.h"
#include "platform/shared/profile_text.h"

namespace plat {
namespace fs = std::filesystem;
namespace {

enum class FileState { kMissing, kRead, kFailed };

FileState readWhole(const fs::path& file, std::string* text) {
  std::error_code ec;
  const fs::file_status status = fs::status(file, ec);
  if (status.type() == fs::file_type::not_found) return FileState::kMissing;
  // Anything else (a directory, a pipe that would block) is no settings file.
  if (ec || status.type() != fs::file_type::regular) return FileState::kFailed;
  const std::uintmax_t size = fs::file_size(file, ec);
  if (ec || size > kMaxProfileFileSize) return FileState::kFailed;
  std::ifstream in(file, std::ios::binary);
  if (!in) return FileState::kFailed;
  text->resize(static_cast<size_t>(size));
  in.read(text->data(), static_cast<std::streamsize>(size));
  text->resize(static_cast<size_t>(in.gcount()));
  if (in.bad()) return FileState::kFailed;
  // The file may have grown since its size was taken: keep the whole of it.
  if (in.peek() != std::char_traits<char>::eof()) return FileState::kFailed;
  return FileState::kRead;
}

std::string tempSuffix() {
  static unsigned counter = 0;
  int local = 0;
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  // The stack address differs between processes, the clock and the counter
  // between calls.
  const auto mix = static_cast<unsigned long long>(now) ^
                   (reinterpret_cast<std::uintptr_t>(&local) << 16) ^ ++counter;
  return ".tmp" + std::to_string(mix % 1000000007ull) + "-" + std::to_string(counter);
}

// Writes `bytes` to a new file beside `target` and renames it over `target`.
bool replaceFile(const fs::path& target, const std::string& bytes, bool existed) {
  std::error_code ec;
  const fs::path dir = target.parent_path();
  if (!dir.empty()) {
    fs::create_directories(dir, ec);
    if (ec) return false;
  }
  fs::path temp;
  for (int attempt = 0; attempt < 8; ++attempt) {
    fs::path candidate = target;
    candidate += tempSuffix();
    if (!fs::exists(fs::symlink_status(candidate, ec))) {
      temp = candidate;
      break;
    }
  }
  if (temp.empty()) return false;
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      fs::remove(temp, ec);
      return false;
    }
  }
  if (existed) {
    fs::permissions(temp, fs::status(target, ec).permissions(), ec);
  }
  fs::rename(temp, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    return false;
  }
  return true;
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
  if (readWhole(file, &text) != FileState::kRead) text.clear();
  return readProfileText(text, section, key, defaultValue, buffer, size);
}

bool writeProfileString(const fs::path& file, const char* section,
                        const char* key, const char* value) {
  std::error_code ec;
  fs::path target = file;
  // Replace the file a link points to, not the link.
  if (fs::is_symlink(fs::symlink_status(file, ec))) {
    target = fs::weakly_canonical(file, ec);
    if (ec) return false;
  }
  if (!target.has_filename()) return false;
  std::string old;
  const FileState state = readWhole(target, &old);
  if (state == FileState::kFailed) return false;
  std::string next;
  switch (editProfileText(old, section, key, value, &next)) {
    case EditResult::kRejected: return false;
    case EditResult::kUnchanged: return true;
    case EditResult::kChanged: break;
  }
  const bool existed = state == FileState::kRead;
  if (existed && (fs::status(target, ec).permissions() & fs::perms::owner_write) ==
                     fs::perms::none) {
    return false;
  }
  return replaceFile(target, next, existed);
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
