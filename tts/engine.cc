#include "tts/engine.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "tts/letter_rules.h"
#include "tts/own_synth.h"
#include "tts/prosody.h"

namespace {

struct EngineState {
  plat::Mbrola* synth = nullptr;  // loaded and initialised
  EngineSynth kind = EngineSynth::kNone;
  EngineSound* sound = nullptr;
  std::array<int16_t, kEngineReadSamples> sampleBuffer{};
  std::array<uint8_t, kWaveHeaderBytes + kEnginePieceBytes> playBuffer{};
  size_t playBytes = 0;  // samples held after the header
  bool stopped = false;  // the player refused a piece: a key stopped it
};

EngineState engine;

void putU32(uint8_t* at, uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
}

void putU16(uint8_t* at, uint16_t v) {
  at[0] = static_cast<uint8_t>(v);
  at[1] = static_cast<uint8_t>(v >> 8);
}

// The path MBROLA opens: what its installer registered for the database,
// else the name as it is.
std::string databasePath(const std::string& database) {
  std::string value;
  if (!plat::system().readMachineRegistryText(databaseRegistryPath(database), &value)) {
    return database;
  }
  return value.empty() ? std::string("c:\\tarvek\\vireatts\\br4") : value;
}

void handOver() {
  if (engine.playBytes == 0) return;
  writeEngineWaveHeader(engine.playBuffer.data(), static_cast<uint32_t>(engine.playBytes));
  if (!engine.stopped && !engine.sound->play(engine.playBuffer.data())) engine.stopped = true;
  engine.playBytes = 0;
}

// Appends read samples, handing the buffer over each time it is full: a
// read can bring twice what it holds, and filling it first keeps every
// piece but a text's last whole (a short piece mid-text would be padded,
// and heard as a gap).
void append(const uint8_t* bytes, size_t count) {
  while (count > 0) {
    const size_t take = std::min(count, kEnginePieceBytes - engine.playBytes);
    std::memcpy(engine.playBuffer.data() + kWaveHeaderBytes + engine.playBytes, bytes, take);
    engine.playBytes += take;
    bytes += take;
    count -= take;
    if (engine.playBytes == kEnginePieceBytes) handOver();
  }
}

// Reads until the synthesizer has nothing ready, or a key has stopped the
// playback (what is left would not be heard, and a synthesizer that runs
// beside us could keep us waiting); false on a failed read (the
// synthesizer is then reset).
bool drainSamples() {
  while (!engine.stopped) {
    const int got = engine.synth->read(engine.sampleBuffer.data(),
                                       static_cast<int>(kEngineReadSamples));
    if (got < 0) {
      engine.synth->reset();
      return false;
    }
    if (got == 0) return true;
    const size_t samples = std::min(static_cast<size_t>(got), kEngineReadSamples);
    append(reinterpret_cast<const uint8_t*>(engine.sampleBuffer.data()),
           samples * sizeof(int16_t));
  }
  return true;
}

void releaseSynth() {
  if (engine.synth == nullptr) return;
  engine.synth->close();
  engine.synth->unload();
  engine.synth = nullptr;
  engine.kind = EngineSynth::kNone;
}

// Loads and opens a synthesizer; false after unloading it.
bool openSynth(plat::Mbrola& synth, const std::string& path) {
  if (synth.init(path) < 0) {
    synth.unload();
    return false;
  }
  synth.setNoError(1);
  engine.synth = &synth;
  return true;
}

}  // namespace

std::string databaseRegistryPath(const std::string& database) {
  return "SOFTWARE\\TCTS\\Mbrola\\databases\\" + database + "\\";
}

void writeEngineWaveHeader(uint8_t* h, uint32_t dataBytes) {
  std::memcpy(h, "RIFF", 4);
  putU32(h + 4, dataBytes + 36);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  putU32(h + 16, 16);
  putU16(h + 20, 1);
  putU16(h + 22, 1);
  putU32(h + 24, kEngineSampleRate);
  putU32(h + 28, kEngineSampleRate * 2);
  putU16(h + 32, 2);
  putU16(h + 34, 16);
  std::memcpy(h + 36, "data", 4);
  putU32(h + 40, dataBytes);
}

bool engineStart(const std::string& database, const EngineFiles& files,
                 const std::string& ownVoice, EngineSound& sound) {
  releaseSynth();
  engine.sound = &sound;
  const std::string path = databasePath(database.empty() ? "br4" : database);
  plat::Mbrola* platform = plat::voices().mbrola();
  const plat::MbrolaLoad load =
      platform ? platform->load(path) : plat::MbrolaLoad::kAbsent;
  if (load == plat::MbrolaLoad::kIncomplete) return false;
  if (load == plat::MbrolaLoad::kLoaded) {
    if (!openSynth(*platform, path)) return false;
    engine.kind = EngineSynth::kPlatformMbrola;
  } else {
    plat::Mbrola& own = ownSynthesizer();
    own.load(ownVoice);
    if (!openSynth(own, ownVoice)) return false;
    engine.kind = EngineSynth::kOwn;
  }
  return engineLoadTables(files);
}

EngineSynth engineSynth() { return engine.kind; }

bool engineSpeak(std::string_view text) {
  if (engine.synth == nullptr || engine.sound == nullptr) return false;
  const std::vector<std::string> lines = enginePhonemeLines(text);
  if (lines.empty()) return true;
  engine.sound->holdOptions();
  engine.synth->reset();
  engine.playBytes = 0;
  engine.stopped = false;
  bool ok = true;
  for (size_t i = 0; i < lines.size() && !engine.stopped; ++i) {
    const bool last = i + 1 == lines.size();
    if (lines[i].empty() && !last) continue;
    engine.synth->write(lines[i] + "\r\n");
    if (engine.synth->lastError() != 0) {
      engine.synth->reset();
      ok = false;
    }
    if (last) engine.synth->flush();
    if (!drainSamples()) ok = false;
  }
  if (engine.playBytes > 0 && engine.playBytes < 256) {
    std::memset(engine.playBuffer.data() + kWaveHeaderBytes + engine.playBytes, 0,
                256 - engine.playBytes);
    engine.playBytes = 256;
  }
  handOver();
  engine.sound->restoreOptions();
  return ok;
}

void engineStop() {
  if (engine.sound) engine.sound->stop();
}

bool engineIsBusy() { return engine.sound != nullptr && engine.sound->isPlaying(); }

void engineEnd() {
  resetLetterRules();
  resetProsody();
  engineTextState().ready = false;
  releaseSynth();
}

void resetEngine() {
  engine.synth = nullptr;
  engine.kind = EngineSynth::kNone;
  engine.sound = nullptr;
  engine.playBytes = 0;
  engine.stopped = false;
  resetOwnSynthesizer();
}
