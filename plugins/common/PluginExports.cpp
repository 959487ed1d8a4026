// The exports of the viewer's plug-in contract over one format backend. Each
// export checks every handle, pointer and size it is given, and lets no
// exception out: a failure is logged and answered with the failure result.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "platform/Cp1251.h"
#include "plugins/common/BackendDocument.h"
#include "plugins/common/BookOutline.h"
#include "plugins/common/PixelWriter.h"

#define FOLIO_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Far beyond any zoom a screen or printer needs, and within what the
// renderers handle in their integer arithmetic.
constexpr int64_t kMaxSide = FOLIO_MAX_PAGE_SIDE;
// One blit of 64 million pixels takes 256 MB on our side.
constexpr int64_t kMaxBlitPixels = int64_t(64) << 20;

TPluginLogProc logProc = nullptr;

// Pages and contexts share their document: the viewer destroys a document
// before the pages it still holds, and those must stay usable until then.
struct TDocumentState {
  std::unique_ptr<TBackendDocument> Backend = CreateBackendDocument();
  bool Opened = false;
  std::string Toc;
};

struct TPageState {
  std::shared_ptr<TDocumentState> Document;
  std::unique_ptr<TBackendPage> Backend;
  TPageGeometry Geometry;
  int64_t Width = 0;
  int64_t Height = 0;
  int32_t Code = FOLIO_PIXELS_RGBX;
};

struct TContextState {
  std::shared_ptr<TDocumentState> Document;
  int Page = 0;
  TPageText Text;
  std::vector<TPageLink> Links;
};

struct TFileDescriptor {
  int Fd;
  ~TFileDescriptor() { ::close(Fd); }
};

void Require(bool condition, const char* message) {
  if (!condition) throw Exception(message);
}

// Handles are the objects' addresses; only those handed out and not yet
// taken back are accepted.
template <typename T>
class THandles {
 public:
  explicit THandles(const char* kind) : kind_(kind) {}

  TPluginHandle Add(std::shared_ptr<T> object) {
    const auto handle = reinterpret_cast<TPluginHandle>(object.get());
    objects_[handle] = std::move(object);
    return handle;
  }

  T& Get(TPluginHandle handle) const { return *Shared(handle); }

  const std::shared_ptr<T>& Shared(TPluginHandle handle) const {
    const auto found = objects_.find(handle);
    if (found == objects_.end()) throw Exception(std::string("Unknown ") + kind_ + " handle");
    return found->second;
  }

  void Remove(TPluginHandle handle) {
    Shared(handle);
    objects_.erase(handle);
  }

 private:
  const char* kind_;
  std::map<TPluginHandle, std::shared_ptr<T>> objects_;
};

THandles<TDocumentState> documents("document");
THandles<TPageState> pages("page");
THandles<TContextState> contexts("context");

void Log(const char* operation, const std::string& message) {
  BackendLog(std::string(BackendFormat()) + ": " + operation + ": " + message);
}

// The library's messages during the call in progress on this thread.
thread_local long long libraryMessages = 0;

// Counts the library's messages of one call into the plug-in, from none.
class TLibraryMessageCount {
 public:
  TLibraryMessageCount() { libraryMessages = 0; }
  ~TLibraryMessageCount() {
    const long long left = libraryMessages - kMaxLibraryMessages;
    if (left > 0) BackendLog(std::string(BackendFormat()) + ": " + std::to_string(left) + " more messages left out");
    libraryMessages = 0;
  }
  TLibraryMessageCount(const TLibraryMessageCount&) = delete;
  TLibraryMessageCount& operator=(const TLibraryMessageCount&) = delete;
};

template <typename Result, typename Body>
Result Guard(const char* operation, Result failure, Body body) noexcept {
  const TLibraryMessageCount messages;
  try {
    return body();
  } catch (const EOtherFormat&) {
  } catch (const std::exception& error) {
    Log(operation, error.what());
  } catch (...) {
    Log(operation, "unexpected failure");
  }
  return failure;
}

TDocumentState& OpenedDocument(TPluginHandle handle) {
  TDocumentState& document = documents.Get(handle);
  Require(document.Opened, "The document is not open");
  return document;
}

void CheckPage(const TDocumentState& document, int32_t page) {
  Require(page >= 1 && page <= document.Backend->PageCount(), "The page number is outside the document");
}

// The size a mode makes of the asked one, by the page's proportions.
std::pair<int64_t, int64_t> FittedSize(const TPageState& page, int64_t width, int64_t height, int32_t mode) {
  const double ratio = page.Geometry.HeightMm / page.Geometry.WidthMm;
  switch (mode) {
    case FOLIO_SIZE_FIT_WIDTH:
      return {width, std::llround(double(width) * ratio)};
    case FOLIO_SIZE_FIT_HEIGHT:
      return {std::llround(double(height) / ratio), height};
    case FOLIO_SIZE_EXACT:
      return {width, height};
    default:
      throw Exception("Unknown size mode " + std::to_string(mode));
  }
}

QRect CheckedArea(const TPageState& page, const TBlitRec& target) {
  Require(target.One == 1, "The blit record is not one the viewer made");
  Require(target.Left >= 0 && target.Top >= 0 && target.Right <= page.Width && target.Bottom <= page.Height,
          "The rectangle lies outside the page");
  Require(target.Left < target.Right && target.Top < target.Bottom, "The rectangle is empty");
  const int64_t pixels = int64_t(target.Right - target.Left) * (target.Bottom - target.Top);
  Require(pixels <= kMaxBlitPixels, "The rectangle is too large to render at once");
  return QRect(target.Left, target.Top, target.Right - target.Left, target.Bottom - target.Top);
}

void Paint(const QImage& picture, const QRect& area, const TBlitRec& target) {
  auto* painter = static_cast<QPainter*>(target.Device);
  Require(painter && painter->isActive(), "The target has no active painter");
  painter->drawImage(area.topLeft(), picture);
}

void CopyText(const std::string& text, char* buffer, int32_t size) {
  if (!buffer || size <= 0) return;
  const std::size_t n = std::min(text.size(), std::size_t(size) - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

}  // namespace

int NativePixels(double pixels) {
  if (!(pixels < double(INT32_MAX))) return INT32_MAX;  // NaN as well
  if (pixels < 0) return 0;
  return int(std::lround(pixels));
}

void BackendLog(const std::string& message) {
  if (logProc) logProc(0, 0, (message + "\n").c_str());
}

bool TakeLibraryMessage() {
  return ++libraryMessages <= kMaxLibraryMessages;
}

QString DisplayPath(const std::string& path) {
  return QString::fromUtf8(path.data(), qsizetype(path.size()));
}

QByteArray ReadDocumentFile(const std::string& path, qsizetype limit) {
  // Non-blocking, so that a pipe under a document's name cannot hang the viewer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw Exception(std::string("The file cannot be opened: ") + std::strerror(errno));
  const TFileDescriptor closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) throw Exception("It is no regular file");
  const qsizetype wanted = limit < 0 ? qsizetype(st.st_size) : std::min(limit, qsizetype(st.st_size));
  QByteArray data;
  // A hint only: the file may grow or shrink while it is read.
  data.reserve(wanted);
  char buffer[1 << 16];
  for (;;) {
    const std::size_t room =
        limit < 0 ? sizeof buffer : std::min(sizeof buffer, std::size_t(limit - data.size()));
    const ssize_t got = room == 0 ? 0 : ::read(fd, buffer, room);
    if (got == 0) return data;
    if (got > 0) {
      data.append(buffer, got);
    } else if (errno != EINTR) {
      throw Exception(std::string("The file cannot be read: ") + std::strerror(errno));
    }
  }
}

void LogOutlineCut(const QString& path) {
  BackendLog(std::string(BackendFormat()) + ": the outline of [" + QStringToCp1251(path) +
             "] nests more than " + std::to_string(kMaxOutlineDepth) +
             " levels deep; the deeper entries are left out");
}

FOLIO_EXPORT const TPluginFormatDesc* GetPluginDescription() {
  static const TPluginFormatDesc formats[] = {{BackendFormat(), 0, 0, 0}, {nullptr, 0, 0, 0}};
  return formats;
}

FOLIO_EXPORT int32_t GetPluginVersion() {
  return FOLIO_PLUGIN_INTERFACE_VERSION;
}

FOLIO_EXPORT TPluginBool SetupPlugin(const TPluginSetupRec* setup) {
  return Guard("SetupPlugin", 0, [&] {
    Require(setup, "No setup record");
    logProc = setup->Log;
    return 1;
  });
}

FOLIO_EXPORT TPluginHandle CreateDocument() {
  return Guard<TPluginHandle>("CreateDocument", 0,
                              [] { return documents.Add(std::make_shared<TDocumentState>()); });
}

FOLIO_EXPORT void DestroyDocument(TPluginHandle handle) {
  Guard("DestroyDocument", 0, [&] {
    if (handle != 0) documents.Remove(handle);
    return 0;
  });
}

FOLIO_EXPORT TPluginBool SetupDocument(TPluginHandle handle, TDocumentSetupRec* setup) {
  return Guard("SetupDocument", 0, [&] {
    documents.Get(handle);
    Require(setup, "No document setup record");
    return 1;
  });
}

namespace {

// path is the name as the viewer handed it over (for the log); decode gives the bytes it names.
TPluginBool OpenNamed(const char* exportName, TPluginHandle handle, const char* path,
                      std::string (*decode)(const char*)) {
  return Guard(exportName, 0, [&] {
    TDocumentState& document = documents.Get(handle);
    Require(path, "No file name");
    Require(!document.Opened, "The document is open already");
    try {
      document.Backend->Open(decode(path));
    } catch (const EOtherFormat&) {
      throw;
    } catch (const std::exception& error) {
      throw Exception(std::string("Cannot open [") + path + "]: " + error.what());
    }
    Require(document.Backend->PageCount() > 0, "The document has no pages");
    document.Opened = true;
    return 1;
  });
}

std::string FromCp1251(const char* path) {
  return Cp1251ToUtf8(path);
}

std::string FromFileSystem(const char* path) {
  return path;
}

}  // namespace

FOLIO_EXPORT TPluginBool OpenDocument(TPluginHandle handle, const char* path) {
  return OpenNamed("OpenDocument", handle, path, &FromCp1251);
}

FOLIO_EXPORT TPluginBool OpenDocumentUtf8(TPluginHandle handle, const char* path) {
  return OpenNamed("OpenDocumentUtf8", handle, path, &FromFileSystem);
}

FOLIO_EXPORT int32_t GetPageCount(TPluginHandle handle) {
  return Guard("GetPageCount", 0, [&] { return OpenedDocument(handle).Backend->PageCount(); });
}

FOLIO_EXPORT TPluginBool CreatePage(TPluginHandle handle, int32_t number, TPageInfo* info) {
  return Guard("CreatePage", 0, [&] {
    Require(info, "No page record");
    TDocumentState& document = OpenedDocument(handle);
    CheckPage(document, number);
    auto page = std::make_shared<TPageState>();
    page->Document = documents.Shared(handle);
    page->Geometry = document.Backend->Geometry(number);
    page->Backend = document.Backend->LoadPage(number);
    const TPageGeometry& geometry = page->Geometry;
    Require(geometry.WidthMm > 0 && geometry.HeightMm > 0 && geometry.NativeWidth > 0 &&
                geometry.NativeHeight > 0,
            "The page has no size");
    // What a file claims is checked before anything is made of it.
    if (geometry.NativeWidth > kMaxSide || geometry.NativeHeight > kMaxSide)
      throw Exception("Page " + std::to_string(number) + " claims " + std::to_string(geometry.NativeWidth) +
                      " x " + std::to_string(geometry.NativeHeight) + " pixels; pages of more than " +
                      std::to_string(kMaxSide) + " pixels a side are refused");
    page->Width = geometry.NativeWidth;
    page->Height = geometry.NativeHeight;
    *info = TPageInfo{};
    info->Width = geometry.WidthMm;
    info->Height = geometry.HeightMm;
    info->Caption = geometry.Caption.c_str();
    info->PixelFormat = page->Code;
    info->NativeWidth = geometry.NativeWidth;
    info->NativeHeight = geometry.NativeHeight;
    info->Page = pages.Add(std::move(page));
    return 1;
  });
}

FOLIO_EXPORT void DestroyPage(TPluginHandle handle) {
  Guard("DestroyPage", 0, [&] {
    pages.Remove(handle);
    return 0;
  });
}

FOLIO_EXPORT int32_t SetPagePixelFormat(TPluginHandle handle, int32_t code) {
  return Guard("SetPagePixelFormat", 0, [&] {
    TPageState& page = pages.Get(handle);
    Require(IsPixelFormat(code), "Unknown pixel format");
    page.Code = code;
    return code;
  });
}

FOLIO_EXPORT TPluginBool SetPageSize(TPluginHandle handle, int32_t* width, int32_t* height, int32_t mode) {
  return Guard("SetPageSize", 0, [&] {
    TPageState& page = pages.Get(handle);
    Require(width && height, "No size to set");
    const auto [w, h] = FittedSize(page, *width, *height, mode);
    Require(w >= 1 && h >= 1 && w <= kMaxSide && h <= kMaxSide, "The page size is out of range");
    *width = int32_t(page.Width = w);
    *height = int32_t(page.Height = h);
    return 1;
  });
}

FOLIO_EXPORT int32_t Blit(TPluginHandle handle, const TBlitRec* target) {
  return Guard("Blit", 0, [&] {
    TPageState& page = pages.Get(handle);
    Require(target, "No blit record");
    const QRect area = CheckedArea(page, *target);
    const QSize size(int(page.Width), int(page.Height));
    if (page.Code != FOLIO_PIXELS_DEVICE && page.Backend->RenderRows(area, size, page.Code, *target))
      return 1;
    const QImage picture = OverWhite(page.Backend->Render(area, size), area.size());
    if (page.Code == FOLIO_PIXELS_DEVICE)
      Paint(picture, area, *target);
    else
      WritePixels(picture, page.Code, *target);
    return 1;
  });
}

FOLIO_EXPORT TPluginBool CreateContext(TPluginHandle handle, TContextRec* record) {
  return Guard("CreateContext", 0, [&] {
    Require(record, "No context record");
    OpenedDocument(handle);
    auto context = std::make_shared<TContextState>();
    context->Document = documents.Shared(handle);
    record->Context = contexts.Add(std::move(context));
    record->Cookie = record->Context;
    return 1;
  });
}

FOLIO_EXPORT void DestoryContext(TPluginHandle handle) {
  Guard("DestoryContext", 0, [&] {
    contexts.Remove(handle);
    return 0;
  });
}

FOLIO_EXPORT void SetupContext(TPluginHandle handle, const TContextSetupRec* setup) {
  Guard("SetupContext", 0, [&] {
    TContextState& context = contexts.Get(handle);
    Require(setup, "No context setup record");
    Require(setup->Cookie == handle, "The context setup record belongs to another context");
    context.Page = 0;
    context.Text = {};
    context.Links = {};
    TBackendDocument& backend = *context.Document->Backend;
    CheckPage(*context.Document, setup->Page);
    context.Text = backend.Text(setup->Page);
    context.Links = backend.Links(setup->Page);
    context.Page = setup->Page;
    return 0;
  });
}

FOLIO_EXPORT int32_t GetText(TPluginHandle handle, const char** text, int32_t* length) {
  return Guard("GetText", 0, [&] {
    const TContextState& context = contexts.Get(handle);
    Require(text && length, "No place for the text");
    *text = context.Text.Text.c_str();
    *length = int32_t(context.Text.Text.size());
    return 1;
  });
}

FOLIO_EXPORT TPluginBool GetTableOfContents(TPluginHandle handle, const char** text, int32_t* length) {
  return Guard("GetTableOfContents", 0, [&] {
    TDocumentState& document = OpenedDocument(handle);
    Require(text && length, "No place for the book description");
    if (document.Toc.empty()) document.Toc = BookDescriptionXml(document.Backend->Outline());
    *text = document.Toc.c_str();
    *length = int32_t(document.Toc.size());
    return 1;
  });
}

FOLIO_EXPORT void ReadRects(TPluginHandle handle, TPluginRect* rects, int32_t first, int32_t count) {
  Guard("ReadRects", 0, [&] {
    const TContextState& context = contexts.Get(handle);
    Require(rects && first >= 0 && count >= 0, "No place for the rectangles");
    const auto& all = context.Text.Rects;
    for (std::size_t i = 0; i < std::size_t(count) && std::size_t(first) + i < all.size(); ++i)
      rects[i] = all[std::size_t(first) + i];
    return 0;
  });
}

FOLIO_EXPORT int32_t ReadActiveRectsCount(TPluginHandle handle) {
  return Guard("ReadActiveRectsCount", 0, [&] { return int32_t(contexts.Get(handle).Links.size()); });
}

namespace {

int32_t ReadLinkArea(const char* exportName, std::string TLinkText::*spelling, TPluginHandle handle,
                     int32_t index, int32_t* count, TPluginPoint* points, char* text, int32_t textSize) {
  return Guard(exportName, 0, [&] {
    const TContextState& context = contexts.Get(handle);
    Require(count, "No place for the vertex count");
    Require(index >= 0 && std::size_t(index) < context.Links.size(), "No link area of that number");
    const TPageLink& link = context.Links[std::size_t(index)];
    const auto vertices = int32_t(link.Points.size());
    if (!points) {
      *count = vertices;
      return 1;
    }
    // The array was sized for the count we told; any other count is not ours to fill.
    Require(*count == vertices, "The vertex array has another size than the area");
    std::copy(link.Points.begin(), link.Points.end(), points);
    CopyText(link.Text.*spelling, text, textSize);
    return 1;
  });
}

}  // namespace

FOLIO_EXPORT int32_t ReadActiveRects(TPluginHandle handle, int32_t index, int32_t* count,
                                     TPluginPoint* points, char* text, int32_t textSize) {
  return ReadLinkArea("ReadActiveRects", &TLinkText::Ansi, handle, index, count, points, text, textSize);
}

FOLIO_EXPORT int32_t ReadActiveRectsUtf8(TPluginHandle handle, int32_t index, int32_t* count,
                                         TPluginPoint* points, char* text, int32_t textSize) {
  return ReadLinkArea("ReadActiveRectsUtf8", &TLinkText::Native, handle, index, count, points, text,
                      textSize);
}
