// The document viewer box: zoom steps, the zoom modes at resizes and page
// changes, the text-width fit, the mouse modes and a file no plug-in opens.
// The box is 640 x 480 on a frameless form; the screen has 4 pixels per mm,
// so the fake 100 x 150 mm page is 400 x 600 pixels at 100 %.
#include <gtest/gtest.h>

#include <QTest>

#include "PageFixtures.h"
#include "platform/Screen.h"
#include "platform/StrUtils.h"
#include "viewer/DocsViewer.h"
#include "viewer/Plugin/PluginGlobals.h"

namespace {

class DocsViewerTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    SetScreenProvider([] { return TScreenMetrics{1000, 800, 250, 200}; });
    ASSERT_NE(OpenDocument("fake_djvu", 3), nullptr);
    file = Folder() + "book.djvu";
    form.SetBorderStyle(bsNone);
    form.SetBounds(0, 0, 640, 480);
    panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetAlign(alClient);
    viewer = new TPluginDocsViewer(panel, nullptr);
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  }

  void TearDown() override {
    delete viewer;
    ResetScreenProvider();
    PageTest::TearDown();
  }

  TPluginPageView& View() const { return *viewer->View(); }

  TForm form;
  TPanel* panel = nullptr;
  TPluginDocsViewer* viewer = nullptr;
  std::string file;
};

TEST(ZoomStepTest, StepsAreEightPercentAndNeverStick) {
  EXPECT_EQ(ZoomInStep(100), 108);
  EXPECT_EQ(ZoomOutStep(108), 100);
  // Small zooms still move by one percent each way, down to the floor.
  EXPECT_EQ(ZoomInStep(5), 6);
  EXPECT_EQ(ZoomOutStep(6), 5);
  EXPECT_EQ(ZoomOutStep(5), kMinStepZoom);
  EXPECT_EQ(ZoomOutStep(3), kMinStepZoom);
}

TEST_F(DocsViewerTest, OpenPageFillsTheBoxAndCountsThePages) {
  viewer->OpenPage(file, 2);
  EXPECT_EQ(viewer->BoundsRect(), Bounds(0, 0, 640, 480));
  EXPECT_EQ(viewer->PageCount(), 3);
  EXPECT_EQ(View().PageIndex(), 2);
  EXPECT_EQ(viewer->Zoom(), 100);
  EXPECT_EQ(View().Width(), 400);
}

TEST_F(DocsViewerTest, FitClientRefitsAtEveryResizeUntilAZoomStep) {
  viewer->FitPage();
  viewer->OpenPage(file, 1);
  EXPECT_EQ(View().Height(), 480);
  form.SetBounds(0, 0, 640, 300);
  EXPECT_EQ(View().Height(), 300);
  viewer->ZoomIn();
  EXPECT_EQ(viewer->ZoomMode(), zmNormal);
  const int height = View().Height();
  EXPECT_GT(height, 300);
  form.SetBounds(0, 0, 640, 450);
  EXPECT_EQ(View().Height(), height);
}

TEST_F(DocsViewerTest, ZoomStepsAskForTheNextPercentage) {
  viewer->OpenPage(file, 1);
  viewer->ZoomIn();
  EXPECT_EQ(viewer->Zoom(), 108);
  viewer->SetZoomNormal(5);
  viewer->ZoomOut();
  EXPECT_EQ(viewer->Zoom(), 5);
  viewer->ZoomIn();
  EXPECT_GT(viewer->Zoom(), 5);
}

TEST_F(DocsViewerTest, SwitchingToNormalTakesTheZoomAFitProduced) {
  viewer->FitPage();
  viewer->OpenPage(file, 1);
  viewer->SetZoomMode(zmNormal);
  // 480 of 600 pixels at 100 %.
  EXPECT_EQ(viewer->Zoom(), 80);
}

TEST_F(DocsViewerTest, PagingInNormalModeKeepsTheZoom) {
  viewer->OpenPage(file, 1);
  viewer->SetZoom(50);
  viewer->OpenPage(file, 2);
  EXPECT_EQ(viewer->Zoom(), 50);
  EXPECT_EQ(View().Width(), 200);
}

TEST_F(DocsViewerTest, RealSizeShowsTheHundredPercentAtEveryResize) {
  viewer->OpenPage(file, 1);
  viewer->SetZoom(50);
  viewer->SetZoomMode(zmRealSize);
  EXPECT_EQ(viewer->Zoom(), 100);
  EXPECT_EQ(viewer->ZoomMode(), zmRealSize);
  form.SetBounds(0, 0, 600, 400);
  EXPECT_EQ(View().Width(), 400);
  EXPECT_EQ(viewer->ZoomMode(), zmRealSize);
}

TEST_F(DocsViewerTest, FitWidthMakesThePageAsWideAsTheBox) {
  viewer->OpenPage(file, 1);
  viewer->SetZoomMode(zmFitWidth);
  EXPECT_EQ(View().Width(), 640);
  EXPECT_EQ(View().Left(), 0);
}

TEST_F(DocsViewerTest, TextWidthPutsTheTextsEdgesOnTheBoxsEdgesWithAMargin) {
  viewer->OpenPage(file, 1);
  viewer->FitText();
  const TPluginRect text = View().GetTextBounds();
  const double scale = View().Width() / View().PageWidth();
  const double margin = View().PageWidth() * kTextFitMargin * scale;
  ASSERT_GT(margin, 5);
  EXPECT_NEAR((text.Right - text.Left) * scale + 2 * margin, 640, 2);
  // The bounds come from a thumbnail of the page, so they shift a little
  // with the size the page had when they were found.
  EXPECT_NEAR(View().Left() + text.Left * scale, margin, 3);
  EXPECT_NEAR(View().Top() + text.Top * scale, margin, 3);
}

TEST_F(DocsViewerTest, TextWidthKeepsAViewScrolledIntoTheText) {
  viewer->OpenPage(file, 1);
  viewer->FitText();
  View().SetBoundsConstrained(View().Left(), View().Top() - 100, View().Width(), View().Height());
  const int top = View().Top();
  form.SetBounds(0, 0, 640, 470);
  EXPECT_EQ(View().Top(), top);
}

// Where the top of the page's text lies in the box, in pixels.
int TextTopInBox(TPluginPageView& view) {
  const TPluginRect text = view.GetTextBounds();
  return view.Top() + RoundHalfEven(text.Top * view.Height() / view.PageHeight());
}

TEST_F(DocsViewerTest, TextWidthShowsTheTextsTopOnEveryPageTurnedToEitherWay) {
  viewer->OpenPage(file, 1);
  viewer->FitText();
  const int fitted = TextTopInBox(View());
  ASSERT_GT(View().Height(), 480);
  for (int page : {2, 3, 2, 1}) {
    // The reader scrolled down into the text before turning the page.
    View().SetBoundsConstrained(View().Left(), View().Top() - 150, View().Width(), View().Height());
    ASSERT_LT(TextTopInBox(View()), 0);
    viewer->OpenPage(file, page);
    EXPECT_EQ(TextTopInBox(View()), fitted) << "page " << page;
  }
}

TEST_F(DocsViewerTest, FitTextAgainBringsTheTextsTopBack) {
  viewer->OpenPage(file, 1);
  viewer->FitText();
  const int fitted = TextTopInBox(View());
  View().SetBoundsConstrained(View().Left(), View().Top() - 150, View().Width(), View().Height());
  viewer->FitText();
  EXPECT_EQ(viewer->ZoomMode(), zmTextWidth);
  EXPECT_EQ(TextTopInBox(View()), fitted);
}

TEST_F(DocsViewerTest, MouseModesSetTheViewsFlags) {
  viewer->SetMouseMode(mmPanning);
  EXPECT_TRUE(View().AllowPanngin);
  EXPECT_FALSE(View().AllowMouseSelect);
  viewer->SetMouseMode(mmSelect);
  EXPECT_FALSE(View().AllowPanngin);
  EXPECT_TRUE(View().AllowMouseSelect);
  viewer->SetMouseMode(mmNone);
  EXPECT_FALSE(View().AllowPanngin);
  EXPECT_FALSE(View().AllowMouseSelect);
}

TEST_F(DocsViewerTest, OnlyPanningModeMovesALargePageWithTheMouse) {
  viewer->OpenPage(file, 1);
  viewer->SetZoom(200);
  viewer->SetMouseMode(mmPanning);
  ASSERT_LT(View().Left(), -50);
  const QPoint start(300, 200), end(350, 250);
  const TPoint before(View().Left(), View().Top());
  QTest::mousePress(&View(), Qt::LeftButton, {}, start);
  QTest::mouseMove(&View(), end);
  QTest::mouseRelease(&View(), Qt::LeftButton, {}, end);
  EXPECT_EQ(View().Left(), before.X + 50);
  EXPECT_EQ(View().Top(), before.Y + 50);
  // In selecting mode the same drag leaves the page where it is.
  viewer->SetMouseMode(mmSelect);
  QTest::mousePress(&View(), Qt::LeftButton, {}, end);
  QTest::mouseMove(&View(), start);
  QTest::mouseRelease(&View(), Qt::LeftButton, {}, start);
  EXPECT_EQ(View().Left(), before.X + 50);
}

TEST_F(DocsViewerTest, LinkClicksReachTheViewersHandler) {
  std::vector<std::string> links;
  viewer->OnLinkExecute = [&](TObject*, TPluginLinkInfo* info) { links.push_back(info->GetText()); };
  viewer->OpenPage(file, 1);
  // The fake page's rectangle link 10..30 x 40..50 mm, at 4 pixels per mm.
  const QPoint onLink(80, 180);
  QTest::mouseMove(&View(), QPoint(1, 1));
  QTest::mouseMove(&View(), onLink);
  QTest::mousePress(&View(), Qt::LeftButton, {}, onLink);
  QTest::mouseRelease(&View(), Qt::LeftButton, {}, onLink);
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(links[0], "goto\n2");
}

TEST_F(DocsViewerTest, AFileNoPlugInOpensPassesTheFailureOnAndKeepsTheCount) {
  viewer->OpenPage(file, 1);
  const std::string odd = MakeDocument("odd.djvu", "other");
  EXPECT_THROW(viewer->OpenPage(odd, 1), Exception);
  EXPECT_EQ(viewer->PageCount(), 3);
}

}  // namespace
