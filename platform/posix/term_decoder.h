// Turns the bytes an xterm-compatible terminal sends for each key into the
// window messages the Windows console window would receive for that key:
// key down, the character (if the key has one), key up.
//
// The decoder is fed byte by byte as input arrives. A lone ESC cannot be told
// from the start of a sequence until a short time has passed, so a partial
// sequence stays pending until more bytes come or flushPending() is called
// after its deadline. Unknown or malformed sequences are swallowed whole.
#ifndef TALONIX_PLATFORM_POSIX_TERM_DECODER_H_
#define TALONIX_PLATFORM_POSIX_TERM_DECODER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace plat::posix {

// How long a partial sequence may wait for its next byte (milliseconds).
constexpr uint64_t kEscTimeoutMs = 60;

using Modifiers = plat::Modifiers;

class Decoder {
 public:
  // eraseIsDel: the terminal's Backspace key sends 0x7F, so 0x08 means
  // Ctrl+Backspace. Otherwise 0x08 is Backspace and 0x7F Ctrl+Backspace.
  explicit Decoder(bool eraseIsDel = true) : eraseIsDel_(eraseIsDel) {}

  void feed(uint8_t byte, uint64_t nowMs, std::vector<plat::Event>* out);
  void feed(std::string_view bytes, uint64_t nowMs,
            std::vector<plat::Event>* out);
  // A partial sequence is waiting; it resolves at deadline().
  bool pending() const { return state_ != State::kGround; }
  uint64_t deadline() const { return lastByteMs_ + kEscTimeoutMs; }
  // Resolves a partial sequence whose deadline has passed: a lone ESC
  // becomes the Esc key, anything else incomplete is dropped.
  void flushPending(uint64_t nowMs, std::vector<plat::Event>* out);
  void reset();

 private:
  enum class State {
    kGround, kEsc, kEscEsc, kCsi, kSs3, kLinuxFn, kMouseX10, kString, kUtf8
  };

  void ground(uint8_t byte, bool alt, std::vector<plat::Event>* out);
  void escape(uint8_t byte, std::vector<plat::Event>* out);
  void csiByte(uint8_t byte, std::vector<plat::Event>* out);
  void ss3Byte(uint8_t byte, std::vector<plat::Event>* out);
  void utf8Byte(uint8_t byte, std::vector<plat::Event>* out);
  void finishCsi(uint8_t final, std::vector<plat::Event>* out);
  void resolveTimeout(std::vector<plat::Event>* out);

  bool eraseIsDel_;
  State state_ = State::kGround;
  bool altPrefix_ = false;  // ESC ESC [ ...: the sequence is Alt+key
  std::string seq_;         // bytes of the sequence after its introducer
  bool overflow_ = false;   // sequence too long: swallow it to its end
  int remaining_ = 0;       // bytes still to skip (mouse) or to decode (UTF-8)
  uint32_t codePoint_ = 0;
  bool stringEsc_ = false;  // inside a string, ESC seen (ST may follow)
  uint64_t lastByteMs_ = 0;
};

// Appends the message sequence of one key: kKeyDown (or kSysKeyDown for
// Alt without Ctrl), kChar when `ch` >= 0 and no Alt is held, kKeyUp.
void emitKey(uint32_t vk, Modifiers mods, int ch,
             std::vector<plat::Event>* out);

}  // namespace plat::posix

#endif  // TALONIX_PLATFORM_POSIX_TERM_DECODER_H_
