// The prefix boundary: the word it shows, the bracket that follows a pressed
// pointer from letter middle to letter middle, and the check with its marks.
#include <gtest/gtest.h>

#include <QTest>

#include "ExerciseFixtures.h"
#include "exercise/RLPrefix.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"

namespace {

const std::uint32_t Blue = ColorToPixel(0xFF0000);
const std::uint32_t Red = ColorToPixel(0x0000FF);
const std::uint32_t Grey = ColorToPixel(0x808080);
const std::uint32_t Black = ColorToPixel(clBlack);

class PrefixTest : public ::testing::Test {
 protected:
  TRLPrefix* Prefix(const std::string& markup) {
    page_.Parse(markup);
    for (TRLControl* child : page_.Children())
      if (auto* prefix = qobject_cast<TRLPrefix*>(child)) return prefix;
    return nullptr;
  }
  TRLPrefix* ShownPrefix(const std::string& markup) {
    TRLPrefix* prefix = Prefix(markup);
    page_.Window->Show();
    return prefix;
  }

  // The middle of letter i (from 1) of the prefix's word: where the boundary turns.
  static int Middle(const TRLPrefix& prefix, int i) {
    const std::string& word = prefix.Caption();
    return TextWidthOf(&prefix, word.substr(0, i - 1)) + TextWidthOf(&prefix, word.substr(i - 1, 1)) / 2;
  }
  static int LettersWidth(const TRLPrefix& prefix, int letters) {
    return TextWidthOf(&prefix, prefix.Caption().substr(0, letters));
  }

  static TBitmap Painted(TRLPrefix& prefix) {
    TBitmap out(prefix.Width(), prefix.Height());
    prefix.Paint(out.Canvas());
    return out;
  }
  // Whether a pen of width 2 through (x, y) has coloured it or a pixel beside it.
  static bool StrokeAt(const TBitmap& bitmap, int x, int y, std::uint32_t pixel) {
    for (int row = std::max(0, y - 1); row <= y + 1 && row < bitmap.Height(); ++row)
      for (int column = std::max(0, x - 1); column <= x + 1 && column < bitmap.Width(); ++column)
        if (bitmap.Pixel(column, row) == pixel) return true;
    return false;
  }

  TagTableScope tags_;
  TestPage page_{400};
};

}  // namespace

TEST_F(PrefixTest, TheWordSizesTheControlWithRoomForTheBracket) {
  TRLPrefix* prefix = Prefix("Отметьте: <prefix text=приехал answer=3>"_cp);
  ASSERT_NE(prefix, nullptr);
  EXPECT_EQ(prefix->Caption(), "приехал"_cp);
  EXPECT_EQ(prefix->CorrectBoundary, 3);
  const TFont& font = page_.Parser->Font();
  EXPECT_EQ(prefix->Width(), TextWidth(font, "приехал"_cp));
  EXPECT_EQ(prefix->Height(), TextHeight(font, "приехал"_cp) + 4);
  EXPECT_FALSE(prefix->TabStop());
  EXPECT_EQ(FindTagClass("Prefix"), &CreateControl<TRLPrefix>);
}

TEST_F(PrefixTest, ANonNumericAnswerIsReported) {
  EXPECT_EQ(ExceptionMessage([&] { Prefix("<prefix text=подход answer=три>"_cp); }),
            "Integer assumed, but \"три\" found."_cp);
}

TEST_F(PrefixTest, TheBoundaryTurnsAtTheMiddlesOfTheLetters) {
  TRLPrefix* prefix = Prefix("<prefix text=надпись answer=3>"_cp);
  EXPECT_EQ(prefix->BoundaryAt(-5), 0);
  EXPECT_EQ(prefix->BoundaryAt(Middle(*prefix, 1)), 0);
  EXPECT_EQ(prefix->BoundaryAt(Middle(*prefix, 1) + 1), 1);
  EXPECT_EQ(prefix->BoundaryAt(Middle(*prefix, 3)), 2);
  EXPECT_EQ(prefix->BoundaryAt(Middle(*prefix, 3) + 1), 3);
  EXPECT_EQ(prefix->BoundaryAt(Middle(*prefix, 7)), 6);
  EXPECT_EQ(prefix->BoundaryAt(Middle(*prefix, 7) + 1), 7);
  EXPECT_EQ(prefix->BoundaryAt(prefix->Width() + 50), 7);
}

TEST_F(PrefixTest, AnEmptyWordKeepsNoBoundary) {
  TRLPrefix* prefix = ShownPrefix("<prefix answer=0>");
  ASSERT_NE(prefix, nullptr);
  EXPECT_EQ(prefix->BoundaryAt(30), 0);
  prefix->Check();
  EXPECT_EQ(prefix->Score, 1);
}

TEST_F(PrefixTest, PressingOutsideTheFirstOrLastLetterMiddle) {
  TRLPrefix* prefix = ShownPrefix("<prefix text=надпись answer=3>"_cp);
  QTest::mousePress(prefix, Qt::LeftButton, {}, QPoint(1, 10));
  QTest::mouseRelease(prefix, Qt::LeftButton, {}, QPoint(1, 10));
  EXPECT_EQ(prefix->Boundary, 0);
  // No bracket at all: nothing dark along the bracket's row.
  const TBitmap none = Painted(*prefix);
  for (int x = 0; x < prefix->Width(); ++x) ASSERT_NE(none.Pixel(x, 4), Black) << x;

  const int end = prefix->Width() - 1;
  QTest::mousePress(prefix, Qt::RightButton, {}, QPoint(end, 10));
  QTest::mouseRelease(prefix, Qt::RightButton, {}, QPoint(end, 10));
  EXPECT_EQ(prefix->Boundary, 7);
  const TBitmap whole = Painted(*prefix);
  EXPECT_TRUE(StrokeAt(whole, prefix->Width() / 2, 4, Black));
  EXPECT_TRUE(StrokeAt(whole, prefix->Width() - 2, 4, Black));
}

TEST_F(PrefixTest, TheBracketFollowsTheHeldPointerInBlueAndTurnsBlack) {
  TRLPrefix* prefix = ShownPrefix("<prefix text=надпись answer=3>"_cp);
  QTest::mousePress(prefix, Qt::LeftButton, {}, QPoint(Middle(*prefix, 2) + 1, 10));
  EXPECT_TRUE(prefix->Tracking);
  EXPECT_EQ(prefix->Boundary, 2);
  TBitmap held = Painted(*prefix);
  const int two = LettersWidth(*prefix, 2);
  EXPECT_TRUE(StrokeAt(held, two / 2, 4, Blue));
  EXPECT_TRUE(StrokeAt(held, two, 9, Blue));
  // Beyond the bracket's end the row is free.
  EXPECT_FALSE(StrokeAt(held, two + 4, 6, Blue));

  QTest::mouseMove(prefix, QPoint(Middle(*prefix, 3) + 2, 10));
  EXPECT_EQ(prefix->Boundary, 3);
  QTest::mouseRelease(prefix, Qt::LeftButton, {}, QPoint(Middle(*prefix, 3) + 2, 10));
  EXPECT_FALSE(prefix->Tracking);
  const TBitmap released = Painted(*prefix);
  const int three = LettersWidth(*prefix, 3);
  EXPECT_TRUE(StrokeAt(released, three / 2, 4, Black));
  EXPECT_FALSE(StrokeAt(released, three / 2, 4, Blue));

  // Moving without a button held changes nothing.
  QTest::mouseMove(prefix, QPoint(prefix->Width() - 1, 10));
  EXPECT_EQ(prefix->Boundary, 3);
  prefix->Check();
  EXPECT_EQ(prefix->Score, 1);
  EXPECT_FALSE(prefix->ErrorShown);
}

TEST_F(PrefixTest, AWrongCheckShowsBothBracketsAndTheNextPressStartsAnew) {
  TRLPrefix* prefix = ShownPrefix("<prefix text=надпись answer=3>"_cp);
  const QPoint afterFour(Middle(*prefix, 4) + 1, 10);
  QTest::mouseClick(prefix, Qt::LeftButton, {}, afterFour);
  ASSERT_EQ(prefix->Boundary, 4);
  prefix->Check();
  EXPECT_EQ(prefix->Score, 0);
  EXPECT_EQ(prefix->MaxScore, 1);
  EXPECT_TRUE(prefix->ErrorShown);
  const TBitmap marked = Painted(*prefix);
  const int three = LettersWidth(*prefix, 3);
  const int four = LettersWidth(*prefix, 4);
  // The learner's bracket grey at y 4 out to the fourth letter, the right one red at y 1.
  EXPECT_TRUE(StrokeAt(marked, (three + four) / 2, 4, Grey));
  EXPECT_TRUE(StrokeAt(marked, three / 2, 1, Red));
  EXPECT_TRUE(StrokeAt(marked, three, 8, Red));
  EXPECT_FALSE(StrokeAt(marked, (three + four) / 2, 0, Red));

  QTest::mousePress(prefix, Qt::LeftButton, {}, QPoint(1, 10));
  EXPECT_FALSE(prefix->ErrorShown);
  EXPECT_EQ(prefix->Boundary, 0);
  QTest::mouseRelease(prefix, Qt::LeftButton, {}, QPoint(1, 10));
  const TBitmap cleared = Painted(*prefix);
  EXPECT_FALSE(StrokeAt(cleared, three / 2, 1, Red));
}

TEST_F(PrefixTest, AnUntouchedWordIsRightOnlyWithoutAPrefix) {
  page_.Parse("<prefix text=дом answer=0> <prefix text=подвал answer=3>"_cp);
  CheckOnlyScoreChildren(page_.Parser);
  const auto children = page_.Children();
  const auto* without = qobject_cast<TRLPrefix*>(children.front());
  const auto* with = qobject_cast<TRLPrefix*>(children.back());
  ASSERT_TRUE(without && with);
  EXPECT_EQ(without->Score, 1);
  EXPECT_EQ(with->Score, 0);
  EXPECT_FALSE(with->ErrorShown);  // a silent count shows nothing
  // A page counts both words before any check.
  EXPECT_EQ(SumMaxScore(page_.Parser), 2);
}

TEST_F(PrefixTest, WithoutAChoiceAWrongCheckStillShowsTheRightBracket) {
  TRLPrefix* prefix = Prefix("<prefix text=подвал answer=3>"_cp);
  prefix->Check();
  const TBitmap marked = Painted(*prefix);
  const int three = LettersWidth(*prefix, 3);
  EXPECT_TRUE(StrokeAt(marked, three / 2, 1, Red));
  EXPECT_FALSE(StrokeAt(marked, three / 2, 4, Grey));
  ResetChildren(page_.Parser);
  EXPECT_FALSE(prefix->ErrorShown);
  EXPECT_FALSE(StrokeAt(Painted(*prefix), three / 2, 1, Red));
}
