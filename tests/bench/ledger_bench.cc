// Ledgers of 2 000 and 20 000 entries: loading, sorting and saving them,
// and the running balances of a browser screen at the end of the list.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "app/bank_records.h"
#include "app/ledger.h"
#include "app/ledger_file.h"
#include "console/console.h"
#include "console/keyboard.h"
#include "platform/headless/headless_platform.h"

namespace {

namespace fs = std::filesystem;

// The headless backend with a real disk flush, as the terminal one does.
class DiskPlatform : public plat::headless::HeadlessPlatform {
 public:
  using HeadlessPlatform::HeadlessPlatform;
  bool flushFileToDisk(const fs::path& path) override {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
  }
};

class Ledger {
 public:
  Ledger() {
    dir_ = fs::temp_directory_path() /
           ("talonix-ledger-bench-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
    plat::headless::HeadlessConfig config;
    config.configDir = dir_;
    config.workDir = dir_;
    config.startTime = plat::LocalTime{2024, 3, 2, 6, 10, 30, 0, 0};
    platform_ = std::make_unique<DiskPlatform>(config);
    platform_->install();
    resetConsole();
    resetKeyboard();
    plat::window().setWindowProc(&consoleWindowProc);
    currentBank().ledgerFile = (dir_ / "conta.chq").string();
  }
  ~Ledger() {
    resetLedger();
    plat::headless::uninstall();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  // A ledger as appending leaves it: roughly by date, some entries late,
  // credits and debits mixed, many on the same day.
  void write(int entries) {
    std::mt19937 random(7);
    std::string text = openingEntryText();
    for (int i = 0; i < entries; ++i) {
      int day = i * 3000 / (entries + 1);
      if (random() % 10 == 0) day -= static_cast<int>(random() % 30);
      if (day < 0) day = 0;
      const int year = 2000 + day / 360, month = 1 + day % 360 / 30, dom = 1 + day % 30;
      char date[32];
      std::snprintf(date, sizeof date, "%02d/%02d/%04d", dom, month, year);
      text += std::string(date) + "\r\nCheque\r\n" + std::to_string(random() % 900 + 1) +
              ",00\r\n" + (random() % 3 ? "D" : "c") + "\r\nA\r\n" + std::to_string(i) +
              "\r\nMERCADO CENTRAL\r\ncompras do mes\r\n" + std::string(40, '-') + "\r\n";
    }
    std::ofstream(dir_ / "conta.chq", std::ios::binary | std::ios::trunc) << text;
  }

 private:
  fs::path dir_;
  std::unique_ptr<DiskPlatform> platform_;
};

void BM_Load(benchmark::State& state) {
  Ledger ledger;
  ledger.write(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(loadLedger());
  state.counters["entries"] = static_cast<double>(ledgerCount());
}
BENCHMARK(BM_Load)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_Sort(benchmark::State& state) {
  Ledger ledger;
  ledger.write(static_cast<int>(state.range(0)));
  loadLedger();
  const std::vector<LedgerEntry> appended = ledgerState().entries;
  for (auto _ : state) {
    state.PauseTiming();
    ledgerState().entries = appended;
    state.ResumeTiming();
    sortLedger();
  }
}
BENCHMARK(BM_Sort)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// The worst order for the exchange sort: newest first.
void BM_SortNewestFirst(benchmark::State& state) {
  Ledger ledger;
  ledger.write(static_cast<int>(state.range(0)));
  loadLedger();
  sortLedger();
  std::vector<LedgerEntry> reversed(ledgerState().entries.rbegin(),
                                    ledgerState().entries.rend());
  for (auto _ : state) {
    state.PauseTiming();
    ledgerState().entries = reversed;
    state.ResumeTiming();
    sortLedger();
  }
}
BENCHMARK(BM_SortNewestFirst)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State& state) {
  Ledger ledger;
  ledger.write(static_cast<int>(state.range(0)));
  loadLedger();
  sortLedger();
  for (auto _ : state) benchmark::DoNotOptimize(saveLedger());
}
BENCHMARK(BM_Save)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// What the browser does from start to end, without the keys.
void BM_LoadSortSave(benchmark::State& state) {
  Ledger ledger;
  ledger.write(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    ledger.write(static_cast<int>(state.range(0)));
    state.ResumeTiming();
    loadLedger();
    sortLedger();
    benchmark::DoNotOptimize(saveLedger());
  }
}
BENCHMARK(BM_LoadSortSave)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// Ten rows at the end of the list just after an entry changed: one pass
// over the list, then ten lookups.
void BM_ScreenBalancesAfterAChange(benchmark::State& state) {
  Ledger ledger;
  ledger.write(static_cast<int>(state.range(0)));
  loadLedger();
  sortLedger();
  const size_t n = ledgerCount();
  const LedgerEntry last = ledgerEntry(n);
  for (auto _ : state) {
    replaceLedgerEntry(n, last);
    for (size_t k = n - 9; k <= n; ++k) benchmark::DoNotOptimize(balanceUpTo(k));
  }
}
BENCHMARK(BM_ScreenBalancesAfterAChange)->Arg(2000)->Arg(20000)->Unit(benchmark::kMicrosecond);

// Ten rows when nothing changed: a key that only moves the selection.
void BM_ScreenBalances(benchmark::State& state) {
  Ledger ledger;
  ledger.write(static_cast<int>(state.range(0)));
  loadLedger();
  const size_t n = ledgerCount();
  balanceUpTo(n);
  for (auto _ : state) {
    for (size_t k = n - 9; k <= n; ++k) benchmark::DoNotOptimize(balanceUpTo(k));
  }
}
BENCHMARK(BM_ScreenBalances)->Arg(20000);

void BM_FormatAmount(benchmark::State& state) {
  double x = -1234567.891;
  for (auto _ : state) benchmark::DoNotOptimize(formatAmount(x));
}
BENCHMARK(BM_FormatAmount);

}  // namespace
