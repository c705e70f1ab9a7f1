// The platform layer: every operating-system service the core uses, as a
// few small interfaces by concern. The core includes no OS header; each
// backend (headless, POSIX terminal, SDL audio, later Win32 and an SDL
// window) implements the services it has and installs them with
// setServices(); a service a backend lacks is installed explicitly as its
// absent form (absent.h), which says so in its results.
//
// Conventions:
// - All texts are Windows-1252 bytes. Backends convert at their edge (UTF-8
//   terminals, POSIX file names).
// - Nothing here throws, except the headless exitProcess (system.h).
// - Every call is made from the program's single thread. Backend pieces
//   that run threads of their own (audio) hand their results back as
//   events through an EventSink (window.h).
// - The services are owned by whoever installed them and must outlive their
//   installation.
#ifndef TALONIX_PLATFORM_PLATFORM_H_
#define TALONIX_PLATFORM_PLATFORM_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/audio.h"
#include "platform/clipboard.h"
#include "platform/events.h"
#include "platform/magnifier.h"
#include "platform/printer.h"
#include "platform/profile.h"
#include "platform/system.h"
#include "platform/voices.h"
#include "platform/window.h"

namespace plat {

struct Services {
  Window* window = nullptr;
  Clipboard* clipboard = nullptr;
  Magnifier* magnifier = nullptr;
  Audio* audio = nullptr;
  Profile* profile = nullptr;
  System* system = nullptr;
  Printer* printer = nullptr;
  Voices* voices = nullptr;
};

// Installs a backend's services for the whole process. Every member must be
// set: a missing one ends the program at once with a message on stderr,
// since a silent stand-in would hide the gap.
void setServices(const Services& services);
// Uninstalls them (tests, the runner's end); no service may be used after.
void clearServices();

// The installed services, by name.
Window& window();
Clipboard& clipboard();
Magnifier& magnifier();
Audio& audio();
Profile& profile();
System& system();
Printer& printer();
Voices& voices();

// profile().getPrivateProfileString as a string: the value (or the
// default) cut to `bufferSize - 1` characters, as a buffer of that size
// would hold it.
std::string readProfileString(const char* section, const char* key,
                              const char* defaultValue, const char* file,
                              size_t bufferSize);

// system().exitProcess(code), for callers that must not return.
[[noreturn]] void exitProgram(int code);

// The record of what the program says and sounds, one line per event
// ("say ...", "char 65", "tone 440"): the scenario runner's speech record
// and the tests read it. Nobody listens in the product; then record() only
// costs the call.
using Recorder = std::function<void(std::string_view line)>;
void setRecorder(Recorder recorder);
void record(std::string_view line);

}  // namespace plat

#endif  // TALONIX_PLATFORM_PLATFORM_H_
