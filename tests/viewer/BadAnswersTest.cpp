// A plug-in that answers badly (the fake's FAKE_LIES variant; see its Lie*
// notes for what each page claims): the viewer checks every pointer, count and
// size it gets back and carries on.
#include <gtest/gtest.h>

#include "PageFixtures.h"
#include "platform/Cp1251.h"
#include "platform/StrUtils.h"
#include "viewer/Plugin/PluginDocument.h"
#include "viewer/Plugin/PluginPage2.h"

namespace {

class BadAnswersTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    ASSERT_NE(OpenDocument("fake_liar", 5), nullptr);
  }
};

TEST_F(BadAnswersTest, MissingCaptionAndTextPointerReadAsEmpty) {
  TPluginPage2* page = Page(1);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->Caption(), "");
  EXPECT_EQ(page->GetText(), "");              // 5 characters claimed at no address
  EXPECT_EQ(page->GetLinkAreas().Count(), 0);  // -3 areas claimed
  EXPECT_EQ(Page(2)->GetText(), "");           // -1 characters claimed
}

TEST_F(BadAnswersTest, SizeOfNoPixelsIsNotAdopted) {
  TPluginPage2* page = Page(1);
  int w = 100, h = 150;
  EXPECT_FALSE(page->SetSize(w, h, FOLIO_SIZE_EXACT));
  EXPECT_EQ(w, 100);
  EXPECT_EQ(page->RenderWidth(), 200);
  int zoom = 100;
  EXPECT_FALSE(page->CalcZoom(zoom, w, h));
  TPluginRect bounds{};
  EXPECT_FALSE(page->GetTextBounds(bounds));
  EXPECT_EQ(page->RenderWidth(), 200);
  EXPECT_EQ(page->RenderHeight(), 300);
}

TEST_F(BadAnswersTest, PagesWithoutHandleOrSizeAreRefusedAndGivenBack) {
  TFakeCounters& counters = Counters("djvu.so");
  EXPECT_THROW(Page(3), Exception);  // no handle
  EXPECT_THROW(Page(4), Exception);  // a width that is no number
  EXPECT_EQ(document->Pages.Count(), 0);
  EXPECT_EQ(counters.PagesAlive, 0);
}

TEST_F(BadAnswersTest, VertexCountThatChangesStopsTheLoadAndIsTriedAgain) {
  TPluginPage2* page = Page(2);
  try {
    page->GetLinkAreas();
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Заявленное количество вершин изменилось - странно"_cp);
  }
  // The area read before it stays; its text had no end and is cut at the buffer's size.
  EXPECT_FALSE(page->LinkAreasLoaded());
  ASSERT_EQ(page->LoadedLinkAreas().Count(), 1);
  EXPECT_EQ(page->LoadedLinkAreas().Items(0)->Reader->GetText(), std::string(FOLIO_LINK_TEXT_SIZE, 'x'));
  // The next call loads again, and fails again, without piling up areas.
  EXPECT_THROW(page->GetLinkAreas(), Exception);
  EXPECT_EQ(page->LoadedLinkAreas().Count(), 1);
  // The hit tests take the failure as a miss.
  EXPECT_EQ(PageHitAll(*page, 40, 90, nullptr), 0);
}

TEST_F(BadAnswersTest, RectanglesThatAreNoNumbersSelectNothing) {
  TPluginPage2* page = Page(5);
  EXPECT_EQ(page->GetTextLength(), 16);
  page->SelectRect(Rect(0, 0, 200, 300));
  EXPECT_EQ(page->GetSelectedText(), "");
  page->SelectRange(1, 3);
  TBitmap canvas = Canvas(*page);
  EXPECT_NE(page->Render(canvas.Canvas(), Rect(0, 0, 200, 300)), 0);
  EXPECT_TRUE(page->Selection(0).empty());
}

TEST_F(BadAnswersTest, EndlessAreaCountIsBounded) {
  TPluginPage2* page = Page(5);  // claims 2^31 - 1 areas, has 3
  EXPECT_EQ(page->GetLinkAreas().Count(), 2);
}

}  // namespace
