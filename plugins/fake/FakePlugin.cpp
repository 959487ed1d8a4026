// A page-rendering plug-in for the viewer's tests. Its "documents" are text
// files whose first line reads
// "FAKEDOC <format> <pages> [<width mm> <height mm> [<quarter turns>]]"
// (format "*" suits every plug-in). Like the real plug-ins it reads the path
// of OpenDocument as Windows-1251 and that of OpenDocumentUtf8 as the file
// system's own bytes, and opens regular files only. Each page is white with a black block
// and a red square, has two lines of text with one rectangle per character,
// and three link areas: a rectangle, one with a single vertex (to be ignored)
// and an L-shaped polygon.
//
// Switches: FAKE_FORMAT, FAKE_SECOND_FORMAT (the formats served),
// FAKE_NO_CONTEXT, FAKE_NO_GETTEXT, FAKE_NO_OPTIONAL, FAKE_NO_VERSION (export
// groups left out), FAKE_INTERFACE_VERSION, FAKE_NO_FORMATS,
// FAKE_ENDLESS_FORMATS, FAKE_BAD_EXTENSION (bad announcements), FAKE_THROWS
// (every call throws inside and fails), FAKE_DEVICE (also draws on the
// viewer's painter, code 16), FAKE_LIES (bad answers, chosen by page number:
// see the Lie* functions), FAKE_REGISTER_THROWS (SetupPlugin lets an
// exception out, as a careless plug-in would).
#include <QImage>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>
#ifdef FAKE_DEVICE
#include <QPainter>
#endif

#include "FakePluginCounters.h"
#include "platform/Cp1251.h"
#include "platform/StrUtils.h"
#include "plugins/common/PixelWriter.h"
#include "viewer/Plugin/PluginAbi.h"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

#ifndef FAKE_FORMAT
#define FAKE_FORMAT "fake"
#endif

#ifndef FAKE_INTERFACE_VERSION
#define FAKE_INTERFACE_VERSION FOLIO_PLUGIN_INTERFACE_VERSION
#endif

namespace {

constexpr int kDotsPerMm = 2;
constexpr int32_t kMaxPixels = 100000;

struct FakeDocument {
  int Pages = 0;
  double WidthMm = 100;
  double HeightMm = 150;
  int Rotation = 0;
  std::string Toc;
};

struct FakePage {
  FakeDocument* Document = nullptr;
  int Number = 0;
  std::string Caption;
  double WidthMm = 0;
  double HeightMm = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Code = FOLIO_PIXELS_RGBX;
};

struct FakeContext {
  FakeDocument* Document = nullptr;
  int Page = 0;
  std::string Text;
};

struct FakeLink {
  std::vector<TPluginPoint> Points;
  std::string Text;
};

TFakeCounters counters{};
TPluginLogProc logProc = nullptr;
// Handles are addresses; only those we handed out and not yet took back are valid.
std::set<const void*> live;

void MaybeThrow() {
#ifdef FAKE_THROWS
  throw std::runtime_error("fake failure");
#endif
}

// Runs one export's body: nothing escapes, a failure becomes the given result.
template <typename Result, typename Body>
Result Guard(Result failure, Body body) {
  try {
    MaybeThrow();
    return body();
  } catch (...) {
    return failure;
  }
}

template <typename T>
T* Live(TPluginHandle handle) {
  auto* object = reinterpret_cast<T*>(handle);
  return live.count(object) ? object : nullptr;
}

template <typename T>
TPluginHandle Hand(std::unique_ptr<T> object) {
  live.insert(object.get());
  return reinterpret_cast<TPluginHandle>(object.release());
}

template <typename T>
void Take(TPluginHandle handle) {
  if (T* object = Live<T>(handle)) {
    live.erase(object);
    delete object;
  }
}

void Log(const std::string& text) {
  if (logProc) logProc(0, 0, text.c_str());
}

bool Serves(const std::string& format) {
  if (format == "*" || format == FAKE_FORMAT) return true;
#ifdef FAKE_SECOND_FORMAT
  if (format == FAKE_SECOND_FORMAT) return true;
#endif
  return false;
}

[[maybe_unused]] std::string PageText(int page) {
  // The second line holds cp1251 letters ("Стр."), as the viewer's texts do.
  return "Page " + std::to_string(page) + "\n\xD1\xF2\xF0. text";
}

// Character i of the page text: 2.5 x 6 mm cells on a 3 x 8 mm grid; a line feed has none.
[[maybe_unused]] TPluginRect CharRect(const std::string& text, std::size_t index) {
  int line = 0, column = 0;
  for (std::size_t i = 0; i < index; ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 0;
    } else {
      ++column;
    }
  }
  if (text[index] == '\n') return {};
  const double left = 10 + 3.0 * column, top = 10 + 8.0 * line;
  return {left, top, left + 2.5, top + 6};
}

// Bad answers of the FAKE_LIES variant, by page number: page 1 has no caption,
// claims 5 characters of text at no address, -3 link areas, and accepts any
// size as 0 x 0; page 2 claims -1 characters, and of its 3 link areas the first
// has a text without an end, the second 2^30 vertices and the third one more
// vertex on the second read; page 3 comes without a handle, page 4 with a
// width that is no number; page 5's character rectangles are no numbers and it
// claims 2^31 - 1 link areas.
[[maybe_unused]] constexpr bool kLies =
#ifdef FAKE_LIES
    true;
#else
    false;
#endif

[[maybe_unused]] std::vector<FakeLink> PageLinks(int page) {
  return {
      {{{10, 40}, {30, 50}}, page == 1 ? "goto\n2" : "goto\n1"},
      {{{5, 5}}, "goto\n1"},
      {{{40, 40}, {60, 40}, {60, 50}, {50, 50}, {50, 70}, {40, 70}}, "web\nhttps://example.org/"},
  };
}

// The page as colours (red, green, blue) at a render size of w x h.
QRgb PagePixel(int x, int y, int w, int h) {
  const bool block = x >= w / 5 && x < 4 * w / 5 && y >= h / 10 && y < 3 * h / 10;
  const bool red = x >= w / 5 && x < 2 * w / 5 && y >= h / 2 && y < 3 * h / 5;
  return qRgb(block ? 0 : 255, block || red ? 0 : 255, block || red ? 0 : 255);
}

// The target's rectangle of the page, checked by the caller to be non-empty.
QImage PagePicture(const FakePage& page, const TBlitRec& target) {
  const int width = target.Right - target.Left, rows = target.Bottom - target.Top;
  QImage picture(width, rows, QImage::Format_RGB32);
  for (int k = 0; k < rows; ++k)
    for (int column = 0; column < width; ++column)
      picture.setPixel(column, k, PagePixel(target.Left + column, target.Top + k, page.Width, page.Height));
  return picture;
}

bool Accepts(int32_t code) {
#ifndef FAKE_DEVICE
  if (code == FOLIO_PIXELS_DEVICE) return false;
#endif
  return IsPixelFormat(code);
}

#ifdef FAKE_DEVICE
bool PaintOn(const FakePage& page, const TBlitRec& target) {
  auto* painter = static_cast<QPainter*>(target.Device);
  if (target.One != 1 || !painter || !painter->isActive()) return false;
  if (target.Right <= target.Left || target.Bottom <= target.Top) return false;
  painter->drawImage(target.Left, target.Top, PagePicture(page, target));
  return true;
}
#endif

bool BlitInto(const FakePage& page, const TBlitRec& target) {
#ifdef FAKE_DEVICE
  if (page.Code == FOLIO_PIXELS_DEVICE) return PaintOn(page, target);
#endif
  if (target.One != 1 || !target.Bits) return false;
  if (target.Left < 0 || target.Top < 0 || target.Right > page.Width || target.Bottom > page.Height)
    return false;
  if (target.Right <= target.Left || target.Bottom <= target.Top) return false;
  try {
    WritePixels(PagePicture(page, target), page.Code, target);
  } catch (const Exception&) {
    return false;
  }
  return true;
}

// nativePath is the file system's spelling of the name.
std::unique_ptr<FakeDocument> ReadDocument(const std::string& nativePath) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(nativePath, error)) return nullptr;
  std::ifstream file(nativePath);
  std::string magic, format;
  auto document = std::make_unique<FakeDocument>();
  if (!(file >> magic >> format >> document->Pages) || magic != "FAKEDOC" || !Serves(format)) return nullptr;
  file >> document->WidthMm >> document->HeightMm >> document->Rotation;
  if (!(document->WidthMm > 0 && document->HeightMm > 0)) return nullptr;
  document->Toc =
      "<BOOKFOLDER VERSION=\"1\"><BOOK NAME=\"Fake\"><PAGES BEG=\"1\" NAME=\"All\"/></BOOK></BOOKFOLDER>";
  return document;
}

#ifdef FAKE_ENDLESS_FORMATS
// No terminating record anywhere near: the viewer must stop on its own.
TPluginFormatDesc formats[100] = {};
const TPluginFormatDesc* Formats() {
  for (auto& format : formats) format.Extension = "end";
  return formats;
}
#elif defined(FAKE_BAD_EXTENSION)
const TPluginFormatDesc* Formats() {
  static const TPluginFormatDesc formats[] = {{"p;df", 0, 0, 0}, {nullptr, 0, 0, 0}};
  return formats;
}
#elif defined(FAKE_NO_FORMATS)
const TPluginFormatDesc* Formats() {
  return nullptr;
}
#else
const TPluginFormatDesc* Formats() {
  static const TPluginFormatDesc formats[] = {{FAKE_FORMAT, 1, 2, 3},
#ifdef FAKE_SECOND_FORMAT
                                              {FAKE_SECOND_FORMAT, 0, 0, 0},
#endif
                                              {nullptr, 0, 0, 0}};
  return formats;
}
#endif

}  // namespace

FAKE_EXPORT TFakeCounters* FakeCounters() {
  return &counters;
}

FAKE_EXPORT const TPluginFormatDesc* GetPluginDescription() {
  return Formats();
}

#ifndef FAKE_NO_VERSION
FAKE_EXPORT int32_t GetPluginVersion() {
  return FAKE_INTERFACE_VERSION;
}
#endif

FAKE_EXPORT TPluginBool SetupPlugin(const TPluginSetupRec* setup) {
#ifdef FAKE_REGISTER_THROWS
  throw std::runtime_error("fake registration failure");
#endif
  return Guard(0, [&] {
    if (!setup) return 0;
    ++counters.SetupCalls;
    logProc = setup->Log;
    return 1;
  });
}

FAKE_EXPORT TPluginHandle CreateDocument() {
  return Guard<TPluginHandle>(0, [] {
    ++counters.DocumentsAlive;
    return Hand(std::make_unique<FakeDocument>());
  });
}

FAKE_EXPORT void DestroyDocument(TPluginHandle document) {
  Guard(0, [&] {
    ++counters.DestroyCalls;
    if (Live<FakeDocument>(document)) --counters.DocumentsAlive;
    Take<FakeDocument>(document);
    return 0;
  });
}

FAKE_EXPORT TPluginBool SetupDocument(TPluginHandle document, TDocumentSetupRec* setup) {
  return Guard(0, [&] { return Live<FakeDocument>(document) && setup ? 1 : 0; });
}

namespace {

TPluginBool OpenNative(TPluginHandle handle, const char* path, const std::string& nativePath) {
  return Guard(0, [&] {
    ++counters.OpenCalls;
    FakeDocument* document = Live<FakeDocument>(handle);
    if (!document || !path) return 0;
    std::unique_ptr<FakeDocument> read = ReadDocument(nativePath);
    if (!read) {
      Log(std::string("fake: cannot read [") + path + "]");
      return 0;
    }
    *document = *read;
    return 1;
  });
}

}  // namespace

FAKE_EXPORT TPluginBool OpenDocument(TPluginHandle handle, const char* path) {
  return OpenNative(handle, path, path ? Cp1251ToUtf8(path) : std::string());
}

FAKE_EXPORT TPluginBool OpenDocumentUtf8(TPluginHandle handle, const char* path) {
  ++counters.Utf8OpenCalls;
  return OpenNative(handle, path, path ? path : "");
}

#ifndef FAKE_NO_OPTIONAL
FAKE_EXPORT TPluginBool OpenDocumentEx(TPluginHandle handle, const char* path, int32_t) {
  return OpenDocument(handle, path);
}
#endif

FAKE_EXPORT int32_t GetPageCount(TPluginHandle handle) {
  return Guard(0, [&] {
    const FakeDocument* document = Live<FakeDocument>(handle);
    return document ? document->Pages : 0;
  });
}

FAKE_EXPORT TPluginBool CreatePage(TPluginHandle handle, int32_t number, TPageInfo* info) {
  return Guard(0, [&] {
    FakeDocument* document = Live<FakeDocument>(handle);
    if (!document || !info || number < 1 || number > document->Pages) return 0;
    auto page = std::make_unique<FakePage>();
    if (kLies && number == 3) {
      info->Page = 0;
      return 1;
    }
    page->Document = document;
    page->Number = number;
    page->Caption = "Page " + std::to_string(number);
    page->WidthMm = document->WidthMm;
    page->HeightMm = document->HeightMm;
    page->Width = int32_t(std::lround(document->WidthMm * kDotsPerMm));
    page->Height = int32_t(std::lround(document->HeightMm * kDotsPerMm));
    *info = TPageInfo{};
    info->Width = page->WidthMm;
    info->Height = page->HeightMm;
    info->Caption = kLies && number == 1 ? nullptr : page->Caption.c_str();
    if (kLies && number == 4) info->Width = std::nan("");
    info->Rotation = document->Rotation;
    info->PixelFormat = page->Code;
    info->NativeWidth = page->Width;
    info->NativeHeight = page->Height;
    ++counters.PagesAlive;
    info->Page = Hand(std::move(page));
    return 1;
  });
}

FAKE_EXPORT void DestroyPage(TPluginHandle handle) {
  Guard(0, [&] {
    if (Live<FakePage>(handle)) --counters.PagesAlive;
    Take<FakePage>(handle);
    return 0;
  });
}

FAKE_EXPORT int32_t SetPagePixelFormat(TPluginHandle handle, int32_t code) {
  return Guard(0, [&] {
    FakePage* page = Live<FakePage>(handle);
    if (!page || !Accepts(code)) return 0;
    page->Code = code;
    return code;
  });
}

FAKE_EXPORT TPluginBool SetPageSize(TPluginHandle handle, int32_t* width, int32_t* height, int32_t mode) {
  return Guard(0, [&] {
    FakePage* page = Live<FakePage>(handle);
    if (!page || !width || !height) return 0;
    int64_t w = *width, h = *height;
    if (mode == FOLIO_SIZE_FIT_WIDTH)
      h = std::llround(double(w) * page->HeightMm / page->WidthMm);
    else if (mode == FOLIO_SIZE_FIT_HEIGHT)
      w = std::llround(double(h) * page->WidthMm / page->HeightMm);
    else if (mode != FOLIO_SIZE_EXACT)
      return 0;
    if (w < 1 || h < 1 || w > kMaxPixels || h > kMaxPixels) return 0;
    if (kLies && page->Number == 1) {
      *width = *height = 0;
      return 1;
    }
    *width = page->Width = int32_t(w);
    *height = page->Height = int32_t(h);
    return 1;
  });
}

FAKE_EXPORT int32_t Blit(TPluginHandle handle, const TBlitRec* target) {
  return Guard(0, [&] {
    const FakePage* page = Live<FakePage>(handle);
    return page && target && BlitInto(*page, *target) ? 1 : 0;
  });
}

#ifndef FAKE_NO_CONTEXT
FAKE_EXPORT TPluginBool CreateContext(TPluginHandle handle, TContextRec* context) {
  return Guard(0, [&] {
    FakeDocument* document = Live<FakeDocument>(handle);
    if (!document || !context) return 0;
    auto made = std::make_unique<FakeContext>();
    made->Document = document;
    ++counters.ContextsAlive;
    context->Context = Hand(std::move(made));
    context->Cookie = 0x5EED;
    return 1;
  });
}

FAKE_EXPORT void DestoryContext(TPluginHandle handle) {
  Guard(0, [&] {
    if (Live<FakeContext>(handle)) --counters.ContextsAlive;
    Take<FakeContext>(handle);
    return 0;
  });
}

FAKE_EXPORT void SetupContext(TPluginHandle handle, const TContextSetupRec* setup) {
  Guard(0, [&] {
    FakeContext* context = Live<FakeContext>(handle);
    if (!context || !setup || setup->Cookie != 0x5EED) return 0;
    if (setup->Page < 1 || setup->Page > context->Document->Pages) return 0;
    context->Page = setup->Page;
    context->Text = PageText(setup->Page);
    return 0;
  });
}

#ifndef FAKE_NO_GETTEXT
FAKE_EXPORT int32_t GetText(TPluginHandle handle, const char** text, int32_t* length) {
  return Guard(0, [&] {
    const FakeContext* context = Live<FakeContext>(handle);
    if (!context || !text || !length) return 0;
    *text = kLies && context->Page == 1 ? nullptr : context->Text.c_str();
    *length = kLies && context->Page == 1   ? 5
              : kLies && context->Page == 2 ? -1
                                            : int32_t(context->Text.size());
    return 1;
  });
}
#endif

FAKE_EXPORT TPluginBool GetTableOfContents(TPluginHandle handle, const char** text, int32_t* length) {
  return Guard(0, [&] {
    const FakeDocument* document = Live<FakeDocument>(handle);
    if (!document || !text || !length) return 0;
    *text = document->Toc.c_str();
    *length = int32_t(document->Toc.size());
    return 1;
  });
}

#ifndef FAKE_NO_OPTIONAL
FAKE_EXPORT TPluginBool ReadBorders(TPluginHandle handle, TPluginRect* bounds) {
  return Guard(0, [&] {
    const FakeContext* context = Live<FakeContext>(handle);
    if (!context || !bounds || context->Page == 0) return 0;
    const FakeDocument& document = *context->Document;
    *bounds = {document.WidthMm / 5, document.HeightMm / 10, 4 * document.WidthMm / 5,
               3 * document.HeightMm / 5};
    return 1;
  });
}

FAKE_EXPORT void ReadRects(TPluginHandle handle, TPluginRect* rects, int32_t first, int32_t count) {
  Guard(0, [&] {
    const FakeContext* context = Live<FakeContext>(handle);
    if (!context || !rects || first < 0 || count < 0) return 0;
    for (int32_t i = 0; i < count && std::size_t(first) + i < context->Text.size(); ++i)
      rects[i] = kLies && context->Page == 5 ? TPluginRect{std::nan(""), 0, std::nan(""), 10}
                                             : CharRect(context->Text, std::size_t(first) + i);
    return 0;
  });
}

[[maybe_unused]] static int32_t Lie(int32_t index, int32_t* count, TPluginPoint* points, char* text,
                                    int32_t textSize) {
  if (index == 1) {
    *count = 1 << 30;
    return 1;
  }
  if (!points) {
    *count = 2;
    return 1;
  }
  points[0] = {10, 40};
  points[1] = {30, 50};
  if (index == 2) ++*count;
  if (index == 0 && text) std::memset(text, 'x', std::size_t(textSize));
  return 1;
}

FAKE_EXPORT int32_t ReadActiveRectsCount(TPluginHandle handle) {
  return Guard(0, [&] {
    const FakeContext* context = Live<FakeContext>(handle);
    if (kLies && context && context->Page == 1) return -3;
    if (kLies && context && context->Page == 5) return INT32_MAX;
    return context && context->Page > 0 ? int32_t(PageLinks(context->Page).size()) : 0;
  });
}

FAKE_EXPORT int32_t ReadActiveRects(TPluginHandle handle, int32_t index, int32_t* count, TPluginPoint* points,
                                    char* text, int32_t textSize) {
  return Guard(0, [&] {
    const FakeContext* context = Live<FakeContext>(handle);
    if (!context || !count || context->Page == 0) return 0;
    const std::vector<FakeLink> links = PageLinks(context->Page);
    if (index < 0 || std::size_t(index) >= links.size()) return 0;
    const FakeLink& link = links[std::size_t(index)];
    if (kLies && context->Page == 2) return Lie(index, count, points, text, textSize);
    if (!points) {
      *count = int32_t(link.Points.size());
      return 1;
    }
    // The caller sized the array for the count it was told; anything else is not ours to fill.
    if (*count != int32_t(link.Points.size())) return 0;
    std::memcpy(points, link.Points.data(), link.Points.size() * sizeof(TPluginPoint));
    if (text && textSize > 0) {
      const std::size_t n = std::min(link.Text.size(), std::size_t(textSize) - 1);
      std::memcpy(text, link.Text.data(), n);
      text[n] = '\0';
    }
    return 1;
  });
}
#endif
#endif
