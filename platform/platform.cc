#include "platform/platform.h"

#include <cstdlib>

namespace plat {
namespace {
Platform* current = nullptr;
}  // namespace

Platform& platform() { return *current; }
void setPlatform(Platform* backend) { current = backend; }

void exitProgram(int code) {
  current->exitProcess(code);
  std::abort();  // a backend's exitProcess never comes back
}

}  // namespace plat
