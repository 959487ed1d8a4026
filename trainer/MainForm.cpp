#include "trainer/MainForm.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWindow>
#include <utility>

#include "platform/Application.h"
#include "platform/Cp1251.h"
#include "platform/FileSystem.h"
#include "platform/KeyboardLayout.h"
#include "platform/Screen.h"
#include "platform/StateReport.h"
#include "platform/StringList.h"
#include "trainer/CaptionImage.h"
#include "trainer/ScreenLayout.h"
#include "trainer/TitleScreen.h"
#include "trainer/TopicScreen.h"
#include "trainer/WorkFrame.h"
#include "widgets/ImageButton.h"

TMainForm* MainForm = nullptr;

namespace {

constexpr TColor kWindowColor = 0xF0F6F6;
constexpr int kLongestWaitForWindowMs = 3000;

std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> arguments;
  const QStringList all = QCoreApplication::arguments();
  for (qsizetype i = 1; i < all.size(); ++i) arguments.push_back(QStringToCp1251(all[i]));
  return arguments;
}

}  // namespace

std::string StartDocument(const std::vector<std::string>& arguments) {
  if (!arguments.empty() && FileExists(arguments.front())) return arguments.front();
  if (FileExists("Go.cml")) return "Go.cml";
  return "";
}

TMainForm::TMainForm(QObject* owner) : TForm(owner), Arguments(CommandLineArguments()) {
  // The work screen's background fills the whole screen; it is made while the windows are built.
  PrefetchScreenBackground(CurrentScreenLayout().Index, GetSystemMetrics(SM_CXSCREEN),
                           GetSystemMetrics(SM_CYSCREEN));
  SetCaption("Quillon");
  SetColor(kWindowColor);
  TFont font;
  font.Name = "Tahoma";
  font.SetHeight(-11);
  SetFont(font);
  FullScreen();
  Application->ProcessMessages();
  WorkFrame = new TWorkFrame(this);
  WorkFrame->SetParent(this);
  WorkFrame->SetAlign(alClient);
  WorkFrame->Show();
  TitleFrame = new TTitleFrame(this);
  // Hidden before it joins the window, so it is neither laid out nor drawn
  // while nobody sees it.
  TitleFrame->Hide();
  TitleFrame->SetParent(this);
  TitleFrame->SetAlign(alClient);
  DoubleBuffered = true;
  ActivateKeyboardLayout(kRussianLayout, KLF_ACTIVATE);
}

void TMainForm::FullScreen() {
  SetFullScreen();
}

void TMainForm::DoShow() {
  TForm::DoShow();
  // Only the first showing starts: coming back from the taskbar keeps the answers.
  if (started_) return;
  started_ = true;
  FormShow(this);
}

void TMainForm::FormShow(TObject*) {
  if (GetSystemMetrics(SM_CXSCREEN) != Width()) {
    SetWindowState(wsNormal);
    SetWindowState(wsMaximized);
  }
  const std::string document = StartDocument(Arguments);
  if (document.empty()) {
    MessageBox("Не указан файл для просмотра"_cp, "Ошибка"_cp, MB_OK | MB_ICONERROR);
    ExitCode = 1;
    Close();
    return;
  }
  TStringList startList;
  startList.Add(document);
  WorkFrame->SectionName = "Раздел"_cp;
  WorkFrame->Hard = false;
  try {
    WorkFrame->LoadExerciseList(startList);
  } catch (const std::exception& e) {
    ReportWhenOnScreen(e.what());
  }
  // Once the window stands where it is shown, the tests learn where to click.
  if (StateReportOn())
    QTimer::singleShot(0, this, [this] {
      ReportPlace("minimize", *WorkFrame->iMinimize);
      ReportPlace("check", *WorkFrame->CheckButton);
    });
}

void TMainForm::ReportWhenOnScreen(const std::string& message) {
  QWindow* window = windowHandle();
  if (!window || window->isExposed()) {
    Application->ShowException(message);
    return;
  }
  // The window is being shown: a box now would stand alone on an empty
  // screen, before the page it is about.
  startError_ = message;
  window->installEventFilter(this);
  // A screen that never reports the window as shown still gets the message.
  QTimer::singleShot(kLongestWaitForWindowMs, this, [this] { ShowStartError(); });
}

void TMainForm::ShowStartError() {
  if (startError_.empty()) return;
  if (QWindow* window = windowHandle()) window->removeEventFilter(this);
  Application->ShowException(std::exchange(startError_, {}));
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  auto* window = qobject_cast<QWindow*>(watched);
  // After the window has drawn itself for this exposure.
  if (window && event->type() == QEvent::Expose && window->isExposed())
    QTimer::singleShot(0, this, [this] { ShowStartError(); });
  return TForm::eventFilter(watched, event);
}

void TMainForm::ShowWorkFrame() {
  TitleFrame->Hide();
  WorkFrame->Show();
}

void TMainForm::StartExercises(const TStringList& list) {
  ShowWorkFrame();
  Application->ProcessMessages();
  WorkFrame->SectionName = SectionName;
  WorkFrame->Hard = TitleFrame->SelFrame1->LevelButton->Tag > 0;
  WorkFrame->LoadExerciseList(list);
}
