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

#endif  // TALONIX_TOOLS_VOICE_SOUND_NAMES_H_
