// Printing a cheque as the user meets it, on the headless machine with the
// PDF printer (no CUPS server, so every side is kept as a PDF file, flushed
// to the disk):
// - a cheque side: from the ENTER that answers "Coloque a frente do cheque
//   na impressora" to the front's PDF written and the back's prompt heard
//   (the same path follows "Posso iniciar a impressão?" in E);
// - the model print loop of C: from ENTER at the model's front to the next
//   prompt of the loop, "O modelo foi impresso nas posições corretas?".
// Wall time; the virtual clock does not run while the program computes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/catalogue.h"
#include "app/cheques.h"
#include "app/program.h"
#include "console/console.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/key_script.h"
#include "platform/pdf/pdf_printer.h"
#include "speech/speech.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class PrintingMachine {
 public:
  PrintingMachine() {
    root_ = fs::temp_directory_path() / ("talonix-cheque-bench-" + std::to_string(::getpid()));
    fs::create_directories(root_ / "config");
    ::setenv("TALONIX_PRINT_DIR", (root_ / "kept").c_str(), 1);
    ::setenv("CUPS_SERVER", (root_ / "no-server.sock").c_str(), 1);
    ::unsetenv("PRINTER");
    ::unsetenv("LPDEST");
    plat::headless::HeadlessConfig config;
    config.configDir = root_ / "config";
    config.workDir = root_;
#ifdef TALONIX_VOICE_KIT_DIR
    // The prompts are spoken with the build's voice kit.
    config.programPath =
        (fs::weakly_canonical(fs::path(TALONIX_VOICE_KIT_DIR) / ".." / "..") / "bin" / "talonix")
            .string();
#endif
    platform_ = std::make_unique<plat::headless::HeadlessPlatform>(config);
    platform_->install();
    plat::Services services = platform_->services();
    services.printer = &pdf_;
    plat::setServices(services);
    resetProgramState();
    plat::window().setWindowProc(&consoleWindowProc);
    initSpeech(0, "");
    // The first document of a process starts fontconfig: not the user's wait.
    typeKeys("Enter Esc");
    printTestCheque();
  }
  ~PrintingMachine() {
    resetProgramState();
    plat::headless::uninstall();
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  void typeKeys(const std::string& script) {
    std::vector<plat::headless::KeyGroup> groups;
    std::string error;
    plat::headless::parseKeyScript(script, &groups, &error);
    platform_->addKeyGroups(groups);
  }
  void removeKept() {
    std::error_code ignored;
    fs::remove_all(root_ / "kept", ignored);
  }

 private:
  fs::path root_;
  std::unique_ptr<plat::headless::HeadlessPlatform> platform_;
  plat::pdf::PdfPrinter pdf_;
};

void prepareCheque() {
  ChequePrintFields& f = chequeState().print;
  f = {"1.234,56", "Mil e duzentos e trinta e quatro reais e cinquenta e seis ",
       "centavos", "Maria da Silva", "Recife", "05", "Mar\xE7o", "2024"};
}

// ENTER is read as soon as the front's prompt is queued; the back's prompt
// follows the front's PDF.
void BM_EnterToFrontPdfAndBackPrompt(benchmark::State& state) {
  PrintingMachine machine;
  for (auto _ : state) {
    prepareCheque();
    machine.typeKeys("Enter Esc");
    const auto start = Clock::now();
    printCheque();
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    state.PauseTiming();
    machine.removeKept();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_EnterToFrontPdfAndBackPrompt)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ModelLoopEnterToNextPrompt(benchmark::State& state) {
  PrintingMachine machine;
  for (auto _ : state) {
    machine.typeKeys("Enter Esc");
    const auto start = Clock::now();
    printTestCheque();
    speakMessage("CHMODOK", 0);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    state.PauseTiming();
    machine.removeKept();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ModelLoopEnterToNextPrompt)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
