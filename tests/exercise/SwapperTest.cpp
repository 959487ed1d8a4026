// The swapper: its two sections and button, the swap by a real click, the
// page brought to its top, and checks that count both sections.
#include <gtest/gtest.h>

#include "MarkFixtures.h"
#include "exercise/RLSwapper.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "widgets/AlphaBitmap.h"
#include "widgets/ImageScrollBar.h"
#include "widgets/ImageScrollBox.h"

namespace {

constexpr int OffSide = -1000;

class SwapperTest : public ::testing::Test {
 protected:
  TRLSwapper* Parse(const std::string& markup) { return page_.ParseOne<TRLSwapper>(markup); }
  static void ClickButton(TRLSwapper& swapper) {
    TRLButton* button = swapper.SwapButton();
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(button->Width() / 2, button->Height() / 2));
  }
  static bool FirstShown(const TRLSwapper& swapper) {
    return swapper.FirstSection()->Visible() && swapper.FirstSection()->Left() == 0 &&
           swapper.FirstSection()->Top() == 0 && !swapper.SecondSection()->Visible() &&
           swapper.SecondSection()->Left() == OffSide && swapper.SwapButton()->Visible() &&
           swapper.SwapButton()->Top() == swapper.FirstSection()->Height();
  }

  MarkPage page_;
};

}  // namespace

TEST_F(SwapperTest, TheFirstSectionStandsAboveItsButton) {
  TRLSwapper* swapper = Parse("<swapper <first Прочитайте текст.> <second <answer h=20>>>"_cp);
  ASSERT_NE(swapper, nullptr);
  EXPECT_EQ(swapper->Width(), page_.Parser().Width());
  EXPECT_TRUE(FirstShown(*swapper));
  EXPECT_EQ(swapper->FirstSection()->Width(), swapper->Width());
  // The button shows the swapper's own sheet: four frames in a column.
  const auto sheet = LoadAlphaBitmap(ArtworkScope::Imgs("swapper.png"), true);
  EXPECT_EQ(swapper->SwapButton()->Width(), sheet->Width());
  EXPECT_EQ(swapper->SwapButton()->Height(), sheet->Height() / 4);
  EXPECT_EQ(swapper->Height(), swapper->FirstSection()->Height() + swapper->SwapButton()->Height());
}

TEST_F(SwapperTest, ATallerSecondSectionSetsTheHeightFromTheStart) {
  TRLSwapper* swapper = Parse("<swapper <first <answer h=20>><second <answer h=200>>>");
  EXPECT_EQ(swapper->SecondSection()->Height(), 200);
  EXPECT_EQ(swapper->Height(), 200 + swapper->SwapButton()->Height());
}

TEST_F(SwapperTest, SectionsTakeTheFontAtTheTag) {
  TRLSwapper* swapper = Parse("<i><swapper <first слово><second слово>></i>"_cp);
  EXPECT_TRUE(swapper->FirstSection()->Controls(0)->Font().Style & fsItalic);
  EXPECT_TRUE(swapper->SecondSection()->Controls(0)->Font().Style & fsItalic);
}

TEST_F(SwapperTest, MissingOrMiswrittenSectionsAreReported) {
  const std::string message = "One of the sections of the \"swapper\" tag missing!";
  EXPECT_EQ(ExceptionMessage([&] { Parse("<swapper <first текст>>"_cp); }), message);
  FreeChildren(&page_.Parser());
  // Section names are read as written.
  EXPECT_EQ(ExceptionMessage([&] { Parse("<swapper <First текст><SECOND текст>>"_cp); }), message);
}

TEST_F(SwapperTest, ARepeatedSectionReplacesTheEarlierOne) {
  TRLSwapper* swapper = Parse("<swapper <first <answer h=10>><first <answer h=40>><second текст>>"_cp);
  int sections = 0;
  for (int i = 0; i < swapper->ControlCount(); ++i)
    sections += qobject_cast<TRLParser*>(swapper->Controls(i)) != nullptr;
  EXPECT_EQ(sections, 2);
  EXPECT_EQ(swapper->FirstSection()->Height(), 40);
}

TEST_F(SwapperTest, AClickOnTheButtonShowsTheSecondSection) {
  TRLSwapper* swapper = Parse("<swapper <first текст><second <answer h=20>>>"_cp);
  ASSERT_TRUE(page_.Show());
  const int height = swapper->Height();
  ClickButton(*swapper);
  EXPECT_FALSE(swapper->SwapButton()->Visible());
  EXPECT_FALSE(swapper->FirstSection()->Visible());
  EXPECT_EQ(swapper->FirstSection()->Left(), OffSide);
  EXPECT_TRUE(swapper->SecondSection()->Visible());
  EXPECT_EQ(swapper->SecondSection()->Left(), 0);
  EXPECT_EQ(swapper->SecondSection()->Top(), 0);
  EXPECT_EQ(swapper->Height(), height);
  swapper->Reset();
  EXPECT_TRUE(FirstShown(*swapper));
}

TEST_F(SwapperTest, BothSectionsCountWhicheverIsShown) {
  TRLSwapper* swapper = Parse("<swapper <first <answer right=0>><second <answer> <answer>>>");
  CheckChildren(&page_.Parser());
  EXPECT_EQ(swapper->Score, 2);
  EXPECT_EQ(swapper->MaxScore, 3);
  swapper->Swap();
  page_.Parser().CheckOnlyScore();
  EXPECT_EQ(page_.Parser().Score, 2);
  EXPECT_EQ(page_.Parser().MaxScore, 3);
}

TEST_F(SwapperTest, ResetPassesOnToBothSections) {
  TRLSwapper* swapper = Parse("<swapper <first <answer>><second <answer>>>");
  swapper->Swap();
  ResetChildren(&page_.Parser());
  for (TRLParser* section : {swapper->FirstSection(), swapper->SecondSection()})
    EXPECT_EQ(dynamic_cast<TFakeAnswer*>(section->Controls(0))->Resets, 1);
  EXPECT_TRUE(FirstShown(*swapper));
}

TEST_F(SwapperTest, TheButtonIsDrawnOverThePage) {
  TRLSwapper* swapper = Parse("<swapper <first текст><second текст>>"_cp);
  TRLButton& button = *swapper->SwapButton();
  // Frame 0 of the sheet blended over the page's colour.
  TBitmap expected(button.Width(), button.Height());
  expected.Canvas().Brush = TBrush{PageColor, TBrushStyle::bsSolid};
  expected.Canvas().FillRect(Rect(0, 0, button.Width(), button.Height()));
  AlphaBlend(expected, Rect(0, 0, button.Width(), button.Height()), button.Sheet,
             Rect(0, 0, button.FrameWidth, button.FrameHeight));
  const TBitmap painted = Painted(button);
  for (int y = 0; y < button.Height(); y += 3)
    for (int x = 0; x < button.Width(); x += 3)
      ASSERT_EQ(painted.Pixel(x, y), expected.Pixel(x, y)) << x << "," << y;
  // The face is opaque in the middle: no page colour shows through there.
  EXPECT_FALSE(IsPaper(painted.Pixel(button.Width() / 2, button.Height() / 2)));
}

// A page in the exercise area's scroll box, as the exercise screen builds it.
TEST(SwapperScroll, SwappingAndResettingBringThePageToItsTop) {
  TagTableScope tags;
  ArtworkScope artwork;
  TForm window(nullptr);
  window.SetBorderStyle(bsNone);
  window.SetBounds(0, 0, 500, 300);
  auto* box = new TImageScrollBox(&window);
  box->SetParent(&window);
  box->SetBounds(0, 0, 500, 300);
  auto* parser = new TRLParser(&window);
  parser->SetParent(box->ContentPanel());
  parser->SetBounds(0, 0, box->ContentPanel()->Width(), 10);
  std::string markup = "<swapper <first <answer h=80>><second <answer h=600>>>";
  parser->ParseParameters(markup);
  box->ContentPanel()->SetHeight(parser->Height());
  box->UpdateScrollBar();
  auto* swapper = qobject_cast<TRLSwapper*>(parser->Controls(0));
  ASSERT_NE(swapper, nullptr);
  window.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  box->ScrollBar()->SetScrollerPos(0.1f);
  ASSERT_LT(box->ContentPanel()->Top(), 0);
  TRLButton* button = swapper->SwapButton();
  ASSERT_GT(button->ClientOrigin().Y, 0) << "the button must stay in view to be clicked";
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(button->Width() / 2, button->Height() / 2));
  EXPECT_EQ(box->ScrollBar()->ScrollerPos(), 0.0f);
  EXPECT_EQ(box->ContentPanel()->Top(), 0);
  EXPECT_TRUE(swapper->SecondSection()->Visible());

  box->ScrollBar()->SetScrollerPos(1.0f);
  ResetChildren(parser);
  EXPECT_EQ(box->ContentPanel()->Top(), 0);
}
