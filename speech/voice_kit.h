// The voice kit installed beside the program (share/tarvek/ of the build or
// installation tree): recordings, unit databases, rules. On first start the
// family settings are pointed at it.
#ifndef TALONIX_SPEECH_VOICE_KIT_H_
#define TALONIX_SPEECH_VOICE_KIT_H_

#include <string>
#include <string_view>

// Writes to the family settings file the keys the diphone voice needs
// (the letters and units directories, the database name and tuning of each
// speed), each only where the file does not have it: a key present, even
// empty, is the user's and stays. With no family settings file anywhere,
// one is created in the Windows directory. A write that fails changes
// nothing, and the defaults of the readers apply.
void writeVoiceKitDefaults();

// The same for one key of the program's own (its recordings' directory).
void writeFamilyDefault(std::string_view section, const std::string& key,
                        const std::string& value);

// A directory of the kit's sound tree ("letras", "difones", "talonix"),
// with its trailing separator.
std::string voiceKitDirectory(std::string_view name);

#endif  // TALONIX_SPEECH_VOICE_KIT_H_
