#include "plugins/djvu/DjvuDocument.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "platform/Cp1251.h"
#include "plugins/common/LinkText.h"
#include "plugins/common/PageTextBuilder.h"
#include "plugins/common/PixelWriter.h"

namespace {

constexpr int kOvalVertices = 24;

// A 32-bit format of djvulibre: blue, green, red bytes, then xor.
ddjvu_format_t* Format32(unsigned int fourthByte) {
  unsigned int masks[] = {0xFF0000, 0x00FF00, 0x0000FF, fourthByte};
  return ddjvu_format_create(DDJVU_FORMAT_RGBMASK32, 4, masks);
}

class TDjvuPage : public TBackendPage {
 public:
  TDjvuPage(std::shared_ptr<TDjvuSession> session, ddjvu_page_t* page)
      : session_(std::move(session)),
        page_(page),
        rgb32_(Format32(0xFF000000)),
        rgbx_(Format32(0)),
        rgb_(ddjvu_format_create(DDJVU_FORMAT_BGR24, 0, nullptr)) {
    for (ddjvu_format_t* format : {rgb32_, rgbx_, rgb_}) ddjvu_format_set_y_direction(format, 1);
  }
  ~TDjvuPage() override {
    for (ddjvu_format_t* format : {rgb32_, rgbx_, rgb_}) ddjvu_format_release(format);
    ddjvu_page_release(page_);
  }
  TDjvuPage(const TDjvuPage&) = delete;
  TDjvuPage& operator=(const TDjvuPage&) = delete;

  // Into a buffer kept for the next render: the caller uses the picture at once.
  QImage Render(const QRect& area, const QSize& size) override {
    const std::size_t pixels = std::size_t(area.width()) * std::size_t(area.height());
    if (scratch_.size() < pixels) {
      scratch_.clear();
      scratch_.shrink_to_fit();
      scratch_.resize(pixels);
    }
    QImage image(reinterpret_cast<uchar*>(scratch_.data()), area.width(), area.height(), 4 * area.width(),
                 QImage::Format_RGB32);
    // A page without any image layer renders nothing and stays white.
    if (!RenderInto(area, size, rgb32_, reinterpret_cast<char*>(scratch_.data()), 4 * area.width(), true))
      image.fill(Qt::white);
    return image;
  }

  bool RenderRows(const QRect& area, const QSize& size, int32_t code, const TBlitRec& target) override {
    if (code != FOLIO_PIXELS_RGBX && code != FOLIO_PIXELS_RGB) return false;
    CheckTarget(code, area.width(), area.height(), target);
    const int64_t rowBytes = int64_t(area.width()) * (code == FOLIO_PIXELS_RGB ? 3 : 4);
    // A target of one row may give no stride; a bottom-up one starts at its last row in memory.
    const int64_t stride = area.height() > 1 ? target.Stride : rowBytes;
    char* first = reinterpret_cast<char*>(target.Bits) + (stride < 0 ? stride * (area.height() - 1) : 0);
    return RenderInto(area, size, code == FOLIO_PIXELS_RGB ? rgb_ : rgbx_, first, std::llabs(stride),
                      stride > 0);
  }

 private:
  bool RenderInto(const QRect& area, const QSize& size, ddjvu_format_t* format, char* bits, int64_t rowBytes,
                  bool topDown) {
    ddjvu_format_set_row_order(format, topDown ? 1 : 0);
    const ddjvu_rect_t page{0, 0, unsigned(size.width()), unsigned(size.height())};
    const ddjvu_rect_t part{area.x(), area.y(), unsigned(area.width()), unsigned(area.height())};
    return ddjvu_page_render(page_, DDJVU_RENDER_COLOR, &page, &part, format, (unsigned long)rowBytes,
                             bits) != 0;
  }

  std::shared_ptr<TDjvuSession> session_;
  ddjvu_page_t* page_;
  ddjvu_format_t* rgb32_;
  ddjvu_format_t* rgbx_;
  ddjvu_format_t* rgb_;
  std::vector<QRgb> scratch_;
};

// DjVu coordinates are pixels from the bottom-left corner: of the page as
// shown (turned by its orientation) for map areas, of the unturned page for
// hidden text.
class TPageScale {
 public:
  explicit TPageScale(const ddjvu_pageinfo_t& info)
      : mmPerPixel_(25.4 / info.dpi), turns_(info.rotation & 3), height_(info.height) {
    unturnedWidth_ = turns_ % 2 ? info.height : info.width;
    unturnedHeight_ = turns_ % 2 ? info.width : info.height;
  }

  TPluginPoint Point(double x, double y) const { return Mm(x, height_ - y); }

  // box holds x0, y0, x1, y1 of the unturned page in its fields left to bottom.
  TPluginRect TextBox(const TPluginRect& box) const {
    const TPluginPoint a = Turned(box.Left, box.Top), b = Turned(box.Right, box.Bottom);
    return {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
  }

 private:
  TPluginPoint Mm(double x, double y) const { return {x * mmPerPixel_, y * mmPerPixel_}; }

  // The point shown after the page's counter-clockwise quarter turns.
  TPluginPoint Turned(double x, double y) const {
    const double w = unturnedWidth_, h = unturnedHeight_, v = h - y;
    switch (turns_) {
      case 1:
        return Mm(v, w - x);
      case 2:
        return Mm(w - x, h - v);
      case 3:
        return Mm(h - v, x);
      default:
        return Mm(x, v);
    }
  }

  double mmPerPixel_;
  int turns_;
  int height_;
  int unturnedWidth_;
  int unturnedHeight_;
};

std::string Name(miniexp_t expression) {
  const char* name = miniexp_symbolp(expression) ? miniexp_to_name(expression) : nullptr;
  return name ? name : "";
}

QString Utf8String(miniexp_t expression) {
  return miniexp_stringp(expression) ? QString::fromUtf8(miniexp_to_str(expression)) : QString();
}

int Int(miniexp_t list, int index) {
  const miniexp_t value = miniexp_nth(index, list);
  return miniexp_numberp(value) ? miniexp_to_int(value) : 0;
}

// A zone is (type x0 y0 x1 y1 content...); its content is a string or zones.
TPluginRect ZoneBox(miniexp_t zone) {
  return {double(Int(zone, 1)), double(Int(zone, 2)), double(Int(zone, 3)), double(Int(zone, 4))};
}

// Characters are cut along the unturned line, then turned with the page.
std::vector<TPluginRect> Cells(miniexp_t zone, int count, const TPageScale& scale) {
  std::vector<TPluginRect> cells = TPageTextBuilder::SplitEvenly(ZoneBox(zone), count);
  for (TPluginRect& cell : cells) cell = scale.TextBox(cell);
  return cells;
}

miniexp_t ZoneContent(miniexp_t zone) {
  return miniexp_cddr(miniexp_cdddr(zone));
}

// A word's characters: its own char zones, or its box cut in equal cells.
void AddWord(TPageTextBuilder& builder, miniexp_t zone, const TPageScale& scale) {
  const miniexp_t content = ZoneContent(zone);
  if (miniexp_stringp(miniexp_car(content))) {
    const QString text = Utf8String(miniexp_car(content));
    builder.AddWord(text, Cells(zone, int(text.size()), scale));
    return;
  }
  QString text;
  std::vector<TPluginRect> rects;
  for (miniexp_t rest = content; miniexp_consp(rest); rest = miniexp_cdr(rest)) {
    const QString character = Utf8String(miniexp_nth(5, miniexp_car(rest)));
    const auto cells = Cells(miniexp_car(rest), int(character.size()), scale);
    text += character;
    rects.insert(rects.end(), cells.begin(), cells.end());
  }
  builder.AddWord(text, rects);
}

void AddZone(TPageTextBuilder& builder, miniexp_t zone, const TPageScale& scale) {
  const std::string type = Name(miniexp_car(zone));
  if (type == "word" || type == "char") {
    AddWord(builder, zone, scale);
    if (type == "word") builder.AddSpace();
    return;
  }
  const miniexp_t content = ZoneContent(zone);
  if (miniexp_stringp(miniexp_car(content))) {
    // A line (or larger zone) that stores its text without words.
    AddWord(builder, zone, scale);
  } else {
    for (miniexp_t rest = content; miniexp_consp(rest); rest = miniexp_cdr(rest))
      AddZone(builder, miniexp_car(rest), scale);
  }
  builder.EndLine();
}

std::vector<TPluginPoint> Oval(const TPageScale& scale, int x, int y, int w, int h) {
  std::vector<TPluginPoint> points;
  for (int i = 0; i < kOvalVertices; ++i) {
    const double angle = 2 * std::numbers::pi * i / kOvalVertices;
    points.push_back(scale.Point(x + w / 2.0 * (1 + std::cos(angle)), y + h / 2.0 * (1 + std::sin(angle))));
  }
  return points;
}

// The clickable shape of a map area; empty for shapes that are no area (lines).
std::vector<TPluginPoint> AreaPoints(miniexp_t shape, const TPageScale& scale) {
  const std::string type = Name(miniexp_car(shape));
  const int x = Int(shape, 1), y = Int(shape, 2), w = Int(shape, 3), h = Int(shape, 4);
  if (type == "rect" || type == "text") return {scale.Point(x, y + h), scale.Point(x + w, y)};
  if (type == "oval") return Oval(scale, x, y, w, h);
  if (type != "poly") return {};
  std::vector<TPluginPoint> points;
  for (miniexp_t rest = miniexp_cdr(shape); miniexp_consp(rest) && miniexp_consp(miniexp_cdr(rest));
       rest = miniexp_cddr(rest))
    points.push_back(scale.Point(Int(rest, 0), Int(rest, 1)));
  return points;
}

// A page number of at most nine digits; nullopt for anything else.
std::optional<int> Number(const std::string& text) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  return std::stoi(text);
}

}  // namespace

const char* BackendFormat() {
  return "djvu";
}

std::unique_ptr<TBackendDocument> CreateBackendDocument() {
  return std::make_unique<TDjvuDocument>();
}

void TDjvuDocument::Open(const std::string& path) {
  // Every file is offered to us first; others are refused before they are read whole.
  if (!ReadDocumentFile(path, 8).startsWith("AT&TFORM")) throw EOtherFormat("Not a DjVu file");
  const QByteArray data = ReadDocumentFile(path);
  const std::size_t slash = path.rfind('/');
  auto session =
      std::make_shared<TDjvuSession>(data, slash == std::string::npos ? "./" : path.substr(0, slash + 1));
  // A file cut short may still list its pages; one whose first page is gone shows nothing.
  if (session->PageCount() > 0) session->PageInfo(0);
  session_ = std::move(session);
  path_ = path;
}

int TDjvuDocument::PageCount() const {
  return session_ ? session_->PageCount() : 0;
}

TPageGeometry TDjvuDocument::Geometry(int page) {
  const ddjvu_pageinfo_t info = session_->PageInfo(page - 1);
  return {info.width * 25.4 / info.dpi, info.height * 25.4 / info.dpi, info.width, info.height,
          std::to_string(page)};
}

std::unique_ptr<TBackendPage> TDjvuDocument::LoadPage(int page) {
  return std::make_unique<TDjvuPage>(session_, session_->DecodedPage(page - 1));
}

TPageText TDjvuDocument::Text(int page) {
  const TPageScale scale(session_->PageInfo(page - 1));
  const TDjvuExpression text(*session_, session_->PageText(page - 1));
  TPageTextBuilder builder;
  if (miniexp_consp(text.Get())) AddZone(builder, text.Get(), scale);
  return builder.Take();
}

std::optional<int> TDjvuDocument::TargetPage(const std::string& target, int from) {
  std::optional<int> page;
  if (!target.empty() && (target[0] == '+' || target[0] == '-')) {
    const std::optional<int> offset = Number(target.substr(1));
    if (offset) page = target[0] == '+' ? from + *offset : from - *offset;
  } else {
    page = Number(target);
  }
  if (!page) page = session_->PageOfFile(target) + 1;
  if (*page < 1 || *page > PageCount()) return std::nullopt;
  return page;
}

// (maparea url comment shape ...), url a string or (url target frame); its
// bytes name a file as they stand.
std::optional<TLinkText> TDjvuDocument::LinkText(miniexp_t url, int page) {
  const miniexp_t string = miniexp_stringp(url) ? url : miniexp_car(url);
  const std::string address = miniexp_stringp(string) ? miniexp_to_str(string) : "";
  if (address.empty()) return std::nullopt;
  if (address[0] != '#') return UriLinkText(path_, address);
  const std::optional<int> target = TargetPage(address.substr(1), page);
  if (!target) return std::nullopt;
  return GotoLinkText(*target);
}

std::vector<TPageLink> TDjvuDocument::Links(int page) {
  const TPageScale scale(session_->PageInfo(page - 1));
  const TDjvuExpression annotations(*session_, session_->PageAnnotations(page - 1));
  std::vector<TPageLink> links;
  if (!miniexp_consp(annotations.Get())) return links;
  const std::unique_ptr<miniexp_t, decltype(&std::free)> areas(ddjvu_anno_get_hyperlinks(annotations.Get()),
                                                               &std::free);
  for (miniexp_t* area = areas.get(); area && *area; ++area) {
    const std::optional<TLinkText> text = LinkText(miniexp_nth(1, *area), page);
    std::vector<TPluginPoint> points = AreaPoints(miniexp_nth(3, *area), scale);
    if (text && points.size() >= 2) links.push_back({std::move(points), *text});
  }
  return links;
}

// (bookmarks (title url child...) ...)
std::vector<TOutlineItem> TDjvuDocument::OutlineItems(miniexp_t items, int depth, bool& cut) {
  std::vector<TOutlineItem> result;
  for (miniexp_t rest = items; miniexp_consp(rest); rest = miniexp_cdr(rest)) {
    const miniexp_t item = miniexp_car(rest);
    TOutlineItem entry;
    entry.Title = Utf8String(miniexp_nth(0, item)).toStdString();
    const std::string url = Utf8String(miniexp_nth(1, item)).toStdString();
    if (url.size() > 1 && url[0] == '#') entry.Page = TargetPage(url.substr(1), 1).value_or(0);
    const miniexp_t children = miniexp_cddr(item);
    if (miniexp_consp(children) && depth == kMaxOutlineDepth) cut = true;
    if (depth < kMaxOutlineDepth) entry.Children = OutlineItems(children, depth + 1, cut);
    result.push_back(std::move(entry));
  }
  return result;
}

TBookOutline TDjvuDocument::Outline() {
  TBookOutline outline;
  outline.Title = QFileInfo(DisplayPath(path_)).completeBaseName().toStdString();
  outline.PageCount = PageCount();
  const TDjvuExpression bookmarks(*session_, session_->Outline());
  bool cut = false;
  if (miniexp_consp(bookmarks.Get())) outline.Items = OutlineItems(miniexp_cdr(bookmarks.Get()), 1, cut);
  if (cut) LogOutlineCut(DisplayPath(path_));
  return outline;
}
