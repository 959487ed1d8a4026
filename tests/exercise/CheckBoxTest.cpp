// Check boxes and radio groups: their attributes, the scoring of boxes and
// groups, the skin cells they blend, and the learner's clicks and keys.
#include <gtest/gtest.h>

#include <QFile>
#include <fstream>

#include "MarkFixtures.h"
#include "exercise/RLCheckBox.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"

namespace {

class CheckBoxTest : public ::testing::Test {
 protected:
  // The skin as the boxes load it.
  static TBitmap Skin() {
    TBitmap skin;
    skin.LoadFromFile(ArtworkScope::Imgs("checkbox.bmp"));
    return skin;
  }

  // A skin pixel blended over the page by the skin's rule: the fourth byte is
  // transparency.
  static std::uint32_t Blended(std::uint32_t skin) {
    const std::uint32_t page = ColorToPixel(PageColor);
    const std::uint32_t t = skin >> 24;
    std::uint32_t out = 0xFF000000u;
    for (int shift : {0, 8, 16})
      out |= ((((page >> shift) & 0xFF) * t + ((skin >> shift) & 0xFF) * (255 - t)) / 256) << shift;
    return out;
  }

  // True when the top rows of the box show exactly the skin cell at (cellLeft, cellTop).
  static bool ShowsCell(TRLCheckBox& box, int cellLeft, int cellTop, int rows = 24) {
    const TBitmap painted = Painted(box);
    const TBitmap skin = Skin();
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < 24; ++x)
        if (painted.Pixel(x, y) != Blended(skin.Pixel(cellLeft + x, cellTop + y))) return false;
    return true;
  }

  static void Click(TRLControl* control, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(control, button, {}, QPoint(5, 5));
  }

  MarkPage page_;
};

}  // namespace

// ----- attributes

TEST_F(CheckBoxTest, CaptionAndSkinSizeTheBox) {
  const auto boxes =
      page_.Parse<TRLCheckBox>("<checkbox caption=\"Я знаю\"> <checkbox checked=1 answer=1>"_cp);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0]->Caption(), "Я знаю"_cp);
  EXPECT_EQ(boxes[0]->Width(), 24 + TextWidth(boxes[0]->Font(), "Я знаю"_cp));
  EXPECT_EQ(boxes[0]->Height(), 24);
  // Without a caption the box keeps the width a new box is given.
  EXPECT_EQ(boxes[1]->Width(), 100);
  EXPECT_EQ(boxes[1]->Checked(), 1);
  EXPECT_EQ(boxes[1]->InitialChecked, 1);
  EXPECT_EQ(boxes[1]->AnswerChecked, 1);
  EXPECT_EQ(boxes[0]->Checked(), 0);
  EXPECT_EQ(boxes[0]->AnswerChecked, 0);
}

TEST_F(CheckBoxTest, NonIntegerStatesAreReported) {
  EXPECT_EQ(ExceptionMessage([&] { page_.Parse<TRLCheckBox>("<checkbox checked=да>"_cp); }),
            "Integer assumed, but \"да\" found."_cp);
  FreeChildren(&page_.Parser());
  EXPECT_EQ(ExceptionMessage([&] { page_.Parse<TRLCheckBox>("<radiogroup <rgi answer=x>>"); }),
            "Integer assumed, but \"x\" found.");
  FreeChildren(&page_.Parser());
  EXPECT_EQ(ExceptionMessage([&] { page_.Parse<TRLCheckBox>("<radiogroup <rgi> <Item caption=a>>"); }),
            "Unexpected tag: \"Item\"");
}

TEST_F(CheckBoxTest, TheFourAnswerRowsStandBeforeTheBaseRows) {
  std::vector<std::string> names;
  for (const TRLRec& row : TagTable) names.push_back(row.Name);
  const auto at = [&](const std::string& name) {
    return std::find(names.begin(), names.end(), name) - names.begin();
  };
  EXPECT_LT(at("checkbox"), at("radiogroup"));
  EXPECT_LT(at("radiogroup"), at("together"));
  EXPECT_LT(at("together"), at("comma"));
  EXPECT_LT(at("comma"), at("statictext"));
  EXPECT_EQ(FindTagClass("CheckBox"), &CreateControl<TRLCheckBox>);
}

// ----- scoring

TEST_F(CheckBoxTest, ABoxIsRightWhenItsStateEqualsTheAnswer) {
  const auto boxes = page_.Parse<TRLCheckBox>("<checkbox> <checkbox answer=1> <checkbox checked=1 answer=2>");
  CheckChildren(&page_.Parser());
  EXPECT_EQ(boxes[0]->Score, 1);  // no answer: right while empty
  EXPECT_FALSE(boxes[0]->ErrorShown);
  EXPECT_EQ(boxes[1]->Score, 0);
  EXPECT_TRUE(boxes[1]->ErrorShown);
  // Values beyond 0 and 1 are compared as written.
  EXPECT_EQ(boxes[2]->Score, 0);
  EXPECT_EQ(SumMaxScore(&page_.Parser()), 3);

  ResetChildren(&page_.Parser());
  boxes[1]->SetChecked(1);
  CheckOnlyScoreChildren(&page_.Parser());
  EXPECT_EQ(boxes[1]->Score, 1);
  EXPECT_EQ(boxes[1]->MaxScore, 1);
  EXPECT_FALSE(boxes[1]->ErrorShown);
}

TEST_F(CheckBoxTest, ResetReturnsToTheMarkupState) {
  auto* box = page_.ParseOne<TRLCheckBox>("<checkbox checked=1 answer=1>");
  Click(box);
  EXPECT_EQ(box->Checked(), 0);
  box->Check();
  ASSERT_TRUE(box->ErrorShown);
  box->Reset();
  EXPECT_EQ(box->Checked(), 1);
  EXPECT_FALSE(box->ErrorShown);
}

// ----- painting

TEST_F(CheckBoxTest, EachStatePaintsItsSkinCellBlendedOverThePage) {
  auto* box = page_.ParseOne<TRLCheckBox>("<checkbox caption=Да answer=1>"_cp);
  EXPECT_TRUE(ShowsCell(*box, 0, 0));  // empty
  box->SetChecked(1);
  EXPECT_TRUE(ShowsCell(*box, 24, 0));  // ticked
  box->SetChecked(0);
  box->Check();
  EXPECT_TRUE(ShowsCell(*box, 48, 0));  // the tick that belonged here
  // The caption stands right of the cell.
  const TBitmap painted = Painted(*box);
  EXPECT_GT(CountWhere(painted, Rect(24, 0, box->Width(), 24), [](auto p) { return !IsPaper(p); }), 0);
}

TEST_F(CheckBoxTest, AWrongTickIsStruckThroughAcrossBoxAndCaption) {
  auto* box = page_.ParseOne<TRLCheckBox>("<checkbox caption=Нет checked=1>"_cp);
  const int y = box->Height() / 2 + 3;
  EXPECT_EQ(CountWhere(Painted(*box), Rect(0, y, box->Width(), y + 1), IsRed), 0);
  box->Check();
  const TBitmap struck = Painted(*box);
  // A 3-pixel line through the row Height / 2 + 3, from edge to edge.
  EXPECT_EQ(CountWhere(struck, Rect(0, y, box->Width(), y + 1), IsRed), box->Width());
  EXPECT_EQ(CountWhere(struck, Rect(0, y - 1, box->Width(), y + 2), IsRed), 3 * box->Width());
  EXPECT_EQ(CountWhere(struck, Rect(0, 0, box->Width(), y - 2), IsRed), 0);
  // Above the line the box still shows its tick.
  EXPECT_TRUE(ShowsCell(*box, 24, 0, y - 2));
}

// ----- the learner's actions

TEST_F(CheckBoxTest, ClicksAndSpaceToggleAFocusedBox) {
  const auto boxes = page_.Parse<TRLCheckBox>("<checkbox> <checkbox>");
  ASSERT_TRUE(page_.Show());
  int mouseDowns = 0;
  boxes[0]->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++mouseDowns; };
  Click(boxes[0], Qt::RightButton);
  EXPECT_EQ(boxes[0]->Checked(), 1);
  EXPECT_TRUE(boxes[0]->Focused());
  EXPECT_EQ(mouseDowns, 1);
  // The focused box shows its cell from the focus row.
  EXPECT_TRUE(ShowsCell(*boxes[0], 24, 28));
  QTest::keyClick(boxes[0], Qt::Key_Space);
  EXPECT_EQ(boxes[0]->Checked(), 0);
  QTest::keyClick(boxes[0], Qt::Key_Right);
  EXPECT_TRUE(boxes[1]->Focused());
  QTest::keyClick(boxes[1], Qt::Key_Space);
  EXPECT_EQ(boxes[1]->Checked(), 1);
  EXPECT_EQ(boxes[0]->Checked(), 0);
}

TEST_F(CheckBoxTest, AClickOnABoxShowingMarksOnlyClearsThem) {
  const auto boxes = page_.Parse<TRLCheckBox>("<checkbox answer=1> <checkbox checked=1>");
  ASSERT_TRUE(page_.Show());
  CheckChildren(&page_.Parser());
  ASSERT_TRUE(boxes[0]->ErrorShown && boxes[1]->ErrorShown);
  Click(boxes[0]);
  EXPECT_EQ(boxes[0]->Checked(), 0);
  EXPECT_FALSE(boxes[0]->ErrorShown);
  // Also when the box already has the focus, and by Space.
  CheckChildren(&page_.Parser());
  ASSERT_TRUE(boxes[0]->Focused());
  QTest::keyClick(boxes[0], Qt::Key_Space);
  EXPECT_EQ(boxes[0]->Checked(), 0);
  EXPECT_FALSE(boxes[0]->ErrorShown);
  // Reaching a marked box with the keyboard resets it to its markup state.
  boxes[1]->SetChecked(0);
  QTest::keyClick(boxes[0], Qt::Key_Down);
  EXPECT_TRUE(boxes[1]->Focused());
  EXPECT_FALSE(boxes[1]->ErrorShown);
  EXPECT_EQ(boxes[1]->Checked(), 1);
}

// ----- radio groups

TEST_F(CheckBoxTest, GroupItemsStandInMarkupOrderAtTheGroupsWidth) {
  auto* group = page_.ParseOne<TRLRadioGroup>(
      "<radiogroup текст <rgi caption=\"короткий\"> между <rgi caption=\"самый длинный ответ\"> <rgi caption=три>>"_cp);
  ASSERT_NE(group, nullptr);
  const auto items = group->Items();
  ASSERT_EQ(items.size(), 3u);
  // Text between the items makes nothing.
  EXPECT_EQ(group->ControlCount(), 3);
  EXPECT_FALSE(group->TabStop());
  const int widest = 24 + TextWidth(group->Font(), "самый длинный ответ"_cp);
  EXPECT_EQ(group->Width(), widest);
  EXPECT_EQ(group->Height(), 3 * 24);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(items[i]->Top(), 24 * i);
    EXPECT_EQ(items[i]->Width(), widest);
  }
  EXPECT_EQ(items[0]->Caption(), "короткий"_cp);
  EXPECT_EQ(items[2]->Caption(), "три"_cp);
}

TEST_F(CheckBoxTest, TheLastCheckedItemIsTheTickedOne) {
  auto* group = page_.ParseOne<TRLRadioGroup>("<radiogroup <rgi checked=1> <rgi> <rgi checked=1>>");
  const auto items = group->Items();
  EXPECT_EQ(items[0]->Checked(), 0);
  EXPECT_EQ(items[2]->Checked(), 1);
  items[1]->SetChecked(1);
  group->Reset();
  EXPECT_EQ(items[0]->Checked(), 0);
  EXPECT_EQ(items[1]->Checked(), 0);
  EXPECT_EQ(items[2]->Checked(), 1);
}

TEST_F(CheckBoxTest, AGroupScoresOnlyWhenEveryItemIsRight) {
  const auto groups = page_.Parse<TRLRadioGroup>("<radiogroup <rgi> <rgi answer=1>> <radiogroup>");
  const auto items = groups[0]->Items();
  items[1]->SetChecked(1);
  groups[0]->Check();
  EXPECT_EQ(groups[0]->Score, 1);
  items[1]->SetChecked(0);
  items[0]->SetChecked(1);
  groups[0]->CheckOnlyScore();
  EXPECT_EQ(groups[0]->Score, 0);
  EXPECT_EQ(groups[0]->MaxScore, 1);
  // A group without items is right.
  groups[1]->Check();
  EXPECT_EQ(groups[1]->Score, 1);
  EXPECT_EQ(groups[1]->MaxScore, 1);
}

TEST_F(CheckBoxTest, AWrongChoiceMarksBothItemsAndLeavesTheRest) {
  auto* group = page_.ParseOne<TRLRadioGroup>(
      "<radiogroup <rgi caption=а> <rgi caption=б answer=1> <rgi caption=в>>"_cp);
  const auto items = group->Items();
  Click(items[0]);
  EXPECT_EQ(items[0]->Checked(), 1);
  CheckChildren(&page_.Parser());
  EXPECT_EQ(group->Score, 0);
  EXPECT_EQ(SumMaxScore(&page_.Parser()) - SumScore(&page_.Parser()), 1);
  // The chosen item is struck through, the right one shows the missing tick.
  const int y = items[0]->Height() / 2 + 3;
  EXPECT_EQ(CountWhere(Painted(*items[0]), Rect(0, y, items[0]->Width(), y + 1), IsRed), items[0]->Width());
  EXPECT_TRUE(ShowsCell(*items[1], 48, 0));
  EXPECT_FALSE(items[2]->ErrorShown);
  EXPECT_TRUE(ShowsCell(*items[2], 0, 0));
}

TEST_F(CheckBoxTest, ClickingAnItemChoosesItAlone) {
  auto* group = page_.ParseOne<TRLRadioGroup>("<radiogroup <rgi checked=1> <rgi> <rgi>>");
  ASSERT_TRUE(page_.Show());
  const auto items = group->Items();
  int mouseDowns = 0;
  items[2]->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++mouseDowns; };
  Click(items[2]);
  EXPECT_EQ(mouseDowns, 0);
  EXPECT_TRUE(items[2]->Focused());
  EXPECT_EQ(items[0]->Checked(), 0);
  EXPECT_EQ(items[2]->Checked(), 1);
  // Space on an item chooses it too; a second Space keeps it chosen.
  QTest::keyClick(items[2], Qt::Key_Up);
  ASSERT_TRUE(items[1]->Focused());
  QTest::keyClick(items[1], Qt::Key_Space);
  QTest::keyClick(items[1], Qt::Key_Space);
  EXPECT_EQ(items[1]->Checked(), 1);
  EXPECT_EQ(items[2]->Checked(), 0);
}

TEST_F(CheckBoxTest, AClickInAMarkedGroupClearsTheWholeGroup) {
  auto* group = page_.ParseOne<TRLRadioGroup>("<radiogroup <rgi> <rgi answer=1> <rgi>>");
  ASSERT_TRUE(page_.Show());
  const auto items = group->Items();
  Click(items[0]);
  group->Check();
  ASSERT_TRUE(items[0]->ErrorShown && items[1]->ErrorShown);
  // A click on the third item: no item keeps a mark and nothing is chosen,
  // so no unticked item is left showing a tick that "belongs" there.
  Click(items[2]);
  for (TRLRadioBox* item : items) {
    EXPECT_FALSE(item->ErrorShown);
    EXPECT_EQ(item->Checked(), 0);
  }
  // The next click chooses as usual.
  Click(items[1]);
  EXPECT_EQ(items[1]->Checked(), 1);
}

TEST_F(CheckBoxTest, MarginsBeyondTheSkinStayInsideIt) {
  // A skin in the current folder wins over the images folder.
  TBitmap skin(10, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x) skin.SetPixel(x, y, 0x00FFFFFFu);  // opaque white
  skin.SaveToFile32("checkbox.bmp");
  std::ofstream("checkbox.txt") << "40 40 6 30";
  auto* box = page_.ParseOne<TRLCheckBox>("<checkbox caption=а checked=1>"_cp);
  QFile::remove("checkbox.bmp");
  QFile::remove("checkbox.txt");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->CellRect(), Rect(10, 0, 10, 6));
  box->SetChecked(0);
  EXPECT_EQ(box->CellRect(), Rect(0, 0, 10, 6));
  // The white skin cell is blended over the page; nothing beyond it is read.
  const TBitmap painted = Painted(*box);
  EXPECT_EQ(painted.Pixel(9, 5), 0xFFFEFEFEu);
  EXPECT_TRUE(IsPaper(painted.Pixel(9, 6)));
}
