#include "platform/headless/key_script.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>

#include "platform/shared/codepage.h"
#include "platform/shared/us_keys.h"

namespace plat::headless {
namespace {

using plat::Event;
using plat::EventKind;

constexpr uint32_t kVkPacket = 0xE7;  // characters typed without a key of their own
constexpr uint32_t kVkPause = 0x13;

using Mods = plat::Modifiers;

// Appends down, character (when ch >= 0) and up, as Windows sends them.
void pressKey(uint32_t vk, int ch, Mods mods, std::vector<Event>* out) {
  if (mods.alt && !mods.ctrl) {
    out->push_back(plat::keyEventOf(EventKind::kSysKeyDown, vk, mods));
    return;
  }
  out->push_back(plat::keyEventOf(EventKind::kKeyDown, vk, mods));
  if (ch >= 0 && !mods.alt) {
    out->push_back(plat::keyEventOf(EventKind::kChar, static_cast<uint32_t>(ch), mods));
  }
  out->push_back(plat::keyEventOf(EventKind::kKeyUp, vk, mods));
}

std::string lower(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

struct NamedKey {
  const char* name;
  uint32_t vk;
  int ch;  // character of the bare key, -1 for none
};

constexpr NamedKey kNamedKeys[] = {
    {"enter", plat::kVkReturn, 13},   {"return", plat::kVkReturn, 13},
    {"esc", plat::kVkEscape, 27},     {"escape", plat::kVkEscape, 27},
    {"tab", plat::kVkTab, 9},         {"backspace", plat::kVkBack, 8},
    {"space", plat::kVkSpace, 32},    {"up", plat::kVkUp, -1},
    {"down", plat::kVkDown, -1},      {"left", plat::kVkLeft, -1},
    {"right", plat::kVkRight, -1},    {"home", plat::kVkHome, -1},
    {"end", plat::kVkEnd, -1},        {"pgup", plat::kVkPrior, -1},
    {"pageup", plat::kVkPrior, -1},   {"pgdn", plat::kVkNext, -1},
    {"pagedown", plat::kVkNext, -1},  {"ins", plat::kVkInsert, -1},
    {"insert", plat::kVkInsert, -1},  {"del", plat::kVkDelete, -1},
    {"delete", plat::kVkDelete, -1},
};

// The character a key gives with Ctrl held (-1: none). Ctrl+Tab and
// Ctrl+digit give none on a US keyboard.
int ctrlChar(uint32_t vk) {
  if (vk >= 'A' && vk <= 'Z') return static_cast<int>(vk - 'A' + 1);
  switch (vk) {
    case plat::kVkReturn: return 10;
    case plat::kVkBack: return 127;
    case plat::kVkEscape: return 27;
    case plat::kVkSpace: return 32;
    default: return -1;
  }
}

bool namedKey(std::string_view name, Mods mods, std::vector<Event>* out) {
  std::string n = lower(name);
  uint32_t vk = 0;
  int ch = -1;
  bool found = false;
  for (const NamedKey& k : kNamedKeys) {
    if (n == k.name) {
      vk = k.vk;
      ch = k.ch;
      found = true;
      break;
    }
  }
  if (!found && n.size() >= 2 && n.size() <= 3 && n[0] == 'f') {
    int f = 0;
    for (size_t i = 1; i < n.size(); ++i) {
      if (!std::isdigit(static_cast<unsigned char>(n[i]))) return false;
      f = f * 10 + (n[i] - '0');
    }
    if (f < 1 || f > 12 || n[1] == '0') return false;
    vk = plat::kVkF1 + static_cast<uint32_t>(f - 1);
    found = true;
  }
  if (!found && n == "break") {
    vk = mods.ctrl ? plat::kVkCancel : kVkPause;
    found = true;
  }
  if (!found && n.size() == 1 && std::isalnum(static_cast<unsigned char>(n[0]))) {
    char c = n[0];
    vk = static_cast<uint32_t>(std::toupper(static_cast<unsigned char>(c)));
    ch = c;
    if (mods.shift && c >= 'a' && c <= 'z') ch = c - 'a' + 'A';
    if (mods.shift && c >= '0' && c <= '9') ch = plat::shiftedDigit(c);
    found = true;
  }
  if (!found) return false;
  if (mods.ctrl) ch = ctrlChar(vk);
  pressKey(vk, ch, mods, out);
  return true;
}

// --- Tokenizer -------------------------------------------------------------

class Parser {
 public:
  Parser(std::string_view text, std::vector<KeyGroup>* groups, std::string* error)
      : text_(text), groups_(groups), error_(error) {}

  bool run() {
    while (true) {
      skipBlanksAndComments();
      if (pos_ >= text_.size()) break;
      char c = text_[pos_];
      if (c == '~') {
        if (inBrace_) return fail(line_, "'~' inside braces");
        if (!bargeInPrefix()) return false;
        c = text_[pos_];
      }
      if (c == '{') {
        if (inBrace_) return fail(line_, "'{' inside braces");
        inBrace_ = true;
        braceLine_ = line_;
        pending_.events.clear();
        pending_.bargeInWaits = bargeIn_;
        bargeIn_ = 0;
        ++pos_;
      } else if (c == '}') {
        if (!inBrace_) return fail(line_, "'}' without '{'");
        inBrace_ = false;
        if (!pending_.events.empty()) groups_->push_back(pending_);
        pending_.events.clear();
        ++pos_;
      } else if (c == '"') {
        if (!typedText()) return false;
      } else if (!word()) {
        return false;
      }
    }
    if (inBrace_) return fail(braceLine_, "'{' is never closed");
    return true;
  }

 private:
  bool fail(int line, const std::string& what) {
    *error_ = "line " + std::to_string(line) + ": " + what;
    return false;
  }

  void skipBlanksAndComments() {
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
        ++pos_;
      } else if (c == '#') {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      } else {
        break;
      }
    }
  }

  static bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
  }

  // "~", "~N:": the next key or brace group is pressed during speech. Leaves
  // pos_ on that key or brace and the count in bargeIn_.
  bool bargeInPrefix() {
    ++pos_;  // '~'
    size_t digits = pos_;
    while (digits < text_.size() && text_[digits] >= '0' && text_[digits] <= '9') ++digits;
    int waits = 1;
    // Digits without ':' are the key itself ("~7" presses 7).
    if (digits < text_.size() && text_[digits] == ':') {
      const std::string_view count = text_.substr(pos_, digits - pos_);
      waits = 0;
      for (char d : count) waits = std::min(waits * 10 + (d - '0'), kMaxBargeInWaits + 1);
      if (waits < 1 || waits > kMaxBargeInWaits) {
        return fail(line_, "'~' wants a count from 1 to " + std::to_string(kMaxBargeInWaits) +
                               " before ':', not '" + std::string(count) + "'");
      }
      pos_ = digits + 1;
    }
    if (pos_ >= text_.size() || isBlank(text_[pos_]) || text_[pos_] == '#' ||
        text_[pos_] == '}' || text_[pos_] == '~') {
      return fail(line_, "'~' without a key or '{' after it");
    }
    // A string is one group per character: which one would be pressed?
    if (text_[pos_] == '"') return fail(line_, "'~' before a string (use ~{ \"...\" })");
    bargeIn_ = waits;
    return true;
  }

  // One key's events become a group of their own, or join the open brace.
  void emit(std::vector<Event> events) {
    if (inBrace_) {
      pending_.events.insert(pending_.events.end(), events.begin(), events.end());
    } else {
      groups_->push_back(KeyGroup{std::move(events), bargeIn_});
      bargeIn_ = 0;
    }
  }

  bool typedText() {
    int startLine = line_;
    ++pos_;  // opening quote
    std::string utf8;
    while (true) {
      if (pos_ >= text_.size() || text_[pos_] == '\n') {
        return fail(startLine, "unterminated string");
      }
      char c = text_[pos_++];
      if (c == '"') break;
      if (c == '\\') {
        if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\\')) {
          return fail(startLine, "unknown escape in string (only \\\" and \\\\)");
        }
        c = text_[pos_++];
      }
      utf8.push_back(c);
    }
    std::string bytes = plat::utf8ToCp1252(utf8);
    for (char c : bytes) {
      std::vector<Event> events;
      typedCharEvents(static_cast<uint8_t>(c), &events);
      emit(std::move(events));
    }
    return true;
  }

  bool word() {
    size_t start = pos_;
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (isBlank(c) || c == '#' || c == '{' || c == '}' || c == '"') {
        break;
      }
      ++pos_;
    }
    std::string_view w = text_.substr(start, pos_ - start);
    if (lower(w.substr(0, 6)) == "chord:") return chord(w.substr(6));
    std::vector<Event> events;
    if (!keyEvents(w, &events)) {
      return fail(line_, "unknown key name '" + std::string(w) + "'");
    }
    emit(std::move(events));
    return true;
  }

  bool chord(std::string_view keys) {
    std::vector<uint32_t> vks;
    auto add = [&](uint32_t vk) {
      for (uint32_t v : vks) {
        if (v == vk) return false;
      }
      vks.push_back(vk);
      return true;
    };
    size_t i = 0;
    while (i <= keys.size()) {
      size_t plus = keys.find('+', i);
      if (plus == std::string_view::npos) plus = keys.size();
      std::string part = lower(keys.substr(i, plus - i));
      if (part.empty()) return fail(line_, "empty key in chord");
      if (part == "space") {
        if (!add(plat::kVkSpace)) return fail(line_, "key repeated in chord");
      } else {
        for (char c : part) {
          if (c < 'a' || c > 'z') {
            return fail(line_, "chord keys are letters and SPACE, not '" + part + "'");
          }
          if (!add(static_cast<uint32_t>(c - 'a' + 'A'))) {
            return fail(line_, "key repeated in chord");
          }
        }
      }
      i = plus + 1;
    }
    std::vector<Event> events;
    for (uint32_t vk : vks) {
      events.push_back(plat::keyEventOf(EventKind::kKeyDown, vk, {}));
      uint32_t ch = vk == plat::kVkSpace ? 32u : vk - 'A' + 'a';
      events.push_back(plat::keyEventOf(EventKind::kChar, ch, {}));
    }
    for (uint32_t vk : vks) events.push_back(plat::keyEventOf(EventKind::kKeyUp, vk, {}));
    emit(std::move(events));
    return true;
  }

  std::string_view text_;
  std::vector<KeyGroup>* groups_;
  std::string* error_;
  size_t pos_ = 0;
  int line_ = 1;
  bool inBrace_ = false;
  int braceLine_ = 0;
  int bargeIn_ = 0;  // the prefix waiting for its key
  KeyGroup pending_;
};

}  // namespace

bool keyEvents(std::string_view name, std::vector<Event>* events) {
  Mods mods;
  std::string_view rest = name;
  while (true) {
    size_t plus = rest.find('+');
    // A trailing '+' alone is not a modifier separator ("Ctrl+" is invalid).
    if (plus == std::string_view::npos || plus + 1 >= rest.size()) break;
    std::string mod = lower(rest.substr(0, plus));
    if (mod == "ctrl" || mod == "control") {
      mods.ctrl = true;
    } else if (mod == "alt") {
      mods.alt = true;
    } else if (mod == "shift") {
      mods.shift = true;
    } else {
      return false;
    }
    rest = rest.substr(plus + 1);
  }
  if (rest.empty()) return false;
  return namedKey(rest, mods, events);
}

void typedCharEvents(uint8_t ch, std::vector<Event>* events) {
  const plat::UsKey key = plat::usKeyOf(ch);
  if (key.vk != 0) {
    Mods mods;
    mods.shift = key.shifted;
    pressKey(key.vk, ch, mods, events);
  } else {
    pressKey(kVkPacket, ch, {}, events);
  }
}

bool parseKeyScript(std::string_view script, std::vector<KeyGroup>* groups,
                    std::string* error) {
  groups->clear();
  error->clear();
  if (Parser(script, groups, error).run()) return true;
  groups->clear();
  return false;
}

}  // namespace plat::headless
