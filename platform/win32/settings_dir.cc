#include "platform/win32/settings_dir.h"

#include <windows.h>

#include <cstring>

namespace plat::win32 {
namespace {

bool fileIsThere(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string withoutSeparator(std::string dir) {
  while (dir.size() > 3 && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
  return dir;
}

}  // namespace

std::string settingsDirectoryFor(const std::string& programDir,
                                 const std::string& windowsDir) {
  for (const char* name : {"PORTATIL.TXT", "TALONIX.INI", "LUMIRA.INI"}) {
    if (!programDir.empty() && fileIsThere(programDir + "\\" + name)) {
      return programDir;
    }
  }
  return windowsDir;
}

std::string programDirectory() {
  char path[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string full(path, n < MAX_PATH ? n : MAX_PATH);
  const size_t cut = full.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : full.substr(0, cut);
}

const std::string& settingsDirectory() {
  static const std::string dir = [] {
    char windows[MAX_PATH + 1] = {};
    const UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
    return settingsDirectoryFor(programDirectory(),
                                withoutSeparator(std::string(windows, n < MAX_PATH ? n : 0)));
  }();
  return dir;
}

std::string settingsFile(const char* name) {
  if (name == nullptr) return std::string();
  if (std::strpbrk(name, "\\/:") != nullptr) return name;
  return settingsDirectory() + "\\" + name;
}

}  // namespace plat::win32
