#pragma once
// What one document format offers the viewer: a plug-in supplies a backend
// (BackendFormat, CreateBackendDocument) and PluginExports.cpp turns it into
// the exports of viewer/Plugin/PluginAbi.h. Geometry is in millimetres with
// the origin at the page's top-left corner; texts are cp1251.

#include <QImage>
#include <QRect>
#include <memory>
#include <string>
#include <vector>

#include "platform/StrUtils.h"
#include "plugins/common/LinkText.h"
#include "viewer/Plugin/PluginAbi.h"

// Thrown by Open for a file of another format. It is refused without a log
// line: the viewer offers every file to every plug-in in turn.
class EOtherFormat : public Exception {
 public:
  using Exception::Exception;
};

struct TPageGeometry {
  double WidthMm = 0;
  double HeightMm = 0;
  int NativeWidth = 0;  // pixels at the page's own resolution
  int NativeHeight = 0;
  std::string Caption;
};

// A length in pixels as a native size: rounded, and held at INT32_MAX rather
// than wrapped, so a page claiming a huge size is seen as huge and refused.
int NativePixels(double pixels);

// The page text with one rectangle per byte; line feeds have empty rectangles.
struct TPageText {
  std::string Text;
  std::vector<TPluginRect> Rects;
};

// Two points are opposite corners of a rectangle, more are a polygon.
struct TPageLink {
  std::vector<TPluginPoint> Points;
  TLinkText Text;  // a link text: "goto\n3", "web\nhttps://...", ...
};

// Outline texts are UTF-8.
struct TOutlineItem {
  std::string Title;
  int Page = 0;  // 1-based; 0 when the item leads nowhere in this document
  std::vector<TOutlineItem> Children;
};

// Outlines are read at most this many levels deep. The viewer reads a book
// description of at most 256 nested elements and shows no tree; real books
// nest a handful of levels. Reading stops here instead of recursing as deep as
// a file claims (damaged or hostile files nest tens of thousands of levels).
constexpr int kMaxOutlineDepth = 64;

// Logs that the outline of the document at path was cut at kMaxOutlineDepth.
void LogOutlineCut(const QString& path);

struct TBookOutline {
  std::string Title;
  std::string Author;
  int PageCount = 0;
  std::vector<TOutlineItem> Items;
};

// A page ready to render; it may keep its document's data alive.
class TBackendPage {
 public:
  virtual ~TBackendPage() = default;
  // The pixels of area when the whole page is rendered at size; any format,
  // transparent parts count as white. Throws Exception when it cannot render.
  // The picture may share a buffer that the page reuses at its next render.
  virtual QImage Render(const QRect& area, const QSize& size) = 0;
  // Renders area straight into target's rows when the backend writes pixel
  // format code itself, and returns true; false when it cannot, the target
  // left alone. Throws Exception for a target that cannot hold the rows.
  virtual bool RenderRows(const QRect& /*area*/, const QSize& /*size*/, int32_t /*code*/,
                          const TBlitRec& /*target*/) {
    return false;
  }
};

class TBackendDocument {
 public:
  virtual ~TBackendDocument() = default;
  // Opens the file at path (the file system's bytes); throws Exception with
  // the reason when it is no readable document.
  virtual void Open(const std::string& path) = 0;
  virtual int PageCount() const = 0;
  // Pages are 1-based and checked by the caller.
  virtual TPageGeometry Geometry(int page) = 0;
  virtual std::unique_ptr<TBackendPage> LoadPage(int page) = 0;
  virtual TPageText Text(int page) = 0;
  virtual std::vector<TPageLink> Links(int page) = 0;
  virtual TBookOutline Outline() = 0;
};

// Supplied by each plug-in.
const char* BackendFormat();
std::unique_ptr<TBackendDocument> CreateBackendDocument();

// Appends a line to the viewer's log (nothing before SetupPlugin).
void BackendLog(const std::string& message);

// Whether the format library may log one more message during this call into
// the plug-in. A damaged file can make a library complain about every object
// it reads, a million times for one page, while the viewer keeps only the
// first lines; so each call passes on kMaxLibraryMessages of them, logs how
// many it left out when it returns, and spells none of the rest.
constexpr int kMaxLibraryMessages = 100;
bool TakeLibraryMessage();

// The whole file at path (the file system's bytes). A document is read from
// memory, so it stays readable, every page of it, when its file is deleted,
// replaced or written over while it is open. Throws Exception saying why the
// file cannot be read. With a limit, only the file's first limit bytes.
QByteArray ReadDocumentFile(const std::string& path, qsizetype limit = -1);
// A byte path as text for the log and titles: UTF-8, with a stand-in for
// bytes that are no text.
QString DisplayPath(const std::string& path);
