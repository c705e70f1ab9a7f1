// Cheque printing in process: placement on the page, the model cheque, and
// a printer left with nothing open however the printing ended.
#include "app/cheques.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "platform/headless/virtual_printer.h"
#include "tests/speech_fixture.h"

namespace {

using plat::headless::VirtualPrinter;

TEST(ChequePlacementTest, MillimetresBecomeDotsLyingDownAndUpright) {
  const double k = 600 / 25.4;
  EXPECT_EQ(placeOnPage({130, 0}, {0, 0}, true, k, k), (DevicePoint{3070, 0}));
  EXPECT_EQ(placeOnPage({130, 0}, {0, 0}, false, k, k), (DevicePoint{0, 944}));
  // The adjustment (2, -1): lying down 2 mm right and 1 mm up; upright
  // 1 mm left and 2 mm down the page.
  EXPECT_EQ(placeOnPage({130, 10}, {2, -1}, true, k, k),
            (DevicePoint{static_cast<int>(132 * k), static_cast<int>(9 * k)}));
  EXPECT_EQ(placeOnPage({130, 10}, {2, -1}, false, k, k),
            (DevicePoint{static_cast<int>(9 * k), static_cast<int>(42 * k)}));
  // Truncated toward zero, also left of and above the page.
  EXPECT_EQ(placeOnPage({-1, -1}, {0, 0}, true, k, k), (DevicePoint{-23, -23}));
  // A stored point far outside the paper stays at the edge of the range.
  EXPECT_EQ(placeOnPage({INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MIN}, true, k, k),
            (DevicePoint{INT_MAX, INT_MIN}));
}

class ChequePrintTest : public speechtest::SpeechFixture {
 protected:
  void SetUp() override {
    SpeechFixture::SetUp();
    initSpeech(0, (workDir() / "som").string());
    currentBank().printLyingDown = true;
  }
  VirtualPrinter& printer() { return platform_->printer(); }
  size_t texts() const {
    const auto& log = platform_->printer().log();
    return static_cast<size_t>(std::count_if(log.begin(), log.end(), [](const std::string& l) {
      return l.rfind("text ", 0) == 0;
    }));
  }
};

TEST_F(ChequePrintTest, TheModelPrintsEveryPlaceholderAndFreesThePrinterOnEveryPath) {
  keys("Enter Enter");
  EXPECT_TRUE(printTestCheque());
  const auto& log = printer().log();
  EXPECT_NE(std::find(log.begin(), log.end(), "text 3070 0 x.xxx.xxx,xx"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "text 3708 590 9999"), log.end());
  // Every front field; the back has no payee line, since no cheque filled
  // one in.
  EXPECT_EQ(texts(), 8u + 7u);
  EXPECT_EQ(std::count(log.begin(), log.end(), "enddoc"), 2);
  EXPECT_EQ(printer().liveHandles(), 0u);

  // A printer without resolution: the document begun is dropped.
  printer().setFault(VirtualPrinter::Fault::kNoResolution);
  keys("Enter");
  EXPECT_FALSE(printTestCheque());
  EXPECT_EQ(log.back(), "abortdoc");
  EXPECT_EQ(printer().liveHandles(), 0u);

  // The back side fails: the front counts, nothing is left open.
  printer().setFault(VirtualPrinter::Fault::kStartDoc, printer().documentsStarted() + 2);
  keys("Enter Enter");
  EXPECT_TRUE(printTestCheque());
  EXPECT_EQ(log.back(), "startdoc failed Verso do Cheque");
  EXPECT_EQ(printer().liveHandles(), 0u);
}

}  // namespace
