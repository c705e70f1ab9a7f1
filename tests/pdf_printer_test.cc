// The PDF printer: texts land where the program puts them, upright and
// turned, in the kept PDF; a print directory that cannot be written and
// dead handles fail safely.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/shared/codepage.h"
#include "tests/pdf_fixture.h"
#include "tests/test_files.h"

namespace {

namespace fs = std::filesystem;
using namespace pdftest;
using plat::PrintHandle;

// keptDocument() is Windows-1252, as the program's texts.
fs::path keptPathOf(pdftest::PdfPrinter& printer) {
  return fs::u8path(plat::cp1252ToUtf8(printer.keptDocument()));
}

// The darkest grey at a device position of a page rendered at 100 dpi; 255
// when it cannot be rendered.
int darkestNear(const fs::path& pdf, const fs::path& prefix, int xDots, int yDots) {
  capture("pdftoppm -r 100 -gray -f 1 -l 1 -singlefile '" + pdf.string() + "' '" +
          prefix.string() + "'");
  const std::string pgm = testfiles::readAll(prefix.string() + ".pgm");
  int width = 0, height = 0, maxValue = 0, used = 0;
  if (std::sscanf(pgm.c_str(), "P5 %d %d %d%n", &width, &height, &maxValue, &used) != 3) {
    return 255;
  }
  const size_t pixels = static_cast<size_t>(used) + 1;
  const int px = xDots / 6, py = yDots / 6;
  int darkest = 255;
  for (int y = py - 2; y <= py + 2; ++y) {
    const size_t at = pixels + static_cast<size_t>(y) * width + px;
    if (y >= 0 && y < height && at < pgm.size()) {
      darkest = std::min(darkest, static_cast<int>(static_cast<unsigned char>(pgm[at])));
    }
  }
  return darkest;
}

TEST_F(PdfPrinterTest, KeptPdfHoldsUprightAndTurnedTextsAndLinesWhereDrawn) {
  if (!haveTool("pdftotext")) GTEST_SKIP() << "pdftotext (poppler-utils) is missing";
  // No server answers: the built-in PDF printer is the default.
  const std::string name = defaultName();
  EXPECT_EQ(name, plat::pdf::kPdfPrinterName);
  EXPECT_EQ(printer_.createDc("No Such Printer"), 0u);
  const PrintHandle dc = printer_.createDc(name.c_str());
  ASSERT_NE(dc, 0u);
  EXPECT_EQ(printer_.getDeviceCaps(dc, plat::kLogPixelsX), 600);
  EXPECT_EQ(printer_.getDeviceCaps(dc, plat::kLogPixelsY), 600);
  EXPECT_EQ(printer_.getDeviceCaps(dc, plat::kHorzRes), 4960);  // A4
  EXPECT_EQ(printer_.getDeviceCaps(dc, plat::kVertRes), 7015);

  ASSERT_GT(printer_.startDoc(dc, "Cheque Ita\xFA 1/2"), 0);
  ASSERT_GT(printer_.startPage(dc), 0);
  const PrintHandle upright = printer_.createFont(chequeFont(0));
  const PrintHandle turned = printer_.createFont(chequeFont(900));
  ASSERT_NE(upright, 0u);
  ASSERT_NE(turned, 0u);
  const PrintHandle ownFont = printer_.selectObject(dc, upright);
  EXPECT_NE(ownFont, 0u);
  plat::PrintSize size;
  ASSERT_TRUE(printer_.getTextExtent(dc, "12345", 5, &size));
  EXPECT_EQ(size.cx, 300);
  EXPECT_EQ(size.cy, 120);
  EXPECT_TRUE(printer_.textOut(dc, 600, 600, "PAGUE", 5));
  EXPECT_TRUE(printer_.textOut(dc, 2400, 1800, "R$1.234,56", 10));
  EXPECT_TRUE(printer_.textOut(dc, 1000, 2600, "Ita\xFA", 4));
  EXPECT_EQ(printer_.selectObject(dc, turned), upright);
  // Turned, the extent is still the text's length across.
  ASSERT_TRUE(printer_.getTextExtent(dc, "12345", 5, &size));
  EXPECT_EQ(size.cx, 300);
  EXPECT_TRUE(printer_.textOut(dc, 4200, 3000, "VERTICAL", 8));
  EXPECT_TRUE(printer_.textOut(dc, 3600, 6000, "SUBINDO", 7));
  const PrintHandle pen = printer_.createPen(12);
  EXPECT_NE(printer_.selectObject(dc, pen), 0u);
  EXPECT_TRUE(printer_.moveTo(dc, 600, 6600));
  EXPECT_TRUE(printer_.lineTo(dc, 4200, 6600));
  ASSERT_GT(printer_.endPage(dc), 0);
  ASSERT_GT(printer_.startPage(dc), 0);
  EXPECT_TRUE(printer_.textOut(dc, 600, 1200, "SEGUNDA", 7));
  ASSERT_GT(printer_.endPage(dc), 0);
  ASSERT_GT(printer_.endDoc(dc), 0);

  // Kept under the document's name, and nothing else left beside it.
  const fs::path kept = keptPathOf(printer_);
  ASSERT_FALSE(kept.empty());
  EXPECT_EQ(kept.parent_path(), keptDir());
  EXPECT_EQ(kept.filename().string().rfind("Cheque Ita\u00FA 1_2 ", 0), 0u) << kept;
  EXPECT_EQ(kept.extension(), ".pdf");
  EXPECT_EQ(std::distance(fs::directory_iterator(keptDir()), fs::directory_iterator()), 1);

  const std::vector<Word> words = wordsOf(kept);
  expectUprightAt(words, "PAGUE", 600, 600);
  expectUprightAt(words, "R$1.234,56", 2400, 1800);
  expectUprightAt(words, "Ita\u00FA", 1000, 2600);
  expectTurnedAt(words, "VERTICAL", 4200, 3000);
  expectTurnedAt(words, "SUBINDO", 3600, 6000);
  // 10 characters to the inch, 5 lines: the cell as asked.
  const auto amount = find(words, "R$1.234,56");
  ASSERT_TRUE(amount.has_value());
  EXPECT_NEAR(amount->xMax - amount->xMin, 25.4, kToleranceMm);
  const auto second = find(words, "SEGUNDA");
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(second->page, 2);
  EXPECT_EQ(find(words, "PAGUE")->page, 1);
  if (haveTool("pdftoppm")) {
    EXPECT_LT(darkestNear(kept, root_ / "page", 2400, 6600), 100) << "the line is missing";
    EXPECT_GT(darkestNear(kept, root_ / "page", 2400, 6700), 200);
  }

  // The same document again is kept beside the first, never over it.
  ASSERT_GT(printer_.startDoc(dc, "Cheque Ita\xFA 1/2"), 0);
  ASSERT_GT(printer_.startPage(dc), 0);
  ASSERT_GT(printer_.endDoc(dc), 0);
  EXPECT_NE(keptPathOf(printer_), kept);
  EXPECT_TRUE(fs::exists(kept));
  EXPECT_EQ(std::distance(fs::directory_iterator(keptDir()), fs::directory_iterator()), 2);
}

TEST_F(PdfPrinterTest, UnwritableDirectoryAndDeadHandlesFailSafely) {
  // A print directory under a plain file can never be made, root or not.
  testfiles::writeFile(root_ / "plain", "x");
  env_.set("TALONIX_PRINT_DIR", (root_ / "plain" / "cheques").string());
  const PrintHandle dc = printer_.createDc(plat::pdf::kPdfPrinterName);
  ASSERT_NE(dc, 0u);
  EXPECT_EQ(printer_.startDoc(dc, "Cheque"), -1);
  EXPECT_LE(printer_.startPage(dc), 0);
  EXPECT_FALSE(printer_.textOut(dc, 0, 0, "X", 1));
  EXPECT_FALSE(printer_.lineTo(dc, 10, 10));
  EXPECT_LE(printer_.endPage(dc), 0);
  EXPECT_LE(printer_.endDoc(dc), 0);
  EXPECT_EQ(printer_.keptDocument(), "");

  // A document dropped midway leaves no file.
  env_.set("TALONIX_PRINT_DIR", keptDir().string());
  ASSERT_GT(printer_.startDoc(dc, "Cheque"), 0);
  EXPECT_LE(printer_.startDoc(dc, "Again"), 0);  // one at a time
  ASSERT_GT(printer_.startPage(dc), 0);
  EXPECT_FALSE(printer_.textOut(dc, 0, 0, nullptr, 3));
  EXPECT_FALSE(printer_.textOut(dc, 0, 0, "X", -1));
  EXPECT_TRUE(printer_.textOut(dc, 0, 0, "X", 1));
  EXPECT_GT(printer_.abortDoc(dc), 0);
  EXPECT_TRUE(fs::is_empty(keptDir()));

  // The default printer's name cut to the buffer, as GDI does.
  char small[5] = "????";
  EXPECT_EQ(printer_.defaultPrinter(small, sizeof small), 4u);
  EXPECT_STREQ(small, "Talo");
  EXPECT_EQ(printer_.defaultPrinter(small, 0), 0u);

  // Objects: a selected one stays; a context's own ones are not lent out.
  const PrintHandle font = printer_.createFont(chequeFont(0));
  const PrintHandle pen = printer_.createPen(0);
  const PrintHandle own = printer_.selectObject(dc, font);
  EXPECT_NE(printer_.selectObject(dc, pen), 0u);
  EXPECT_FALSE(printer_.deleteObject(font));
  const PrintHandle other = printer_.createDc(plat::pdf::kPdfPrinterName);
  EXPECT_EQ(printer_.selectObject(other, own), 0u);
  EXPECT_EQ(printer_.selectObject(dc, own), font);
  EXPECT_TRUE(printer_.deleteObject(font));
  EXPECT_FALSE(printer_.deleteObject(font));
  EXPECT_EQ(printer_.selectObject(dc, font), 0u);
  EXPECT_EQ(printer_.createPen(-1), 0u);

  // A document left open when its context goes is dropped with it.
  ASSERT_GT(printer_.startDoc(dc, "Cheque"), 0);
  ASSERT_GT(printer_.startPage(dc), 0);
  EXPECT_TRUE(printer_.deleteDc(dc));
  EXPECT_TRUE(fs::is_empty(keptDir()));
  plat::PrintSize size;
  EXPECT_FALSE(printer_.deleteDc(dc));
  EXPECT_EQ(printer_.getDeviceCaps(dc, plat::kLogPixelsX), 0);
  EXPECT_LE(printer_.startDoc(dc, "Cheque"), 0);
  EXPECT_FALSE(printer_.getTextExtent(dc, "X", 1, &size));
  EXPECT_FALSE(printer_.moveTo(dc, 1, 1));
  EXPECT_LE(printer_.endDoc(dc), 0);
  EXPECT_LE(printer_.abortDoc(dc), 0);
  EXPECT_EQ(printer_.selectObject(dc, pen), 0u);
  EXPECT_FALSE(printer_.deleteObject(own));  // went with its context
  EXPECT_TRUE(printer_.deleteObject(pen));   // its context is gone
  EXPECT_TRUE(printer_.deleteDc(other));
}

}  // namespace
