#pragma once
// The table of open documents: a file opened twice is one shared document.

#include <memory>
#include <string>

#include "viewer/Plugin/BMStringList.h"

class TPluginDocument;
class TPluginManager;

class TFileManager {
 public:
  TFileManager();
  // Frees every listed document, then the plug-in manager, so no document
  // outlives its plug-in's library.
  ~TFileManager();
  TFileManager(const TFileManager&) = delete;
  TFileManager& operator=(const TFileManager&) = delete;

  // The plug-in manager; the first call creates it, loading every plug-in of PluginsFolder.
  TPluginManager& PluginManager();
  // The document for FileName: the one already open under that name (A-Z
  // folded) or a new one, offered to the "djvu" plug-in and then to the "pdf"
  // one. nullptr when the file does not exist or neither format has a plug-in;
  // Exception when the plug-ins there are all refuse the file. A new document
  // starts with no reference.
  TPluginDocument* Open(const std::string& FileName);
  // Drops the first entry of that name without freeing its document.
  void Forget(const std::string& FileName);
  // Frees the document of that name when nothing holds it any more.
  void CloseDocument(const std::string& FileName);
  int DocumentCount() const { return documents_.Count(); }

 private:
  TBMStringList documents_;
  std::unique_ptr<TPluginManager> pluginManager_;
};
