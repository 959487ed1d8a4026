// Columns: their widths, the heights shared by adjacent columns only, and
// the scoring passed on to the markup inside them.
#include <gtest/gtest.h>

#include "ExerciseFixtures.h"
#include "exercise/RLColumned.h"
#include "platform/Cp1251.h"

namespace {

template <class T>
std::vector<T*> Columns(TestPage& page) {
  std::vector<T*> found;
  for (TRLControl* child : page.Children())
    if (auto* column = qobject_cast<T*>(child)) found.push_back(column);
  return found;
}

class ColumnsTest : public ::testing::Test {
 protected:
  TagTableScope tags_;
  TestPage page_{600};
};

}  // namespace

TEST_F(ColumnsTest, TwoAdjacentColumnsShareTheTallerHeightSideBySide) {
  page_.Parse("<column <answer h=30>><column <answer h=70>>");
  const auto columns = Columns<TRLColumned>(page_);
  ASSERT_EQ(columns.size(), 2u);
  for (TRLColumned* column : columns) {
    EXPECT_EQ(column->Width(), 600 / 2 - 3);
    EXPECT_EQ(column->Inner()->Width(), column->Width());
    EXPECT_EQ(column->Height(), 70);
  }
  // The two blocks fill the width less 6 pixels, on one line.
  EXPECT_EQ(columns[0]->Left(), 0);
  EXPECT_EQ(columns[1]->Left(), columns[0]->Width());
  EXPECT_EQ(columns[1]->Top(), columns[0]->Top());
}

TEST_F(ColumnsTest, AnythingBetweenTwoColumnsKeepsTheirOwnHeights) {
  page_.Parse("<column <answer h=30>> <column <answer h=70>>");
  const auto columns = Columns<TRLColumned>(page_);
  ASSERT_EQ(columns.size(), 2u);
  EXPECT_EQ(columns[0]->Height(), 30);
  EXPECT_EQ(columns[1]->Height(), 70);
}

TEST_F(ColumnsTest, ARunOfColumnsMatchesEachOnlyWithTheOneBefore) {
  page_.Parse("<column <answer h=50>><column <answer h=20>><column <answer h=80>>");
  const auto columns = Columns<TRLColumned>(page_);
  ASSERT_EQ(columns.size(), 3u);
  EXPECT_EQ(columns[0]->Height(), 50);
  EXPECT_EQ(columns[1]->Height(), 80);
  EXPECT_EQ(columns[2]->Height(), 80);
}

TEST_F(ColumnsTest, ThreeAdjacentColumn3BlocksTakeTheGreatestHeight) {
  page_.Parse("<column3 <answer h=40>><column3 <answer h=90>><column3 <answer h=25>>");
  const auto columns = Columns<TRLColumned3>(page_);
  ASSERT_EQ(columns.size(), 3u);
  for (TRLColumned3* column : columns) {
    EXPECT_EQ(column->Width(), 600 / 3 - 2);
    EXPECT_EQ(column->Height(), 90);
  }
  EXPECT_EQ(columns[2]->Left(), 2 * columns[0]->Width());
}

TEST_F(ColumnsTest, ColumnKindsDoNotMatchEachOther) {
  page_.Parse("<column <answer h=30>><column3 <answer h=60>><column3 <answer h=45>>");
  EXPECT_EQ(Columns<TRLColumned>(page_)[0]->Height(), 30);
  // Only two column3 blocks stand together: a third is needed to match.
  const auto thirds = Columns<TRLColumned3>(page_);
  EXPECT_EQ(thirds[0]->Height(), 60);
  EXPECT_EQ(thirds[1]->Height(), 45);
}

TEST_F(ColumnsTest, TheInnerMarkupWrapsAtTheColumnsWidthInTheColumnsFont) {
  page_.Parse("<b><column слово слово слово слово слово слово слово слово слово слово слово></b>"_cp);
  TRLColumned* column = Columns<TRLColumned>(page_).at(0);
  const TRLParser* inner = column->Inner();
  ASSERT_GT(inner->ControlCount(), 1);
  EXPECT_TRUE(inner->Controls(0)->Font().Bold());
  int lines = 0;
  for (int i = 0; i < inner->ControlCount(); ++i) {
    const TControl* word = inner->Controls(i);
    EXPECT_LE(word->Left() + word->Width(), column->Width());
    lines = std::max(lines, qobject_cast<const TRLControl*>(word)->LineNo);
  }
  EXPECT_GT(lines, 1);
  EXPECT_EQ(column->Height(), inner->Height());
}

TEST_F(ColumnsTest, ScoresAreThoseOfTheInnerMarkup) {
  page_.Parse("<column <answer> <answer right=0>><column3 <answer>>");
  const auto halves = Columns<TRLColumned>(page_);
  const auto thirds = Columns<TRLColumned3>(page_);
  // Before a check a column claims nothing.
  EXPECT_EQ(SumMaxScore(page_.Parser), 0);
  CheckChildren(page_.Parser);
  EXPECT_EQ(halves[0]->Score, 1);
  EXPECT_EQ(halves[0]->MaxScore, 2);
  EXPECT_EQ(thirds[0]->Score, 1);
  EXPECT_EQ(SumScore(page_.Parser), 2);
  EXPECT_EQ(SumMaxScore(page_.Parser), 3);

  auto* wrong = dynamic_cast<TFakeAnswer*>(halves[0]->Inner()->Controls(2));
  ASSERT_NE(wrong, nullptr);
  wrong->Right = true;
  page_.Parser->CheckOnlyScore();
  EXPECT_EQ(page_.Parser->Score, 3);
  EXPECT_EQ(wrong->Checks, 1);  // the silent count ran no Check

  ResetChildren(page_.Parser);
  EXPECT_EQ(wrong->Resets, 1);
}
