#pragma once
// The trainer's one main window: frameless over the whole screen, with the
// Russian keyboard layout active, holding the exercise screen and, hidden, the
// title screen with its topics. On its first showing it opens the document
// named on the command line, else "Go.cml" in the current folder.

#include <string>
#include <vector>

#include "platform/Forms.h"

class TStringList;
class TTitleFrame;
class TWorkFrame;

class TMainForm : public TForm {
  Q_OBJECT

 public:
  // Builds the window, its exercise screen and its hidden title screen;
  // throws Exception when a picture of a screen is missing.
  explicit TMainForm(QObject* owner);

  // Frameless and maximised: the whole screen.
  void FullScreen();
  // Opens the start document. Without one it says so and ends the program
  // with ExitCode 1; a document that fails to build is reported once the
  // window is on screen, over it, and the window stays.
  void FormShow(TObject* sender);
  // Hides the title screen and shows the exercise screen.
  void ShowWorkFrame();
  // Starts list (document paths in showing order) on the exercise screen,
  // under SectionName and at the level the topic screen chose. The caller
  // keeps list.
  void StartExercises(const TStringList& list);

  TWorkFrame* WorkFrame;
  TTitleFrame* TitleFrame;
  std::string SectionName;  // cp1251; the topic screen sets it before StartExercises
  // The command-line arguments after the program's name (cp1251).
  std::vector<std::string> Arguments;
  int ExitCode = 0;

 protected:
  void DoShow() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Shows message in the error box as soon as the window is on screen.
  void ReportWhenOnScreen(const std::string& message);
  void ShowStartError();

  bool started_ = false;
  std::string startError_;  // waits for the window to appear
};

// The one main window while it lives.
extern TMainForm* MainForm;

// The document to start on: the first argument when it names a file, else
// "Go.cml" when the current folder holds it, else "".
std::string StartDocument(const std::vector<std::string>& arguments);
