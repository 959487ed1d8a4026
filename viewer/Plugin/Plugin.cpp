#include "viewer/Plugin/Plugin.h"

#include "platform/StrUtils.h"

namespace {

// Looks exports up and remembers which group misses which name.
class TExportLookup {
 public:
  explicit TExportLookup(const TDynamicLibrary& library) : library_(library) {}

  template <typename Procedure>
  void operator()(Procedure& field, const char* name, int group) {
    field = reinterpret_cast<Procedure>(library_.Symbol(name));
    if (field) return;
    if (missing_[group].empty()) missing_[group] = name;
  }
  // The first missing name of group, or "".
  const std::string& Missing(int group) const { return missing_[group]; }

 private:
  const TDynamicLibrary& library_;
  std::string missing_[7];
};

}  // namespace

bool TPlugin::Load(const std::string& path) {
  Unload();
  lastError_.clear();
  try {
    library_ = TDynamicLibrary(path);
  } catch (const Exception& e) {
    lastError_ = e.Message();
    return false;
  }
  try {
    lastError_ = BindExports();
  } catch (...) {
    // GetPluginVersion is the library's own code: it may throw across the boundary.
    lastError_ = "it failed while answering its interface version";
  }
  if (lastError_.empty()) return true;
  ClearExports();
  library_ = TDynamicLibrary();
  return false;
}

void TPlugin::Unload() {
  ClearExports();
  library_.Close();
}

void TPlugin::ClearExports() {
  static_cast<TPluginExports&>(*this) = TPluginExports{};
  version_ = 0;
}

std::string TPlugin::BindExports() {
  TExportLookup bind(library_);
  bind(GetPluginDescription, "GetPluginDescription", 1);
  bind(GetPluginVersion, "GetPluginVersion", 1);
  bind(SetupPlugin, "SetupPlugin", 1);
  bind(CreateDocument, "CreateDocument", 1);
  bind(DestroyDocument, "DestroyDocument", 1);
  bind(SetupDocument, "SetupDocument", 1);
  bind(OpenDocument, "OpenDocument", 1);
  bind(GetPageCount, "GetPageCount", 1);
  bind(CreatePage, "CreatePage", 1);
  bind(DestroyPage, "DestroyPage", 1);
  bind(SetPagePixelFormat, "SetPagePixelFormat", 1);
  bind(SetPageSize, "SetPageSize", 1);
  bind(Blit, "Blit", 1);
  bind(CreateContext, "CreateContext", 2);
  bind(DestoryContext, "DestoryContext", 3);
  bind(SetupContext, "SetupContext", 3);
  bind(GetText, "GetText", 3);
  bind(GetTableOfContents, "GetTableOfContents", 3);
  bind(ReadBorders, "ReadBorders", 4);
  bind(ReadRects, "ReadRects", 4);
  bind(ReadActiveRectsCount, "ReadActiveRectsCount", 5);
  bind(ReadActiveRects, "ReadActiveRects", 5);
  bind(OpenDocumentEx, "OpenDocumentEx", 6);

  if (!bind.Missing(1).empty()) return "the required export " + bind.Missing(1) + " is missing";
  // A text context is only usable with all of its procedures.
  if (CreateContext && !bind.Missing(3).empty())
    return "CreateContext is exported but " + bind.Missing(3) + " is missing";
  const int version = GetPluginVersion();
  if (version < FOLIO_PLUGIN_OLDEST_VERSION || version > FOLIO_PLUGIN_INTERFACE_VERSION)
    return Format("it speaks plug-in interface version %d, this viewer speaks versions %d to %d", version,
                  FOLIO_PLUGIN_OLDEST_VERSION, FOLIO_PLUGIN_INTERFACE_VERSION);
  // An older plug-in may export a name of a later version with another meaning.
  if (version >= 2) bind(OpenDocumentUtf8, "OpenDocumentUtf8", 6);
  if (version >= 3) bind(ReadActiveRectsUtf8, "ReadActiveRectsUtf8", 5);
  version_ = version;
  return "";
}
