// The letter chooser: its variants, cycling by click and Space, the check
// with its strike and hint, and the picture variant "&".
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "ExerciseFixtures.h"
#include "exercise/RLChooser.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "platform/ImageFiles.h"

namespace {

const std::uint32_t Red = ColorToPixel(clRed);
const std::uint32_t Blue = ColorToPixel(0xFF0000);

// Runs a test in a folder of its own that holds "imgs/ne_err.png": a 12 x 6
// picture, transparent but for an opaque green band in rows 2 and 3.
class PictureFolder {
 public:
  PictureFolder() : saved_(QDir::currentPath()) {
    QDir(folder_.path()).mkdir("imgs");
    QDir::setCurrent(folder_.path());
    TBitmap picture(12, 6);
    for (int y = 0; y < picture.Height(); ++y)
      for (int x = 0; x < picture.Width(); ++x)
        picture.SetPixel(x, y, y == 2 || y == 3 ? ColorToPixel(clGreen) : 0x00FFFFFFu);
    SavePng("imgs/ne_err.png", picture);
  }
  ~PictureFolder() { QDir::setCurrent(saved_); }

 private:
  QString saved_;
  QTemporaryDir folder_;
};

class ChooserTest : public ::testing::Test {
 protected:
  std::vector<TRLChooser*> Choosers(const std::string& markup) {
    page_.Parse(markup);
    std::vector<TRLChooser*> choosers;
    for (TRLControl* child : page_.Children())
      if (auto* chooser = qobject_cast<TRLChooser*>(child)) choosers.push_back(chooser);
    return choosers;
  }
  TRLChooser* Chooser(const std::string& markup) {
    const auto choosers = Choosers(markup);
    return choosers.empty() ? nullptr : choosers.front();
  }
  void ShowPage() {
    page_.Window->Show();
    page_.Window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page_.Window.get()));
  }
  static void Click(TRLChooser* chooser) { QTest::mouseClick(chooser, Qt::LeftButton, {}, QPoint(2, 2)); }

  static TBitmap Painted(TRLChooser& chooser) {
    TBitmap out(chooser.Width(), chooser.Height());
    chooser.Paint(out.Canvas());
    return out;
  }
  static bool Has(const TBitmap& bitmap, int x, int y, std::uint32_t pixel) {
    for (int row = std::max(0, y - 1); row <= y + 1 && row < bitmap.Height(); ++row)
      if (bitmap.Pixel(x, row) == pixel) return true;
    return false;
  }

  PictureFolder pictures_;
  TagTableScope tags_;
  TestPage page_{400};
};

}  // namespace

// ----- variants

TEST_F(ChooserTest, LettersAndBracketedGroupsAreVariants) {
  const auto choosers =
      Choosers("<choose char=оа answer=о> <choose char=\"[не][ни]\" char=[н answer=ни> <choose char=[]е]"_cp);
  ASSERT_EQ(choosers.size(), 3u);
  EXPECT_EQ(choosers[0]->Variants.Count(), 2);
  EXPECT_EQ(choosers[0]->Variants[1], "а"_cp);
  // A group without its "]" is dropped; a second "char" adds to the list.
  ASSERT_EQ(choosers[1]->Variants.Count(), 2);
  EXPECT_EQ(choosers[1]->Variants[0], "не"_cp);
  EXPECT_EQ(choosers[1]->Variants[1], "ни"_cp);
  // An empty group is an empty variant; a "]" outside a group is a letter.
  ASSERT_EQ(choosers[2]->Variants.Count(), 3);
  EXPECT_EQ(choosers[2]->Variants[0], "");
  EXPECT_EQ(choosers[2]->Variants[2], "]");
  for (TRLChooser* chooser : choosers) EXPECT_EQ(chooser->Shown(), "*");
}

TEST_F(ChooserTest, TheWidestVariantSizesTheControlAndTheRoomAbove) {
  TRLChooser* chooser = Chooser("<choose char=\"[пре][при]ш\" answer=при>"_cp);
  const TFont& font = page_.Parser->Font();
  const int widest = std::max(TextWidth(font, "пре"_cp), TextWidth(font, "при"_cp));
  EXPECT_EQ(chooser->Width(), std::max(10, widest));
  EXPECT_EQ(chooser->Height(), TextHeight(font, "пре"_cp));
  EXPECT_EQ(chooser->ExtraAbove, chooser->Height() - 3);
  // Without variants the control keeps its least size.
  TRLChooser* empty = Choosers("<choose answer=а>"_cp).back();
  EXPECT_EQ(empty->Width(), 10);
  EXPECT_EQ(empty->Height(), 10);
}

// ----- input

TEST_F(ChooserTest, ClicksCycleThroughTheVariants) {
  TRLChooser* chooser = Chooser("<choose char=оа answer=о>"_cp);
  ShowPage();
  std::vector<std::string> shown;
  std::vector<int> scores;
  for (int i = 0; i < 3; ++i) {
    Click(chooser);
    shown.push_back(chooser->Shown());
    chooser->CheckOnlyScore();
    scores.push_back(chooser->Score);
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"о"_cp, "а"_cp, "о"_cp}));
  EXPECT_EQ(scores, (std::vector<int>{1, 0, 1}));
  EXPECT_TRUE(chooser->Focused());
}

TEST_F(ChooserTest, SpaceCyclesAndArrowsMoveTheFocus) {
  const auto choosers = Choosers("<choose char=ея answer=е> <choose char=ея answer=я>"_cp);
  ShowPage();
  choosers[0]->SetFocus();
  QTest::keyClick(choosers[0], Qt::Key_Space);
  QTest::keyClick(choosers[0], Qt::Key_Space);
  EXPECT_EQ(choosers[0]->Shown(), "я"_cp);
  QTest::keyClick(choosers[0], Qt::Key_Right);
  EXPECT_TRUE(choosers[1]->Focused());
  QTest::keyClick(choosers[1], Qt::Key_Left);
  EXPECT_TRUE(choosers[0]->Focused());
  EXPECT_EQ(choosers[0]->Shown(), "я"_cp);
  EXPECT_EQ(choosers[1]->Shown(), "*");
}

TEST_F(ChooserTest, WithoutVariantsAClickChangesNothing) {
  TRLChooser* chooser = Chooser("<choose answer=а>"_cp);
  ShowPage();
  Click(chooser);
  QTest::keyClick(chooser, Qt::Key_Space);
  EXPECT_EQ(chooser->Selected, -1);
  EXPECT_EQ(chooser->Shown(), "*");
}

TEST_F(ChooserTest, TheFocusedChooserHasABlueDashedFrame) {
  TRLChooser* chooser = Chooser("<choose char=оё answer=ё>"_cp);
  ShowPage();
  EXPECT_FALSE(Has(Painted(*chooser), chooser->Width() / 2, 0, Blue));
  chooser->SetFocus();
  const TBitmap focused = Painted(*chooser);
  int blueOnTop = 0;
  int blueOnLeft = 0;
  for (int x = 0; x < chooser->Width(); ++x) blueOnTop += focused.Pixel(x, 0) == Blue;
  for (int y = 0; y < chooser->Height(); ++y) blueOnLeft += focused.Pixel(0, y) == Blue;
  // Dashed: some of each edge, not all of it.
  EXPECT_GT(blueOnTop, 0);
  EXPECT_GT(blueOnLeft, 0);
  EXPECT_LT(blueOnLeft, chooser->Height());
}

// ----- checking

TEST_F(ChooserTest, NothingChosenChecksWrongWithASlashAndTheHint) {
  TRLChooser* chooser = Chooser("слово <choose char=\"[не ][ни ]\" answer=\"не \">"_cp);
  chooser->Check();
  EXPECT_EQ(chooser->Score, 0);
  EXPECT_EQ(chooser->MaxScore, 1);
  EXPECT_TRUE(chooser->ErrorShown);
  TRLLabel* hint = chooser->HintLabel();
  ASSERT_NE(hint, nullptr);
  EXPECT_EQ(hint->Caption(), "не_"_cp);
  EXPECT_FALSE(hint->InFlow);
  EXPECT_EQ(hint->Parent(), page_.Parser);
  EXPECT_EQ(hint->Font().Color, clRed);
  EXPECT_TRUE(hint->Font().Style & fsBold);
  EXPECT_EQ(hint->Left(), chooser->Left() + chooser->Width());
  EXPECT_EQ(hint->Top(), chooser->Top() - hint->Height() + 2);
  // "*" is short: a slash from the bottom left of an "нн" wide box to its top right.
  const TBitmap marked = Painted(*chooser);
  TFont font = chooser->Font();
  const int w = TextWidth(font, "нн"_cp);
  EXPECT_TRUE(Has(marked, (chooser->Width() - w) / 2 + 1, chooser->Height() - 2, Red));
  EXPECT_FALSE(Has(marked, (chooser->Width() + w) / 2 - 1, chooser->Height() - 2, Red));
  // A second check replaces the hint.
  chooser->Check();
  EXPECT_EQ(page_.Parser->ControlCount(), 3);
}

TEST_F(ChooserTest, LongWrongChoicesAreStruckThrough) {
  const auto choosers = Choosers("<choose char=\"[пре][при]\" answer=при> <choose char=оё answer=ё>"_cp);
  ShowPage();
  Click(choosers[0]);
  Click(choosers[1]);
  CheckChildren(page_.Parser);
  const TBitmap struck = Painted(*choosers[0]);
  const int middle = choosers[0]->Height() / 2 - 1;
  EXPECT_TRUE(Has(struck, 1, middle, Red));
  EXPECT_TRUE(Has(struck, choosers[0]->Width() - 2, middle, Red));
  const TBitmap slashed = Painted(*choosers[1]);
  EXPECT_FALSE(Has(slashed, 0, choosers[1]->Height() / 2 - 1, Red));
  EXPECT_EQ(SumScore(page_.Parser), 0);
  EXPECT_EQ(SumMaxScore(page_.Parser), 2);
}

TEST_F(ChooserTest, TheHintStaysInsideTheParent) {
  TRLChooser* chooser = Chooser("<choose char=оа answer=о>"_cp);
  chooser->SetBounds(page_.Parser->Width() - chooser->Width(), 40, chooser->Width(), chooser->Height());
  chooser->Check();
  ASSERT_NE(chooser->HintLabel(), nullptr);
  EXPECT_EQ(chooser->HintLabel()->Left() + chooser->HintLabel()->Width(), page_.Parser->Width());
}

TEST_F(ChooserTest, FocusOrAClickOnAMarkedChooserStartsItAfresh) {
  const auto choosers = Choosers("<choose char=оа answer=о> <choose char=оа answer=о>"_cp);
  ShowPage();
  Click(choosers[0]);
  Click(choosers[0]);  // а: wrong, and keeps the focus
  choosers[1]->Check();
  choosers[0]->Check();
  ASSERT_TRUE(choosers[0]->ErrorShown);
  ASSERT_TRUE(choosers[0]->Focused());
  // A click on the focused marked chooser clears its marks instead of
  // judging a new choice by the old check.
  Click(choosers[0]);
  EXPECT_FALSE(choosers[0]->ErrorShown);
  EXPECT_EQ(choosers[0]->HintLabel(), nullptr);
  EXPECT_EQ(choosers[0]->Shown(), "*");
  Click(choosers[0]);
  EXPECT_EQ(choosers[0]->Shown(), "о"_cp);
  // Gaining the focus does the same.
  ASSERT_TRUE(choosers[1]->ErrorShown);
  choosers[1]->SetFocus();
  EXPECT_FALSE(choosers[1]->ErrorShown);
  EXPECT_EQ(choosers[1]->HintLabel(), nullptr);
}

TEST_F(ChooserTest, AResetForgetsTheChoiceAndTheMarks) {
  TRLChooser* chooser = Chooser("<choose char=оа answer=о>"_cp);
  ShowPage();
  Click(chooser);
  Click(chooser);
  chooser->Check();
  QPointer<TRLLabel> hint = chooser->HintLabel();
  ResetChildren(page_.Parser);
  EXPECT_TRUE(hint.isNull());
  EXPECT_EQ(chooser->Selected, -1);
  EXPECT_FALSE(chooser->ErrorShown);
}

// ----- the picture variant

TEST_F(ChooserTest, ThePictureVariantIsBlendedOnTheBottomEdge) {
  TRLChooser* chooser = Chooser("<choose char=\" &-\" answer=&>");
  ShowPage();
  ASSERT_NE(chooser->VariantImage(), nullptr);
  EXPECT_GE(chooser->Width(), 12);
  Click(chooser);
  Click(chooser);
  ASSERT_EQ(chooser->Shown(), "&");
  chooser->CheckOnlyScore();
  EXPECT_EQ(chooser->Score, 1);
  chooser->SetColor(clWhite);
  const TBitmap painted = Painted(*chooser);
  const int top = chooser->Height() - 6;
  // The band is green across the width (inside the focus frame); the
  // transparent rows show the background.
  const std::uint32_t band = chooser->VariantImage()->Pixel(0, 2);
  EXPECT_GT((band >> 8) & 0xFF, 100u);
  EXPECT_EQ(band & 0xFF00FF, 0u);
  EXPECT_EQ(painted.Pixel(1, top + 2), band);
  EXPECT_EQ(painted.Pixel(chooser->Width() - 2, top + 3), band);
  EXPECT_EQ(painted.Pixel(chooser->Width() / 2, top + 1), ColorToPixel(clWhite));
  EXPECT_EQ(painted.Pixel(chooser->Width() / 2, top + 4), ColorToPixel(clWhite));
}

TEST_F(ChooserTest, OnlyAChooserWithThePictureNeedsIt) {
  QFile::remove("imgs/ne_err.png");
  TRLChooser* chooser = Chooser("<choose char=оа answer=о>"_cp);
  ASSERT_NE(chooser, nullptr);
  EXPECT_EQ(chooser->VariantImage(), nullptr);
  FreeChildren(page_.Parser);
  EXPECT_NE(ExceptionMessage([&] { Chooser("<choose char=& answer=&>"); }), "(no exception)");
}

TEST_F(ChooserTest, AVariantWiderThanTheLineIsKeptInsideIt) {
  const std::string word(400, static_cast<char>(0xF8));  // "ш" four hundred times
  TRLChooser* chooser = Chooser("<choose char=[" + word + "] answer=ш>"_cp);
  EXPECT_EQ(chooser->Width(), page_.Parser->Width());
}
