#include "synth/family_settings.h"

#include <climits>
#include <string>

#include "platform/platform.h"

namespace {

std::string programDirectory;  // current directory at start, no trailing separator

constexpr size_t kValueBuffer = 255;
constexpr const char* kFamilyFile = "LUMIRA.INI";

std::string readRaw(const std::string& section, const std::string& key,
                    const std::string& file) {
  return plat::readProfileString(section.c_str(), key.c_str(), "",
                                 file.c_str(), kValueBuffer);
}

std::string installDirectory(const std::string& file) {
  std::string dir = readRaw("LUMIRA", "PGMLUMIRA", file);
  if (dir.empty() || dir[0] == '@') return programDirectory;
  return dir;
}

// Position of the first "@" that is followed by a separator, from `from`.
size_t findAtSeparator(const std::string& value, size_t from) {
  const char sep = plat::system().pathSeparator();
  for (size_t i = value.find('@', from); i != std::string::npos;
       i = value.find('@', i + 1)) {
    if (i + 1 < value.size() && (value[i + 1] == '\\' || value[i + 1] == sep))
      return i;
  }
  return std::string::npos;
}

// Replaces each "@" marker by the installation directory. The search goes
// on after the inserted text, so a directory that itself holds "@\" cannot
// make the expansion run forever.
std::string expandAt(std::string value, const std::string& file) {
  std::string dir;
  bool haveDir = false;
  size_t from = 0;
  for (;;) {
    size_t at;
    if (from == 0 && !value.empty() && value[0] == '@') {
      at = 0;
    } else {
      at = findAtSeparator(value, from);
      if (at == std::string::npos) return value;
    }
    if (!haveDir) {
      dir = installDirectory(file);
      haveDir = true;
    }
    value.replace(at, 1, dir);
    from = at + dir.size();
    if (from == 0) from = 1;  // empty directory: never look at "@" again
  }
}

}  // namespace

void resetFamilySettings() {
  programDirectory = plat::system().currentDirectory();
  if (endsWithSeparator(programDirectory)) programDirectory.pop_back();
}

const std::string& familyProgramDirectory() { return programDirectory; }

std::string familySettingsFile() {
  plat::System& p = plat::system();
  std::string inWindows = withTrailingSeparator(p.windowsDirectory());
  if (p.fileExists(inWindows + kFamilyFile)) return kFamilyFile;
  return programDirectory + p.pathSeparator() + kFamilyFile;
}

std::string readFamilySetting(std::string_view section, std::string_view key) {
  std::string file = familySettingsFile();
  std::string sectionName = section.empty() ? "LUMIRA" : std::string(section);
  std::string value = readRaw(sectionName, std::string(key), file);
  return expandAt(std::move(value), file);
}

int settingInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) {
      value = INT_MAX;
      break;
    }
  }
  return static_cast<int>(negative ? -value : value);
}

bool endsWithSeparator(std::string_view path) {
  if (path.empty()) return false;
  char last = path.back();
  return last == '\\' || last == plat::system().pathSeparator();
}

std::string withTrailingSeparator(std::string_view path) {
  std::string result(path);
  if (!endsWithSeparator(result)) result += plat::system().pathSeparator();
  return result;
}

std::string tarvekDirectory() {
  plat::System& p = plat::system();
  const char sep = p.pathSeparator();
  if (sep == '\\') {
    const std::string program = p.programPath();
    const size_t cut = program.find_last_of(sep);
    const std::string beside =
        (cut == std::string::npos ? std::string() : program.substr(0, cut + 1)) +
        "tarvek";
    if (cut != std::string::npos && p.fileExists(beside)) return beside + sep;
    return "c:\\tarvek\\";
  }
  // <prefix>/bin/program -> <prefix>/share/tarvek/
  std::string path = p.programPath();
  for (int up = 0; up < 2; ++up) {
    size_t cut = path.find_last_of(sep);
    path = cut == std::string::npos ? std::string() : path.substr(0, cut);
  }
  return path + sep + "share" + sep + "tarvek" + sep;
}
