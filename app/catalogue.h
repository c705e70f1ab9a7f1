// Every prompt, answer and field label the program speaks is named by a
// message identifier; a recording named after the identifier, when present
// in the sound directory, is played instead of synthesising the text.
#ifndef TALONIX_APP_CATALOGUE_H_
#define TALONIX_APP_CATALOGUE_H_

#include <string>
#include <string_view>

// The text of an identifier (exact, case-sensitive match); for an unknown
// one "--> Mensagem inválida: " followed by the identifier. Never fails.
std::string messageText(std::string_view identifier);

// Writes the text at the cursor (not when lineEnds < 0), then lineEnds line
// ends, and makes it heard: the recording when it exists, else the text.
// Returns while it may still sound.
void speakMessage(std::string_view identifier, int lineEnds);

// Catalogue entries in order, for tests and tools.
int catalogueSize();
const char* catalogueIdentifier(int index);

#endif  // TALONIX_APP_CATALOGUE_H_
