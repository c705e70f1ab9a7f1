#include "platform/win32/win32_backend.h"

#include <objbase.h>

namespace plat::win32 {

ComApartment::~ComApartment() {
  if (started_) CoUninitialize();
}

void ComApartment::start() {
  // S_FALSE (already started on this thread) is balanced by its own
  // CoUninitialize as well; only a failure is not.
  if (!started_) started_ = SUCCEEDED(CoInitialize(nullptr));
}

Win32Backend::Win32Backend() : system([this] { window.updateWindow(); }) {}

Services Win32Backend::services() {
  Services s;
  s.window = &window;
  s.clipboard = &window;
  s.magnifier = &magnifier;
  s.audio = &audio;
  s.profile = &profile;
  s.system = &system;
  s.printer = &printer;
  s.voices = &voices;
  return s;
}

void Win32Backend::install() {
  com.start();
  setServices(services());
}

}  // namespace plat::win32
