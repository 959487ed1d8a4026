#pragma once
// One file opened through one plug-in. The file manager creates and shares
// documents; holders keep them alive with AddRef and Release.

#include <memory>
#include <string>

#include "viewer/Plugin/BMStringList.h"
#include "viewer/Plugin/PluginAbi.h"

class TPlugin;
class TFileManager;
class TPluginPage;
class TPluginPage2;
class TTOC;

// A page-list entry: the number a page was made for and the page, which it owns.
class TPageNumb : public TOwnedObject {
 public:
  TPageNumb(int number, std::unique_ptr<TPluginPage2> page);
  ~TPageNumb() override;

  int Number;
  std::unique_ptr<TPluginPage2> Page;
};

class TPluginDocument : public TOwnedObject {
 public:
  // Opens FileName (the file system's spelling) through plugin:
  // CreateDocument, SetupDocument, OpenDocument (OpenDocumentUtf8 for a name
  // cp1251 cannot spell), GetPageCount, each only after the one before
  // succeeded. A failing step leaves the document not opened; it never throws.
  TPluginDocument(TPlugin* plugin, const std::string& FileName);
  // Leaves the owner's list, destroys the plug-in's document, then frees the pages.
  ~TPluginDocument() override;
  TPluginDocument(const TPluginDocument&) = delete;
  TPluginDocument& operator=(const TPluginDocument&) = delete;

  bool IsOpened() const { return opened_; }
  // A new page object for PageNumber on every call, listed under its caption;
  // nullptr (with a message) when the document is not opened. Throws Exception
  // when the plug-in cannot make the page.
  virtual TPluginPage2* GetPage(int PageNumber);
  // The book description; false (and no tree) when the plug-in has none or it
  // does not read.
  virtual bool GetTableOfContents(std::unique_ptr<TTOC>& TOC);
  // Frees a page obtained from GetPage; nullptr and pages not listed here are left alone.
  void ReleasePage(TPluginPage* Page);
  // Page-list entries plus references.
  int InUse() const { return Pages.Count() + refCount_; }
  void AddRef() { ++refCount_; }
  // Drops a reference and returns the count left; at 0 the document frees itself.
  int Release();

  const std::string& FileName() const { return fileName_; }
  TPlugin* Plugin() const { return plugin_; }
  TPluginHandle Handle() const { return handle_; }
  int PageCount() const { return pageCount_; }
  TFileManager* Owner = nullptr;
  // Key = page caption, object = the page's entry (owned).
  TBMStringList Pages;

 private:
  bool OpenThroughPlugin();

  bool opened_ = false;
  TPluginHandle handle_ = 0;
  TPlugin* plugin_ = nullptr;
  int pageCount_ = -1;
  std::string fileName_;
  TDocumentSetupRec setup_{};
  int refCount_ = 0;
};
