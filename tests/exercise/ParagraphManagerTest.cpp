// Paragraph ordering: letters and places read from the markup, the stacked
// layout, moving by arrows and keys, the check with its red letters, the
// focus colours and frames, and the markup's failures.
#include <gtest/gtest.h>

#include "MarkFixtures.h"
#include "exercise/RLParagraphManager.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "widgets/AlphaBitmap.h"

namespace {

// Three paragraphs written in the order 2, 3, 1, each with one answer.
const std::string Scrambled =
    "<parmanager <paragraph 2 Потом <answer>> <paragraph 3 Наконец <answer>> <paragraph 1 Сначала <answer>>>";

class ParagraphManagerTest : public ::testing::Test {
 protected:
  TRLParagraphManager* Parse(const std::string& markup) {
    return page_.ParseOne<TRLParagraphManager>(Utf8ToCp1251(markup));
  }
  static std::string Letters(const TRLParagraphManager& manager) {
    std::string letters;
    for (const TRLParagraph* paragraph : manager.Paragraphs()) letters += paragraph->Letter;
    return Cp1251ToUtf8(letters);
  }
  static void Click(TControl* control, int x = 3, int y = 3) {
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(x, y));
  }
  static TFakeAnswer* InnerAnswer(const TRLParagraph& paragraph) {
    for (int i = 0; i < paragraph.InnerParser()->ControlCount(); ++i)
      if (auto* answer = dynamic_cast<TFakeAnswer*>(paragraph.InnerParser()->Controls(i))) return answer;
    return nullptr;
  }

  MarkPage page_;
};

}  // namespace

TEST_F(ParagraphManagerTest, LettersFollowTheWrittenOrderAndPlacesTheNumbers) {
  TRLParagraphManager* manager = Parse(Scrambled);
  ASSERT_NE(manager, nullptr);
  EXPECT_EQ(Letters(*manager), "абв");
  const auto list = manager->Paragraphs();
  EXPECT_EQ(list[0]->CorrectIndex, 1);
  EXPECT_EQ(list[1]->CorrectIndex, 2);
  EXPECT_EQ(list[2]->CorrectIndex, 0);
  EXPECT_EQ(list[2]->Position(), 2);
  EXPECT_EQ(list[2]->LastIndex(), 2);
  EXPECT_EQ(Cp1251ToUtf8(list[1]->LetterLabel()->Caption()), "б");
}

TEST_F(ParagraphManagerTest, ParagraphsStandOneUnderAnotherAPixelApart) {
  TRLParagraphManager* manager = Parse("Текст <b>перед</b> " + Scrambled);
  EXPECT_EQ(manager->Width(), page_.Parser().Width());
  EXPECT_FALSE(manager->Font().Bold());
  int y = 0;
  for (const TRLParagraph* paragraph : manager->Paragraphs()) {
    EXPECT_EQ(paragraph->Width(), manager->Width() - 50);
    EXPECT_EQ(paragraph->Left(), 0);
    EXPECT_EQ(paragraph->Top(), y);
    y += paragraph->Height() + 1;
  }
  EXPECT_EQ(manager->Height(), y);
}

TEST_F(ParagraphManagerTest, AParagraphIsLaidOutAroundItsText) {
  TRLParagraph* paragraph = Parse("<parmanager <paragraph 1 Одна строка.>>")->Paragraphs()[0];
  const int letter = paragraph->LetterLabel()->Height();
  // A one-line text still leaves room for three letters and the frame.
  EXPECT_EQ(paragraph->Height(), 3 * letter + 20);
  EXPECT_EQ(paragraph->LetterLabel()->Left(), 10);
  EXPECT_EQ(paragraph->LetterLabel()->Top(), (paragraph->Height() - letter) / 2);
  const TRLControl* panel = paragraph->TextPanel();
  EXPECT_EQ(panel->Left(), 30);
  EXPECT_EQ(panel->Top(), 10);
  EXPECT_EQ(panel->Width(), paragraph->Width() - 69);
  EXPECT_EQ(panel->Height(), paragraph->InnerParser()->Height());
  // The arrows meet at the middle of the right edge.
  const TRLPaintButton* up = paragraph->UpButton();
  const TRLPaintButton* down = paragraph->DownButton();
  EXPECT_EQ(up->Left(), paragraph->Width() - up->Width());
  EXPECT_EQ(up->Top() + up->Height(), paragraph->Height() / 2);
  EXPECT_EQ(down->Top(), paragraph->Height() / 2);
}

TEST_F(ParagraphManagerTest, ALongTextMakesTheParagraphTaller) {
  std::string words;
  for (int i = 0; i < 60; ++i) words += "слово ";
  TRLParagraph* paragraph = Parse("<parmanager <paragraph 1 " + words + ">>")->Paragraphs()[0];
  EXPECT_GT(paragraph->InnerParser()->Height(), 3 * paragraph->LetterLabel()->Height());
  EXPECT_EQ(paragraph->Height(), paragraph->InnerParser()->Height() + 20);
}

TEST_F(ParagraphManagerTest, ArrowsMoveTheParagraphWithoutTakingTheFocus) {
  TRLParagraphManager* manager = Parse(Scrambled);
  ASSERT_TRUE(page_.Show());
  TRLParagraph* last = manager->Paragraphs()[2];
  Click(last->UpButton());
  EXPECT_EQ(Letters(*manager), "авб");
  Click(last->UpButton());
  EXPECT_EQ(Letters(*manager), "ваб");
  EXPECT_EQ(last->Top(), 0);
  // Nothing lies above the first place.
  Click(last->UpButton());
  EXPECT_EQ(Letters(*manager), "ваб");
  Click(last->DownButton());
  EXPECT_EQ(Letters(*manager), "авб");
  EXPECT_FALSE(last->Focused());
}

TEST_F(ParagraphManagerTest, UpAndDownKeysMoveTheFocusedParagraph) {
  TRLParagraphManager* manager = Parse(Scrambled);
  ASSERT_TRUE(page_.Show());
  TRLParagraph* first = manager->Paragraphs()[0];
  first->SetFocus();
  ASSERT_TRUE(first->Focused());
  QTest::keyClick(first, Qt::Key_Up);
  EXPECT_EQ(Letters(*manager), "абв");
  QTest::keyClick(first, Qt::Key_Down);
  QTest::keyClick(first, Qt::Key_Down);
  EXPECT_EQ(Letters(*manager), "бва");
  QTest::keyClick(first, Qt::Key_Down);
  EXPECT_EQ(Letters(*manager), "бва");
  EXPECT_TRUE(first->Focused());
  // Left and Right still walk the page's controls.
  QTest::keyClick(first, Qt::Key_Right);
  EXPECT_FALSE(first->Focused());
}

TEST_F(ParagraphManagerTest, ACheckScoresInnerAnswersAndPlaces) {
  TRLParagraphManager* manager = Parse(Scrambled);
  CheckChildren(&page_.Parser());
  // Three inner answers right, no paragraph in its place.
  EXPECT_EQ(SumScore(&page_.Parser()), 3);
  EXPECT_EQ(SumMaxScore(&page_.Parser()), 6);
  manager->Paragraphs()[2]->MoveTo(0);
  CheckOnlyScoreChildren(&page_.Parser());
  EXPECT_EQ(SumScore(&page_.Parser()), 6);
  InnerAnswer(*manager->Paragraphs()[1])->Right = false;
  manager->CheckOnlyScore();
  EXPECT_EQ(manager->Score, 5);
  EXPECT_EQ(manager->MaxScore, 6);
}

TEST_F(ParagraphManagerTest, AMisplacedParagraphShowsTheLetterThatBelongsThere) {
  TRLParagraphManager* manager = Parse(Scrambled);
  manager->Check();
  // а stands where в belongs, б where а belongs, в where б belongs.
  const char* expected[] = {"в", "а", "б"};
  for (int i = 0; i < 3; ++i) {
    const TRLParagraph* paragraph = manager->Paragraphs()[i];
    TRLLabel* error = paragraph->ErrorLabel();
    ASSERT_NE(error, nullptr) << i;
    EXPECT_EQ(Cp1251ToUtf8(error->Caption()), expected[i]);
    EXPECT_EQ(error->Font().Color, TColor(0x0000FF));
    EXPECT_TRUE(error->Font().Bold());
    EXPECT_EQ(error->Left(), paragraph->LetterLabel()->Left());
    EXPECT_EQ(error->Top() + error->Height(), paragraph->LetterLabel()->Top());
    EXPECT_GT(CountWhere(Painted(*error), Rect(0, 0, error->Width(), error->Height()), IsRed), 0);
  }
  // Put in order, a second check takes every red letter away.
  manager->Paragraphs()[2]->MoveTo(0);
  manager->Check();
  for (const TRLParagraph* paragraph : manager->Paragraphs()) EXPECT_EQ(paragraph->ErrorLabel(), nullptr);
  EXPECT_EQ(manager->Score, 6);
}

TEST_F(ParagraphManagerTest, ACheckWithoutMarksShowsNoLetters) {
  TRLParagraphManager* manager = Parse(Scrambled);
  manager->CheckOnlyScore();
  for (const TRLParagraph* paragraph : manager->Paragraphs()) EXPECT_EQ(paragraph->ErrorLabel(), nullptr);
}

TEST_F(ParagraphManagerTest, AClickOnItsTextSelectsTheParagraph) {
  TRLParagraphManager* manager = Parse(Scrambled);
  ASSERT_TRUE(page_.Show());
  TRLParagraph* paragraph = manager->Paragraphs()[1];
  TControl* word = paragraph->InnerParser()->Controls(0);
  Click(word);
  ASSERT_TRUE(paragraph->Focused());
  EXPECT_EQ(paragraph->TextPanel()->Color(), TRLParagraph::FocusColor);
  EXPECT_EQ(paragraph->LetterLabel()->Color(), TRLParagraph::FocusColor);
  // The words show the selection's colour behind them.
  const TBitmap painted = Painted(*qobject_cast<TRLControl*>(word));
  EXPECT_EQ(painted.Pixel(0, 0) & 0xFFFFFF, ColorToPixel(TRLParagraph::FocusColor) & 0xFFFFFF);
  Click(manager->Paragraphs()[0]);
  EXPECT_EQ(paragraph->TextPanel()->Color(), TRLParagraph::PanelColor);
}

TEST_F(ParagraphManagerTest, SelectingAMarkedParagraphResetsIt) {
  TRLParagraphManager* manager = Parse(Scrambled);
  ASSERT_TRUE(page_.Show());
  manager->Check();
  TRLParagraph* paragraph = manager->Paragraphs()[0];
  ASSERT_NE(paragraph->ErrorLabel(), nullptr);
  Click(paragraph->LetterLabel());
  EXPECT_TRUE(paragraph->Focused());
  EXPECT_EQ(paragraph->ErrorLabel(), nullptr);
  EXPECT_EQ(InnerAnswer(*paragraph)->Resets, 1);
  // The others keep their letters until they are selected.
  EXPECT_NE(manager->Paragraphs()[1]->ErrorLabel(), nullptr);
  manager->Paragraphs()[2]->MoveUp();
  ResetChildren(&page_.Parser());
  EXPECT_EQ(manager->Paragraphs()[1]->ErrorLabel(), nullptr);
  EXPECT_EQ(Letters(*manager), "авб");  // a reset keeps the learner's order
}

TEST_F(ParagraphManagerTest, TheFrameFollowsTheFocusAndLeavesTheArrowColumn) {
  TRLParagraphManager* manager = Parse(Scrambled);
  ASSERT_TRUE(page_.Show());
  TRLParagraph& paragraph = *manager->Paragraphs()[0];
  const auto centre = [&](const TBitmap& image) {
    // The picture's middle cell, stretched: its colour blended over the page.
    TBitmap expected(1, 1);
    expected.SetPixel(0, 0, ColorToPixel(PageColor));
    AlphaBlend(expected, Rect(0, 0, 1, 1), image,
               Rect(image.Width() / 2, image.Height() / 2, image.Width() / 2 + 1, image.Height() / 2 + 1));
    return expected.Pixel(0, 0) & 0xFFFFFF;
  };
  const int x = 20, y = paragraph.Height() - 15;  // inside the frame, below the letter
  TBitmap painted = Painted(paragraph);
  EXPECT_EQ(painted.Pixel(x, y) & 0xFFFFFF, centre(paragraph.InactiveImage()));
  EXPECT_TRUE(IsPaper(painted.Pixel(paragraph.Width() - 5, 2)));
  paragraph.SetFocus();
  painted = Painted(paragraph);
  EXPECT_EQ(painted.Pixel(x, y) & 0xFFFFFF, centre(paragraph.ActiveImage()));
  EXPECT_NE(centre(paragraph.ActiveImage()), centre(paragraph.InactiveImage()));
  // The arrows show the active frame only with the focus.
  EXPECT_EQ(paragraph.UpButton()->Frame(), TRLPaintButton::afActive);
  EXPECT_EQ(manager->Paragraphs()[1]->UpButton()->Frame(), TRLPaintButton::afInactive);
}

TEST_F(ParagraphManagerTest, FaultyMarkupIsReported) {
  EXPECT_EQ(ExceptionMessage([&] { Parse("<parmanager <paragraph 1 текст><p 2 текст>>"); }),
            "Unrecognized tag: \"p\". Only \"paragraph\" tag supported inside ParagraphManager.");
  FreeChildren(&page_.Parser());
  EXPECT_EQ(ExceptionMessage([&] { Parse("<parmanager <paragraph 2 а><paragraph первый б>>"); }),
            Utf8ToCp1251("Integer expexted but \"первый\" found."));
  // The page built up to the fault can still be checked.
  EXPECT_NO_THROW(CheckChildren(&page_.Parser()));
  FreeChildren(&page_.Parser());
  std::string many;
  for (int i = 1; i <= 33; ++i) many += "<paragraph " + std::to_string(i) + " текст>";
  EXPECT_EQ(ExceptionMessage([&] { Parse("<parmanager " + many + ">"); }),
            "A \"parmanager\" tag holds at most 32 paragraphs.");
}

TEST_F(ParagraphManagerTest, RepeatedAndMissingPlacesLoadAndMarkWhatBelongsThere) {
  // Place 1 is claimed twice (б and в), place 3 by nobody.
  TRLParagraphManager* manager = Parse("<parmanager <paragraph 2 а><paragraph 1 б><paragraph 1 в>>");
  ASSERT_EQ(Letters(*manager), "абв");
  manager->Check();
  // At place 1 the first written of б and в; at place 3 the dash.
  const char* expected[] = {"б", "а", "–"};
  for (int i = 0; i < 3; ++i) {
    TRLLabel* error = manager->Paragraphs()[i]->ErrorLabel();
    ASSERT_NE(error, nullptr) << i;
    EXPECT_EQ(Cp1251ToUtf8(error->Caption()), expected[i]);
    EXPECT_GT(CountWhere(Painted(*error), Rect(0, 0, error->Width(), error->Height()), IsRed), 0);
  }
  EXPECT_EQ(manager->Score, 0);
  // Best order: б, а, в; в can never stand right.
  manager->Paragraphs()[1]->MoveUp();
  manager->Check();
  EXPECT_EQ(Letters(*manager), "бав");
  EXPECT_EQ(manager->Paragraphs()[0]->ErrorLabel(), nullptr);
  EXPECT_EQ(manager->Paragraphs()[1]->ErrorLabel(), nullptr);
  ASSERT_NE(manager->Paragraphs()[2]->ErrorLabel(), nullptr);
  EXPECT_EQ(Cp1251ToUtf8(manager->Paragraphs()[2]->ErrorLabel()->Caption()), "–");
  EXPECT_EQ(manager->Score, 2);
  EXPECT_EQ(manager->MaxScore, 3);
}

TEST_F(ParagraphManagerTest, APlacePastTheListIsNeverRight) {
  TRLParagraphManager* manager = Parse("<parmanager <paragraph 1 а><paragraph 7 б><paragraph 0 в>>");
  ASSERT_EQ(manager->Paragraphs().size(), 3u);
  for (int i = 0; i < 3; ++i) {
    manager->Paragraphs()[2]->MoveTo(0);  // every order in turn lets each stand everywhere
    manager->CheckOnlyScore();
    EXPECT_EQ(manager->Score, manager->Paragraphs()[0]->Letter == "а"_cp[0] ? 1 : 0) << Letters(*manager);
  }
}

TEST_F(ParagraphManagerTest, TagNamesFoldAndTextBetweenParagraphsIsSkipped) {
  TRLParagraphManager* manager = Parse("<parmanager лишнее <PARAGRAPH 2 б> ещё <Paragraph 1 а>>");
  ASSERT_EQ(manager->Paragraphs().size(), 2u);
  EXPECT_EQ(manager->ControlCount(), 2);
}
