#include "platform/platform.h"

namespace plat {
namespace {
Platform* current = nullptr;
}  // namespace

Platform& platform() { return *current; }
void setPlatform(Platform* backend) { current = backend; }

}  // namespace plat
