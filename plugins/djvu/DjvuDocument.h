#pragma once
// The "djvu" plug-in's backend: DjVu documents through djvulibre, with their
// hidden text, hyperlinks and outline.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "plugins/common/BackendDocument.h"
#include "plugins/djvu/DjvuSession.h"

class TDjvuDocument : public TBackendDocument {
 public:
  void Open(const std::string& path) override;
  int PageCount() const override;
  TPageGeometry Geometry(int page) override;
  std::unique_ptr<TBackendPage> LoadPage(int page) override;
  TPageText Text(int page) override;
  std::vector<TPageLink> Links(int page) override;
  TBookOutline Outline() override;

 private:
  // The 1-based page a "#..." target names, seen from page from; nullopt for none.
  std::optional<int> TargetPage(const std::string& target, int from);
  std::optional<TLinkText> LinkText(miniexp_t url, int page);
  // The items of a bookmark list, read at most kMaxOutlineDepth levels deep; cut
  // tells whether deeper ones were left out.
  std::vector<TOutlineItem> OutlineItems(miniexp_t items, int depth, bool& cut);

  // Shared with the pages, which decode and render from it.
  std::shared_ptr<TDjvuSession> session_;
  std::string path_;  // the file system's bytes
};
