// The image scroll bar: thumb geometry and pixels, position clamping, track
// clicks, dragging, arrows with auto-repeat, and painting suspended by NoPaint.
#include <gtest/gtest.h>

#include <QTest>

#include "Fixtures.h"
#include "platform/Forms.h"
#include "platform/Timer.h"
#include "widgets/ImageScrollBar.h"

namespace {

constexpr int kBarLeft = 100, kBarTop = 30, kBarHeight = 400;

}  // namespace

class ImageScrollBarTest : public ::testing::Test {
 protected:
  ImageScrollBarTest() {
    form.SetBounds(0, 0, 300, 500);
    form.SetColor(clSilver);
    bar = new TImageScrollBar(&form);
    bar->SetParent(&form);
    bar->LoadSkin(skin.Path() + "imgs");
    bar->SetColor(clWhite);
    bar->PlaceButtons(Rect(kBarLeft, kBarTop - TestSkin::UpHeight, kBarLeft + TestSkin::Width,
                           kBarTop + kBarHeight + TestSkin::DownHeight));
    bar->SetScrollerHeight(0.25f);
    bar->OnChange = [this](TObject* sender) {
      EXPECT_EQ(sender, bar);
      changes.push_back(bar->ScrollerPos());
    };
    form.Show();
  }
  TSkinnedFolder skin;
  TForm form;
  TImageScrollBar* bar;
  std::vector<float> changes;
};

TEST_F(ImageScrollBarTest, SkinAndPlacementPutTheArrowsAboveAndBelow) {
  EXPECT_EQ(bar->RightWidth(), TestSkin::Width);
  EXPECT_EQ(bar->BoundsRect(), Bounds(kBarLeft, kBarTop, TestSkin::Width, kBarHeight));
  EXPECT_EQ(bar->UpButton()->BoundsRect(),
            Bounds(kBarLeft, kBarTop - TestSkin::UpHeight, TestSkin::Width, TestSkin::UpHeight));
  EXPECT_EQ(bar->DownButton()->BoundsRect(),
            Bounds(kBarLeft, kBarTop + kBarHeight, TestSkin::Width, TestSkin::DownHeight));
  EXPECT_EQ(bar->UpButton()->Parent(), &form);
  bar->SetLeft(150);  // a move alone takes the arrows along
  EXPECT_EQ(bar->DownButton()->Left(), 150);
}

TEST_F(ImageScrollBarTest, ThumbIsAFractionOfTheHeightButNeverShorterThanItsEnds) {
  EXPECT_EQ(bar->ThumbLength(), 100);
  bar->SetScrollerPos(0.5f);
  EXPECT_EQ(bar->ThumbTop(), 150);
  bar->SetScrollerHeight(0.01f);
  EXPECT_EQ(bar->ThumbLength(), 2 * TestSkin::PieceHeight);
}

TEST_F(ImageScrollBarTest, PaintsTrackAndThreePieceThumb) {
  bar->SetScrollerPos(0.5f);
  const TBitmap shown = Grab(*bar);
  const int lineLeft = (TestSkin::Width - TestSkin::LineWidth) / 2;
  EXPECT_EQ(shown.Pixel(0, 149), 0xFFFFFFFFu);  // the fill beside the track
  EXPECT_TRUE(NearColour(shown.Pixel(lineLeft, 149), 0xFF000000u));
  EXPECT_EQ(shown.Pixel(lineLeft - 1, 149), 0xFFFFFFFFu);
  EXPECT_EQ(shown.Pixel(0, 150), TestSkin::Top);
  EXPECT_EQ(shown.Pixel(16, 159), TestSkin::Top);
  EXPECT_EQ(shown.Pixel(0, 160), TestSkin::Middle);
  EXPECT_EQ(shown.Pixel(16, 239), TestSkin::Middle);
  EXPECT_EQ(shown.Pixel(0, 240), TestSkin::Bottom);
  EXPECT_EQ(shown.Pixel(16, 249), TestSkin::Bottom);
  EXPECT_EQ(shown.Pixel(0, 250), 0xFFFFFFFFu);
}

TEST_F(ImageScrollBarTest, PositionIsClampedAndEveryAssignmentNotifies) {
  bar->SetScrollerPos(-0.3f);
  bar->SetScrollerPos(1.7f);
  bar->SetScrollerPos(1.0f);
  EXPECT_EQ(changes, (std::vector<float>{0.0f, 1.0f, 1.0f}));
}

TEST_F(ImageScrollBarTest, TrackClickCentresTheThumbOnTheClick) {
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(8, 300));
  EXPECT_FLOAT_EQ(bar->ScrollerPos(), (300 - 50) / 300.0f);
  EXPECT_EQ(bar->ThumbTop(), 250);
  EXPECT_EQ(Grab(*bar).Pixel(0, 250), TestSkin::Top);
}

TEST_F(ImageScrollBarTest, DraggingTheThumbFollowsTheMouse) {
  QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(8, 40));  // 40 below the thumb's top
  QTest::mouseMove(bar, QPoint(30, 190));
  EXPECT_FLOAT_EQ(bar->ScrollerPos(), 0.5f);
  QTest::mouseMove(bar, QPoint(8, 600));
  EXPECT_FLOAT_EQ(bar->ScrollerPos(), 1.0f);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(8, 600));
  QTest::mouseMove(bar, QPoint(8, 100));
  EXPECT_FLOAT_EQ(bar->ScrollerPos(), 1.0f);
}

TEST_F(ImageScrollBarTest, MovingTheThumbRedrawsOnlyWhatChanged) {
  Grab(*bar);
  for (float pos : {0.1f, 0.15f, 0.9f, 0.85f, 0.0f}) {
    bar->SetScrollerPos(pos);
    const TBitmap shown = Grab(*bar);
    const int top = bar->ThumbTop();
    for (int y = 0; y < kBarHeight; ++y) {
      const bool inThumb = y >= top && y < top + 100;
      EXPECT_EQ(shown.Pixel(0, y) == 0xFFFFFFFFu, !inThumb) << "pos " << pos << " row " << y;
    }
  }
}

TEST_F(ImageScrollBarTest, ArrowClickStepsOneAmount) {
  bar->ScrollAmount = 0.1f;
  QTest::mouseClick(bar->DownButton(), Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseClick(bar->DownButton(), Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseClick(bar->UpButton(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FLOAT_EQ(bar->ScrollerPos(), 0.1f);
}

TEST_F(ImageScrollBarTest, HeldArrowRepeatsPausesOffItAndResumesOnIt) {
  bar->ScrollAmount = 0.01f;
  TImageButton* down = bar->DownButton();
  // The repeat's ticks are counted, so the pause is watched over ticks, not a guessed time.
  int ticks = 0;
  const TNotifyEvent tick = bar->DownRepeatTimer()->OnTimer;
  bar->DownRepeatTimer()->OnTimer = [&ticks, tick](TObject* sender) {
    ++ticks;
    tick(sender);
  };
  QTest::mousePress(down, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(bar->DownRepeatTimer()->Enabled());
  EXPECT_EQ(bar->DownRepeatTimer()->Interval(), 100);
  ASSERT_TRUE(QTest::qWaitFor([&] { return changes.size() >= 2; }, 5000));
  EXPECT_FLOAT_EQ(changes[1] - changes[0], 0.02f);

  QTest::mouseMove(down, QPoint(5, 60));  // off the arrow, still held
  const float paused = bar->ScrollerPos();
  const int pausedAt = ticks;
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= pausedAt + 3; }, 5000));
  EXPECT_FLOAT_EQ(bar->ScrollerPos(), paused);

  QTest::mouseMove(down, QPoint(6, 6));
  ASSERT_TRUE(QTest::qWaitFor([&] { return bar->ScrollerPos() > paused; }, 5000));

  QTest::mouseRelease(down, Qt::LeftButton, {}, QPoint(6, 6));
  EXPECT_FALSE(bar->DownRepeatTimer()->Enabled());
}

TEST_F(ImageScrollBarTest, HidingTheBarDuringAPressStopsRepeatAndDrag) {
  QTest::mousePress(bar->UpButton(), Qt::LeftButton, {}, QPoint(5, 5));
  bar->Hide();
  EXPECT_FALSE(bar->UpButton()->Visible());
  EXPECT_FALSE(bar->UpRepeatTimer()->Enabled());

  bar->Show();
  QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(8, 10));  // on the thumb
  bar->Hide();
  bar->Show();
  QTest::mouseMove(bar, QPoint(8, 200));
  EXPECT_FLOAT_EQ(bar->ScrollerPos(), 0.0f);
}

TEST_F(ImageScrollBarTest, NoPaintKeepsTheScreenButAPositionChangeStillMovesTheThumb) {
  Grab(*bar);
  bar->NoPaint = true;
  bar->SetScrollerHeight(0.5f);  // a full repaint would show a 200-row thumb
  TBitmap shown = Grab(*bar);
  EXPECT_EQ(shown.Pixel(0, 150), 0xFFFFFFFFu);
  EXPECT_EQ(shown.Pixel(0, 99), TestSkin::Bottom);
  bar->SetScrollerPos(1.0f);
  shown = Grab(*bar);
  EXPECT_EQ(shown.Pixel(0, 200), TestSkin::Top);
  EXPECT_EQ(shown.Pixel(0, 50), 0xFFFFFFFFu);
  bar->NoPaint = false;
  EXPECT_EQ(Grab(*bar).Pixel(0, 399), TestSkin::Bottom);
}
