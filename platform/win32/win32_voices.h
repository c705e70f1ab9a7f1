// The platform's voices on Windows: the modern speech interface's SpVoice
// and the older interface's engines; and MBROLA's library, when installed. COM must be initialised on the
// program's thread before either starts, and both ended before it is
// uninitialised.
#ifndef TALONIX_PLATFORM_WIN32_WIN32_VOICES_H_
#define TALONIX_PLATFORM_WIN32_WIN32_VOICES_H_

#include "platform/voices.h"
#include "platform/window.h"
#include "platform/win32/mbrola_dll.h"
#include "platform/win32/sapi4_voice.h"
#include "platform/win32/sapi5_voice.h"

namespace plat::win32 {

class Win32Voices : public plat::Voices {
 public:
  // `window` is the console window (wake messages and beeps).
  explicit Win32Voices(plat::Window& window) : sapi5_(window) {}
  plat::Voice* voice(plat::VoiceKind kind) override {
    if (kind == plat::VoiceKind::kSapi5) return &sapi5_;
    return &sapi4_;
  }
  plat::Mbrola* mbrola() override { return &mbrola_; }

 private:
  Sapi5Voice sapi5_;
  Sapi4Voice sapi4_;
  MbrolaDll mbrola_;
};

}  // namespace plat::win32

#endif  // TALONIX_PLATFORM_WIN32_WIN32_VOICES_H_
