// The browser at the end of a 20 000-entry ledger: what one arrow key costs
// before anything is spoken (the detail pane, the list rows twice and the
// title rows), the ten list rows alone, the first screen after a change
// (balances computed again once), a search that finds nothing, and whole
// key presses through the browser's loop with the summary handed to the
// headless speech record.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/bank_records.h"
#include "app/browser.h"
#include "app/ledger.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/key_script.h"
#include "speech/speech.h"
#include "synth/synth.h"

namespace {

constexpr size_t kEntries = 20000;

class BrowserBench {
 public:
  BrowserBench() {
    plat::headless::HeadlessConfig config;
    config.configDir = std::filesystem::temp_directory_path();
    config.workDir = std::filesystem::temp_directory_path();
    config.startTime = plat::LocalTime{2024, 3, 2, 6, 10, 30, 0, 0};
    platform_ = std::make_unique<plat::headless::HeadlessPlatform>(config);
    platform_->install();
    resetConsole();
    resetKeyboard();
    plat::window().setWindowProc(&consoleWindowProc);
    resetSynth();
    resetSpeech();
    openConsole();
    resetLedger();
    resetBrowser();
    setCurrentBankName("Banco do Brasil");
    for (size_t i = 0; i < kEntries; ++i) {
      const int day = static_cast<int>(i % 28) + 1;
      LedgerEntry e;
      e.date = (day < 10 ? "0" : "") + std::to_string(day) + "/03/2024";
      e.documentType = i % 3 == 0 ? "Deposito" : "Cheque";
      e.value = std::to_string(i % 997) + ",50";
      e.debitCredit = i % 3 == 0 ? "C" : "D";
      e.payee = "Favorecido " + std::to_string(i);
      addLedgerEntry(e);
    }
    balanceUpTo(kEntries);
  }
  ~BrowserBench() {
    resetLedger();
    resetKeyboard();
    resetSynth();
    plat::headless::uninstall();
  }
  plat::headless::HeadlessPlatform& platform() { return *platform_; }

 private:
  std::unique_ptr<plat::headless::HeadlessPlatform> platform_;
};

void atEnd(size_t current) {
  BrowserState& b = browserState();
  b.current = current;
  b.firstShown = kEntries - kBrowserListRows + 1;
}

void BM_BrowserDownKeyBeforeSpeech(benchmark::State& state) {
  BrowserBench bench;
  size_t current = kEntries - 1;
  for (auto _ : state) {
    current = current == kEntries ? kEntries - 1 : kEntries;
    atEnd(current);
    drawDetailPane(current);
    drawListRows();
    drawBrowserHeader();
    drawListRows();
  }
}
BENCHMARK(BM_BrowserDownKeyBeforeSpeech)->Unit(benchmark::kMicrosecond);

void BM_BrowserTenRowsAtEnd(benchmark::State& state) {
  BrowserBench bench;
  atEnd(kEntries);
  for (auto _ : state) drawListRows();
}
BENCHMARK(BM_BrowserTenRowsAtEnd)->Unit(benchmark::kMicrosecond);

// An edit changes one early entry: the next screen sums the list once.
void BM_BrowserRowsAfterAChange(benchmark::State& state) {
  BrowserBench bench;
  atEnd(kEntries);
  LedgerEntry changed = ledgerEntry(2);
  int n = 0;
  for (auto _ : state) {
    changed.value = std::to_string(++n % 100) + ",00";
    replaceLedgerEntry(2, changed);
    drawListRows();
  }
}
BENCHMARK(BM_BrowserRowsAfterAChange)->Unit(benchmark::kMicrosecond);

void BM_BrowserSearchFindingNothing(benchmark::State& state) {
  BrowserBench bench;
  for (auto _ : state) benchmark::DoNotOptimize(findEntry(1, "inexistente"));
}
BENCHMARK(BM_BrowserSearchFindingNothing)->Unit(benchmark::kMillisecond);

// Up and Down in turn at the end of the list, each key read, handled and
// its summary given to the headless speech: time per key.
void BM_BrowserKeysThroughTheLoop(benchmark::State& state) {
  BrowserBench bench;
  constexpr int kPairs = 50;
  std::string script = "Ctrl+PgDn";
  for (int i = 0; i < kPairs; ++i) script += " Up Down";
  script += " Esc";
  std::vector<plat::headless::KeyGroup> groups;
  std::string error;
  plat::headless::parseKeyScript(script, &groups, &error);
  for (auto _ : state) {
    bench.platform().addKeyGroups(groups);
    runBrowser();
  }
  state.SetItemsProcessed(state.iterations() * (2 * kPairs + 2));
}
BENCHMARK(BM_BrowserKeysThroughTheLoop)->Unit(benchmark::kMillisecond);

}  // namespace
