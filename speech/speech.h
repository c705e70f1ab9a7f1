// The speech layer: every sound the program makes goes through here. It
// starts and ends the synthesizers, speaks texts (through a text engine or
// the family's diphone path), plays recorded sounds by name, reads keys
// with spoken echo, and lets a key pressed while something sounds cut it
// off while the key stays queued for the next read.
//
// Recorded sounds are WAV files named after the sound plus ".wav": names
// beginning with "_" live in lettersDirectory, all others in
// soundDirectory. Every call below that the headless record shows appends
// its line first ("say", "char", "sound", "beep", "click", "pause").
#ifndef TALONIX_SPEECH_SPEECH_H_
#define TALONIX_SPEECH_SPEECH_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/shared/riff.h"
#include "synth/family_settings.h"

constexpr size_t kWaveHeaderSize = plat::kPcmHeaderBytes;
constexpr size_t kClickSamples = 256;

struct SpeechState {
  std::string soundDirectory;    // program's recordings; trailing separator
  std::string lettersDirectory;  // system sounds; trailing separator
  int speed = 3;                 // 1..5
  bool engineActive = false;     // a text engine speaks texts
  int engineType = 4;            // the engine type it was started with
  bool speakPunctuationNames = true;
  bool echoTyping = true;        // the line editor speaks typed characters
  bool replaceOnType = true;     // the line editor's first-key rule
  bool utterancePending = true;  // an engine utterance nobody waited for
  bool stopRequested = false;    // ends the diphone path's loop
  uint8_t clickImage[kWaveHeaderSize + kClickSamples] = {};
};

SpeechState& speechState();
// Back to the state of program start: builds the click sound and takes the
// program directory from the platform's current directory.
void resetSpeech();

// Starts speech (speed 0: from the settings). Ends the program when the
// diphone synthesizer cannot start.
void initSpeech(int speed, std::string_view soundDirectory);
// Lets pending speech end (or a key cut it), then shuts everything down.
void endSpeech();

// Speaks a text; on the diphone path returns when it has been spoken or a
// key stopped it.
void speakText(std::string_view text);
void speakChar(uint8_t c);
// False only when the file is missing or is not a playable WAV, so a
// caller holding the words can speak them instead.
bool speakSound(std::string_view name);
bool soundExists(std::string_view name);
// The file a sound name is played from.
std::string soundFilePath(std::string_view name);
void spellText(std::string_view text);

// True while something sounds; a waiting key silences everything and
// makes it false.
bool isSpeaking();
// The one waiting idiom: wait for window messages while isSpeaking.
void waitSpeech();
void stopSpeech();

void click();
// Discards waiting keys, then plays the attention tone.
void beep();
// Waits in 50 ms steps; a waiting key lets the rest pass at once.
void speechPause(int ms);

// Reads one key after speech ends and echoes printable keys. Returns the
// key byte; *extended (when given) gets the extended code, 32 when none.
uint8_t readKeyEcho(uint8_t* extended = nullptr);
uint8_t readKeySpoken();

void writeSpeak(std::string_view text);
void writeLineSpeak(std::string_view text);
void writeSpeakNumber(int n);

// a..z and 224..255 made upper case (code - 32).
std::string upperText(std::string_view text);

// The attention tone: header and 512 samples of a triangle wave.
std::vector<uint8_t> makeBeepImage();
// Plays a WAV image and waits while isSpeaking.
void playSoundImage(const uint8_t* image);

#endif  // TALONIX_SPEECH_SPEECH_H_
