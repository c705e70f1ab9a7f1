// Our stand-in for the mbrola program, called as the binding calls it:
//   fake_mbrola [-e] <database> - -.raw
// Phoneme lines come on stdin, raw 16-bit little-endian samples go to
// stdout by the rule of fake_mbrola_rule.h; a line's samples are written
// when the next line comes or at the end of input, as a synthesizer that
// needs the following phoneme would give them. A refused line prints an
// error on stderr; a line naming DIE kills the program at once, one naming
// HANG leaves it waiting for nothing, reading no more; a database
// path containing "missing" makes it fail at start with status 1. Each
// start is appended to the file named by TALONIX_FAKE_MBROLA_LOG. With
// TALONIX_FAKE_MBROLA_GREET set it first prints a banner on stderr, as a
// program may before it reads anything.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/fakes/fake_mbrola_rule.h"

namespace {

void noteStart(int argc, char** argv) {
  const char* path = std::getenv("TALONIX_FAKE_MBROLA_LOG");
  if (!path || !*path) return;
  if (FILE* log = std::fopen(path, "a")) {
    std::fputs("start", log);
    for (int i = 1; i < argc; ++i) std::fprintf(log, " %s", argv[i]);
    std::fputc('\n', log);
    std::fclose(log);
  }
}

void writeSamples(const fake_mbrola::LineEffect& effect) {
  if (effect.kind != fake_mbrola::LineKind::kSound || effect.count == 0) return;
  const auto value = static_cast<uint16_t>(effect.value);
  std::vector<unsigned char> bytes(static_cast<size_t>(effect.count) * 2);
  for (size_t i = 0; i < bytes.size(); i += 2) {
    bytes[i] = static_cast<unsigned char>(value & 0xff);
    bytes[i + 1] = static_cast<unsigned char>(value >> 8);
  }
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  noteStart(argc, argv);
  int arg = 1;
  if (arg < argc && std::strcmp(argv[arg], "-e") == 0) ++arg;
  if (argc - arg != 3 || std::strcmp(argv[arg + 1], "-") != 0 ||
      std::strcmp(argv[arg + 2], "-.raw") != 0) {
    std::fprintf(stderr, "usage: fake_mbrola [-e] database - -.raw\n");
    return 2;
  }
  if (std::strstr(argv[arg], "missing")) {
    std::fprintf(stderr, "Fatal error: cannot open database %s\n", argv[arg]);
    return 1;
  }
  if (std::getenv("TALONIX_FAKE_MBROLA_GREET")) {
    std::fprintf(stderr, "fake_mbrola 1.0, ready\n");
    std::fflush(stderr);
  }
  fake_mbrola::LineEffect held;
  auto take = [&held](const std::string& line) {
    const fake_mbrola::LineEffect effect = fake_mbrola::lineEffect(line);
    if (effect.kind == fake_mbrola::LineKind::kDie) kill(getpid(), SIGKILL);
    while (effect.kind == fake_mbrola::LineKind::kHang) pause();
    if (effect.kind == fake_mbrola::LineKind::kRefused) {
      std::fprintf(stderr, "Error: line refused\n");
      std::fflush(stderr);
    }
    if (effect.kind != fake_mbrola::LineKind::kSound) return;
    writeSamples(held);
    held = effect;
  };
  std::string line;
  int c;
  while ((c = std::getchar()) != EOF) {
    if (c != '\n') {
      line.push_back(static_cast<char>(c));
      continue;
    }
    take(line);
    line.clear();
  }
  if (!line.empty()) take(line);  // a last line without its end
  writeSamples(held);
  return 0;
}
