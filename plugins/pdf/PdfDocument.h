#pragma once
// The "pdf" plug-in's backend: PDF documents through poppler.

#include <poppler-qt6.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "plugins/common/BackendDocument.h"

class TPdfDocument : public TBackendDocument {
 public:
  void Open(const std::string& path) override;
  int PageCount() const override;
  TPageGeometry Geometry(int page) override;
  std::unique_ptr<TBackendPage> LoadPage(int page) override;
  TPageText Text(int page) override;
  std::vector<TPageLink> Links(int page) override;
  TBookOutline Outline() override;

 private:
  std::unique_ptr<Poppler::Page> Page(int number) const;
  std::optional<TLinkText> LinkText(const Poppler::Link& link) const;

  // Shared with the pages, which render from it.
  std::shared_ptr<Poppler::Document> document_;
  std::string path_;  // the file system's bytes
};
