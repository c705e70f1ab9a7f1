// Two small services that sit with speech: dialling a text as telephone
// tones, and opening a web address or a document with the platform shell.
#ifndef TALONIX_SPEECH_SPEECH_SERVICES_H_
#define TALONIX_SPEECH_SPEECH_SERVICES_H_

#include <string>
#include <string_view>

// Plays the telephone tone ("dtmf_" recordings of the letters directory)
// of each digit, "#" and "*" ("dtmf_X"); a comma waits one second; other
// characters are skipped. A waiting key ends the dialling.
void dialTones(std::string_view text);

// What openLink hands to the shell.
struct LinkRequest {
  std::string program;
  std::string parameters;
  std::string directory;
};
// The program, parameters and directory a link or file name opens with:
// web addresses with the configured browser ("PROG.HTM"), files with the
// program configured for their extension ("PROG." + extension), or the
// shell's own association; EXE and COM files are started themselves.
LinkRequest linkRequest(std::string_view text);
// Opens the link or document through the shell's open verb.
void openLink(std::string_view text);

#endif  // TALONIX_SPEECH_SPEECH_SERVICES_H_
