// The course's sample documents for word correction and word selection: each
// body builds, holds something to answer, and a learner who answers every
// item rightly makes no mistake. Renders are kept in renders/ for a look.
#include <gtest/gtest.h>

#include <QDir>

#include "ExerciseFixtures.h"
#include "exercise/RLWordSelector.h"

namespace {

// Answers every word of every passage rightly.
int AnswerEverything(TRLParser& parser) {
  int items = 0;
  for (int i = 0; i < parser.ControlCount(); ++i) {
    auto* passage = qobject_cast<TRLWordCorrector*>(parser.Controls(i));
    if (!passage) continue;
    for (int j = 0; j < passage->ControlCount(); ++j) {
      auto* word = qobject_cast<TRLWord*>(passage->Controls(j));
      if (!word) continue;
      items += word->IsError;
      word->SetText(word->Answer);
      if (auto* selectable = qobject_cast<TRLSelectWord*>(word)) {
        items += selectable->MustSelect;
        selectable->SetSelected(selectable->MustSelect);
      }
    }
    passage->Reflow();
  }
  return items;
}

struct TSample {
  const char* Path;    // under the course folder
  const char* Render;  // name of the renders
};

class WordSamplesTest : public ::testing::TestWithParam<TSample> {};

}  // namespace

TEST_P(WordSamplesTest, RightAnswersMakeNoMistake) {
  TagTableScope tags;
  TestPage page(640, true);
  page.Parser->SetColor(0xF6EFE2);
  page.Parse(CourseDocumentBody(GetParam().Path));
  page.Window->Show();
  QDir().mkpath(EXERCISE_RENDER_DIR);
  const QString name = QString(EXERCISE_RENDER_DIR) + "/" + GetParam().Render;
  EXPECT_TRUE(page.Window->grab(QRect(0, 0, 640, page.Parser->Height())).save(name + "_as_given.png"));
  page.Parser->Check();
  EXPECT_LT(page.Parser->Score, page.Parser->MaxScore);  // as given, the text holds mistakes
  page.Parser->Reset();
  EXPECT_GT(AnswerEverything(*page.Parser), 3);
  page.Parser->Check();
  EXPECT_EQ(page.Parser->Score, page.Parser->MaxScore);
  EXPECT_TRUE(page.Window->grab(QRect(0, 0, 640, page.Parser->Height())).save(name + "_answered.png"));
}

INSTANTIATE_TEST_SUITE_P(Course, WordSamplesTest,
                         ::testing::Values(TSample{"docs/Легко/Безударные гласные/01.cml", "editable"},
                                           TSample{"docs/Легко/Части речи/01.cml", "selector"},
                                           TSample{"docs/Легко/Члены предложения/01.cml",
                                                   "underlineselector"}));
