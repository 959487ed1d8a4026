#pragma once
// The plug-in registry: every library of the plug-in folder, bound once, and
// the file formats they announce.

#include <cstdint>
#include <memory>
#include <string>

#include "viewer/Plugin/BMStringList.h"
#include "viewer/Plugin/PluginAbi.h"

class TPlugin;

// One registered format: the announced record, its extension copied out of
// the plug-in, and the plug-in that serves it (not owned).
class TPluginBase : public TOwnedObject {
 public:
  std::string Extension;
  std::int32_t Reserved1 = 0;
  std::int32_t Reserved2 = 0;
  std::int32_t Reserved3 = 0;
  TPlugin* Plugin = nullptr;
};

class TPluginManager {
 public:
  // Loads every "*.so" of folder (a trailing delimiter is added), in name order.
  explicit TPluginManager(const std::string& folder);
  // Unloads the libraries; a failure is shown and the rest still go.
  ~TPluginManager();
  TPluginManager(const TPluginManager&) = delete;
  TPluginManager& operator=(const TPluginManager&) = delete;

  // The plug-in of the first format registered under ext (A-Z folded).
  bool FindFormat(const std::string& ext, TPlugin*& plugin) const;
  // "все поддерживаемые форматы|*.pdf;*.djvu" (cp1251): the open dialog's
  // filter of every registered format; returns their number.
  int GetSupportedExt(std::string& filter) const;

  const std::string& Folder() const { return folder_; }
  // Keys are folder + file name of each library; objects are TPlugin.
  const TBMStringList& Libraries() const { return libraries_; }
  // Keys are the extensions; objects are TPluginBase.
  const TBMStringList& Formats() const { return formats_; }
  const TPluginSetupRec& SetupRec() const { return setup_; }

 private:
  void LoadLibrary(const std::string& fileName);
  void Register(const std::string& path, std::unique_ptr<TPlugin> plugin);
  // One line of log.txt per library that is left out, with the reason.
  static void LogRefused(const std::string& path, const std::string& reason);

  std::string folder_;
  TBMStringList libraries_;
  TBMStringList formats_;
  // Every plug-in may keep this address; it lives as long as the manager.
  TPluginSetupRec setup_{};
};
