// Making written files durable on a POSIX disk.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/terminal_platform.h"

namespace plat::posix {

bool TerminalPlatform::flushFileToDisk(const std::filesystem::path& path) {
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
