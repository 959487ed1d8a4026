// The markup parser: word labels, glue, in-text tags and the line layout.
#include <gtest/gtest.h>

#include "ExerciseFixtures.h"
#include "exercise/RLLabel.h"
#include "platform/Cp1251.h"

namespace {

TRLLabel* LabelAt(const TestPage& page, std::size_t i) {
  const auto children = page.Children();
  return i < children.size() ? qobject_cast<TRLLabel*>(children[i]) : nullptr;
}

int WordWidth(const TestPage& page, const std::string& caption) {
  return TextWidth(page.Parser->Font(), caption);
}

int WordHeight(const TestPage& page) {
  return TextHeight(page.Parser->Font(), "Hg");
}

}  // namespace

TEST(ParserWords, ChunksBecomeLabelsWithTrailingBlanksAndGlue) {
  TagTableScope tags;
  TestPage page(600);
  page.Parse("Он <b>шёл</b> домой."_cp);
  const auto children = page.Children();
  ASSERT_EQ(children.size(), 4u);
  EXPECT_EQ(LabelAt(page, 0)->Caption(), "Он "_cp);
  EXPECT_TRUE(children[0]->Glued);
  EXPECT_EQ(LabelAt(page, 1)->Caption(), "шёл"_cp);
  // The blank before <b> parts the words: "шёл" may start a line of its own.
  EXPECT_FALSE(children[1]->Glued);
  EXPECT_TRUE(LabelAt(page, 1)->Font().Bold());
  EXPECT_EQ(LabelAt(page, 2)->Caption(), " ");
  EXPECT_FALSE(children[2]->Glued);
  EXPECT_EQ(LabelAt(page, 3)->Caption(), "домой."_cp);
  EXPECT_FALSE(children[3]->Glued);
  EXPECT_FALSE(LabelAt(page, 3)->Font().Bold());
}

TEST(ParserWords, AWordGluesAcrossStyleTagsOnlyWhereNoBlankPartsIt) {
  TagTableScope tags;
  TestPage page(600);
  page.Parse("г<b>о</b>ра, <b>цыган</b>, <i>на цыпочках</i>"_cp);
  const auto children = page.Children();
  ASSERT_EQ(children.size(), 7u);
  EXPECT_TRUE(children[1]->Glued);   // "о" inside the word
  EXPECT_TRUE(children[2]->Glued);   // "ра, "
  EXPECT_FALSE(children[3]->Glued);  // "цыган" after "ра, "
  EXPECT_TRUE(children[4]->Glued);   // ", " after "цыган"
  EXPECT_FALSE(children[5]->Glued);  // "на " after ", "
}

TEST(ParserWords, LabelsAreSizedToTheirText) {
  TagTableScope tags;
  TestPage page(600);
  page.Parse("слово <answer> "_cp);
  EXPECT_EQ(LabelAt(page, 0)->Width(), WordWidth(page, "слово "_cp));
  EXPECT_EQ(LabelAt(page, 0)->Height(), WordHeight(page));
  // A lone blank is as wide as the blank after a word: no gap stands out.
  EXPECT_EQ(LabelAt(page, 2)->Width(), WordWidth(page, " "));
}

TEST(ParserTags, ControlAfterATagOrAtTheStartIsGlued) {
  TagTableScope tags;
  TestPage page(600);
  page.Parse("<answer>x <answer><answer>");
  const auto children = page.Children();
  ASSERT_EQ(children.size(), 4u);
  EXPECT_TRUE(children[0]->Glued);
  EXPECT_FALSE(children[2]->Glued);  // after "x "
  EXPECT_TRUE(children[3]->Glued);   // right after another tag
}

TEST(ParserTags, FontTagsRestartFromTheParserFont) {
  TagTableScope tags;
  TestPage page(600);
  page.Parse("<b><i>a <font color=#0000FF size=-30>b <fontsize 1>c </font>d");
  const auto children = page.Children();
  ASSERT_EQ(children.size(), 4u);
  EXPECT_EQ(children[0]->Font().Style, TFontStyles(fsBold | fsItalic));
  EXPECT_EQ(children[1]->Font().Style, 0u);
  EXPECT_EQ(children[1]->Font().Color, clRed);
  EXPECT_EQ(children[2]->Font().Size(), -32);
  EXPECT_EQ(children[3]->Font(), page.Parser->Font());
}

TEST(ParserTags, PlainTextIgnoresStylesButKeepsFontSizeAndLines) {
  TagTableScope tags;
  TestPage page(600);
  page.Parser->PlainText = true;
  page.Parse("<b>a <fontsize 1>b<lines>");
  EXPECT_FALSE(page.Children()[0]->Font().Bold());
  EXPECT_EQ(page.Children()[1]->Font().Size(), -20);
  EXPECT_TRUE(page.Parser->RuledLines);
}

TEST(ParserTags, ErrorsNameTheFaultyTag) {
  TagTableScope tags;
  TestPage page(600);
  EXPECT_EQ(ExceptionMessage([&] { page.Parse("a <ЧЕКБОКС>"_cp); }), "Unknown tag: \"ЧЕКБОКС\""_cp);
  EXPECT_EQ(ExceptionMessage([&] { page.Parse("<space width=\"3>"); }), "Single quote");
  EXPECT_EQ(ExceptionMessage([&] { page.Parse("<space width=abc>"); }),
            "Integer assumed, but \"abc\" found.");
  EXPECT_EQ(ExceptionMessage([&] { page.Parse("<fontsize x>"); }), "Not a number in a <fontsize> tag.");
}

TEST(ParserTags, StaticTextIsANestedParserAsWideAsItsParent) {
  TagTableScope tags;
  TestPage page(300, true);
  page.Parse("a <statictext один <b>два</b> <answer right=0>> b");
  TRLStaticText* text = nullptr;
  for (TRLControl* child : page.Children())
    if (auto* found = qobject_cast<TRLStaticText*>(child)) text = found;
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->Width(), 300);
  EXPECT_FALSE(text->WordsReserveHeight);
  EXPECT_EQ(text->ControlCount(), 4);
  page.Parser->Check();
  EXPECT_EQ(text->MaxScore, 1);
  EXPECT_EQ(page.Parser->MaxScore, 1);
  EXPECT_EQ(page.Parser->Score, 0);
}

TEST(ParserTags, NestingStopsAtSixteenLevelsWithAMessage) {
  TagTableScope tags;
  const auto nested = [](const std::string& open, int levels) {
    return [=] {
      TestPage page(300);
      std::string markup;
      for (int i = 0; i < levels; ++i) markup += open;
      page.Parse(markup + "слово"_cp + std::string(std::size_t(levels), '>'));
      int depth = 0;
      for (const QObject* p = page.Parser->findChildren<TRLParser*>().value(0); p; p = p->findChild<TRLParser*>())
        ++depth;
      return depth;
    };
  };
  const std::string refused = "Tags are nested more than 16 deep.";
  // The page's parser is the first level.
  EXPECT_EQ(nested("<editable ", 15)(), 15);
  EXPECT_EQ(nested("<statictext ", 15)(), 15);
  EXPECT_EQ(ExceptionMessage(nested("<editable ", 16)), refused);
  EXPECT_EQ(ExceptionMessage(nested("<column <statictext ", 8)), refused);
  // Passages opened and never closed, as deep as would exhaust the stack.
  EXPECT_EQ(ExceptionMessage([] {
              TestPage page(300);
              std::string markup;
              for (int i = 0; i < 20000; ++i) markup += "<editable ";
              page.Parse(markup);
            }),
            refused);
  // A refusal leaves no level counted.
  EXPECT_EQ(nested("<editable ", 15)(), 15);
}

TEST(ParserLayout, GluedControlTakesItsWordToTheNextLine) {
  TagTableScope tags;
  TestPage page(100);
  const int first = WordWidth(page, "Это "_cp);
  const int second = WordWidth(page, "слово"_cp);
  page.Window->SetWidth(first + second + 10);
  page.Parse("Это слово<answer w=30> дальше"_cp);
  const auto children = page.Children();
  EXPECT_EQ(children[0]->LineNo, 1);
  EXPECT_EQ(children[1]->LineNo, 2);
  EXPECT_EQ(children[1]->Left(), 0);
  EXPECT_EQ(children[2]->LineNo, 2);
  EXPECT_EQ(children[2]->Left(), second);
}

TEST(ParserLayout, RunThatStartsALineIsNotMovedAgain) {
  TagTableScope tags;
  TestPage page(50);
  page.Parse("<answer w=30 h=12><answer w=30 h=12><answer w=30 h=12>");
  for (TRLControl* child : page.Children()) EXPECT_EQ(child->LineNo, 1);
  EXPECT_EQ(page.Children()[2]->Left(), 60);  // overflows to the right
  EXPECT_EQ(page.Parser->Height(), 12);       // and adds no empty lines
}

TEST(ParserLayout, GluedControlAfterABreakStaysOnItsLine) {
  TagTableScope tags;
  TestPage page(20);
  page.Parse("<answer w=10 h=12><br><answer w=30 h=12>");
  const auto children = page.Children();
  EXPECT_EQ(children[2]->LineNo, 2);
  EXPECT_EQ(children[2]->Top(), 12);
  EXPECT_EQ(page.Parser->Height(), 24);
}

TEST(ParserLayout, TooWideWordOverflowsWithoutAnEmptyLine) {
  TagTableScope tags;
  TestPage page(40);
  page.Parse("ширококрылый а ширококрылый"_cp);
  const auto children = page.Children();
  const int h = WordHeight(page);
  EXPECT_EQ(children[0]->Top(), 0);
  EXPECT_EQ(children[1]->LineNo, 2);
  EXPECT_EQ(children[2]->LineNo, 3);
  EXPECT_EQ(page.Parser->Height(), 3 * h);
}

TEST(ParserLayout, BlankNeverStartsALine) {
  TagTableScope tags;
  TestPage page(600);
  page.Parse("<br> a");
  const auto children = page.Children();
  EXPECT_EQ(children[1]->LayoutX, -1000);
  EXPECT_EQ(children[1]->LayoutY, -1000);
  EXPECT_EQ(children[2]->Left(), 0);
}

TEST(ParserLayout, BlankThatDoesNotFitEndsTheLineAndTakesNoRoom) {
  TagTableScope tags;
  TestPage page(600);
  page.Parse("a<b> b</b>");
  const int fits = WordWidth(page, "a");
  page.Parser->SetWidth(fits);
  const auto children = page.Children();
  EXPECT_EQ(children[1]->LayoutX, -1000);
  EXPECT_EQ(children[2]->Left(), 0);
  EXPECT_EQ(children[2]->LineNo, 2);
}

TEST(ParserLayout, LinesAreBottomAlignedAndBreaksAddEmptyLines) {
  TagTableScope tags;
  TestPage page(600);
  page.Parse("a<answer w=10 h=40><br><br>b");
  const auto children = page.Children();
  const int h = WordHeight(page);
  EXPECT_EQ(children[0]->Top(), 40 - h);
  EXPECT_EQ(children[1]->Top(), 0);
  EXPECT_EQ(children[4]->Top(), 40 + 10);
  EXPECT_EQ(page.Parser->Height(), 40 + 10 + h);
}

TEST(ParserLayout, BodyReservesRoomAboveWordsAfterTheFirstLine) {
  TagTableScope tags;
  TestPage page(600, true);
  page.Parse("один<br>два");
  const int h = WordHeight(page);
  EXPECT_EQ(page.Children()[0]->ExtraAbove, h);
  EXPECT_EQ(page.Children()[2]->Top(), 2 * h);
  EXPECT_EQ(page.Parser->Height(), 3 * h);
}

TEST(ParserLayout, EmptyParserIsTenPixelsHigh) {
  TagTableScope tags;
  TestPage page(600);
  page.Parse("");
  EXPECT_EQ(page.Parser->Height(), 10);
  page.Parse("<answer flow=0>");
  EXPECT_EQ(page.Parser->Height(), 10);
}

TEST(ParserLayout, RuledLinesEndTogether) {
  TagTableScope tags;
  TestPage page(600);
  page.Parse("<lines>a bb<br>ccc ddd<br>");
  const int h = WordHeight(page);
  ASSERT_EQ(page.Parser->RuledY, (std::vector<int>{h, 2 * h + 3}));
  const auto children = page.Children();
  const int widest =
      std::max(children[1]->Left() + children[1]->Width(), children[4]->Left() + children[4]->Width());
  EXPECT_EQ(page.Parser->RuledRight, widest + 3);
  EXPECT_EQ(page.Parser->Height(), 2 * h + 6 + 10);  // the empty last line has no rule
}

TEST(ParserLayout, RuledLinesStopAtTheParserWidth) {
  TagTableScope tags;
  TestPage page(30);
  page.Parse("<lines>ширококрылый"_cp);
  EXPECT_EQ(page.Parser->RuledRight, 30);
}

TEST(ParserLayout, ResizingTheWindowReflows) {
  TagTableScope tags;
  TestPage page(600);
  page.Parse("раз два три четыре пять шесть"_cp);
  const int oneLine = page.Parser->Height();
  page.Window->SetWidth(WordWidth(page, "четыре "_cp) + 5);
  EXPECT_GT(page.Parser->Height(), 2 * oneLine);
  EXPECT_EQ(page.Parser->Width(), page.Window->Width());
}

TEST(Spacer, IsAGluedRunOfBlanksClampedToTheLine) {
  TagTableScope tags;
  TestPage page(200);
  page.Parse("a<space width=3>b<space width=2147483647><space width=-4>");
  const auto children = page.Children();
  EXPECT_EQ(children[1]->Width(), WordWidth(page, "   "));
  EXPECT_TRUE(children[1]->Glued);
  EXPECT_EQ(children[3]->Width(), 200);
  EXPECT_EQ(qobject_cast<TRLLabel*>(children[4])->Caption(), "");
}

TEST(ParserScores, InFlowChildrenAreSummedOthersAreNot) {
  TagTableScope tags;
  TestPage page(600);
  page.Parse("<answer right=1> <answer right=0> <answer right=1 flow=0>");
  page.Parser->Check();
  EXPECT_EQ(page.Parser->Score, 1);
  EXPECT_EQ(page.Parser->MaxScore, 2);
  // The free walkers count the control out of the flow as well.
  EXPECT_EQ(SumScore(page.Parser), 2);
  EXPECT_EQ(SumMaxScore(page.Parser), 3);
  page.Parser->Reset();
  for (TRLControl* child : page.Children()) {
    if (auto* answer = dynamic_cast<TFakeAnswer*>(child)) {
      EXPECT_EQ(answer->Resets, 1);
    }
  }
}

TEST(BadMarkup, NeverCrashesOrHangs) {
  TagTableScope tags;
  TestPage page(300);
  EXPECT_NO_THROW(page.Parse("text <b unclosed and more text"));
  EXPECT_EQ(page.Children().size(), 1u);
  EXPECT_FALSE(page.Children()[0]->Font().Bold());

  const std::string huge = "<space width=" + std::string(1 << 20, '9') + ">";
  EXPECT_NO_THROW(page.Parse(huge));

  std::string binary;
  for (int round = 0; round < 4; ++round)
    for (int c = 1; c < 256; ++c) binary.push_back(char((c * 37 + round) & 0xFF));
  const std::string message = ExceptionMessage([&] { page.Parse(binary); });
  EXPECT_TRUE(message == "(no exception)" || message.rfind("Unknown tag", 0) == 0 ||
              message == "Single quote")
      << message;
}
