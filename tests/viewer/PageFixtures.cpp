#include "PageFixtures.h"

#include <QDir>
#include <fstream>

#include "viewer/Plugin/FileManager.h"
#include "viewer/Plugin/PluginDocument.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/Plugin/PluginPage2.h"

void PageTest::TearDown() {
  document = nullptr;
  PluginTest::TearDown();
}

TPluginDocument* PageTest::OpenDocument(const std::string& variant, int pages, double widthMm,
                                        double heightMm, int turns) {
  InstallAs(variant, "djvu.so");
  StartPluginLayer(PluginFolder());
  const std::string path = Folder() + "book.djvu";
  std::ofstream(path) << "FAKEDOC djvu " << pages << " " << widthMm << " " << heightMm << " " << turns
                      << "\n";
  document = FileManager->Open(path);
  return document;
}

TPluginPage2* PageTest::Page(int n) {
  return document ? document->GetPage(n) : nullptr;
}

TBitmap PageTest::Canvas(const TPluginPage2& page, std::uint32_t colour) const {
  TBitmap bitmap(page.RenderWidth(), page.RenderHeight());
  bitmap.Image().fill(colour);
  return bitmap;
}

void PageTest::Keep(const TBitmap& bitmap, const std::string& name) {
  QDir().mkpath(VIEWER_RENDER_DIR);
  bitmap.OpaqueImage().save(QString::fromStdString(std::string(VIEWER_RENDER_DIR "/") + name + ".png"));
}
