// The course's samples for columns, the swapper and paragraph ordering: each
// body builds on the real artwork, starts with mistakes to find, and scores
// fully once every answer inside the containers is given and the paragraphs
// stand in order. Renders are kept in renders/containers_*.png for a person
// to look at.
#include <gtest/gtest.h>

#include <QDir>

#include "MarkFixtures.h"
#include "exercise/RLCheckBox.h"
#include "exercise/RLColumned.h"
#include "exercise/RLEdit.h"
#include "exercise/RLParagraphManager.h"
#include "exercise/RLSwapper.h"

namespace {

// Answers every control under container rightly, however deep it lies,
// turning each swapper to its task as a learner does.
void AnswerAll(TWinControl& container) {
  for (int i = 0; i < container.ControlCount(); ++i) {
    TControl* control = container.Controls(i);
    if (auto* swapper = qobject_cast<TRLSwapper*>(control)) swapper->Swap();
    if (auto* edit = qobject_cast<TRLEdit*>(control)) edit->SetText(edit->Answer()[0]);
    if (auto* box = qobject_cast<TRLCheckBox*>(control)) box->SetChecked(box->AnswerChecked);
    if (auto* manager = qobject_cast<TRLParagraphManager*>(control))
      for (int place = 0; place < int(manager->Paragraphs().size()); ++place)
        manager->BelongingAt(place)->MoveTo(place);
    if (auto* inner = qobject_cast<TWinControl*>(control)) AnswerAll(*inner);
  }
}

template <class T>
int CountOf(const TWinControl& container) {
  int count = 0;
  for (int i = 0; i < container.ControlCount(); ++i) {
    count += qobject_cast<const T*>(container.Controls(i)) != nullptr;
    if (auto* inner = qobject_cast<const TWinControl*>(container.Controls(i))) count += CountOf<T>(*inner);
  }
  return count;
}

void SaveRender(TForm& window, int height, const std::string& name) {
  QDir().mkpath(EXERCISE_RENDER_DIR);
  const QString path = QString(EXERCISE_RENDER_DIR) + "/" + QString::fromStdString(name);
  EXPECT_TRUE(window.grab(QRect(0, 0, window.Width(), height)).save(path));
}

struct TSample {
  const char* Path;
  const char* Render;
  int Containers;  // columns, swappers and paragraph managers it holds
};

class ContainerSamplesTest : public ::testing::TestWithParam<TSample> {};

}  // namespace

TEST_P(ContainerSamplesTest, StartsWithMistakesAndScoresFullyWhenAnswered) {
  MarkPage page(640);
  page.Parse<TRLControl>(CourseDocumentBody(GetParam().Path));
  ASSERT_TRUE(page.Show());
  TRLParser& parser = page.Parser();
  page.Window().SetHeight(parser.Height() + 40);
  EXPECT_EQ(
      CountOf<TRLColumnBase>(parser) + CountOf<TRLSwapper>(parser) + CountOf<TRLParagraphManager>(parser),
      GetParam().Containers);
  for (int i = 0; i < parser.ControlCount(); ++i) {
    const TControl* control = parser.Controls(i);
    EXPECT_LE(control->Left() + control->Width(), parser.Width()) << i;
  }

  parser.Check();
  EXPECT_GT(parser.MaxScore, parser.Score);
  SaveRender(page.Window(), parser.Height(), std::string("containers_") + GetParam().Render + "_checked.png");
  parser.Reset();

  AnswerAll(parser);
  parser.Check();
  EXPECT_GT(parser.MaxScore, 0);
  EXPECT_EQ(parser.Score, parser.MaxScore);
  SaveRender(page.Window(), parser.Height(), std::string("containers_") + GetParam().Render + "_right.png");
}

INSTANTIATE_TEST_SUITE_P(Course, ContainerSamplesTest,
                         ::testing::Values(TSample{"docs/Легко/Парные согласные/01.cml", "columns", 5},
                                           TSample{"docs/Легко/Понимание текста/01.cml", "swapper", 1},
                                           TSample{"docs/Легко/Порядок в тексте/01.cml", "paragraphs", 1}),
                         [](const auto& info) { return std::string(info.param.Render); });
