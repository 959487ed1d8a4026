// Page text and selection by ranges and by rectangles. The fake page 1 reads
// "Page 1\nСтр. text": character c of a line lies at x = 10 + 3c mm (2.5 mm
// wide), the first line at y 10..16 mm, the second at 18..24 mm; the line feed
// has no place. The page renders at 2 pixels per millimetre.
#include <gtest/gtest.h>

#include "PageFixtures.h"
#include "viewer/Plugin/PluginDocument.h"
#include "viewer/Plugin/PluginPage2.h"

namespace {

const std::string kText = "Page 1\n\xD1\xF2\xF0. text";

using PageTextTest = PageTest;

TEST_F(PageTextTest, TextIsReadOnceThroughOneContext) {
  ASSERT_NE(OpenDocument("fake_djvu"), nullptr);
  TFakeCounters& counters = Counters("djvu.so");
  TPluginPage2* page = Page();
  EXPECT_EQ(counters.ContextsAlive, 0);  // nothing read before it is needed
  EXPECT_EQ(page->GetText(), kText);
  EXPECT_EQ(page->GetTextLength(), 16);
  EXPECT_EQ(Page(2)->GetText(), "Page 2\n\xD1\xF2\xF0. text");
  EXPECT_EQ(counters.ContextsAlive, 2);
  page->SelectRange(1, 2);
  EXPECT_EQ(counters.ContextsAlive, 2);
  document->ReleasePage(page);
  EXPECT_EQ(counters.ContextsAlive, 1);
}

TEST_F(PageTextTest, PluginWithoutContextsGivesNoText) {
  ASSERT_NE(OpenDocument("fake_render_only"), nullptr);
  TPluginPage2* page = Page();
  EXPECT_EQ(page->GetText(), "");
  page->SelectRange(1, 10);
  page->SelectRect(Rect(0, 0, 200, 300));
  EXPECT_EQ(page->GetSelectedText(), "");
  EXPECT_EQ(page->GetLinkAreas().Count(), 0);
  TBitmap canvas = Canvas(*page);
  EXPECT_NE(page->Render(canvas.Canvas(), Rect(0, 0, 200, 300)), 0);  // rendering is untouched
}

TEST_F(PageTextTest, RangesAreClampedToTheText) {
  ASSERT_NE(OpenDocument("fake_djvu"), nullptr);
  TPluginPage2* page = Page();
  page->SelectRange(0, 1000);
  EXPECT_EQ(page->GetSelectedText(), kText);
  EXPECT_EQ(page->Mask(0), std::string(16, '*'));
  page->ClearSelection();
  EXPECT_EQ(page->Mask(0), std::string(16, ' '));
  page->SelectRange(5, 3);  // empty
  EXPECT_EQ(page->GetSelectedText(), "");
}

TEST_F(PageTextTest, FlagsMarkTheSamePositionsButAreNotSelectedText) {
  ASSERT_NE(OpenDocument("fake_djvu"), nullptr);
  TPluginPage2* page = Page();
  page->FlagRange(1, 3);  // the text is not loaded yet: nothing to flag
  EXPECT_EQ(page->Mask(0), "");
  EXPECT_EQ(page->GetTextLength(), 16);
  EXPECT_EQ(page->Mask(0), std::string(16, ' '));
  page->FlagRange(2, 3);
  EXPECT_EQ(page->Mask(0).substr(0, 5), " __  ");
  page->SelectRange(4, 4);
  EXPECT_EQ(page->GetSelectedText(), "e");
  page->FlagRange(1, 1000);
  EXPECT_EQ(page->Mask(0), std::string(16, '_'));
  EXPECT_EQ(page->GetSelectedText(), "");
}

TEST_F(PageTextTest, LayersKeepTheirOwnMarks) {
  ASSERT_NE(OpenDocument("fake_djvu"), nullptr);
  TPluginPage2* page = Page();
  page->SetLayer(1);
  page->SelectRange(1, 4);
  EXPECT_EQ(page->GetSelectedText(), "Page");
  page->SetLayer(2);
  page->SetLayer(-1);
  EXPECT_EQ(page->GetLayer(), 1);
  page->SetLayer(0);
  EXPECT_EQ(page->GetSelectedText(), "");
  page->SelectRange(6, 6);
  page->SetLayer(1);
  page->ClearSelection();
  page->SetLayer(0);
  EXPECT_EQ(page->GetSelectedText(), "1");
  EXPECT_EQ(page->Mask(1), std::string(16, ' '));
}

TEST_F(PageTextTest, RectangleSelectsFromTheFirstToTheLastCharacterMet) {
  ASSERT_NE(OpenDocument("fake_djvu"), nullptr);
  TPluginPage2* page = Page();
  // 22..26 mm across both lines: columns 4 and 5 of each, and all between.
  page->SelectRect(Rect(44, 24, 52, 40));
  EXPECT_EQ(page->GetSelectedText(), " 1\n\xD1\xF2\xF0. t");
  // A second area adds to the first.
  page->SelectRect(Rect(20, 20, 22, 22));
  EXPECT_EQ(page->GetSelectedText(), "P 1\n\xD1\xF2\xF0. t");
}

TEST_F(PageTextTest, ZeroSizeRectangleClearsAThinOneSelects) {
  ASSERT_NE(OpenDocument("fake_djvu"), nullptr);
  TPluginPage2* page = Page();
  page->SelectRange(1, 16);
  page->SelectRect(Rect(5, 5, 5, 5));
  EXPECT_EQ(page->GetSelectedText(), "");
  page->SelectRect(Rect(34, 0, 34, 300));  // x = 17 mm, top to bottom
  EXPECT_EQ(page->GetSelectedText(), "ge 1\n\xD1\xF2\xF0");
}

TEST_F(PageTextTest, BandDraggedBackwardsSelectsTheSame) {
  ASSERT_NE(OpenDocument("fake_djvu"), nullptr);
  TPluginPage2* page = Page();
  page->SelectRect(Rect(52, 40, 44, 24));
  EXPECT_EQ(page->GetSelectedText(), " 1\n\xD1\xF2\xF0. t");
}

TEST_F(PageTextTest, PluginWithoutRectanglesSelectsNothingByArea) {
  ASSERT_NE(OpenDocument("fake_no_optional"), nullptr);
  TPluginPage2* page = Page();
  page->SelectRect(Rect(0, 0, 200, 300));
  EXPECT_EQ(page->GetSelectedText(), "");
  page->SelectRange(1, 4);
  EXPECT_EQ(page->GetSelectedText(), "Page");
  TBitmap canvas = Canvas(*page);
  page->Render(canvas.Canvas(), Rect(0, 0, 200, 300));
  EXPECT_TRUE(page->Selection(0).empty());
}

struct Turn {
  int Turns;
  TPluginRect Out;  // of the rectangle (1, 2, 3, 4) on the 100 x 150 mm page
};

class PageTurnTest : public PageTest, public ::testing::WithParamInterface<Turn> {};

TEST_P(PageTurnTest, RectangleIsMappedByTheQuarterTurns) {
  ASSERT_NE(OpenDocument("fake_djvu", 1, 100, 150, GetParam().Turns), nullptr);
  const TPluginRect out = Page()->RotateRect({1, 2, 3, 4});
  EXPECT_EQ(out.Left, GetParam().Out.Left);
  EXPECT_EQ(out.Top, GetParam().Out.Top);
  EXPECT_EQ(out.Right, GetParam().Out.Right);
  EXPECT_EQ(out.Bottom, GetParam().Out.Bottom);
}

INSTANTIATE_TEST_SUITE_P(Turns, PageTurnTest,
                         ::testing::Values(Turn{0, {1, 2, 3, 4}}, Turn{1, {2, 97, 4, 99}},
                                           Turn{2, {1, 146, 3, 148}}, Turn{3, {146, 1, 148, 3}},
                                           Turn{6, {1, 146, 3, 148}}));  // only the low 2 bits count

TEST_F(PageTextTest, SelectionOnATurnedPageUsesThePluginsCoordinates) {
  ASSERT_NE(OpenDocument("fake_djvu", 1, 100, 150, 2), nullptr);
  TPluginPage2* page = Page();
  // 134..140 mm from the top of the picture is 10..16 mm in the text's coordinates.
  page->SelectRect(Rect(20, 268, 24, 280));
  EXPECT_EQ(page->GetSelectedText(), "P");
}

}  // namespace
