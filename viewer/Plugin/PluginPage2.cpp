#include "viewer/Plugin/PluginPage2.h"

#include <algorithm>
#include <cstring>

#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "platform/StrUtils.h"
#include "viewer/Plugin/PluginContext.h"
#include "viewer/Plugin/PluginDocument.h"

namespace {

constexpr char kSelected = '*';
constexpr char kFlagged = '_';
// Bounds on what a plug-in may claim, so a wild answer costs no endless loop or allocation.
constexpr int kMaxLinkAreas = 10000;
constexpr int kMaxVertices = 100000;

// Whether the span a0..a1 meets s0..s1; a span of no length meets what it lies in.
bool SpanMeets(double a0, double a1, double s0, double s1) {
  if (s0 == s1) return a0 <= s0 && s0 < a1;
  return std::max(a0, s0) < std::min(a1, s1);
}

// A character meets the selection area; an area of no width (or no height) is a
// line through the characters, as a straight drag up or down gives.
bool Meets(const TPluginRect& character, const TPluginRect& area) {
  if (PluginRectEmpty(character)) return false;
  return SpanMeets(character.Left, character.Right, area.Left, area.Right) &&
         SpanMeets(character.Top, character.Bottom, area.Top, area.Bottom);
}

std::unique_ptr<TSelInfo> MakeSelInfo(int layer, const TPluginRect& r) {
  if (layer == 1) return std::make_unique<TSelInfo1>(r);
  return std::make_unique<TSelInfo2>(r);
}

}  // namespace

TPluginPage2::TPluginPage2(TPluginDocument* Document, int PageNumber)
    : TPluginPage(Document, PageNumber), pageNumber_(PageNumber) {}

// The context goes before the page, which the base destructor destroys.
TPluginPage2::~TPluginPage2() {
  context_.reset();
}

void TPluginPage2::LoadText() {
  if (context_) return;
  const TPluginLogScope logScope = LogScope();
  context_ = std::make_unique<TPluginContext>(*Document());
  context_->SetPage(pageNumber_);
  const char* text = nullptr;
  std::int32_t length = 0;
  context_->GetText(text, length);
  text_ = text && length > 0 ? std::string(text, std::size_t(length)) : std::string();
  for (std::string& mask : masks_) mask.assign(text_.size(), ' ');
  dirty_ = true;
}

std::string TPluginPage2::GetText() {
  LoadText();
  return text_;
}

int TPluginPage2::GetTextLength() {
  LoadText();
  return int(text_.size());
}

void TPluginPage2::SetLayer(int L) {
  if (L >= 0 && L < LayerCount) layer_ = L;
}

void TPluginPage2::ClearSelection() {
  std::string& mask = masks_[std::size_t(layer_)];
  mask.assign(mask.size(), ' ');
  dirty_ = true;
}

void TPluginPage2::MarkRange(int From, int To, char Mark) {
  std::string& mask = masks_[std::size_t(layer_)];
  From = std::max(From, 1);
  To = std::min(To, int(mask.size()));
  for (int i = From; i <= To; ++i) mask[std::size_t(i - 1)] = Mark;
  dirty_ = true;
}

void TPluginPage2::SelectRange(int From, int To) {
  LoadText();
  MarkRange(From, To, kSelected);
}

void TPluginPage2::FlagRange(int From, int To) {
  MarkRange(From, To, kFlagged);
}

std::string TPluginPage2::GetSelectedText() {
  LoadText();
  const std::string& mask = masks_[std::size_t(layer_)];
  std::string selected;
  for (std::size_t i = 0; i < mask.size(); ++i) {
    if (mask[i] == kSelected) selected += text_[i];
  }
  return selected;
}

TPluginRect TPluginPage2::CharRect(int i) {
  TPluginRect r{};
  if (context_) context_->ReadRects(&r, i, 1);
  return r;
}

void TPluginPage2::SelectRect(const TRect& Rect) {
  LoadText();
  if (Rect.Left == Rect.Right && Rect.Top == Rect.Bottom) {
    ClearSelection();
    return;
  }
  // A band dragged up or to the left arrives with its corners swapped.
  const double sx = WidthMm() / RenderWidth(), sy = HeightMm() / RenderHeight();
  const TPluginRect area =
      RotateRect({std::min(Rect.Left, Rect.Right) * sx, std::min(Rect.Top, Rect.Bottom) * sy,
                  std::max(Rect.Left, Rect.Right) * sx, std::max(Rect.Top, Rect.Bottom) * sy});
  int first = 0, last = 0;
  const int n = int(masks_[std::size_t(layer_)].size());
  for (int i = 0; i < n; ++i) {
    if (!Meets(CharRect(i), area)) continue;
    if (first == 0) first = i + 1;
    last = i + 1;
  }
  if (first > 0) SelectRange(first, last);
}

TPluginRect TPluginPage2::RotateRect(const TPluginRect& In) const {
  const double w = WidthMm(), h = HeightMm();
  switch (PageInfo().Rotation & 3) {
    case 1:
      return {In.Top, w - In.Right, In.Bottom, w - In.Left};
    case 2:
      return {In.Left, h - In.Bottom, In.Right, h - In.Top};
    case 3:
      return {h - In.Bottom, In.Left, h - In.Top, In.Right};
    default:
      return In;
  }
}

void TPluginPage2::AddSelInfo(std::unique_ptr<TSelInfo> Info) {
  if (Info) selection_[std::size_t(layer_)].push_back(std::move(Info));
}

void TPluginPage2::RebuildSelection() {
  for (int layer = 0; layer < LayerCount; ++layer) RebuildLayer(layer);
}

// One rectangle per run of marked characters that stay on one line; inflated
// rectangles only decide the joining, the true ones are united.
void TPluginPage2::RebuildLayer(int Layer) {
  auto& list = selection_[std::size_t(Layer)];
  list.clear();
  const std::string& mask = masks_[std::size_t(Layer)];
  const int n = int(mask.size());
  // Only selected characters are drawn; flagged ones ("_") are kept in the
  // mask but show nothing.
  const auto marked = [&](int j) { return mask[std::size_t(j - 1)] == kSelected; };
  int j = 1;
  while (j <= n) {
    if (!marked(j)) {
      ++j;
      continue;
    }
    TPluginRect r = CharRect(j - 1);
    if (PluginRectEmpty(r)) {
      ++j;
      continue;
    }
    TPluginRect prev = r, run = r;
    int k = j + 1;
    for (; k <= n && marked(k); ++k) {
      r = CharRect(k - 1);
      if (PluginRectEmpty(r)) continue;
      const TPluginRect wide = PluginRectInflated(prev);
      if (PluginRectsOverlap(wide, PluginRectInflated(r)) || PluginRectsOnSameLine(wide, r)) {
        run = PluginRectUnion(run, r);
      } else {
        list.push_back(MakeSelInfo(Layer, run));
        run = r;
      }
      prev = r;
    }
    list.push_back(MakeSelInfo(Layer, run));
    j = k + 1;
  }
}

void TPluginPage2::DrawSelInfo(TCanvas& Canvas, const TSelInfo& Info, const TPoint& Origin) {
  const double sx = RenderWidth() / WidthMm(), sy = RenderHeight() / HeightMm();
  Info.Draw(Canvas, RoundHalfEven(sx * Info.Rect.Left) - Origin.X,
            RoundHalfEven(sy * Info.Rect.Top) - Origin.Y, RoundHalfEven(sx * Info.Rect.Right) - Origin.X,
            RoundHalfEven(sy * Info.Rect.Bottom) - Origin.Y);
}

void TPluginPage2::DrawSelection(TCanvas& Canvas, const TRect&, const TPoint& Origin) {
  // The canvas belongs to the caller: its pen and brush come back as they were.
  const TPen pen = Canvas.Pen;
  const TBrush brush = Canvas.Brush;
  for (const auto& layer : selection_) {
    for (const auto& info : layer) DrawSelInfo(Canvas, *info, Origin);
  }
  Canvas.Pen = pen;
  Canvas.Brush = brush;
}

int TPluginPage2::Render(TCanvas& Canvas, const TRect& Rect, const TPoint& Origin) {
  const int result = TPluginPage::Render(Canvas, Rect, Origin);
  if (dirty_) {
    RebuildSelection();
    dirty_ = false;
  }
  DrawSelection(Canvas, Rect, Origin);
  return result;
}

TPluginLinkAreaList& TPluginPage2::GetLinkAreas() {
  if (!linkAreasLoaded_) {
    LoadLinkAreas();
    linkAreasLoaded_ = true;
  }
  return linkAreas_;
}

void TPluginPage2::LoadLinkAreas() {
  linkAreas_.Clear();
  LoadText();
  const int areas = std::min(context_->ReadActiveRectsCount(), kMaxLinkAreas);
  std::vector<char> text(FOLIO_LINK_TEXT_SIZE);
  for (int i = 0; i < areas; ++i) {
    std::int32_t count = 0;
    context_->ReadActiveRects(i, count, nullptr, nullptr, 0);
    if (count < 2 || count > kMaxVertices) continue;
    std::vector<TPluginPoint> points(static_cast<std::size_t>(count));
    const std::int32_t told = count;
    std::fill(text.begin(), text.end(), '\0');
    context_->ReadActiveRects(i, count, points.data(), text.data(), int(text.size()));
    if (count != told) throw Exception("Заявленное количество вершин изменилось - странно"_cp);
    auto area = count == 2 ? TPluginLinkArea::CreateRect(points.data())
                           : TPluginLinkArea::CreatePolygon(count, points.data());
    area->Reader->Parse(std::string(text.data(), strnlen(text.data(), text.size())));
    area->Reader->NativeNames = context_->NativeLinkNames();
    linkAreas_.Add(std::move(area));
  }
}

namespace {

// A pixel of the rendered page in whole millimetres.
void PageMillimetres(const TPluginPage& page, int x, int y, int& xm, int& ym) {
  xm = RoundHalfEven(x * page.WidthMm() / page.RenderWidth());
  ym = RoundHalfEven(y * page.HeightMm() / page.RenderHeight());
}

}  // namespace

int PageHitAll(TPluginPage& Page, int X, int Y, TPluginLinkAreaList* Target) {
  try {
    // Clearing an owning list would free its areas; HitAll refuses such a target below.
    if (Target && !Target->OwnsObjects()) Target->Clear();
    int xm, ym;
    PageMillimetres(Page, X, Y, xm, ym);
    TPluginLinkAreaList& areas = Page.GetLinkAreas();
    if (Target) return areas.HitAll(xm, ym, *Target);
    return areas.AnyHit(xm, ym) ? 1 : 0;
  } catch (const std::exception&) {
    return 0;
  }
}

bool PageAnyHit(const TPluginPage& Page, int X, int Y, const TPluginLinkAreaList& List) {
  try {
    int xm, ym;
    PageMillimetres(Page, X, Y, xm, ym);
    return List.AnyHit(xm, ym);
  } catch (const std::exception&) {
    return false;
  }
}
