// Word correction: reading the passage, its word-wrap layout, scoring and
// marks, and correcting words in place with real mouse and key events.
#include <gtest/gtest.h>

#include <QDir>
#include <QTest>

#include "ExerciseFixtures.h"
#include "exercise/RLEdit.h"
#include "exercise/RLLabel.h"
#include "exercise/RLWordCorrector.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "platform/KeyboardLayout.h"
#include "tests/platform/XKeyboard.h"

namespace {

const std::uint32_t RedPixel = ColorToPixel(clRed);

class WordCorrectorTest : public ::testing::Test {
 protected:
  // The trainer turns its Russian layout on at start.
  void SetUp() override { ActivateKeyboardLayout("00000419"); }
  void TearDown() override { DeactivateRussianLayout(); }

  TRLWordCorrector* Passage(const std::string& markup) {
    FreeChildren(page_.Parser);
    page_.Parse(markup);
    for (TRLControl* child : page_.Children())
      if (auto* passage = qobject_cast<TRLWordCorrector*>(child)) return passage;
    return nullptr;
  }
  static std::vector<TRLWord*> Words(const TRLWordCorrector& passage) {
    std::vector<TRLWord*> words;
    for (int i = 0; i < passage.ControlCount(); ++i)
      if (auto* word = qobject_cast<TRLWord*>(passage.Controls(i)); word && !word->IsBreak)
        words.push_back(word);
    return words;
  }
  // The root parser takes the window's width when it parses.
  void SetPageWidth(int width) { page_.Window->SetBounds(0, 0, width, 400); }
  void ShowPage() {
    page_.Window->Show();
    page_.Window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page_.Window.get()));
  }
  // The keys of the Russian layout that type letters, pressed on a US X layout.
  static void TypeRussian(QWidget* target, const std::u16string& letters) {
    XKeyboard(TXLayout::Us).TypeRussianKeys(letters, target);
  }
  // Clicks the word, replaces its text in the field that opens, and presses Return.
  static void Correct(TRLWord* word, int backspaces, const std::u16string& typed) {
    QTest::mouseClick(word, Qt::LeftButton, {}, QPoint(2, 2));
    ASSERT_TRUE(word->Editor);
    TRLEdit* editor = word->Editor;
    QTest::keyClick(editor, Qt::Key_End);
    for (int i = 0; i < backspaces; ++i) QTest::keyClick(editor, Qt::Key_Backspace);
    TypeRussian(editor, typed);
    QTest::keyClick(editor, Qt::Key_Return);
  }
  static TBitmap Painted(TRLControl& control) {
    TBitmap out(control.Width(), control.Height());
    control.Paint(out.Canvas());
    return out;
  }
  static int Height(const std::string& s) { return TextHeight(BodyFont(), s); }
  static int Width(const std::string& s) { return TextWidth(BodyFont(), s); }
  static TFont BodyFont() {
    TFont f;
    f.Name = "Times New Roman";
    f.SetSize(-18);
    return f;
  }

  TagTableScope tags_;
  TestPage page_{400, true};
};

}  // namespace

// ----- reading the passage

TEST_F(WordCorrectorTest, PlainWordsErrorItemsAndStyleTags) {
  TRLWordCorrector* passage =
      Passage("<editable Мама мыла <error text=рму answer=раму> и <b>окно</b>.<edit answer=да>>"_cp);
  ASSERT_NE(passage, nullptr);
  const auto words = Words(*passage);
  ASSERT_EQ(words.size(), 6u);
  EXPECT_EQ(words[0]->Text(), "Мама"_cp);
  EXPECT_EQ(words[0]->Answer, "Мама"_cp);
  EXPECT_TRUE(words[0]->TrailingBlank);
  EXPECT_FALSE(words[0]->IsError);
  EXPECT_TRUE(words[0]->Glued);  // the passage's first word has no blank before it
  EXPECT_FALSE(words[1]->Glued);
  // The error item: no blank of its own, and not glued after "мыла ".
  EXPECT_EQ(words[2]->Text(), "рму"_cp);
  EXPECT_EQ(words[2]->InitialText, "рму"_cp);
  EXPECT_EQ(words[2]->Answer, "раму"_cp);
  EXPECT_TRUE(words[2]->IsError);
  EXPECT_FALSE(words[2]->TrailingBlank);
  EXPECT_FALSE(words[2]->Glued);
  // Bold reaches "окно" only; the word before a tag has no trailing blank.
  EXPECT_TRUE(words[4]->Font().Bold());
  EXPECT_FALSE(words[4]->TrailingBlank);
  EXPECT_FALSE(words[5]->Font().Bold());
  EXPECT_EQ(words[5]->Text(), "."_cp);
  EXPECT_TRUE(words[5]->Glued);
  // The embedded field is glued to the full stop.
  TRLEdit* field = nullptr;
  for (int i = 0; i < passage->ControlCount(); ++i)
    if (auto* f = qobject_cast<TRLEdit*>(passage->Controls(i))) field = f;
  ASSERT_NE(field, nullptr);
  EXPECT_TRUE(field->Glued);
  // The blank after the error item is a blank label.
  const auto* blank = qobject_cast<TRLLabel*>(passage->Controls(3));
  ASSERT_NE(blank, nullptr);
  EXPECT_EQ(blank->Caption(), " ");
}

TEST_F(WordCorrectorTest, UnknownTagAndBadFontSizeFail) {
  EXPECT_EQ(ExceptionMessage([&] { Passage("<editable слово <Нечто> дальше>"_cp); }),
            "Unknown tag: \"Нечто\""_cp);
  EXPECT_EQ(ExceptionMessage([&] { Passage("<editable <fontsize x>слово>"_cp); }),
            "Not a number in a <fontsize> tag.");
}

// ----- layout

TEST_F(WordCorrectorTest, LinesAreTwiceTheWordHeightWithAGap) {
  TRLWordCorrector* passage = Passage("<editable Мама мыла<br>раму>"_cp);
  const auto words = Words(*passage);
  ASSERT_EQ(words.size(), 3u);
  const int h = Height("Мама"_cp);
  EXPECT_EQ(words[0]->Left(), 0);
  EXPECT_EQ(words[0]->Width(), Width("Мама "_cp));
  EXPECT_EQ(words[1]->Left(), Width("Мама "_cp));
  EXPECT_EQ(words[1]->Width(), Width("мыла"_cp));  // before a tag: no trailing blank
  EXPECT_EQ(words[0]->Top(), h);
  EXPECT_EQ(words[2]->Left(), 0);
  EXPECT_EQ(words[2]->Top(), 2 * h + 1 + h);
  EXPECT_EQ(words[2]->LineNo, 2);
  // Two lines, a pixel after each, two below.
  EXPECT_EQ(passage->Height(), 2 * (2 * h + 1) + 2);
}

TEST_F(WordCorrectorTest, EmptyPassageIsThirteenPixelsHigh) {
  EXPECT_EQ(Passage("<editable>")->Height(), 13);
}

TEST_F(WordCorrectorTest, GluedErrorItemWrapsWithTheWordBeforeIt) {
  // "пере" and the error item after it form one run.
  const std::string markup = "<editable Мы <error text=пере answer=пере>шли>"_cp;
  TRLWordCorrector* wide = Passage(markup);
  auto words = Words(*wide);
  ASSERT_EQ(words.size(), 3u);
  EXPECT_TRUE(words[2]->Glued);
  EXPECT_EQ(words[2]->LineNo, 1);
  // Room for "Мы " and "пере" but not "шли": "пере" goes along.
  SetPageWidth(Width("Мы пере"_cp) + 2);
  words = Words(*Passage(markup));
  EXPECT_EQ(words[0]->LineNo, 1);
  EXPECT_EQ(words[1]->LineNo, 2);
  EXPECT_EQ(words[1]->Left(), 0);
  EXPECT_EQ(words[2]->LineNo, 2);
  EXPECT_EQ(words[2]->Left(), words[1]->Width());
}

TEST_F(WordCorrectorTest, AWordWiderThanThePassageLeavesNoEmptyLineBefore) {
  SetPageWidth(30);
  const auto words = Words(*Passage("<editable Длиннющееслово>"_cp));
  ASSERT_EQ(words.size(), 1u);
  EXPECT_EQ(words[0]->LineNo, 1);
  EXPECT_EQ(words[0]->Top(), Height("Д"_cp));
  EXPECT_GT(words[0]->Width(), 30);
}

// ----- scoring and marks

TEST_F(WordCorrectorTest, ScoresCorrectionsAndChangedWords) {
  TRLWordCorrector* passage = Passage("<editable Мама <error text=мыло answer=мыла> Раму>"_cp);
  auto words = Words(*passage);
  passage->CheckOnlyScore();
  EXPECT_EQ(passage->Score, 0);
  EXPECT_EQ(passage->MaxScore, 1);
  words[1]->SetText("мыла"_cp);
  passage->CheckOnlyScore();
  EXPECT_EQ(passage->Score, 1);
  EXPECT_EQ(passage->MaxScore, 1);
  // A changed plain word is a mistake; its right form is case-sensitive.
  words[2]->SetText("раму"_cp);
  passage->CheckOnlyScore();
  EXPECT_EQ(passage->Score, 1);
  EXPECT_EQ(passage->MaxScore, 2);
  // Changed back by hand it is right again.
  words[2]->SetText("Раму"_cp);
  passage->Check();
  EXPECT_EQ(passage->Score, 1);
  EXPECT_EQ(passage->MaxScore, 1);
  EXPECT_FALSE(words[2]->ErrorShown);
}

TEST_F(WordCorrectorTest, AFailedCheckStrikesTheWordAndShowsTheRightFormAbove) {
  TRLWordCorrector* passage =
      Passage("<editable Мама <error text=мыло answer=мыла> <error text=ы answer=и>>"_cp);
  auto words = Words(*passage);
  passage->Check();
  EXPECT_EQ(passage->Score, 0);
  EXPECT_EQ(passage->MaxScore, 2);
  TRLWord* long_ = words[1];
  ASSERT_TRUE(long_->ErrorShown);
  ASSERT_TRUE(long_->ErrorLabel);
  EXPECT_EQ(long_->ErrorLabel->Caption(), "мыла"_cp);
  EXPECT_FALSE(long_->ErrorLabel->InFlow);
  EXPECT_EQ(long_->ErrorLabel->Font().Color, clRed);
  EXPECT_EQ(long_->ErrorLabel->Left(), long_->Left());
  EXPECT_EQ(long_->ErrorLabel->Top(), long_->Top() - long_->ErrorLabel->Height() + 5);
  // Three letters or more: a stroke across, two pixels thick, just below the middle.
  const TBitmap strike = Painted(*long_);
  const int y = long_->Height() / 2 + 2;
  EXPECT_EQ(strike.Pixel(long_->Width() / 2, y), RedPixel);
  EXPECT_NE(strike.Pixel(long_->Width() / 2, y - 3), RedPixel);
  // One letter: a slash over the middle third, from the bottom left up to the top right.
  TRLWord* short_ = words[2];
  const TBitmap slash = Painted(*short_);
  const int w = short_->Width(), h = short_->Height();
  EXPECT_EQ(slash.Pixel((w / 3 + 2 * (w / 3)) / 2, h / 2), RedPixel);
  EXPECT_NE(slash.Pixel(1, h / 2 + 2), RedPixel);
}

TEST_F(WordCorrectorTest, ResetBringsEveryWordBackAndRemovesTheMarks) {
  TRLWordCorrector* passage = Passage("<editable Мама <error text=мыло answer=мыла> раму>"_cp);
  auto words = Words(*passage);
  words[0]->SetText("Папа"_cp);
  passage->Check();
  ASSERT_TRUE(words[0]->ErrorLabel);
  QPointer<TRLLabel> label = words[0]->ErrorLabel.data();
  passage->Reset();
  EXPECT_EQ(words[0]->Text(), "Мама"_cp);
  EXPECT_FALSE(words[0]->ErrorShown);
  EXPECT_TRUE(label.isNull() || !label->Visible());
  EXPECT_EQ(words[1]->Left(), Width("Мама "_cp));
  // The next check marks the word again.
  words[0]->SetText("Папа"_cp);
  passage->Check();
  ASSERT_TRUE(words[0]->ErrorLabel);
  EXPECT_TRUE(words[0]->ErrorLabel->Visible());
  EXPECT_EQ(words[0]->ErrorLabel->Caption(), "Мама"_cp);
}

TEST_F(WordCorrectorTest, TheRightFormFollowsItsWordWhenThePassageFlowsAgain) {
  TRLWordCorrector* passage = Passage("<editable Да <error text=нет answer=так>>"_cp);
  auto words = Words(*passage);
  passage->Check();
  ASSERT_TRUE(words[1]->ErrorLabel);
  words[0]->SetText("Конечно"_cp);
  passage->Arrange();
  EXPECT_EQ(words[1]->Left(), Width("Конечно "_cp));
  EXPECT_EQ(words[1]->ErrorLabel->Left(), words[1]->Left());
}

// ----- correcting in place

TEST_F(WordCorrectorTest, ClickOpensAFieldOverTheWordThatTakesTwoMoreLetters) {
  TRLWordCorrector* passage = Passage("<editable Мама <error text=мыло answer=мыла> раму>"_cp);
  ShowPage();
  TRLWord* word = Words(*passage)[1];
  QTest::mouseClick(word, Qt::LeftButton, {}, QPoint(2, 2));
  ASSERT_TRUE(word->Editor);
  TRLEdit* editor = word->Editor;
  EXPECT_FALSE(word->Visible());
  EXPECT_TRUE(editor->Focused());
  EXPECT_FALSE(editor->InFlow);
  EXPECT_EQ(editor->Text(), "мыло"_cp);
  EXPECT_EQ(editor->MaxChar, 6);
  EXPECT_EQ(editor->Top(), word->Top() - 5);
  EXPECT_GE(editor->Width(), TextWidth(editor->Font(), "мылооо"_cp));  // all it accepts is seen
  EXPECT_EQ(editor->Left(), std::max(word->Left() - (editor->Width() - word->Width()) / 2 - 1, 0));
  QTest::keyClick(editor, Qt::Key_End);
  TypeRussian(editor, u"ааа");
  EXPECT_EQ(editor->Text(), "мылоаа"_cp);
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(word->Text(), "мылоаа"_cp);
  EXPECT_EQ(word->InitialText, "мыло"_cp);
  // A right click opens nothing.
  QTest::mouseClick(Words(*passage)[0], Qt::RightButton, {}, QPoint(2, 2));
  EXPECT_FALSE(Words(*passage)[0]->Editor);
}

TEST_F(WordCorrectorTest, ReturnTakesTheCorrectionAndThePassageFlowsAgain) {
  TRLWordCorrector* passage = Passage("<editable Мама <error text=мло answer=мыла> раму>"_cp);
  ShowPage();
  auto words = Words(*passage);
  Correct(words[1], 3, u"мыла");
  EXPECT_FALSE(words[1]->Editor);
  EXPECT_TRUE(words[1]->Visible());
  EXPECT_EQ(words[1]->Text(), "мыла"_cp);
  EXPECT_EQ(words[1]->Width(), Width("мыла"_cp));
  EXPECT_EQ(words[2]->Left(), words[1]->Left() + words[1]->Width() + Width(" "));
  passage->Check();
  EXPECT_EQ(passage->Score, 1);
  EXPECT_EQ(passage->MaxScore, 1);
}

TEST_F(WordCorrectorTest, AWordThatWrapsAfterAnItemStartsItsLineAtTheEdge) {
  SetPageWidth(Width("Мама мла"_cp) + 1);
  TRLWordCorrector* passage = Passage("<editable Мама <error text=мла answer=мыла> раму>"_cp);
  const auto words = Words(*passage);
  EXPECT_EQ(words[2]->Left(), 0);
  EXPECT_GT(words[2]->Top(), words[1]->Top());
}

TEST_F(WordCorrectorTest, LeavingTheFieldAlsoTakesTheCorrection) {
  TRLWordCorrector* passage = Passage("<editable <error text=Вада answer=Вода> <edit answer=да>>"_cp);
  ShowPage();
  TRLWord* word = Words(*passage)[0];
  QTest::mouseClick(word, Qt::LeftButton, {}, QPoint(2, 2));
  ASSERT_TRUE(word->Editor);
  TRLEdit* editor = word->Editor;
  QTest::keyClick(editor, Qt::Key_Right);  // caret after "В"
  QTest::keyClick(editor, Qt::Key_Delete);
  TypeRussian(editor, u"о");
  // Down moves the focus to the next field: the word takes the correction.
  QTest::keyClick(editor, Qt::Key_Down);
  EXPECT_FALSE(word->Editor);
  EXPECT_EQ(word->Text(), "Вода"_cp);
}

TEST_F(WordCorrectorTest, ClickingAStruckWordBringsBackItsMisspeltForm) {
  TRLWordCorrector* passage = Passage("<editable <error text=мло answer=мыла>>"_cp);
  ShowPage();
  TRLWord* word = Words(*passage)[0];
  Correct(word, 1, u"у");
  EXPECT_EQ(word->Text(), "млу"_cp);
  passage->Check();
  ASSERT_TRUE(word->ErrorLabel);
  QPointer<TRLLabel> label = word->ErrorLabel.data();
  QTest::mouseClick(word, Qt::LeftButton, {}, QPoint(2, 2));
  ASSERT_TRUE(word->Editor);
  EXPECT_EQ(word->Editor->Text(), "мло"_cp);
  EXPECT_FALSE(word->ErrorShown);
  EXPECT_TRUE(label.isNull() || !label->Visible());
}

TEST_F(WordCorrectorTest, ACheckWithAnOpenFieldJudgesWhatWasTyped) {
  TRLWordCorrector* passage = Passage("<editable <error text=мло answer=мыла>>"_cp);
  ShowPage();
  TRLWord* word = Words(*passage)[0];
  QTest::mouseClick(word, Qt::LeftButton, {}, QPoint(2, 2));
  QPointer<TRLEdit> editor = word->Editor.data();
  QTest::keyClick(editor, Qt::Key_End);
  QTest::keyClick(editor, Qt::Key_Backspace);
  QTest::keyClick(editor, Qt::Key_Backspace);
  TypeRussian(editor, u"ыла");
  passage->Check();
  EXPECT_EQ(passage->Score, 1);
  EXPECT_FALSE(word->Editor);
  EXPECT_FALSE(editor && editor->ErrorShown);
}

TEST_F(WordCorrectorTest, ResetWithAnOpenFieldKeepsTheWord) {
  TRLWordCorrector* passage = Passage("<editable <error text=мло answer=мыла> дом>"_cp);
  ShowPage();
  TRLWord* word = Words(*passage)[0];
  QTest::mouseClick(word, Qt::LeftButton, {}, QPoint(2, 2));
  ASSERT_TRUE(word->Editor);
  QPointer<TRLEdit> editor = word->Editor.data();
  passage->Reset();
  EXPECT_FALSE(word->Editor);
  EXPECT_TRUE(word->Visible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(editor.isNull());
  EXPECT_EQ(word->Text(), "мло"_cp);
}

TEST_F(WordCorrectorTest, AnEmptiedWordCanStillBeClickedAndCorrected) {
  TRLWordCorrector* passage = Passage("<editable <error text=ох answer=ах> да>"_cp);
  ShowPage();
  TRLWord* word = Words(*passage)[0];
  Correct(word, 2, u"");
  EXPECT_EQ(word->Text(), "");
  EXPECT_GT(word->Width(), 0);
  Correct(word, 0, u"ах");
  EXPECT_EQ(word->Text(), "ах"_cp);
}

TEST_F(WordCorrectorTest, APassageThatGrowsMovesTheTextBelowIt) {
  SetPageWidth(Width("Мама мла"_cp) + Width(" ") + Width("раму"_cp) + 2);
  TRLWordCorrector* passage = Passage("<editable Мама <error text=мла answer=мыла> раму><br>Конец"_cp);
  ShowPage();
  TRLControl* last = page_.Children().back();
  const int before = passage->Height();
  Correct(Words(*passage)[1], 0, u"аа");
  ASSERT_GT(passage->Height(), before);
  EXPECT_GE(last->Top(), passage->Top() + passage->Height());
}

TEST_F(WordCorrectorTest, FreeingThePageWithAnOpenFieldIsSafe) {
  TRLWordCorrector* passage = Passage("<editable <error text=мло answer=мыла> <edit answer=да>>"_cp);
  ShowPage();
  QTest::mouseClick(Words(*passage)[0], Qt::LeftButton, {}, QPoint(2, 2));
  FreeChildren(page_.Window.get());
  QCoreApplication::processEvents();
  EXPECT_EQ(page_.Window->ControlCount(), 0);
}

// ----- as the learner sees it

TEST_F(WordCorrectorTest, ACheckedPassageOnThePage) {
  page_.Parser->SetColor(0xF6EFE2);
  TRLWordCorrector* passage = Passage(
      "Исправьте ошибки:<br><editable Ранней <error text=висной answer=весной> мы пошли в "
      "<error text=лесок answer=лесок> и <error text=увидили answer=увидели> первые <error text=цвиты "
      "answer=цветы>, <error text=ф answer=в> траве.>"_cp);
  ShowPage();
  auto words = Words(*passage);
  ASSERT_EQ(words.size(), 13u);
  Correct(words[7], 3, u"ели");
  // A field still open when the check comes counts with what it holds.
  QTest::mouseClick(words[9], Qt::LeftButton, {}, QPoint(2, 2));
  ASSERT_TRUE(words[9]->Editor);
  QTest::keyClick(words[9]->Editor, Qt::Key_Right);
  QTest::keyClick(words[9]->Editor, Qt::Key_Right);
  QTest::keyClick(words[9]->Editor, Qt::Key_Delete);
  TypeRussian(words[9]->Editor, u"е");
  passage->Check();
  // "лесок" is right as given, "увидели" and "цветы" were put right.
  EXPECT_EQ(passage->Score, 3);
  EXPECT_EQ(passage->MaxScore, 5);
  const QImage shot = page_.Window->grab(QRect(0, 0, 400, passage->Top() + passage->Height() + 4)).toImage();
  QDir().mkpath(EXERCISE_RENDER_DIR);  // kept for a person to look at
  EXPECT_TRUE(shot.save(QString(EXERCISE_RENDER_DIR) + "/word-corrector.png"));
  // The struck long word: its stroke and, above it, the right form in red.
  const TRLWord* wrong = words[1];
  ASSERT_TRUE(wrong->ErrorShown);
  const QPoint origin = passage->mapTo(page_.Window.get(), QPoint(wrong->Left(), wrong->Top()));
  EXPECT_EQ(shot.pixelColor(origin + QPoint(wrong->Width() / 2, wrong->Height() / 2 + 2)), QColor(Qt::red));
  int redAbove = 0;
  for (int y = origin.y() - wrong->Height() + 5; y < origin.y(); ++y)
    for (int x = origin.x(); x < origin.x() + wrong->Width(); ++x)
      redAbove += shot.pixelColor(x, y).red() > 200 && shot.pixelColor(x, y).green() < 80;
  EXPECT_GT(redAbove, 10);
}
