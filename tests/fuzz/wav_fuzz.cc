// Feeds arbitrary bytes to the WAV reader and player, as an image in memory
// and as a file, with the speed-up and speech compression on or off: the
// header walk must agree with the bytes, every device buffer must stay
// within its block, and playback must end.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/headless/headless_platform.h"
#include "platform/shared/riff.h"
#include "synth/wave_format.h"
#include "synth/wave_player.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

void checkParse(const uint8_t* image, size_t size) {
  plat::WaveInfo info;
  size_t offset = 0;
  if (!plat::parseWaveImage(image, size, &info, &offset)) return;
  check(offset <= size);
  check(info.dataBytes <= size - offset);
  check(info.sampleRate != 0 && info.channels != 0);
  check(info.bitsPerSample >= 8 && info.bitsPerSample % 8 == 0);
}

void checkCaptures(const plat::headless::HeadlessPlatform& p) {
  for (const plat::headless::WaveCapture& c : p.waveCaptures()) {
    check(c.data.size() >= 256 && c.data.size() <= kWaveBlockBytes);
    check(c.playedBytes <= c.data.size());
  }
}

// Empty directories of its own: settings lookups list the directory they
// search, which in a crowded temporary directory costs more than the run.
const std::filesystem::path& scratchDir() {
  static const std::filesystem::path dir = [] {
    const std::filesystem::path d = std::filesystem::temp_directory_path() /
                                    ("talonix-wav-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(d / "config");
    std::filesystem::create_directories(d / "work");
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(scratchDir(), ignored);
    });
    return d;
  }();
  return dir;
}

plat::headless::HeadlessConfig config() {
  plat::headless::HeadlessConfig c;
  c.configDir = scratchDir() / "config";
  c.workDir = scratchDir() / "work";
  return c;
}

std::filesystem::path scratchFile() { return scratchDir() / "work" / "input.wav"; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exactly sized copy, so a read past the image is caught.
  std::unique_ptr<uint8_t[]> image(new uint8_t[size == 0 ? 1 : size]);
  if (size) std::memcpy(image.get(), data, size);
  checkParse(image.get(), size);

  // The last byte chooses the options; the whole input is the image.
  const uint8_t flags = size ? data[size - 1] : 0;
  plat::headless::HeadlessPlatform platform{config()};
  platform.install();
  resetConsole();
  resetKeyboard();
  resetWavePlayer();
  platform.setWindowProc(&consoleWindowProc);
  wavePlayer().fastPlay = flags & 1;
  wavePlayer().compressSpeech = flags & 2;

  playWaveImage(image.get(), size);
  while (isPlaying()) platform.waitEvent();
  checkCaptures(platform);

  if (flags & 4) {
    const std::filesystem::path file = scratchFile();
    {
      std::ofstream out(file, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const int result = playWaveFile(file.string());
    check(result == 0 || result == -1 || result == plat::Audio::kWaveBadFormat);
    check(!isPlaying());
    checkCaptures(platform);
  }
  stopPlayback();
  plat::headless::uninstall();
  return 0;
}
