// The terminal backend's services beside the window: sound, clipboard,
// clock, settings files, paths and the end of the process.
#include <time.h>

#include <chrono>
#include <cstdlib>
#include <system_error>

#include "platform/shared/codepage.h"
#include "platform/shared/profile_store.h"
#include "platform/posix/terminal_io.h"
#include "platform/posix/terminal_platform.h"

namespace plat::posix {
namespace {


std::string base64(std::string_view data) {
  static const char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t i = 0;
  for (; i + 2 < data.size(); i += 3) {
    const uint32_t v = (static_cast<uint8_t>(data[i]) << 16) |
                       (static_cast<uint8_t>(data[i + 1]) << 8) |
                       static_cast<uint8_t>(data[i + 2]);
    for (int shift = 18; shift >= 0; shift -= 6) {
      out.push_back(kDigits[(v >> shift) & 63]);
    }
  }
  if (i < data.size()) {
    uint32_t v = static_cast<uint8_t>(data[i]) << 16;
    if (i + 1 < data.size()) v |= static_cast<uint8_t>(data[i + 1]) << 8;
    out.push_back(kDigits[(v >> 18) & 63]);
    out.push_back(kDigits[(v >> 12) & 63]);
    out.push_back(i + 1 < data.size() ? kDigits[(v >> 6) & 63] : '=');
    out.push_back('=');
  }
  return out;
}

std::filesystem::path settingsFile(const char* file, const std::string& winDir,
                                   TerminalPlatform* self) {
  return plat::resolveProfileFile(file ? file : "WIN.INI",
                                 self->nativePath(winDir));
}

}  // namespace

void TerminalPlatform::messageBeep() { writeOut("\x07"); }

// Stand-in until audio output exists: the tone is silent.
void TerminalPlatform::playLoopingWave(const uint8_t*, size_t) {}
// Stand-in until audio output exists.
void TerminalPlatform::stopLoopingWave() {}

bool TerminalPlatform::setClipboardText(std::string_view text) {
  clipboard_.assign(text);
  clipboardHasText_ = true;
  // The user's terminal takes it into the desktop clipboard (OSC 52).
  if (windowOpen_) {
    writeOut("\x1b]52;c;" + base64(plat::cp1252ToUtf8(text)) + "\x07");
  }
  return true;
}

bool TerminalPlatform::getClipboardText(std::string* text, bool* hasText) {
  *hasText = clipboardHasText_;
  if (clipboardHasText_) *text = clipboard_;
  return true;
}

plat::LocalTime TerminalPlatform::localTime() {
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

uint64_t TerminalPlatform::tickMs() {
  return static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(
          std::chrono::steady_clock::now().time_since_epoch()).count());
}

void TerminalPlatform::sleepMs(unsigned ms) {
  flushScreen();  // the screen is never left stale while the program waits
  timespec left{static_cast<time_t>(ms / 1000),
                static_cast<long>(ms % 1000) * 1000000L};
  while (nanosleep(&left, &left) != 0) {
  }
}

size_t TerminalPlatform::getPrivateProfileString(const char* section,
                                                 const char* key,
                                                 const char* defaultValue,
                                                 char* buffer, size_t size,
                                                 const char* file) {
  return plat::getProfileString(settingsFile(file, windowsDirectory(), this),
                               section, key, defaultValue, buffer, size);
}

bool TerminalPlatform::writePrivateProfileString(const char* section,
                                                 const char* key,
                                                 const char* value,
                                                 const char* file) {
  return plat::writeProfileString(settingsFile(file, windowsDirectory(), this),
                                 section, key, value,
                                 [this](const std::filesystem::path& path) {
                                   return flushFileToDisk(path);
                                 });
}

size_t TerminalPlatform::getProfileString(const char* section, const char* key,
                                          const char* defaultValue,
                                          char* buffer, size_t size) {
  return getPrivateProfileString(section, key, defaultValue, buffer, size,
                                 "WIN.INI");
}

std::string TerminalPlatform::windowsDirectory() {
  return plat::utf8ToCp1252(plat::defaultWindowsDirectory().string());
}

std::string TerminalPlatform::currentDirectory() {
  std::error_code ec;
  const std::filesystem::path cwd = std::filesystem::current_path(ec);
  return ec ? std::string(".") : plat::utf8ToCp1252(cwd.string());
}

std::string TerminalPlatform::programPath() {
  std::error_code ec;
  const std::filesystem::path exe =
      std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string("talonix") : plat::utf8ToCp1252(exe.string());
}

std::filesystem::path TerminalPlatform::nativePath(std::string_view path) {
  std::string p(path);
  for (char& c : p) {
    if (c == '\\') c = '/';
  }
  return std::filesystem::path(plat::cp1252ToUtf8(p));
}

bool TerminalPlatform::fileExists(std::string_view path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::exists(nativePath(path), ec);
}

void TerminalPlatform::exitProcess(int code) {
  flushScreen();
  windowOpen_ = false;
  leaveTerminalMode();
  std::exit(code);
}

}  // namespace plat::posix
