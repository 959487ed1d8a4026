// Page sizes: the plug-in's size modes, zoom percentages against the page's
// physical size on the screen, and the content rectangle of a page.
#include <gtest/gtest.h>

#include "PageFixtures.h"
#include "platform/Screen.h"
#include "viewer/Plugin/PluginPage2.h"

namespace {

class PageSizeTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    // 4 pixels per millimetre both ways: the 100 x 150 mm page is 400 x 600 pixels at 100 %.
    SetScreenProvider([] { return TScreenMetrics{1000, 800, 250, 200}; });
    ASSERT_NE(OpenDocument("fake_djvu"), nullptr);
    page = Page();
  }
  void TearDown() override {
    ResetScreenProvider();
    PageTest::TearDown();
  }
  // CalcZoom from (zoom, w, h); the page's render size must follow.
  void ExpectZoom(int zoom, int w, int h, int zoomOut, int wOut, int hOut) {
    EXPECT_TRUE(page->CalcZoom(zoom, w, h));
    EXPECT_EQ(zoom, zoomOut);
    EXPECT_EQ(w, wOut);
    EXPECT_EQ(h, hOut);
    EXPECT_EQ(page->RenderWidth(), wOut);
    EXPECT_EQ(page->RenderHeight(), hOut);
  }

  TPluginPage2* page = nullptr;
};

TEST_F(PageSizeTest, SizeModesAndRefusals) {
  int w = 100, h = 7;
  ASSERT_TRUE(page->SetSize(w, h, FOLIO_SIZE_FIT_WIDTH));
  EXPECT_EQ(h, 150);
  w = 9, h = 60;
  ASSERT_TRUE(page->SetSize(w, h, FOLIO_SIZE_FIT_HEIGHT));
  EXPECT_EQ(w, 40);
  w = 150, h = 150;
  ASSERT_TRUE(page->SetSize(w, h, FOLIO_SIZE_EXACT));
  EXPECT_EQ(page->RenderWidth(), 150);
  EXPECT_EQ(page->RenderHeight(), 150);
  w = -5;
  EXPECT_FALSE(page->SetSize(w, h, FOLIO_SIZE_EXACT));
  EXPECT_EQ(w, -5);  // nothing adopted
  EXPECT_EQ(page->RenderWidth(), 150);
  EXPECT_EQ(page->NativeWidth(), 200);
}

TEST_F(PageSizeTest, PercentagesOfThePhysicalSize) {
  ExpectZoom(100, 0, 0, 100, 400, 600);
  ExpectZoom(50, 0, 0, 50, 200, 300);
  ExpectZoom(33, 0, 0, 33, 132, 198);
}

TEST_F(PageSizeTest, FitCodesUseTheGivenArea) {
  ExpectZoom(-1, 300, 300, 50, 200, 300);  // the height limits
  ExpectZoom(-1, 300, 900, 75, 300, 450);  // the width limits
  ExpectZoom(-3, 300, 1, 75, 300, 450);    // fit the width
  ExpectZoom(-2, 1, 300, 50, 200, 300);    // fit the height
}

TEST_F(PageSizeTest, ZoomThePluginRefusesKeepsTheRenderSize) {
  int zoom = 0, w = 0, h = 0;
  EXPECT_FALSE(page->CalcZoom(zoom, w, h));
  EXPECT_EQ(zoom, 0);
  EXPECT_EQ(page->RenderWidth(), 200);
}

TEST_F(PageSizeTest, ScreenWithoutPhysicalSizeCountsAt96PixelsPerInch) {
  SetScreenProvider([] { return TScreenMetrics{1000, 800, 0, 0}; });
  ExpectZoom(100, 0, 0, 100, 378, 567);  // 100 mm = 377.95 pixels
}

TEST_F(PageSizeTest, ContentBoundsOfThePage) {
  // On the 128 x 192 thumbnail the block covers columns 25..101 and rows 19..57,
  // the red square reaches row 114; one pixel of margin around that.
  TPluginRect bounds{};
  ASSERT_TRUE(page->GetTextBounds(bounds));
  EXPECT_DOUBLE_EQ(bounds.Left, 24 * 100.0 / 128);
  EXPECT_DOUBLE_EQ(bounds.Top, 18 * 150.0 / 192);
  EXPECT_DOUBLE_EQ(bounds.Right, 103 * 100.0 / 128);
  EXPECT_DOUBLE_EQ(bounds.Bottom, 116 * 150.0 / 192);
  EXPECT_EQ(page->RenderWidth(), 200);  // restored
  EXPECT_EQ(page->RenderHeight(), 300);
}

// The margin finder on bitmaps drawn here.
TBitmap WhiteWithBlock(int w, int h, const TRect& block) {
  TBitmap bitmap(w, h);
  for (int y = block.Top; y < block.Bottom; ++y)
    for (int x = block.Left; x < block.Right; ++x) bitmap.SetPixel(x, y, 0xFF000000u);
  return bitmap;
}

TEST(ContentRectTest, UniformPageGivesThreePixelsAroundTheCentre) {
  TRect r;
  FindContentRect(TBitmap(128, 192), r);
  EXPECT_EQ(r, Rect(62, 94, 65, 97));
}

TEST(ContentRectTest, ContentIsFoundWithAPixelOfMargin) {
  TRect r;
  FindContentRect(WhiteWithBlock(50, 40, Rect(10, 5, 20, 30)), r);
  EXPECT_EQ(r, Rect(9, 4, 21, 31));
}

TEST(ContentRectTest, LastColumnAndRowAreNotSearched) {
  TRect r;
  FindContentRect(WhiteWithBlock(50, 40, Rect(49, 0, 50, 40)), r);
  EXPECT_EQ(r, Rect(23, 18, 26, 21));
}

TEST(ContentRectTest, FaintDifferencesCountAsAlike) {
  TBitmap bitmap(20, 20);
  bitmap.SetPixel(5, 5, 0xFFFFFFF7u);  // blue 8 lower: 5 x 8 = 40 <= 48
  EXPECT_TRUE(SimilarColor(bitmap.Pixel(5, 5), 0xFFFFFFFFu));
  EXPECT_FALSE(SimilarColor(0xFFFFF9FFu, 0xFFFFFFFFu));  // green 6 lower: 54
  EXPECT_TRUE(SimilarColor(0x00FFFFFFu, 0xFFFFFFFFu));   // the fourth byte is no colour
  TRect r;
  FindContentRect(bitmap, r);
  EXPECT_EQ(r, Rect(8, 8, 11, 11));
}

TEST(ContentRectTest, TinyBitmapsAndEmptyRectanglesStayAsTheyAre) {
  TRect r = Rect(0, 0, 2, 2);
  ShrinkToContent(TBitmap(2, 2), r);
  EXPECT_EQ(r, Rect(0, 0, 2, 2));
  r = Rect(5, 5, 5, 9);
  ShrinkToContent(TBitmap(20, 20), r);
  EXPECT_EQ(r, Rect(5, 5, 5, 9));
  r = Rect(-4, -4, 90, 90);  // clamped to the bitmap first
  ShrinkToContent(WhiteWithBlock(20, 20, Rect(3, 3, 6, 6)), r);
  EXPECT_EQ(r, Rect(2, 2, 7, 7));
}

}  // namespace
