// The viewer's real main window and real pdf plug-in on a document of links,
// with the desktop's own opener (no handler of a test in its place):
//   link_opener <plug-in folder> <folder> <target>...
// writes <folder>/links.pdf with one link area per target (a file beside it,
// named by its bytes, or a mail address), opens it and clicks every area in
// turn. Prints one line per area: "handed <target>" when the window passed it
// on, "refused <target>: <why>" when it said no.
#include <QByteArray>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/Cp1251.h"
#include "tests/HandMadePdf.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/Plugin/PluginLinkArea.h"
#include "viewer/Plugin/PluginPage2.h"
#include "viewer/ViewForm.h"

namespace {

std::string LinksPdf(const std::vector<std::string>& targets) {
  std::string annots;
  std::vector<std::string> objects = {"<< /Type /Catalog /Pages 2 0 R >>",
                                      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>", ""};
  for (std::size_t i = 0; i < targets.size(); ++i) {
    const bool mail = targets[i].starts_with("mailto:");
    const std::string uri =
        mail ? targets[i]
             : "file:" + QByteArray::fromStdString(targets[i]).toPercentEncoding("/").toStdString();
    annots += std::to_string(objects.size() + 1) + " 0 R ";
    const int top = 780 - 30 * int(i);
    objects.push_back("<< /Type /Annot /Subtype /Link /Rect [20 " + std::to_string(top - 20) + " 300 " +
                      std::to_string(top) + "] /A << /S /URI /URI (" + uri + ") >> >>");
  }
  objects[2] = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Annots [" + annots + "] >>";
  return HandMadePdf(objects);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: link_opener <plug-in folder> <folder> <target>...\n";
    return 2;
  }
  Application->Initialize(argc, argv);
  const std::vector<std::string> targets(argv + 3, argv + argc);
  const std::string document = std::string(argv[2]) + "/links.pdf";
  std::ofstream(document, std::ios::binary) << LinksPdf(targets);
  // A box would wait for a click: its text goes to the output instead.
  std::string shown;
  Application->SetMessageSink([&](const std::string& text, const std::string&) { shown += text; });
  StartPluginLayer(argv[1]);
  int failures = 0;
  {
    TPluginViewForm form;
    for (std::size_t i = 0; i < targets.size(); ++i) {
      const std::string& target = targets[i];
      form.OpenFromCommandLine({document});
      TPluginPage2* page = form.Viewer->View()->Page();
      if (!page || page->GetLinkAreas().Count() != int(targets.size())) {
        std::cout << "no link area for " << target << "\n";
        ++failures;
        continue;
      }
      TPluginLinkReader link = *page->GetLinkAreas().Items(int(i))->Reader;
      shown.clear();
      try {
        form.LinkExecute(form.Viewer->View(), &link);
      } catch (const std::exception& e) {
        shown += e.what();
      }
      if (shown.empty())
        std::cout << "handed " << target << "\n";
      else
        std::cout << "refused " << target << ": " << Cp1251ToUtf8(shown) << "\n";
    }
  }
  StopPluginLayer();
  Application->Shutdown();
  return failures == 0 ? 0 : 1;
}
