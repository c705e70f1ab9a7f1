#include "platform/shared/window_defaults.h"

namespace plat {

DefaultAction defaultActionOf(const Event& e) {
  if (e.kind == EventKind::kSysKeyDown && e.code == kVkF4 && e.alt) {
    return DefaultAction::kRequestClose;
  }
  if (e.kind == EventKind::kClose) return DefaultAction::kDestroyWindow;
  return DefaultAction::kNone;
}

void KeyState::note(const Event& e) {
  if (!isKeyboardEvent(e)) return;
  shift_ = e.shift;
  ctrl_ = e.ctrl;
  alt_ = e.alt;
}

bool KeyState::held(uint32_t virtualKey) const {
  switch (virtualKey) {
    case kVkShift: return shift_;
    case kVkControl: return ctrl_;
    case kVkMenu: return alt_;
    default: return false;
  }
}

}  // namespace plat
