#pragma once
// The viewer's main window over the fake plug-ins: "djvu" and "pdf" formats,
// fake documents in the test's folder, a screen of 1280 x 1024 pixels with 4
// pixels per millimetre, and the open dialog and the shell replaced by
// recorders so that nothing waits for a person or starts a program.

#include <QTest>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "PluginFixtures.h"
#include "platform/OpenDialog.h"
#include "platform/Screen.h"
#include "platform/Shell.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/Plugin/PluginLinkReader.h"
#include "viewer/ViewForm.h"

class ViewFormTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    SetScreenProvider([] { return TScreenMetrics{1280, 1024, 320, 256}; });
    InstallAs("fake_djvu", "djvu.so");
    InstallAs("fake_pdf", "pdf.so");
    StartPluginLayer(PluginFolder());
    SetOpenDialogHook([this](TOpenDialog& dialog) {
      dialogFilters.push_back(dialog.Filter);
      dialog.FileName = dialogAnswer;
      return !dialogAnswer.empty();
    });
    SetShellHandler([this](const QUrl& url) {
      shellUrls.push_back(url);
      return true;
    });
    form = std::make_unique<TPluginViewForm>();
    // Qt's offscreen windows with a frame report their size less the frame.
    form->SetBorderStyle(bsNone);
  }

  void TearDown() override {
    // The window lets its page go before the plug-in layer does.
    form.reset();
    SetShellHandler(nullptr);
    SetOpenDialogHook(nullptr);
    ResetScreenProvider();
    PluginTest::TearDown();
  }

  // A fake document of pages pages, width x height mm, for format.
  std::string Document(const std::string& name, int pages = 3, const std::string& format = "djvu",
                       double widthMm = 100, double heightMm = 150) {
    const std::string path = Folder() + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << "FAKEDOC " << format << " " << pages << " " << widthMm << " " << heightMm << "\n";
    return path;
  }

  // Opens a document from the command line and shows the window.
  void StartOn(const std::string& path) {
    form->OpenFromCommandLine({path});
    form->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }

  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(Target(), key, modifiers); }
  void Char(char c) { QTest::keyClick(Target(), c); }
  // Keys go to the page view, as the window's own preview must see them first.
  QWidget* Target() const { return form->Viewer->View(); }

  // Runs a link text as a plug-in of version 3 (native) or an older one gives it.
  void Link(const std::string& text, bool native = false) {
    TPluginLinkReader link;
    link.Parse(text);
    link.NativeNames = native;
    form->LinkExecute(form->Viewer->View(), &link);
  }

  TPluginPageView& View() const { return *form->Viewer->View(); }

  std::unique_ptr<TPluginViewForm> form;
  std::string dialogAnswer;
  std::vector<std::string> dialogFilters;
  std::vector<QUrl> shellUrls;
};
