// The application: the exception guard around paints, clicks and timers,
// the message sink, timers stopping themselves, the event loop, the reuse of
// large blocks of memory, and modal forms.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <cstring>

#include <QAbstractEventDispatcher>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/Timer.h"
#include "tests/platform/ControlFixtures.h"

namespace {

// Throws from Paint while asked to.
class FailingPainter : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  bool fail = false;

 protected:
  void Paint() override {
    if (fail) throw Exception("Рисунок испорчен"_cp);
  }
};

class GuardTest : public ShownFormTest {
 protected:
  void SetUp() override {
    ShownFormTest::SetUp();
    Application->Title = "Тренажёр"_cp;
  }
  MessageRecorder recorder;
};

}  // namespace

TEST_F(GuardTest, AnExceptionInPaintIsShownOnceAndPaintingGoesOn) {
  auto* control = new FailingPainter(&form);
  control->SetParent(&form);
  control->SetBounds(10, 10, 30, 30);
  QTest::qWait(20);
  control->fail = true;
  // Drawn afresh: a plain repaint would only copy the kept canvas out again.
  control->Repaint();
  ASSERT_TRUE(recorder.messages.empty());  // no box inside painting
  ASSERT_TRUE(QTest::qWaitFor([&] { return !recorder.messages.empty(); }, 5000));
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.messages[0].first, "Рисунок испорчен"_cp);
  EXPECT_EQ(recorder.messages[0].second, "Тренажёр"_cp);

  control->fail = false;
  control->SetColor(clRed);
  control->repaint();
  EXPECT_EQ(PixelAt(20, 20), clRed);
  QTest::qWait(20);
  EXPECT_EQ(recorder.messages.size(), 1u);
}

TEST_F(GuardTest, AnExceptionInAClickHandlerIsShownAndInputGoesOn) {
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(10, 10, 50, 50);
  int clicks = 0;
  panel->OnClick = [&](TObject*) {
    if (++clicks == 1) throw std::runtime_error("first click failed");
  };
  int ups = 0;
  panel->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
  QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(5, 5));
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.messages[0].first, "first click failed");
  QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(ups, 1);  // the failed release stopped at its click; the next one went through
  EXPECT_EQ(recorder.messages.size(), 1u);
}

TEST_F(GuardTest, PlainQtHandlersAreGuardedToo) {
  QObject target;
  QTimer::singleShot(0, &target, [] { throw Exception("queued"); });
  ASSERT_TRUE(QTest::qWaitFor([&] { return !recorder.messages.empty(); }, 5000));
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.messages[0].first, "queued");
}

TEST_F(GuardTest, HandleExceptionShowsWrappedStartUpErrors) {
  try {
    throw Exception("Файл не найден"_cp);
  } catch (const std::exception& e) {
    Application->HandleException(e);
  }
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.messages[0].second, Application->Title);
}

// ----- timers

TEST(TimerTest, AFailingHandlerIsReportedAndTheTimerCanStopItself) {
  MessageRecorder recorder;
  TTimer timer(nullptr);
  timer.SetInterval(1);
  int ticks = 0;
  timer.OnTimer = [&](TObject* sender) {
    EXPECT_EQ(sender, &timer);
    ++ticks;
    if (ticks == 1) throw Exception("tick");
    timer.SetEnabled(false);
  };
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 5000));
  QTest::qWait(30);
  EXPECT_EQ(ticks, 2);
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(recorder.messages.size(), 1u);
}

TEST(TimerTest, ADisabledOrZeroIntervalTimerDoesNotFire) {
  TTimer timer(nullptr);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) { ++ticks; };
  timer.SetInterval(0);
  QTest::qWait(20);
  timer.SetEnabled(false);
  timer.SetInterval(1);
  QTest::qWait(20);
  EXPECT_EQ(ticks, 0);
  timer.SetEnabled(true);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks > 0; }, 5000));
}

TEST(TimerTest, TheOwnerFreesTheTimer) {
  auto* owner = new TPanel(nullptr);
  QPointer<TTimer> timer = new TTimer(owner);
  delete owner;
  EXPECT_TRUE(timer.isNull());
}

// ----- message boxes and the loop

TEST(MessageBoxTest, TheSinkReceivesBoxesAndTheFirstButtonAnswers) {
  MessageRecorder recorder;
  Application->Title = "Quillon";
  ShowMessage("Готово"_cp);
  EXPECT_EQ(MessageBox("Выйти?"_cp, "Вопрос"_cp, MB_YESNO | MB_ICONQUESTION), IDYES);
  EXPECT_EQ(MessageBox("x", "y"), IDOK);
  ASSERT_EQ(recorder.messages.size(), 3u);
  EXPECT_EQ(recorder.messages[0], std::make_pair("Готово"_cp, std::string("Quillon")));
  EXPECT_EQ(recorder.messages[1], std::make_pair("Выйти?"_cp, "Вопрос"_cp));
}

TEST(MessageBoxTest, WithoutASinkAHeadlessScreenGetsTheBoxOnStandardError) {
  ASSERT_FALSE(Application->HasMessageSink());
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBox("Ошибка чтения"_cp, "Quillon", MB_OK), IDOK);  // returns instead of waiting
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Quillon: Ошибка чтения\n");
}

TEST(MessageBoxTest, QtsOwnDialogsAndButtonsSpeakRussian) {
  // The print and open dialogs and a box's answers are Qt's; a Russian
  // program must not show them in English.
  QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Yes | QDialogButtonBox::No);
  EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QString("Отмена"));
  EXPECT_EQ(buttons.button(QDialogButtonBox::Yes)->text(), QString("&Да"));
  QPrintDialog print;
  EXPECT_EQ(print.windowTitle(), QString("Печать"));
  QFileDialog open;
  open.setOption(QFileDialog::DontUseNativeDialog);
  EXPECT_EQ(open.windowTitle(), QString("Открыть"));
}

TEST(ApplicationLoopTest, ProcessMessagesRunsQueuedWork) {
  bool ran = false;
  QTimer::singleShot(0, [&] { ran = true; });
  Application->ProcessMessages();
  EXPECT_TRUE(ran);
  EXPECT_FALSE(Application->ExeName().empty());
}

TEST(ApplicationLoopTest, TheLoopIsQtsOwnAndProgramsStartedLaterDoNotInheritTheChoice) {
  // GLib's loop makes a system call for every posted event; building a long page posts thousands.
  const QString loop = QAbstractEventDispatcher::instance()->metaObject()->className();
  EXPECT_FALSE(loop.contains("Glib", Qt::CaseInsensitive)) << loop.toStdString();
  EXPECT_FALSE(qEnvironmentVariableIsSet("QT_NO_GLIB"));
  int ran = 0;
  for (int i = 0; i < 1000; ++i) QTimer::singleShot(0, [&] { ++ran; });
  Application->ProcessMessages();
  EXPECT_EQ(ran, 1000);
}

TEST(ApplicationMemoryTest, LargeBlocksComeFromTheHeapAndFreedOnesAreReused) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer brings an allocator of its own";
#elif !defined(__GLIBC__)
  GTEST_SKIP() << "the allocator is tuned for glibc only";
#else
  // A screen-sized snapshot made at every check must not land in a fresh
  // mapping each time; the heap's bookkeeping says where blocks came from.
  const struct mallinfo2 before = mallinfo2();
  void* picture = std::malloc(std::size_t(17) << 20);
  ASSERT_NE(picture, nullptr);
  std::memset(picture, 1, std::size_t(17) << 20);
  const struct mallinfo2 holding = mallinfo2();
  EXPECT_EQ(holding.hblks, before.hblks) << "a 17 MB block was mapped on its own";
  std::free(picture);
  const struct mallinfo2 after = mallinfo2();
  EXPECT_GE(after.fordblks, std::size_t(17) << 20) << "the freed block went back to the system";
#endif
}

// ----- modal forms

TEST(ModalFormTest, ShowModalReturnsTheResultSetInside) {
  TForm dialog;
  dialog.SetBounds(0, 0, 100, 80);
  int shown = 0;
  dialog.OnShow = [&](TObject*) { ++shown; };
  QTimer::singleShot(10, [&] { dialog.SetModalResult(mrOk); });
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_EQ(shown, 1);
  EXPECT_FALSE(dialog.Visible());
  EXPECT_FALSE(dialog.Modal());
}

TEST(ModalFormTest, ClosingAModalFormCancelsUnlessOnCloseRefuses) {
  TForm dialog;
  dialog.SetBounds(0, 0, 100, 80);
  int refusals = 0;
  dialog.OnClose = [&](TObject*, TCloseAction& action) {
    if (refusals++ == 0) action = caNone;  // the first close is refused
  };
  QTimer::singleShot(10, [&] { dialog.Close(); });
  QTimer::singleShot(40, [&] { dialog.Close(); });
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  EXPECT_EQ(refusals, 2);
}

TEST(ModalFormTest, CloseHidesAnOrdinaryFormAndOnCloseCanKeepIt) {
  TForm window;
  window.SetBounds(0, 0, 100, 80);
  window.Show();
  TCloseAction answer = caNone;
  window.OnClose = [&](TObject*, TCloseAction& action) { action = answer; };
  window.Close();
  EXPECT_TRUE(window.Visible());
  answer = caHide;
  window.Close();
  EXPECT_FALSE(window.Visible());
}
