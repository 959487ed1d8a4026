// Quillon, the exercise trainer: the units' start-up in order, then the main
// window and its message loop.
#include <exception>

#include "exercise/ScaleSettings.h"
#include "exercise/TagTable.h"
#include "platform/Application.h"
#include "trainer/MainForm.h"

int main(int argc, char** argv) {
  Application->Initialize(argc, argv);
  Application->Title = "Quillon";
  InitExerciseTags();
  LoadScaleSettings("Settings.ini");
  int exitCode = 1;
  try {
    TMainForm form(nullptr);
    MainForm = &form;
    Application->MainForm = &form;
    Application->Run();
    exitCode = form.ExitCode;
  } catch (const std::exception& e) {
    // Without its main window the program has nothing to show.
    Application->HandleException(e);
  }
  MainForm = nullptr;
  Application->Shutdown();
  return exitCode;
}
