// The course's samples for prefix boundaries, letter choosers and memo
// fields: each body builds on the real artwork, a learner who answers every
// item rightly makes no mistake, and one who answers wrongly sees a mark on
// every item. Renders are kept in renders/choice_*.png for a person to look at.
#include <gtest/gtest.h>

#include <QDir>

#include "MarkFixtures.h"
#include "exercise/RLChooser.h"
#include "exercise/RLMemo.h"
#include "exercise/RLPrefix.h"
#include "platform/Cp1251.h"
#include "platform/KeyboardLayout.h"
#include "tests/platform/XKeyboard.h"

namespace {

template <class T>
std::vector<T*> Of(TRLParser& parser) {
  std::vector<T*> found;
  for (int i = 0; i < parser.ControlCount(); ++i)
    if (auto* control = qobject_cast<T*>(parser.Controls(i))) found.push_back(control);
  return found;
}

// Answers every item; rightly, or each one wrongly. Returns the item count.
int Answer(TRLParser& parser, bool rightly) {
  int items = 0;
  for (TRLPrefix* prefix : Of<TRLPrefix>(parser)) {
    prefix->Boundary = rightly ? prefix->CorrectBoundary : prefix->CorrectBoundary + 1;
    ++items;
  }
  for (TRLChooser* chooser : Of<TRLChooser>(parser)) {
    const int right = chooser->Variants.IndexOf(chooser->AnswerVariant);
    EXPECT_GE(right, 0) << "no variant is the answer";
    chooser->Selected = rightly ? right : (right + 1) % chooser->Variants.Count();
    ++items;
  }
  for (TRLMemo* memo : Of<TRLMemo>(parser)) {
    // Typed key by key, as a learner on a US X layout types it; wrongly, without the last key.
    const QString answer = Cp1251ToQString(memo->NormalizedAnswer());
    memo->SetFocus();
    XKeyboard(TXLayout::Us).TypeRussianKeys((rightly ? answer : answer.chopped(1)).toStdU16String(), memo);
    ++items;
  }
  return items;
}

void SaveRender(TForm& window, int height, const std::string& name) {
  QDir().mkpath(EXERCISE_RENDER_DIR);
  const QString path = QString(EXERCISE_RENDER_DIR) + "/" + QString::fromStdString(name);
  EXPECT_TRUE(window.grab(QRect(0, 0, window.Width(), height)).save(path));
}

struct TSample {
  const char* Path;    // under the course folder
  const char* Render;  // name of the renders
};

class ChoiceSamplesTest : public ::testing::TestWithParam<TSample> {
 protected:
  // The trainer turns its Russian layout on at start.
  void SetUp() override { ActivateKeyboardLayout("00000419"); }
  void TearDown() override { DeactivateRussianLayout(); }
};

}  // namespace

TEST_P(ChoiceSamplesTest, RightAnswersScoreFullyAndWrongOnesAreMarked) {
  MarkPage page(640);
  page.Parse<TRLControl>(CourseDocumentBody(GetParam().Path));
  ASSERT_TRUE(page.Show());
  TRLParser& parser = page.Parser();
  page.Window().SetHeight(parser.Height() + 40);

  const int items = Answer(parser, true);
  ASSERT_GT(items, 0);
  parser.Check();
  EXPECT_EQ(parser.MaxScore, items);
  EXPECT_EQ(parser.Score, items);
  // Every control stands inside the page.
  for (int i = 0; i < parser.ControlCount(); ++i) {
    const TControl* control = parser.Controls(i);
    EXPECT_LE(control->Left() + control->Width(), parser.Width()) << i;
  }
  SaveRender(page.Window(), parser.Height(), std::string("choice_") + GetParam().Render + "_right.png");

  parser.Reset();
  Answer(parser, false);
  parser.Check();
  EXPECT_EQ(parser.Score, 0);
  int marked = 0;
  for (TRLPrefix* prefix : Of<TRLPrefix>(parser)) marked += prefix->ErrorShown;
  for (TRLChooser* chooser : Of<TRLChooser>(parser)) marked += chooser->ErrorShown && chooser->HintLabel();
  for (TRLMemo* memo : Of<TRLMemo>(parser)) marked += memo->ErrorShown;
  EXPECT_EQ(marked, items);
  QCoreApplication::processEvents();
  SaveRender(page.Window(), parser.Height(), std::string("choice_") + GetParam().Render + "_wrong.png");
}

INSTANTIATE_TEST_SUITE_P(
    Course, ChoiceSamplesTest,
    ::testing::Values(TSample{"docs/Легко/Правописание приставок/01.cml", "prefix"},
                      TSample{"docs/Легко/Гласные после шипящих и Ц/01.cml", "choose"},
                      TSample{"docs/Легко/Упражнения на построение предложений/01.cml", "memo"}),
    [](const ::testing::TestParamInfo<TSample>& info) { return std::string(info.param.Render); });

// The join picture as a chooser's variant, the focus frame, a bracket being
// dragged and a memo with its caret, as a learner sees them mid-answer.
TEST(ChoiceRender, ControlsWhileTheLearnerAnswers) {
  MarkPage page(640);
  const std::string markup =
      "Слитно или раздельно? не<choose char=\" &\" answer=&>видимый, "
      "не<choose char=\" &\" answer=\" \">знал<br>"
      "Приставка: <prefix text=подбежал answer=3><br>"
      "<memo width=20 height=2 answer=\"Тише едешь — дальше будешь.\">"_cp;
  page.Parse<TRLControl>(markup);
  ASSERT_TRUE(page.Show());
  TRLParser& parser = page.Parser();
  page.Window().SetHeight(parser.Height() + 40);
  const auto choosers = Of<TRLChooser>(parser);
  ASSERT_EQ(choosers.size(), 2u);
  ASSERT_NE(choosers[0]->VariantImage(), nullptr);
  QTest::mouseClick(choosers[0], Qt::LeftButton, {}, QPoint(2, 2));
  QTest::mouseClick(choosers[0], Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(choosers[0]->Shown(), "&");
  choosers[0]->CheckOnlyScore();
  EXPECT_EQ(choosers[0]->Score, 1);
  // The picture is red where it is opaque and leaves the paper elsewhere.
  const TBitmap chosen = Painted(*choosers[0]);
  const TRect inside = Rect(1, 1, chosen.Width() - 1, chosen.Height() - 1);
  EXPECT_GT(CountWhere(chosen, inside, IsRed), 4);
  EXPECT_GT(CountWhere(chosen, inside, IsPaper), chosen.Width() * chosen.Height() / 2);

  TRLPrefix* prefix = Of<TRLPrefix>(parser).front();
  QTest::mousePress(prefix, Qt::LeftButton, {}, QPoint(prefix->Width() / 2, 10));
  TRLMemo* memo = Of<TRLMemo>(parser).front();
  memo->SetFocus();
  memo->SetText("Тише едешь —"_cp);
  memo->SetCaretIndex(12);
  QCoreApplication::processEvents();
  SaveRender(page.Window(), parser.Height(), "choice_answering.png");
  QTest::mouseRelease(prefix, Qt::LeftButton, {}, QPoint(prefix->Width() / 2, 10));
}
