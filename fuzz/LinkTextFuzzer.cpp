// Link texts: the plug-ins make them from a document's link targets, the
// viewer parses them and runs their commands (goto, open, start, web) in its
// main window. The input is used both as a target address, through the
// plug-ins' link text maker, and as a link text as it stands. The window
// shows a document of the fake "pdf" plug-in; the shell and the open dialog
// only record what they are asked, so nothing is started.
#include <QDir>
#include <QFile>
#include <QUrl>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "platform/OpenDialog.h"
#include "platform/Screen.h"
#include "platform/Shell.h"
#include "plugins/common/LinkText.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/Plugin/PluginLinkReader.h"
#include "viewer/ViewForm.h"

namespace {

TPluginViewForm* form = nullptr;
std::string document;

void Run(const std::string& text, bool nativeNames = false) {
  TPluginLinkReader link;
  link.Parse(text);
  link.NativeNames = nativeNames;
  form->LinkExecute(form->Viewer->View(), &link);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartFuzzApplication(argc, argv);
  const std::string plugins = ScratchFolder() + "/Plugins/";
  QDir().mkpath(QString::fromStdString(plugins));
  QFile::copy(FAKE_PDF_PLUGIN, QString::fromStdString(plugins + "pdf.so"));
  const std::string text = "FAKEDOC pdf 5 100 150\n";
  document = WriteScratchFile("book.pdf", reinterpret_cast<const std::uint8_t*>(text.data()), text.size());

  SetScreenProvider([] { return TScreenMetrics{1280, 1024, 320, 256}; });
  SetShellHandler([](const QUrl&) { return true; });
  SetOpenDialogHook([](TOpenDialog&) { return false; });
  StartPluginLayer(plugins);
  form = new TPluginViewForm;
  form->SetBorderStyle(bsNone);
  form->OpenFromCommandLine({document});
  form->Show();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  ExpectDocumentedOutcome([&] {
    // An empty or invalid address makes no link area, so nothing to run.
    const auto text = UriLinkText(document, bytes);
    if (!text) return;
    Run(text->Ansi);
    Run(text->Native, true);
  });
  ExpectDocumentedOutcome([&] { Run(bytes); });
  // An "open" may have replaced the document; the next input starts from it again.
  if (form->CurrentFile != document)
    ExpectDocumentedOutcome([&] { form->OpenFile(document, "book", 1, false); });
  return 0;
}
