// The trainer's paint costs on Go.cml and on dense exercises of 500 words
// and of the most words a document may hold (about 21,000 within the
// trainer's limit on a document's size): a caret blink, a hover, a mark, check to the mistakes dialog,
// next and previous, one wheel step, idle load with a field focused, and
// start-up to the first page on the screen next to an empty Qt Widgets window
// started the same way. Medians of repeated runs; prints each figure and the
// ratio of the long page to the short one.
//
// Runs from the trainer's tree of this build (pictures, Go.cml, settings), on
// the platform the environment names (offscreen unless told; `make bench`
// runs it on an X server, Xvfb, where there is one) and says which. Under X
// each step is timed until the X server has carried out what it drew.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/OnScreen.h"
#include "exercise/ExercisePage.h"
#include "exercise/RLControl.h"
#include "exercise/RLEdit.h"
#include "exercise/ScaleSettings.h"
#include "exercise/TagTable.h"
#include "platform/Application.h"
#include "platform/Cp1251.h"
#include "platform/Forms.h"
#include "platform/StringList.h"
#include "platform/Timer.h"
#include "tests/support/DenseExercise.h"
#include "trainer/DialogForm.h"
#include "trainer/MainForm.h"
#include "trainer/WorkFrame.h"
#include "widgets/ImageButton.h"
#include "widgets/ImageScrollBar.h"
#include "widgets/ImageScrollBox.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// Lets every queued paint and input run.
void Flush() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

// The trainer's exercise screen in a borderless window of the screen's size,
// showing doc (twice in its list, so next and previous have somewhere to go).
class TScreen {
 public:
  explicit TScreen(const std::string& doc) {
    host_.SetBorderStyle(bsNone);
    const QSize size = QApplication::primaryScreen()->size();
    host_.SetBounds(0, 0, size.width(), size.height());
    frame_ = new TWorkFrame(&host_);
    frame_->SetParent(&host_);
    frame_->SetAlign(alClient);
    Application->MainForm = &host_;
    host_.Show();
    TStringList list;
    list.Add(doc);
    list.Add(doc);
    frame_->SectionName = "Раздел"_cp;
    frame_->LoadExerciseList(list);
    Flush();
  }
  ~TScreen() { Application->MainForm = nullptr; }

  TWorkFrame& Frame() { return *frame_; }
  TWinControl& Body() { return *frame_->ContentBox->ContentPanel(); }

  template <class T>
  QList<T*> Controls() {
    return Body().findChildren<T*>();
  }

 private:
  TForm host_;
  TWorkFrame* frame_;
};

// Median milliseconds of step() followed by its paints, until the screen has them.
double Measure(int runs, const std::function<void()>& step) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    step();
    Flush();
    SyncWithScreen();
    times.push_back(Milliseconds(Clock::now() - start));
  }
  return Median(times);
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Checks the page and measures until the mistakes dialog is up and painted.
double CheckToDialog(TScreen& screen) {
  double ms = 0;
  const auto start = Clock::now();
  QTimer poll;
  poll.setInterval(0);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<TDialogForm*>(w);
      if (!dialog || !dialog->isVisible()) continue;
      Flush();
      ms = Milliseconds(Clock::now() - start);
      poll.stop();
      dialog->Close();
      return;
    }
  });
  poll.start();
  screen.Frame().Button3Click(nullptr);
  Flush();
  screen.Frame().Button4Click(nullptr);
  Flush();
  return ms;
}

struct TFigures {
  double Blink = 0, Hover = 0, Mark = 0, Check = 0, Next = 0, Previous = 0, Scroll = 0, Idle = 0;
};

TFigures MeasureScreen(const std::string& doc, int runs) {
  TScreen screen(doc);
  TFigures f;
  auto edits = screen.Controls<TRLEdit>();
  if (edits.empty()) {
    std::fprintf(stderr, "%s has no fill-in field\n", doc.c_str());
    std::exit(1);
  }
  TRLEdit* edit = edits.front();
  edit->SetFocus();
  Flush();
  f.Blink = Measure(runs, [&] { edit->BlinkTimer().OnTimer(&edit->BlinkTimer()); });
  f.Mark = Measure(runs,
                   [&] {
                     edit->Check();
                     Flush();
                     edit->Reset();
                   }) /
           2;
  TImageButton2* hover = screen.Frame().CheckButton;
  f.Hover = Measure(runs,
                    [&] {
                      QTest::mouseMove(hover, QPoint(hover->Width() / 2, hover->Height() / 2));
                      Flush();
                      QTest::mouseMove(screen.Frame().BackImage, QPoint(5, 5));
                    }) /
            2;

  edit->SetFocus();
  Flush();
  const double cpu = CpuSeconds();
  QElapsedTimer wall;
  wall.start();
  QEventLoop idle;
  QTimer::singleShot(3000, &idle, &QEventLoop::quit);
  idle.exec();
  f.Idle = 100 * (CpuSeconds() - cpu) / (wall.elapsed() / 1000.0);

  // A notch of the wheel over the page's centre, down to its end and up
  // again, given to the window as the window system gives it: Qt itself
  // finds the control under the pointer.
  TImageScrollBox* box = screen.Frame().ContentBox;
  if (box->ScrollBar()->isVisible()) {
    int notch = -120;
    QWindow* window = box->window()->windowHandle();
    const QPoint at = box->mapTo(box->window(), QPoint(box->Width() / 2, box->Height() / 2));
    f.Scroll = Measure(runs, [&] {
      const float pos = box->ScrollBar()->ScrollerPos();
      if (pos >= 1) notch = 120;
      if (pos <= 0) notch = -120;
      QWheelEvent wheel(at, window->mapToGlobal(at), QPoint(), QPoint(0, notch), Qt::NoButton, Qt::NoModifier,
                        Qt::NoScrollPhase, false);
      QCoreApplication::sendEvent(window, &wheel);
    });
  }
  std::vector<double> checks;
  for (int i = 0; i < std::max(3, runs / 4); ++i) checks.push_back(CheckToDialog(screen));
  f.Check = Median(checks);
  std::vector<double> next, previous;
  for (int i = 0; i < std::max(3, runs / 4); ++i) {
    next.push_back(Measure(1, [&] { screen.Frame().Button2Click(nullptr); }));
    previous.push_back(Measure(1, [&] { screen.Frame().Button1Click(nullptr); }));
  }
  f.Next = Median(next);
  f.Previous = Median(previous);
  return f;
}

// The most words of a dense exercise whose document the trainer still opens
// (a larger one is refused with a message, and its page never shows).
int LongestDenseExercise() {
  int fits = 500, tooLong = 64000;
  while (tooLong - fits > 1) {
    const int words = (fits + tooLong) / 2;
    (DenseExercise(words).text.size() <= kMaxDocumentBytes ? fits : tooLong) = words;
  }
  return fits;
}

// The tag table, with the skins of the trainer's tree rather than of this program's folder.
void InitTrainerTags() {
  InitExerciseTags();
  ImagesFolder = std::string(QUILLON_TREE) + "/imgs/";
}

// ---- Start-up: a child process of this program, timed until it exits at its first paint.

// Quits the child once a watched widget has painted and the screen shows it.
class TFirstPaint : public QObject {
 public:
  explicit TFirstPaint(std::function<bool(QObject*)> watched) : watched_(std::move(watched)) {}
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Paint && !seen_ && watched_(o)) {
      seen_ = true;
      // The clock stops when the screen shows what the widget painted.
      auto* widget = static_cast<QWidget*>(o);
      QTimer::singleShot(0, [widget] { std::_Exit(WaitUntilOnScreen(*widget) ? 0 : 2); });
    }
    return false;
  }

 private:
  std::function<bool(QObject*)> watched_;
  bool seen_ = false;
};

// The trainer's own start-up (as its main does), ended when the first painted
// exercise control is on the screen.
int RunTrainerChild(int argc, char** argv) {
  Application->Initialize(argc, argv);
  Application->Title = "Quillon";
  InitTrainerTags();
  LoadScaleSettings("Settings.ini");
  TFirstPaint first([](QObject* o) { return qobject_cast<TRLControl*>(o) != nullptr; });
  qApp->installEventFilter(&first);
  TMainForm form(nullptr);
  MainForm = &form;
  Application->MainForm = &form;
  Application->Run();
  return 1;
}

int RunEmptyChild(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  TFirstPaint first([&](QObject* o) { return o == &window; });
  window.installEventFilter(&first);
  window.showFullScreen();
  return app.exec();
}

double StartUp(const char* self, const std::string& mode, const std::string& doc) {
  setenv("TRAINER_BENCH_CHILD", mode.c_str(), 1);
  std::vector<char*> args{const_cast<char*>(self), const_cast<char*>(doc.c_str()), nullptr};
  const auto start = Clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, self, nullptr, nullptr, args.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  const double ms = Milliseconds(Clock::now() - start);
  unsetenv("TRAINER_BENCH_CHILD");
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1;
}

// A figure of 0 is one the document has nothing for (Go.cml does not scroll).
void Row(const char* what, double go, double small, double large, const char* unit = "ms") {
  char first[32] = "-";
  if (go > 0) std::snprintf(first, sizeof first, "%9.2f %-2s", go, unit);
  std::printf("| %-38s | %12s | %9.2f %-2s | %9.2f %-2s | %7.2fx |\n", what, first, small, unit, large, unit,
              large / small);
}

}  // namespace

int main(int argc, char** argv) {
  if (const char* child = std::getenv("TRAINER_BENCH_CHILD")) {
    return std::string(child) == "empty" ? RunEmptyChild(argc, argv) : RunTrainerChild(argc, argv);
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 21;
  char self[4096] = {};
  if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return 1;
  if (!QDir::setCurrent(QUILLON_TREE)) {
    std::fprintf(stderr, "No trainer tree at %s\n", QUILLON_TREE);
    return 1;
  }
  QTemporaryDir temp;
  const std::string small = temp.filePath("500.cml").toStdString();
  const std::string large = temp.filePath("long.cml").toStdString();
  const int largeWords = LongestDenseExercise();
  std::ofstream(small, std::ios::binary) << DenseExercise(500).text;
  std::ofstream(large, std::ios::binary) << DenseExercise(largeWords).text;

  // Start-up first, before this process grows: alternated runs of the programs.
  std::vector<double> emptyStart, goStart, smallStart, largeStart;
  for (int i = 0; i < std::max(3, runs / 3); ++i) {
    emptyStart.push_back(StartUp(self, "empty", ""));
    goStart.push_back(StartUp(self, "trainer", "Go.cml"));
    smallStart.push_back(StartUp(self, "trainer", small));
    largeStart.push_back(StartUp(self, "trainer", large));
  }

  Application->Initialize(argc, argv);
  Application->Title = "Quillon";
  InitTrainerTags();
  LoadScaleSettings("Settings.ini");
  const TFigures go = MeasureScreen("Go.cml", runs);
  const TFigures s = MeasureScreen(small, runs);
  const TFigures l = MeasureScreen(large, runs);

  std::printf("trainer_bench on %s, medians of %d runs\n", qPrintable(PlatformDescription()), runs);
  const std::string largeTitle = std::to_string(largeWords) + " words";
  std::printf("| %-38s | %12s | %12s | %12s | %8s |\n", "what", "Go.cml", "500 words", largeTitle.c_str(),
              "long/500");
  Row("one caret blink", go.Blink, s.Blink, l.Blink);
  Row("hover on a button", go.Hover, s.Hover, l.Hover);
  Row("one mark (check/reset of a field)", go.Mark, s.Mark, l.Mark);
  Row("idle, a field focused (% of a core)", go.Idle, s.Idle, l.Idle, "%");
  Row("check to the mistakes dialog", go.Check, s.Check, l.Check);
  Row("next", go.Next, s.Next, l.Next);
  Row("previous", go.Previous, s.Previous, l.Previous);
  Row("one wheel step", go.Scroll, s.Scroll, l.Scroll);
  const double empty = Median(emptyStart);
  Row("start-up to the page on the screen", Median(goStart), Median(smallStart), Median(largeStart));
  std::printf("| %-38s | %9.2f x  | %9.2f x  | %9.2f x  |          |\n", "  ... as a multiple of an empty window",
              Median(goStart) / empty, Median(smallStart) / empty, Median(largeStart) / empty);
  std::printf("| %-38s | %9.2f ms |              |              |          |\n",
              "empty Qt Widgets window, the same", empty);
  // A start-up whose picture never reached the screen counts as -1.
  for (const auto* starts : {&emptyStart, &goStart, &smallStart, &largeStart})
    if (std::count(starts->begin(), starts->end(), -1.0))
      std::printf("A start-up did not show its picture on the screen: its figures are not valid.\n");
  std::fflush(stdout);
  std::_Exit(0);
}
