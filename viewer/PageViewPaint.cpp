#include <QPaintEvent>
#include <QPainter>
#include <cstring>
#include <vector>

#include "platform/Canvas.h"
#include "viewer/PageView.h"
#include "viewer/Plugin/PluginPage2.h"

// How the page view paints: straight from the plug-in, or through a back
// buffer that keeps a margin around the visible part so pans repaint from memory.

namespace {

// The back buffer keeps this share of the parent's client size beyond each
// of its edges, so that panning a few pixels repaints from memory.
constexpr int kBufferMarginDivisor = 8;

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

}  // namespace

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
