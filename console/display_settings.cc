#include "console/display_settings.h"

#include <algorithm>
#include <cstring>

#include "platform/platform.h"

namespace {

const char kSettingsFile[] = "LUMIRA.INI";

// Reads one key into a buffer of `size` bytes, as the profile call does.
std::string readSetting(const char* section, const char* key,
                        const char* defaultValue, size_t size = 80) {
  return plat::readProfileString(section, key, defaultValue, kSettingsFile,
                                 std::min<size_t>(size, 80));
}

bool isYes(const std::string& value) {
  return !value.empty() && (value[0] == 'S' || value[0] == 's');
}

// Pixels of the work area scaled as on a 1024 x 734 reference screen.
int scaledSize(const std::string& value, int workAreaPixels, double reference,
               int referenceSize) {
  if (!value.empty()) return leadingNumber(value);
  return static_cast<int>(workAreaPixels / reference * referenceSize);
}

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

int leadingNumber(std::string_view text) {
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > 1000000) return 1000000;  // no setting needs more
  }
  return static_cast<int>(value);
}

void parseColorTable(std::string_view list, uint8_t remap[16]) {
  std::string rest(list);
  rest += ',';
  for (int i = 0; i < 16; ++i) {
    size_t comma = rest.find(',');
    if (comma == std::string::npos) return;
    std::string_view item = trimBlanks(std::string_view(rest).substr(0, comma));
    size_t digits = 0;
    while (digits < item.size() && item[digits] >= '0' && item[digits] <= '9')
      ++digits;
    int entry = leadingNumber(item);
    // Entries above the palette's last colour use that last colour.
    remap[i] = static_cast<uint8_t>(entry > 15 ? 15 : entry);
    if (digits < item.size()) return;
    rest.erase(0, comma + 1);
  }
}

DisplaySettings readDisplaySettings(const uint8_t previousRemap[16]) {
  DisplaySettings s;
  std::memcpy(s.remap, previousRemap, sizeof s.remap);
  int foreground = 7, background = 0;

  parseColorTable(readSetting("VIDEO", "TABCORES",
                              "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15"),
                  s.remap);
  s.colorsFixed = isYes(readSetting("VIDEO", "CORESFIXAS", "N"));
  s.slowDisplay = isYes(readSetting("VIDEO", "LENTO", "N"));
  // A key present but empty yields no characters: the start value stays.
  std::string back = readSetting("VIDEO", "CORFUNDO", "0");
  if (!back.empty()) background = leadingNumber(back);
  std::string fore = readSetting("VIDEO", "CORLETRA", "15");
  if (!fore.empty()) foreground = leadingNumber(fore);
  s.initialAttribute = static_cast<uint8_t>((background * 16 + foreground) & 0xFF);

  std::string mode = readSetting("BRAILLE", "MODO", "0");
  s.brailleMode = mode.empty() ? 0 : (static_cast<uint8_t>(mode[0]) & 3);
  std::string factor = readSetting("VIDEO", "AMPLIF", "2", 2);
  s.magnifierFactor = factor.empty() ? 0 : (static_cast<uint8_t>(factor[0]) & 7);
  // "0" and "8" give factor 0, which would divide by zero: no magnification.
  if (s.magnifierFactor == 0) s.magnifierFactor = 1;

  s.fontFace = readSetting("VIDEO", "FONTE", "Lucida Console");
  plat::Rect area = plat::window().workArea();
  s.fontWidth = scaledSize(readSetting("VIDEO", "LARGURALETRA", ""),
                           area.right - area.left, 1024.0, 13);
  s.fontHeight = scaledSize(readSetting("VIDEO", "ALTURALETRA", ""),
                            area.bottom - area.top, 734.0, 28);
  // The program never sets a weight, so PESOLETRA is not consulted.
  s.fontWeight = 0;

  // The second character "S" selects the normal window, as before; a value
  // beginning with "N" (NAO, N) reads as the plain no it looks like.
  std::string corner = readSetting("VIDEO", "CANTOTELA", "SIM");
  bool normal = (corner.size() > 1 && (corner[1] == 'S' || corner[1] == 's')) ||
                (!corner.empty() && (corner[0] == 'N' || corner[0] == 'n'));
  s.maximized = !normal;
  return s;
}
