// Feeds arbitrary bytes as a text through the engine's whole text path over
// the shipped data files: normalisation leaves no digit and no control
// character, and every line handed to the synthesizer is empty, a comment,
// or a symbol of one or two characters with its milliseconds and at most
// one pitch target.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>

#include "tts/engine_text.h"
#include "tts/letter_rules.h"
#include "tts/normalise.h"
#include "tts/prosody.h"
#include "tts/tts_text.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

std::string shipped(const char* name) {
  std::ifstream in(std::string(TALONIX_SOURCE_DIR) + "/data/tts/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void ignore(std::string_view) {}

bool loadTables() {
  tts::setMessageHandler(ignore);
  loadRulesFromBytes(shipped("portug.nrl"));
  loadExceptionsFromBytes(shipped("portug.exc"));
  loadAbbreviationsFromBytes(shipped("portug.abr"));
  check(loadProsodyFromBytes(shipped("portug.pro")));
  check(loadDiphonesFromBytes(shipped("portug.dfn")));
  return true;
}

void checkLine(const std::string& line) {
  if (line.empty() || line[0] == ';') return;
  std::istringstream in(line);
  std::string symbol, rest;
  long ms = -1, position = -1, hertz = -1;
  in >> symbol >> ms;
  check(!symbol.empty() && symbol.size() <= 2 && !in.fail() && ms >= 0);
  if (in >> position) check((in >> hertz) && position >= 0 && position <= 100 && hertz >= 0);
  check(!(in >> rest));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool loaded = loadTables();
  (void)loaded;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (char c : normaliseText(text)) {
    const unsigned char u = static_cast<unsigned char>(c);
    check(u >= ' ' && !(u >= '0' && u <= '9'));
  }
  engineSetFactors(1.0 + static_cast<double>(size % 11) / 11, 0.8 - static_cast<double>(size % 14) / 15);
  for (const std::string& line : enginePhonemeLines(text)) checkLine(line);
  return 0;
}
