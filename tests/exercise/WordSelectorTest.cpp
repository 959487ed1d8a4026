// Word selection: reading "select" and "error" items, marking words by
// dragging with the right mouse button, scoring the choice, and the marks of
// both looks (coloured background and wavy underline).
#include <gtest/gtest.h>

#include <QDir>
#include <QTest>

#include "ExerciseFixtures.h"
#include "exercise/RLEdit.h"
#include "exercise/RLLabel.h"
#include "exercise/RLWordSelector.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"

namespace {

class WordSelectorTest : public ::testing::Test {
 protected:
  TRLWordSelector* Passage(const std::string& markup) {
    FreeChildren(page_.Parser);
    page_.Parse(markup);
    for (TRLControl* child : page_.Children())
      if (auto* passage = qobject_cast<TRLWordSelector*>(child)) return passage;
    return nullptr;
  }
  static std::vector<TRLSelectWord*> Words(const TRLWordSelector& passage) {
    std::vector<TRLSelectWord*> words;
    for (int i = 0; i < passage.ControlCount(); ++i)
      if (auto* word = qobject_cast<TRLSelectWord*>(passage.Controls(i)); word && !word->IsBreak)
        words.push_back(word);
    return words;
  }
  // A right-button drag that starts on anchor at (x, y) and ends at a point
  // of the passage, as the window system sends it: every move and the
  // release go to the anchor, in its coordinates.
  static void Drag(TRLSelectWord* anchor, QPoint start, std::initializer_list<QPoint> passagePoints) {
    QTest::mousePress(anchor, Qt::RightButton, {}, start);
    QPoint last = start;
    for (QPoint p : passagePoints) {
      last = p - QPoint(anchor->Left(), anchor->Top());
      QTest::mouseMove(anchor, last);
    }
    QTest::mouseRelease(anchor, Qt::RightButton, {}, last);
  }
  static void RightClick(TRLSelectWord* word, int x) {
    QTest::mouseClick(word, Qt::RightButton, {}, QPoint(x, word->Height() / 2));
  }
  static QPoint Inside(const TRLSelectWord* word, int dx = 3) {
    return QPoint(word->Left() + dx, word->Top() + word->Height() / 2);
  }
  static TControl* ControlBefore(const TWinControl& parent, const TControl* control) {
    for (int i = 1; i < parent.ControlCount(); ++i)
      if (parent.Controls(i) == control) return parent.Controls(i - 1);
    return nullptr;
  }
  static std::vector<bool> Selection(const TRLWordSelector& passage) {
    std::vector<bool> selected;
    for (const TRLSelectWord* word : Words(passage)) selected.push_back(word->Selected);
    return selected;
  }
  static TBitmap Painted(TRLControl& control) {
    TBitmap out(control.Width(), control.Height());
    control.Paint(out.Canvas());
    return out;
  }
  // Pixels of one colour in the rows [top, bottom).
  static int CountPixels(const TBitmap& bitmap, std::uint32_t pixel, int top, int bottom) {
    int count = 0;
    for (int y = std::max(top, 0); y < std::min(bottom, bitmap.Height()); ++y)
      for (int x = 0; x < bitmap.Width(); ++x) count += bitmap.Pixel(x, y) == pixel;
    return count;
  }

  TagTableScope tags_;
  TestPage page_{500, true};
};

using B = std::vector<bool>;

}  // namespace

// ----- reading the passage

TEST_F(WordSelectorTest, SelectAndErrorItemsMakeWordsToMark) {
  TRLWordSelector* passage = Passage(
      "<selector Мы <select видели> лес, <select тёмный лес> и <error text=рку answer=реку select=1>.>"_cp);
  ASSERT_NE(passage, nullptr);
  const auto words = Words(*passage);
  ASSERT_EQ(words.size(), 8u);
  std::vector<bool> must;
  for (const TRLSelectWord* word : words) must.push_back(word->MustSelect);
  EXPECT_EQ(must, B({false, true, false, true, true, false, true, false}));
  EXPECT_TRUE(passage->HasErrorWords);
  EXPECT_TRUE(words[6]->IsError);
  EXPECT_EQ(words[6]->Answer, "реку"_cp);
  // After another item, the blank before "<select" is the one after "лес,": "тёмный" is not
  // glued to it and stands at a word's gap, not at two blanks.
  EXPECT_FALSE(words[3]->Glued);
  EXPECT_EQ(ControlBefore(*passage, words[3]), words[2]);
  EXPECT_EQ(words[3]->Left(), words[2]->Left() + words[2]->Width());
  EXPECT_FALSE(Passage("<selector Мы <select видели>>"_cp)->HasErrorWords);
}

// ----- marking by dragging

TEST_F(WordSelectorTest, ARightClickTogglesTheWordRightOfItsLeftEdge) {
  TRLWordSelector* passage = Passage("<selector Шёл дождь>"_cp);
  auto words = Words(*passage);
  RightClick(words[1], 3);
  EXPECT_EQ(Selection(*passage), B({false, true}));
  EXPECT_FALSE(passage->Dragging);
  EXPECT_FALSE(words[1]->Pending);
  // Exactly on the left edge nothing is in the range.
  RightClick(words[0], 0);
  EXPECT_EQ(Selection(*passage), B({false, true}));
  RightClick(words[1], 3);
  EXPECT_EQ(Selection(*passage), B({false, false}));
}

TEST_F(WordSelectorTest, DraggingForwardTogglesTheWordsInItsRange) {
  TRLWordSelector* passage = Passage("<selector Над рекой <select стоял> туман>"_cp);
  auto words = Words(*passage);
  words[1]->SetSelected(true);
  // From "рекой" to the middle of "стоял": "рекой" goes off, "стоял" on.
  Drag(words[1], QPoint(2, 5), {Inside(words[2], words[2]->Width() / 2)});
  EXPECT_EQ(Selection(*passage), B({false, false, true, false}));
}

TEST_F(WordSelectorTest, PendingMarksFollowTheDragAndStayWhenItGoesBack) {
  TRLWordSelector* passage = Passage("<selector Раз два три четыре>"_cp);
  auto words = Words(*passage);
  QTest::mousePress(words[1], Qt::RightButton, {}, QPoint(2, 5));
  ASSERT_TRUE(passage->Dragging);
  EXPECT_EQ(passage->DragAnchor, words[1]);
  const QPoint toThree = Inside(words[2]) - QPoint(words[1]->Left(), words[1]->Top());
  QTest::mouseMove(words[1], toThree);
  EXPECT_TRUE(words[1]->Pending);
  EXPECT_TRUE(words[2]->Pending);
  EXPECT_FALSE(words[3]->Pending);
  // Back left of the anchor: the marks of the last forward position stay.
  const QPoint toOne = Inside(words[0]) - QPoint(words[1]->Left(), words[1]->Top());
  QTest::mouseMove(words[1], toOne);
  EXPECT_TRUE(words[2]->Pending);
  QTest::mouseRelease(words[1], Qt::RightButton, {}, toOne);
  EXPECT_EQ(Selection(*passage), B({false, true, true, false}));
}

TEST_F(WordSelectorTest, ADragAcrossLinesMarksTheRestOfEachLineInReadingOrder) {
  TRLWordSelector* passage = Passage("<selector Раз два<br>три четыре<br>пять шесть>"_cp);
  auto words = Words(*passage);
  // From "два" to the first word of the third line.
  Drag(words[1], QPoint(2, 5), {Inside(words[4])});
  EXPECT_EQ(Selection(*passage), B({false, true, true, true, true, false}));
  // From "шесть" up to the first line: nothing changes.
  Drag(words[5], QPoint(2, 5), {Inside(words[0])});
  EXPECT_EQ(Selection(*passage), B({false, true, true, true, true, false}));
}

TEST_F(WordSelectorTest, BetweenLinesThePointerMarksTheWordsAboveIt) {
  TRLWordSelector* passage = Passage("<selector Раз два<br>три четыре<br>пять шесть>"_cp);
  auto words = Words(*passage);
  // The room above the third line's words belongs to no control.
  const QPoint gap(words[5]->Left() + 2, words[4]->Top() - 3);
  Drag(words[0], QPoint(2, 5), {gap});
  EXPECT_EQ(Selection(*passage), B({true, true, true, true, false, false}));
}

// ----- scoring and marks

TEST_F(WordSelectorTest, EachWordScoresItsChoiceAndErrorItemsTheirCorrectionToo) {
  TRLWordSelector* passage =
      Passage("<selector Раз <select два><br> <error text=тре answer=три select=1>>"_cp);
  auto words = Words(*passage);
  passage->CheckOnlyScore();
  EXPECT_EQ(passage->Score, 1);  // "Раз" left alone is right; break and blanks count nothing
  EXPECT_EQ(passage->MaxScore, 4);
  words[1]->SetSelected(true);
  words[2]->SetSelected(true);
  words[2]->SetText("три"_cp);
  passage->Check();
  EXPECT_EQ(passage->Score, 4);
  EXPECT_EQ(passage->MaxScore, 4);
  // Without any "select" item, one point per word left alone.
  TRLWordSelector* plain = Passage("<selector Раз два>"_cp);
  plain->CheckOnlyScore();
  EXPECT_EQ(plain->Score, 2);
  EXPECT_EQ(plain->MaxScore, 2);
}

TEST_F(WordSelectorTest, MarksShowChoicesAndMistakesAsBackgrounds) {
  TRLWordSelector* passage = Passage("<selector Раз <select два> три>"_cp);
  auto words = Words(*passage);
  const auto background = [](TRLSelectWord* w) { return Painted(*w).Pixel(w->Width() - 1, 1); };
  EXPECT_EQ(background(words[0]), ColorToPixel(page_.Parser->Color()));
  words[2]->SetSelected(true);
  EXPECT_EQ(background(words[2]), ColorToPixel(0x00FFFF));
  words[2]->SetPending(true);
  EXPECT_EQ(background(words[2]), ColorToPixel(0xFF0000));
  words[2]->SetPending(false);
  passage->Check();
  EXPECT_EQ(passage->Score, 1);
  EXPECT_EQ(background(words[1]), ColorToPixel(0x2F92EF));  // missed
  EXPECT_EQ(background(words[2]), ColorToPixel(0x0000FF));  // wrongly selected
  passage->Reset();
  EXPECT_EQ(background(words[2]), ColorToPixel(page_.Parser->Color()));
  EXPECT_FALSE(words[2]->Selected);
}

TEST_F(WordSelectorTest, RightClickOnAWronglySelectedWordLeavesItSelected) {
  TRLWordSelector* passage = Passage("<selector Раз два>"_cp);
  auto words = Words(*passage);
  RightClick(words[0], 3);
  passage->Check();
  ASSERT_TRUE(words[0]->SelectionErrorShown);
  // The click resets the word first, and the toggle selects it again.
  RightClick(words[0], 3);
  EXPECT_FALSE(words[0]->SelectionErrorShown);
  EXPECT_TRUE(words[0]->Selected);
  RightClick(words[0], 3);
  EXPECT_FALSE(words[0]->Selected);
}

TEST_F(WordSelectorTest, TheLeftButtonCorrectsOnlyInPassagesWithErrorItems) {
  TRLWordSelector* plain = Passage("<selector Раз два>"_cp);
  QTest::mouseClick(Words(*plain)[0], Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_FALSE(Words(*plain)[0]->Editor);
  TRLWordSelector* withErrors = Passage("<selector Раз <error text=дав answer=два>>"_cp);
  auto words = Words(*withErrors);
  QTest::mouseClick(words[0], Qt::LeftButton, {}, QPoint(2, 2));
  ASSERT_TRUE(words[0]->Editor);
  EXPECT_EQ(words[0]->Editor->Text(), "Раз"_cp);
}

TEST_F(WordSelectorTest, AWrongCorrectionAloneIsStruckAsInWordCorrection) {
  TRLWordSelector* passage = Passage("<selector <error text=дав answer=два>>"_cp);
  TRLSelectWord* word = Words(*passage)[0];
  passage->Check();
  EXPECT_TRUE(word->ErrorShown);
  EXPECT_FALSE(word->SelectionErrorShown);
  EXPECT_EQ(passage->Score, 1);  // the choice (not selected) is right
  EXPECT_EQ(passage->MaxScore, 2);
  const TBitmap bitmap = Painted(*word);
  EXPECT_EQ(bitmap.Pixel(word->Width() / 2, word->Height() / 2 + 2), ColorToPixel(clRed));
}

// ----- the underline look

TEST(DrawWaveTest, ThreePixelBandHasAPeriodOfSixPixels) {
  TBitmap bitmap(40, 10);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Pen = TPen{clBlue, 1, TPenStyle::psSolid, TPenMode::pmCopy};
  DrawWave(canvas, Rect(0, 2, 30, 5));
  const std::uint32_t blue = ColorToPixel(clBlue);
  // The crests (y = 2) and troughs (y = 5) repeat every six pixels.
  for (int x : {2, 8, 14, 20}) EXPECT_EQ(bitmap.Pixel(x, 2), blue) << x;
  for (int x : {5, 11, 17, 23}) EXPECT_EQ(bitmap.Pixel(x, 5), blue) << x;
  for (int y = 0; y < 10; ++y) EXPECT_NE(bitmap.Pixel(31, y), blue);
  EXPECT_NE(bitmap.Pixel(5, 2), blue);
}

TEST_F(WordSelectorTest, UnderlinedWordsShowChoicesAsWaves) {
  page_.Parse("<underlineselector Раз <select два>>"_cp);
  auto* passage = qobject_cast<TRLWordSelector2*>(page_.Children().front());
  ASSERT_NE(passage, nullptr);
  auto words = Words(*passage);
  for (const TRLSelectWord* word : words) ASSERT_NE(qobject_cast<const TRLSelectWord2*>(word), nullptr);
  // Pixels of a colour in the bottom six rows of a word, and above them.
  const auto inBand = [](TRLSelectWord* w, TColor color) {
    return CountPixels(Painted(*w), ColorToPixel(color), w->Height() - 6, w->Height());
  };
  const auto aboveBand = [](TRLSelectWord* w, TColor color) {
    return CountPixels(Painted(*w), ColorToPixel(color), 0, w->Height() - 7);
  };
  EXPECT_EQ(inBand(words[0], 0xFF0000), 0);
  words[0]->SetSelected(true);
  EXPECT_GT(inBand(words[0], 0xFF0000), words[0]->Width() / 2);
  EXPECT_EQ(aboveBand(words[0], 0xFF0000), 0);
  passage->Check();
  // Wrongly selected: a straight red line two pixels thick; missed: a red wave.
  const TBitmap wrong = Painted(*words[0]);
  for (int x = 1; x < words[0]->Width() - 1; ++x)
    EXPECT_EQ(wrong.Pixel(x, words[0]->Height() - 2), ColorToPixel(clRed)) << x;
  EXPECT_GT(inBand(words[1], clRed), words[1]->Width() / 2);
  EXPECT_EQ(aboveBand(words[1], clRed), 0);
}

// ----- as the learner sees it

TEST_F(WordSelectorTest, BothLooksOnThePage) {
  page_.Parser->SetColor(0xF6EFE2);
  page_.Parse(
      "Выделите существительные.<br><selector <select Ветер> гнал по <select небу> тяжёлые <select "
      "тучи>.><br><underlineselector Вдали <select гремел> <select гром>.>"_cp);
  page_.Window->Show();
  std::vector<TRLWordSelector*> passages;
  for (TRLControl* child : page_.Children())
    if (auto* passage = qobject_cast<TRLWordSelector*>(child)) passages.push_back(passage);
  ASSERT_EQ(passages.size(), 2u);
  auto first = Words(*passages[0]);
  auto second = Words(*passages[1]);
  // "Ветер гнал" in one drag, then "небу" alone; "гремел" underlined, "гром" missed.
  Drag(first[0], QPoint(2, 5), {Inside(first[1])});
  RightClick(first[3], 3);
  RightClick(second[1], 3);
  passages[0]->Check();
  passages[1]->Check();
  // Every word counts, the full stops too.
  EXPECT_EQ(passages[0]->Score, 5);
  EXPECT_EQ(passages[0]->MaxScore, 7);
  EXPECT_EQ(passages[1]->Score, 3);
  EXPECT_EQ(passages[1]->MaxScore, 4);
  const QImage shot =
      page_.Window->grab(QRect(0, 0, 500, passages[1]->Top() + passages[1]->Height() + 4)).toImage();
  QDir().mkpath(EXERCISE_RENDER_DIR);  // kept for a person to look at
  EXPECT_TRUE(shot.save(QString(EXERCISE_RENDER_DIR) + "/word-selector.png"));
  const auto cornerOf = [&](const TRLSelectWord* w) {
    return w->Parent()->mapTo(page_.Window.get(), QPoint(w->Left() + w->Width() - 2, w->Top() + 1));
  };
  EXPECT_EQ(shot.pixelColor(cornerOf(first[0])), ToQColor(0x00FFFF));  // right: selected
  EXPECT_EQ(shot.pixelColor(cornerOf(first[1])), ToQColor(0x0000FF));  // selected wrongly
  EXPECT_EQ(shot.pixelColor(cornerOf(first[5])), ToQColor(0x2F92EF));  // missed
  EXPECT_EQ(shot.pixelColor(cornerOf(first[2])), ToQColor(0xF6EFE2));  // left alone, rightly
}
