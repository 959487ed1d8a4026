#pragma once
// The table of open documents: a file opened twice is one shared document.
// File names here are in the file system's own spelling (UTF-8), so that
// every name on the disk can be opened.

#include <memory>
#include <string>

#include "viewer/Plugin/BMStringList.h"

class TPluginDocument;
class TPluginManager;

// Why FileName (the file system's spelling) cannot be opened as a document, in
// the reader's words (cp1251, naming the file): missing, a folder, no regular
// file, unreadable, empty; "" when the plug-ins may try it.
std::string FileProblem(const std::string& FileName);

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
  // The document for FileName: the one already open for the same file (same
  // device and inode, whatever the spelling) or a new one, offered to the
  // "djvu" plug-in and then to the "pdf" one. A name missing as written is
  // looked up ignoring case. nullptr when the file does not exist or neither
  // format has a plug-in; Exception saying why (FileProblem) when it is no
  // readable file, or when the plug-ins there all refuse it. A new document
  // starts with no reference.
  TPluginDocument* Open(const std::string& FileName);
  // The document open for the same file as FileName, or nullptr; opens nothing.
  TPluginDocument* Find(const std::string& FileName) const;
  // Drops the entry of that document without freeing it.
  void Forget(const TPluginDocument* document);
  // Frees the document of that name when nothing holds it any more.
  void CloseDocument(const std::string& FileName);
  int DocumentCount() const { return documents_.Count(); }

 private:
  // The entry of the document open for the same file as FileName, or -1.
  int IndexOfFile(const std::string& FileName) const;

  TBMStringList documents_;
  std::unique_ptr<TPluginManager> pluginManager_;
};
