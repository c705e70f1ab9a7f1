// What the letters directory holds: every system sound the program plays,
// by file name (without ".wav"), and what is said in it.
#ifndef TALONIX_TOOLS_VOICE_SOUND_NAMES_H_
#define TALONIX_TOOLS_VOICE_SOUND_NAMES_H_

#include <string>
#include <string_view>
#include <vector>

struct SpokenSound {
  std::string name;  // "_65", "_quatroc", "_FON97", ...
  std::string text;  // UTF-8, for espeak
};

// Characters, number words, dates and times, editor signals and phonetic
// letter names. Telephone tones are not spoken and are not listed.
std::vector<SpokenSound> letterSounds();

// The keys of the telephone tones: "0".."9", "#" and "X" (the star key).
std::vector<std::string> toneKeys();

// Windows-1252 text as UTF-8; the five unassigned codes become "?".
std::string utf8FromWindows1252(std::string_view text);

// UTF-8 text as Windows-1252; characters it lacks and broken sequences
// become "?".
std::string windows1252FromUtf8(std::string_view text);

#endif  // TALONIX_TOOLS_VOICE_SOUND_NAMES_H_
