// The keyboard queue: every key the program reads comes from one 64-byte
// FIFO filled by the console's window procedure. Keys without a character
// arrive as 0 followed by a code. An optional six-key Braille mode turns
// chords of F D S J K L and the space bar into characters.
#ifndef TALONIX_CONSOLE_KEYBOARD_H_
#define TALONIX_CONSOLE_KEYBOARD_H_

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

constexpr int kKeyQueueSize = 64;

struct KeyQueue {
  uint8_t bytes[kKeyQueueSize];
  int count = 0;
};

struct BrailleState {
  uint8_t mode = 0;  // 0 off, 1 literal, 2 with capital and number signs
  uint8_t chord = 0;
  uint8_t held = 0;
  bool capitalNext = false;
  bool capitalLock = false;
  bool numberMode = false;
};

KeyQueue& keyQueue();
BrailleState& brailleState();
// Empties the queue and switches Braille off without signal tones (tests).
void resetKeyboard();
// Appends one byte when the queue has room; false when it was dropped.
bool queueKey(uint8_t key);

// Window-message handlers, called by the console's window procedure.
// Each returns true when the message was handled (false: default handling).
bool onCharMessage(const plat::Event& event);
bool onKeyDownMessage(const plat::Event& event);
bool onSysKeyDownMessage(const plat::Event& event);
bool onKeyUpMessage(const plat::Event& event);

bool keyAvailable();
uint8_t readKey();
// Reads keys until ENTER or ESC and says which: true for ENTER. Other keys
// are ignored; an extended key's code byte goes with it, so an extended
// code never passes for ENTER or ESC.
bool readEnterOrEsc();
void setBrailleMode(int mode);
// One line with echo; returns count + 2 (the CR LF stored after the text).
size_t readLineRaw(char* buffer, size_t capacity);

// Binds std::cout and std::cin to the console (program start). Output is
// buffered up to 128 bytes and drawn when the stream is flushed (std::flush,
// std::endl, a read from std::cin, or a full buffer): the console's writers
// flush after every statement. Input is read a line at a time with echo;
// std::getline yields the typed text without the CR LF.
void attachConsoleStreams();
// Restores the standard streams' own buffers (tests).
void detachConsoleStreams();

#endif  // TALONIX_CONSOLE_KEYBOARD_H_
