#include "platform/shared/whole_file.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <system_error>

namespace plat {
namespace fs = std::filesystem;
namespace {

// More links than this on one path is a loop (the POSIX limit is 40).
constexpr int kMaxLinks = 40;
// A temporary file younger than this may belong to a save running in
// another copy of the program right now; older ones are left-overs.
constexpr auto kStaleAfter = std::chrono::minutes(5);

// Set once per process from the system's random source and the clock, so
// two processes saving the same file never choose the same names.
std::uint64_t processPart() {
  static const std::uint64_t part = [] {
    std::random_device device;
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    return (static_cast<std::uint64_t>(device()) << 32 ^ device()) ^
           static_cast<std::uint64_t>(now);
  }();
  return part;
}

constexpr size_t kRandomDigits = 16;

// "<name>.tmp<16 hex digits>-<counter>": unique within the process by the
// counter, between processes by the random part. A name no user would
// give a file of their own, so cleaning up after interrupted saves can
// never take one.
fs::path temporaryName(const fs::path& target) {
  static std::atomic<std::uint64_t> counter{0};
  char random[kRandomDigits + 1];
  std::snprintf(random, sizeof random, "%016llx",
                static_cast<unsigned long long>(processPart()));
  fs::path name = target;
  name += std::string(".tmp") + random + "-" + std::to_string(++counter);
  return name;
}

template <typename It, typename Pred>
bool allOf(It from, It to, Pred pred) {
  if (from == to) return false;
  for (auto it = from; it != to; ++it) {
    if (!pred(*it)) return false;
  }
  return true;
}

// Whether `name` is one this program's saves of `target` make:
// "<target>.tmp", 16 hex digits, "-" and the counter's digits.
bool isOurTemporary(const fs::path::string_type& name,
                    const fs::path::string_type& prefix) {
  if (name.size() <= prefix.size() + kRandomDigits + 1 ||
      name.compare(0, prefix.size(), prefix) != 0) {
    return false;
  }
  const auto random = name.begin() + static_cast<std::ptrdiff_t>(prefix.size());
  const auto dash = random + static_cast<std::ptrdiff_t>(kRandomDigits);
  auto hex = [](auto c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
  };
  auto digit = [](auto c) { return c >= '0' && c <= '9'; };
  return allOf(random, dash, hex) && *dash == '-' && allOf(dash + 1, name.end(), digit);
}

// Interrupted saves leave their temporary files behind; left there they
// would fill the disk (and, with numbered names, once stopped every save).
void removeStaleTemporaries(const fs::path& target) {
  fs::path prefixPath = target.filename();
  prefixPath += ".tmp";
  const fs::path::string_type& prefix = prefixPath.native();
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  const auto cutoff = fs::file_time_type::clock::now() - kStaleAfter;
  std::error_code ec;
  fs::directory_iterator it(dir, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const fs::path& path = it->path();
    if (!isOurTemporary(path.filename().native(), prefix)) continue;
    std::error_code ignored;
    if (!fs::is_regular_file(fs::symlink_status(path, ignored))) continue;
    const auto written = fs::last_write_time(path, ignored);
    if (!ignored && written < cutoff) fs::remove(path, ignored);
  }
}

// Creates `temp` only when nothing holds the name (a link planted there is
// not followed).
std::FILE* createExclusively(const fs::path& temp) {
#ifdef _WIN32
  // The C runtime of mingw-w64 has no "x" mode; the name was checked free.
  return _wfopen(temp.c_str(), L"wb");
#else
  return std::fopen(temp.c_str(), "wbx");
#endif
}

// The new file, with the old one's permissions from before its first byte,
// so a private ledger is never readable by others, not even half written.
bool writeTemporary(const fs::path& temp, std::string_view bytes,
                    const fs::file_status& old) {
  std::FILE* out = createExclusively(temp);
  if (!out) return false;
  std::error_code ec;
  if (fs::is_regular_file(old)) fs::permissions(temp, old.permissions(), ec);
  bool ok = !ec;
  if (ok && !bytes.empty()) ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && ok;
}

// A name beside `target` that nothing holds yet; empty when none is found.
fs::path freeTemporaryName(const fs::path& target) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    const fs::path candidate = temporaryName(target);
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(candidate, ec))) return candidate;
  }
  return {};
}

}  // namespace

bool readWholeFile(const fs::path& file, std::string* bytes, std::uintmax_t maxBytes,
                   OtherFiles other) {
  std::error_code ec;
  const fs::file_type type = fs::status(file, ec).type();
  if (ec || type == fs::file_type::directory) return false;
  const bool regular = type == fs::file_type::regular;
  if (!regular && other == OtherFiles::kRefuse) return false;
  const std::uintmax_t size = regular ? fs::file_size(file, ec) : 0;
  if (ec || size > maxBytes) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  bytes->resize(static_cast<size_t>(size));
  in.read(bytes->data(), static_cast<std::streamsize>(size));
  bytes->resize(static_cast<size_t>(in.gcount()));
  // The file may have grown since its size was taken: read to its end.
  char more[4096];
  while (in) {
    in.read(more, sizeof more);
    bytes->append(more, static_cast<size_t>(in.gcount()));
    if (bytes->size() > maxBytes) return false;
  }
  return !in.bad();
}

fs::path finalLinkTarget(const fs::path& file) {
  fs::path path = file;
  for (int links = 0; links <= kMaxLinks; ++links) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec))) return path;
    const fs::path next = fs::read_symlink(path, ec);
    if (ec) return {};
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return {};
}

bool replaceWholeFile(const fs::path& file, std::string_view bytes,
                      const DiskFlush& flush) {
  // Through a link, the file it points to is replaced and the link kept.
  const fs::path target = finalLinkTarget(file);
  if (!target.has_filename()) return false;
  removeStaleTemporaries(target);
  const fs::path temp = freeTemporaryName(target);
  if (temp.empty()) return false;
  std::error_code ec;
  const fs::file_status old = fs::status(target, ec);
  // On the disk before the rename, so the name never shows a file whose
  // data a power cut could still lose.
  if (!writeTemporary(temp, bytes, old) || (flush && !flush(temp))) {
    fs::remove(temp, ec);
    return false;
  }
  fs::rename(temp, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    return false;
  }
  // The rename itself, recorded in the directory. The file is already
  // complete under its name, so a failure here is not a failed save.
  if (flush) flush(target.has_parent_path() ? target.parent_path() : fs::path("."));
  return true;
}

}  // namespace plat
