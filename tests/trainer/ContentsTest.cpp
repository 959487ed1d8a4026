// The contents list: one label per line of "contents.txt" beside the first
// document, the document each line opens, clicks on the labels, and the
// wide pages that cover the list.
#include <gtest/gtest.h>

#include <QFile>

#include "CourseFixtures.h"
#include "TrainerFixtures.h"
#include "platform/Cp1251.h"
#include "trainer/WorkFrame.h"
#include "widgets/ImageButton.h"

namespace {

struct ContentsTest : TCourseScreenTest {
  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const auto& label : frame.ContentsLabels) captions.push_back(label->Caption());
    return captions;
  }
};

}  // namespace

TEST_F(ContentsTest, EachLineOpensTheDocumentItsNumberNames) {
  // cp1251 with CR-only line ends, as an old editor may leave it.
  course.Write("contents.txt", "1. Первое\r2-3. Второе\rВведение\r0. x\r7. Седьмое\r");
  frame.LoadExerciseList(ThreeDocuments());
  ASSERT_EQ(Captions(), (std::vector<std::string>{"1. Первое"_cp, "2-3. Второе"_cp, "Введение"_cp, "0. x",
                                                  "7. Седьмое"_cp}));
  std::vector<std::intptr_t> tags;
  for (const auto& label : frame.ContentsLabels) tags.push_back(label->Tag);
  EXPECT_EQ(tags, (std::vector<std::intptr_t>{0, 1, 0, -1, 6}));
  for (const auto& label : frame.ContentsLabels) {
    EXPECT_EQ(label->Parent(), &frame);
    EXPECT_EQ(label->Cursor(), Qt::PointingHandCursor);
    EXPECT_TRUE(label->Font().Style & fsUnderline);
  }
}

TEST_F(ContentsTest, AContentsFileTooLargeIsReportedAndTheDocumentsStillShown) {
  std::string lines;
  while (lines.size() <= 16 * 1024) lines += "1. First\n";
  const std::string path = course.Write("contents.txt", lines);
  TMessageLog log;
  frame.LoadExerciseList(ThreeDocuments());
  EXPECT_EQ(log.Texts, std::vector<std::string>{"File too large: " + path + " (more than 16 KB)"});
  EXPECT_TRUE(frame.ContentsLabels.empty());
  EXPECT_EQ(frame.Current, 0);
  EXPECT_EQ(BodyFields(frame).size(), 1u);
  EXPECT_TRUE(frame.NextButton->Enabled());
}

TEST_F(ContentsTest, ClickingALabelShowsItsDocument) {
  course.Write("contents.txt", "1. Первое\r\n2-3. Второе\r\n");
  frame.LoadExerciseList(ThreeDocuments());
  TLabel* second = frame.ContentsLabels[1];
  MouseAt(frame, QPoint(second->Left() + 5, second->Top() + second->Height() / 2), TMouseStep::Click);
  EXPECT_EQ(frame.Current, 1);
  EXPECT_EQ(frame.lCurrent->Caption().substr(frame.lCurrent->Caption().size() - 7), "(b.cml)");
}

TEST_F(ContentsTest, NumbersOutsideTheListChangeNothing) {
  course.Write("contents.txt", "0. Ноль\n9. Девятое\n");
  frame.LoadExerciseList(ThreeDocuments());
  frame.ShowExercise(2);
  const std::vector<TRLEdit*> fields = BodyFields(frame);
  const std::string caption = frame.lCurrent->Caption();
  for (const auto& label : frame.ContentsLabels) {
    MouseAt(frame, QPoint(label->Left() + 5, label->Top() + label->Height() / 2), TMouseStep::Click);
    EXPECT_EQ(frame.Current, 2);
    EXPECT_EQ(frame.lCurrent->Caption(), caption);
    EXPECT_EQ(BodyFields(frame), fields) << "the page was built again";
  }
}

TEST_F(ContentsTest, BlankLinesMakeRoomAndOpenTheFirstDocument) {
  course.Write("contents.txt", "1. Первое\n\n3. Третье\n");
  frame.LoadExerciseList(ThreeDocuments());
  ASSERT_EQ(frame.ContentsLabels.size(), 3u);
  TLabel* blank = frame.ContentsLabels[1];
  EXPECT_EQ(frame.ContentsLabels[2]->Top(), blank->Top() + blank->Height());
  ASSERT_GT(blank->Height(), 0);
  EXPECT_EQ(blank->Cursor(), Qt::PointingHandCursor);
  frame.ShowExercise(2);
  MouseAt(frame, QPoint(blank->Left() + 5, blank->Top() + blank->Height() / 2), TMouseStep::Click);
  EXPECT_EQ(frame.Current, 0);
}

TEST_F(ContentsTest, NoContentsFileMeansNoLabels) {
  frame.LoadExerciseList(ThreeDocuments());
  EXPECT_TRUE(frame.ContentsLabels.empty());
  EXPECT_EQ(frame.Current, 0);
}

TEST_F(ContentsTest, ANewListReplacesTheLabels) {
  course.Write("contents.txt", "1. Первое\n2. Второе\n");
  frame.LoadExerciseList(ThreeDocuments());
  const QPointer<TLabel> old = frame.ContentsLabels[0].data();
  frame.LoadExerciseList(ListOf({course.Path("a.cml")}));
  EXPECT_TRUE(old.isNull());
  EXPECT_EQ(frame.ContentsLabels.size(), 2u);
}

TEST_F(ContentsTest, ABareDocumentNameFindsContentsInTheCurrentFolder) {
  // "Go.cml" as the program passes it: no folder part.
  struct TInCurrentFolder {
    ~TInCurrentFolder() {
      QFile::remove("Go.cml");
      QFile::remove("contents.txt");
    }
  } cleanup;
  QFile::copy(QString::fromStdString(course.Write("x.cml", FieldsDocument("Начало", {"а"}))), "Go.cml");
  QFile::copy(QString::fromStdString(course.Write("contents.txt", "1. Начало\n")), "contents.txt");
  frame.LoadExerciseList(ListOf({"Go.cml"}));
  EXPECT_EQ(Captions(), std::vector<std::string>{"1. Начало"_cp});
  EXPECT_EQ(BodyFields(frame).size(), 1u);
}

TEST_F(ContentsTest, AWidePageCoversTheListAndTheNextPageShowsItAgain) {
  course.Write("contents.txt", "1. Первое\n2. Второе\n");
  const std::string wide = "Широкое\r\n<~~~>\r\n<~~~>\r\n<fitwindow>Текст <edit answer=а>.";
  frame.LoadExerciseList(
      ListOf({course.Write("wide.cml", wide), course.Write("a.cml", FieldsDocument("Первое", {"а"}))}));
  ASSERT_EQ(frame.ContentsLabels.size(), 2u);
  for (const auto& label : frame.ContentsLabels) EXPECT_FALSE(label->Visible());
  frame.ShowExercise(1);
  for (const auto& label : frame.ContentsLabels) EXPECT_TRUE(label->Visible());
}
