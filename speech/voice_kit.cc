#include "speech/voice_kit.h"

#include <string>

#include "platform/platform.h"
#include "synth/family_settings.h"
#include "synth/voice_defaults.h"

namespace {

// Read back in place of an absent key; no stored value can hold it.
constexpr char kAbsent[] = "\x01";

// The file the defaults go to: the family settings file where it is found,
// else a new one in the Windows directory.
std::string targetFile() {
  const std::string found = familySettingsFile();
  if (found == "LUMIRA.INI" || plat::system().fileExists(found)) return found;
  return "LUMIRA.INI";
}

void writeWhenAbsent(const std::string& file, std::string_view section,
                     const std::string& key, const std::string& value) {
  const std::string sectionName(section);
  const std::string present =
      plat::readProfileString(sectionName.c_str(), key.c_str(), kAbsent,
                              file.c_str(), 255);
  if (present != kAbsent) return;
  plat::profile().writePrivateProfileString(sectionName.c_str(), key.c_str(),
                                            value.c_str(), file.c_str());
}

}  // namespace

std::string voiceKitDirectory(std::string_view name) {
  const char sep = plat::system().pathSeparator();
  return tarvekDirectory() + "som" + sep + std::string(name) + sep;
}

void writeFamilyDefault(std::string_view section, const std::string& key,
                        const std::string& value) {
  writeWhenAbsent(targetFile(), section, key, value);
}

void writeVoiceKitDefaults() {
  const std::string file = targetFile();
  std::string units = voiceKitDirectory("difones");
  units.pop_back();  // stored without its separator, as the reader's default
  writeWhenAbsent(file, "TRADUTOR", "DIRLETRAS", voiceKitDirectory("letras"));
  writeWhenAbsent(file, "TRADUTOR", "DIRDIFONES", units);
  for (int speed = 1; speed <= 5; ++speed) {
    const VoiceDefaults& d = kVoiceDefaults[speed - 1];
    const std::string s = std::to_string(speed);
    writeWhenAbsent(file, "SINTETIZADOR", "DIFONES" + s, d.database);
    writeWhenAbsent(file, "SINTETIZADOR", "CORTEFON" + s, std::to_string(d.unitCut));
    writeWhenAbsent(file, "SINTETIZADOR", "SOBRAFON" + s, std::to_string(d.minimumUnit));
    writeWhenAbsent(file, "SINTETIZADOR", "INTERPAL" + s, std::to_string(d.groupGap));
  }
}
