#include "platform/platform.h"

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <utility>

namespace plat {
namespace {

Services installed;
Recorder recorder;

template <typename T>
T& need(T* service, const char* name) {
  if (service == nullptr) {
    std::fprintf(stderr, "talonix: no %s service installed\n", name);
    std::abort();
  }
  return *service;
}

}  // namespace

void setServices(const Services& services) {
  need(services.window, "window");
  need(services.clipboard, "clipboard");
  need(services.magnifier, "magnifier");
  need(services.audio, "audio");
  need(services.profile, "profile");
  need(services.system, "system");
  need(services.printer, "printer");
  need(services.voices, "voices");
  installed = services;
}

void clearServices() { installed = Services(); }

Window& window() { return need(installed.window, "window"); }
Clipboard& clipboard() { return need(installed.clipboard, "clipboard"); }
Magnifier& magnifier() { return need(installed.magnifier, "magnifier"); }
Audio& audio() { return need(installed.audio, "audio"); }
Profile& profile() { return need(installed.profile, "profile"); }
System& system() { return need(installed.system, "system"); }
Printer& printer() { return need(installed.printer, "printer"); }
Voices& voices() { return need(installed.voices, "voices"); }

std::string readProfileString(const char* section, const char* key,
                              const char* defaultValue, const char* file,
                              size_t bufferSize) {
  if (bufferSize == 0) return std::string();
  std::string buffer(bufferSize, '\0');
  size_t n = profile().getPrivateProfileString(section, key, defaultValue,
                                               buffer.data(), bufferSize, file);
  buffer.resize(std::min(n, bufferSize - 1));
  return buffer;
}

void exitProgram(int code) {
  system().exitProcess(code);
  std::abort();  // a backend's exitProcess never comes back
}

void setRecorder(Recorder r) { recorder = std::move(r); }
void record(std::string_view line) {
  if (recorder) recorder(line);
}

}  // namespace plat
