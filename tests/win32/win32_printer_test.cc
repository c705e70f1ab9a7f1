// The model cheque printed through GDI on wine, which hands the PostScript
// to CUPS. Run by print_check.sh, which starts a CUPS server of its own and
// sets TALONIX_PRINT_CHECK: "queue" with its default queue taking the jobs
// (this test writes where each text must land, for the script to compare
// with the pages), "none" once the server is gone. Skipped otherwise, so
// the suite never prints on the tester's printer.
#include "platform/win32/win32_printer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/bank_records.h"
#include "app/cheques.h"
#include "tests/speech_fixture.h"

namespace {

using plat::PrintHandle;

class Win32ChequePrintTest : public speechtest::SpeechFixture {
 protected:
  void SetUp() override {
    SpeechFixture::SetUp();
    const char* mode = std::getenv("TALONIX_PRINT_CHECK");
    mode_ = mode ? mode : "";
    initSpeech(0, (workDir() / "som").string());
    plat::Services services = platform_->services();
    services.printer = &printer_;
    plat::setServices(services);
  }

  std::string defaultName() {
    char device[200];
    printer_.defaultPrinter(device, sizeof device);
    const std::string text = device;
    return text.substr(0, text.find(','));
  }

  // One word the page must show: document, 'u'pright or 't'urned, the
  // point given to TextOut in dots.
  void expect(int document, bool turned, int x, int y, const std::string& word) {
    expected_ << document << ' ' << (turned ? 't' : 'u') << ' ' << x << ' ' << y << ' '
              << word << '\n';
  }

  std::string mode_;
  plat::win32::Win32Printer printer_;
  std::ostringstream expected_;
};

TEST_F(Win32ChequePrintTest, TheModelReachesTheQueueAtItsLayoutPositions) {
  if (mode_ != "queue") GTEST_SKIP() << "run by tests/win32/print_check.sh";
  // The printing font's measure, on the default printer, and the rules of
  // the handles on a live context.
  const PrintHandle dc = printer_.createDc(defaultName().c_str());
  ASSERT_NE(dc, 0u);
  const int dpiX = printer_.getDeviceCaps(dc, plat::kLogPixelsX);
  const int dpiY = printer_.getDeviceCaps(dc, plat::kLogPixelsY);
  plat::PrintFont f;
  f.height = dpiY / 5;
  f.width = dpiX / 10;
  f.weight = 700;
  f.face = "Courier New";
  const PrintHandle font = printer_.createFont(f);
  const PrintHandle ownFont = printer_.selectObject(dc, font);
  ASSERT_NE(ownFont, 0u);
  plat::PrintSize ten;
  ASSERT_TRUE(printer_.getTextExtent(dc, "OOOOOOOOOO", 10, &ten));
  EXPECT_FALSE(printer_.deleteObject(font));  // still selected
  const PrintHandle pen = printer_.createPen(3);
  EXPECT_NE(printer_.selectObject(dc, pen), 0u);
  EXPECT_EQ(printer_.selectObject(dc, ownFont), font);
  EXPECT_TRUE(printer_.deleteObject(font));
  EXPECT_EQ(printer_.selectObject(dc, font), 0u);  // gone
  EXPECT_TRUE(printer_.deleteDc(dc));
  EXPECT_EQ(printer_.getDeviceCaps(dc, plat::kHorzRes), 0);
  EXPECT_TRUE(printer_.deleteObject(pen));  // its context is gone
  EXPECT_EQ(printer_.liveHandles(), 0u);

  // Front and back, lying down and then upright: four documents.
  const ChequeLayout& layout = currentBank().layout;
  const double kx = dpiX / 25.4, ky = dpiY / 25.4;
  int document = 0;
  for (bool lyingDown : {true, false}) {
    currentBank().printLyingDown = lyingDown;
    keys("Enter Enter");
    ASSERT_TRUE(printTestCheque());
    ++document;
    const std::pair<LayoutPoint, const char*> front[] = {
        {layout.value, "x.xxx.xxx,xx"}, {layout.words1, "zerentos"},
        {layout.payee, "NoNoNoNo"},     {layout.city, "Rio"},
        {layout.day, "99"},             {layout.month, "Noventeiro"},
        {layout.year, "9999"}};
    for (const auto& [p, word] : front) {
      const double x = p.x + layout.adjustment.x, y = p.y + layout.adjustment.y;
      if (lyingDown) {
        expect(document, false, int(std::trunc(x * kx)), int(std::trunc(y * ky)), word);
      } else {
        expect(document, true, int(std::trunc(y * kx)), int(std::trunc((170 - x) * ky)), word);
      }
    }
    ++document;
    const char* back[] = {"NoNoNoNo", "Emitente:", "Ident.:", "CPF:"};
    for (int line = 0; line < 4; ++line) {
      if (lyingDown) {
        expect(document, false, 2 * ten.cx, ten.cy * (line + 1), back[line]);
      } else {
        expect(document, true, ten.cy * (line + 1), 5 * ten.cx, back[line]);
      }
    }
  }
  EXPECT_EQ(printer_.liveHandles(), 0u);
  const char* dir = std::getenv("TALONIX_PRINT_CHECK_DIR");
  ASSERT_NE(dir, nullptr);
  std::ofstream out(std::string("Z:") + dir + "/expected.txt", std::ios::binary);
  out << "dpi " << dpiX << ' ' << dpiY << " cell " << f.height << '\n' << expected_.str();
  ASSERT_TRUE(out.good());
}

TEST_F(Win32ChequePrintTest, WithoutAPrinterTheUserHearsSoAndNothingIsLeft) {
  if (mode_ != "none") GTEST_SKIP() << "run by tests/win32/print_check.sh";
  keys("Enter");
  EXPECT_FALSE(printTestCheque());
  const std::vector<std::string> said = heard();
  EXPECT_NE(std::find(said.begin(), said.end(),
                      "say Modo selecionado para a impressora n\xE3o \xE9 adequado."),
            said.end());
  EXPECT_EQ(printer_.liveHandles(), 0u);
}

}  // namespace
