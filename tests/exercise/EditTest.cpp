// The fill-in field: its attributes, typing, the caret, focus, and the check
// with its marks, driven by real key and mouse events.
#include <gtest/gtest.h>

#include <QTest>

#include "ExerciseFixtures.h"
#include "exercise/RLEdit.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "platform/KeyboardLayout.h"
#include "platform/Timer.h"
#include "tests/platform/XKeyboard.h"

namespace {

const std::uint32_t RedPixel = ColorToPixel(clRed);

class EditTest : public ::testing::Test {
 protected:
  // The trainer turns its Russian layout on at start.
  void SetUp() override { ActivateKeyboardLayout("00000419"); }
  void TearDown() override { DeactivateRussianLayout(); }

  // Parses markup into the page and returns its fields in order.
  std::vector<TRLEdit*> Fields(const std::string& markup) {
    page_.Parse(markup);
    std::vector<TRLEdit*> fields;
    for (TRLControl* child : page_.Children())
      if (auto* field = qobject_cast<TRLEdit*>(child)) fields.push_back(field);
    return fields;
  }
  TRLEdit* Field(const std::string& markup) {
    const std::vector<TRLEdit*> fields = Fields(markup);
    return fields.empty() ? nullptr : fields.front();
  }
  // Shows the page in an active window, so that the focus moves for real.
  void ShowPage() {
    page_.Window->Show();
    page_.Window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page_.Window.get()));
  }

  // The keys of the Russian layout that type letters, pressed on a US X layout.
  static void TypeRussian(TRLEdit* field, const std::u16string& letters) {
    XKeyboard(TXLayout::Us).TypeRussianKeys(letters, field);
  }

  static TBitmap Painted(TRLEdit& field) {
    TBitmap out(field.Width(), field.Height());
    field.Paint(out.Canvas());
    return out;
  }
  static int CountPixels(const TBitmap& bitmap, std::uint32_t pixel) {
    int count = 0;
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x) count += bitmap.Pixel(x, y) == pixel;
    return count;
  }

  TagTableScope tags_;
  TestPage page_{400, true};
};

}  // namespace

// ----- attributes

TEST_F(EditTest, WidthAndAnswersSizeTheField) {
  const auto fields = Fields("<edit width=3> <edit answer=ш answer=длинноеслово> <edit>"_cp);
  ASSERT_EQ(fields.size(), 3u);
  const TFont& font = page_.Parser->Font();
  TFont bold = font;
  bold.Style = fsBold;
  EXPECT_EQ(fields[0]->MaxChar, 3);
  EXPECT_EQ(fields[0]->Width(), TextWidth(font, "н"_cp) * 3);
  // Only the first answer sizes the field, measured bold.
  EXPECT_EQ(fields[1]->Width(), TextWidth(bold, "ш"_cp) + 1);
  EXPECT_EQ(fields[1]->Answer().Count(), 2);
  EXPECT_EQ(fields[2]->Width(), 0);
  for (TRLEdit* field : fields) {
    // Room for the bold text's cell 4 pixels above the bottom, and for marks above the cell.
    EXPECT_EQ(field->Height(), EditFieldHeight(font, 4, 0));
    EXPECT_GE(field->Height(), bold.CellHeight() + 4);
    EXPECT_EQ(field->TextTop(), field->Height() - bold.CellHeight() - 4);
    EXPECT_EQ(field->ExtraAbove, font.Height() - 5);
  }
}

TEST_F(EditTest, BadWidthsFailOrAreBounded) {
  EXPECT_EQ(ExceptionMessage([&] { Field("<edit width=три>"_cp); }),
            "Integer assumed, but \"три\" found."_cp);
  FreeChildren(page_.Parser);
  const auto fields = Fields("<edit width=-4> <edit width=2000000000> <edit nobackground=yes>");
  ASSERT_EQ(fields.size(), 3u);
  EXPECT_EQ(fields[0]->MaxChar, 0);
  EXPECT_EQ(fields[0]->Width(), 0);
  // Never wider than the line that holds it.
  EXPECT_EQ(fields[1]->Width(), page_.Parser->Width());
  EXPECT_LE(fields[1]->MaxChar, 255);
  EXPECT_FALSE(fields[2]->NoBackground);
}

TEST_F(EditTest, EditRowStandsInTheTagTable) {
  EXPECT_EQ(FindTagClass("EDIT"), &CreateControl<TRLEdit>);
  // The field keeps its room above it even on a body's first line.
  TRLEdit* field = Field("слово <edit answer=а>"_cp);
  const TRLControl* word = page_.Children().front();
  EXPECT_EQ(page_.Parser->Height(), field->ExtraAbove + field->Height());
  EXPECT_GT(page_.Parser->Height(), word->Height());
}

// ----- typing

TEST_F(EditTest, TypingRussianRespectsTheWidthCapAndBackspace) {
  TRLEdit* field = Field("<edit width=3>");
  TypeRussian(field, u"дом");
  TypeRussian(field, u"а");  // a fourth letter does not fit
  EXPECT_EQ(field->Text(), "дом"_cp);
  QTest::keyClick(field, Qt::Key_Backspace);
  TypeRussian(field, u"Ё");
  EXPECT_EQ(field->Text(), "доЁ"_cp);
  EXPECT_EQ(field->Cursor(), 3);
  QTest::keyClick(field, Qt::Key_Home);
  QTest::keyClick(field, Qt::Key_Backspace);  // nothing before the caret
  QTest::keyClick(field, Qt::Key_Delete);
  EXPECT_EQ(field->Text(), "оЁ"_cp);
  EXPECT_EQ(field->Cursor(), 0);
}

TEST_F(EditTest, OnlyAnswerCharactersAreTyped) {
  const std::vector<TRLEdit*> fields = Fields("<edit><edit>");
  for (TXLayout layout : {TXLayout::Us, TXLayout::Ru}) {
    TRLEdit* field = fields[layout == TXLayout::Ru];
    // "_" and "№" are keys of the Russian layout that the field refuses.
    XKeyboard(layout).TypeRussianKeys(u"_ -7№ж.,?:;!\\/\"", field);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(field->Text(), " -7ж.,?:;!\\/\""_cp);
  }
}

TEST_F(EditTest, ALatinLetterSwitchesToTheRussianLayout) {
  DeactivateRussianLayout();
  TRLEdit* field = Field("<edit>");
  const XKeyboard us(TXLayout::Us);
  us.TypeUsKeys(u"d", field);
  EXPECT_EQ(field->Text(), "");
  EXPECT_TRUE(IsRussianLayoutActive());
  // From now on the Latin keys type the Russian letters on them.
  us.TypeUsKeys(u"djV/", field);
  EXPECT_EQ(field->Text(), "воМ."_cp);
}

TEST_F(EditTest, CaretKeysMoveWithinTheTextAndLeaveAtTheEnds) {
  const auto fields = Fields("<edit answer=аб> <edit answer=вг> <edit answer=де>"_cp);
  ASSERT_EQ(fields.size(), 3u);
  ShowPage();
  TRLEdit* middle = fields[1];
  middle->SetFocus();
  TypeRussian(middle, u"жи");
  QTest::keyClick(middle, Qt::Key_Left);
  EXPECT_EQ(middle->Cursor(), 1);
  QTest::keyClick(middle, Qt::Key_End);
  QTest::keyClick(middle, Qt::Key_Delete);  // nothing after the caret
  EXPECT_EQ(middle->Text(), "жи"_cp);
  QTest::keyClick(middle, Qt::Key_Right);
  EXPECT_TRUE(fields[2]->Focused());
  middle->SetFocus();
  QTest::keyClick(middle, Qt::Key_Home);
  QTest::keyClick(middle, Qt::Key_Left);
  EXPECT_TRUE(fields[0]->Focused());
  EXPECT_EQ(middle->Cursor(), 0);
}

TEST_F(EditTest, EnterAndLeavingFireTheirEventsAndMayFreeTheField) {
  const auto fields = Fields("<edit> <edit>");
  ShowPage();
  QPointer<TRLEdit> first = fields[0];
  std::vector<std::string> events;
  first->OnLeaveEdit = [&](TObject* sender) { events.push_back(sender == first ? "leave" : "?"); };
  first->OnEnterKey = [&](TObject* sender) {
    events.push_back("enter");
    static_cast<TRLEdit*>(sender)->Release();
  };
  first->SetFocus();
  fields[1]->SetFocus();
  first->SetFocus();
  QTest::keyClick(first, Qt::Key_Return);
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(first.isNull());
  EXPECT_EQ(events, (std::vector<std::string>{"leave", "enter"}));
}

// ----- caret and clicks

TEST_F(EditTest, AClickPlacesTheCaretOnlyOnceStopsArePainted) {
  TRLEdit* field = Field("<edit answer=молоко>"_cp);
  ShowPage();
  field->SetText("мама"_cp);
  field->SetFocus();
  QTest::keyClick(field, Qt::Key_End);
  if (field->CaretStops().empty()) {
    QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(1, 5));
    EXPECT_EQ(field->Cursor(), 4);
  }
  field->repaint();
  const std::vector<int> stops = field->CaretStops();
  ASSERT_EQ(stops.size(), 6u);
  EXPECT_EQ(stops.front(), 0);
  EXPECT_EQ(stops.back(), field->Width());
  QTest::mouseClick(field, Qt::LeftButton, {}, QPoint((stops[1] + stops[2]) / 2, 5));
  EXPECT_EQ(field->Cursor(), 1);
  QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(0, 5));
  EXPECT_EQ(field->Cursor(), 0);
  QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(field->Width() - 1, 5));
  EXPECT_EQ(field->Cursor(), 4);
}

TEST_F(EditTest, StopsThatLagTheTextNeverPutTheCaretOutside) {
  TRLEdit* field = Field("<edit answer=молоко>"_cp);
  ShowPage();
  field->SetFocus();
  TypeRussian(field, u"мама");
  field->repaint();
  QTest::keyClick(field, Qt::Key_Backspace);
  QTest::keyClick(field, Qt::Key_Backspace);
  QTest::keyClick(field, Qt::Key_Backspace);
  // The stops still describe four letters; the text has one.
  QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(field->Width() - 1, 5));
  EXPECT_LE(field->Cursor(), 1);
  field->SetText("");
  EXPECT_EQ(field->Cursor(), 0);
}

TEST_F(EditTest, TheCaretInvertsAColumnAndBlinks) {
  TRLEdit* field = Field("<edit answer=кот nobackground=1>"_cp);
  ShowPage();
  field->SetFocus();
  ASSERT_TRUE(field->CaretOn);
  TBitmap on = Painted(*field);
  const int x = field->Width() / 2;
  const int y = field->Height() - 1;
  EXPECT_EQ(on.Pixel(x, y), ColorToPixel(clBlack));
  EXPECT_EQ(on.Pixel(x - 1, y), ColorToPixel(clWhite));
  TTimer& timer = field->BlinkTimer();
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 500);
  timer.OnTimer(&timer);
  EXPECT_FALSE(field->CaretOn);
  EXPECT_EQ(Painted(*field).Pixel(x, y), ColorToPixel(clWhite));
  // Without the focus the next tick stops the blink.
  page_.Parser->SetFocus();
  timer.OnTimer(&timer);
  EXPECT_FALSE(timer.Enabled());
}

// However the focus moves, only the focused field shows a caret: also in a
// window that is not active, as under an X server without a window manager,
// where Qt tells the controls nothing of the focus moving.
TEST_F(EditTest, OnlyTheFocusedFieldShowsACaret) {
  const auto fields = Fields("<edit answer=кот> и <edit answer=дом> и <edit answer=лес>"_cp);
  ASSERT_EQ(fields.size(), 3u);
  ShowPage();
  TForm other;
  for (const bool active : {true, false}) {
    SCOPED_TRACE(active ? "active window" : "inactive window");
    if (!active) {
      other.SetBounds(450, 0, 50, 50);
      other.Show();
      other.activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    }
    const auto expectCaretIn = [&](TRLEdit* focused, const char* step) {
      QCoreApplication::processEvents();
      for (TRLEdit* field : fields) {
        EXPECT_EQ(field->Focused(), field == focused) << step;
        EXPECT_EQ(field->StaleCanvas(), "") << step;
      }
    };
    fields[0]->SetFocus();
    TypeRussian(fields[0], u"к");
    expectCaretIn(fields[0], "typed");
    QTest::keyClick(fields[0], Qt::Key_Tab);
    expectCaretIn(fields[1], "Tab");
    QTest::keyClick(fields[1], Qt::Key_Tab, Qt::ShiftModifier);
    expectCaretIn(fields[0], "Shift+Tab");
    QTest::keyClick(fields[0], Qt::Key_Right);
    expectCaretIn(fields[1], "Right at the end");
    QTest::keyClick(fields[1], Qt::Key_Left);
    expectCaretIn(fields[0], "Left at the start");
    QTest::mouseClick(fields[2], Qt::LeftButton);
    expectCaretIn(fields[2], "a click");
  }
}

// ----- checking

TEST_F(EditTest, AnswersAreComparedIgnoringRussianCase) {
  const auto fields = Fields("<edit answer=Москва answer=москва> <edit answer=ёж> <edit answer=\"\">"_cp);
  ASSERT_EQ(fields.size(), 3u);
  fields[0]->SetText("МОСКВА"_cp);
  fields[1]->SetText("ЁЖ"_cp);
  CheckOnlyScoreChildren(page_.Parser);
  EXPECT_EQ(fields[0]->Score, 1);
  EXPECT_EQ(fields[1]->Score, 1);
  EXPECT_EQ(fields[2]->Score, 1);  // empty against an empty answer
  fields[1]->SetText("еж"_cp);     // Ё is no Е
  fields[2]->SetText(" "_cp);      // no trimming
  CheckOnlyScoreChildren(page_.Parser);
  EXPECT_EQ(fields[1]->Score, 0);
  EXPECT_EQ(fields[2]->Score, 0);
  EXPECT_EQ(SumMaxScore(page_.Parser), 3);
  EXPECT_FALSE(fields[1]->ErrorShown);  // a silent count shows nothing
}

TEST_F(EditTest, AWrongAnswerGetsAHintLabelAboveTheRightCorner) {
  TRLEdit* field = Field("слово <edit answer=Москва>"_cp);
  field->SetText("Масква"_cp);
  field->Check();
  EXPECT_EQ(field->Score, 0);
  EXPECT_TRUE(field->ErrorShown);
  TRLLabel* hint = field->HintLabel();
  ASSERT_NE(hint, nullptr);
  EXPECT_EQ(hint->Caption(), "Москва"_cp);
  EXPECT_EQ(hint->Parent(), page_.Parser);
  EXPECT_FALSE(hint->InFlow);
  EXPECT_EQ(hint->Font().Style, fsBold);
  EXPECT_EQ(hint->Font().Color, clRed);
  EXPECT_EQ(hint->Left(), field->Left() + field->Width());
  EXPECT_EQ(hint->Top(), field->Top() - hint->Height() + 2);
  // A second check replaces the label instead of adding one.
  field->Check();
  EXPECT_EQ(page_.Parser->ControlCount(), 3);
}

TEST_F(EditTest, TheHintLabelStaysInsideTheParent) {
  TRLEdit* field = Field("<edit answer=Москва>"_cp);
  field->SetBounds(page_.Parser->Width() - field->Width(), 40, field->Width(), field->Height());
  field->SetText("Масква"_cp);
  field->Check();
  ASSERT_NE(field->HintLabel(), nullptr);
  EXPECT_EQ(field->HintLabel()->Left() + field->HintLabel()->Width(), page_.Parser->Width());
  // Moving the field takes its hint along, above its left end.
  field->SetBounds(10, 60, field->Width(), field->Height());
  EXPECT_EQ(field->HintLabel()->Left(), 10);
  EXPECT_EQ(field->HintLabel()->Top() + field->HintLabel()->Height(), 60);
}

TEST_F(EditTest, EmptyOrAnswerlessFieldsShowNoHintLabel) {
  const auto fields = Fields("<edit answer=кот> <edit width=3>"_cp);
  ASSERT_EQ(fields.size(), 2u);
  fields[1]->SetText("пёс"_cp);
  CheckChildren(page_.Parser);
  for (TRLEdit* field : fields) {
    EXPECT_EQ(field->Score, 0);
    EXPECT_TRUE(field->ErrorShown);
    EXPECT_EQ(field->HintLabel(), nullptr);
  }
  // The empty field shows its answer inside itself, in red.
  EXPECT_GT(CountPixels(Painted(*fields[0]), RedPixel), 10);
  EXPECT_EQ(page_.Parser->ControlCount(), 3);
}

TEST_F(EditTest, ShortWrongAnswersAreSlashedLongOnesStruckThrough) {
  const auto fields = Fields("<edit answer=молоко> <edit answer=молоко>"_cp);
  fields[0]->SetText("мо"_cp);
  fields[1]->SetText("мол"_cp);
  CheckChildren(page_.Parser);
  const TBitmap slashed = Painted(*fields[0]);
  const TBitmap struck = Painted(*fields[1]);
  const int middle = fields[0]->Height() / 2 - 1;
  // The stroke runs through the middle row from the left edge; the slash does not reach it.
  EXPECT_EQ(struck.Pixel(1, middle), RedPixel);
  EXPECT_EQ(struck.Pixel(fields[1]->Width() - 2, middle), RedPixel);
  EXPECT_NE(slashed.Pixel(1, middle), RedPixel);
  // The slash rises from bottom left to top right across the "нн" width.
  const int w = TextWidth(
      [&] {
        TFont f = fields[0]->Font();
        f.Style = fsBold;
        return f;
      }(),
      "нн"_cp);
  const int width = fields[0]->Width();
  EXPECT_EQ(slashed.Pixel((width - w) / 2 + 1, fields[0]->Height() - 2), RedPixel);
  EXPECT_NE(slashed.Pixel((width + w) / 2 - 1, fields[0]->Height() - 2), RedPixel);
}

TEST_F(EditTest, FocusOrAClickResetsAFieldShowingMarks) {
  const auto fields = Fields("<edit answer=кот> <edit answer=кот>"_cp);
  ShowPage();
  for (TRLEdit* field : fields) field->SetText("кит"_cp);
  CheckChildren(page_.Parser);
  fields[0]->SetFocus();
  EXPECT_FALSE(fields[0]->ErrorShown);
  EXPECT_EQ(fields[0]->Text(), "");
  EXPECT_EQ(fields[0]->HintLabel(), nullptr);
  // The second keeps its marks until it is clicked.
  ASSERT_TRUE(fields[1]->ErrorShown);
  QTest::mouseClick(fields[1], Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_TRUE(fields[1]->Focused());
  EXPECT_FALSE(fields[1]->ErrorShown);
  EXPECT_EQ(fields[1]->Text(), "");
  // A field that keeps the focus through a check is reset by a click too.
  TypeRussian(fields[1], u"кит");
  fields[1]->Check();
  QTest::mouseClick(fields[1], Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_FALSE(fields[1]->ErrorShown);
  EXPECT_EQ(fields[1]->Text(), "");
}

TEST_F(EditTest, ACorrectedAnswerLosesItsMarksAtTheNextCheck) {
  TRLEdit* field = Field("<edit answer=кот>"_cp);
  field->SetText("кит"_cp);
  field->Check();
  field->SetText("кот"_cp);
  field->Check();
  EXPECT_EQ(field->Score, 1);
  EXPECT_FALSE(field->ErrorShown);
  EXPECT_EQ(field->HintLabel(), nullptr);
}

TEST_F(EditTest, WalkersSurviveHintLabelsFreedUnderThem) {
  const auto fields = Fields("<edit answer=кот> <edit answer=кот>"_cp);
  for (TRLEdit* field : fields) field->SetText("кит"_cp);
  CheckChildren(page_.Parser);
  CheckChildren(page_.Parser);  // each check frees the label the walk has listed
  QPointer<TRLLabel> hint = fields[0]->HintLabel();
  ASSERT_FALSE(hint.isNull());
  ResetChildren(page_.Parser);
  EXPECT_TRUE(hint.isNull());
  EXPECT_EQ(SumScore(page_.Parser), 0);
  FreeChildren(page_.Parser);
  EXPECT_EQ(page_.Parser->ControlCount(), 0);
}

// ----- sizing for other controls

TEST_F(EditTest, SizingToTheAnswerOrTheText) {
  TRLEdit* field = Field("<edit>");
  TFont bold = field->Font();
  bold.Style |= fsBold;
  field->Answer().Add("слово"_cp);
  field->MaxChar = 2;
  SizeEditToAnswer(*field);
  EXPECT_EQ(field->Width(), TextWidth(bold, "слово_"_cp) + 1);
  EXPECT_FALSE(field->Font().Bold());
  field->MaxChar = 20;
  SizeEditToAnswer(*field);
  EXPECT_EQ(field->Width(), TextWidth(bold, "н"_cp) * 20);
  field->SetText("длинный текст"_cp);
  SizeEditToText(*field);
  EXPECT_TRUE(field->Font().Bold());
  EXPECT_EQ(field->Width(), field->EditTextWidth());
  EXPECT_EQ(field->Height(), EditFieldHeight(bold, 4, 0));
}

// The tallest letters, with the marks of Й and Ё, and the deepest ones are
// drawn whole inside the field, in every face the trainer uses and at every
// size its font choices and scale steps give the body.
TEST_F(EditTest, CapitalsWithMarksAreDrawnWhole) {
  const std::string letters = "ЙЁДЩЦЪбру"_cp;
  const auto inkOf = [](const TBitmap& bitmap) {
    int ink = 0;
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x) ink += (bitmap.Pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    return ink;
  };
  for (const char* face : {"Times New Roman", "Arial", "Tahoma", "Courier New"}) {
    for (int size = -12; size >= -22; size -= 2) {
      SCOPED_TRACE(std::string(face) + " " + std::to_string(size));
      TFont font = page_.Parser->Font();
      font.Name = face;
      font.SetSize(size);
      page_.Parser->SetFont(font);
      FreeChildren(page_.Parser);
      TRLEdit* field = Field("<edit answer=" + letters + " nobackground=1>");
      ASSERT_NE(field, nullptr);
      field->SetText(letters);
      // The same letters where the field draws them, on a canvas with room all round.
      const int room = font.CellHeight();
      TFont bold = font;
      bold.Style |= fsBold;
      TBitmap free(field->Width() + 2 * room, field->Height() + 2 * room);
      free.Canvas().Font = bold;
      free.Canvas().TextOut(room + (field->Width() - TextWidth(bold, letters)) / 2, room + field->TextTop(), letters);
      const int ink = inkOf(free);
      ASSERT_GT(ink, 0);
      EXPECT_EQ(inkOf(Painted(*field)), ink);
    }
  }
}

// A line of fields in their states, kept beside the test program for a look.
TEST_F(EditTest, AGuideWiderThanTheFieldShowsOnlyWholeDots) {
  // A field to recall a word by heart takes more characters than it is wide;
  // its guide must not end in a dot cut in half at either edge.
  TRLEdit* field = Field("<edit answer=кот>"_cp);
  field->MaxChar = 12;
  for (int wider = 0; wider < 6; ++wider) {  // whatever the field's width, as the word's width sets it
    field->SetWidth(field->Width() + 1);
    const std::vector<std::vector<int>> rows = GuideDotWidths(Painted(*field));
    ASSERT_FALSE(rows.empty());
    for (const std::vector<int>& dots : rows)
      EXPECT_EQ(std::count(dots.begin(), dots.end(), dots[1]), std::ptrdiff_t(dots.size()))
          << field->Width() << ": " << testing::PrintToString(dots);
  }
}

TEST_F(EditTest, RenderedStates) {
  const auto fields = Fields(
      "Пишем: <edit width=4 answer=лес> верно, <edit answer=Москва> пусто, <edit answer=сосна> "
      "долго,<br>вторая строка: <edit answer=дом> коротко и <edit answer=море> в фокусе."_cp);
  ASSERT_EQ(fields.size(), 5u);
  page_.Parser->SetColor(0xE2EFF6);
  ShowPage();
  fields[0]->SetText("ЛЕС"_cp);
  fields[2]->SetText("сасна"_cp);
  fields[3]->SetText("ды"_cp);
  CheckChildren(page_.Parser);
  fields[4]->SetFocus();
  TypeRussian(fields[4], u"мо");
  const QImage shot = page_.Window->grab(QRect(0, 0, 400, page_.Parser->Height() + 10)).toImage();
  EXPECT_TRUE(shot.save("edit.png"));
  // The right answer shows no red at all.
  EXPECT_EQ(CountPixels(Painted(*fields[0]), RedPixel), 0);
}
