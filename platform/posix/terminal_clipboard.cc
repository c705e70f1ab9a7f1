// The terminal window's clipboard: kept in the program, and handed to the
// user's terminal for the desktop clipboard (OSC 52).
#include "platform/posix/terminal_window.h"
#include "platform/shared/codepage.h"

namespace plat::posix {
namespace {

std::string base64(std::string_view data) {
  static const char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t i = 0;
  for (; i + 2 < data.size(); i += 3) {
    const uint32_t v = (static_cast<uint8_t>(data[i]) << 16) |
                       (static_cast<uint8_t>(data[i + 1]) << 8) |
                       static_cast<uint8_t>(data[i + 2]);
    for (int shift = 18; shift >= 0; shift -= 6) {
      out.push_back(kDigits[(v >> shift) & 63]);
    }
  }
  if (i < data.size()) {
    uint32_t v = static_cast<uint8_t>(data[i]) << 16;
    if (i + 1 < data.size()) v |= static_cast<uint8_t>(data[i + 1]) << 8;
    out.push_back(kDigits[(v >> 18) & 63]);
    out.push_back(kDigits[(v >> 12) & 63]);
    out.push_back(i + 1 < data.size() ? kDigits[(v >> 6) & 63] : '=');
    out.push_back('=');
  }
  return out;
}

}  // namespace

bool TerminalWindow::setClipboardText(std::string_view text) {
  clipboard_.assign(text);
  clipboardHasText_ = true;
  // The user's terminal takes it into the desktop clipboard (OSC 52).
  if (windowOpen_) {
    writeOut("\x1b]52;c;" + base64(cp1252ToUtf8(text)) + "\x07");
  }
  return true;
}

bool TerminalWindow::getClipboardText(std::string* text, bool* hasText) {
  *hasText = clipboardHasText_;
  if (clipboardHasText_) *text = clipboard_;
  return true;
}

}  // namespace plat::posix
