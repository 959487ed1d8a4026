// A body page with check boxes, a radio group, NOT-particles and comma places
// as a learner answers and checks it; the renders are kept for a person to
// look at (renders/marks_*.png in the test build folder).
#include <gtest/gtest.h>

#include <QDir>

#include "MarkFixtures.h"
#include "exercise/RLCheckBox.h"
#include "exercise/RLComma.h"
#include "exercise/RLLabel.h"
#include "exercise/RLNotParticle.h"
#include "platform/Cp1251.h"

namespace {

const char* const Markup =
    "1. Расставьте запятые.<br>"
    "Когда мы вышли из дома<comma answer=1> пошёл дождь.<br>"
    "Мальчик<comma> который сидел у окна<comma answer=1> читал книгу.<br>"
    "2. Слитно или раздельно?<br>"
    "Я <together text=не answer=1>знал ответа. Это <together text=не answer=0>вежливо. "
    "Он <together text=кое answer=2>что принёс.<br>"
    "3. Отметьте верные утверждения.<br>"
    "<checkbox caption=\"«Жи» и «ши» пишем с буквой и.\" answer=1><br>"
    "<checkbox caption=\"Слово «ёж» пишется с мягким знаком.\"><br>"
    "4. Выберите правильный ответ.<br>"
    "<radiogroup <rgi caption=\"прийти\" answer=1> <rgi caption=\"придти\"> <rgi caption=\"притти\">>";

template <class T>
std::vector<T*> Of(TRLParser& parser) {
  std::vector<T*> found;
  for (int i = 0; i < parser.ControlCount(); ++i)
    if (auto* control = qobject_cast<T*>(parser.Controls(i))) found.push_back(control);
  return found;
}

void SaveRender(TForm& window, const std::string& name) {
  QDir().mkpath(EXERCISE_RENDER_DIR);
  ASSERT_TRUE(window.grab().save(QString(EXERCISE_RENDER_DIR) + "/" + QString::fromStdString(name)));
}

// Puts every answer control of the parser in the state its markup calls right.
void AnswerAsMarked(TRLParser& parser) {
  for (TRLComma* comma : Of<TRLComma>(parser)) comma->Comma = comma->Answer;
  for (TRLNotParticle* particle : Of<TRLNotParticle>(parser)) particle->State = particle->Answer;
  for (TRLCheckBox* box : Of<TRLCheckBox>(parser)) box->SetChecked(box->AnswerChecked);
  for (TRLRadioGroup* group : Of<TRLRadioGroup>(parser))
    for (TRLRadioBox* item : group->Items()) item->SetChecked(item->AnswerChecked);
}

}  // namespace

TEST(MarksRender, AnsweredAndCheckedPage) {
  MarkPage page(640);
  page.Parse<TRLControl>(Utf8ToCp1251(Markup));
  ASSERT_TRUE(page.Show());
  TRLParser& parser = page.Parser();
  page.Window().SetHeight(parser.Height() + 10);

  // Every answer control stands inside the page, none over another.
  std::vector<TRect> places;
  for (int i = 0; i < parser.ControlCount(); ++i) {
    auto* control = qobject_cast<TRLControl*>(parser.Controls(i));
    if (!control || qobject_cast<TRLLabel*>(control)) continue;
    const TRect r = control->BoundsRect();
    EXPECT_GE(r.Left, 0);
    EXPECT_LE(r.Right, parser.Width());
    for (const TRect& other : places)
      EXPECT_TRUE(r.Right <= other.Left || other.Right <= r.Left || r.Bottom <= other.Top ||
                  other.Bottom <= r.Top);
    places.push_back(r);
  }
  SaveRender(page.Window(), "marks_new.png");

  // The learner: one comma right, one missing, one too many; two particles
  // chosen (one wrongly), one left; the wrong box ticked; the wrong radio item.
  const auto commas = Of<TRLComma>(parser);
  const auto particles = Of<TRLNotParticle>(parser);
  const auto boxes = Of<TRLCheckBox>(parser);
  const auto groups = Of<TRLRadioGroup>(parser);
  ASSERT_EQ(commas.size(), 3u);
  ASSERT_EQ(particles.size(), 3u);
  ASSERT_EQ(boxes.size(), 2u);
  ASSERT_EQ(groups.size(), 1u);
  QTest::mouseClick(commas[0], Qt::LeftButton, {}, QPoint(2, 2));
  QTest::mouseClick(commas[1], Qt::LeftButton, {}, QPoint(2, 2));
  QTest::mouseClick(particles[0], Qt::LeftButton, {}, QPoint(2, 2));
  QTest::mouseClick(particles[1], Qt::LeftButton, {}, QPoint(2, 2));
  QTest::mouseClick(boxes[1], Qt::LeftButton, {}, QPoint(2, 2));
  QTest::mouseClick(groups[0]->Items()[1], Qt::LeftButton, {}, QPoint(2, 2));
  SaveRender(page.Window(), "marks_answered.png");

  CheckChildren(&parser);
  // Right: the first comma, the first particle. Wrong: two commas, two
  // particles, both boxes (one unticked, one ticked) and the group.
  EXPECT_EQ(SumMaxScore(&parser), 9);
  EXPECT_EQ(SumMaxScore(&parser) - SumScore(&parser), 7);
  SaveRender(page.Window(), "marks_checked.png");
}

// The course's sample exercises of these controls build, start with mistakes,
// and answered as their markup says leave none.
TEST(MarksRender, SampleExercisesAreAnswerable) {
  const std::string folders[] = {"Пунктуация", "Слитное, раздельное и дефисное написание",
                                 "Мягкий знак после шипящих"};
  int n = 0;
  for (const std::string& folder : folders) {
    MarkPage page(640);
    const std::string body = CourseDocumentBody("docs/Легко/" + folder + "/01.cml");
    ASSERT_FALSE(body.empty()) << folder;
    page.Parse<TRLControl>(body);
    TRLParser& parser = page.Parser();
    CheckOnlyScoreChildren(&parser);
    const int answers = SumMaxScore(&parser);
    EXPECT_GE(answers, 5) << folder;
    EXPECT_LT(SumScore(&parser), answers) << folder;
    AnswerAsMarked(parser);
    CheckOnlyScoreChildren(&parser);
    EXPECT_EQ(SumScore(&parser), answers) << folder;
    ASSERT_TRUE(page.Show());
    page.Window().SetHeight(parser.Height() + 10);
    SaveRender(page.Window(), "course_" + std::to_string(++n) + ".png");
  }
}
