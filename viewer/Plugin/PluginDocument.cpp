#include "viewer/Plugin/PluginDocument.h"

#include "platform/FileSystem.h"
#include "viewer/Plugin/FileManager.h"
#include "viewer/Plugin/Plugin.h"

TPluginDocument::TPluginDocument(TPlugin* plugin, const std::string& FileName)
    : plugin_(plugin), fileName_(FileName) {
  if (!plugin_) return;
  handle_ = plugin_->CreateDocument();
  if (!handle_) return;
  if (!plugin_->SetupDocument(handle_, &setup_)) return;
  // The plug-in hands the path to the file system, so it gets the file system's spelling.
  if (!plugin_->OpenDocument(handle_, NativePath(fileName_).c_str())) return;
  pageCount_ = plugin_->GetPageCount(handle_);
  opened_ = pageCount_ > 0;
}

TPluginDocument::~TPluginDocument() {
  if (Owner) Owner->Forget(fileName_);
  // The plug-in accepts 0 here, and expects this before the pages go.
  if (plugin_) plugin_->DestroyDocument(handle_);
  Pages.FreeAll("TPluginDocument.Destroy cant free pages !!!");
}

int TPluginDocument::Release() {
  const int left = --refCount_;
  if (left == 0) delete this;
  return left;
}
