#include "viewer/Plugin/PluginManager.h"

#include <cstring>
#include <vector>

#include "platform/Cp1251.h"
#include "platform/FileSystem.h"
#include "platform/StrUtils.h"
#include "viewer/Plugin/Plugin.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/Plugin/PluginLog.h"

namespace {

// Bounds on what a plug-in announces, so a list without its end or an
// extension without its NUL stops here instead of running through memory.
constexpr int kMaxFormats = 64;
constexpr std::size_t kMaxExtension = 16;

// An extension becomes part of the filter text "*.pdf;*.djvu", so it must not
// hold the filter's own separators or blanks.
bool ValidExtension(const std::string& ext) {
  if (ext.empty() || ext.size() > kMaxExtension) return false;
  for (unsigned char c : ext) {
    if (c <= ' ' || std::strchr("|;*.?\\/", c)) return false;
  }
  return true;
}

std::vector<TPluginBase> ReadFormats(const TPlugin& plugin) {
  std::vector<TPluginBase> formats;
  const TPluginFormatDesc* desc = plugin.GetPluginDescription();
  if (!desc) return formats;
  for (int i = 0;; ++i) {
    if (i == kMaxFormats) throw Exception("The plug-in's list of formats has no end");
    if (!desc[i].Extension) break;
    TPluginBase format;
    format.Extension.assign(desc[i].Extension, strnlen(desc[i].Extension, kMaxExtension + 1));
    if (!ValidExtension(format.Extension)) throw Exception("The plug-in announces an invalid file extension");
    format.Reserved1 = desc[i].Reserved1;
    format.Reserved2 = desc[i].Reserved2;
    format.Reserved3 = desc[i].Reserved3;
    formats.push_back(format);
  }
  return formats;
}

}  // namespace

TPluginManager::TPluginManager(const std::string& folder) : folder_(IncludeTrailingPathDelimiter(folder)) {
  for (const std::string& name : ListFiles(folder_, "*.so")) LoadLibrary(name);
}

TPluginManager::~TPluginManager() {
  // Unloading a library leaves its format entries pointing nowhere, so nothing may look formats up after
  // this.
  libraries_.FreeAll("TPluginManager.Destroy Exception while destroing plugins");
  formats_.FreeAll("TPluginManager.Destroy Exception while destroing extension list");
}

void TPluginManager::LoadLibrary(const std::string& fileName) {
  const std::string path = folder_ + fileName;
  auto plugin = std::make_unique<TPlugin>();
  if (!plugin->Load(path)) return LogRefused(path, plugin->LastError());
  // A damaged library must not keep the viewer from starting with the good
  // ones, so its failure goes to the log rather than into a message box.
  try {
    Register(path, std::move(plugin));
  } catch (const Exception& e) {
    LogRefused(path, e.Message());
  } catch (const std::exception& e) {
    LogRefused(path, e.what());
  } catch (...) {
    LogRefused(path, "its registration failed");
  }
}

void TPluginManager::LogRefused(const std::string& path, const std::string& reason) {
  AppendToPluginLog("TPluginManager.Create: plugin [" + path + "] not loaded: " + reason + "\r\n");
}

// All or nothing: a library that fails here leaves no format behind that
// would point into its unloaded memory.
void TPluginManager::Register(const std::string& path, std::unique_ptr<TPlugin> plugin) {
  std::vector<TPluginBase> formats = ReadFormats(*plugin);
  if (formats.empty()) return;

  setup_ = TPluginSetupRec{};
  setup_.Log = &PluginLogCallback;
  setup_.LogContext = this;
  setup_.Mode = DebugMessages ? 0 : 2;
  plugin->SetupPlugin(&setup_);

  for (TPluginBase& format : formats) {
    format.Plugin = plugin.get();
    const std::string key = format.Extension;
    formats_.AddObject(key, std::make_unique<TPluginBase>(std::move(format)));
  }
  libraries_.AddObject(path, std::move(plugin));
}

bool TPluginManager::FindFormat(const std::string& ext, TPlugin*& plugin) const {
  plugin = nullptr;
  const int index = formats_.IndexOf(ext);
  if (index < 0) return false;
  plugin = formats_.ObjectAs<TPluginBase>(index)->Plugin;
  return true;
}

int TPluginManager::GetSupportedExt(std::string& filter) const {
  filter = "Все поддерживаемые форматы|"_cp;
  for (int i = 0; i < formats_.Count(); ++i) filter += "*." + formats_.Strings(i) + ";";
  filter.pop_back();
  filter = AnsiLowerCase(filter);
  return formats_.Count();
}
