#pragma once
// One plug-in library bound by export name: its module and one procedure
// pointer per export (nullptr when the library does not export it).

#include <string>

#include "platform/DynamicLibrary.h"
#include "viewer/Plugin/BMStringList.h"
#include "viewer/Plugin/PluginAbi.h"

// The procedure pointers, named as the exports.
struct TPluginExports {
  // Group 1: required.
  TGetPluginDescription GetPluginDescription = nullptr;
  TGetPluginVersion GetPluginVersion = nullptr;
  TSetupPlugin SetupPlugin = nullptr;
  TCreateDocument CreateDocument = nullptr;
  TDestroyDocument DestroyDocument = nullptr;
  TSetupDocument SetupDocument = nullptr;
  TOpenDocument OpenDocument = nullptr;
  TGetPageCount GetPageCount = nullptr;
  TCreatePage CreatePage = nullptr;
  TDestroyPage DestroyPage = nullptr;
  TSetPagePixelFormat SetPagePixelFormat = nullptr;
  TSetPageSize SetPageSize = nullptr;
  TBlit Blit = nullptr;
  // Group 2: optional; brings group 3 with it.
  TCreateContext CreateContext = nullptr;
  // Group 3.
  TDestoryContext DestoryContext = nullptr;
  TSetupContext SetupContext = nullptr;
  TGetText GetText = nullptr;
  TGetTableOfContents GetTableOfContents = nullptr;
  // Groups 4, 5 and 6: optional.
  TReadBorders ReadBorders = nullptr;
  TReadRects ReadRects = nullptr;
  TReadActiveRectsCount ReadActiveRectsCount = nullptr;
  TReadActiveRects ReadActiveRects = nullptr;
  TOpenDocumentEx OpenDocumentEx = nullptr;
  // Since version 2; bound only from a plug-in of version 2 or later.
  TOpenDocumentUtf8 OpenDocumentUtf8 = nullptr;
  // Since version 3.
  TReadActiveRectsUtf8 ReadActiveRectsUtf8 = nullptr;
};

class TPlugin : public TOwnedObject, public TPluginExports {
 public:
  ~TPlugin() override = default;

  // Binds the library at path. True when it loaded, exports every required
  // procedure and speaks an interface version we know; otherwise the library
  // is released again and LastError tells why.
  bool Load(const std::string& path);
  // Releases the library (throws Exception when the loader refuses) and
  // clears every procedure pointer.
  void Unload();
  void Close() override { Unload(); }
  bool Loaded() const { return library_.Loaded(); }
  const std::string& LastError() const { return lastError_; }
  // The interface version the plug-in answered; 0 when none is bound.
  int Version() const { return version_; }
  // Any other export of the loaded library, or nullptr.
  void* Symbol(const char* name) const { return library_.Symbol(name); }

 private:
  // Looks every export up; returns why binding fails, or "" when it does not.
  std::string BindExports();
  void ClearExports();

  TDynamicLibrary library_;
  std::string lastError_;
  int version_ = 0;
};
