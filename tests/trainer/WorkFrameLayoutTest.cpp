// Where the exercise screen puts its parts: the work rectangle's row, the
// exercise area, the buttons, the labels, the contents column and the hint panel.
#include <gtest/gtest.h>

#include <QTest>

#include "TrainerFixtures.h"
#include "exercise/ExercisePage.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "trainer/UnDrawPanel.h"
#include "widgets/ImageButton.h"
#include "widgets/ImageScrollBar.h"
#include "widgets/ImageScrollBox.h"

namespace {

TPoint TopLeft(const TControl& c) {
  return Point(c.Left(), c.Top());
}

TLabel* AddContentsLabel(TWorkFrame& frame, const std::string& caption) {
  auto* label = new TLabel(&frame);
  TFont font = frame.lLabel->Font();
  label->SetFont(font);
  label->SetCaption(caption);
  frame.ContentsLabels.push_back(label);
  return label;
}

}  // namespace

TEST(WorkFrameLayout, RowZeroPlacesEveryPart) {
  TWorkScreen screen(1024, 768);
  TWorkFrame& f = screen.Frame();
  EXPECT_EQ(f.LayoutIndex, 0);
  EXPECT_EQ(f.WorkRect, Rect(48, 52, 970, 742));
  ASSERT_EQ(f.pHint->Width(), 346);
  EXPECT_EQ(f.Panel1->BoundsRect(), Bounds(78, 192, 526, 442));
  EXPECT_EQ(f.Panel3->BoundsRect(), Bounds(78, 112, 526, 50));
  EXPECT_EQ(TopLeft(*f.PrevButton), Point(78, 682));
  EXPECT_EQ(TopLeft(*f.ResetButton), Point(140, 682));
  EXPECT_EQ(TopLeft(*f.NextButton), Point(542, 682));
  EXPECT_EQ(TopLeft(*f.CheckButton), Point(484, 674));
  EXPECT_EQ(TopLeft(*f.HintButton), Point(422, 682));
  // (52 - 61) div 2 truncates to -4.
  EXPECT_EQ(TopLeft(*f.ShowButton), Point(360, 678));
  EXPECT_EQ(f.lCurrent->BoundsRect(), Bounds(78, 52, 526, 58));
  EXPECT_EQ(f.lLabel->Top(), 111);
  EXPECT_EQ(f.lLabel->Left() + f.lLabel->Width(), 970);
  EXPECT_EQ(f.pHint->Left(), 624);
  EXPECT_EQ(TopLeft(*f.lTaskLabel), Point(71, 52 + f.lLabel->Height() + 5));
}

TEST(WorkFrameLayout, LargerScreenUsesItsRowAndKeepsTheRectangleAtTheUpperLeft) {
  TWorkScreen screen(1920, 1200);
  TWorkFrame& f = screen.Frame();
  EXPECT_EQ(f.LayoutIndex, 4);
  EXPECT_EQ(f.Panel1->BoundsRect(), Bounds(227, 242, 1020 - 346 - 50, 862 - 242 - 68 - 40));
  // The next button's right edge is the exercise area's.
  EXPECT_EQ(f.NextButton->Left() + f.NextButton->Width(), f.Panel1->Left() + f.Panel1->Width());
  EXPECT_EQ(f.CheckButton->Top() + f.CheckButton->Height(), 862);
}

TEST(WorkFrameLayout, SpriteButtonsTakeTheirSheetsSizes) {
  TWorkScreen screen(1024, 768);
  TWorkFrame& f = screen.Frame();
  struct TCase {
    TImageButton2* Button;
    int W, H;
  };
  for (const TCase& c :
       {TCase{f.PrevButton, 62, 52}, TCase{f.NextButton, 62, 52}, TCase{f.ResetButton, 62, 52},
        TCase{f.CheckButton, 58, 68}, TCase{f.HintButton, 62, 52}, TCase{f.ShowButton, 62, 61}}) {
    EXPECT_EQ(c.Button->Width(), c.W);
    EXPECT_EQ(c.Button->Height(), c.H);
    EXPECT_EQ(c.Button->FrameWidth, c.W);
    EXPECT_EQ(c.Button->FrameHeight, c.H);
    // Four frames in the sheet: every state has its picture.
    TPoint origin;
    EXPECT_TRUE(c.Button->FrameOrigin(3, origin));
  }
}

TEST(WorkFrameLayout, ShowButtonIsOfferedOnlyOnTheHardLevel) {
  TWorkScreen screen(1024, 768);
  TWorkFrame& f = screen.Frame();
  EXPECT_FALSE(f.ShowButton->Visible());
  f.Hard = true;
  f.LayoutWorkFrame();
  EXPECT_TRUE(f.ShowButton->Visible());
}

TEST(WorkFrameLayout, ContentsLabelsStackInTheColumnRightOfTheArea) {
  TWorkScreen screen(1024, 768);
  TWorkFrame& f = screen.Frame();
  TLabel* first = AddContentsLabel(f, "1. Первое"_cp);
  TLabel* second = AddContentsLabel(
      f, "2-3. Второе упражнение с очень длинным названием, которое не помещается в одну строку"_cp);
  TLabel* third = AddContentsLabel(f, "Введение"_cp);
  f.LayoutWorkFrame();
  EXPECT_EQ(first->BoundsRect(), Bounds(654, 192, 326, first->Height()));
  EXPECT_EQ(first->Parent(), &f);
  EXPECT_TRUE(second->WordWrap());
  EXPECT_EQ(second->Top(), first->Top() + first->Height());
  EXPECT_EQ(third->Top(), second->Top() + second->Height());
  EXPECT_EQ(second->Height(), CalcTextRect(second->Font(), second->Caption(), 326, true).Height());
  // The long caption wraps, so it is taller than the one-line ones.
  EXPECT_GT(second->Height(), first->Height());
  // A label freed elsewhere is skipped, and the rest close up.
  delete second;
  f.LayoutWorkFrame();
  EXPECT_EQ(third->Top(), first->Top() + first->Height());
}

TEST(WorkFrameLayout, WideModeUsesTheWorkRectangleAndHidesTheContents) {
  TWorkScreen screen(1280, 1024);
  TWorkFrame& f = screen.Frame();
  EXPECT_EQ(FitWidth, 1170 - 30);  // the right edge, not a width
  TLabel* label = AddContentsLabel(f, "1. Первое"_cp);
  f.LayoutWorkFrame();
  ASSERT_TRUE(OnFitWindow);
  OnFitWindow(true);
  EXPECT_FALSE(label->Visible());
  OnFitWindow(false);
  EXPECT_TRUE(label->Visible());
}

TEST(WorkFrameLayout, EnsureLayoutActsOnlyWhenTheAreaHasMoved) {
  TWorkScreen screen(1024, 768);
  TWorkFrame& f = screen.Frame();
  const TBitmap marker(3, 3);
  f.BackImage->SetPicture(marker);
  f.EnsureLayout();
  EXPECT_EQ(f.BackImage->Picture().Width(), 3) << "recomposed although nothing moved";
  f.Panel1->SetBounds(60, 100, 800, 500);
  f.EnsureLayout();
  EXPECT_EQ(f.Panel1->BoundsRect(), Bounds(78, 192, 526, 442));
  EXPECT_EQ(f.BackImage->Picture().Width(), f.Width());
}

class WorkFrameHint : public ::testing::Test {
 protected:
  TWorkScreen screen_{1024, 768};
  TWorkFrame& f_ = screen_.Frame();

  void SetUp() override {
    f_.ComposeBackground();
    screen_.Host().Show();
  }
  void GiveHint(int height) {
    f_.pHintInner->Tag = 1;
    f_.pHintInner->SetHeight(height);
    f_.LayoutHint();
  }
  void ClickHintButton() {
    const QPoint centre(f_.HintButton->Left() + 31, f_.HintButton->Top() + 26);
    EXPECT_EQ(MouseAt(f_, centre, TMouseStep::Click), f_.HintButton);
  }
};

TEST_F(WorkFrameHint, WithoutHintTheButtonIsDisabledAndThePanelKeepsItsSize) {
  const TRect before = f_.pHint->BoundsRect();
  f_.pHintInner->Tag = 0;
  f_.LayoutHint();
  EXPECT_EQ(f_.HintButton->State(), TImageButton2::bsDisabled);
  EXPECT_EQ(f_.pHint->BoundsRect(), before);
  ClickHintButton();
  EXPECT_FALSE(f_.pHint->Visible());
}

TEST_F(WorkFrameHint, PanelGrowsUpwardsFromAboveTheBottom) {
  GiveHint(200);
  EXPECT_EQ(f_.HintButton->State(), TImageButton2::bsNormal);
  EXPECT_EQ(f_.pHintSpace->Height(), 244);
  EXPECT_EQ(f_.pHintScroll->Height(), 200);
  EXPECT_EQ(f_.pHint->BoundsRect(), Bounds(624, 742 - 344 - 40, 346, 344));
  EXPECT_FALSE(f_.pHintScroll->ScrollBar()->Visible());
}

TEST_F(WorkFrameHint, TallHintStopsAtTheAreaFrameAndScrolls) {
  GiveHint(2000);
  const int top = 52 + 117;
  const int height = 742 - 40 - top;
  EXPECT_EQ(f_.pHint->BoundsRect(), Bounds(624, top, 346, height));
  const int excess = (2044 + 100) - height;
  EXPECT_EQ(f_.pHintSpace->Height(), 2044 - excess);
  EXPECT_EQ(f_.pHintScroll->Height(), 2000 - excess);
  EXPECT_TRUE(f_.pHintScroll->ScrollBar()->Visible());
}

TEST_F(WorkFrameHint, HintButtonTogglesThePanel) {
  GiveHint(150);
  ASSERT_FALSE(f_.pHint->Visible());
  ClickHintButton();
  EXPECT_TRUE(f_.pHint->Visible());
  ClickHintButton();
  EXPECT_FALSE(f_.pHint->Visible());
}

TEST_F(WorkFrameHint, FrameIsTheBackgroundWithTopAndBottomPieces) {
  GiveHint(150);
  const TBitmap& frame = f_.iHint->Picture();
  ASSERT_EQ(frame.Width(), 346);
  ASSERT_EQ(frame.Height(), 294);
  const TBitmap& back = f_.BackImage->Picture();
  // Left of the pieces the screen's background shows unchanged.
  EXPECT_EQ(frame.Pixel(10, 2), back.Pixel(624 + 10, f_.pHint->Top() + 2));
  // Under the panel's middle the top piece is amber ($51B7F1), opaque.
  const std::uint32_t top = frame.Pixel(170, 2);
  EXPECT_NEAR(Channel(top, 16), 241, 2);
  EXPECT_NEAR(Channel(top, 8), 183, 2);
  EXPECT_NEAR(Channel(top, 0), 81, 2);
  // The bottom piece continues the panel's colour below it.
  EXPECT_NEAR(Channel(frame.Pixel(170, 5 + 194 + 3), 16), 241, 2);
}

TEST(WorkFrameHeader, HeaderPanelErasesOnlyWithATag) {
  TWorkScreen screen(1024, 768);
  TWorkFrame& f = screen.Frame();
  f.ComposeBackground();
  screen.Host().Show();
  f.Panel3->Tag = 0;
  const TPoint at = Point(f.Panel3->Left() + 200, f.Panel3->Top() + 25);
  EXPECT_EQ(Grab(f).Pixel(at.X, at.Y) & 0xFFFFFFu, f.BackImage->Picture().Pixel(at.X, at.Y) & 0xFFFFFFu);
  f.Panel3->Tag = 1;
  f.Panel3->Repaint();
  EXPECT_EQ(Grab(f).Pixel(at.X, at.Y) & 0xFFFFFFu, 0xF6EFE2u);
}
