#include "viewer/PageView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/Clipboard.h"
#include "platform/Screen.h"
#include "platform/StrUtils.h"
#include "viewer/Plugin/FileManager.h"
#include "viewer/Plugin/PluginDocument.h"
#include "viewer/Plugin/PluginGlobals.h"
#include "viewer/Plugin/PluginPage2.h"

namespace {

// A page without one tells the size of an A4 sheet.
constexpr TPluginRect kA4{0, 0, 210, 297};
// The back buffer keeps this share of the parent's client size beyond each
// of its edges, so that panning a few pixels repaints from memory.
constexpr int kBufferMarginDivisor = 8;

TPluginDocument* OpenInFileManager(const std::string& name) {
  return FileManager ? FileManager->Open(name) : nullptr;
}

// One axis of the constrained placement: a page larger than the client leaves
// no gap beside it, a smaller one is centred or kept inside.
int ConstrainAxis(int pos, int size, int lo, int hi, bool centre) {
  const int extent = hi - lo;
  if (size > extent) {
    if (pos > lo && pos + size > hi) pos = lo;
    if (pos < lo && pos + size < hi) pos = hi - size;
    return pos;
  }
  if (centre) return lo + (extent - size) / 2;
  pos = std::max(pos, lo);
  return pos + size > hi ? hi - size : pos;
}

// The bitmap's pixels as Qt's RGB32, without a copy: every pixel the view
// draws is opaque, as RGB32 requires, and Qt copies RGB32 rows unconverted
// to a screen of RGB32 or premultiplied ARGB32 alike (premultiplied rows
// going to an RGB32 screen would be divided by their alpha, pixel by pixel).
QImage ScreenImage(const TBitmap& bitmap) {
  const QImage& image = bitmap.Image();
  return QImage(image.constBits(), image.width(), image.height(), image.bytesPerLine(), QImage::Format_RGB32);
}

// Paints region (view pixels) from bitmap, whose top-left pixel shows view
// pixel origin, rectangle by rectangle: Qt copies an image straight into the
// screen's pixels only under a rectangular clip, and under any other blends
// it span by span on its thread pool.
void DrawImage(QPainter& painter, const QRegion& region, const TBitmap& bitmap, const TPoint& origin) {
  const QImage image = ScreenImage(bitmap);
  for (const QRect& r : region) {
    painter.setClipRect(r);
    painter.drawImage(r, image, r.translated(-origin.X, -origin.Y));
  }
}

// Moves the w x h pixels at (sx, sy) of bitmap to (dx, dy), all within it, in
// place: rows are taken in the order that reads each before it is written.
void MovePixels(TBitmap& bitmap, int sx, int sy, int w, int h, int dx, int dy) {
  const auto move = [&](int y) {
    std::memmove(bitmap.ScanLine(dy + y) + dx, bitmap.ScanLine(sy + y) + sx, std::size_t(w) * 4);
  };
  if (dy <= sy) {
    for (int y = 0; y < h; ++y) move(y);
  } else {
    for (int y = h - 1; y >= 0; --y) move(y);
  }
}

// The parts of area outside kept (which lies within it): the rows above and
// below, and the pieces left and right of kept between them.
std::vector<TRect> Surrounding(const TRect& area, const TRect& kept) {
  std::vector<TRect> parts{::Rect(area.Left, area.Top, area.Right, kept.Top),
                           ::Rect(area.Left, kept.Bottom, area.Right, area.Bottom),
                           ::Rect(area.Left, kept.Top, kept.Left, kept.Bottom),
                           ::Rect(kept.Right, kept.Top, area.Right, kept.Bottom)};
  std::erase_if(parts, [](const TRect& r) { return r.IsEmpty(); });
  return parts;
}

// Pixels per millimetre of the screen across.
double ScreenPixelsPerMm() {
  const int res = ScreenDeviceCaps(HORZRES), size = ScreenDeviceCaps(HORZSIZE);
  return res > 0 && size > 0 ? double(res) / size : 96 / 25.4;
}

}  // namespace

void NormalizeRect(TRect& r) {
  if (r.Left > r.Right) std::swap(r.Left, r.Right);
  if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
}

TPluginPageView::TPluginPageView(QObject* AOwner) : TCustomControl(AOwner) {
  DoubleBuffered = true;
  // Every paint covers its whole rectangle, so Qt need not clear it, nor paint
  // the parent beneath it, first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  SetBounds(0, 0, 100, 100);
}

TPluginPageView::~TPluginPageView() {
  // The file manager frees its documents and their pages at shutdown; after
  // that there is nothing left to give back.
  if (!FileManager) return;
  Deactivate();
  HoldDocument(nullptr);
}

// --- Activation ---

void TPluginPageView::SetActive(bool value) {
  if (value && !active_) Activate();
  if (!value && active_) Deactivate();
}

void TPluginPageView::Activate() {
  TPluginDocument* doc = OpenInFileManager(fileName_);
  if (!doc) return;
  HoldDocument(doc);
  if (pageIndex_ < 1 || pageIndex_ > doc->PageCount()) return;
  page_ = doc->GetPage(pageIndex_);
  if (!page_) {
    if (doc->InUse() < 1) FileManager->CloseDocument(fileName_);
    return;
  }
  // Active from here on, so a failure below still gives the page back.
  active_ = true;
  page_->SetPixelFormat(page_->PageInfo().PixelFormat);
  SetZoom(100);
  textBoundsValid_ = false;
  InvalidateBuffer();
}

void TPluginPageView::Deactivate() {
  if (!active_) return;
  HideLinkHighlight();
  pressedList_.Clear();
  pressedOnLink_ = false;
  // The page goes back to the document that made it, whatever the file manager holds now.
  if (page_ && page_->Document()) page_->Document()->ReleasePage(page_);
  page_ = nullptr;
  active_ = false;
  textBoundsValid_ = false;
  InvalidateBuffer();
}

void TPluginPageView::HoldDocument(TPluginDocument* doc) {
  if (doc) doc->AddRef();
  TPluginDocument* previous = document_;
  document_ = doc;
  if (previous) previous->Release();
}

void TPluginPageView::SetFileName(const std::string& name) {
  if (name == fileName_) return;
  const bool wasActive = active_;
  SetActive(false);
  fileName_ = name;
  SetActive(wasActive);
  textBoundsValid_ = false;
  InvalidateBuffer();
}

void TPluginPageView::SetPageIndex(int n) {
  if (n == pageIndex_) return;
  const bool wasActive = active_;
  // The page goes back before the document reference changes: dropping the
  // last reference frees the document together with its pages.
  SetActive(false);
  TPluginDocument* doc = OpenInFileManager(fileName_);
  HoldDocument(doc);
  pageIndex_ = n;
  textBoundsValid_ = false;
  SetActive(wasActive && doc != nullptr);
}

void TPluginPageView::SetPageName(const std::string& name) {
  if (name == pageName_) return;
  const bool wasActive = active_;
  SetActive(false);
  pageName_ = name;
  textBoundsValid_ = false;
  SetActive(wasActive);
}

int TPluginPageView::PageCount() const {
  return page_ && document_ ? document_->PageCount() : 0;
}

bool TPluginPageView::NativePageSize(int& width, int& height) const {
  if (!page_ || page_->NativeWidth() == 0 || page_->NativeHeight() == 0) return false;
  width = page_->NativeWidth();
  height = page_->NativeHeight();
  return true;
}

// --- Zoom and placement ---

TRect TPluginPageView::ParentClient() const {
  return Parent() ? Parent()->ClientRect() : ClientRect();
}

void TPluginPageView::SetZoom(int value) {
  if (!page_) return;
  SaveCentre();
  const TRect client = ParentClient();
  const int oldW = page_->RenderWidth(), oldH = page_->RenderHeight();
  int w = client.Width(), h = client.Height();
  if (!page_->CalcZoom(value, w, h) || !AcceptRenderSize(oldW, oldH)) return;
  RestoreCentre(w, h);
  zoom_ = value;
  InvalidateBuffer();
}

bool TPluginPageView::AcceptRenderSize(int oldW, int oldH) {
  // Only the part in the window is ever rendered and kept, so the page's size
  // costs no memory: the limit is the largest control.
  if (page_->RenderWidth() <= QWIDGETSIZE_MAX && page_->RenderHeight() <= QWIDGETSIZE_MAX) return true;
  page_->SetSize(oldW, oldH, FOLIO_SIZE_EXACT);
  return false;
}

void TPluginPageView::SaveCentre() {
  const TRect client = ParentClient();
  centreRatioX_ = Width() > 0 ? (std::abs(Left()) + client.Width() / 2) / double(Width()) : 0.5;
  centreRatioY_ = Height() > 0 ? (std::abs(Top()) + client.Height() / 2) / double(Height()) : 0.5;
}

void TPluginPageView::RestoreCentre(int w, int h) {
  const TRect client = ParentClient();
  SetBoundsConstrained(RoundHalfEven(client.Width() / 2.0 - w * centreRatioX_),
                       RoundHalfEven(client.Height() / 2.0 - h * centreRatioY_), w, h);
}

void TPluginPageView::ZoomFromSize() {
  if (!page_) return;
  zoom_ = RoundHalfEven(page_->RenderWidth() * 100 / (ScreenPixelsPerMm() * page_->WidthMm()));
}

bool TPluginPageView::RenderSizeIsViewSize() const {
  return page_->RenderWidth() == Width() && page_->RenderHeight() == Height();
}

void TPluginPageView::ApplyFit(int left, int top) {
  const bool same = RenderSizeIsViewSize();
  SetBoundsConstrained(left, top, page_->RenderWidth(), page_->RenderHeight());
  if (same) return;
  ZoomFromSize();
  InvalidateBuffer();
}

void TPluginPageView::FitClient() {
  if (!page_) return;
  const TRect client = ParentClient();
  const int cw = client.Width(), ch = client.Height();
  int aw = cw, ah = ch;
  const bool aFits = page_->SetSize(aw, ah, FOLIO_SIZE_FIT_WIDTH) && ah <= ch;
  int bw = cw, bh = ch;
  const bool bFits = page_->SetSize(bw, bh, FOLIO_SIZE_FIT_HEIGHT) && bw <= cw;
  // Equal areas go to the height-given size, which the page holds already.
  if (aFits && (!bFits || std::int64_t(aw) * ah > std::int64_t(bw) * bh)) {
    aw = cw;
    ah = ch;
    page_->SetSize(aw, ah, FOLIO_SIZE_FIT_WIDTH);
  }
  ApplyFit(client.Left, client.Top);
}

void TPluginPageView::FitWidth(int W) {
  if (!page_) {
    SetBounds(Left(), Top(), W, 1);
    return;
  }
  const int oldW = page_->RenderWidth(), oldH = page_->RenderHeight();
  int w = W, h = 1;
  page_->SetSize(w, h, FOLIO_SIZE_FIT_WIDTH);
  if (AcceptRenderSize(oldW, oldH)) ApplyFit(ParentClient().Left, Top());
}

void TPluginPageView::FitHeight(int H) {
  if (!page_) return;
  const int oldW = page_->RenderWidth(), oldH = page_->RenderHeight();
  int w = 1, h = H;
  page_->SetSize(w, h, FOLIO_SIZE_FIT_HEIGHT);
  if (AcceptRenderSize(oldW, oldH)) ApplyFit(Left(), ParentClient().Top);
}

void TPluginPageView::SetPageBounds(int left, int top, int w, int h) {
  if (page_ && (w != Width() || h != Height())) {
    const int oldW = page_->RenderWidth(), oldH = page_->RenderHeight();
    if (page_->SetSize(w, h, FOLIO_SIZE_EXACT)) AcceptRenderSize(oldW, oldH);
    // The view always takes the size the page renders at, refused or not.
    w = page_->RenderWidth();
    h = page_->RenderHeight();
    bufferValid_ = false;
    bufferFailed_ = false;
  }
  SetBoundsConstrained(left, top, w, h);
}

void TPluginPageView::Reposition() {
  SetBoundsConstrained(Left(), Top(), Width(), Height());
}

void TPluginPageView::SetBoundsConstrained(int L, int T, int W, int H) {
  if (!AllowConstains) {
    SetBounds(L, T, W, H);
    return;
  }
  if (!Parent()) return;
  const TRect r = Parent()->ClientRect();
  SetBounds(ConstrainAxis(L, W, r.Left, r.Right, AllowCenter),
            ConstrainAxis(T, H, r.Top, r.Bottom, AllowCenter), W, H);
}

void TPluginPageView::SetBounds(int left, int top, int width, int height) {
  // Qt moves the pixels of an opaque control on the screen along with it,
  // which under X keeps a copy of the window on the server: the first pan
  // after each zoom uploaded it whole. Opaque only while painting, the view
  // paints its new place from its buffer instead.
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  TCustomControl::SetBounds(left, top, width, height);
  setAttribute(Qt::WA_OpaquePaintEvent, true);
}

double TPluginPageView::PageWidth() const {
  return page_ ? page_->WidthMm() : kA4.Right;
}

double TPluginPageView::PageHeight() const {
  return page_ ? page_->HeightMm() : kA4.Bottom;
}

// --- Painting ---

void TPluginPageView::SetBuffered(bool value) {
  if (!page_) return;
  if (page_->PageInfo().Flags & FOLIO_PAGE_NO_BUFFER) {
    buffered_ = false;
    return;
  }
  if (value == buffered_) return;
  buffered_ = value;
  bufferValid_ = false;
  bufferFailed_ = false;
}

void TPluginPageView::InvalidateBuffer() {
  bufferValid_ = false;
  bufferFailed_ = false;
  Invalidate();
}

void TPluginPageView::SetAllowShowTextRange(bool value) {
  if (value == allowShowTextRange_) return;
  allowShowTextRange_ = value;
  Invalidate();
}

void TPluginPageView::paintEvent(QPaintEvent* e) {
  const TRect bounds = IntersectRect(FromQRect(e->rect()), ClientRect());
  if (bounds.IsEmpty()) return;
  QPainter painter(this);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  if (!PaintBufferOnly(painter, e->region(), bounds)) PaintFrame(painter, e->region(), bounds);
  const TRect client = ParentClient();
  if (std::int64_t(frame_.Width()) * frame_.Height() > std::int64_t(client.Width()) * client.Height())
    frame_.SetSize(0, 0);
}

void TPluginPageView::PaintFrame(QPainter& painter, const QRegion& region, const TRect& bounds) {
  if (frame_.Width() < bounds.Width() || frame_.Height() < bounds.Height())
    frame_.SetSize(std::max(frame_.Width(), bounds.Width()), std::max(frame_.Height(), bounds.Height()));
  const TPoint origin{bounds.Left, bounds.Top};
  TCanvas& canvas = frame_.Canvas();
  PaintPage(canvas, bounds, origin);
  DrawLinkHighlights(canvas, origin);
  DrawRubberBand(canvas, origin);
  DrawImage(painter, region, frame_, origin);
}

bool TPluginPageView::PaintBufferOnly(QPainter& painter, const QRegion& region, const TRect& bounds) {
  if (!page_ || !buffered_ || bufferFailed_ || allowShowTextRange_ || mouseSelecting_ ||
      outlineList_.Count() > 0)
    return false;
  if (IntersectRect(bounds, KeptArea()) != bounds) return false;
  EnsureBuffer(bounds);
  if (bufferFailed_) return false;
  DrawImage(painter, region, bufferBitmap_, {bufferArea_.Left, bufferArea_.Top});
  return true;
}

TRect TPluginPageView::PageRect() const {
  return page_ ? ::Rect(0, 0, page_->RenderWidth(), page_->RenderHeight()) : TRect{};
}

TRect TPluginPageView::KeptArea() const {
  if (!page_) return {};
  if (!Parent()) return IntersectRect(ClientRect(), PageRect());
  const TRect client = Parent()->ClientRect();
  const TRect shown = IntersectRect(client.Offset(-Left(), -Top()), ClientRect());
  if (shown.IsEmpty()) return {};
  const TRect kept =
      shown.Inflated(client.Width() / kBufferMarginDivisor, client.Height() / kBufferMarginDivisor);
  return IntersectRect(IntersectRect(kept, ClientRect()), PageRect());
}

void TPluginPageView::PaintPage(TCanvas& Canvas, const TRect& Rect, const TPoint& Origin) {
  const auto onCanvas = [&](const TRect& r) { return r.Offset(-Origin.X, -Origin.Y); };
  Canvas.Brush.Color = Color();
  Canvas.Brush.Style = TBrushStyle::bsSolid;
  if (!page_) {
    Canvas.FillRect(onCanvas(Rect));
    bufferBitmap_.SetSize(0, 0);
    return;
  }
  const int rw = page_->RenderWidth(), rh = page_->RenderHeight();
  if (Width() > rw)
    Canvas.FillRect(onCanvas(IntersectRect(::Rect(rw, 0, Width(), std::min(Height(), rh)), Rect)));
  if (Height() > rh) Canvas.FillRect(onCanvas(IntersectRect(::Rect(0, rh, Width(), Height()), Rect)));
  const TRect onPage = IntersectRect(Rect, PageRect());
  // A part beyond what the buffer keeps (a picture of the whole view) is
  // rendered for this paint only.
  if (!buffered_ || bufferFailed_ || IntersectRect(onPage, KeptArea()) != onPage) {
    // A render that fails must not leave an earlier picture showing.
    Canvas.FillRect(onCanvas(onPage));
    page_->Render(Canvas, Rect, Origin);
  } else {
    PaintFromBuffer(Canvas, onPage, Origin);
  }
  if (allowShowTextRange_) {
    Canvas.Brush.Color = clRed;
    Canvas.FrameRect(onCanvas(GetTextRangeRect()));
  }
}

void TPluginPageView::PaintFromBuffer(TCanvas& Canvas, const TRect& Rect, const TPoint& Origin) {
  EnsureBuffer(Rect);
  if (bufferFailed_) {
    bufferValid_ = true;
    Canvas.FillRect(Rect.Offset(-Origin.X, -Origin.Y));
    page_->Render(Canvas, Rect, Origin);
    return;
  }
  BitBlt(Canvas.Bitmap(), Rect.Left - Origin.X, Rect.Top - Origin.Y, Rect.Width(), Rect.Height(),
         bufferBitmap_, Rect.Left - bufferArea_.Left, Rect.Top - bufferArea_.Top);
}

void TPluginPageView::EnsureBuffer(const TRect& Rect) {
  if (!bufferValid_ || IntersectRect(Rect, bufferArea_) != Rect) RebuildBuffer();
}

void TPluginPageView::RebuildBuffer() {
  try {
    const TRect kept = KeptArea();
    const int w = kept.Width(), h = kept.Height();
    // Panning keeps the bitmap: only a larger area, or one far smaller, takes a new one.
    const bool fits = bufferBitmap_.Width() >= w && bufferBitmap_.Height() >= h &&
                      std::int64_t(bufferBitmap_.Width()) * bufferBitmap_.Height() <= 2 * std::int64_t(w) * h;
    const TRect still = IntersectRect(kept, bufferArea_);
    if (bufferValid_ && fits && !still.IsEmpty()) {
      ScrollBuffer(kept, still);
    } else {
      if (!fits) {
        bufferBitmap_.SetSize(0, 0);
        bufferBitmap_.SetSize(w, h);
      }
      bufferArea_ = kept;
      bufferValid_ = page_->Render(bufferBitmap_.Canvas(), kept, {kept.Left, kept.Top}) != 0;
    }
    bufferFailed_ = false;
  } catch (const std::exception&) {
    bufferFailed_ = true;
    bufferArea_ = {};
    bufferBitmap_.SetSize(0, 0);
  }
}

void TPluginPageView::ScrollBuffer(const TRect& kept, const TRect& still) {
  MovePixels(bufferBitmap_, still.Left - bufferArea_.Left, still.Top - bufferArea_.Top, still.Width(),
             still.Height(), still.Left - kept.Left, still.Top - kept.Top);
  bufferArea_ = kept;
  for (const TRect& part : Surrounding(kept, still)) {
    // Each part is rendered on a bitmap of its own size, so that the
    // selection drawn over it ends at its edges and no pixel of the moved
    // rows is drawn over twice (inverted selections would flip back).
    TBitmap rendered(part.Width(), part.Height());
    if (page_->Render(rendered.Canvas(), part, {part.Left, part.Top}) == 0) bufferValid_ = false;
    BitBlt(bufferBitmap_, part.Left - kept.Left, part.Top - kept.Top, part.Width(), part.Height(), rendered,
           0, 0);
  }
}

// --- Text ---

TPluginRect TPluginPageView::GetTextBounds() {
  if (!page_) return kA4;
  if (!textBoundsValid_) textBoundsValid_ = page_->GetTextBounds(textBounds_);
  return textBounds_;
}

TRect TPluginPageView::GetTextRangeRect() {
  if (!page_) return ClientRect();
  const TPluginRect b = GetTextBounds();
  const double sx = Width() / page_->WidthMm(), sy = Height() / page_->HeightMm();
  return ::Rect(std::max(int(b.Left * sx), 0), std::max(int(b.Top * sy), 0),
                std::min(int(std::ceil(b.Right * sx)), Width()),
                std::min(int(std::ceil(b.Bottom * sy)), Height()));
}

void TPluginPageView::SetLayer(int layer) {
  if (page_) page_->SetLayer(layer);
}

int TPluginPageView::GetLayer() const {
  return page_ ? page_->GetLayer() : 0;
}

void TPluginPageView::ClearSelection() {
  if (page_) page_->ClearSelection();
}

void TPluginPageView::SelectRange(int from, int to) {
  if (page_) page_->SelectRange(from, to);
}

void TPluginPageView::FlagRange(int from, int to) {
  if (page_) page_->FlagRange(from, to);
}

std::string TPluginPageView::GetPageText() const {
  return page_ ? page_->GetText() : std::string();
}

int TPluginPageView::GetTextLength() const {
  return page_ ? page_->GetTextLength() : 0;
}

std::string TPluginPageView::GetSelectedText() const {
  return page_ ? page_->GetSelectedText() : std::string();
}

void TPluginPageView::RefreshIfText() {
  if (GetTextLength() > 0) InvalidateBuffer();
}

void TPluginPageView::CopyText(const std::string& text) {
  CopyTextInRussianLayout(text);
}

void TPluginPageView::CopyTextUnicode(const std::string& text) {
  SetClipboardText(text);
}

// --- Link outlines and the rubber band ---

TRect TPluginPageView::LinkAreaPixels(TPluginLinkArea& area) {
  const double sx = page_->RenderWidth() / page_->WidthMm(), sy = page_->RenderHeight() / page_->HeightMm();
  const TPluginRect b = area.GetPolygon().GetBounds();
  return ::Rect(RoundHalfEven(b.Left * sx), RoundHalfEven(b.Top * sy), RoundHalfEven(b.Right * sx) + 1,
                RoundHalfEven(b.Bottom * sy) + 1);
}

void TPluginPageView::DrawLinkArea(TCanvas& Canvas, TPluginLinkArea& area, const TPoint& origin) {
  const double sx = page_->RenderWidth() / page_->WidthMm(), sy = page_->RenderHeight() / page_->HeightMm();
  Canvas.Pen = TPen{clBlue, 1, TPenStyle::psSolid, TPenMode::pmCopy};
  Canvas.Brush.Style = TBrushStyle::bsClear;
  Canvas.Polygon(area.GetPolygon().ToPoints(sx, sy, -origin.X, -origin.Y));
}

void TPluginPageView::DrawLinkHighlights(TCanvas& Canvas, const TPoint& origin) {
  if (!page_) return;
  for (int i = 0; i < outlineList_.Count(); ++i) DrawLinkArea(Canvas, *outlineList_.Items(i), origin);
}

void TPluginPageView::InvalidateOutlines() {
  if (!page_) return;
  for (int i = 0; i < outlineList_.Count(); ++i) update(ToQRect(LinkAreaPixels(*outlineList_.Items(i))));
}

void TPluginPageView::HideLinkHighlight() {
  if (outlineList_.Count() > 0) InvalidateOutlines();
  hoverList_.Clear();
  outlineList_.Clear();
}

TRect TPluginPageView::BandPixels(TRect band) const {
  NormalizeRect(band);
  return ::Rect(band.Left, band.Top, band.Right + 1, band.Bottom + 1);
}

void TPluginPageView::DrawRubberBand(TCanvas& Canvas, const TPoint& origin) {
  if (!mouseSelecting_) return;
  const TRect r = BandPixels(rubberBand_).Offset(-origin.X, -origin.Y);
  // Without a pen the figure leaves out its last column and row: one more of each.
  Canvas.Pen = TPen{clBlack, 1, TPenStyle::psClear, TPenMode::pmNot};
  Canvas.Brush.Style = TBrushStyle::bsSolid;
  Canvas.Rectangle(r.Left, r.Top, r.Right + 1, r.Bottom + 1);
}

void TPluginPageView::UpdateRubberBand(const TRect& before, const TRect& now) {
  update(ToQRect(BandPixels(before)));
  update(ToQRect(BandPixels(now)));
}

// --- Mouse ---

void TPluginPageView::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  RestoreMouseModes();
  ctrlSwapped_ = (shift & ssCtrl) != 0;
  if (ctrlSwapped_) {
    AllowPanngin = !AllowPanngin;
    AllowMouseSelect = !AllowMouseSelect;
  }
  if (button != mbLeft) return;
  if (AllowPanngin) {
    panning_ = true;
    panGrab_ = Point(x, y);
    SetCursor(Qt::ClosedHandCursor);
  }
  if (AllowMouseSelect) {
    bandFresh_ = true;
    rubberBand_ = ::Rect(x, y, x, y);
    mouseSelecting_ = true;
    UpdateRubberBand(rubberBand_, rubberBand_);
  }
  if (!executingLink_) {
    pressedList_.Assign(outlineList_);
    pressedOnLink_ = pressedList_.Count() > 0;
  }
}

void TPluginPageView::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (panning_) SetBoundsConstrained(Left() + x - panGrab_.X, Top() + y - panGrab_.Y, Width(), Height());
  if (AllowMouseSelect && mouseSelecting_) {
    SetCursor(Qt::IBeamCursor);
    if (bandFresh_) {
      HideLinkHighlight();
      bandFresh_ = false;
    }
    const TRect before = rubberBand_;
    rubberBand_.Right = x;
    rubberBand_.Bottom = y;
    UpdateRubberBand(before, rubberBand_);
  }
  if (!mouseSelecting_) TrackLinks(x, y);
}

void TPluginPageView::TrackLinks(int x, int y) {
  try {
    if (!page_)
      hoverList_.Clear();
    else if (pressedOnLink_ && PageAnyHit(*page_, x, y, pressedList_))
      hoverList_.Assign(pressedList_);
    else if (pressedOnLink_)
      hoverList_.Clear();
    else
      PageHitAll(*page_, x, y, &hoverList_);
    if (hoverList_.SameAs(outlineList_)) return;
    InvalidateOutlines();
    outlineList_.Assign(hoverList_);
    InvalidateOutlines();
    SetCursor(outlineList_.Count() > 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
  } catch (const std::exception&) {
    // Hover tracking only decorates; a failing hit test is a miss.
  }
}

void TPluginPageView::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  bool isClick = true;
  if (button == mbLeft && AllowPanngin) {
    panning_ = false;
    SetCursor(Qt::ArrowCursor);
  }
  if (button == mbLeft && AllowMouseSelect && mouseSelecting_) FinishSelection(shift, x, y, isClick);
  QPointer<TPluginPageView> self(this);
  if (button == mbLeft && !executingLink_) {
    if (pressedOnLink_ && OnLinkExecute && page_ && isClick) ExecutePressedLink(x, y);
    if (!self) return;
    pressedList_.Clear();
    pressedOnLink_ = false;
  }
  RestoreMouseModes();
}

void TPluginPageView::RestoreMouseModes() {
  if (!ctrlSwapped_) return;
  ctrlSwapped_ = false;
  AllowMouseSelect = !AllowMouseSelect;
  AllowPanngin = !AllowPanngin;
}

bool TPluginPageView::event(QEvent* e) {
  switch (e->type()) {
    // Under X the popup menu opens at the right press and takes its release.
    case QEvent::ContextMenu:
    case QEvent::UngrabMouse:
    case QEvent::FocusOut:
    case QEvent::WindowDeactivate:
    case QEvent::Hide:
      CancelPress();
      break;
    default:
      break;
  }
  return TCustomControl::event(e);
}

void TPluginPageView::CancelPress() {
  if (mouseSelecting_) {
    update(ToQRect(BandPixels(rubberBand_)));
    mouseSelecting_ = false;
  }
  if (panning_) {
    panning_ = false;
    SetCursor(Qt::ArrowCursor);
  }
  pressedList_.Clear();
  pressedOnLink_ = false;
  RestoreMouseModes();
}

void TPluginPageView::FinishSelection(TShiftState shift, int x, int y, bool& isClick) {
  update(ToQRect(BandPixels(rubberBand_)));
  rubberBand_.Right = x;
  rubberBand_.Bottom = y;
  mouseSelecting_ = false;
  TRect band = rubberBand_;
  NormalizeRect(band);
  if (!page_) return;
  if (!(shift & ssShift)) page_->ClearSelection();
  page_->SelectRect(band);
  RefreshIfText();
  // A plain click selects nothing: the clipboard keeps what the user put there.
  const std::string selected = GetSelectedText();
  if (!selected.empty()) CopyText(selected);
  SetCursor(Qt::ArrowCursor);
  isClick = band.Left == band.Right && band.Top == band.Bottom;
}

void TPluginPageView::ExecutePressedLink(int x, int y) {
  SetCursor(Qt::ArrowCursor);
  if (!PageAnyHit(*page_, x, y, pressedList_)) return;
  // The handler may change the page, which frees its areas: it gets copies.
  std::vector<TPluginLinkReader> links;
  for (int i = 0; i < pressedList_.Count(); ++i) links.push_back(*pressedList_.Items(i)->Reader);
  QPointer<TPluginPageView> self(this);
  executingLink_ = true;
  for (TPluginLinkReader& link : links) {
    try {
      OnLinkExecute(this, &link);
    } catch (const std::exception& e) {
      // The view stays usable; the user still learns why nothing happened.
      Application->ShowException(e.what(), true);
    }
    if (!self) return;
  }
  executingLink_ = false;
}
