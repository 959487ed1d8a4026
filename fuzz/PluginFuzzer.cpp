// PDF and DjVu files through a page-rendering plug-in's C exports, called as
// the viewer calls them: the interface version, an open through one of the
// opening exports (chosen by the input's size), then for the first pages
// their record, renders in every pixel format at a thumbnail's size and, at
// a zoom, of a window at an offset into the page (as the page view renders
// the part of a page it shows), their text, its borders and character
// rectangles and the link areas (through both link exports), and the book
// description. Built once per plug-in (with its format backend linked in);
// FUZZ_EXTENSION names the file's extension. A refusal is a failure result
// of an export.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include <QImage>
#include <QPainter>

#include "fuzz/FuzzSupport.h"
#include "tests/support/BlitBuffer.h"
#include "viewer/Plugin/PluginAbi.h"

extern "C" {
const TPluginFormatDesc* GetPluginDescription(void);
TPluginBool SetupPlugin(const TPluginSetupRec* Setup);
TPluginHandle CreateDocument(void);
void DestroyDocument(TPluginHandle Document);
TPluginBool SetupDocument(TPluginHandle Document, TDocumentSetupRec* Setup);
TPluginBool OpenDocument(TPluginHandle Document, const char* Path);
int32_t GetPluginVersion(void);
TPluginBool OpenDocumentUtf8(TPluginHandle Document, const char* Path);
int32_t GetPageCount(TPluginHandle Document);
TPluginBool CreatePage(TPluginHandle Document, int32_t Page, TPageInfo* Info);
void DestroyPage(TPluginHandle Page);
int32_t SetPagePixelFormat(TPluginHandle Page, int32_t Code);
TPluginBool SetPageSize(TPluginHandle Page, int32_t* Width, int32_t* Height, int32_t Mode);
int32_t Blit(TPluginHandle Page, const TBlitRec* Target);
TPluginBool CreateContext(TPluginHandle Document, TContextRec* Context);
void DestoryContext(TPluginHandle Context);
void SetupContext(TPluginHandle Context, const TContextSetupRec* Setup);
int32_t GetText(TPluginHandle Context, const char** Text, int32_t* Length);
TPluginBool GetTableOfContents(TPluginHandle Document, const char** Text, int32_t* Length);
void ReadRects(TPluginHandle Context, TPluginRect* Rects, int32_t First, int32_t Count);
int32_t ReadActiveRectsCount(TPluginHandle Context);
int32_t ReadActiveRects(TPluginHandle Context, int32_t Index, int32_t* Count, TPluginPoint* Points,
                        char* Text, int32_t TextSize);
int32_t ReadActiveRectsUtf8(TPluginHandle Context, int32_t Index, int32_t* Count, TPluginPoint* Points,
                            char* Text, int32_t TextSize);
// Optional exports that a plug-in may leave out: null when it does.
__attribute__((weak)) TPluginBool ReadBorders(TPluginHandle Context, TPluginRect* Bounds);
__attribute__((weak)) TPluginBool OpenDocumentEx(TPluginHandle Document, const char* Path, int32_t Flags);
}
// The declarations above must be the contract's own.
static_assert(std::is_same_v<decltype(&OpenDocument), TOpenDocument>);
static_assert(std::is_same_v<decltype(&CreatePage), TCreatePage>);
static_assert(std::is_same_v<decltype(&Blit), TBlit>);
static_assert(std::is_same_v<decltype(&ReadActiveRects), TReadActiveRects>);
static_assert(std::is_same_v<decltype(&ReadActiveRectsUtf8), TReadActiveRectsUtf8>);
static_assert(std::is_same_v<decltype(&GetTableOfContents), TGetTableOfContents>);
static_assert(std::is_same_v<decltype(&GetPluginVersion), TGetPluginVersion>);
static_assert(std::is_same_v<decltype(&OpenDocumentUtf8), TOpenDocumentUtf8>);
static_assert(std::is_same_v<decltype(&ReadBorders), TReadBorders>);
static_assert(std::is_same_v<decltype(&OpenDocumentEx), TOpenDocumentEx>);

namespace {

// The pages a viewer shows first; later pages take the same paths.
constexpr int kPages = 3;
// A thumbnail's width: big enough to run the renderer, small enough to be quick.
constexpr int32_t kRenderWidth = 160;
constexpr int32_t kRenderRows = 200;
// A zoomed page and the window of it that a view shows: the plug-in renders
// the window only, so a large page costs no more than a small one.
constexpr int32_t kZoomedWidth = 2400;
constexpr int32_t kWindowWidth = 200;
constexpr int32_t kWindowRows = 120;
constexpr int32_t kPixelFormats[] = {FOLIO_PIXELS_RGBX, FOLIO_PIXELS_RGB, FOLIO_PIXELS_GREY, FOLIO_PIXELS_MONO,
                                     FOLIO_PIXELS_DEVICE};
// A page text beyond this holds no path the first part does not.
constexpr int32_t kMaxRects = 4096;

volatile std::size_t sink = 0;  // keeps the reads of returned data

void ReadString(const char* text) {
  if (text) sink = sink + std::string(text).size();
}

// The device format: the plug-in paints with the view's painter, which is
// moved so that the page's (left, top) falls on the window's corner.
void PaintWindow(TPluginHandle page, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  QImage window(kWindowWidth, kWindowRows, QImage::Format_RGB32);
  QPainter painter(&window);
  painter.translate(-left, -top);
  TBlitRec target{};
  target.Left = left;
  target.Top = top;
  target.Right = right;
  target.Bottom = bottom;
  target.One = 1;
  target.Device = &painter;
  Blit(page, &target);
}

// Renders the part of the page from (left, top) on that fits a window of
// kWindowWidth x kWindowRows, as the page view does: mono targets start at
// a whole byte of the page.
void RenderWindow(TBlitBuffer& buffer, TPluginHandle page, int32_t code, int32_t width, int32_t height,
                  int32_t left, int32_t top) {
  if (code == FOLIO_PIXELS_MONO) left -= left % 8;
  const int32_t right = std::min(width, left + kWindowWidth), bottom = std::min(height, top + kWindowRows);
  if (left >= right || top >= bottom) return;
  if (code == FOLIO_PIXELS_DEVICE)
    PaintWindow(page, left, top, right, bottom);
  else
    Blit(page, &buffer.Target(code, left, top, right, bottom));
}

void RenderPage(TPluginHandle page, const TPageInfo& info) {
  ReadString(info.Caption);
  TBlitBuffer buffer;
  for (int32_t code : kPixelFormats) {
    if (SetPagePixelFormat(page, code) != code) Fault("a pixel format the plug-in must take was refused");
    int32_t width = kRenderWidth, height = kRenderWidth;
    if (!SetPageSize(page, &width, &height, FOLIO_SIZE_FIT_WIDTH)) continue;
    if (width < 1 || height < 1) Fault("a page size accepted but empty");
    RenderWindow(buffer, page, code, width, std::min(height, kRenderRows), 0, 0);
  }
  // Zoomed in, the part of the page a view shows after a pan; the page's own
  // proportions decide the height, as at any zoom of the viewer.
  for (int32_t mode : {FOLIO_SIZE_FIT_WIDTH, FOLIO_SIZE_FIT_HEIGHT}) {
    int32_t width = kZoomedWidth, height = kZoomedWidth;
    if (!SetPageSize(page, &width, &height, mode)) continue;
    if (width < 1 || height < 1) Fault("a page size accepted but empty");
    if (width > FOLIO_MAX_PAGE_SIDE || height > FOLIO_MAX_PAGE_SIDE) Fault("a page size beyond the limit");
    const int32_t code = mode == FOLIO_SIZE_FIT_WIDTH ? FOLIO_PIXELS_RGBX : FOLIO_PIXELS_MONO;
    SetPagePixelFormat(page, code);
    RenderWindow(buffer, page, code, width, height, width / 3 + 5, height / 2 + 3);
  }
}

void ReadPageContext(TPluginHandle document, int32_t number) {
  TContextRec record{};
  if (!CreateContext(document, &record) || !record.Context) return;
  TContextSetupRec setup{};
  setup.Page = setup.PageLast = number;
  setup.Cookie = record.Cookie;
  SetupContext(record.Context, &setup);
  const char* text = nullptr;
  int32_t length = 0;
  TPluginRect borders{};
  if (ReadBorders) ReadBorders(record.Context, &borders);
  if (GetText(record.Context, &text, &length)) {
    if (length < 0 || (length > 0 && !text)) Fault("a page text with a bad length");
    if (length > 0) sink = sink + std::string(text, std::size_t(length)).size();
    std::vector<TPluginRect> rects(static_cast<std::size_t>(std::min(length, kMaxRects)));
    ReadRects(record.Context, rects.data(), 0, int32_t(rects.size()));
  }
  const int32_t areas = ReadActiveRectsCount(record.Context);
  for (int32_t i = 0; i < areas; ++i) {
    // Each area once through either export: the later one spells file names
    // as the file system does.
    const TReadActiveRects read = i % 2 ? &ReadActiveRectsUtf8 : &ReadActiveRects;
    int32_t count = 0;
    if (!read(record.Context, i, &count, nullptr, nullptr, 0)) continue;
    if (count < 0) Fault("a link area with a negative vertex count");
    std::vector<TPluginPoint> points(static_cast<std::size_t>(count));
    std::vector<char> linkText(FOLIO_LINK_TEXT_SIZE);
    if (read(record.Context, i, &count, points.data(), linkText.data(), FOLIO_LINK_TEXT_SIZE))
      if (!std::memchr(linkText.data(), 0, linkText.size())) Fault("a link text without its end");
  }
  DestoryContext(record.Context);
}

// The viewer opens a file through one of three exports: the first for a name
// cp1251 can spell, the later one for any other, and the extended one where
// a plug-in has it.
TPluginBool Open(TPluginHandle document, const std::string& path, std::size_t choice) {
  if (choice % 3 == 1) return OpenDocumentUtf8(document, path.c_str());
  if (choice % 3 == 2 && OpenDocumentEx) return OpenDocumentEx(document, path.c_str(), 0);
  return OpenDocument(document, path.c_str());
}

void Exercise(const std::string& path, std::size_t choice) {
  const TPluginHandle document = CreateDocument();
  if (!document) Fault("no document handle");
  TDocumentSetupRec documentSetup{};
  SetupDocument(document, &documentSetup);
  if (Open(document, path, choice)) {
    const int32_t pages = GetPageCount(document);
    if (pages < 1) Fault("an open document without pages");
    for (int32_t number = 1; number <= std::min(pages, kPages); ++number) {
      TPageInfo info{};
      if (!CreatePage(document, number, &info)) continue;
      if (!info.Page) Fault("a page accepted without a handle");
      RenderPage(info.Page, info);
      ReadPageContext(document, number);
      DestroyPage(info.Page);
    }
    const char* toc = nullptr;
    int32_t length = 0;
    if (GetTableOfContents(document, &toc, &length)) ReadString(toc);
  }
  DestroyDocument(document);
}

void CountLog(intptr_t, intptr_t, const char* message) {
  ReadString(message);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartFuzzApplication(argc, argv);
  static TPluginSetupRec setup{};
  setup.Log = &CountLog;
  setup.Mode = 2;
  const int32_t version = GetPluginVersion();
  if (version < FOLIO_PLUGIN_OLDEST_VERSION || version > FOLIO_PLUGIN_INTERFACE_VERSION)
    Fault("a plug-in interface version the viewer does not bind");
  if (!GetPluginDescription() || !SetupPlugin(&setup)) Fault("the plug-in refused to start");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = WriteScratchFile(std::string("document.") + FUZZ_EXTENSION, data, size);
  ExpectDocumentedOutcome([&] { Exercise(path, size); });
  return 0;
}
