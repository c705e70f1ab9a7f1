// Playback of PCM WAV sound: recorded files and in-memory images, streamed
// through the platform's waveform output. A key waiting stops playback.
#ifndef TALONIX_SYNTH_WAVE_PLAYER_H_
#define TALONIX_SYNTH_WAVE_PLAYER_H_

#include <cstdint>
#include <string_view>

struct WavePlayerState {
  bool fastPlay = false;        // play at 1.5 times the sample rate
  bool compressSpeech = false;  // drop every other pitch period (mono)
};

WavePlayerState& wavePlayer();
void resetWavePlayer();

// 0 when played or stopped by a key, -1 when the file cannot be opened or
// is not a WAV file, otherwise the device-open error code. Returns when the
// sound has ended or a key stopped it.
int playWaveFile(std::string_view name);
// Plays a RIFF WAV image held in memory; returns when it is queued.
void playWaveImage(const uint8_t* image);
// True while sound is still queued; closes the device otherwise.
bool isPlaying();
// Silences and closes the device.
void stopPlayback();

#endif  // TALONIX_SYNTH_WAVE_PLAYER_H_
