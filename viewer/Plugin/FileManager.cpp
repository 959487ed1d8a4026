#include "viewer/Plugin/FileManager.h"

#include <optional>

#include "platform/Cp1251.h"
#include "platform/FileSystem.h"
#include "platform/StrUtils.h"
#include "viewer/Plugin/PluginDocument.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/Plugin/PluginManager.h"

std::string FileProblem(const std::string& FileName) {
  const std::string name = Utf8ToCp1251(FileName);
  switch (NativeFileState(FileName)) {
    case TFileState::Readable:
      return "";
    case TFileState::Missing:
      return Format("Файл %s отсутствует"_cp.c_str(), name);
    case TFileState::Folder:
      return Format("Не удалось открыть [%s]: это папка, а не файл"_cp.c_str(), name);
    case TFileState::NotAFile:
      return Format("Не удалось открыть [%s]: это не файл с документом, а устройство или канал"_cp.c_str(),
                    name);
    case TFileState::Unreadable:
      return Format("Не удалось открыть файл [%s]: нет прав на его чтение"_cp.c_str(), name);
    case TFileState::Empty:
      return Format("Не удалось открыть файл [%s]: он пуст"_cp.c_str(), name);
  }
  return "";
}

TFileManager::TFileManager() = default;

TFileManager::~TFileManager() {
  documents_.FreeAll("TFileManager.Destroy:при попытке закрытия документа"_cp);
  pluginManager_.reset();
}

TPluginManager& TFileManager::PluginManager() {
  if (!pluginManager_) pluginManager_ = std::make_unique<TPluginManager>(PluginsFolder);
  return *pluginManager_;
}

int TFileManager::IndexOfFile(const std::string& FileName) const {
  // Two names are one file when they lead to the same device and inode: the
  // same file under another spelling, through a link, or relative and absolute.
  const std::optional<TFileStamp> wanted = NativeFileStamp(FileName);
  for (int i = 0; i < documents_.Count(); ++i) {
    const auto* document = documents_.ObjectAs<TPluginDocument>(i);
    // A file gone from the disk is still the document open under its very name.
    const std::optional<TFileStamp> listed = wanted ? NativeFileStamp(document->FileName()) : std::nullopt;
    if (wanted ? listed && listed->SameFile(*wanted) : document->FileName() == FileName) return i;
  }
  return -1;
}

TPluginDocument* TFileManager::Find(const std::string& FileName) const {
  const int listed = IndexOfFile(FileName);
  return listed >= 0 ? documents_.ObjectAs<TPluginDocument>(listed) : nullptr;
}

TPluginDocument* TFileManager::Open(const std::string& FileName) {
  if (TPluginDocument* listed = Find(FileName)) return listed;
  if (NativeFileState(FileName) == TFileState::Missing) return nullptr;
  // A name or a file the plug-ins cannot read is not blamed on its format.
  if (const std::string problem = FileProblem(FileName); !problem.empty()) throw Exception(problem);
  // Only a name that is missing as written is looked up ignoring case.
  const std::string found = ResolveNativePath(FileName);
  if (found != FileName) {
    const int same = IndexOfFile(found);
    if (same >= 0) return documents_.ObjectAs<TPluginDocument>(same);
  }

  // The file's extension is not consulted: each format's plug-in in turn decides whether it reads the file.
  bool tried = false;
  for (const char* format : {"djvu", "pdf"}) {
    TPlugin* plugin = nullptr;
    if (!PluginManager().FindFormat(format, plugin)) continue;
    tried = true;
    auto document = std::make_unique<TPluginDocument>(plugin, found);
    if (!document->IsOpened()) continue;
    document->Owner = this;
    TPluginDocument* opened = document.get();
    documents_.AddObject(found, std::move(document));
    return opened;
  }
  if (!tried) return nullptr;
  throw Exception(Format("Не удалось открыть файл [%s]: его формат не поддерживается"_cp.c_str(),
                         Utf8ToCp1251(FileName)));
}

void TFileManager::Forget(const TPluginDocument* document) {
  for (int i = 0; i < documents_.Count(); ++i) {
    if (documents_.ObjectAs<TPluginDocument>(i) != document) continue;
    documents_.Extract(i).release();
    return;
  }
}

void TFileManager::CloseDocument(const std::string& FileName) {
  const int index = IndexOfFile(FileName);
  if (index < 0 || documents_.ObjectAs<TPluginDocument>(index)->InUse() > 0) return;
  documents_.Delete(index);
}
