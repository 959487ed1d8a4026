// Printing a page: the size it is rendered at, where it lands on the sheet,
// what stands in for a page that cannot be had, and a whole job into a PDF file.
#include <gtest/gtest.h>

#include <QFile>
#include <fstream>

#include "PageFixtures.h"
#include "platform/Canvas.h"
#include "platform/Printer.h"
#include "viewer/PagePrinting.h"
#include "viewer/Plugin/FileManager.h"
#include "viewer/Plugin/PluginGlobals.h"

namespace {

class PagePrintingTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    // The plug-in layer with one fake document of 100 x 150 mm; nothing holds it yet.
    ASSERT_NE(OpenDocument("fake_djvu"), nullptr);
    document = nullptr;
    path = Folder() + "book.djvu";
    sheet.Image().fill(kMarker);
  }

  // Counts the pixels of r that are no longer the marker.
  int Painted(const TRect& r) const {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += sheet.Pixel(x, y) != kMarker;
    return n;
  }

  // Counts the pixels of r that are neither the marker nor white: ink.
  int Inked(const TRect& r) const {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += sheet.Pixel(x, y) != kMarker && sheet.Pixel(x, y) != kWhite;
    return n;
  }

  std::string path;
  TBitmap sheet{400, 400};
};

TEST(PrintRenderSizeTest, LargePagesAreRenderedAtNineMillionPixels) {
  int w = 3000, h = 4000;
  LimitPrintRenderSize(w, h);
  EXPECT_EQ(w, 2598);
  EXPECT_EQ(h, 3464);
  w = h = 3000;
  LimitPrintRenderSize(w, h);
  EXPECT_EQ(w, 3000);
  EXPECT_EQ(h, 3000);
}

TEST_F(PagePrintingTest, ThePageFillsTheHeightAndLandsAtTheCorner) {
  TRect r = Rect(50, 20, 350, 320);
  RenderPageToCanvas(sheet.Canvas(), r, path, 1);
  // 300 high makes it 200 wide.
  EXPECT_EQ(r, Rect(50, 20, 250, 320));
  // The block covers x 40..159 and y 30..89 of the page.
  EXPECT_EQ(sheet.Pixel(50 + 40, 20 + 30), kBlack);
  EXPECT_EQ(sheet.Pixel(50 + 159, 20 + 89), kBlack);
  EXPECT_EQ(sheet.Pixel(50 + 39, 20 + 30), kWhite);
  EXPECT_EQ(sheet.Pixel(50, 20), kWhite);
  EXPECT_EQ(sheet.Pixel(50 + 199, 20 + 299), kWhite);
  // Nothing beyond the page.
  EXPECT_EQ(Painted(Rect(250, 20, 400, 400)), 0);
  EXPECT_EQ(Painted(Rect(0, 0, 50, 400)), 0);
  Keep(sheet, "printed_page");
}

TEST_F(PagePrintingTest, ANarrowSheetMakesThePageFitTheWidth) {
  TRect r = Rect(0, 0, 100, 400);
  RenderPageToCanvas(sheet.Canvas(), r, path, 2);
  EXPECT_EQ(r, Rect(0, 0, 100, 150));
  EXPECT_EQ(sheet.Pixel(50, 30), kBlack);
  EXPECT_EQ(Painted(Rect(0, 150, 400, 400)), 0);
}

TEST_F(PagePrintingTest, APageThatCannotBeHadIsReportedInWriting) {
  TRect missing = Rect(0, 0, 400, 200);
  RenderPageToCanvas(sheet.Canvas(), missing, Folder() + "gone.djvu", 1);
  // One line of writing at the top of the rectangle, on the brush's white.
  EXPECT_GT(Inked(Rect(0, 0, 400, 30)), 0);
  EXPECT_EQ(Inked(Rect(0, 40, 400, 200)), 0);

  TRect beyond = Rect(0, 200, 400, 400);
  RenderPageToCanvas(sheet.Canvas(), beyond, path, 9);
  EXPECT_GT(Inked(Rect(0, 200, 400, 230)), 0);
  EXPECT_EQ(Inked(Rect(0, 240, 400, 400)), 0);
  Keep(sheet, "unprintable_pages");
  EXPECT_EQ(beyond, Rect(0, 200, 400, 400));
}

TEST_F(PagePrintingTest, ADocumentOpenedForPrintingIsClosedAfterwards) {
  TFakeCounters& counters = Counters("djvu.so");
  TRect r = Rect(0, 0, 400, 400);
  RenderPageToCanvas(sheet.Canvas(), r, path, 1);
  EXPECT_EQ(FileManager->DocumentCount(), 0);
  EXPECT_EQ(counters.PagesAlive, 0);
  EXPECT_EQ(counters.DocumentsAlive, 0);
}

TEST_F(PagePrintingTest, AJobPrintsOnePageIntoAPdfFile) {
  TPrinter printer;
  const std::string pdf = Folder() + "printed.pdf";
  printer.SetOutputFile(pdf);
  PrintPageOn(printer, path, 2);
  EXPECT_EQ(printer.Title, Folder() + "book-page2");
  EXPECT_FALSE(printer.Printing());
  QFile file(QString::fromStdString(pdf));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_TRUE(bytes.startsWith("%PDF"));
  EXPECT_EQ(bytes.count("/Type /Page") - bytes.count("/Type /Pages"), 1);
  EXPECT_EQ(FileManager->DocumentCount(), 0);
}

}  // namespace
