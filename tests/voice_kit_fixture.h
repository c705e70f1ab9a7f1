// A silent installation tree for the diphone synthesizer, which speech
// start-up needs: the letters and units directories, empty rules files,
// and for every speed level a database whose units are all empty. Every
// one-symbol name is there, so no unit falls back to noise and the voice
// adds nothing but its pauses to what a test hears.
#ifndef TALONIX_TESTS_VOICE_KIT_FIXTURE_H_
#define TALONIX_TESTS_VOICE_KIT_FIXTURE_H_

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "synth/unit_database.h"

namespace voicetest {

inline void writeSilentVoiceKit(const std::filesystem::path& tarvek) {
  const std::filesystem::path units = tarvek / "som" / "difones";
  std::filesystem::create_directories(tarvek / "som" / "letras");
  std::filesystem::create_directories(units);
  std::vector<UnitIndexEntry> entries;
  for (int c = 0; c < 256; ++c) {
    if (c >= 'a' && c <= 'z') continue;  // names are looked up upper-cased
    entries.push_back({std::string("$") + static_cast<char>(c), 0, 0});
  }
  const std::vector<uint8_t> index = unitIndexImage(entries);
  for (int speed = 1; speed <= 5; ++speed) {
    const std::string base = "DIFONES" + std::to_string(speed);
    std::ofstream(units / (base + ".IND"), std::ios::binary)
        .write(reinterpret_cast<const char*>(index.data()),
               static_cast<std::streamsize>(index.size()));
    std::ofstream(units / (base + ".DIF"), std::ios::binary);
  }
  std::ofstream(units / "regras.rgr", std::ios::binary);
  std::ofstream(units / "portug.exc", std::ios::binary);
}

// The generated voice kit of this build seen from another installation
// tree: its letters and units directories linked in, and an empty
// directory for the program's own recordings, so catalogue messages are
// spoken by the voice (and recorded as "say") rather than played from
// their recordings. Without a generated kit, the silent one.
inline void linkVoiceKit(const std::filesystem::path& tarvek) {
#ifdef TALONIX_VOICE_KIT_DIR
  const std::filesystem::path kit = TALONIX_VOICE_KIT_DIR;
  std::filesystem::create_directories(tarvek / "som" / "talonix");
  for (const char* part : {"letras", "difones"}) {
    std::filesystem::create_directory_symlink(kit / "som" / part, tarvek / "som" / part);
  }
#else
  writeSilentVoiceKit(tarvek);
#endif
}

}  // namespace voicetest

#endif  // TALONIX_TESTS_VOICE_KIT_FIXTURE_H_
