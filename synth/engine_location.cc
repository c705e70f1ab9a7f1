#include "synth/engine_location.h"

#include "platform/platform.h"
#include "synth/family_settings.h"

namespace {

std::string kitDirectory() {
  plat::System& system = plat::system();
  const char sep = system.pathSeparator();
  const std::string tarvek = tarvekDirectory();
  // Without a kit beside the program, the family's default folder of the
  // current drive (tarvekDirectory would name c:).
  if (sep == '\\' && tarvek == "c:\\tarvek\\") return "\\tarvek\\vireatts\\";
  return tarvek + "vireatts" + sep;
}

}  // namespace

EngineLocation readEngineLocation() {
  EngineLocation location;
  const std::string database = readFamilySetting("VIREATTS", "MBROLA_DB");
  const std::string base = readFamilySetting("VIREATTS", "BASE");
  std::string directory = readFamilySetting("VIREATTS", "DIR");
  if (!database.empty()) location.database = database;
  if (!base.empty()) location.baseName = base;
  if (directory.empty()) {
    std::string value;
    // The value names the br4 folder itself: "C:\voices\br4" leaves "C:\voices\".
    if (plat::system().readMachineRegistryText(databaseRegistryPath("BR4"), &value)) {
      directory = value.substr(0, value.size() >= 3 ? value.size() - 3 : 0);
    }
    if (directory.empty()) directory = kitDirectory();
  }
  location.directory = withTrailingSeparator(directory);
  const std::string stem = location.directory + location.baseName;
  location.rulesFile = stem + ".nrl";
  location.exceptionsFile = stem + ".exc";
  location.abbreviationsFile = stem + ".abr";
  location.prosodyFile = stem + ".pro";
  location.definitionsFile = stem + ".dfn";
  return location;
}
