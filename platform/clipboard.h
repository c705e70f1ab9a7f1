// The desktop clipboard's text (CF_TEXT, Windows-1252).
#ifndef TALONIX_PLATFORM_CLIPBOARD_H_
#define TALONIX_PLATFORM_CLIPBOARD_H_

#include <string>
#include <string_view>

namespace plat {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // False when the clipboard cannot be opened (nothing changes).
  virtual bool setClipboardText(std::string_view text) = 0;
  // False when the clipboard cannot be opened (*text and *hasText are then
  // untouched). Otherwise *hasText tells whether it holds text, and *text
  // receives it. Both non-null.
  virtual bool getClipboardText(std::string* text, bool* hasText) = 0;
};

}  // namespace plat

#endif  // TALONIX_PLATFORM_CLIPBOARD_H_
