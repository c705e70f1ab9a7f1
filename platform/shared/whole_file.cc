#include "platform/shared/whole_file.h"

#include <atomic>
#include <chrono>
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

// "<name>.tmp<random>-<counter>": unique within the process by the counter,
// between processes by the random part.
fs::path temporaryName(const fs::path& target) {
  static std::atomic<std::uint64_t> counter{0};
  fs::path name = target;
  name += ".tmp" + std::to_string(processPart()) + "-" + std::to_string(++counter);
  return name;
}

bool allDigits(fs::path::string_type::const_iterator from,
               fs::path::string_type::const_iterator to) {
  if (from == to) return false;
  for (auto it = from; it != to; ++it) {
    if (*it < '0' || *it > '9') return false;
  }
  return true;
}

// Whether `name` is one our saves of `target` make: "<target>.tmp" and
// digits, optionally "-" and more digits (earlier versions used both).
bool isOurTemporary(const fs::path::string_type& name,
                    const fs::path::string_type& prefix) {
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) {
    return false;
  }
  const auto rest = name.begin() + static_cast<std::ptrdiff_t>(prefix.size());
  auto dash = rest;
  while (dash != name.end() && *dash != '-') ++dash;
  if (dash == name.end()) return allDigits(rest, name.end());
  return allDigits(rest, dash) && allDigits(dash + 1, name.end());
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

bool writeTemporary(const fs::path& temp, std::string_view bytes) {
  std::ofstream out(temp, std::ios::binary | std::ios::trunc);
  if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
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
  if (!writeTemporary(temp, bytes) || (flush && !flush(temp))) {
    fs::remove(temp, ec);
    return false;
  }
  if (fs::is_regular_file(old)) fs::permissions(temp, old.permissions(), ec);
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
