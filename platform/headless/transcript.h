// What a headless run left for the user to see and hear, as the scenario
// runner writes it (docs/talonix-run.md) and as tests read it back:
//   screen  25 rows of the painted window, UTF-8, trailing blanks removed;
//   attrs   25 rows of 80 attributes, two upper-case hex digits each
//           (background in the first, foreground in the second);
//   speech  the speech record, one UTF-8 line per call;
//   levels  each speech line after the level (dBFS, or -inf) of the sound
//           that played while it was the last line (speechLevels), and a
//           tab;
//   audio   the session's sound as one WAV file (session_audio.h);
//   print   the virtual printer's log (virtual_printer.h), UTF-8;
//   clipboard  the clipboard's text when the run ended, UTF-8 and otherwise
//           byte for byte (CR LF kept, no line end added); empty when it
//           holds no text.
// The other text files hold one line per entry, each ended by LF. Keeping the
// writer and the reader here means the runner's files and the tests' view of
// them cannot drift apart.
#ifndef TALONIX_PLATFORM_HEADLESS_TRANSCRIPT_H_
#define TALONIX_PLATFORM_HEADLESS_TRANSCRIPT_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"

namespace plat::headless {

struct Transcript {
  std::vector<std::string> screen;
  std::vector<std::string> attrs;
  std::vector<std::string> speech;
  std::vector<std::string> levels;
  std::vector<uint8_t> audio;  // the WAV file; empty when not taken
  std::vector<std::string> print;
  std::string clipboard;  // UTF-8

  // The attribute of a cell (0-based) from the hex rows; -1 when the rows
  // do not reach that cell or it is not two hex digits.
  int attr(int column, int row) const;
};

// The screen, attributes and speech of a run (not the audio).
std::vector<std::string> screenLines(const HeadlessPlatform& platform);
std::vector<std::string> attrLines(const HeadlessPlatform& platform);
std::vector<std::string> speechLines(const HeadlessPlatform& platform);
std::vector<std::string> levelLines(const HeadlessPlatform& platform);
std::vector<std::string> printLines(const HeadlessPlatform& platform);
std::string clipboardUtf8(const HeadlessPlatform& platform);
Transcript transcriptOf(const HeadlessPlatform& platform);

// Where each output goes; an empty path is an output not wanted.
struct TranscriptFiles {
  std::filesystem::path screen, attrs, speech, audio, levels, print, clipboard;
};

// Writes each wanted output; returns the paths that could not be written.
std::vector<std::filesystem::path> writeTranscript(const HeadlessPlatform& platform,
                                                   const TranscriptFiles& files);

// Reads back the outputs named in `files`; a missing or unreadable file
// reads as empty.
Transcript readTranscript(const TranscriptFiles& files);

}  // namespace plat::headless

#endif  // TALONIX_PLATFORM_HEADLESS_TRANSCRIPT_H_
