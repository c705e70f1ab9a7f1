#include "platform/win32/win32_system.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/win32/settings_dir.h"

namespace plat::win32 {
namespace {

constexpr UINT kCodePage = 1252;

// A directory or file name from an ANSI call that fills a buffer and
// reports the length it needs when the buffer is short.
template <typename Call>
std::string ansiText(Call call) {
  std::vector<char> buffer(MAX_PATH + 1);
  for (int tries = 0; tries < 4; ++tries) {
    const DWORD n = call(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::string();
    if (n < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(std::max<size_t>(buffer.size() * 2, n + 1));
  }
  return std::string();
}

}  // namespace

Win32System::Win32System(std::function<void()> beforeSleep)
    : beforeSleep_(std::move(beforeSleep)) {}

LocalTime Win32System::localTime() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  LocalTime t;
  t.year = st.wYear;
  t.month = st.wMonth;
  t.day = st.wDay;
  t.weekday = st.wDayOfWeek;
  t.hour = st.wHour;
  t.minute = st.wMinute;
  t.second = st.wSecond;
  t.millisecond = st.wMilliseconds;
  return t;
}

uint64_t Win32System::tickMs() { return GetTickCount64(); }

void Win32System::sleepMs(unsigned ms) {
  if (beforeSleep_) beforeSleep_();  // never a stale screen while waiting
  Sleep(ms);
}

std::string Win32System::windowsDirectory() { return settingsDirectory(); }

std::string Win32System::currentDirectory() {
  std::string dir = ansiText([](char* b, DWORD n) { return GetCurrentDirectoryA(n, b); });
  return dir.empty() ? std::string(".") : dir;
}

std::string Win32System::programPath() {
  return ansiText([](char* b, DWORD n) {
    const DWORD got = GetModuleFileNameA(nullptr, b, n);
    return got >= n ? n : got;  // cut short: ask again with more room
  });
}

std::filesystem::path Win32System::nativePath(std::string_view path) {
  if (path.empty()) return std::filesystem::path();
  const int size = static_cast<int>(path.size());
  const int wide = MultiByteToWideChar(kCodePage, 0, path.data(), size, nullptr, 0);
  if (wide <= 0) return std::filesystem::path();
  std::wstring out(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(kCodePage, 0, path.data(), size, out.data(), wide);
  return std::filesystem::path(out);
}

bool Win32System::fileExists(std::string_view path) {
  if (path.empty()) return false;
  const std::filesystem::path native = nativePath(path);
  return GetFileAttributesW(native.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32System::flushFileToDisk(const std::filesystem::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  const bool directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING,
                         directory ? FILE_FLAG_BACKUP_SEMANTICS : 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return directory;
  const bool flushed = FlushFileBuffers(h) != 0;
  CloseHandle(h);
  return flushed || directory;
}

void Win32System::shellOpen(std::string_view program, std::string_view parameters,
                            std::string_view directory) {
  const std::string p(program), a(parameters), d(directory);
  ShellExecuteA(nullptr, "open", p.c_str(), a.empty() ? nullptr : a.c_str(),
                d.empty() ? nullptr : d.c_str(), SW_SHOWNORMAL);
}

bool Win32System::readMachineRegistryText(std::string_view path, std::string* text) {
  const size_t slash = path.rfind('\\');
  const std::string key(path.substr(0, slash == std::string_view::npos ? 0 : slash));
  const std::string value(slash == std::string_view::npos ? path : path.substr(slash + 1));
  HKEY handle;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
    return false;
  DWORD type = 0;
  DWORD size = 0;
  bool ok = RegQueryValueExA(handle, value.empty() ? nullptr : value.c_str(), nullptr, &type,
                             nullptr, &size) == ERROR_SUCCESS &&
            size > 0;
  if (ok) {
    std::string bytes(size, '\0');
    ok = RegQueryValueExA(handle, value.empty() ? nullptr : value.c_str(), nullptr, &type,
                          reinterpret_cast<BYTE*>(bytes.data()), &size) == ERROR_SUCCESS &&
         type == REG_SZ;
    // The value without its final NUL.
    if (ok) *text = bytes.substr(0, size > 0 ? size - 1 : 0);
  }
  RegCloseKey(handle);
  return ok;
}

void Win32System::exitProcess(int code) { ExitProcess(static_cast<UINT>(code)); }

}  // namespace plat::win32
