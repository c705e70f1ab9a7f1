// Feeds arbitrary group text to the diphone synthesizer over a tiny
// database (a few units, two character sounds): reading tokens, the
// decomposition, the unit names and their fallbacks must end, stay within
// the sound buffer and hand over only well-formed images.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/headless/headless_platform.h"
#include "platform/shared/riff.h"
#include "synth/diphone_synth.h"
#include "synth/speech_settings.h"
#include "synth/synth.h"
#include "synth/unit_database.h"
#include "tests/fuzz/memory_profile.h"

namespace {

namespace fs = std::filesystem;

void check(bool ok) {
  if (!ok) std::abort();
}

void writeFile(const fs::path& file, const std::vector<uint8_t>& bytes) {
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> wav(size_t samples, uint8_t value) {
  std::vector<uint8_t> b(plat::kPcmHeaderBytes + samples, value);
  plat::writePcmHeader(b.data(), static_cast<uint32_t>(samples), 11025, 8, 1);
  return b;
}

// The voice in a directory of its own; the settings that point at it.
std::string writeVoice() {
  const fs::path root = fs::temp_directory_path() /
                        ("talonix-diphone-fuzz-" + std::to_string(::getpid()));
  fs::create_directories(root / "letras");
  fs::create_directories(root / "difones");
  std::vector<UnitIndexEntry> units;
  std::vector<uint8_t> data;
  for (const char* name : {"$A", "$KA", "$S", "$NN", "$ACIRC", "$AWTIL", "$PA", "$X"}) {
    units.push_back({name, 700, static_cast<uint32_t>(data.size())});
    data.insert(data.end(), 700, static_cast<uint8_t>(data.size() / 700 + 1));
  }
  units.push_back({"$KSA", 65535, 0});  // runs past the end of the data
  writeFile(root / "difones" / "DIFONES2.IND", unitIndexImage(units));
  writeFile(root / "difones" / "DIFONES2.DIF", data);
  writeFile(root / "difones" / "regras.rgr", {});
  writeFile(root / "difones" / "portug.exc", {});
  writeFile(root / "letras" / "_120.wav", wav(500, 200));
  writeFile(root / "letras" / "_65.wav", wav(70000, 201));
  return "[TRADUTOR]\r\nDIRLETRAS=" + (root / "letras").string() +
         "\r\nDIRDIFONES=" + (root / "difones").string() + "\r\n";
}

void checkImage(const uint8_t* image) {
  const uint32_t n = plat::get32(image + 40);
  check(n > 0 && n <= 64000 - plat::kPcmHeaderBytes);
  check(plat::get32(image + 4) == n + 36);
}

// One platform and one started synthesizer for the whole run.
void startOnce() {
  static bool started = false;
  if (started) return;
  started = true;
  plat::headless::HeadlessConfig config;
  config.configDir = "/nonexistent/talonix-diphone-fuzz/config";
  config.workDir = "/nonexistent/talonix-diphone-fuzz/work";
  static plat::headless::HeadlessPlatform platform{config};
  static MemoryProfile profile{writeVoice()};
  plat::Services services = platform.services();
  services.profile = &profile;
  plat::setServices(services);
  resetConsole();
  resetKeyboard();
  resetSynth();
  platform.setWindowProc(&consoleWindowProc);
  setDiphoneImagePlayer(&checkImage);
  speechSettings().databaseName = "DIFONES2";
  check(startDiphoneSynth() == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  startOnce();
  if (size == 0) return 0;
  // The first byte chooses the pauses and the tuning; the rest is the text.
  const uint8_t flags = data[0];
  setDiphoneTuning((flags & 2) ? -70000 : 400, (flags & 4) ? 70000 : 0,
                   (flags & 8) ? 10000 : 100);
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  speakDiphoneGroups(text, flags & 1);
  return 0;
}
