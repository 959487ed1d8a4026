// Folioscope, the document viewer: the plug-in layer's start-up, then the
// main window on the file of the command line (or of the open dialog), and
// the plug-ins' shutdown after the window is gone.
#include <QTimer>
#include <exception>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/StateReport.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/ViewForm.h"

int main(int argc, char** argv) {
  Application->Initialize(argc, argv);
  Application->Title = "Tivel Viewer";
  int exitCode = 0;
  try {
    StartPluginLayer();
    std::vector<std::string> params;
    // File names stay as the file system spells them: cp1251 cannot spell them all.
    for (int i = 1; i < argc; ++i) params.emplace_back(argv[i]);
    TPluginViewForm form;
    PluginViewForm = &form;
    Application->MainForm = &form;
    form.OpenFromCommandLine(params);
    // Once the window is shown, the tests learn where the page is.
    if (StateReportOn()) QTimer::singleShot(0, &form, [&form] { ReportPlace("view", form); });
    Application->Run();
  } catch (const std::exception& e) {
    Application->HandleException(e);
    exitCode = 1;
  }
  // Documents and plug-in libraries go only after the window let its page go.
  StopPluginLayer();
  Application->Shutdown();
  return exitCode;
}
