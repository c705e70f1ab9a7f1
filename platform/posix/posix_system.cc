// The POSIX system services: clock, paths, files and the end of the
// process.
#include "platform/posix/posix_system.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <system_error>
#include <utility>

#include "platform/shared/codepage.h"
#include "platform/shared/profile_store.h"

namespace plat::posix {

PosixSystem::PosixSystem(std::function<void()> beforeSleep,
                         std::function<void()> beforeExit)
    : beforeSleep_(std::move(beforeSleep)), beforeExit_(std::move(beforeExit)) {}

plat::LocalTime PosixSystem::localTime() {
  const auto now = std::chrono::system_clock::now();
  const time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      now.time_since_epoch()).count() % 1000;
  tm parts{};
  localtime_r(&seconds, &parts);
  plat::LocalTime t;
  t.year = parts.tm_year + 1900;
  t.month = parts.tm_mon + 1;
  t.day = parts.tm_mday;
  t.weekday = parts.tm_wday;
  t.hour = parts.tm_hour;
  t.minute = parts.tm_min;
  t.second = parts.tm_sec;
  t.millisecond = static_cast<int>(ms < 0 ? ms + 1000 : ms);
  return t;
}

uint64_t monotonicMs() {
  return static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(
          std::chrono::steady_clock::now().time_since_epoch()).count());
}

void PosixSystem::sleepMs(unsigned ms) {
  if (beforeSleep_) beforeSleep_();  // never a stale screen while waiting
  timespec left{static_cast<time_t>(ms / 1000),
                static_cast<long>(ms % 1000) * 1000000L};
  while (nanosleep(&left, &left) != 0) {
  }
}

std::string PosixSystem::windowsDirectory() {
  return plat::utf8ToCp1252(plat::defaultWindowsDirectory().string());
}

std::string PosixSystem::currentDirectory() {
  std::error_code ec;
  const std::filesystem::path cwd = std::filesystem::current_path(ec);
  return ec ? std::string(".") : plat::utf8ToCp1252(cwd.string());
}

std::string PosixSystem::programPath() {
  std::error_code ec;
  const std::filesystem::path exe =
      std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string("talonix") : plat::utf8ToCp1252(exe.string());
}

std::filesystem::path PosixSystem::nativePath(std::string_view path) {
  std::string p(path);
  for (char& c : p) {
    if (c == '\\') c = '/';
  }
  return std::filesystem::path(plat::cp1252ToUtf8(p));
}

bool PosixSystem::fileExists(std::string_view path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::exists(nativePath(path), ec);
}

void PosixSystem::exitProcess(int code) {
  if (beforeExit_) beforeExit_();
  std::exit(code);
}

bool PosixSystem::flushFileToDisk(const std::filesystem::path& path) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;
  int rc;
  do {
    rc = ::fsync(fd);
  } while (rc != 0 && errno == EINTR);
  // Some file systems cannot sync a directory; that is no write error.
  const bool ok = rc == 0 || errno == EINVAL || errno == EROFS;
  ::close(fd);
  return ok;
}

}  // namespace plat::posix
