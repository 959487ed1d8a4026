// How a selection is drawn over the rendered page: inverted rectangles for
// layer 0, red underlines for layer 1, blue frames for added rectangles; one
// rectangle per line of a run. The fake page renders at 2 pixels per mm and
// "Page" covers 10..21.5 x 10..16 mm, so pixels (20, 20)-(43, 32).
#include <gtest/gtest.h>

#include "PageFixtures.h"
#include "platform/Canvas.h"
#include "viewer/Plugin/PluginPage2.h"

namespace {

class SelectionDrawingTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    ASSERT_NE(OpenDocument("fake_djvu"), nullptr);
    page = Page();
  }
  TBitmap Rendered(const std::string& name) {
    TBitmap canvas = Canvas(*page);
    EXPECT_NE(page->Render(canvas.Canvas(), Rect(0, 0, 200, 300)), 0);
    Keep(canvas, name);
    return canvas;
  }

  TPluginPage2* page = nullptr;
};

TEST_F(SelectionDrawingTest, SelectionIsInvertedExactlyOnce) {
  page->SelectRange(1, 4);
  TBitmap canvas = Rendered("selection-inverted");
  ASSERT_EQ(page->Selection(0).size(), 1u);
  // Rectangle (20, 20, 42, 31): white turned black, the block's black row 30 turned white.
  EXPECT_EQ(canvas.Pixel(20, 20), kBlack);
  EXPECT_EQ(canvas.Pixel(41, 29), kBlack);
  EXPECT_EQ(canvas.Pixel(41, 30), kWhite);
  EXPECT_EQ(canvas.Pixel(42, 20), kWhite);
  EXPECT_EQ(canvas.Pixel(41, 31), kBlack);  // the block's second row, not inverted
  EXPECT_EQ(canvas.Pixel(19, 20), kWhite);
  // A second render draws the same picture, not a doubly inverted one.
  TBitmap again = Rendered("selection-inverted-again");
  EXPECT_EQ(again.Image(), canvas.Image());
}

TEST_F(SelectionDrawingTest, RunOverTwoLinesGivesOneRectanglePerLine) {
  page->SelectRange(3, 10);  // "ge 1", the line feed, "Стр"
  Rendered("selection-two-lines");
  ASSERT_EQ(page->Selection(0).size(), 2u);
  const TPluginRect first = page->Selection(0)[0]->Rect;
  const TPluginRect second = page->Selection(0)[1]->Rect;
  EXPECT_EQ(first.Left, 16);
  EXPECT_EQ(first.Right, 27.5);
  EXPECT_EQ(second.Left, 10);
  EXPECT_EQ(second.Top, 18);
  EXPECT_EQ(second.Right, 18.5);
}

TEST_F(SelectionDrawingTest, SeparateRunsStaySeparate) {
  page->SelectRange(1, 1);
  page->SelectRange(3, 3);
  Rendered("selection-runs");
  EXPECT_EQ(page->Selection(0).size(), 2u);
}

TEST_F(SelectionDrawingTest, SelectionIsRebuiltOnlyAfterAChange) {
  page->SelectRange(1, 4);
  Rendered("selection-before-change");
  page->AddSelInfo(std::make_unique<TSelInfo>(TPluginRect{50, 100, 60, 110}));
  TBitmap canvas = Rendered("selection-added-frame");
  ASSERT_EQ(page->Selection(0).size(), 2u);  // kept: nothing changed the marks
  // A 2-pixel blue frame around (100, 200)-(120, 220), its inside left alone.
  EXPECT_EQ(canvas.Pixel(110, 200), kBlue);
  EXPECT_EQ(canvas.Pixel(100, 210), kBlue);
  EXPECT_EQ(canvas.Pixel(110, 210), kWhite);
  page->ClearSelection();
  Rendered("selection-cleared");
  EXPECT_TRUE(page->Selection(0).empty());
}

TEST_F(SelectionDrawingTest, SelectionOnTheFlagLayerIsUnderlinedInRedFlagsAreNotDrawn) {
  page->SetLayer(1);
  page->SelectRange(1, 4);
  page->FlagRange(8, 9);
  TBitmap canvas = Rendered("selection-underlined");
  ASSERT_EQ(page->Selection(1).size(), 1u);
  EXPECT_TRUE(page->Selection(0).empty());
  EXPECT_EQ(canvas.Pixel(30, 32), kRed);  // under "Page", at y = 16 mm
  EXPECT_EQ(canvas.Pixel(30, 28), kWhite);
  EXPECT_EQ(canvas.Pixel(25, 48), kWhite);  // the flagged "Ст" has no underline
  // Nor are flags drawn on the inverted layer.
  page->SetLayer(0);
  page->FlagRange(1, 4);
  canvas = Rendered("selection-flags-undrawn");
  EXPECT_TRUE(page->Selection(0).empty());
  EXPECT_EQ(canvas.Pixel(20, 20), kWhite);
}

TEST_F(SelectionDrawingTest, InversionIgnoresThePenTheUnderlineLeft) {
  page->SelectRange(1, 4);
  page->SetLayer(1);
  page->SelectRange(12, 16);
  TBitmap canvas = Canvas(*page);
  page->Render(canvas.Canvas(), Rect(0, 0, 200, 300));
  const TBitmap first = canvas;
  page->Render(canvas.Canvas(), Rect(0, 0, 200, 300));  // same canvas, same pictures
  EXPECT_EQ(canvas.Image(), first.Image());
  EXPECT_EQ(canvas.Canvas().Pen.Width, 1);  // the caller's pen came back
  EXPECT_EQ(canvas.Canvas().Brush.Style, TBrushStyle::bsSolid);
}

TEST(SelectionRectTest, RulesForJoiningCharacters) {
  const TPluginRect a{10, 10, 12, 16};
  EXPECT_TRUE(PluginRectsOnSameLine(a, {50, 11, 52, 15}));   // far right, centre 13 within 10..16
  EXPECT_TRUE(PluginRectsOnSameLine(a, {50, 4, 52, 28}));    // centre 16: the bottom counts
  EXPECT_FALSE(PluginRectsOnSameLine(a, {50, 17, 52, 23}));  // next line
  EXPECT_FALSE(PluginRectsOnSameLine(a, {2, 10, 4, 16}));    // back to the left
  EXPECT_FALSE(PluginRectsOverlap(a, {12, 10, 14, 16}));     // touching edges
  EXPECT_TRUE(PluginRectsOverlap(a, {11.9, 15.9, 14, 20}));
  EXPECT_TRUE(PluginRectEmpty({1, 1, 1, 2}));
  EXPECT_TRUE(PluginRectEmpty({std::nan(""), 1, 2, 2}));
  const TPluginRect u = PluginRectUnion({}, a);
  EXPECT_EQ(u.Right, 12);
  const TPluginRect wide = PluginRectInflated(a);
  EXPECT_EQ(wide.Left, 9);
  EXPECT_EQ(wide.Right, 13);
  EXPECT_DOUBLE_EQ(wide.Top, 9.94);
}

}  // namespace
