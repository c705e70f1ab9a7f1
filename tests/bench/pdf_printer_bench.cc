// Cost of printing one side of a cheque when no printer takes it: a
// document, a page, the font, eight texts and the PDF kept on disk (flushed
// to it) at the document's end.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "platform/pdf/pdf_printer.h"

namespace {

void BM_PrintOneSideToKeptPdf(benchmark::State& state) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() /
                       ("talonix-pdf-bench-" + std::to_string(std::random_device{}()));
  ::setenv("TALONIX_PRINT_DIR", dir.c_str(), 1);
  ::setenv("CUPS_SERVER", (dir / "no-server.sock").c_str(), 1);
  plat::pdf::PdfPrinter printer;
  const plat::PrintHandle dc = printer.createDc(plat::pdf::kPdfPrinterName);
  plat::PrintFont font;
  font.height = 120;
  font.width = 60;
  font.weight = 700;
  font.face = "Courier New";
  const char* texts[8] = {"1.234,56", "Um mil duzentos e trinta e quatro reais",
                          "e cinquenta e seis centavos", "Fulano de Tal",
                          "Sao Paulo", "09", "dezembro", "26"};
  for (auto _ : state) {
    printer.startDoc(dc, "Cheque");
    printer.startPage(dc);
    const plat::PrintHandle f = printer.createFont(font);
    const plat::PrintHandle own = printer.selectObject(dc, f);
    for (int i = 0; i < 8; ++i) {
      printer.textOut(dc, 300 + 100 * i, 300 + 150 * i, texts[i],
                      static_cast<int>(std::string(texts[i]).size()));
    }
    printer.endPage(dc);
    printer.selectObject(dc, own);
    printer.deleteObject(f);
    if (printer.endDoc(dc) <= 0) state.SkipWithError("the PDF was not kept");
    state.PauseTiming();
    fs::remove(printer.keptDocument());
    state.ResumeTiming();
  }
  printer.deleteDc(dc);
  fs::remove_all(dir);
}
BENCHMARK(BM_PrintOneSideToKeptPdf)->Unit(benchmark::kMillisecond);

}  // namespace
