// Comma places: the size, the comma the learner puts or takes, the blink of
// the focused box, and the check's crossed-out and missing commas.
#include <gtest/gtest.h>

#include "MarkFixtures.h"
#include "exercise/RLComma.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "platform/Timer.h"

namespace {

class CommaTest : public ::testing::Test {
 protected:
  std::vector<TRLComma*> Boxes(const std::string& markup) { return page_.Parse<TRLComma>(markup); }
  TRLComma* Box(const std::string& attrs = "") {
    return page_.ParseOne<TRLComma>("Мама<comma " + attrs + "> папа"_cp);
  }
  static void Click(TRLComma* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(2, 2)); }
  // The left edge of the frame, stretched from the skin's left column.
  static bool SkinShown(TRLComma& box) {
    return Painted(box).Pixel(0, box.Height() / 2) == box.Skin.Pixel(0, box.Skin.Height() / 2);
  }
  static int CountInk(const TBitmap& painted, const std::function<bool(std::uint32_t)>& test) {
    return CountWhere(painted, Rect(0, 0, painted.Width(), painted.Height()), test);
  }

  MarkPage page_;
};

}  // namespace

TEST_F(CommaTest, SizedByTheCommaAndTheSkinMargins) {
  TRLComma* box = Box();
  ASSERT_NE(box, nullptr);
  const TFont& font = box->Font();
  EXPECT_EQ(box->Width(), TextWidth(font, ",") + box->MarginLeft + box->MarginRight);
  EXPECT_EQ(box->Height(), TextHeight(font, ",") / 2 + box->MarginTop + box->MarginBottom);
  EXPECT_EQ(box->MarginLeft, 4);
  // Glued to the word before it, so the two never part at a line's end.
  EXPECT_TRUE(box->Glued);
}

TEST_F(CommaTest, AttributesAndTheirErrors) {
  const auto boxes = Boxes("<comma> <comma comma=1 answer=1> <comma answer=1>");
  EXPECT_EQ(boxes[0]->Comma, 0);
  EXPECT_EQ(boxes[1]->Comma, 1);
  EXPECT_EQ(boxes[1]->InitialComma, 1);
  EXPECT_EQ(boxes[2]->Answer, 1);
  FreeChildren(&page_.Parser());
  EXPECT_EQ(ExceptionMessage([&] { Box("comma=да"_cp); }), "Integer assumed, but \"да\" found."_cp);
}

TEST_F(CommaTest, RightWhileTheCommaEqualsTheAnswer) {
  const auto boxes = Boxes("<comma> <comma comma=1 answer=1>");
  CheckOnlyScoreChildren(&page_.Parser());
  EXPECT_EQ(boxes[0]->Score, 1);
  EXPECT_EQ(boxes[1]->Score, 1);
  Click(boxes[0]);
  Click(boxes[1]);
  EXPECT_EQ(boxes[0]->Comma, 1);
  EXPECT_EQ(boxes[1]->Comma, 0);
  CheckChildren(&page_.Parser());
  EXPECT_EQ(SumScore(&page_.Parser()), 0);
  EXPECT_EQ(SumMaxScore(&page_.Parser()), 2);
  EXPECT_TRUE(boxes[0]->ErrorShown && boxes[1]->ErrorShown);
  // Reset goes back to the markup's comma, not to an empty box.
  ResetChildren(&page_.Parser());
  EXPECT_EQ(boxes[0]->Comma, 0);
  EXPECT_EQ(boxes[1]->Comma, 1);
  EXPECT_FALSE(boxes[1]->ErrorShown);
}

TEST_F(CommaTest, ThePutCommaStandsInTheBox) {
  TRLComma* box = Box("comma=1");
  const TBitmap painted = Painted(*box);
  const auto ink = [](std::uint32_t p) { return PixelChannel(p, 16) < 80 && PixelChannel(p, 8) < 80; };
  const int inside =
      CountWhere(painted, Rect(box->MarginLeft, 0, box->Width() - box->MarginRight, box->Height()), ink);
  EXPECT_GT(inside, 0);
  EXPECT_EQ(CountWhere(painted, Rect(0, 0, box->Width(), box->Height()), IsRed), 0);
  box->Comma = 0;
  EXPECT_EQ(CountWhere(Painted(*box), Rect(0, 0, box->Width(), box->Height()), ink), 0);
}

TEST_F(CommaTest, ACommaThatDoesNotBelongIsCrossedOut) {
  TRLComma* box = Box("comma=1");
  box->Check();
  const TBitmap painted = Painted(*box);
  const int w = box->Width(), h = box->Height();
  const auto redNear = [&](int x, int y) {
    return CountWhere(painted, Rect(x - 1, y, x + 2, y + 1), IsRed) > 0;
  };
  // Both diagonals, from corner to corner; the comma itself is not drawn.
  for (int y : {h / 4, h / 2, 3 * h / 4}) {
    EXPECT_TRUE(redNear(w * y / h, y)) << y;
    EXPECT_TRUE(redNear(w - w * y / h, y)) << y;
  }
  EXPECT_FALSE(IsRed(painted.Pixel(w / 2, 1)));
  EXPECT_EQ(CountWhere(painted, Rect(0, 0, w, h), [](auto p) { return PixelChannel(p, 16) < 60; }), 0);
}

TEST_F(CommaTest, AMissingCommaIsALargeRedCommaOnTheBottomEdge) {
  const auto boxes = Boxes("<comma answer=1> <comma comma=1>");
  boxes[0]->Check();
  const TBitmap missing = Painted(*boxes[0]);
  const int h = boxes[0]->Height();
  int top = h;
  for (int y = h - 1; y >= 0; --y)
    if (CountWhere(missing, Rect(0, y, missing.Width(), y + 1), IsRed) > 0) top = y;
  // In the lower half, standing on the bottom edge...
  EXPECT_GT(top, h / 3);
  EXPECT_GT(CountWhere(missing, Rect(0, h - 3, missing.Width(), h), IsRed), 0);
  // ...and much larger than a comma of the text.
  const int put = CountInk(Painted(*boxes[1]), [](auto p) { return PixelChannel(p, 16) < 80; });
  EXPECT_GT(CountInk(missing, IsRed), 2 * put);
}

TEST_F(CommaTest, AClickOnAMarkedBoxClearsTheMarkAndTurnsTheComma) {
  const auto boxes = Boxes("<comma comma=1> <comma answer=1>");
  ASSERT_TRUE(page_.Show());
  int mouseDowns = 0;
  boxes[0]->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++mouseDowns; };
  CheckChildren(&page_.Parser());
  // The crossed-out comma disappears...
  Click(boxes[0]);
  EXPECT_EQ(mouseDowns, 1);
  EXPECT_FALSE(boxes[0]->ErrorShown);
  EXPECT_EQ(boxes[0]->Comma, 0);
  EXPECT_TRUE(boxes[0]->Focused());
  // ...and the missing one appears.
  Click(boxes[1]);
  EXPECT_FALSE(boxes[1]->ErrorShown);
  EXPECT_EQ(boxes[1]->Comma, 1);
  // Also on the box that keeps the focus, and by Space.
  CheckChildren(&page_.Parser());
  ASSERT_TRUE(boxes[1]->Focused());
  Click(boxes[1]);
  EXPECT_FALSE(boxes[1]->ErrorShown);
  EXPECT_EQ(boxes[1]->Comma, 0);
  boxes[1]->Check();
  QTest::keyClick(boxes[1], Qt::Key_Space);
  EXPECT_FALSE(boxes[1]->ErrorShown);
  EXPECT_EQ(boxes[1]->Comma, 1);
  QTest::keyClick(boxes[1], Qt::Key_Left);
  EXPECT_TRUE(boxes[0]->Focused());
}

TEST_F(CommaTest, TheFocusedBoxBlinksAndStopsSteady) {
  const auto boxes = Boxes("<comma> <comma>");
  ASSERT_TRUE(page_.Show());
  TTimer& timer = boxes[0]->BlinkTimer();
  EXPECT_EQ(timer.Interval(), 500);
  EXPECT_FALSE(timer.Enabled());
  EXPECT_TRUE(SkinShown(*boxes[0]));
  boxes[0]->SetFocus();
  EXPECT_TRUE(timer.Enabled());
  timer.OnTimer(&timer);
  EXPECT_FALSE(boxes[0]->SkinOn);
  // The box without its skin in this phase shows the page under it.
  EXPECT_TRUE(IsPaper(Painted(*boxes[0]).Pixel(0, 0)));
  // Leaving the box in its dark phase shows the skin steadily again.
  QTest::keyClick(boxes[0], Qt::Key_Right);
  ASSERT_TRUE(boxes[1]->Focused());
  EXPECT_FALSE(timer.Enabled());
  EXPECT_TRUE(boxes[0]->SkinOn);
  EXPECT_TRUE(SkinShown(*boxes[0]));
  EXPECT_TRUE(boxes[1]->BlinkTimer().Enabled());
}
