#include "viewer/Plugin/PluginDocument.h"

#include "platform/Application.h"
#include "platform/Cp1251.h"
#include "platform/FileSystem.h"
#include "viewer/BookDescription.h"
#include "viewer/Plugin/FileManager.h"
#include "viewer/Plugin/Plugin.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/Plugin/PluginLog.h"
#include "viewer/Plugin/PluginPage2.h"

TPageNumb::TPageNumb(int number, std::unique_ptr<TPluginPage2> page)
    : Number(number), Page(std::move(page)) {}

TPageNumb::~TPageNumb() = default;

TPluginDocument::TPluginDocument(TPlugin* plugin, const std::string& FileName)
    : plugin_(plugin), fileName_(FileName) {
  if (!plugin_) return;
  const TPluginLogScope logScope(fileName_);
  handle_ = plugin_->CreateDocument();
  if (!handle_) return;
  if (!plugin_->SetupDocument(handle_, &setup_)) return;
  if (!OpenThroughPlugin()) return;
  pageCount_ = plugin_->GetPageCount(handle_);
  opened_ = pageCount_ > 0;
}

TPluginDocument::~TPluginDocument() {
  if (Owner) Owner->Forget(this);
  // The plug-in accepts 0 here, and expects this before the pages go.
  if (plugin_) plugin_->DestroyDocument(handle_);
  Pages.FreeAll("TPluginDocument.Destroy cant free pages !!!");
}

bool TPluginDocument::OpenThroughPlugin() {
  // The contract's names are cp1251; a name that cp1251 cannot spell goes
  // through the later export that takes the file system's own spelling.
  const std::string ansi = Utf8ToCp1251(fileName_);
  if (Cp1251ToUtf8(ansi) == fileName_) return plugin_->OpenDocument(handle_, ansi.c_str());
  if (plugin_->OpenDocumentUtf8) return plugin_->OpenDocumentUtf8(handle_, fileName_.c_str());
  AppendToPluginLog(
      "TPluginDocument: the plug-in cannot open [" + ansi +
      "]: its name has letters outside Windows-1251 and the plug-in is older than version 2\r\n");
  return false;
}

int TPluginDocument::Release() {
  const int left = --refCount_;
  if (left == 0) delete this;
  return left;
}

TPluginPage2* TPluginDocument::GetPage(int PageNumber) {
  if (!opened_) {
    if (DebugMessages)
      ShowMessage("TPluginDocument.GetPage: плагин не установлен doc:["_cp + Utf8ToCp1251(fileName_) +
                  "] page№ ["_cp + std::to_string(PageNumber) + "]");
    return nullptr;
  }
  auto page = std::make_unique<TPluginPage2>(this, PageNumber);
  TPluginPage2* made = page.get();
  const std::string caption = made->Caption();
  Pages.AddObject(caption, std::make_unique<TPageNumb>(PageNumber, std::move(page)));
  return made;
}

void TPluginDocument::ReleasePage(TPluginPage* Page) {
  if (!Page) return;
  for (int i = 0; i < Pages.Count(); ++i) {
    const TPageNumb* entry = Pages.ObjectAs<TPageNumb>(i);
    if (entry && entry->Page.get() == Page) {
      Pages.Delete(i);
      return;
    }
  }
}

bool TPluginDocument::GetTableOfContents(std::unique_ptr<TTOC>& TOC) {
  TOC.reset();
  if (!opened_) {
    if (DebugMessages)
      ShowMessage("TPluginDocument.GetTableOfContents: плагин не установлен doc:["_cp +
                  Utf8ToCp1251(fileName_) + "]");
    return false;
  }
  const TPluginLogScope logScope(fileName_);
  const char* text = nullptr;
  std::int32_t length = 0;
  if (!plugin_->GetTableOfContents || !plugin_->GetTableOfContents(handle_, &text, &length) || !text)
    return false;
  auto toc = std::make_unique<TTOC>(text);
  if (!toc->Loaded()) return false;
  TOC = std::move(toc);
  return true;
}
