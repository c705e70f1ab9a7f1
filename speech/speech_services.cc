#include "speech/speech_services.h"

#include "console/console.h"
#include "console/keyboard.h"
#include "platform/platform.h"
#include "synth/family_settings.h"
#include "speech/speech.h"
#include "synth/wave_player.h"

namespace {

constexpr size_t kMaxLinkLength = 255;

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         upperText(text.substr(0, prefix.size())) == upperText(prefix);
}

bool isDriveLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A path that names its own place: a drive and colon, or a leading
// separator (the Windows one or the platform's).
bool isRootedPath(std::string_view text) {
  if (text.size() >= 2 && isDriveLetter(text[0]) && text[1] == ':') return true;
  return !text.empty() &&
         (text[0] == '\\' || text[0] == plat::system().pathSeparator());
}

// The three characters after the first ".", or the first three when there
// is none, upper-cased.
std::string extensionOf(std::string_view text) {
  const size_t dot = text.find('.');
  const std::string_view rest =
      dot == std::string_view::npos ? text : text.substr(dot + 1);
  return upperText(rest.substr(0, 3));
}

}  // namespace

void dialTones(std::string_view text) {
  // Tones played fast would not be understood by an exchange.
  WavePlayerState& player = wavePlayer();
  const bool fast = player.fastPlay;
  player.fastPlay = false;
  for (char raw : upperText(text)) {
    if (keyAvailable()) break;
    const char c = raw == '*' ? 'X' : raw;
    if ((c >= '0' && c <= '9') || c == '#' || c == 'X') {
      plat::record(std::string("dtmf ") + c);
      playWaveFile(speechState().lettersDirectory + "dtmf_" + c + ".wav");
      waitSpeech();
      waitMs(100);
    } else if (c == ',') {
      waitMs(1000);
    }
  }
  player.fastPlay = fast;
}

LinkRequest linkRequest(std::string_view text) {
  text = text.substr(0, kMaxLinkLength);
  LinkRequest request;
  request.directory = plat::system().currentDirectory();
  if (startsWithNoCase(text, "http://") || startsWithNoCase(text, "https://") ||
      startsWithNoCase(text, "www.")) {
    request.program = readFamilySetting("LUMIRA", "PROG.HTM");
    request.parameters = std::string(text);
    // Without a configured browser the shell's own association opens it.
    if (request.program.empty()) {
      request.program = std::string(text);
      request.parameters.clear();
    }
    return request;
  }
  const std::string x = extensionOf(text);
  if (x != "EXE" && x != "COM") {
    request.program = readFamilySetting("LUMIRA", "PROG." + x);
    if (request.program.empty()) {
      request.program = std::string(text);
    } else {
      request.parameters = std::string(text);
    }
    return request;
  }
  if (isRootedPath(text)) {
    request.program = std::string(text);
  } else {
    request.program = withTrailingSeparator(request.directory) + std::string(text);
  }
  return request;
}

void openLink(std::string_view text) {
  const LinkRequest request = linkRequest(text);
  waitSpeech();
  plat::system().shellOpen(request.program, request.parameters,
                             request.directory);
  waitSpeech();
}
