// Incremental repaints leave on screen exactly what a full repaint gives: for
// every sample document of the course, after a scroll step, a caret blink, a
// Tab and a check. And a document of any length is painted with memory in proportion
// to the screen, not to the document.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <fstream>
#include <sstream>

#include "CourseFixtures.h"
#include "TrainerFixtures.h"
#include "exercise/RLEdit.h"
#include "platform/Timer.h"
#include "trainer/WorkFrame.h"
#include "widgets/ImageScrollBar.h"
#include "widgets/ImageScrollBox.h"

namespace {

// Window-system events (an activation that shows a caret) post paints of their own.
void Flush() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

// What the window shows: the contents of its backing store.
QImage OnScreen(QWidget& window) {
  Flush();
  return window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// The window painted afresh, every control drawing its canvas anew.
QImage FullyRepainted(QWidget& window) {
  for (TControl* control : window.findChildren<TControl*>()) control->Invalidate();
  window.repaint();
  return OnScreen(window);
}

// The first differing pixel, or an empty string when the pictures are equal.
std::string FirstDifference(const QImage& shown, const QImage& repainted) {
  if (shown.size() != repainted.size()) return "the sizes differ";
  for (int y = 0; y < shown.height(); ++y) {
    for (int x = 0; x < shown.width(); ++x) {
      if (shown.pixel(x, y) != repainted.pixel(x, y)) {
        std::ostringstream out;
        out << "at " << x << "," << y << ": shown " << std::hex << shown.pixel(x, y) << ", repainted "
            << repainted.pixel(x, y);
        return out.str();
      }
    }
  }
  return "";
}

// The caret blinks on its own timer, which on a loaded machine could fire
// between the two pictures; the steps below blink it by hand instead.
void StopBlinking(QWidget& window) {
  for (TRLEdit* field : window.findChildren<TRLEdit*>()) field->BlinkTimer().SetEnabled(false);
}

#define EXPECT_SHOWS_A_FULL_REPAINT(window, step)                            \
  do {                                                                       \
    StopBlinking(window);                                                    \
    const QImage shown = OnScreen(window);                                   \
    EXPECT_EQ(FirstDifference(shown, FullyRepainted(window)), "") << (step); \
  } while (0)

std::vector<std::string> SampleDocuments() {
  std::vector<std::string> documents;
  QDirIterator it(COURSE_SOURCE_DIR, {"*.cml"}, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) documents.push_back(it.next().toStdString());
  std::sort(documents.begin(), documents.end());
  return documents;
}

std::string ReadUtf8(const std::string& path) {
  QFile file(QString::fromStdString(path));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
  return file.readAll().toStdString();
}

// The smallest screen the trainer supports, so that longer pages scroll.
struct RepaintTest : ::testing::Test {
  TCourseFolder course;
  TWorkScreen screen{1024, 768};
  TWorkFrame& frame = screen.Frame();

  void SetUp() override {
    screen.Host().Show();
    Flush();
  }
  TImageScrollBar& Bar() { return *frame.ContentBox->ScrollBar(); }
};

// The peak of this process's resident memory since the last reset, in kB.
long PeakResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

void ResetPeakResident() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

}  // namespace

TEST_F(RepaintTest, EverySampleDocumentShowsWhatAFullRepaintShows) {
  std::vector<std::string> documents;
  for (const std::string& source : SampleDocuments()) documents.push_back(ReadUtf8(source));
  ASSERT_GE(documents.size(), 10u);
  // And a page of sixty fields, longer than the exercise area.
  documents.push_back(FieldsDocument("Длинная страница", std::vector<std::string>(60, "лес")));
  int scrolled = 0, blinked = 0;
  for (const std::string& document : documents) {
    SCOPED_TRACE(document.substr(0, 80));
    frame.LoadExerciseList(ListOf({course.Write("doc.cml", document)}));
    EXPECT_SHOWS_A_FULL_REPAINT(screen.Host(), "shown");
    if (Bar().isVisible()) {
      Bar().SetScrollerPos(Bar().ScrollerPos() + 3 * Bar().ScrollAmount);
      EXPECT_SHOWS_A_FULL_REPAINT(screen.Host(), "scrolled");
      ++scrolled;
    }
    if (const std::vector<TRLEdit*> fields = BodyFields(frame); !fields.empty()) {
      fields.front()->SetFocus();
      Flush();
      fields.front()->BlinkTimer().OnTimer(&fields.front()->BlinkTimer());
      EXPECT_SHOWS_A_FULL_REPAINT(screen.Host(), "blinked");
      // Tab takes the focus on, and the caret with it.
      QTest::keyClick(fields.front(), Qt::Key_Tab);
      EXPECT_SHOWS_A_FULL_REPAINT(screen.Host(), "tabbed");
      ++blinked;
    }
    TDialogWatch watch;
    frame.Button3Click(nullptr);
    EXPECT_FALSE(watch.Text().empty());
    EXPECT_SHOWS_A_FULL_REPAINT(screen.Host(), "checked");
  }
  // Both steps were taken.
  EXPECT_GT(scrolled, 0);
  EXPECT_GT(blinked, 0);
}

TEST_F(RepaintTest, ALongDocumentIsPaintedWithinScreensOfMemory) {
  std::string body = "Первая строка <edit width=3 answer=лес>.";
  for (int i = 0; i < 30000; ++i) body += "<br>";
  body += "Последняя строка.";
  frame.LoadExerciseList(ListOf({course.Write("long.cml", "Заголовок\n<~~~>\n<~~~>\n" + body)}));
  TWinControl& content = *frame.ContentBox->ContentPanel();
  // At least a line per break: the whole body would be gigabytes of pixels.
  ASSERT_GT(content.Height(), 30000 * 10);
  ResetPeakResident();
  const long before = PeakResidentKb();
  ASSERT_GT(before, 0);
  Flush();
  for (float pos : {0.5f, 1.0f}) {
    Bar().SetScrollerPos(pos);
    EXPECT_SHOWS_A_FULL_REPAINT(screen.Host(), pos);
  }
  BodyFields(frame).front()->SetFocus();
  Bar().SetScrollerPos(0);
  EXPECT_SHOWS_A_FULL_REPAINT(screen.Host(), "back at the top");
  // A few screens of 1024 x 768 pixels are 3 MB each; the whole body, about a gigabyte.
  EXPECT_LT(PeakResidentKb() - before, 200 * 1024);
}
