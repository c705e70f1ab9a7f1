// Clipboard, clock and the tone generator of the console.
#include <algorithm>
#include <cstring>
#include <string>

#include "console/console.h"
#include "platform/shared/riff.h"

void copyToClipboard(const char* text) {
  if (text == nullptr) return;
  plat::clipboard().setClipboardText(text);
}

void pasteFromClipboard(char* buffer, size_t capacity) {
  if (capacity == 0 || buffer == nullptr) return;
  std::string text;
  bool hasText = false;
  if (!plat::clipboard().getClipboardText(&text, &hasText)) return;
  if (!hasText) {
    buffer[0] = 0;
    return;
  }
  // CF_TEXT ends at its first NUL.
  const size_t length = std::min(text.size(), std::strlen(text.c_str()));
  const size_t n = std::min(length + 1, capacity);
  std::memcpy(buffer, text.data(), std::min(length, n));
  buffer[n - 1] = 0;
}

DateParts currentDate() {
  plat::LocalTime t = plat::system().localTime();
  return {t.year, t.month, t.day, t.weekday};
}

TimeParts currentTime() {
  plat::LocalTime t = plat::system().localTime();
  return {t.hour, t.minute, t.second, t.millisecond / 10};
}

std::string buildToneImage(uint16_t frequency) {
  std::string image(11071, '\0');
  // A frequency of 0 or above the sample rate has no period: silence.
  const int period = frequency == 0 ? 0 : 11025 / frequency;
  size_t position = 44;
  if (period > 0) {
    for (int n = 0; position <= static_cast<size_t>(11025 - period); ++n) {
      const size_t next = 44 + static_cast<size_t>(n + 1) * 11025 / frequency;
      const size_t half = position + period / 2;
      std::fill(image.begin() + position, image.begin() + half, char(96));
      std::fill(image.begin() + half, image.begin() + next, char(160));
      position = next;
    }
    image[position - 1] = char(128);
  }
  const uint32_t dataSize = static_cast<uint32_t>(position - 44);
  plat::writePcmHeader(reinterpret_cast<uint8_t*>(image.data()), dataSize, 11025, 8, 1);
  return image;
}

void playTone(uint16_t frequency) {
  plat::record("tone " + std::to_string(frequency));
  stopTone();
  std::string image = buildToneImage(frequency);
  plat::audio().playLoopingWave(reinterpret_cast<const uint8_t*>(image.data()),
                                   image.size());
  consoleState().tonePlaying = true;
}

void stopTone() {
  if (!consoleState().tonePlaying) return;
  plat::audio().stopLoopingWave();
  consoleState().tonePlaying = false;
}
