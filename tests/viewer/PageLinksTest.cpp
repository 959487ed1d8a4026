// Link areas read from the plug-in and the page's hit tests. Fake page 1 has a
// rectangle (10, 40)-(30, 50) mm "goto 2", an area of one vertex (ignored) and
// an L-shaped polygon over (40, 40)-(60, 70) mm whose notch is (50..60, 50..70).
#include <gtest/gtest.h>

#include "PageFixtures.h"
#include "viewer/Plugin/PluginPage2.h"

namespace {

class PageLinksTest : public PageTest {
 protected:
  // 10 pixels per millimetre, so a pixel tells tenths of a millimetre.
  void Open(const std::string& variant = "fake_djvu") {
    ASSERT_NE(OpenDocument(variant), nullptr);
    page = Page();
    int w = 1000, h = 0;
    ASSERT_TRUE(page->SetSize(w, h, FOLIO_SIZE_FIT_WIDTH));
  }

  TPluginPage2* page = nullptr;
};

TEST_F(PageLinksTest, AreasAndTheirTextsComeFromThePlugin) {
  Open();
  TPluginLinkAreaList& areas = page->GetLinkAreas();
  ASSERT_EQ(areas.Count(), 2);
  const TPluginLinkArea* rect = areas.Items(0);
  EXPECT_FALSE(rect->IsPolygon);
  EXPECT_EQ(rect->Rect.Left, 10);
  EXPECT_EQ(rect->Rect.Bottom, 50);
  EXPECT_EQ(rect->Reader->Command, TLinkCommand::lcGoto);
  EXPECT_EQ(rect->Reader->GetArgInt(1), 2);
  const TPluginLinkArea* polygon = areas.Items(1);
  EXPECT_TRUE(polygon->IsPolygon);
  EXPECT_EQ(polygon->Polygon->Points.size(), 6u);
  EXPECT_EQ(polygon->Reader->GetText(), "web\nhttps://example.org/");
  // Loaded once: the same areas on every call.
  EXPECT_EQ(&page->GetLinkAreas(), &areas);
  EXPECT_EQ(page->GetLinkAreas().Items(0), rect);
}

TEST_F(PageLinksTest, PixelsAreRoundedToWholeMillimetres) {
  Open();
  TPluginLinkAreaList hits(false);
  EXPECT_EQ(PageHitAll(*page, 200, 450, &hits), 1);
  ASSERT_EQ(hits.Count(), 1);
  EXPECT_EQ(hits.Items(0), page->GetLinkAreas().Items(0));
  EXPECT_EQ(PageHitAll(*page, 96, 450, &hits), 1);   // 9.6 mm rounds to 10: on the left edge
  EXPECT_EQ(PageHitAll(*page, 94, 450, &hits), 0);   // 9.4 mm: outside
  EXPECT_EQ(hits.Count(), 0);                        // cleared first
  EXPECT_EQ(PageHitAll(*page, 294, 450, &hits), 1);  // 29.4 mm rounds to 29
  EXPECT_EQ(PageHitAll(*page, 296, 450, &hits), 0);  // 29.6 mm rounds to 30: the right edge is out
}

TEST_F(PageLinksTest, WithoutATargetOnlyWhetherAnyAreaIsHit) {
  Open();
  EXPECT_EQ(PageHitAll(*page, 450, 650, nullptr), 1);  // the polygon's arm
  EXPECT_EQ(PageHitAll(*page, 550, 650, nullptr), 0);  // its notch
  EXPECT_EQ(PageHitAll(*page, 50, 50, nullptr), 0);    // the ignored one-vertex area at (5, 5)
}

TEST_F(PageLinksTest, OwningTargetIsRefusedAndKeepsItsAreas) {
  Open();
  TPluginLinkAreaList owning(true);
  const TPluginPoint corners[2] = {{0, 0}, {1000, 1000}};
  owning.Add(TPluginLinkArea::CreateRect(corners));
  EXPECT_EQ(PageHitAll(*page, 200, 450, &owning), 0);
  EXPECT_EQ(owning.Count(), 1);
}

TEST_F(PageLinksTest, AnyHitTestsTheGivenList) {
  Open();
  TPluginLinkAreaList list(false);
  EXPECT_FALSE(PageAnyHit(*page, 200, 450, list));
  list.Assign(page->GetLinkAreas());
  EXPECT_TRUE(PageAnyHit(*page, 200, 450, list));
  EXPECT_FALSE(PageAnyHit(*page, 200, 550, list));
}

TEST_F(PageLinksTest, PluginWithoutLinkExportsHasNoAreas) {
  Open("fake_no_optional");
  EXPECT_EQ(page->GetLinkAreas().Count(), 0);
  EXPECT_EQ(PageHitAll(*page, 200, 450, nullptr), 0);
}

}  // namespace
