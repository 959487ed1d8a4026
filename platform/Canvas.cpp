#include "platform/Canvas.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>

#include "platform/Cp1251.h"

namespace {

// What a drawing operation does to the pixels it covers.
struct TInk {
  std::uint32_t Word = 0xFF000000u;  // an opaque colour, B,G,R,A
  bool Invert = false;
};

TInk Ink(TColor color, TPenMode mode = TPenMode::pmCopy) {
  return {ColorToPixel(color), mode == TPenMode::pmNot};
}

std::uint32_t Mix(std::uint32_t dst, const TInk& ink, int coverage) {
  if (ink.Invert) return coverage >= 128 ? dst ^ 0x00FFFFFFu : dst;
  if (coverage >= 255) return ink.Word;
  std::uint32_t word = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const int s = (ink.Word >> shift) & 0xFF;
    const int d = (dst >> shift) & 0xFF;
    word |= std::uint32_t((s * coverage + d * (255 - coverage) + 127) / 255) << shift;
  }
  return word;
}

// Everything below works in the coordinates of the picture the bitmap holds
// (its whole picture, unless it holds only an exposed part of a control).
TRect BitmapRect(const TBitmap& bitmap) {
  return bitmap.PictureRect();
}

// GDI accepts rectangles given corner to corner in any order.
TRect Normalized(const TRect& r) {
  return Rect(std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
              std::max(r.Top, r.Bottom));
}

TRect PointsBounds(const std::vector<TPoint>& points, int margin) {
  TRect r{points.front().X, points.front().Y, points.front().X, points.front().Y};
  for (const TPoint& p : points) {
    r.Left = std::min(r.Left, p.X);
    r.Top = std::min(r.Top, p.Y);
    r.Right = std::max(r.Right, p.X);
    r.Bottom = std::max(r.Bottom, p.Y);
  }
  return Rect(r.Left - margin, r.Top - margin, r.Right + margin + 1, r.Bottom + margin + 1);
}

// The pixels one operation covers (0..255 each), over a rectangle already
// clipped to the target, so nothing outside it can be touched.
class TCoverage {
 public:
  explicit TCoverage(const TRect& bounds)
      : bounds_(bounds.IsEmpty() ? TRect{} : bounds),
        cells_(std::size_t(bounds_.Width()) * std::size_t(bounds_.Height())) {}

  const TRect& Bounds() const { return bounds_; }
  bool Covers(int x, int y) const { return bounds_.Contains({x, y}) && cells_[Index(x, y)] != 0; }
  int At(int x, int y) const { return cells_[Index(x, y)]; }
  void Set(int x, int y) {
    if (bounds_.Contains({x, y})) cells_[Index(x, y)] = 255;
  }
  void SetRect(const TRect& r) {
    const TRect area = IntersectRect(r, bounds_);
    for (int y = area.Top; y < area.Bottom; ++y) {
      std::fill_n(cells_.begin() + std::ptrdiff_t(Index(area.Left, y)), area.Width(), std::uint8_t(255));
    }
  }

  // Rasterises what draw paints with QPainter, in bitmap coordinates.
  void Render(const std::function<void(QPainter&)>& draw, bool antialias = false) {
    if (bounds_.IsEmpty()) return;
    QImage image(bounds_.Width(), bounds_.Height(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
      QPainter painter(&image);
      painter.setRenderHint(QPainter::Antialiasing, antialias);
      painter.setRenderHint(QPainter::TextAntialiasing, antialias);
      painter.translate(-bounds_.Left, -bounds_.Top);
      draw(painter);
    }
    for (int y = bounds_.Top; y < bounds_.Bottom; ++y) {
      const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y - bounds_.Top));
      for (int x = bounds_.Left; x < bounds_.Right; ++x) {
        std::uint8_t& cell = cells_[Index(x, y)];
        cell = std::max<int>(cell, qAlpha(row[x - bounds_.Left]));
      }
    }
  }

  // Drops what other covers: where pen and brush meet only the pen draws, so
  // an inverting pen mode never flips a pixel twice.
  void Subtract(const TCoverage& other) {
    for (int y = bounds_.Top; y < bounds_.Bottom; ++y) {
      for (int x = bounds_.Left; x < bounds_.Right; ++x) {
        if (other.Covers(x, y)) cells_[Index(x, y)] = 0;
      }
    }
  }

  // Keeps only the pixels with a 4-neighbour outside: the inner edge of a region.
  TCoverage Edge() const {
    TCoverage edge(bounds_);
    for (int y = bounds_.Top; y < bounds_.Bottom; ++y) {
      for (int x = bounds_.Left; x < bounds_.Right; ++x) {
        if (!Covers(x, y)) continue;
        if (!Covers(x - 1, y) || !Covers(x + 1, y) || !Covers(x, y - 1) || !Covers(x, y + 1)) edge.Set(x, y);
      }
    }
    return edge;
  }

 private:
  std::size_t Index(int x, int y) const {
    return std::size_t(y - bounds_.Top) * std::size_t(bounds_.Width()) + std::size_t(x - bounds_.Left);
  }

  TRect bounds_;
  std::vector<std::uint8_t> cells_;
};

void Apply(TBitmap& bitmap, const TCoverage& coverage, const TInk& ink) {
  const TRect& b = coverage.Bounds();
  const TPoint o = bitmap.Origin();
  for (int y = b.Top; y < b.Bottom; ++y) {
    std::uint32_t* row = bitmap.ScanLine(y - o.Y);
    for (int x = b.Left; x < b.Right; ++x) {
      const int a = coverage.At(x, y);
      if (a != 0) row[x - o.X] = Mix(row[x - o.X], ink, a);
    }
  }
}

void FillSolid(TBitmap& bitmap, const TRect& r, const TInk& ink) {
  const TRect area = IntersectRect(r, BitmapRect(bitmap));
  if (area.IsEmpty()) return;
  const TPoint o = bitmap.Origin();
  for (int y = area.Top; y < area.Bottom; ++y) {
    std::uint32_t* row = bitmap.ScanLine(y - o.Y) + (area.Left - o.X);
    for (int x = 0; x < area.Width(); ++x) row[x] = Mix(row[x], ink, 255);
  }
}

bool PenVisible(const TPen& pen) {
  return pen.Style != TPenStyle::psClear;
}
bool Cosmetic(const TPen& pen) {
  return pen.Width <= 1;
}
// How far a pen's pixels may lie from its path; widths below 1 draw one pixel as in GDI.
int Reach(const TPen& pen) {
  return std::max(pen.Width, 1);
}

// Walks a cosmetic pen's on/off pattern pixel by pixel (GDI's runs: dash 18/6,
// dot 3/3), continuing across the segments of one figure.
class TStyledPlotter {
 public:
  TStyledPlotter(TCoverage& coverage, TPenStyle style) : coverage_(coverage) {
    if (style == TPenStyle::psDash) {
      on_ = 18;
      off_ = 6;
    } else if (style == TPenStyle::psDot) {
      on_ = 3;
      off_ = 3;
    }
  }

  void Plot(int x, int y) {
    if (off_ == 0 || phase_ < on_) coverage_.Set(x, y);
    if (off_ != 0) phase_ = (phase_ + 1) % (on_ + off_);
  }

  // Bresenham from a towards b; b itself is left out, as LineTo does.
  void Segment(TPoint a, TPoint b) {
    const int dx = std::abs(b.X - a.X);
    const int dy = -std::abs(b.Y - a.Y);
    const int sx = a.X < b.X ? 1 : -1;
    const int sy = a.Y < b.Y ? 1 : -1;
    int err = dx + dy;
    int x = a.X;
    int y = a.Y;
    while (x != b.X || y != b.Y) {
      Plot(x, y);
      const int e2 = 2 * err;
      if (e2 >= dy) {
        err += dy;
        x += sx;
      }
      if (e2 <= dx) {
        err += dx;
        y += sy;
      }
    }
  }

 private:
  TCoverage& coverage_;
  int on_ = 0;
  int off_ = 0;
  int phase_ = 0;
};

// Wide pens are centred on the pixel centres the points name, with round caps and joins.
void StrokeWide(TCoverage& coverage, const TPen& pen, const QPainterPath& path) {
  coverage.Render([&](QPainter& p) {
    p.translate(0.5, 0.5);
    p.setPen(QPen(Qt::black, pen.Width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
  });
}

QPainterPath PolyPath(const std::vector<TPoint>& points, bool closed) {
  QPainterPath path;
  path.moveTo(ToQPoint(points.front()));
  for (std::size_t i = 1; i < points.size(); ++i) path.lineTo(ToQPoint(points[i]));
  if (closed) path.closeSubpath();
  return path;
}

// The pen's pixels along a path of points; a cosmetic pen leaves out the last point.
TCoverage PenPath(const TRect& visible, const TPen& pen, const std::vector<TPoint>& points, bool closed) {
  if (!PenVisible(pen) || points.empty()) return TCoverage(TRect{});
  TCoverage coverage(IntersectRect(PointsBounds(points, Reach(pen)), visible));
  if (!Cosmetic(pen)) {
    // GDI draws pens wider than one pixel solid whatever their style.
    StrokeWide(coverage, pen, PolyPath(points, closed));
    return coverage;
  }
  TStyledPlotter plotter(coverage, pen.Style);
  for (std::size_t i = 1; i < points.size(); ++i) plotter.Segment(points[i - 1], points[i]);
  if (closed) plotter.Segment(points.back(), points.front());
  return coverage;
}

TCoverage FillPath(const TRect& bounds, const QPainterPath& path) {
  TCoverage coverage(bounds);
  coverage.Render([&](QPainter& p) { p.fillPath(path, Qt::black); });
  return coverage;
}

}  // namespace

TCanvas::TCanvas(TBitmap& target) : target_(target) {}

void TCanvas::FillRect(const TRect& r) {
  if (Brush.Style == TBrushStyle::bsClear) return;
  FillSolid(target_, r, Ink(Brush.Color));
}

void TCanvas::FrameRect(const TRect& r) {
  if (Brush.Style == TBrushStyle::bsClear || r.IsEmpty()) return;
  const TInk ink = Ink(Brush.Color);
  FillSolid(target_, Rect(r.Left, r.Top, r.Right, r.Top + 1), ink);
  FillSolid(target_, Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom), ink);
  FillSolid(target_, Rect(r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1), ink);
  FillSolid(target_, Rect(r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1), ink);
}

namespace {

// Brush inside, pen on top; with an inverting pen mode each pixel flips once.
void PaintFigure(TBitmap& bitmap, TCoverage& inside, const TCoverage& outline, const TPen& pen,
                 const TBrush& brush) {
  inside.Subtract(outline);
  if (brush.Style != TBrushStyle::bsClear) Apply(bitmap, inside, Ink(brush.Color, pen.Mode));
  if (PenVisible(pen)) Apply(bitmap, outline, Ink(pen.Color, pen.Mode));
}

}  // namespace

void TCanvas::Rectangle(const TRect& rect) {
  const TRect r = Normalized(rect);
  if (r.IsEmpty()) return;
  const TRect visible = BitmapRect(target_);
  // Without a pen GDI fills one pixel less to the right and below.
  const TRect area = PenVisible(Pen) ? r : Rect(r.Left, r.Top, r.Right - 1, r.Bottom - 1);
  TCoverage inside(IntersectRect(area, visible));
  inside.SetRect(area);
  const std::vector<TPoint> corners{
      {r.Left, r.Top}, {r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1}, {r.Left, r.Bottom - 1}};
  TCoverage outline = PenPath(visible, Pen, corners, true);
  // A one-pixel figure has no segment to walk.
  if (Cosmetic(Pen) && PenVisible(Pen) && r.Width() == 1 && r.Height() == 1) outline.Set(r.Left, r.Top);
  PaintFigure(target_, inside, outline, Pen, Brush);
}

namespace {

// The brush's and the pen's pixels of an ellipse inside r.
void CoverEllipse(const TRect& r, const TPen& pen, TCoverage& inside, TCoverage& outline) {
  QPainterPath shape;
  if (PenVisible(pen) && Cosmetic(pen)) {
    // A thin outline is the inner edge of the filled ellipse, so it stays within r.
    shape.addEllipse(ToQRect(r));
    inside = FillPath(inside.Bounds(), shape);
    outline = inside.Edge();
    return;
  }
  // Through the centres of the edge pixels: without a pen GDI fills one pixel
  // less to the right and below; a wide pen is centred on that curve.
  shape.addEllipse(QRectF(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
  inside = FillPath(inside.Bounds(), PenVisible(pen) ? shape.translated(0.5, 0.5) : shape);
  if (PenVisible(pen)) StrokeWide(outline, pen, shape);
}

}  // namespace

void TCanvas::Ellipse(const TRect& rect) {
  const TRect r = Normalized(rect);
  if (r.IsEmpty()) return;
  const TRect bounds = IntersectRect(r.Inflated(Reach(Pen), Reach(Pen)), BitmapRect(target_));
  TCoverage inside(bounds);
  TCoverage outline(bounds);
  CoverEllipse(r, Pen, inside, outline);
  PaintFigure(target_, inside, outline, Pen, Brush);
}

void TCanvas::MoveTo(int x, int y) {
  PenPos = {x, y};
}

void TCanvas::LineTo(int x, int y) {
  const TCoverage line = PenPath(BitmapRect(target_), Pen, {PenPos, {x, y}}, false);
  if (PenVisible(Pen)) Apply(target_, line, Ink(Pen.Color, Pen.Mode));
  PenPos = {x, y};
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  if (points.size() < 2) return;
  const TRect visible = BitmapRect(target_);
  QPainterPath shape = PolyPath(points, true);
  shape.setFillRule(Qt::OddEvenFill);  // GDI's default ALTERNATE filling
  TCoverage inside = FillPath(IntersectRect(PointsBounds(points, 0), visible), shape);
  const TCoverage outline = PenPath(visible, Pen, points, true);
  PaintFigure(target_, inside, outline, Pen, Brush);
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  if (points.size() < 2 || !PenVisible(Pen)) return;
  Apply(target_, PenPath(BitmapRect(target_), Pen, points, false), Ink(Pen.Color, Pen.Mode));
}

namespace {

// Text with its cell's top-left at (x, y), clipped to clip; the brush fills
// background first unless it is clear.
void DrawText(TBitmap& bitmap, const TFont& font, const TBrush& brush, const TRect& clip,
              const TRect& background, int x, int y, const std::string& text) {
  const TRect visible = IntersectRect(clip, BitmapRect(bitmap));
  if (brush.Style != TBrushStyle::bsClear)
    FillSolid(bitmap, IntersectRect(background, visible), Ink(brush.Color));
  if (text.empty()) return;
  const QString qtext = Cp1251ToQString(text);
  const int cell = font.CellHeight();
  const int width = TextWidth(font, text);
  // Glyphs may overhang their advance (italics) and, a little, their cell.
  const TRect reach = Rect(x - cell, y - cell / 2, x + width + cell, y + cell + cell / 2);
  TCoverage ink(IntersectRect(reach, visible));
  ink.Render(
      [&](QPainter& p) {
        p.setFont(font.ToQFont());
        p.setPen(Qt::black);
        p.drawText(QPoint(x, y + font.Ascent()), qtext);
      },
      true);
  Apply(bitmap, ink, Ink(font.Color));
}

}  // namespace

void TCanvas::TextOut(int x, int y, const std::string& text) {
  const int width = TextWidth(text);
  DrawText(target_, Font, Brush, BitmapRect(target_), Bounds(x, y, width, Font.CellHeight()), x, y, text);
  PenPos = {x + width, y};
}

void TCanvas::TextRect(const TRect& clip, int x, int y, const std::string& text) {
  DrawText(target_, Font, Brush, clip, clip, x, y, text);
}

int TCanvas::TextWidth(const std::string& text) const {
  return ::TextWidth(Font, text);
}

int TCanvas::TextHeight(const std::string& text) const {
  return ::TextHeight(Font, text);
}

namespace {

void MakeOpaque(TBitmap& bitmap, const TRect& r) {
  const TRect area = IntersectRect(r, BitmapRect(bitmap));
  if (area.IsEmpty()) return;
  const TPoint o = bitmap.Origin();
  for (int y = area.Top; y < area.Bottom; ++y) {
    std::uint32_t* row = bitmap.ScanLine(y - o.Y) + (area.Left - o.X);
    for (int x = 0; x < area.Width(); ++x) row[x] |= 0xFF000000u;
  }
}

}  // namespace

void TCanvas::Draw(int x, int y, const TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  BitBlt(target_, x, y, bitmap.Width(), bitmap.Height(), bitmap, bitmap.Origin().X, bitmap.Origin().Y);
  MakeOpaque(target_, Bounds(x, y, bitmap.Width(), bitmap.Height()));
}

void TCanvas::StretchDraw(const TRect& r, const TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  StretchBlt(target_, r, bitmap, BitmapRect(bitmap), TStretchMode::ColorOnColor);
  MakeOpaque(target_, r);
}

void DrawBitmapOnWidget(QPainter& painter, int x, int y, const TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  painter.drawImage(x, y, bitmap.OpaqueImage());
}
