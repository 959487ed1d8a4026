#include "platform/Application.h"

#include <cstdlib>  // names the C library (__GLIBC__)
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>
#include <algorithm>
#include <iostream>

#include "platform/Cp1251.h"
#include "platform/Font.h"
#include "platform/Forms.h"

namespace {

// Catches what a handler throws before it can cross Qt's event loop, and
// carries on as the class library's default handler does.
class TGuardedApplication : public QApplication {
 public:
  using QApplication::QApplication;

  bool notify(QObject* receiver, QEvent* e) override {
    // No box may open inside painting: the message waits for the loop.
    const bool painting = e->type() == QEvent::Paint;
    try {
      return QApplication::notify(receiver, e);
    } catch (const std::exception& ex) {
      Application->ShowException(ex.what(), painting);
    } catch (...) {
      Application->ShowException("Unknown error.", painting);
    }
    return false;
  }
};

TApplication theApplication;

// glibc maps each block over 128 KB afresh and unmaps it when it is freed,
// until a freed block teaches it to keep blocks up to that size in the heap.
// Large bitmaps have mappings of their own (see Bitmap.cpp) and teach it
// nothing, so Qt's large blocks (a snapshot of the screen, the buffer of a
// full-screen window) would be new memory every time, a page fault for every
// page of it. Blocks of up to 32 MB come from the heap from the start, and up
// to 64 MB of freed heap stays for reuse: the bounds glibc's own adjustment
// stops at on 64-bit systems (DEFAULT_MMAP_THRESHOLD_MAX and twice it, see
// mallopt(3)). Other C libraries have their own policies and no such calls.
void KeepLargeBlocksForReuse() {
#if defined(__GLIBC__)
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}

QMessageBox::Icon IconOf(unsigned flags) {
  switch (flags & 0xF0) {
    case MB_ICONERROR:
      return QMessageBox::Critical;
    case MB_ICONQUESTION:
      return QMessageBox::Question;
    case MB_ICONWARNING:
      return QMessageBox::Warning;
    case MB_ICONINFORMATION:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

// The window a box belongs to, so it stands over it: the active window, else
// the main form on show (a screen without a window manager activates none).
QWidget* BoxOwner() {
  if (QWidget* active = QApplication::activeWindow()) return active;
  QWidget* main = Application->MainForm;
  return main && main->isVisible() ? main : nullptr;
}

int ShowRealBox(const std::string& text, const std::string& caption, unsigned flags) {
  QMessageBox box(IconOf(flags), Cp1251ToQString(caption), Cp1251ToQString(text), QMessageBox::NoButton,
                  BoxOwner());
  switch (flags & 0xF) {
    case MB_YESNO:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case MB_OKCANCEL:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    default:
      box.setStandardButtons(QMessageBox::Ok);
  }
  switch (box.exec()) {
    case QMessageBox::Yes:
      return IDYES;
    case QMessageBox::No:
      return IDNO;
    case QMessageBox::Cancel:
      return IDCANCEL;
    default:
      return IDOK;
  }
}

// Qt's own dialogs and buttons (printing, opening a file, a message box's
// answers) speak Russian, as the programs do, whatever the desktop's locale.
// Without Qt's translations installed they stay in English.
void SpeakRussianInQtsDialogs(QApplication& app) {
  auto* translator = new QTranslator(&app);
  if (translator->load(QLocale(QLocale::Russian), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    app.installTranslator(translator);
  else
    delete translator;
}

bool Headless() {
  const QString platform = QGuiApplication::platformName();
  return platform == "offscreen" || platform == "minimal";
}

}  // namespace

TApplication* const Application = &theApplication;

void TApplication::Initialize(int& argc, char** argv) {
  if (qapp_) return;
  KeepLargeBlocksForReuse();
  // Qt's GLib event loop wakes itself with a system call at every posted
  // event, and a page of 2,000 words posts several per control as it is
  // built and shown; Qt's own loop wakes once until it has run. The choice
  // is made when the application is created, and programs started from
  // here do not inherit it.
  const bool chooseLoop = !qEnvironmentVariableIsSet("QT_NO_GLIB");
  if (chooseLoop) qputenv("QT_NO_GLIB", "1");
  // The windows place themselves and one darkens another, which Wayland does
  // not let a client do: in a Wayland session with Xwayland they go through
  // X, unless the user chose the platform.
  const bool chooseX = !qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && qEnvironmentVariableIsSet("DISPLAY");
  if (chooseX) qputenv("QT_QPA_PLATFORM", "xcb");
  qapp_ = std::make_unique<TGuardedApplication>(argc, argv);
  if (chooseLoop) qunsetenv("QT_NO_GLIB");
  if (chooseX) qunsetenv("QT_QPA_PLATFORM");
  SpeakRussianInQtsDialogs(*qapp_);
  // The program ends when its main form closes, not with its last window.
  qapp_->setQuitOnLastWindowClosed(false);
  terminated_ = false;
}

void TApplication::Shutdown() {
  while (!shutdownSteps_.empty()) {
    const auto step = std::move(shutdownSteps_.back());
    shutdownSteps_.pop_back();
    step();
  }
  pendingMessages_.clear();
  MainForm = nullptr;
  qapp_.reset();
}

void TApplication::AtShutdown(std::function<void()> step) {
  shutdownSteps_.push_back(std::move(step));
}

void TApplication::Run() {
  if (!qapp_ || terminated_) return;
  if (MainForm && !MainForm->Visible()) MainForm->Show();
  // The main form may end the program while it is first shown.
  if (terminated_) return;
  QApplication::exec();
}

void TApplication::ProcessMessages() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::Terminate() {
  terminated_ = true;
  QCoreApplication::quit();
}

std::string TApplication::ExeName() const {
  return QStringToCp1251(QCoreApplication::applicationFilePath());
}

void TApplication::HandleException(const std::exception& e) {
  ShowException(e.what());
}

void TApplication::ShowException(const std::string& message, bool deferred) {
  if (!deferred) {
    MessageBox(message, Title, MB_OK | MB_ICONERROR);
    return;
  }
  // A control that fails in every paint would queue a box per paint: one is enough.
  if (std::find(pendingMessages_.begin(), pendingMessages_.end(), message) != pendingMessages_.end()) return;
  pendingMessages_.push_back(message);
  QTimer::singleShot(0, qApp, [this, message] {
    std::erase(pendingMessages_, message);
    ShowException(message);
  });
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  if (!sink_ && !Headless()) return ShowRealBox(text, caption, flags);
  if (sink_) {
    sink_(text, caption);
  } else {
    // No one could ever answer a box on a headless screen: it would hang the program.
    std::cerr << Cp1251ToUtf8(caption) << ": " << Cp1251ToUtf8(text) << std::endl;
  }
  return (flags & 0xF) == MB_YESNO ? IDYES : IDOK;
}

int MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  return Application->MessageBox(text, caption, flags);
}

void ShowMessage(const std::string& text) {
  Application->MessageBox(text, Application->Title, MB_OK);
}
