#include "platform/posix/term_decoder.h"

#include "platform/posix/term_charset.h"
#include "platform/posix/term_keymap.h"

namespace plat::posix {
namespace {

using plat::Event;

constexpr size_t kMaxSequence = 32;
constexpr int kMaxParams = 4;

Modifiers altOnly() {
  Modifiers m;
  m.alt = true;
  return m;
}

// The numeric fields of a CSI parameter string; sub-fields after ':' are
// ignored. False when the string is not plain digits, ';' and ':'.
bool parseParams(const std::string& s, int* params, int* count) {
  *count = 1;
  for (int i = 0; i < kMaxParams; ++i) params[i] = 0;
  bool inSub = false;
  for (char c : s) {
    if (c == ';') {
      if (*count == kMaxParams) return false;
      ++*count;
      inSub = false;
    } else if (c == ':') {
      inSub = true;
    } else if (c >= '0' && c <= '9') {
      if (inSub) continue;
      int& p = params[*count - 1];
      if (p > 1000000) return false;
      p = p * 10 + (c - '0');
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

void Decoder::reset() {
  state_ = State::kGround;
  altPrefix_ = false;
  seq_.clear();
  overflow_ = false;
  remaining_ = 0;
  codePoint_ = 0;
  stringEsc_ = false;
}

void Decoder::feed(std::string_view bytes, uint64_t nowMs,
                   std::vector<Event>* out) {
  for (char c : bytes) feed(static_cast<uint8_t>(c), nowMs, out);
}

void Decoder::feed(uint8_t byte, uint64_t nowMs, std::vector<Event>* out) {
  // A byte that comes after the deadline does not belong to what was pending.
  if (pending() && nowMs >= deadline()) resolveTimeout(out);
  lastByteMs_ = nowMs;
  switch (state_) {
    case State::kGround: ground(byte, false, out); return;
    case State::kEsc:
    case State::kEscEsc: escape(byte, out); return;
    case State::kCsi: csiByte(byte, out); return;
    case State::kSs3: ss3Byte(byte, out); return;
    case State::kLinuxFn:
      reset();
      if (byte >= 'A' && byte <= 'E') {
        emitKey(plat::kVkF1 + (byte - 'A'), Modifiers(), -1, out);
      }
      return;
    case State::kMouseX10:
      if (--remaining_ <= 0) reset();
      return;
    case State::kString:
      // Swallowed up to BEL or ESC \ (a terminal's reply, never a key).
      if (byte == 7 || (stringEsc_ && byte == '\\')) {
        reset();
      } else {
        stringEsc_ = byte == 27;
      }
      return;
    case State::kUtf8: utf8Byte(byte, out); return;
  }
}

void Decoder::ground(uint8_t b, bool alt, std::vector<Event>* out) {
  Modifiers m;
  m.alt = alt;
  if (b == 27) {
    state_ = State::kEsc;
  } else if (b < 32 || b == 127) {
    emitControl(b, eraseIsDel_, m, out);
  } else if (b < 128) {
    emitChar(b, m, out);
  } else if (b >= 0xC2 && b <= 0xF4) {
    state_ = State::kUtf8;
    altPrefix_ = alt;
    remaining_ = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : 1;
    codePoint_ = b & (0x3F >> remaining_);
  }
  // Other bytes cannot start a UTF-8 character: dropped.
}

void Decoder::utf8Byte(uint8_t b, std::vector<Event>* out) {
  if ((b & 0xC0) != 0x80) {  // cut short: drop it, decode the new byte
    reset();
    ground(b, false, out);
    return;
  }
  codePoint_ = (codePoint_ << 6) | (b & 0x3F);
  if (--remaining_ > 0) return;
  const bool alt = altPrefix_;
  const uint32_t cp = codePoint_;
  reset();
  uint8_t ch = 0;
  // Overlong forms and characters Windows-1252 lacks are dropped.
  if (cp < 0x80 || !codePointToCp1252(cp, &ch)) return;
  Modifiers m;
  m.alt = alt;
  emitChar(ch, m, out);
}

void Decoder::escape(uint8_t b, std::vector<Event>* out) {
  const bool doubled = state_ == State::kEscEsc;
  if (b == '[' || b == 'O') {
    altPrefix_ = doubled;
    state_ = b == '[' ? State::kCsi : State::kSs3;
    seq_.clear();
    overflow_ = false;
    return;
  }
  if (b == ']' && !doubled) {  // operating-system command (a reply)
    state_ = State::kString;
    stringEsc_ = false;
    return;
  }
  if (doubled) {
    // ESC ESC x: the first ESC was the Esc key, the rest is Alt+x.
    emitKey(plat::kVkEscape, Modifiers(), 27, out);
    state_ = State::kEsc;
    escape(b, out);
    return;
  }
  if (b == 27) {
    state_ = State::kEscEsc;
    return;
  }
  reset();
  ground(b, true, out);
}

void Decoder::csiByte(uint8_t b, std::vector<Event>* out) {
  if (seq_.empty() && !overflow_) {
    if (b == '[') {  // linux console: ESC [ [ A .. E are F1 .. F5
      state_ = State::kLinuxFn;
      return;
    }
    if (b == 'M') {  // X10 mouse report: three raw bytes follow
      state_ = State::kMouseX10;
      remaining_ = 3;
      return;
    }
  }
  if (b >= 0x40 && b <= 0x7E) {
    finishCsi(b, out);
    return;
  }
  if (b >= 0x20 && b <= 0x3F) {
    if (seq_.size() < kMaxSequence) {
      seq_.push_back(static_cast<char>(b));
    } else {
      overflow_ = true;
    }
    return;
  }
  // Anything else breaks the sequence off. It is dropped, but a control
  // byte is a key of its own (ESC starts a new sequence).
  reset();
  if (b < 0x20) ground(b, false, out);
}

void Decoder::ss3Byte(uint8_t b, std::vector<Event>* out) {
  if (b >= '0' && b <= '9' && seq_.size() < 2) {  // old xterm: ESC O 5 P
    seq_.push_back(static_cast<char>(b));
    return;
  }
  Modifiers m;
  const bool ok = modifiersOfParam(seq_.empty() ? 0 : std::stoi(seq_), &m);
  m.alt = m.alt || altPrefix_;
  reset();
  if (!ok) return;
  if (const uint32_t vk = vkOfFinal(b)) {
    emitKey(vk, m, -1, out);
  } else if (b >= 'a' && b <= 'd') {  // rxvt: Ctrl+arrows
    m.ctrl = true;
    emitKey(vkOfFinal(static_cast<uint8_t>(b - 'a' + 'A')), m, -1, out);
  } else if (b == 'M') {  // keypad Enter
    emitKey(plat::kVkReturn, m, m.ctrl ? 10 : 13, out);
  } else if (b >= 'j' && b <= 'y') {  // keypad characters
    emitChar(static_cast<uint8_t>("*+,-./0123456789"[b - 'j']), m, out);
  } else if (b == 'X') {
    emitChar('=', m, out);
  }
  // Anything else (keypad 5 'E', unknown finals) is swallowed.
}

void Decoder::finishCsi(uint8_t final, std::vector<Event>* out) {
  const std::string s = seq_;
  const bool overflow = overflow_;
  const bool alt = altPrefix_;
  reset();
  // Private markers (mouse, device replies), intermediates and runaway
  // sequences carry no key.
  if (overflow || (!s.empty() && s[0] >= '<' && s[0] <= '?')) return;
  int p[kMaxParams];
  int count = 0;
  if (!parseParams(s, p, &count)) return;
  Modifiers m;
  if (!modifiersOfParam(count >= 2 ? p[1] : 0, &m)) return;
  m.alt = m.alt || alt;
  if (const uint32_t vk = vkOfFinal(final)) {
    emitKey(vk, m, -1, out);
    return;
  }
  switch (final) {
    case 'Z':  // back tab
      m.shift = true;
      emitKey(plat::kVkTab, m, 9, out);
      return;
    case 'a': case 'b': case 'c': case 'd':  // rxvt: Shift+arrows
      m.shift = true;
      emitKey(vkOfFinal(static_cast<uint8_t>(final - 'a' + 'A')), m, -1, out);
      return;
    case 'u':
      emitKeyCode(static_cast<uint32_t>(p[0]), m, out);
      return;
    case '~': case '^': case '$': case '@': {
      if (p[0] == 27 && count >= 3 && final == '~') {  // modifyOtherKeys
        emitKeyCode(static_cast<uint32_t>(p[2]), m, out);
        return;
      }
      const uint32_t vk = vkOfTildeNumber(p[0]);
      if (!vk) return;
      if (final == '^' || final == '@') m.ctrl = true;  // rxvt
      if (final == '$' || final == '@') m.shift = true;
      emitKey(vk, m, -1, out);
      return;
    }
  }
}

void Decoder::resolveTimeout(std::vector<Event>* out) {
  const State s = state_;
  const bool empty = seq_.empty() && !overflow_;
  const bool alt = altPrefix_;
  reset();
  if (s == State::kEsc) {
    emitKey(plat::kVkEscape, Modifiers(), 27, out);
  } else if (s == State::kEscEsc) {
    emitKey(plat::kVkEscape, Modifiers(), 27, out);
    emitKey(plat::kVkEscape, Modifiers(), 27, out);
  } else if (s == State::kCsi && empty && !alt) {
    emitChar('[', altOnly(), out);  // Alt+[
  } else if (s == State::kSs3 && empty && !alt) {
    emitChar('O', altOnly(), out);  // Alt+Shift+O
  }
  // Partial sequences, strings and characters are dropped.
}

void Decoder::flushPending(uint64_t nowMs, std::vector<Event>* out) {
  if (pending() && nowMs >= deadline()) resolveTimeout(out);
}

}  // namespace plat::posix
