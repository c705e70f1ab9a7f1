// The Portuguese engine speaking: its start over a synthesizer (MBROLA
// where the platform has it, else the engine's own), the exchange of
// phoneme lines for samples, and the hand-over of those samples to the
// program's player in pieces of at most 16 000 bytes, each behind the
// canonical 44-byte WAV header (16 000 Hz, 16-bit, mono).
#ifndef TALONIX_TTS_ENGINE_H_
#define TALONIX_TTS_ENGINE_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "tts/engine_text.h"

namespace plat {
class Mbrola;
}  // namespace plat

// Where the engine's sound goes: the program's WAV player.
class EngineSound {
 public:
  virtual ~EngineSound() = default;
  // Queues a WAV image (the header's sizes tell its length); the samples
  // are copied before it returns. False when playback was stopped (a key):
  // the rest of the text is then not synthesised.
  virtual bool play(const uint8_t* image) = 0;
  virtual void stop() = 0;
  virtual bool isPlaying() = 0;
  // The player's speed-up and 8-bit compression, off while the engine
  // speaks (its samples are 16 000 Hz 16-bit as they are), then restored.
  virtual void holdOptions() = 0;
  virtual void restoreOptions() = 0;
};

constexpr int kEngineSampleRate = 16000;
constexpr size_t kEngineReadSamples = 16000;  // asked of each read
constexpr size_t kEnginePieceBytes = 16000;   // at most per hand-over
constexpr size_t kWaveHeaderBytes = 44;

// The registry path of a database's own folder, as MBROLA's installer
// writes it (the key's unnamed value).
std::string databaseRegistryPath(const std::string& database);

// Which synthesizer the last start chose.
enum class EngineSynth { kNone, kPlatformMbrola, kOwn };

// Loads the synthesizer and then the data files. The platform's MBROLA
// is used when it is installed; when it is not, the engine's own
// synthesizer with the voice file `ownVoice`. False (nothing reported)
// when MBROLA is installed but incomplete or its database does not open,
// or when the own voice does not open; false with the last error of
// engineLoadTables when a data file fails (the synthesizer stays loaded).
// An empty database name is "br4".
bool engineStart(const std::string& database, const EngineFiles& files,
                 const std::string& ownVoice, EngineSound& sound);
EngineSynth engineSynth();
// Synthesises the whole text and queues its sound; false when the
// synthesizer refused a line or failed a read (it is reset and the rest
// goes on). A text of blanks and control characters does nothing.
bool engineSpeak(std::string_view text);
void engineStop();
bool engineIsBusy();
// Frees the tables, closes the synthesizer and unloads it.
void engineEnd();
// Back to program start, without calling the synthesizer (tests).
void resetEngine();

// The canonical header for `dataBytes` of 16 000 Hz 16-bit mono samples.
void writeEngineWaveHeader(uint8_t* header, uint32_t dataBytes);

#endif  // TALONIX_TTS_ENGINE_H_
