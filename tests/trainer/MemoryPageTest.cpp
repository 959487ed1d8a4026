// The course's memory exercise on the exercise screen: after its button the
// passage flows again around the answer fields, and the page grows with it,
// so that every field can be scrolled to and seen whole.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>

#include "CourseFixtures.h"
#include "TrainerFixtures.h"
#include "exercise/ExercisePage.h"
#include "exercise/RLButton.h"
#include "exercise/RLEdit.h"
#include "exercise/RLMemory.h"
#include "exercise/ScaleSettings.h"
#include "platform/StrUtils.h"
#include "widgets/ImageScrollBar.h"
#include "widgets/ImageScrollBox.h"

namespace {

std::string CourseDocument(const std::string& relative) {
  QFile file(QString::fromStdString(std::string(COURSE_SOURCE_DIR) + "/" + relative));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << relative;
  return file.readAll().toStdString();
}

template <class T>
std::vector<T*> BodyControls(TWorkFrame& frame) {
  const QList<T*> found = frame.ContentBox->ContentPanel()->findChildren<T*>();
  return {found.begin(), found.end()};
}

// A field's rectangle in the scroll box, which shows the page.
QRect InBox(TWorkFrame& frame, const TControl& field) {
  const QPoint at = field.mapTo(frame.ContentBox, QPoint(0, 0));
  return QRect(at, QSize(field.Width(), field.Height()));
}

}  // namespace

TEST(MemoryPageTest, EveryFieldCanBeScrolledToAfterTheWordsAreHidden) {
  // The font as the program starts: the largest choice, scaled up for short pages.
  const int savedSize = BodyFontSize;
  const std::vector<TScaleRec> savedScales = ScaleTable;
  const auto restore = qScopeGuard([&] {
    BodyFontSize = savedSize;
    ScaleTable = savedScales;
  });
  BodyFontSize = -18;
  LoadScaleSettings(std::string(COURSE_SOURCE_DIR) + "/Settings.ini");
  ASSERT_FALSE(ScaleTable.empty());
  for (const QSize size : {QSize(1024, 768), QSize(1280, 1024)}) {
    SCOPED_TRACE(size.width());
    TCourseFolder course;
    TWorkScreen screen(size.width(), size.height());
    TWorkFrame& frame = screen.Frame();
    screen.Host().Show();
    frame.LoadExerciseList(
        ListOf({course.Write("memory.cml", CourseDocument("docs/Легко/Словарные слова/01.cml"))}));
    const std::vector<TRLButton*> buttons = BodyControls<TRLButton>(frame);
    ASSERT_EQ(buttons.size(), 1u);
    const QRect button = InBox(frame, *buttons.front());
    MouseAt(frame, frame.ContentBox->mapTo(&frame, button.center()), TMouseStep::Click);
    QCoreApplication::processEvents();

    const std::vector<TRLMemoryLabel*> labels = BodyControls<TRLMemoryLabel>(frame);
    ASSERT_EQ(labels.size(), 8u);
    const TPanel& content = *frame.ContentBox->ContentPanel();
    TImageScrollBar& bar = *frame.ContentBox->ScrollBar();
    EXPECT_EQ(bar.isVisible(), content.Height() > frame.ContentBox->Height());
    for (const TRLMemoryLabel* label : labels) {
      ASSERT_NE(label->AnswerEdit, nullptr);
      const QRect field = InBox(frame, *label->AnswerEdit);
      EXPECT_LE(field.bottom() - content.Top(), content.Height() - 1) << label->Caption();
    }
    for (const TRLMemoryLabel* label : labels) label->AnswerEdit->SetText(label->Caption());
    // Scrolled to the end, the last field stands whole in the box.
    bar.SetScrollerPos(1);
    const QRect last = InBox(frame, *labels.back()->AnswerEdit);
    EXPECT_TRUE(QRect(0, 0, frame.ContentBox->Width(), frame.ContentBox->Height()).contains(last))
        << last.y() << " " << last.height();
    SaveRender(frame.grab().toImage(), Format("memory_hidden_%dx%d.png", size.width(), size.height()));
  }
}
