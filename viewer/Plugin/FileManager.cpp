#include "viewer/Plugin/FileManager.h"

#include "platform/Cp1251.h"
#include "platform/FileSystem.h"
#include "platform/StrUtils.h"
#include "viewer/Plugin/PluginDocument.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/Plugin/PluginManager.h"

TFileManager::TFileManager() = default;

TFileManager::~TFileManager() {
  documents_.FreeAll("TFileManager.Destroy:при попытке закрытия документа"_cp);
  pluginManager_.reset();
}

TPluginManager& TFileManager::PluginManager() {
  if (!pluginManager_) pluginManager_ = std::make_unique<TPluginManager>(PluginsFolder);
  return *pluginManager_;
}

TPluginDocument* TFileManager::Open(const std::string& FileName) {
  const int listed = documents_.IndexOf(FileName);
  if (listed >= 0) return documents_.ObjectAs<TPluginDocument>(listed);
  if (!FileExists(FileName)) return nullptr;

  // The file's extension is not consulted: each format's plug-in in turn decides whether it reads the file.
  bool tried = false;
  for (const char* format : {"djvu", "pdf"}) {
    TPlugin* plugin = nullptr;
    if (!PluginManager().FindFormat(format, plugin)) continue;
    tried = true;
    auto document = std::make_unique<TPluginDocument>(plugin, FileName);
    if (!document->IsOpened()) continue;
    document->Owner = this;
    TPluginDocument* opened = document.get();
    documents_.AddObject(FileName, std::move(document));
    return opened;
  }
  if (!tried) return nullptr;
  throw Exception("Не удалось открыть файл ["_cp + FileName + "]: его формат не поддерживается"_cp);
}

void TFileManager::Forget(const std::string& FileName) {
  const int index = documents_.IndexOf(FileName);
  if (index >= 0) documents_.Extract(index).release();
}

void TFileManager::CloseDocument(const std::string& FileName) {
  const int index = documents_.IndexOf(FileName);
  if (index < 0 || documents_.ObjectAs<TPluginDocument>(index)->InUse() > 0) return;
  documents_.Delete(index);
}
