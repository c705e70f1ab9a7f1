#include "platform/pdf/print_dir.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "platform/shared/codepage.h"

namespace plat::pdf {
namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string homeDirectory() {
  std::string home = environment("HOME");
  if (!home.empty()) return home;
  const passwd* pw = ::getpwuid(::getuid());
  return pw != nullptr && pw->pw_dir != nullptr ? pw->pw_dir : "";
}

bool isDirectory(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The value of XDG_DOCUMENTS_DIR in user-dirs.dirs: a quoted path, either
// absolute or starting with $HOME.
std::string documentsFromUserDirs(const std::string& home) {
  std::string config = environment("XDG_CONFIG_HOME");
  if (config.empty() || config[0] != '/') config = home + "/.config";
  std::ifstream in(config + "/user-dirs.dirs");
  const std::string key = "XDG_DOCUMENTS_DIR=\"";
  std::string line;
  while (std::getline(in, line)) {
    if (line.compare(0, key.size(), key) != 0) continue;
    const size_t end = line.find('"', key.size());
    if (end == std::string::npos) return "";
    std::string value = line.substr(key.size(), end - key.size());
    if (value.compare(0, 5, "$HOME") == 0) return home + value.substr(5);
    return value[0] == '/' ? value : "";
  }
  return "";
}

std::string documentsDirectory(const std::string& home) {
  std::string docs = environment("XDG_DOCUMENTS_DIR");
  if (docs.empty()) docs = documentsFromUserDirs(home);
  while (docs.size() > 1 && docs.back() == '/') docs.pop_back();
  // A documents directory set to the home itself means "none".
  if (docs.empty() || docs == home || !isDirectory(docs)) return "";
  return docs;
}

// The new name made durable, as the file's bytes already are.
void flushDirectory(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::string printDirectory() {
  const std::string chosen = environment("TALONIX_PRINT_DIR");
  if (!chosen.empty()) return chosen;
  const std::string home = homeDirectory();
  const std::string docs = documentsDirectory(home);
  if (!docs.empty()) return docs + "/Talonix";
  std::string data = environment("XDG_DATA_HOME");
  if (data.empty() || data[0] != '/') {
    if (home.empty()) return "";
    data = home + "/.local/share";
  }
  return data + "/talonix/cheques";
}

bool makeWritableDirectory(const std::string& dir) {
  if (dir.empty()) return false;
  for (size_t slash = dir.find('/', 1); ; slash = dir.find('/', slash + 1)) {
    const std::string part = dir.substr(0, slash);
    if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  return isDirectory(dir) && ::access(dir.c_str(), W_OK | X_OK) == 0;
}

std::string documentFileName(std::string_view documentName, std::time_t when) {
  std::string name;
  for (unsigned char c : documentName.substr(0, 80)) {
    const bool unsafe = c < 0x20 || c == 0x7F || c == '/' || c == '\\' ||
                        c == ':' || c == '*' || c == '?' || c == '"' ||
                        c == '<' || c == '>' || c == '|';
    name += unsafe ? '_' : static_cast<char>(c);
  }
  while (!name.empty() && name.back() == ' ') name.pop_back();
  if (name.empty()) name = "Talonix";
  if (name[0] == '.') name[0] = '_';  // not a hidden file
  std::tm local{};
  ::localtime_r(&when, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, " %Y-%m-%d %H-%M-%S", &local);
  return cp1252ToUtf8(name) + stamp + ".pdf";
}

std::string keepFile(const std::string& temp, const std::string& dir,
                     const std::string& fileName) {
  const std::string stem = fileName.substr(0, fileName.size() - 4);  // ".pdf"
  for (int n = 1; n <= 1000; ++n) {
    const std::string path = dir + "/" +
        (n == 1 ? fileName : stem + "_" + std::to_string(n) + ".pdf");
    // A hard link fails on an existing name where a rename would replace it.
    if (::link(temp.c_str(), path.c_str()) == 0) {
      ::unlink(temp.c_str());
      flushDirectory(dir);
      return path;
    }
    if (errno == EEXIST) continue;
    // A file system without hard links: rename, having looked first.
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0) continue;
    if (std::rename(temp.c_str(), path.c_str()) != 0) return "";
    flushDirectory(dir);
    return path;
  }
  return "";
}

}  // namespace plat::pdf
