// Feeds arbitrary bytes to the WAV reader and player, as an image and as a
// stream read piece by piece the way a file is played (both from memory),
// with the speed-up and speech compression on or off: the header walk must
// agree with the bytes, every device buffer must stay within its block,
// and playback must end. (Playing real files is wave_player_test's.)
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/headless/headless_platform.h"
#include "platform/shared/riff.h"
#include "synth/wave_format.h"
#include "synth/wave_player.h"
#include "tests/fuzz/memory_profile.h"

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

plat::headless::HeadlessConfig config() {
  plat::headless::HeadlessConfig c;
  c.configDir = "/nonexistent/talonix-wav-fuzz/config";
  c.workDir = "/nonexistent/talonix-wav-fuzz/work";
  return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exactly sized copy, so a read past the image is caught.
  std::unique_ptr<uint8_t[]> image(new uint8_t[size == 0 ? 1 : size]);
  if (size) std::memcpy(image.get(), data, size);
  checkParse(image.get(), size);

  // The last byte chooses the options; the whole input is the image.
  const uint8_t flags = size ? data[size - 1] : 0;
  plat::headless::HeadlessPlatform platform{config()};
  static MemoryProfile noFiles;
  plat::Services services = platform.services();
  services.profile = &noFiles;
  plat::setServices(services);
  resetConsole();
  resetKeyboard();
  resetWavePlayer();
  platform.setWindowProc(&consoleWindowProc);
  wavePlayer().fastPlay = flags & 1;
  wavePlayer().compressSpeech = flags & 2;

  playWaveImage(image.get(), size);
  while (isPlaying()) plat::window().waitEvent();
  checkCaptures(platform);

  if (flags & 4) {
    // As a file plays: the header read from a stream, the samples in pieces.
    plat::MemoryWaveSource source(image.get(), size);
    const int result = queueWaveSource(source);
    check(result == 0 || result == -1 || result == plat::Audio::kWaveBadFormat);
    while (isPlaying()) plat::window().waitEvent();
    check(!isPlaying());
    checkCaptures(platform);
  }
  stopPlayback();
  plat::headless::uninstall();
  return 0;
}
