// The model cheque printed through the PDF printer: every front field is
// found by pdftotext where the bank's layout puts it, within half a
// millimetre, lying down and upright.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "app/cheques.h"
#include "platform/shared/codepage.h"
#include "tests/pdf_fixture.h"
#include "tests/speech_fixture.h"

namespace {

namespace fs = std::filesystem;
using pdftest::kMmPerDot;
using pdftest::kToleranceMm;
using pdftest::Word;

// The first word of each front field of the model, at its layout point.
struct Field {
  const char* word;
  LayoutPoint ChequeLayout::*point;
};
const Field kFields[] = {
    {"x.xxx.xxx,xx", &ChequeLayout::value}, {"zerentos", &ChequeLayout::words1},
    {"e", &ChequeLayout::words2},           {"NoNoNoNo", &ChequeLayout::payee},
    {"Rio", &ChequeLayout::city},           {"99", &ChequeLayout::day},
    {"Noventeiro", &ChequeLayout::month},   {"9999", &ChequeLayout::year}};

// Some word `text` starts at device (x, y): its top left lying down; turned,
// its left edge at x and its start (the bottom of the box) at y.
bool wordAt(const std::vector<Word>& words, const std::string& text, DevicePoint at,
            bool lyingDown) {
  for (const Word& w : words) {
    if (w.text != text) continue;
    const double y = lyingDown ? w.yMin : w.yMax;
    if (std::fabs(w.xMin - at.x * kMmPerDot) <= kToleranceMm &&
        std::fabs(y - at.y * kMmPerDot) <= kToleranceMm) {
      return true;
    }
  }
  return false;
}

class ChequePdfTest : public speechtest::SpeechFixture {
 protected:
  void SetUp() override {
    SpeechFixture::SetUp();
    kept_ = root_ / "kept";
    env_.set("CUPS_SERVER", (root_ / "no-server.sock").string());
    env_.set("PRINTER", std::nullopt);
    env_.set("LPDEST", std::nullopt);
    env_.set("TALONIX_PRINT_DIR", kept_.string());
    plat::Services services = platform_->services();
    services.printer = &pdf_;
    plat::setServices(services);
    initSpeech(0, (workDir() / "som").string());
  }
  // Prints the model's front and reads back the words of its PDF.
  std::vector<Word> printModelFront() {
    keys("Enter Esc");
    EXPECT_TRUE(printTestCheque());
    const fs::path pdf = fs::u8path(plat::cp1252ToUtf8(pdf_.keptDocument()));
    EXPECT_TRUE(fs::exists(pdf));
    // Where it was kept is heard, so a user without a printer can find it.
    EXPECT_TRUE(saidLine("say Impress\xE3o guardada no arquivo " + pdf_.keptDocument()));
    return pdftest::wordsOf(pdf);
  }
  bool saidLine(const std::string& line) {
    for (const std::string& l : heard())
      if (l == line) return true;
    return false;
  }
  fs::path kept_;
  pdftest::ScopedEnv env_;
  plat::pdf::PdfPrinter pdf_;
};

TEST_F(ChequePdfTest, EveryFrontFieldOfTheModelLandsAtItsMillimetres) {
  if (!pdftest::haveTool("pdftotext")) GTEST_SKIP() << "pdftotext (poppler-utils) is missing";
  const double k = 600 / 25.4;
  for (bool lyingDown : {true, false}) {
    SCOPED_TRACE(lyingDown ? "lying down" : "upright");
    BankProfile& bank = currentBank();
    setFactoryPositions();
    bank.printLyingDown = lyingDown;
    bank.layout.adjustment = {3, 2};
    bank.layout.value = {120, 4};
    const std::vector<Word> words = printModelFront();
    for (const Field& f : kFields) {
      const DevicePoint at =
          placeOnPage(bank.layout.*f.point, bank.layout.adjustment, lyingDown, k, k);
      EXPECT_TRUE(wordAt(words, f.word, at, lyingDown)) << f.word << " " << at.x << "," << at.y;
    }
  }
}

}  // namespace
