// Link areas: hit tests of rectangles and polygons, outlines, and the lists
// the page and the page view keep.
#include <gtest/gtest.h>

#include "platform/StrUtils.h"
#include "viewer/Plugin/PluginLinkArea.h"

namespace {

std::unique_ptr<TPluginLinkArea> RectArea(double x1, double y1, double x2, double y2) {
  const TPluginPoint corners[2] = {{x1, y1}, {x2, y2}};
  return TPluginLinkArea::CreateRect(corners);
}

// An L: the upright 40..50 x 40..70 and the foot 40..60 x 60..70; the notch
// 50..60 x 40..60 lies inside its bounds but not inside the L.
std::unique_ptr<TPluginLinkArea> LArea() {
  const TPluginPoint points[] = {{40, 40}, {50, 40}, {50, 60}, {60, 60}, {60, 70}, {40, 70}};
  return TPluginLinkArea::CreatePolygon(6, points);
}

TEST(LinkAreaTest, RectangleIsHalfOpen) {
  auto area = RectArea(10, 20, 12, 30);
  EXPECT_TRUE(area->HitTest(10, 20));  // left and top edges hit
  EXPECT_TRUE(area->HitTest(11.99, 29.99));
  EXPECT_FALSE(area->HitTest(12, 25));  // right edge does not
  EXPECT_FALSE(area->HitTest(11, 30));  // nor the bottom one
  EXPECT_FALSE(area->HitTest(9.99, 25));
  EXPECT_FALSE(area->IsPolygon);
}

TEST(LinkAreaTest, CornersAreKeptAndAnInvertedRectangleNeverHits) {
  auto area = RectArea(12, 30, 10, 20);
  const TPluginRect r = area->GetRect();
  EXPECT_EQ(r.Left, 12);
  EXPECT_EQ(r.Top, 30);
  EXPECT_EQ(r.Right, 10);
  EXPECT_EQ(r.Bottom, 20);
  EXPECT_FALSE(area->HitTest(11, 25));
  EXPECT_FALSE(area->HitTest(12, 30));
  // Right of, or below, the second corner: inverted one way is enough.
  EXPECT_FALSE(RectArea(12, 20, 10, 30)->HitTest(11, 25));
  EXPECT_FALSE(RectArea(10, 30, 12, 20)->HitTest(11, 25));
  EXPECT_TRUE(RectArea(10, 20, 12, 30)->HitTest(11, 25));
}

TEST(LinkAreaTest, FlatRectangleNeverHits) {
  EXPECT_FALSE(RectArea(10, 20, 10, 30)->HitTest(10, 25));
  EXPECT_FALSE(RectArea(10, 20, 15, 20)->HitTest(12, 20));
}

TEST(LinkAreaTest, LShapedPolygonHitsItsArmsButNotTheNotch) {
  auto area = LArea();
  EXPECT_TRUE(area->IsPolygon);
  EXPECT_TRUE(area->HitTest(45, 45));   // upright
  EXPECT_TRUE(area->HitTest(55, 65));   // foot
  EXPECT_FALSE(area->HitTest(55, 50));  // notch
  EXPECT_FALSE(area->HitTest(60, 65));  // right edge of the bounds
  const TPluginRect bounds = area->GetRect();
  EXPECT_EQ(bounds.Left, 40);
  EXPECT_EQ(bounds.Top, 40);
  EXPECT_EQ(bounds.Right, 60);
  EXPECT_EQ(bounds.Bottom, 70);
}

TEST(LinkAreaTest, TwoVerticesAreNoPolygon) {
  const TPluginPoint points[] = {{0, 0}, {10, 10}};
  auto area = TPluginLinkArea::CreatePolygon(2, points);
  EXPECT_FALSE(area->IsPolygon);
  EXPECT_TRUE(area->HitTest(5, 5));  // its bounds decide
}

TEST(PolygonTest, DoublyWoundPartsCountAsInside) {
  // A five-pointed star drawn in one stroke winds its centre twice.
  const TPluginPoint star[] = {{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}};
  const TPluginPoligon polygon(5, star);
  EXPECT_TRUE(polygon.Contains(50, 50));   // the centre
  EXPECT_TRUE(polygon.Contains(50, 10));   // the top point
  EXPECT_FALSE(polygon.Contains(50, 85));  // between the two lower points
}

TEST(PolygonTest, WindingDirectionDoesNotMatter) {
  const TPluginPoint clockwise[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  const TPluginPoint anticlockwise[] = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};
  EXPECT_TRUE(TPluginPoligon(4, clockwise).Contains(5, 5));
  EXPECT_TRUE(TPluginPoligon(4, anticlockwise).Contains(5, 5));
  EXPECT_FALSE(TPluginPoligon(4, clockwise).Contains(15, 5));
}

TEST(PolygonTest, EmptyPolygonHasZeroBoundsAndContainsNothing) {
  const TPluginPoligon polygon(0, nullptr);
  const TPluginRect bounds = polygon.GetBounds();
  EXPECT_EQ(bounds.Left, 0);
  EXPECT_EQ(bounds.Bottom, 0);
  EXPECT_FALSE(polygon.Contains(0, 0));
  const TPluginPoint one[] = {{3, 4}};
  EXPECT_FALSE(TPluginPoligon(-1, one).Contains(3, 4));
}

TEST(PolygonTest, ToPointsRoundsHalvesToEven) {
  const TPluginPoint points[] = {{0.5, 1.5}, {2.5, -0.5}};
  const std::vector<TPoint> pixels = TPluginPoligon(2, points).ToPoints(1, 1, 0, 0);
  EXPECT_EQ(pixels, (std::vector<TPoint>{{0, 2}, {2, 0}}));
  const std::vector<TPoint> scaled = TPluginPoligon(2, points).ToPoints(2, 3, 10, 20);
  EXPECT_EQ(scaled, (std::vector<TPoint>{{11, 24}, {15, 18}}));  // 24.5 -> 24, 18.5 -> 18
}

TEST(LinkAreaTest, RectangleOutlineIsMadeOnce) {
  auto area = RectArea(1, 2, 3, 4);
  const TPluginPoligon& outline = area->GetPolygon();
  EXPECT_EQ(outline.Points.size(), 4u);
  EXPECT_EQ(outline.Points[1].X, 3);
  EXPECT_EQ(outline.Points[1].Y, 2);
  EXPECT_EQ(outline.Points[3].X, 1);
  EXPECT_EQ(outline.Points[3].Y, 4);
  EXPECT_EQ(&area->GetPolygon(), &outline);
  EXPECT_FALSE(area->IsPolygon);  // the outline does not join the hit test
}

class LinkAreaListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    page.Add(RectArea(0, 0, 20, 20));    // 0
    page.Add(RectArea(10, 10, 30, 30));  // 1 overlaps 0 in 10..20
    page.Add(LArea());                   // 2
  }
  TPluginLinkAreaList page{true};
  TPluginLinkAreaList hits{false};
};

TEST_F(LinkAreaListTest, HitAllReportsTheFirstAreaOnly) {
  EXPECT_EQ(page.HitAll(15, 15, hits), 1);
  EXPECT_EQ(hits.Items(0), page.Items(0));
  EXPECT_EQ(page.HitAll(25, 25, hits), 1);
  EXPECT_EQ(hits.Items(0), page.Items(1));
  EXPECT_EQ(page.HitAll(55, 50, hits), 0);
  EXPECT_EQ(hits.Count(), 0);
}

TEST_F(LinkAreaListTest, HitAllRefusesAnOwningTarget) {
  TPluginLinkAreaList owning(true);
  owning.Add(RectArea(0, 0, 1, 1));
  try {
    page.HitAll(15, 15, owning);
    FAIL() << "hit into an owning list";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "HitList mast not owns objects");
  }
  EXPECT_EQ(owning.Count(), 1);  // untouched
}

TEST_F(LinkAreaListTest, AnyHit) {
  EXPECT_TRUE(page.AnyHit(45, 65));
  EXPECT_FALSE(page.AnyHit(55, 50));
  EXPECT_FALSE(TPluginLinkAreaList(false).AnyHit(0, 0));
}

TEST_F(LinkAreaListTest, AssignSharesTheAreas) {
  TPluginLinkAreaList outlined(false);
  outlined.Assign(page);
  EXPECT_TRUE(outlined.SameAs(page));
  outlined.Clear();
  EXPECT_EQ(page.Count(), 3);  // a referring list frees nothing
  EXPECT_FALSE(outlined.SameAs(page));
  page.HitAll(15, 15, hits);
  outlined.Add(page.Items(1));
  EXPECT_FALSE(outlined.SameAs(hits));  // same count, other area
}

TEST_F(LinkAreaListTest, OwnershipIsFixedAtCreation) {
  EXPECT_THROW(page.Add(page.Items(0)), Exception);
  EXPECT_THROW(hits.Add(RectArea(0, 0, 1, 1)), Exception);
  EXPECT_THROW(page.Assign(hits), Exception);
  EXPECT_THROW(page.Items(3), Exception);
  EXPECT_THROW(page.Items(-1), Exception);
}

}  // namespace
