// The platform's voices through the older speech interface (see
// sapi4_interfaces.h): a voice that speaks on its own (platform/voices.h).
// The engine tells of its progress through two sinks of ours, which it
// calls on the program's thread while the program handles its messages:
// one counts the texts handed over and not yet done, the other notes
// whether audio is playing.
//
// Settings: VOZ is 1-based in the enumerator's order (0 counts as 1; past
// the last voice, the last one). VELOCIDADE and TOM go to the voice's
// speed and pitch as they are, and only when not 0.
#ifndef TALONIX_PLATFORM_WIN32_SAPI4_VOICE_H_
#define TALONIX_PLATFORM_WIN32_SAPI4_VOICE_H_

#include <windows.h>

#include <memory>
#include <string_view>

#include "platform/voices.h"
#include "platform/win32/com_ref.h"
#include "platform/win32/sapi4_interfaces.h"

namespace plat::win32 {

// What the engine reported, shared with the sinks (which may outlive the
// voice inside the engine).
struct Sapi4Progress {
  int textQueued = 0;  // texts begun and not yet done
  bool audioPlaying = false;
};

class Sapi4Voice : public plat::Voice {
 public:
  explicit Sapi4Voice(ComFactory create = createComObject)
      : create_(std::move(create)) {}
  ~Sapi4Voice() override { end(); }
  Sapi4Voice(const Sapi4Voice&) = delete;
  Sapi4Voice& operator=(const Sapi4Voice&) = delete;

  bool start(int voice, int rate, int pitch, plat::SampleSink& sink) override;
  void speak(std::string_view text) override;
  bool isSpeaking(int kind) override;
  void stop() override;
  void end() override;

 private:
  bool open(int voice);
  void tune(int rate, int pitch);

  ComFactory create_;
  plat::SampleSink* sink_ = nullptr;  // while started
  ComRef<IUnknown> audio_;
  ComRef<sapi4::ITTSEnumA> voices_;
  ComRef<sapi4::ITTSCentralA> central_;
  ComRef<sapi4::ITTSNotifySinkA> notifySink_;
  ComRef<sapi4::ITTSBufNotifySink> bufferSink_;
  DWORD key_ = 0;  // of the notify sink's registration
  bool registered_ = false;
  std::shared_ptr<Sapi4Progress> progress_ = std::make_shared<Sapi4Progress>();
};

}  // namespace plat::win32

#endif  // TALONIX_PLATFORM_WIN32_SAPI4_VOICE_H_
