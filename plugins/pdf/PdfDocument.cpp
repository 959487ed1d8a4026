#include "plugins/pdf/PdfDocument.h"

#include <poppler-link.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "platform/Cp1251.h"
#include "plugins/common/LinkText.h"
#include "plugins/common/PageTextBuilder.h"

namespace {

constexpr double kMmPerPoint = 25.4 / 72;
constexpr double kScreenPixelsPerPoint = 96.0 / 72;

class TPdfPage : public TBackendPage {
 public:
  TPdfPage(std::shared_ptr<Poppler::Document> document, std::unique_ptr<Poppler::Page> page)
      : document_(std::move(document)), page_(std::move(page)) {}

  QImage Render(const QRect& area, const QSize& size) override {
    const QSizeF points = page_->pageSizeF();
    const QImage image =
        page_->renderToImage(72.0 * size.width() / points.width(), 72.0 * size.height() / points.height(),
                             area.x(), area.y(), area.width(), area.height());
    if (image.isNull()) throw Exception("The page cannot be rendered");
    return image;
  }

 private:
  std::shared_ptr<Poppler::Document> document_;
  std::unique_ptr<Poppler::Page> page_;
};

TPluginRect Millimetres(const QRectF& points) {
  return {points.left() * kMmPerPoint, points.top() * kMmPerPoint, points.right() * kMmPerPoint,
          points.bottom() * kMmPerPoint};
}

void ToLog(const QString& message, const QVariant&) {
  if (TakeLibraryMessage()) BackendLog("pdf: " + QStringToCp1251(message));
}

// Poppler reads an item's children only when asked, so nothing below the
// depth limit is ever read.
std::vector<TOutlineItem> OutlineItems(const QVector<Poppler::OutlineItem>& items, int depth, bool& cut) {
  std::vector<TOutlineItem> result;
  for (const Poppler::OutlineItem& item : items) {
    TOutlineItem entry;
    entry.Title = item.name().toStdString();
    const auto destination = item.destination();
    if (destination && item.externalFileName().isEmpty()) entry.Page = destination->pageNumber();
    if (item.hasChildren() && depth == kMaxOutlineDepth) cut = true;
    if (item.hasChildren() && depth < kMaxOutlineDepth)
      entry.Children = OutlineItems(item.children(), depth + 1, cut);
    result.push_back(std::move(entry));
  }
  return result;
}

}  // namespace

const char* BackendFormat() {
  return "pdf";
}

std::unique_ptr<TBackendDocument> CreateBackendDocument() {
  return std::make_unique<TPdfDocument>();
}

void TPdfDocument::Open(const std::string& path) {
  // Poppler's own complaints about damaged files belong in the viewer's log.
  static const bool routed = (Poppler::setDebugErrorFunction(ToLog, QVariant()), true);
  (void)routed;
  std::shared_ptr<Poppler::Document> document = Poppler::Document::loadFromData(ReadDocumentFile(path));
  if (!document) throw Exception("The file is no readable PDF document");
  if (document->isLocked()) throw Exception("The document is protected by a password");
  document->setRenderHint(Poppler::Document::Antialiasing);
  document->setRenderHint(Poppler::Document::TextAntialiasing);
  document_ = std::move(document);
  path_ = path;
}

int TPdfDocument::PageCount() const {
  return document_ ? document_->numPages() : 0;
}

std::unique_ptr<Poppler::Page> TPdfDocument::Page(int number) const {
  std::unique_ptr<Poppler::Page> page = document_->page(number - 1);
  if (!page) throw Exception("Page " + std::to_string(number) + " cannot be read");
  return page;
}

TPageGeometry TPdfDocument::Geometry(int page) {
  const std::unique_ptr<Poppler::Page> pdfPage = Page(page);
  const QSizeF points = pdfPage->pageSizeF();
  const QString label = pdfPage->label();
  return {points.width() * kMmPerPoint, points.height() * kMmPerPoint,
          NativePixels(points.width() * kScreenPixelsPerPoint),
          NativePixels(points.height() * kScreenPixelsPerPoint),
          label.isEmpty() ? std::to_string(page) : QStringToCp1251(label)};
}

std::unique_ptr<TBackendPage> TPdfDocument::LoadPage(int page) {
  return std::make_unique<TPdfPage>(document_, Page(page));
}

TPageText TPdfDocument::Text(int page) {
  TPageTextBuilder builder;
  for (const auto& word : Page(page)->textList()) {
    const QString text = word->text();
    std::vector<TPluginRect> rects;
    for (qsizetype i = 0; i < text.size(); ++i) rects.push_back(Millimetres(word->charBoundingBox(int(i))));
    builder.AddWord(text, rects);
    if (word->hasSpaceAfter()) builder.AddSpace();
    if (!word->nextWord()) builder.EndLine();
  }
  return builder.Take();
}

std::optional<TLinkText> TPdfDocument::LinkText(const Poppler::Link& link) const {
  switch (link.linkType()) {
    case Poppler::Link::Goto: {
      const auto& jump = static_cast<const Poppler::LinkGoto&>(link);
      const int page = jump.destination().pageNumber();
      if (jump.isExternal())
        return FileLinkText(path_, QFile::encodeName(jump.fileName()).toStdString(), std::max(page, 1));
      if (page < 1 || page > PageCount()) return std::nullopt;
      return GotoLinkText(page);
    }
    case Poppler::Link::Browse:
      return UriLinkText(path_, static_cast<const Poppler::LinkBrowse&>(link).url().toStdString());
    case Poppler::Link::Execute:
      // A launch names a file to open; its command-line parameters are not passed on.
      return FileLinkText(
          path_, QFile::encodeName(static_cast<const Poppler::LinkExecute&>(link).fileName()).toStdString(),
          0);
    default:
      return std::nullopt;
  }
}

std::vector<TPageLink> TPdfDocument::Links(int page) {
  const std::unique_ptr<Poppler::Page> pdfPage = Page(page);
  const QSizeF size = pdfPage->pageSizeF() * kMmPerPoint;
  std::vector<TPageLink> links;
  for (const auto& link : pdfPage->links()) {
    const std::optional<TLinkText> text = LinkText(*link);
    const QRectF area = link->linkArea().normalized();
    if (!text || area.isEmpty()) continue;
    links.push_back({{{area.left() * size.width(), area.top() * size.height()},
                      {area.right() * size.width(), area.bottom() * size.height()}},
                     *text});
  }
  return links;
}

TBookOutline TPdfDocument::Outline() {
  TBookOutline outline;
  const QString title = document_->info("Title");
  outline.Title = (title.isEmpty() ? QFileInfo(DisplayPath(path_)).completeBaseName() : title).toStdString();
  outline.Author = document_->info("Author").toStdString();
  outline.PageCount = PageCount();
  bool cut = false;
  outline.Items = OutlineItems(document_->outline(), 1, cut);
  if (cut) LogOutlineCut(DisplayPath(path_));
  return outline;
}
