// talonix-run: runs the real program on the headless backend, driven by a
// key script, and writes what the user saw and heard. See
// docs/talonix-run.md.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/program.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/key_script.h"
#include "platform/headless/transcript.h"
#include "platform/shared/codepage.h"
#include "platform/shared/whole_file.h"

namespace {

constexpr int kUsageError = 2;

struct Options {
  std::filesystem::path keys, screen, attrs, speech, audio, levels, print, clipboard,
      configDir, workDir;
  std::string printerFault;
  std::string programPath;  // empty: talonix beside the runner
  std::optional<plat::LocalTime> now;
};

int usage(const std::string& problem) {
  std::cerr << "talonix-run: " << problem << "\n"
            << "usage: talonix-run --keys FILE [--screen FILE] [--attrs FILE]"
               " [--speech FILE] [--audio FILE] [--levels FILE] [--config-dir DIR] [--workdir DIR]"
               " [--program-path PATH] [--print FILE] [--printer-fault KIND] [--clipboard FILE]"
               " [--now YYYY-MM-DDTHH:MM]\n";
  return kUsageError;
}

bool readNumber(const std::string& s, size_t at, size_t len, int* out) {
  int v = 0;
  for (size_t i = at; i < at + len; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
  }
  *out = v;
  return true;
}

// "YYYY-MM-DDTHH:MM", a real calendar moment.
bool parseNow(const std::string& s, plat::LocalTime* t) {
  if (s.size() != 16 || s[4] != '-' || s[7] != '-' || s[10] != 'T' || s[13] != ':') {
    return false;
  }
  if (!readNumber(s, 0, 4, &t->year) || !readNumber(s, 5, 2, &t->month) ||
      !readNumber(s, 8, 2, &t->day) || !readNumber(s, 11, 2, &t->hour) ||
      !readNumber(s, 14, 2, &t->minute)) {
    return false;
  }
  if (t->month < 1 || t->month > 12 || t->day < 1 || t->hour > 23 || t->minute > 59) {
    return false;
  }
  // The day must exist: the calendar round trip keeps it.
  plat::LocalTime back = plat::headless::civilFromMs(plat::headless::msFromCivil(*t));
  if (back.day != t->day || back.month != t->month) return false;
  t->second = t->millisecond = 0;
  t->weekday = back.weekday;
  return true;
}

// Returns 0 when the options are complete, else the exit code.
int parseOptions(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return usage("option " + arg + " needs a value");
    const std::string value = argv[++i];
    if (arg == "--keys") {
      o->keys = value;
    } else if (arg == "--screen") {
      o->screen = value;
    } else if (arg == "--attrs") {
      o->attrs = value;
    } else if (arg == "--speech") {
      o->speech = value;
    } else if (arg == "--audio") {
      o->audio = value;
    } else if (arg == "--levels") {
      o->levels = value;
    } else if (arg == "--print") {
      o->print = value;
    } else if (arg == "--clipboard") {
      o->clipboard = value;
    } else if (arg == "--printer-fault") {
      plat::headless::VirtualPrinter probe;
      if (!probe.setFault(value)) {
        return usage("--printer-fault wants missing, resolution, startdoc[:N], enddoc[:N] or back, not " +
                     value);
      }
      o->printerFault = value;
    } else if (arg == "--program-path") {
      o->programPath = plat::utf8ToCp1252(value);
    } else if (arg == "--config-dir") {
      o->configDir = value;
    } else if (arg == "--workdir") {
      o->workDir = value;
    } else if (arg == "--now") {
      plat::LocalTime t;
      if (!parseNow(value, &t)) return usage("--now wants YYYY-MM-DDTHH:MM, not " + value);
      o->now = t;
    } else {
      return usage("unknown option " + arg);
    }
  }
  if (o->keys.empty()) return usage("--keys is required");
  return 0;
}

// Writes each requested output; false (with a message) when one fails.
bool writeOutputs(const Options& o, const plat::headless::HeadlessPlatform& p) {
  const plat::headless::TranscriptFiles files{o.screen, o.attrs,  o.speech,   o.audio,
                                              o.levels, o.print, o.clipboard};
  const std::vector<std::filesystem::path> failed = plat::headless::writeTranscript(p, files);
  for (const std::filesystem::path& path : failed) {
    std::cerr << "talonix-run: cannot write " << path.string() << "\n";
  }
  return failed.empty();
}

// The program is given the path it has beside the runner, so that it finds
// the voice kit of the build or installation as it would started itself.
std::string programPathOf(const char* argv0) {
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) self = std::filesystem::absolute(argv0, ec);
  const std::u8string path = (self.parent_path() / "talonix").u8string();
  return plat::utf8ToCp1252(std::string(path.begin(), path.end()));
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (int rc = parseOptions(argc, argv, &o)) return rc;
  std::string script;
  // The script may come down a pipe.
  if (!plat::readWholeFile(o.keys, &script, plat::kNoSizeLimit, plat::OtherFiles::kRead)) {
    std::cerr << "talonix-run: cannot read " << o.keys.string() << "\n";
    return kUsageError;
  }
  std::vector<plat::headless::KeyGroup> groups;
  std::string error;
  if (!plat::headless::parseKeyScript(script, &groups, &error)) {
    std::cerr << "talonix-run: " << o.keys.string() << ": " << error << "\n";
    return kUsageError;
  }

  plat::headless::HeadlessConfig config;
  config.workDir = o.workDir;
  config.configDir = o.configDir;
  if (config.configDir.empty()) {
    const char* env = std::getenv("TALONIX_CONFIG_DIR");
    if (env && *env) config.configDir = env;
  }
  config.startTime = o.now;
  config.programPath = o.programPath.empty() ? programPathOf(argv[0]) : o.programPath;
  plat::headless::HeadlessPlatform platform(config);
  platform.addKeyGroups(groups);
  if (!o.printerFault.empty()) platform.printer().setFault(o.printerFault);
  platform.install();

  int code = 0;
  try {
    runTalonix();
  } catch (const plat::ExitRequest& exit) {
    code = exit.code;
  }
  const bool written = writeOutputs(o, platform);
  plat::clearServices();
  plat::setRecorder(nullptr);
  return written ? code : kUsageError;
}
