// What every window backend does the same way: the default processing of
// messages the program passes on (DefWindowProcA's part that matters here)
// and the modifier state GetKeyState reports.
#ifndef TALONIX_PLATFORM_SHARED_WINDOW_DEFAULTS_H_
#define TALONIX_PLATFORM_SHARED_WINDOW_DEFAULTS_H_

#include <cstdint>

#include "platform/events.h"

namespace plat {

enum class DefaultAction {
  kNone,
  kRequestClose,   // send kClose at once (Alt+F4)
  kDestroyWindow,  // destroy the window, send kDestroy, then quit (WM_CLOSE)
};

// What DefWindowProcA does with a message the window procedure did not
// handle.
DefaultAction defaultActionOf(const Event& event);

// The modifiers of the keyboard message dispatched last.
class KeyState {
 public:
  // Notes the modifiers of a keyboard message; other messages leave them.
  void note(const Event& event);
  // For kVkShift, kVkControl and kVkMenu; false for any other key.
  bool held(uint32_t virtualKey) const;

 private:
  bool shift_ = false, ctrl_ = false, alt_ = false;
};

}  // namespace plat

#endif  // TALONIX_PLATFORM_SHARED_WINDOW_DEFAULTS_H_
