// The text console: one 80 x 25 grid of character and attribute cells with a
// cursor, drawn in the platform's window. Every other module writes, places,
// clears and colours text through these procedures.
//
// Positions given to and returned by the public procedures are 1-based
// (column 1..80, row 1..25); the state record keeps them 0-based.
#ifndef TALONIX_CONSOLE_CONSOLE_H_
#define TALONIX_CONSOLE_CONSOLE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

constexpr int kConsoleColumns = 80;
constexpr int kConsoleRows = 25;

struct ConsoleState {
  uint8_t chars[kConsoleRows * kConsoleColumns];
  uint8_t attrs[kConsoleRows * kConsoleColumns];
  uint8_t attribute = 0x0F;  // current attribute: fg low nibble, bg high
  int cursorColumn = 0;      // 0..80; 80 = past the right edge
  int cursorRow = 0;         // 0..24
  plat::FontMetrics metrics;
  bool created = false;
  bool focused = false;
  bool reading = false;      // readKey is waiting
  bool painting = false;
  uint8_t remap[16];         // colour index -> palette entry
  bool colorsFixed = false;
  bool slowDisplay = false;
  int magnifierFactor = 2;
  bool magnifying = false;
  bool closing = false;      // closeConsole is under way
  bool tonePlaying = false;  // the tone generator loops a sound
  // Run once when the user closes the window, before the program ends: a
  // command holding unsaved user data sets it for as long as it runs.
  void (*beforeClose)() = nullptr;
  // Wave-output completion handler (MM_WOM_DONE), used by the WAV player.
  void (*waveDoneHandler)(uintptr_t wparam, uintptr_t lparam) = nullptr;
  bool waveDoneEnabled = false;
  // The program file's path, shown as the first title.
  std::string programTitle;
};

// The process-wide console record.
ConsoleState& consoleState();
// Back to the state of program start (tests; also run once at start-up).
void resetConsole();

// Creates the window with the display settings, once.
void openConsole();
// Writes `count` bytes at the cursor: BEL, BS, LF and CR act, 32..255 show,
// other control bytes are ignored.
void writeChars(const char* bytes, uint16_t count);
void writeText(std::string_view text);  // writeChars in 65535-byte steps
void writeLineEnd();                     // CR LF
void moveCursor(int column, int row);
int cursorColumn();
int cursorRow();
void clearScreen();
void clearToLineEnd();
void setTextColor(int color);
void setBackColor(int color);
// The current attribute as a whole (fg low nibble, bg high), to put back
// what a drawing changed.
uint8_t currentAttribute();
void setAttribute(uint8_t attribute);
// For the length of a scope: the attribute is put back at its end.
class ScopedAttribute {
 public:
  ScopedAttribute();
  ~ScopedAttribute();
  ScopedAttribute(const ScopedAttribute&) = delete;
  ScopedAttribute& operator=(const ScopedAttribute&) = delete;

 private:
  uint8_t saved_;
};
// The wave-output completion handler (MM_WOM_DONE), installed once by the
// WAV player.
void setWaveDoneHandler(void (*handler)(uintptr_t wparam, uintptr_t lparam));
uint8_t screenCharAt(int column, int row);
uint8_t screenAttrAt(int column, int row);
// Paints columns [first, last) of a 0-based row from the planes, one run of
// equal attributes at a time.
void paintSpan(int row, int first, int last);
// Palette entry of a colour nibble after the remap table.
plat::Rgb colorOf(int nibble);

void waitMs(uint16_t ms);
void pumpMessages();
void pumpConsoleMessages();

void copyToClipboard(const char* text);
// Copies at most capacity bytes, the last of them forced to a terminator.
void pasteFromClipboard(char* buffer, size_t capacity);

struct DateParts { int year, month, day, weekday; };
struct TimeParts { int hour, minute, second, hundredths; };
DateParts currentDate();
TimeParts currentTime();

void playTone(uint16_t frequency);
void stopTone();
// The looping tone's RIFF image for a frequency (11,071 bytes, 44 header).
std::string buildToneImage(uint16_t frequency);

// Discards queued keys, destroys the window and ends the program with 0.
[[noreturn]] void closeConsole();
// Ends the program at once with `code` (a quit message, Ctrl+Break): the
// console's exit procedure marks the window "Programa terminado" first.
[[noreturn]] void haltProgram(int code);
// Program start: console state reset, standard streams bound, window
// procedure registered. The window itself is created by openConsole.
void startConsole();

// The console's window procedure (registered with the platform).
bool consoleWindowProc(const plat::Event& event);

#endif  // TALONIX_CONSOLE_CONSOLE_H_
