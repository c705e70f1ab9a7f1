#include "synth/wave_player.h"

#include "console/keyboard.h"
#include "platform/platform.h"

namespace {
WavePlayerState playerRecord;
}  // namespace

WavePlayerState& wavePlayer() { return playerRecord; }
void resetWavePlayer() { playerRecord = WavePlayerState{}; }

// Stand-in until the WAV player is built: nothing is heard. It keeps the
// results a caller can see: a waiting key plays nothing, and a missing
// file reports -1.
int playWaveFile(std::string_view name) {
  if (keyAvailable()) return 0;
  return plat::platform().fileExists(name) ? 0 : -1;
}

// Stand-in until the WAV player is built: the image is not played.
void playWaveImage(const uint8_t* image) { (void)image; }

// Stand-in until the WAV player is built: nothing is ever queued.
bool isPlaying() { return false; }

// Stand-in until the WAV player is built.
void stopPlayback() {}
