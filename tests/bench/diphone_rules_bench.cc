// The cost of the letter-to-sound stage: loading rules and a full table of
// exceptions, and transcribing a spoken prompt, with chains about as long
// as a real rules file's (a dozen context rules before each letter's plain
// rule) and every lookup going through 15 000 exceptions.
#include <benchmark/benchmark.h>

#include <string>

#include "synth/diphone_rules.h"

namespace {

std::string rulesText() {
  const char* contexts[] = {"%(X)#", "#(X)#", "](X)+", "_(X)&", "|(X)*", "(X)[",
                            "(X)\\%", "#(X)%", "%(X)+", "(X)X#", "&(X)", "(X)#&"};
  std::string text;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    for (const char* context : contexts) {
      std::string rule = context;
      for (char& c : rule)
        if (c == 'X') c = letter;
      text += rule + "= x" + static_cast<char>(letter + 32) + "|context\r\n";
    }
    text += std::string("(") + letter + ")= " + static_cast<char>(letter + 32) + "\r\n";
  }
  return text;
}

std::string exceptionsText() {
  std::string text;
  for (int i = 0; i < 15000; ++i)
    text += "palavra" + std::to_string(i) + "=pala'vra" + std::to_string(i) + "\r\n";
  return text;
}

void BM_LoadRulesAndExceptions(benchmark::State& state) {
  const std::string rules = rulesText();
  const std::string exceptions = exceptionsText();
  for (auto _ : state) {
    loadDiphoneRulesFromBytes(rules);
    loadDiphoneExceptionsFromBytes(exceptions);
  }
  resetDiphoneRules();
}
BENCHMARK(BM_LoadRulesAndExceptions)->Unit(benchmark::kMillisecond);

void BM_TranscribePrompt(benchmark::State& state) {
  loadDiphoneRulesFromBytes(rulesText());
  loadDiphoneExceptionsFromBytes(exceptionsText());
  const std::string prompt =
      "Sua op\xE7\xE3o: digite o valor do cheque, o nome do favorecido e a cidade";
  for (auto _ : state) benchmark::DoNotOptimize(transcribeForDiphones(prompt));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * prompt.size()));
  resetDiphoneRules();
}
BENCHMARK(BM_TranscribePrompt);

}  // namespace
