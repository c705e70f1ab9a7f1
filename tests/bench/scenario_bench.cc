// A scenario of 1000 keys through the real program on the headless backend,
// in this process (the runner adds only its file output to this).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/program.h"
#include "console/keyboard.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/key_script.h"
#include "tests/voice_kit_fixture.h"

namespace {

// 1000 keys, one at a time: letters the menu answers, Enter, Backspace, F1.
std::string thousandKeys() {
  std::string script;
  const char* keys[] = {"\"z\"", "Enter", "\"q\"", "Backspace", "F1"};
  for (int i = 0; i < 999; ++i) script += std::string(keys[i % 5]) + "\n";
  return script + "Esc\n";
}

void BM_ThousandKeyScenario(benchmark::State& state) {
  std::vector<plat::headless::KeyGroup> groups;
  std::string error;
  if (!plat::headless::parseKeyScript(thousandKeys(), &groups, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  // Speech does not start without a voice: a silent one beside the program.
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() /
      ("talonix-scenario-bench-" + std::to_string(::getpid()));
  voicetest::writeSilentVoiceKit(root / "share" / "tarvek");
  size_t speechLines = 0;
  for (auto _ : state) {
    plat::headless::HeadlessConfig config;
    config.startTime = plat::LocalTime{2024, 3, 1, 5, 10, 30, 0, 0};
    config.programPath = (root / "bin" / "talonix").string();
    plat::headless::HeadlessPlatform p(config);
    p.addKeyGroups(groups);
    p.install();
    int code = -1;
    try {
      runTalonix();
    } catch (const plat::ExitRequest& exit) {
      code = exit.code;
    }
    detachConsoleStreams();
    plat::headless::uninstall();
    if (code != 0) state.SkipWithError("the scenario did not end with 0");
    speechLines = p.speech().size();
    benchmark::DoNotOptimize(speechLines);
  }
  std::filesystem::remove_all(root);
  state.counters["keys"] = 1000;
  state.counters["speech_lines"] = static_cast<double>(speechLines);
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ThousandKeyScenario)->Unit(benchmark::kMillisecond);

}  // namespace
