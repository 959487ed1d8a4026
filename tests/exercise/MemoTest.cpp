// The memo field: its size, word wrapping and hard breaks, the caret keys and
// clicks, the limits of its lines, and the check that compares words only.
#include <gtest/gtest.h>

#include <QTest>

#include "ExerciseFixtures.h"
#include "exercise/RLMemo.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "platform/KeyboardLayout.h"
#include "tests/platform/XKeyboard.h"

namespace {

class MemoTest : public ::testing::Test {
 protected:
  // The trainer turns its Russian layout on at start.
  void SetUp() override { ActivateKeyboardLayout("00000419"); }
  void TearDown() override { DeactivateRussianLayout(); }

  TRLMemo* Memo(const std::string& markup) {
    page_.Parse(markup);
    for (TRLControl* child : page_.Children())
      if (auto* memo = qobject_cast<TRLMemo*>(child)) return memo;
    return nullptr;
  }
  TRLMemo* FocusedMemo(const std::string& markup) {
    TRLMemo* memo = Memo(markup);
    page_.Window->Show();
    page_.Window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(page_.Window.get()));
    memo->SetFocus();
    return memo;
  }

  // Text typed with the keys of the Russian layout on a US X layout.
  static void Type(TRLMemo* memo, const std::u16string& text) {
    XKeyboard(TXLayout::Us).TypeRussianKeys(text, memo);
  }
  static std::vector<std::string> Lines(const TRLMemo& memo) {
    std::vector<std::string> lines;
    for (int i = 0; i < memo.TextLines.Count(); ++i) lines.push_back(memo.TextLines[i]);
    return lines;
  }
  static TBitmap Painted(TRLMemo& memo) {
    TBitmap out(memo.Width(), memo.Height());
    memo.Paint(out.Canvas());
    return out;
  }

  TagTableScope tags_;
  TestPage page_{400, true};
};

}  // namespace

// ----- attributes

TEST_F(MemoTest, ColumnsAndLinesSizeTheField) {
  TRLMemo* memo = Memo("<memo width=8 height=3 answer=\"Жили-были дед да баба.\">"_cp);
  ASSERT_NE(memo, nullptr);
  const TFont& font = page_.Parser->Font();
  const int pitch = font.Height() - 5;
  EXPECT_EQ(memo->LinePitch(), pitch);
  EXPECT_EQ(memo->MaxChar, 8);
  EXPECT_EQ(memo->LineCount, 3);
  EXPECT_EQ(memo->Width(), WidestCharWidth(memo) * 8);
  EXPECT_EQ(memo->Height(), pitch * 3 + 4);
  EXPECT_EQ(memo->AnswerText, "Жили-были дед да баба."_cp);
  EXPECT_EQ(FindTagClass("MEMO"), &CreateControl<TRLMemo>);
}

TEST_F(MemoTest, BrokenOrMissingSizes) {
  EXPECT_EQ(ExceptionMessage([&] { Memo("<memo width=5 height=два>"_cp); }),
            "Integer assumed, but \"два\" found."_cp);
  FreeChildren(page_.Parser);
  TRLMemo* flat = Memo("<memo width=5>");
  EXPECT_EQ(flat->Height(), 4);  // no lines: only the top margin
  EXPECT_EQ(flat->TextLines.Count(), 1);
  FreeChildren(page_.Parser);
  // Never wider than the line that holds it, and never of gigabytes.
  TRLMemo* huge = Memo("<memo width=2000000000 height=2000000000>");
  EXPECT_EQ(huge->Width(), page_.Parser->Width());
  EXPECT_LE(huge->Height(), 100 * huge->LinePitch() + 4);
}

// ----- wrapping

TEST_F(MemoTest, TypedTextWrapsAtBlanksKeepingEveryCharacter) {
  TRLMemo* memo = FocusedMemo("<memo width=7 height=6>");
  const std::u16string typed = u"мороз и солнце день чудесный";
  Type(memo, typed);
  const std::string text = QStringToCp1251(QString::fromStdU16String(typed));
  EXPECT_EQ(memo->Text(), text);
  const std::vector<std::string> lines = Lines(*memo);
  ASSERT_GT(lines.size(), 1u);
  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    joined += lines[i];
    EXPECT_LE(TextWidthOf(memo, lines[i]), memo->Width()) << i;
    EXPECT_FALSE(memo->EndsInBreak(int(i)));
    if (i + 1 == lines.size()) continue;
    // Each wrapped line ends in its blank, and the next word, with the blank
    // that follows it, would not have fitted.
    EXPECT_EQ(lines[i].back(), ' ');
    const std::string& next = lines[i + 1];
    const std::size_t blank = next.find(' ');
    const std::string nextWord = blank == std::string::npos ? next : next.substr(0, blank + 1);
    EXPECT_GT(TextWidthOf(memo, lines[i] + nextWord), memo->Width()) << i;
  }
  EXPECT_EQ(joined, text);
  EXPECT_EQ(memo->CaretRow, int(lines.size()) - 1);
  EXPECT_EQ(memo->Cursor(), int(lines.back().size()));
}

TEST_F(MemoTest, AWordWiderThanTheFieldIsCutByLetters) {
  TRLMemo* memo = Memo("<memo width=2 height=8>");
  // First in its paragraph with a word after it, and last in it.
  memo->SetText("достопримечательность да"_cp);
  memo->WrapLines();
  std::vector<std::string> lines = Lines(*memo);
  ASSERT_GT(lines.size(), 2u);
  EXPECT_FALSE(lines[0].empty());
  EXPECT_EQ(lines[0].find(' '), std::string::npos);
  std::string joined;
  for (const std::string& line : lines) {
    EXPECT_LE(TextWidthOf(memo, line), memo->Width());
    joined += line;
  }
  EXPECT_EQ(joined, memo->Text());
}

TEST_F(MemoTest, ReturnBreaksTheLineButNotTheLast) {
  TRLMemo* memo = FocusedMemo("<memo width=12 height=2>");
  Type(memo, u"раз");
  QTest::keyClick(memo, Qt::Key_Return);
  Type(memo, u"два");
  EXPECT_EQ(memo->Text(), "раз\rдва"_cp);
  EXPECT_EQ(Lines(*memo), (std::vector<std::string>{"раз"_cp, "два"_cp}));
  EXPECT_TRUE(memo->EndsInBreak(0));
  EXPECT_FALSE(memo->EndsInBreak(1));
  QTest::keyClick(memo, Qt::Key_Return);  // on the last line
  EXPECT_EQ(memo->Text(), "раз\rдва"_cp);
  // Backspace at the start of the second line joins the lines again.
  QTest::keyClick(memo, Qt::Key_Home);
  QTest::keyClick(memo, Qt::Key_Backspace);
  EXPECT_EQ(memo->Text(), "раздва"_cp);
  EXPECT_EQ(memo->CaretIndex(), 3);
}

TEST_F(MemoTest, NothingIsPushedOutOfAFullField) {
  TRLMemo* memo = FocusedMemo("<memo width=6 height=2>");
  Type(memo, u"кот");
  QTest::keyClick(memo, Qt::Key_Return);
  Type(memo, u"пёс");
  // A break in the first line would push the second line out of the field.
  QTest::keyClick(memo, Qt::Key_Up);
  QTest::keyClick(memo, Qt::Key_Home);
  QTest::keyClick(memo, Qt::Key_Return);
  EXPECT_EQ(memo->Text(), "кот\rпёс"_cp);
  // Letters typed into the first line stop where they would push words out.
  for (int i = 0; i < 40; ++i) Type(memo, u"ж");
  const std::vector<std::string> lines = Lines(*memo);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], "пёс"_cp);
  std::string shown;
  for (int i = 0; i < memo->TextLines.Count(); ++i)
    shown += memo->TextLines[i] + (memo->EndsInBreak(i) ? "\r" : "");
  EXPECT_EQ(shown, memo->Text());  // what is checked is what is shown
}

TEST_F(MemoTest, ALetterAtTheLastColumnOfTheLastLineIsDropped) {
  TRLMemo* memo = FocusedMemo("<memo width=3 height=1>");
  Type(memo, u"ор");
  Type(memo, u"ёл");  // ё fills the third column; л is refused
  EXPECT_EQ(memo->Text(), "орё"_cp);
}

// ----- keys and clicks

TEST_F(MemoTest, ALatinLetterSwitchesToRussianAndTypesNothing) {
  DeactivateRussianLayout();
  TRLMemo* memo = FocusedMemo("<memo width=10 height=2>");
  const XKeyboard us(TXLayout::Us);
  us.TypeUsKeys(u"l", memo);
  EXPECT_EQ(memo->Text(), "");
  EXPECT_TRUE(IsRussianLayoutActive());
  us.TypeUsKeys(u"le?", memo);
  EXPECT_EQ(memo->Text(), "ду,"_cp);
}

TEST_F(MemoTest, CaretKeysWalkTheLinesAndNeverLeaveTheField) {
  const std::string markup = "<memo width=12 height=3> <edit answer=а>"_cp;
  TRLMemo* memo = FocusedMemo(markup);
  Type(memo, u"ёлка");
  QTest::keyClick(memo, Qt::Key_Return);
  Type(memo, u"ель");
  QTest::keyClick(memo, Qt::Key_Right);  // at the very end
  EXPECT_TRUE(memo->Focused());
  QTest::keyClick(memo, Qt::Key_Delete);  // nothing after the caret
  EXPECT_EQ(memo->Text(), "ёлка\rель"_cp);
  QTest::keyClick(memo, Qt::Key_Up);  // the column stays
  EXPECT_EQ(memo->CaretRow, 0);
  EXPECT_EQ(memo->Cursor(), 3);
  QTest::keyClick(memo, Qt::Key_End);
  QTest::keyClick(memo, Qt::Key_Right);  // over the break to the next line's start
  EXPECT_EQ(memo->CaretRow, 1);
  EXPECT_EQ(memo->Cursor(), 0);
  QTest::keyClick(memo, Qt::Key_Left);
  EXPECT_EQ(memo->CaretRow, 0);
  EXPECT_EQ(memo->Cursor(), 4);
  QTest::keyClick(memo, Qt::Key_Home, Qt::ControlModifier);
  QTest::keyClick(memo, Qt::Key_Backspace);  // nothing before the caret
  QTest::keyClick(memo, Qt::Key_Left);
  QTest::keyClick(memo, Qt::Key_Up);
  EXPECT_TRUE(memo->Focused());
  EXPECT_EQ(memo->CaretIndex(), 0);
  QTest::keyClick(memo, Qt::Key_Delete);
  EXPECT_EQ(memo->Text(), "лка\rель"_cp);
  QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(memo->CaretRow, 1);
  EXPECT_EQ(memo->Cursor(), 3);
  // Down on the last line stays.
  QTest::keyClick(memo, Qt::Key_Down);
  EXPECT_EQ(memo->CaretRow, 1);
}

TEST_F(MemoTest, UpAndDownOntoAShorterLineKeepTheCaretInIt) {
  TRLMemo* memo = FocusedMemo("<memo width=12 height=3>");
  Type(memo, u"я");
  QTest::keyClick(memo, Qt::Key_Return);
  Type(memo, u"длинное");
  QTest::keyClick(memo, Qt::Key_Up);
  EXPECT_EQ(memo->Cursor(), 1);
  Type(memo, u"!");
  EXPECT_EQ(memo->Text(), "я!\rдлинное"_cp);
}

TEST_F(MemoTest, AClickPutsTheCaretBetweenTheNearestLetters) {
  TRLMemo* memo = FocusedMemo("<memo width=12 height=3>");
  Type(memo, u"дом");
  QTest::keyClick(memo, Qt::Key_Return);
  Type(memo, u"сад");
  const int pitch = memo->LinePitch();
  const int afterOne = TextWidthOf(memo, "с"_cp);
  const int secondMiddle = afterOne + TextWidthOf(memo, "а"_cp) / 2;
  QTest::mouseClick(memo, Qt::LeftButton, {}, QPoint(secondMiddle - 1, 4 + pitch + 2));
  EXPECT_EQ(memo->CaretRow, 1);
  EXPECT_EQ(memo->Cursor(), 1);
  QTest::mouseClick(memo, Qt::LeftButton, {}, QPoint(secondMiddle + 1, 4 + pitch + 2));
  EXPECT_EQ(memo->Cursor(), 2);
  // Beyond the last line's text, and below the last line.
  QTest::mouseClick(memo, Qt::LeftButton, {}, QPoint(memo->Width() - 2, memo->Height() - 1));
  EXPECT_EQ(memo->CaretRow, 1);
  EXPECT_EQ(memo->Cursor(), 3);
  QTest::mouseClick(memo, Qt::LeftButton, {}, QPoint(1, 1));
  EXPECT_EQ(memo->CaretRow, 0);
  EXPECT_EQ(memo->Cursor(), 0);
}

// ----- checking

TEST_F(MemoTest, OnlyTheWordsCountNotTheLineBreaks) {
  TRLMemo* memo = Memo("<memo width=20 height=3 answer=\"Мороз и солнце;<BR>день чудесный!\">"_cp);
  EXPECT_EQ(memo->NormalizedAnswer(), "Мороз и солнце; день чудесный!"_cp);
  const std::vector<std::pair<std::string, int>> cases = {
      {"Мороз и солнце; день чудесный!"_cp, 1},    {"Мороз и\rсолнце;\r день  чудесный!"_cp, 1},
      {"мороз и солнце; день чудесный!"_cp, 0},    {"Мороз и солнце; день чудесный"_cp, 0},
      {"Мороз и солнце; день чудесный! Да"_cp, 0}, {"и Мороз солнце; день чудесный!"_cp, 0},
  };
  for (const auto& [typed, score] : cases) {
    memo->SetText(typed);
    memo->CheckOnlyScore();
    EXPECT_EQ(memo->Score, score) << Cp1251ToUtf8(typed);
    EXPECT_EQ(memo->MaxScore, 1);
  }
}

TEST_F(MemoTest, APunctuatedAnswerIsTypedOnEitherXLayout) {
  for (TXLayout layout : {TXLayout::Us, TXLayout::Ru}) {
    FreeChildren(page_.Parser);
    TRLMemo* memo = FocusedMemo(
        "<memo width=30 height=3 answer=\"Мороз и солнце; день чудесный! Ещё, нет? Да: 1-й.\">"_cp);
    XKeyboard(layout).TypeRussianKeys(u"Мороз и солнце; день чудесный! Ещё, нет? Да: 1-й.", memo);
    memo->Check();
    EXPECT_EQ(memo->Score, 1) << Cp1251ToUtf8(memo->Text());
    EXPECT_FALSE(memo->ErrorShown);
  }
}

TEST_F(MemoTest, AnEmptyAnswerAcceptsOnlyAnEmptyField) {
  TRLMemo* memo = Memo("<memo width=8 height=2 answer=\"\">");
  memo->Check();
  EXPECT_EQ(memo->Score, 1);
  EXPECT_FALSE(memo->ErrorShown);
  memo->SetText("слово"_cp);
  memo->Check();
  EXPECT_EQ(memo->Score, 0);
  EXPECT_TRUE(memo->ErrorShown);
}

TEST_F(MemoTest, AWrongAnswerIsSlashedAndFocusEmptiesTheField) {
  TRLMemo* memo = Memo("<memo width=10 height=2 answer=\"Тише едешь\"> <edit answer=а>"_cp);
  page_.Window->Show();
  page_.Window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(page_.Window.get()));
  memo->SetText("Тише едешь дальше"_cp);
  CheckChildren(page_.Parser);
  ASSERT_TRUE(memo->ErrorShown);
  const TBitmap marked = Painted(*memo);
  const int w = memo->Width();
  const int h = memo->Height();
  // The slash rises from a third of the width at the bottom to two thirds at the top.
  auto redNear = [&](int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (marked.Pixel(x + dx, y + dy) == ColorToPixel(clRed)) return true;
    return false;
  };
  EXPECT_TRUE(redNear(w / 3 + w / 6, h / 2));
  EXPECT_TRUE(redNear(w / 3 + 1, h - 2));
  EXPECT_FALSE(redNear(w / 3 + 1, 2));
  EXPECT_FALSE(redNear(2 * (w / 3), h - 2));
  // A silent count keeps text and slash.
  memo->CheckOnlyScore();
  EXPECT_TRUE(memo->ErrorShown);
  memo->SetFocus();
  EXPECT_FALSE(memo->ErrorShown);
  EXPECT_EQ(memo->Text(), "");
  EXPECT_EQ(memo->CaretRow, 0);
}

TEST_F(MemoTest, AClickOnAFocusedMarkedMemoKeepsItsText) {
  TRLMemo* memo = FocusedMemo("<memo width=10 height=2 answer=\"Тише едешь\">"_cp);
  Type(memo, u"тише");
  memo->Check();
  QTest::mouseClick(memo, Qt::LeftButton, {}, QPoint(2, 6));
  EXPECT_TRUE(memo->ErrorShown);
  EXPECT_EQ(memo->Text(), "тише"_cp);
  ResetChildren(page_.Parser);
  EXPECT_EQ(memo->Text(), "");
  EXPECT_FALSE(memo->ErrorShown);
}

// ----- painting

TEST_F(MemoTest, LinesGuidesAndTheCaretStandWhereTheirFormulasPutThem) {
  TRLMemo* memo = FocusedMemo("<memo width=10 height=2>");
  memo->SetColor(clWhite);
  Type(memo, u"лес");
  QTest::keyClick(memo, Qt::Key_Return);
  Type(memo, u"ю");
  ASSERT_TRUE(memo->CaretOn);
  const TBitmap painted = Painted(*memo);
  memo->CaretOn = false;
  const TBitmap plain = Painted(*memo);
  const int pitch = memo->LinePitch();
  // The caret inverts one column after the "ю" on the second line, from the
  // line's top to the foot of its text.
  const int caretX = TextWidthOf(memo, "ю"_cp);
  const int caretBottom = pitch + 4 - 5 + TextHeightOf(memo, "W");
  for (int y = 0; y < memo->Height(); ++y)
    for (int x = 0; x < memo->Width(); ++x) {
      const bool inCaret = x == caretX && y >= pitch && y < caretBottom;
      const std::uint32_t expected = inCaret ? plain.Pixel(x, y) ^ 0x00FFFFFFu : plain.Pixel(x, y);
      ASSERT_EQ(painted.Pixel(x, y), expected) << x << "," << y;
    }
  // Dots of the guide sit below the text of each line and reach past the text.
  auto darkInRow = [&](int y, int fromX) {
    int dark = 0;
    for (int px = fromX; px < memo->Width(); ++px) dark += (painted.Pixel(px, y) & 0xFF) < 0x80;
    return dark;
  };
  int guideRows = 0;
  for (int y = 0; y < memo->Height(); ++y) guideRows += darkInRow(y, TextWidthOf(memo, "лес"_cp) + 4) > 3;
  EXPECT_GE(guideRows, 2);
  EXPECT_EQ(darkInRow(0, 0), 0);
}

TEST_F(MemoTest, AFieldNarrowedToThePageShowsOnlyWholeDots) {
  // Sixty characters are wider than the page: the field takes the page's
  // width, and its guide lines end at a whole dot.
  TRLMemo* memo = Memo("<memo width=60 height=2>");
  ASSERT_EQ(memo->Width(), page_.Parser->ClientWidth());
  memo->SetColor(clWhite);
  for (int narrower = 0; narrower < 6; ++narrower) {  // whatever the page's width
    memo->SetWidth(memo->Width() - 1);
    const std::vector<std::vector<int>> rows = GuideDotWidths(Painted(*memo));
    ASSERT_FALSE(rows.empty());
    for (const std::vector<int>& dots : rows)
      EXPECT_EQ(std::count(dots.begin(), dots.end(), dots[1]), std::ptrdiff_t(dots.size()))
          << memo->Width() << ": " << testing::PrintToString(dots);
  }
}
