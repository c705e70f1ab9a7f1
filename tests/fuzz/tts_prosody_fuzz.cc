// Feeds arbitrary bytes as a prosody file; when they load, the tables must
// keep their limits, and tokens, patterns and timing must hold their line
// formats on a fixed text and on the bytes themselves.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "tts/prosody.h"
#include "tts/tts_text.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

void ignore(std::string_view) {}

void checkTables() {
  const ProsodyState& s = prosodyState();
  check(s.durations.size() <= kMaxDurations && s.keyWords.size() <= kMaxKeyWords &&
        s.intonation.size() <= kMaxIntonationRules);
  for (const auto& [symbol, duration] : s.durations) check(symbol.size() <= 2 && duration >= 0);
  for (const auto& [word, cls] : s.keyWords) check(cls.size() <= 2);
  for (const IntonationRule& rule : s.intonation)
    check(rule.pattern.size() == 3 && rule.previous.size() <= 3 && rule.current.size() <= 3 &&
          rule.next.size() <= 3);
}

// Tokens and patterns of a text, then timing of phoneme lines made from the
// patterns the way letter-to-sound makes them, and of the raw text's lines.
void run(std::string_view text, std::string_view raw) {
  const std::vector<std::string> tokens = tokenise(text);
  check(!tokens.empty() && tokens.front() == "[--]");
  for (const std::string& t : tokens) check(t.size() >= 4 && t[0] == '[' && t[3] == ']');
  const std::vector<std::string> patterns = chooseIntonation(tokens);
  check(patterns.size() == tokens.size());
  std::vector<std::string> phonemes;
  for (size_t i = 0; i < patterns.size(); ++i) {
    check(patterns[i].size() >= 4 && patterns[i][3] == '|' &&
          patterns[i].substr(4) == tokens[i].substr(4));
    phonemes.push_back(";" + patterns[i]);
    // Every other token stressed on each of its letters.
    for (char c : patterns[i].substr(4))
      phonemes.push_back((i % 2 ? ">" : "") + std::string(1, c));
    phonemes.emplace_back();
  }
  // No line reaches the synthesizer without a symbol.
  for (double factor : {1.0, 0.133, 2.0})
    for (const std::string& line : timePhonemes(phonemes, factor, factor))
      check(line.empty() || line[0] != ' ');
  std::vector<std::string> lines;
  tts::forEachLine(raw, [&](std::string_view line) {
    lines.emplace_back(line);
    return lines.size() < 512;
  });
  timePhonemes(lines, 1.0, 1.0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tts::setMessageHandler(&ignore);
  if (!loadProsodyFromBytes(bytes)) return 0;
  checkTables();
  loadDiphonesFromBytes("_-a\na-_\nr2-_\na-y\n");
  run("Onde fica o banco? O cheque... de R$ 10,50: n\xE3o!  \x01\xA8\xFF" "a", bytes);
  run(bytes.substr(0, 1024), bytes.substr(0, 1024));
  return 0;
}
