#include "tests/plugins/PluginFixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>

#include "platform/DynamicLibrary.h"

namespace {

void CollectLog(intptr_t, intptr_t, const char* message) {
  PluginLog().push_back(message ? message : "<null>");
}

template <typename Proc>
void Bind(const TDynamicLibrary& library, const char* name, Proc& proc) {
  proc = reinterpret_cast<Proc>(library.Symbol(name));
  if (!proc) throw std::runtime_error(std::string("the plug-in lacks ") + name);
}

struct TLoaded {
  TDynamicLibrary Library;
  TPluginApi Api{};
  TPluginSetupRec Setup{};
};

std::unique_ptr<TLoaded> Load(const std::string& format) {
  auto loaded = std::make_unique<TLoaded>();
  loaded->Library = TDynamicLibrary(std::string(FOLIOSCOPE_TREE) + "/Plugins/" + format + ".so");
  const TDynamicLibrary& library = loaded->Library;
  TPluginApi& api = loaded->Api;
  Bind(library, "GetPluginDescription", api.GetPluginDescription);
  Bind(library, "GetPluginVersion", api.GetPluginVersion);
  Bind(library, "SetupPlugin", api.SetupPlugin);
  Bind(library, "CreateDocument", api.CreateDocument);
  Bind(library, "DestroyDocument", api.DestroyDocument);
  Bind(library, "SetupDocument", api.SetupDocument);
  Bind(library, "OpenDocument", api.OpenDocument);
  Bind(library, "GetPageCount", api.GetPageCount);
  Bind(library, "CreatePage", api.CreatePage);
  Bind(library, "DestroyPage", api.DestroyPage);
  Bind(library, "SetPagePixelFormat", api.SetPagePixelFormat);
  Bind(library, "SetPageSize", api.SetPageSize);
  Bind(library, "Blit", api.Blit);
  Bind(library, "CreateContext", api.CreateContext);
  Bind(library, "DestoryContext", api.DestoryContext);
  Bind(library, "SetupContext", api.SetupContext);
  Bind(library, "GetText", api.GetText);
  Bind(library, "GetTableOfContents", api.GetTableOfContents);
  Bind(library, "ReadRects", api.ReadRects);
  Bind(library, "ReadActiveRectsCount", api.ReadActiveRectsCount);
  Bind(library, "ReadActiveRects", api.ReadActiveRects);
  Bind(library, "OpenDocumentUtf8", api.OpenDocumentUtf8);
  Bind(library, "ReadActiveRectsUtf8", api.ReadActiveRectsUtf8);
  loaded->Setup.Log = CollectLog;
  if (!api.SetupPlugin(&loaded->Setup)) throw std::runtime_error("SetupPlugin failed");
  return loaded;
}

}  // namespace

const TPluginApi& Plugin(const std::string& format) {
  // Loaded for the whole run, as the viewer keeps its plug-ins.
  static std::map<std::string, std::unique_ptr<TLoaded>> plugins;
  auto& loaded = plugins[format];
  if (!loaded) loaded = Load(format);
  return loaded->Api;
}

std::vector<std::string>& PluginLog() {
  static std::vector<std::string> log;
  return log;
}

std::string SamplePath(const std::string& name) {
  return std::string(FOLIOSCOPE_TREE) + "/" + name;
}

TDocument::TDocument(const TPluginApi& api, const std::string& path, bool native)
    : api_(api), handle_(api.CreateDocument()) {
  TDocumentSetupRec setup{};
  const TOpenDocument open = native ? api.OpenDocumentUtf8 : api.OpenDocument;
  opened_ = handle_ && api.SetupDocument(handle_, &setup) && open(handle_, path.c_str());
}

TDocument::~TDocument() {
  Destroy();
}

void TDocument::Destroy() {
  if (handle_) api_.DestroyDocument(handle_);
  handle_ = 0;
}

TPage::TPage(const TPluginApi& api, const TDocument& document, int number) : api_(api) {
  EXPECT_TRUE(api.CreatePage(document.Handle(), number, &info_)) << "page " << number;
  width_ = info_.NativeWidth;
  height_ = info_.NativeHeight;
}

TPage::~TPage() {
  if (info_.Page) api_.DestroyPage(info_.Page);
}

int TPage::FitWidth(int width) {
  int height = 0;
  EXPECT_TRUE(api_.SetPageSize(Handle(), &width, &height, FOLIO_SIZE_FIT_WIDTH));
  width_ = width;
  height_ = height;
  return height;
}

std::vector<uint8_t> TPage::RenderRows(int32_t code, const QRect& area, int stride) {
  EXPECT_EQ(api_.SetPagePixelFormat(Handle(), code), code);
  std::vector<uint8_t> bits(std::size_t(stride) * area.height(), 0xA5);
  TBlitRec target{};
  target.Left = area.left();
  target.Top = area.top();
  target.Right = area.left() + area.width();
  target.Bottom = area.top() + area.height();
  target.One = 1;
  target.Bits = bits.data();
  target.Stride = stride;
  target.BitsSize = int32_t(bits.size());
  if (!api_.Blit(Handle(), &target)) return {};
  return bits;
}

QImage TPage::Render(const QRect& area) {
  const std::vector<uint8_t> rows = RenderRows(FOLIO_PIXELS_RGBX, area, 4 * area.width());
  if (rows.empty()) return {};
  QImage picture(area.size(), QImage::Format_RGB32);
  for (int y = 0; y < area.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
    const uint8_t* p = rows.data() + std::size_t(y) * 4 * area.width();
    for (int x = 0; x < area.width(); ++x, p += 4) line[x] = qRgb(p[2], p[1], p[0]);
  }
  return picture;
}

QRect TPage::Pixels(const TPluginRect& mm) const {
  const double sx = width_ / info_.Width, sy = height_ / info_.Height;
  return QRect(QPoint(int(std::floor(mm.Left * sx)), int(std::floor(mm.Top * sy))),
               QPoint(int(std::ceil(mm.Right * sx)) - 1, int(std::ceil(mm.Bottom * sy)) - 1));
}

TContext::TContext(const TPluginApi& api, const TDocument& document, int page) : api_(api) {
  EXPECT_TRUE(api.CreateContext(document.Handle(), &record_));
  TContextSetupRec setup{};
  setup.Page = setup.PageLast = page;
  setup.Cookie = record_.Cookie;
  api.SetupContext(record_.Context, &setup);
}

TContext::~TContext() {
  if (record_.Context) api_.DestoryContext(record_.Context);
}

std::string TContext::Text() const {
  const char* text = nullptr;
  int32_t length = -1;
  EXPECT_TRUE(api_.GetText(Handle(), &text, &length));
  return text && length > 0 ? std::string(text, std::size_t(length)) : std::string();
}

std::vector<TPluginRect> TContext::Rects() const {
  std::vector<TPluginRect> rects(Text().size());
  api_.ReadRects(Handle(), rects.data(), 0, int32_t(rects.size()));
  return rects;
}

std::vector<TLink> TContext::Links(bool native) const {
  const TReadActiveRects read = native ? api_.ReadActiveRectsUtf8 : api_.ReadActiveRects;
  std::vector<TLink> links(std::size_t(std::max(api_.ReadActiveRectsCount(Handle()), 0)));
  for (std::size_t i = 0; i < links.size(); ++i) {
    int32_t count = 0;
    EXPECT_TRUE(read(Handle(), int32_t(i), &count, nullptr, nullptr, 0));
    links[i].Points.resize(std::size_t(std::max(count, 0)));
    std::vector<char> text(FOLIO_LINK_TEXT_SIZE, 'x');
    EXPECT_TRUE(
        read(Handle(), int32_t(i), &count, links[i].Points.data(), text.data(), int32_t(text.size())));
    links[i].Text = text.data();
  }
  return links;
}

TPluginRect TContext::WordRect(const std::string& word) const {
  const std::string text = Text();
  const std::vector<TPluginRect> rects = Rects();
  const std::size_t at = text.find(word);
  EXPECT_NE(at, std::string::npos) << word;
  if (at == std::string::npos) return {};
  TPluginRect box = rects[at];
  for (std::size_t i = at; i < at + word.size(); ++i) {
    box.Left = std::min(box.Left, rects[i].Left);
    box.Top = std::min(box.Top, rects[i].Top);
    box.Right = std::max(box.Right, rects[i].Right);
    box.Bottom = std::max(box.Bottom, rects[i].Bottom);
  }
  return box;
}

namespace {

std::string WriteScratch(const std::string& contents) {
  static QTemporaryDir folder;
  static int counter = 0;
  const QString path = folder.filePath(QString("scratch%1").arg(++counter));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot write a scratch file");
  file.write(contents.data(), qint64(contents.size()));
  return path.toStdString();
}

}  // namespace

TScratchFolder::TScratchFolder() {
  std::string pattern = std::filesystem::temp_directory_path().native() + "/plugin_tests-XXXXXX";
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
  path_ = pattern;
}

TScratchFolder::~TScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

TScratchFile::TScratchFile(const std::string& contents) : path_(WriteScratch(contents)) {}

TScratchFile TScratchFile::Truncated(const std::string& path, double share) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " + path);
  const QByteArray data = file.readAll();
  return TScratchFile(data.left(qsizetype(data.size() * share)).toStdString());
}

TScratchFile::~TScratchFile() {
  if (!path_.empty()) QFile::remove(QString::fromStdString(path_));
}

TScratchFile::TScratchFile(TScratchFile&& other) noexcept : path_(std::move(other.path_)) {
  other.path_.clear();
}

double InkShare(const QImage& picture, const QRect& area) {
  const QRect inside = area.intersected(picture.rect());
  if (inside.isEmpty()) return 0;
  int dark = 0;
  for (int y = inside.top(); y <= inside.bottom(); ++y)
    for (int x = inside.left(); x <= inside.right(); ++x) dark += qGray(picture.pixel(x, y)) < 128;
  return double(dark) / (inside.width() * inside.height());
}

void SaveRender(const QImage& picture, const std::string& name) {
  QDir().mkpath(PLUGIN_RENDER_DIR);
  picture.save(QString(PLUGIN_RENDER_DIR) + "/" + QString::fromStdString(name) + ".png");
}
