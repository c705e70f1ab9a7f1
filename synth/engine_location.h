// Where the Portuguese engine finds its voice database and its five data
// files, worked out from the family settings (section "VIREATTS"), then the
// registry where there is one, then the kit installed with the program.
#ifndef TALONIX_SYNTH_ENGINE_LOCATION_H_
#define TALONIX_SYNTH_ENGINE_LOCATION_H_

#include <string>

#include "tts/engine.h"  // databaseRegistryPath

struct EngineLocation {
  std::string database = "br4";  // the synthesizer's voice database
  std::string directory;         // with its trailing separator
  std::string baseName = "portug";
  std::string rulesFile, exceptionsFile, abbreviationsFile, prosodyFile,
      definitionsFile;
};

// The keys "MBROLA_DB", "DIR" and "BASE" of "VIREATTS"; an empty DIR is
// the registry's br4 database path without its last three characters (the
// folder that holds the database's), else the kit's "vireatts" folder: on
// Windows a "tarvek" folder beside the program or "\tarvek\vireatts\" of
// the current drive, elsewhere share/tarvek/vireatts/ beside bin/.
EngineLocation readEngineLocation();

#endif  // TALONIX_SYNTH_ENGINE_LOCATION_H_
