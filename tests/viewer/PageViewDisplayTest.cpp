// The page view's display: activation and its document references, zoom
// and fit arithmetic, placement in the parent's client area, and painting
// with and without a back buffer.
#include <gtest/gtest.h>

#include <QDir>
#include <fstream>

#include "PageViewTest.h"
#include "viewer/Plugin/FileManager.h"
#include "viewer/Plugin/PluginDocument.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/Plugin/PluginPage2.h"

namespace {

using PageViewActivationTest = PageViewTest;
using PageViewZoomTest = PageViewTest;
using PageViewPlacementTest = PageViewTest;
using PageViewPaintTest = PageViewTest;

// --- Activation ---

TEST_F(PageViewActivationTest, ShowsThePageAt100PercentCentredOnTheClient) {
  ShowPage();
  EXPECT_EQ(view->Zoom(), 100);
  EXPECT_EQ(view->Width(), 400);
  EXPECT_EQ(view->Height(), 600);
  // Narrower than the client: centred; taller: the old centre (far below)
  // pulls it up until its bottom meets the client's.
  EXPECT_EQ(view->Left(), 120);
  EXPECT_EQ(view->Top(), -120);
  EXPECT_EQ(view->PageCount(), 3);
  EXPECT_DOUBLE_EQ(view->PageWidth(), 100);
  int w = 0, h = 0;
  ASSERT_TRUE(view->NativePageSize(w, h));
  EXPECT_EQ(w, 200);
  EXPECT_EQ(h, 300);
}

TEST_F(PageViewActivationTest, WithoutAPageTheViewTellsASheetOfA4AndKeepsItsZoom) {
  view->SetZoom(250);
  EXPECT_EQ(view->Zoom(), 100);
  EXPECT_DOUBLE_EQ(view->PageWidth(), 210);
  EXPECT_DOUBLE_EQ(view->PageHeight(), 297);
  const TPluginRect bounds = view->GetTextBounds();
  EXPECT_DOUBLE_EQ(bounds.Right, 210);
  EXPECT_DOUBLE_EQ(bounds.Bottom, 297);
  EXPECT_EQ(view->PageCount(), 0);
  int w = 0, h = 0;
  EXPECT_FALSE(view->NativePageSize(w, h));
  EXPECT_EQ(view->GetSelectedText(), "");
  const QImage shot = Shot();
  EXPECT_EQ(At(shot, 50, 50), kBackground);
}

TEST_F(PageViewActivationTest, AMissingFileOrPageLeavesTheViewInactive) {
  ASSERT_NE(OpenDocument("fake_djvu"), nullptr);
  view->SetFileName(Folder() + "nothing.djvu");
  view->SetActive(true);
  EXPECT_FALSE(view->Active());

  view->SetFileName(Folder() + "book.djvu");
  view->SetPageIndex(4);
  view->SetActive(true);
  EXPECT_FALSE(view->Active());
  EXPECT_EQ(view->Page(), nullptr);
  // The document is held all the same, and no page is left over.
  EXPECT_EQ(view->Document(), document);
  EXPECT_EQ(document->InUse(), 1);
}

TEST_F(PageViewActivationTest, ChangingThePageGivesTheOldOneBack) {
  ShowPage(1);
  view->SetPageIndex(2);
  ASSERT_TRUE(view->Active());
  EXPECT_EQ(view->Page()->PageNumber(), 2);
  EXPECT_EQ(document->Pages.Count(), 1);
  EXPECT_EQ(document->InUse(), 2);  // the page and the view's reference
  EXPECT_EQ(Counters("djvu.so").PagesAlive, 1);
}

TEST_F(PageViewActivationTest, AnotherFileReactivatesOnIt) {
  ShowPage(1);
  std::ofstream(Folder() + "other.djvu") << "FAKEDOC djvu 2 50 50\n";
  view->SetFileName(Folder() + "other.djvu");
  ASSERT_TRUE(view->Active());
  EXPECT_DOUBLE_EQ(view->PageWidth(), 50);
  // Nothing holds the first file's document any more: it is closed.
  document = nullptr;
  EXPECT_EQ(FileManager->DocumentCount(), 1);
  EXPECT_EQ(view->Document()->FileName(), Folder() + "other.djvu");
}

TEST_F(PageViewActivationTest, DestroyingTheViewClosesADocumentNothingElseHolds) {
  ShowPage();
  TFakeCounters& counters = Counters("djvu.so");
  ASSERT_EQ(FileManager->DocumentCount(), 1);
  delete view;
  view = nullptr;
  document = nullptr;
  EXPECT_EQ(FileManager->DocumentCount(), 0);
  EXPECT_EQ(counters.PagesAlive, 0);
  EXPECT_EQ(counters.DocumentsAlive, 0);
}

// --- Zoom and fit ---

TEST_F(PageViewZoomTest, ZoomKeepsThePointUnderTheClientCentre) {
  ShowPage();
  view->AllowCenter = false;
  // The centre (320, 240) lies at 1.1 x the width and 0.6 x the height of the page.
  view->SetZoom(50);
  EXPECT_EQ(view->Zoom(), 50);
  EXPECT_EQ(view->Width(), 200);
  EXPECT_EQ(view->Height(), 300);
  EXPECT_EQ(view->Left(), 100);
  EXPECT_EQ(view->Top(), 60);

  view->SetZoom(200);
  EXPECT_EQ(view->Width(), 800);
  EXPECT_EQ(view->Height(), 1200);
  // From 2.1 x and 1.0 x: gaps would open on the right and below; both close.
  EXPECT_EQ(view->Left(), -160);
  EXPECT_EQ(view->Top(), -720);
}

TEST_F(PageViewZoomTest, ZoomIsNormalisedToTheSizeThePageRendersAt) {
  ShowPage();
  // 33 % of 400 pixels is 132 pixels, which is 33 % again.
  view->SetZoom(33);
  EXPECT_EQ(view->Width(), 132);
  EXPECT_EQ(view->Zoom(), 33);
  view->SetZoom(0);
  // No page renders 0 pixels wide: nothing changes.
  EXPECT_EQ(view->Zoom(), 33);
  EXPECT_EQ(view->Width(), 132);
}

TEST_F(PageViewZoomTest, AZoomThePlugInCannotRenderIsRefused) {
  ShowPage();
  // 120000 pixels across: more than the fake plug-in renders.
  view->SetZoom(30000);
  EXPECT_EQ(view->Zoom(), 100);
  EXPECT_EQ(view->Width(), 400);
  EXPECT_EQ(view->Page()->RenderWidth(), 400);
}

TEST_F(PageViewZoomTest, FitClientTakesTheLargerSizeThatFits) {
  ShowPage();
  // Tall page: the width-given 640 x 960 does not fit; the height-given 320 x 480 does.
  view->FitClient();
  EXPECT_EQ(view->Width(), 320);
  EXPECT_EQ(view->Height(), 480);
  EXPECT_EQ(view->Left(), 160);
  EXPECT_EQ(view->Top(), 0);
  EXPECT_EQ(view->Zoom(), 80);
}

TEST_F(PageViewZoomTest, FitClientOfAWidePageGivesTheWidth) {
  ShowPage(1, 200, 50);
  view->FitClient();
  EXPECT_EQ(view->Width(), 640);
  EXPECT_EQ(view->Height(), 160);
  EXPECT_EQ(view->Top(), 160);
  EXPECT_EQ(view->Zoom(), 80);
}

TEST_F(PageViewZoomTest, FitWidthPutsThePageAtTheLeftEdge) {
  ShowPage();
  view->AllowCenter = false;
  view->FitWidth(600);
  EXPECT_EQ(view->Width(), 600);
  EXPECT_EQ(view->Height(), 900);
  EXPECT_EQ(view->Left(), 0);
  EXPECT_EQ(view->Zoom(), 150);
  view->FitHeight(300);
  EXPECT_EQ(view->Width(), 200);
  EXPECT_EQ(view->Top(), 0);
}

TEST_F(PageViewZoomTest, PageBoundsRenderAtExactlyThatSize) {
  ShowPage();
  view->AllowConstains = false;
  view->SetPageBounds(-30, -40, 300, 200);
  EXPECT_EQ(view->Page()->RenderWidth(), 300);
  EXPECT_EQ(view->Page()->RenderHeight(), 200);
  EXPECT_EQ(view->BoundsRect(), Bounds(-30, -40, 300, 200));
}

// --- Placement ---

TEST_F(PageViewPlacementTest, APageNarrowerThanTheClientIsCentred) {
  form.SetBounds(0, 0, 801, kClientHeight);
  view->SetBoundsConstrained(37, 10, 400, 100);
  EXPECT_EQ(view->Left(), 200);
  EXPECT_EQ(view->Top(), 190);
}

TEST_F(PageViewPlacementTest, APageWiderThanTheClientLeavesNoGapBesideIt) {
  view->SetBoundsConstrained(10, 0, 800, 600);
  EXPECT_EQ(view->Left(), 0);
  view->SetBoundsConstrained(-300, 0, 800, 600);
  EXPECT_EQ(view->Left(), -160);
  view->SetBoundsConstrained(-100, -50, 800, 600);
  EXPECT_EQ(view->Left(), -100);
  EXPECT_EQ(view->Top(), -50);
}

TEST_F(PageViewPlacementTest, WithoutCentringASmallPageStaysInside) {
  view->AllowCenter = false;
  view->SetBoundsConstrained(-5, 400, 200, 100);
  EXPECT_EQ(view->Left(), 0);
  EXPECT_EQ(view->Top(), 380);
  // Grown and moved in one step: the new width decides what stays inside.
  view->SetBoundsConstrained(500, 0, 300, 100);
  EXPECT_EQ(view->Left(), 340);
}

TEST_F(PageViewPlacementTest, WithoutConstraintsTheBoundsApplyAsGiven) {
  view->AllowConstains = false;
  view->SetBoundsConstrained(900, -700, 50, 60);
  EXPECT_EQ(view->BoundsRect(), Bounds(900, -700, 50, 60));
}

// --- Painting ---

// The fake page at 400 x 600: a black block over x 80..319, y 60..179 and a
// red square over x 80..159, y 300..359, on white.
void ExpectFakePage(const QImage& shot) {
  EXPECT_EQ(FromQColor(shot.pixelColor(10, 10)), clWhite);
  EXPECT_EQ(FromQColor(shot.pixelColor(80, 60)), clBlack);
  EXPECT_EQ(FromQColor(shot.pixelColor(319, 179)), clBlack);
  EXPECT_EQ(FromQColor(shot.pixelColor(320, 179)), clWhite);
  EXPECT_EQ(FromQColor(shot.pixelColor(79, 100)), clWhite);
  EXPECT_EQ(FromQColor(shot.pixelColor(100, 330)), clRed);
  EXPECT_EQ(FromQColor(shot.pixelColor(160, 330)), clWhite);
}

TEST_F(PageViewPaintTest, DirectPaintingShowsThePage) {
  ShowPage();
  ASSERT_FALSE(view->Buffered());
  ExpectFakePage(Shot());
}

TEST_F(PageViewPaintTest, BufferedPaintingShowsTheSamePage) {
  ShowPage();
  view->SetBuffered(true);
  ASSERT_TRUE(view->Buffered());
  const QImage first = Shot();
  ExpectFakePage(first);
  // From the buffer again, and after a zoom the buffer follows the new size.
  EXPECT_EQ(Shot(), first);
  view->SetZoom(50);
  const QImage half = Shot();
  EXPECT_EQ(half.width(), 200);
  EXPECT_EQ(At(half, 40, 30), clBlack);
  EXPECT_EQ(At(half, 39, 30), clWhite);
  QDir().mkpath(VIEWER_RENDER_DIR);
  half.save(QString(VIEWER_RENDER_DIR) + "/page_view_buffered.png");
}

TEST_F(PageViewPaintTest, BesideAPageSmallerThanTheViewTheColourShows) {
  ShowPage();
  view->SetBuffered(true);
  view->AllowConstains = false;
  view->SetBoundsConstrained(0, 0, 450, 650);
  const QImage shot = Shot();
  EXPECT_EQ(At(shot, 399, 10), clWhite);
  EXPECT_EQ(At(shot, 400, 10), kBackground);
  EXPECT_EQ(At(shot, 10, 600), kBackground);
  EXPECT_EQ(At(shot, 449, 649), kBackground);
}

TEST_F(PageViewPaintTest, TheTextRangeFrameSurroundsTheContent) {
  ShowPage();
  view->SetAllowShowTextRange(true);
  const TRect range = view->GetTextRangeRect();
  // The content is the block and the square, x 80..319 and y 60..359, found
  // on a thumbnail of 3.125 page pixels per pixel and grown by one.
  EXPECT_LE(range.Left, 80);
  EXPECT_GE(range.Left, 70);
  EXPECT_LE(range.Top, 60);
  EXPECT_GE(range.Top, 50);
  EXPECT_GE(range.Right, 320);
  EXPECT_LE(range.Right, 330);
  EXPECT_GE(range.Bottom, 360);
  EXPECT_LE(range.Bottom, 370);
  const QImage shot = Shot();
  EXPECT_EQ(At(shot, range.Left, (range.Top + range.Bottom) / 2), clRed);
  EXPECT_EQ(At(shot, (range.Left + range.Right) / 2, range.Bottom - 1), clRed);
  EXPECT_EQ(At(shot, range.Right, (range.Top + range.Bottom) / 2), clWhite);
  view->SetAllowShowTextRange(false);
  EXPECT_NE(At(Shot(), range.Left, (range.Top + range.Bottom) / 2), clRed);
}

TEST_F(PageViewPaintTest, DeactivatingPaintsTheColourOnly) {
  ShowPage();
  view->SetBuffered(true);
  Shot();
  view->SetActive(false);
  const QImage shot = Shot();
  EXPECT_EQ(At(shot, 100, 100), kBackground);
  EXPECT_EQ(At(shot, 10, 10), kBackground);
}

}  // namespace
