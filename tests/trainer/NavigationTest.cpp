// Stepping through a list of documents: the caption line, the previous and
// next buttons at the ends, documents that fail, and the check, reset, show
// and hint actions on a shown page.
#include <gtest/gtest.h>

#include <QFile>
#include <QTest>
#include <filesystem>

#include "CourseFixtures.h"
#include "TrainerFixtures.h"
#include "exercise/ExercisePage.h"
#include "exercise/RLEdit.h"
#include "platform/Cp1251.h"
#include "platform/StrUtils.h"
#include "trainer/UnDrawPanel.h"
#include "trainer/WorkFrame.h"
#include "widgets/ImageButton.h"
#include "widgets/ImageScrollBar.h"
#include "widgets/ImageScrollBox.h"

namespace {

struct NavigationTest : TCourseScreenTest {
  void Click(TControl& control) {
    MouseAt(frame, QPoint(control.Left() + control.Width() / 2, control.Top() + control.Height() / 2),
            TMouseStep::Click);
  }

  static void Answer(const std::vector<TRLEdit*>& fields, const std::vector<std::string>& answers) {
    for (std::size_t i = 0; i < answers.size(); ++i) fields.at(i)->SetText(Utf8ToCp1251(answers[i]));
  }
};

}  // namespace

TEST_F(NavigationTest, CaptionNamesTheSectionTheNumberAndTheFile) {
  frame.SectionName = "Раздел"_cp;
  frame.LoadExerciseList(ThreeDocuments());
  frame.ShowExercise(1);
  EXPECT_EQ(frame.lCurrent->Caption(), "Раздел: Подраздел. Упражнение №2 из 3. (b.cml)"_cp);
  EXPECT_EQ(frame.PrevButton->State(), TImageButton2::bsNormal);
  EXPECT_EQ(frame.NextButton->State(), TImageButton2::bsNormal);
}

TEST_F(NavigationTest, ButtonsAreDisabledAtTheEndsOfTheList) {
  frame.LoadExerciseList(ThreeDocuments());
  EXPECT_EQ(frame.PrevButton->State(), TImageButton2::bsDisabled);
  EXPECT_EQ(frame.NextButton->State(), TImageButton2::bsNormal);
  Click(*frame.NextButton);
  Click(*frame.NextButton);
  EXPECT_EQ(frame.Current, 2);
  EXPECT_EQ(frame.PrevButton->State(), TImageButton2::bsNormal);
  EXPECT_EQ(frame.NextButton->State(), TImageButton2::bsDisabled);
  // A disabled button swallows its click.
  Click(*frame.NextButton);
  EXPECT_EQ(frame.Current, 2);
  Click(*frame.PrevButton);
  EXPECT_EQ(frame.Current, 1);
  EXPECT_TRUE(frame.PrevButton->Enabled());
  EXPECT_TRUE(frame.NextButton->Enabled());
}

TEST_F(NavigationTest, OneDocumentDisablesBothButtons) {
  frame.LoadExerciseList(ListOf({course.Write("only.cml", FieldsDocument("Одно", {"а"}))}));
  EXPECT_EQ(frame.PrevButton->State(), TImageButton2::bsDisabled);
  EXPECT_EQ(frame.NextButton->State(), TImageButton2::bsDisabled);
  const std::vector<TRLEdit*> fields = BodyFields(frame);
  Click(*frame.NextButton);
  Click(*frame.PrevButton);
  EXPECT_EQ(BodyFields(frame), fields);
}

TEST_F(NavigationTest, AnEmptyListShowsTheScreenWithoutADocument) {
  frame.LoadExerciseList(TStringList());
  EXPECT_FALSE(frame.BackImage->Picture().Empty());
  EXPECT_TRUE(BodyFields(frame).empty());
  EXPECT_EQ(frame.NextButton->State(), TImageButton2::bsDisabled);
  EXPECT_FALSE(frame.Panel3->Visible());
}

TEST_F(NavigationTest, ADocumentThatFailsToBuildLeavesTheScreenWorking) {
  TStringList list = ThreeDocuments();
  list.Insert(1, course.Write("broken.cml", "Заголовок<~~~><~~~>Текст <nosuchtag> дальше."));
  frame.LoadExerciseList(list);
  EXPECT_THROW(frame.ShowExercise(1), Exception);
  EXPECT_EQ(frame.Current, 1);
  EXPECT_FALSE(frame.ContentBox->ScrollBar()->NoPaint);
  EXPECT_TRUE(frame.ContentBox->ContentPanel()->Visible());
  EXPECT_TRUE(frame.Panel3->Visible());
  EXPECT_TRUE(frame.PrevButton->Enabled());
  EXPECT_TRUE(frame.NextButton->Enabled());
  EXPECT_EQ(frame.PrevButton->State(), TImageButton2::bsNormal);
  EXPECT_EQ(frame.NextButton->State(), TImageButton2::bsNormal);
  EXPECT_NE(frame.lCurrent->Caption().find("(broken.cml)"), std::string::npos);
  Click(*frame.NextButton);
  EXPECT_EQ(frame.Current, 2);
  EXPECT_EQ(BodyFields(frame).size(), 1u);
}

TEST_F(NavigationTest, ADocumentThatCannotBeReadLeavesThePageAsItWas) {
  TStringList list = ThreeDocuments();
  list.Add(course.Path("missing.cml"));
  // One byte over the limit, in words: the kind of file that costs the most.
  std::string words;
  while (words.size() <= kMaxDocumentBytes) words += "слово "_cp;
  list.Add(course.Write("huge.cml", "Задание<~~~><~~~>" + Cp1251ToUtf8(words)));
  frame.LoadExerciseList(list);
  const std::vector<TRLEdit*> fields = BodyFields(frame);
  const std::string missing = "File not found: " + course.Path("missing.cml");
  const std::string tooLarge = "File too large: " + course.Path("huge.cml") + " (more than 256 KB)";
  for (const std::string& expected : {missing, tooLarge}) {
    try {
      frame.ShowExercise(list.Count() - (expected == missing ? 2 : 1));
      ADD_FAILURE() << "no error: " << expected;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), expected);
    }
    EXPECT_EQ(frame.Current, 0);
    EXPECT_EQ(BodyFields(frame), fields);
    EXPECT_TRUE(frame.NextButton->Enabled());
  }
}

TEST_F(NavigationTest, CheckCountsTheMistakesAndMarksThem) {
  frame.LoadExerciseList(ListOf({course.Write(
      "ten.cml", FieldsDocument("Десять", {"а", "б", "в", "г", "д", "е", "ж", "з", "и", "к"}))}));
  const std::vector<TRLEdit*> fields = BodyFields(frame);
  ASSERT_EQ(fields.size(), 10u);
  Answer(fields, {"а", "б", "в", "г", "д", "е", "ж", "х", "х"});
  TDialogWatch dialog;
  Click(*frame.CheckButton);
  EXPECT_EQ(dialog.Text(), "Количество ошибок: 3"_cp);
  EXPECT_FALSE(fields[0]->ErrorShown);
  EXPECT_TRUE(fields[7]->ErrorShown);
  EXPECT_TRUE(fields[9]->ErrorShown);
}

TEST_F(NavigationTest, HardModeScoresSilentlyAndTheShowButtonMarks) {
  frame.Hard = true;
  frame.LoadExerciseList(ListOf({course.Write("hard.cml", FieldsDocument("Трудно", {"а", "б"}))}));
  EXPECT_TRUE(frame.ShowButton->Visible());
  const std::vector<TRLEdit*> fields = BodyFields(frame);
  Answer(fields, {"а", "х"});
  TDialogWatch dialog;
  Click(*frame.CheckButton);
  EXPECT_EQ(dialog.Text(), "Количество ошибок: 1"_cp);
  EXPECT_FALSE(fields[1]->ErrorShown);
  Click(*frame.ShowButton);
  EXPECT_TRUE(fields[1]->ErrorShown);
  EXPECT_FALSE(fields[0]->ErrorShown);
}

TEST_F(NavigationTest, ResetRemovesTheMarks) {
  frame.LoadExerciseList(ListOf({course.Write("r.cml", FieldsDocument("Сброс", {"а", "б"}))}));
  const std::vector<TRLEdit*> fields = BodyFields(frame);
  Answer(fields, {"х", "х"});
  frame.ShowButtonClick(nullptr);
  ASSERT_TRUE(fields[0]->ErrorShown);
  Click(*frame.ResetButton);
  EXPECT_FALSE(fields[0]->ErrorShown);
  EXPECT_FALSE(fields[1]->ErrorShown);
}

TEST_F(NavigationTest, CheckingLeavesTheFocusedFieldMarked) {
  screen.Host().Show();
  frame.LoadExerciseList(ListOf({course.Write("f.cml", FieldsDocument("Фокус", {"а", "б"}))}));
  const std::vector<TRLEdit*> fields = BodyFields(frame);
  Answer(fields, {"х", "б"});
  fields[0]->SetFocus();
  ASSERT_TRUE(fields[0]->Focused());
  TDialogWatch dialog;
  Click(*frame.CheckButton);
  EXPECT_TRUE(fields[0]->ErrorShown);
  frame.ShowButtonClick(nullptr);
  EXPECT_TRUE(fields[0]->ErrorShown);
  EXPECT_FALSE(fields[1]->ErrorShown);
}

TEST_F(NavigationTest, HintButtonTogglesTheHintOnlyWhenThereIsOne) {
  frame.LoadExerciseList(ListOf({course.Write("h.cml", FieldsDocument("С подсказкой", {"а"})),
                                 course.Write("n.cml", FieldsDocument("Без подсказки", {"а"}, ""))}));
  EXPECT_FALSE(frame.pHint->Visible());
  Click(*frame.HintButton);
  EXPECT_TRUE(frame.pHint->Visible());
  frame.ShowExercise(1);
  EXPECT_FALSE(frame.pHint->Visible());
  EXPECT_EQ(frame.HintButton->State(), TImageButton2::bsDisabled);
  Click(*frame.HintButton);
  EXPECT_FALSE(frame.pHint->Visible());
}

TEST_F(NavigationTest, TheHintHidesTheContentsLinesItStandsOverUntilItCloses) {
  // The hint panel stands over the contents column: a line it covered only
  // in part looked cut in half, so every line it touches hides meanwhile.
  std::string contents;
  for (int i = 1; i <= 40; ++i) contents += std::to_string(i) + ". Упражнение на повторение\n";
  course.Write("contents.txt", contents);
  frame.LoadExerciseList(ListOf({course.Write("h.cml", FieldsDocument("С подсказкой", {"а"}))}));
  ASSERT_EQ(frame.ContentsLabels.size(), 40u);
  Click(*frame.HintButton);
  ASSERT_TRUE(frame.pHint->Visible());
  int under = 0;
  for (const QPointer<TLabel>& label : frame.ContentsLabels) {
    const bool covered = label->geometry().intersects(frame.pHint->geometry());
    EXPECT_NE(label->Visible(), covered) << label->Top();
    under += covered;
  }
  EXPECT_GT(under, 0);
  EXPECT_LT(under, 40);
  Click(*frame.HintButton);
  for (const QPointer<TLabel>& label : frame.ContentsLabels) EXPECT_TRUE(label->Visible()) << label->Top();
}

TEST_F(NavigationTest, TheSampleTopicStepsThroughItsExercises) {
  const std::string source = COURSE_SOURCE_DIR;
  const std::string topic = source + "/docs/Легко/Правописание гласных в корне/";
  auto copy = [&](const std::string& from, const std::string& name) {
    QFile file(QString::fromStdString(from));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << from;
    return course.Write(name, file.readAll().toStdString());
  };
  TStringList list = ListOf({copy(source + "/Go.cml", "01.cml"), copy(topic + "02.cml", "02.cml"),
                             copy(topic + "03.cml", "03.cml")});
  copy(topic + "contents.txt", "contents.txt");
  frame.LoadExerciseList(list);
  ASSERT_EQ(frame.ContentsLabels.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    TLabel* label = frame.ContentsLabels[i];
    Click(*label);
    EXPECT_EQ(frame.Current, i);
    EXPECT_GE(BodyFields(frame).size(), 7u) << list[i];
    EXPECT_EQ(frame.pHintInner->Tag, 1) << list[i];
  }
}

TEST_F(NavigationTest, EveryCourseDocumentShowsWithItsHint) {
  // Each document of the course on the exercise screen with its hint open,
  // kept in renders/course_<topic>_<file>.png for a person to read.
  const std::filesystem::path source = COURSE_SOURCE_DIR;
  int shown = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(source / "docs")) {
    if (entry.path().extension() != ".cml") continue;
    QFile file(QString::fromStdString(entry.path().string()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << entry.path();
    TMessageLog messages;
    frame.LoadExerciseList(
        ListOf({course.Write(entry.path().filename().string(), file.readAll().toStdString())}));
    EXPECT_TRUE(messages.Texts.empty()) << entry.path() << ": " << Cp1251ToUtf8(messages.Texts.front());
    EXPECT_EQ(frame.pHintInner->Tag, 1) << entry.path();
    Click(*frame.HintButton);
    EXPECT_TRUE(frame.pHint->Visible()) << entry.path();
    SaveRender(frame.grab().toImage(), "course_" + entry.path().parent_path().filename().string() + "_" +
                                           entry.path().stem().string() + ".png");
    ++shown;
  }
  EXPECT_GE(shown, 14);
}
