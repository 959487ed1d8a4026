// The page view under the mouse: panning, the rubber band with the selection
// it makes and copies, and link areas outlined under the pointer and run by a
// click. The fake page 1 at 50 % (2 pixels per mm, 200 x 300, centred):
// "Page 1" on y 20..31 and "Стр. text" on y 36..47 from x 20, one character
// every 6 pixels; a link rectangle over x 20..59, y 80..99 ("goto\n2") and
// an L-shaped link over x 80..119, y 80..99 and x 80..99, y 100..139 ("web").
#include <gtest/gtest.h>

#include <QClipboard>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QGuiApplication>

#include "PageViewTest.h"
#include "platform/Clipboard.h"
#include "platform/Cp1251.h"
#include "platform/KeyboardLayout.h"
#include "platform/StrUtils.h"
#include "viewer/Plugin/PluginPage2.h"

namespace {

class PageViewMouseTest : public PageViewTest {
 protected:
  void SetUp() override {
    PageViewTest::SetUp();
    ShowPage();
    view->SetZoom(50);
    ASSERT_EQ(view->Width(), 200);
    view->OnLinkExecute = [this](TObject*, TPluginLinkInfo* info) { links.push_back(info->GetText()); };
  }

  void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers atPress = {},
            Qt::KeyboardModifiers atRelease = {}) {
    QTest::mousePress(view, Qt::LeftButton, atPress, from);
    QTest::mouseMove(view, to);
    QTest::mouseRelease(view, Qt::LeftButton, atRelease, to);
  }

  // A move without a button goes through the pointer's position, and Qt sends
  // nothing when that does not change: moves with a button held leave it
  // behind. So the pointer goes somewhere else first.
  void Hover(QPoint at) {
    QTest::mouseMove(view, kOffLinks + QPoint(1, 1));
    QTest::mouseMove(view, at);
  }

  void ClickAt(QPoint at) {
    Hover(at);
    QTest::mousePress(view, Qt::LeftButton, {}, at);
    QTest::mouseRelease(view, Qt::LeftButton, {}, at);
  }

  void UsePanning() {
    view->AllowPanngin = true;
    view->AllowMouseSelect = false;
  }

  static constexpr QPoint kOnRectLink{40, 90};
  static constexpr QPoint kOnPolygonLink{90, 90};
  // Inside the L's bounding rectangle, in its notch.
  static constexpr QPoint kInTheNotch{110, 120};
  static constexpr QPoint kOffLinks{150, 250};

  std::vector<std::string> links;
};

using PageViewPanningTest = PageViewTest;

// --- Panning ---

TEST_F(PageViewPanningTest, TheDraggedPageFollowsThePointerWithoutOpeningAGap) {
  ShowPage();  // 400 x 600 at (120, -120): centred across, taller than the client
  view->AllowPanngin = true;
  view->AllowMouseSelect = false;
  QTest::mousePress(view, Qt::LeftButton, {}, QPoint(200, 300));
  EXPECT_EQ(view->cursor().shape(), Qt::ClosedHandCursor);
  QTest::mouseMove(view, QPoint(230, 350));
  // Down by 50; across it stays centred.
  EXPECT_EQ(view->Top(), -70);
  EXPECT_EQ(view->Left(), 120);
  // The pointer keeps its place on the page; 100 further would open a gap above.
  QTest::mouseMove(view, QPoint(200, 400));
  EXPECT_EQ(view->Top(), 0);
  QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(200, 400));
  EXPECT_EQ(view->cursor().shape(), Qt::ArrowCursor);
  // Released: moving no longer drags (two moves, so the pointer surely moves).
  QTest::mouseMove(view, QPoint(100, 100));
  QTest::mouseMove(view, QPoint(200, 200));
  EXPECT_EQ(view->Top(), 0);
}

// --- Rubber band and selection ---

TEST_F(PageViewMouseTest, TheRubberBandInvertsItsPixelsEdgesIncluded) {
  const QImage before = Shot();
  QTest::mousePress(view, Qt::LeftButton, {}, QPoint(30, 50));
  QTest::mouseMove(view, QPoint(10, 25));
  ASSERT_TRUE(view->MouseSelecting());
  EXPECT_EQ(view->cursor().shape(), Qt::IBeamCursor);
  const QImage band = Shot();
  QDir().mkpath(VIEWER_RENDER_DIR);
  band.save(QString(VIEWER_RENDER_DIR) + "/page_view_rubber_band.png");
  for (const QPoint p : {QPoint(10, 25), QPoint(30, 50), QPoint(20, 40), QPoint(10, 50), QPoint(30, 25)})
    EXPECT_EQ(band.pixel(p), before.pixel(p) ^ 0x00FFFFFFu) << p.x() << "," << p.y();
  for (const QPoint p : {QPoint(9, 25), QPoint(31, 50), QPoint(20, 24), QPoint(20, 51)})
    EXPECT_EQ(band.pixel(p), before.pixel(p)) << p.x() << "," << p.y();
  QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(10, 25));
  EXPECT_FALSE(view->MouseSelecting());
  // The band is gone; the page below the selection shows it inverted instead.
  const QImage after = Shot();
  EXPECT_EQ(after.pixel(12, 50), before.pixel(12, 50));
  EXPECT_EQ(At(after, 24, 24), kInk);
  after.save(QString(VIEWER_RENDER_DIR) + "/page_view_selection.png");
}

TEST_F(PageViewMouseTest, ABandSelectsTheCharactersItMeetsAndCopiesThem) {
  SetClipboardText("old");
  Drag(QPoint(18, 18), QPoint(40, 30));
  EXPECT_EQ(view->GetSelectedText(), "Page");
  EXPECT_EQ(ClipboardText(), "Page");
  // The selected run is drawn inverted over the page: "Page" spans x 20..42.
  const QImage shot = Shot();
  EXPECT_EQ(At(shot, 22, 25), kInk);
  EXPECT_EQ(At(shot, 41, 29), kInk);
  EXPECT_EQ(At(shot, 50, 25), kPaper);
  EXPECT_EQ(view->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(PageViewMouseTest, CyrillicTextReachesTheClipboardAsUnicodeAndTheLayoutComesBack) {
  DeactivateRussianLayout();
  Drag(QPoint(18, 38), QPoint(40, 46));
  EXPECT_EQ(view->GetSelectedText(), "Стр."_cp);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("Стр."));
  EXPECT_FALSE(IsRussianLayoutActive());
  // A learner who had the Russian layout on keeps it.
  ActivateKeyboardLayout("00000419");
  Drag(QPoint(18, 18), QPoint(40, 30));
  EXPECT_TRUE(IsRussianLayoutActive());
  DeactivateRussianLayout();
}

TEST_F(PageViewMouseTest, ShiftAddsToTheSelectionAndWithoutItTheBandReplacesIt) {
  Drag(QPoint(18, 18), QPoint(40, 30));
  Drag(QPoint(18, 38), QPoint(40, 46), Qt::ShiftModifier, Qt::ShiftModifier);
  EXPECT_EQ(view->GetSelectedText(),
            "Page"
            "Стр."_cp);
  EXPECT_EQ(ClipboardText(),
            "Page"
            "Стр."_cp);
  Drag(QPoint(18, 38), QPoint(40, 46));
  EXPECT_EQ(view->GetSelectedText(), "Стр."_cp);
}

TEST_F(PageViewMouseTest, APlainClickClearsTheSelectionButKeepsTheClipboard) {
  Drag(QPoint(18, 18), QPoint(40, 30));
  SetClipboardText("kept");
  ClickAt(kOffLinks);
  EXPECT_EQ(view->GetSelectedText(), "");
  EXPECT_EQ(ClipboardText(), "kept");
}

TEST_F(PageViewMouseTest, CtrlSwapsPanningForSelectingForThatPressOnly) {
  UsePanning();
  const int top = view->Top();
  QTest::mousePress(view, Qt::LeftButton, Qt::ControlModifier, QPoint(18, 18));
  QTest::mouseMove(view, QPoint(40, 30));
  EXPECT_TRUE(view->MouseSelecting());
  // Ctrl let go before the button.
  QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(40, 30));
  EXPECT_EQ(view->GetSelectedText(), "Page");
  EXPECT_EQ(view->Top(), top);
  EXPECT_TRUE(view->AllowPanngin);
  EXPECT_FALSE(view->AllowMouseSelect);
}

TEST_F(PageViewMouseTest, APressCutOffByTheWindowLosingActivationEndsWithItsCtrlSwap) {
  UsePanning();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  QTest::mousePress(view, Qt::LeftButton, Qt::ControlModifier, QPoint(18, 18));
  QTest::mouseMove(view, QPoint(40, 30));
  ASSERT_TRUE(view->MouseSelecting());
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  EXPECT_FALSE(view->MouseSelecting());
  EXPECT_TRUE(view->AllowPanngin);
  EXPECT_FALSE(view->AllowMouseSelect);
  // A release that still arrives selects nothing and swaps nothing back.
  QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(40, 30));
  EXPECT_EQ(view->GetSelectedText(), "");
  EXPECT_TRUE(view->AllowPanngin);
  EXPECT_FALSE(view->AllowMouseSelect);
}

// --- Links ---

TEST_F(PageViewMouseTest, TheLinkUnderThePointerIsOutlinedInBlue) {
  Hover(kOnRectLink);
  ASSERT_EQ(view->OutlinedLinks().Count(), 1);
  EXPECT_EQ(view->cursor().shape(), Qt::PointingHandCursor);
  const QImage shot = Shot();
  // The corners (10, 40) and (30, 50) mm are the pixels (20, 80) and (60, 100).
  EXPECT_EQ(At(shot, 20, 90), clBlue);
  EXPECT_EQ(At(shot, 40, 80), clBlue);
  EXPECT_EQ(At(shot, 60, 90), clBlue);
  EXPECT_EQ(At(shot, 40, 100), clBlue);
  EXPECT_EQ(At(shot, 40, 90), kPaper);
  EXPECT_EQ(At(shot, 61, 90), kPaper);
  QDir().mkpath(VIEWER_RENDER_DIR);
  shot.save(QString(VIEWER_RENDER_DIR) + "/page_view_link_outline.png");
}

TEST_F(PageViewMouseTest, MovingFromOneLinkIntoAnotherMovesTheOutline) {
  Hover(kOnRectLink);
  TPluginLinkArea* first = view->OutlinedLinks().Items(0);
  QTest::mouseMove(view, kOnRectLink + QPoint(4, 2));
  EXPECT_EQ(view->OutlinedLinks().Items(0), first);

  QTest::mouseMove(view, kOnPolygonLink);
  ASSERT_EQ(view->OutlinedLinks().Count(), 1);
  EXPECT_NE(view->OutlinedLinks().Items(0), first);
  const QImage shot = Shot();
  EXPECT_EQ(At(shot, 20, 90), kPaper);
  EXPECT_EQ(At(shot, 80, 120), clBlue);
  EXPECT_EQ(At(shot, 110, 100), clBlue);

  // The L's notch lies in its bounding rectangle but not in the L.
  QTest::mouseMove(view, kInTheNotch);
  EXPECT_EQ(view->OutlinedLinks().Count(), 0);
  EXPECT_EQ(view->cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(At(Shot(), 80, 120), kPaper);
}

TEST_F(PageViewMouseTest, AClickOnALinkRunsIt) {
  ClickAt(kOnRectLink);
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(links[0], "goto\n2");
  ClickAt(kOffLinks);
  EXPECT_EQ(links.size(), 1u);
}

TEST_F(PageViewMouseTest, ALinkIsRunOnlyWhenReleasedOverIt) {
  UsePanning();
  Hover(kOnRectLink);
  QTest::mousePress(view, Qt::LeftButton, {}, kOnRectLink);
  QTest::mouseMove(view, kOffLinks);
  EXPECT_EQ(view->OutlinedLinks().Count(), 0);
  QTest::mouseRelease(view, Qt::LeftButton, {}, kOffLinks);
  EXPECT_TRUE(links.empty());

  Hover(kOnRectLink);
  QTest::mousePress(view, Qt::LeftButton, {}, kOnRectLink);
  QTest::mouseMove(view, kOffLinks);
  // While held, only the pressed link lights up again.
  QTest::mouseMove(view, kOnPolygonLink);
  EXPECT_EQ(view->OutlinedLinks().Count(), 0);
  QTest::mouseMove(view, kOnRectLink + QPoint(6, 0));
  EXPECT_EQ(view->OutlinedLinks().Count(), 1);
  QTest::mouseRelease(view, Qt::LeftButton, {}, kOnRectLink + QPoint(6, 0));
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(links[0], "goto\n2");
}

TEST_F(PageViewMouseTest, InSelectionModeADraggedPressRunsNoLink) {
  Hover(kOnRectLink);
  Drag(kOnRectLink, kOnRectLink + QPoint(4, 0));
  EXPECT_TRUE(links.empty());
}

TEST_F(PageViewMouseTest, AFailingLinkIsReportedAndLaterLinksStillRun) {
  int calls = 0;
  view->OnLinkExecute = [&](TObject*, TPluginLinkInfo*) {
    if (++calls == 1) throw Exception("cannot open that");
  };
  ClickAt(kOnRectLink);
  QCoreApplication::processEvents();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "cannot open that");
  ClickAt(kOnPolygonLink);
  EXPECT_EQ(calls, 2);
}

TEST_F(PageViewMouseTest, AHandlerThatChangesThePageGetsALinkThatOutlivesIt) {
  std::string text;
  view->OnLinkExecute = [&](TObject*, TPluginLinkInfo* info) {
    view->SetPageIndex(2);  // frees page 1 with its link areas
    text = info->GetText() + "|" + std::to_string(info->GetArgInt(1));
  };
  ClickAt(kOnRectLink);
  EXPECT_EQ(text, "goto\n2|2");
  EXPECT_EQ(view->Page()->PageNumber(), 2);
  EXPECT_EQ(view->OutlinedLinks().Count(), 0);
}

TEST_F(PageViewMouseTest, DeactivatingForgetsTheOutlinedLinks) {
  Hover(kOnRectLink);
  ASSERT_EQ(view->OutlinedLinks().Count(), 1);
  view->SetActive(false);
  EXPECT_EQ(view->OutlinedLinks().Count(), 0);
  QTest::mouseMove(view, kOnPolygonLink);
  EXPECT_EQ(view->OutlinedLinks().Count(), 0);
}

TEST(NormalizeRectTest, OrdersTheCorners) {
  TRect r = Rect(30, 50, 10, 25);
  NormalizeRect(r);
  EXPECT_EQ(r, Rect(10, 25, 30, 50));
}

}  // namespace
