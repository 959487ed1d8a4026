#include "viewer/Plugin/PluginGlobals.h"

#include "platform/Cp1251.h"
#include "platform/FileSystem.h"
#include "platform/StrUtils.h"
#include "viewer/Plugin/FileManager.h"
#include "viewer/Plugin/PluginLog.h"
#include "viewer/Plugin/PluginManager.h"

bool DebugMessages = false;
std::unique_ptr<TFileManager> FileManager;
std::string PluginsFolder = "./Plugins";
std::unique_ptr<TStringList> SupportedExtensions;

void StartPluginLayer(const std::string& pluginsFolder) {
  DebugMessages = true;
  FileManager = std::make_unique<TFileManager>();
  PluginsFolder = pluginsFolder.empty() ? ProgramFolder() + "Plugins/" : pluginsFolder;
  SupportedExtensions = std::make_unique<TStringList>();
  BuildExtensionList();
}

void StopPluginLayer() {
  SupportedExtensions.reset();
  FileManager.reset();
  PluginsFolder.clear();
  // Documents freed above may still have logged.
  ClosePluginLog();
}

void BuildExtensionList() {
  if (!FileManager) throw Exception("internal error: FileManager отсутствут - этого не должно было быть"_cp);
  if (!SupportedExtensions) SupportedExtensions = std::make_unique<TStringList>();
  SupportedExtensions->Clear();
  std::string filter;
  FileManager->PluginManager().GetSupportedExt(filter);
  const std::size_t bar = filter.find('|');
  if (bar == std::string::npos) return;
  // "label|*.pdf;*.djvu": every pattern between ';' becomes ".pdf", ".djvu".
  std::size_t i = bar + 1;
  while (i <= filter.size()) {
    while (i < filter.size() && (filter[i] == ' ' || filter[i] == '*')) ++i;
    const std::size_t end = std::min(filter.find(';', i), filter.size());
    SupportedExtensions->Add(filter.substr(i, end - i));
    i = end + 1;
  }
}
