#pragma once
// TCanvas: GDI-style drawing on a TBitmap, with GDI's rules: Rectangle and
// FrameRect leave out nothing of their rectangle but draw within
// [Left, Right) x [Top, Bottom); LineTo leaves out the end point; pens of
// width 2 and more have round caps; TextOut places the cell's top-left corner.
// Text is cp1251.
//
// Every pixel the canvas colours gets alpha 255 (GDI leaves that byte
// undefined), so bitmaps drawn on stay opaque; pmNot inverts B, G and R and
// keeps the alpha byte, so drawing twice restores the pixel exactly. The pen
// mode applies to the brush of Rectangle, Ellipse and Polygon too, not to
// FillRect, FrameRect or text.

#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Font.h"
#include "platform/Types.h"

class QPainter;

enum class TPenStyle { psSolid, psDash, psDot, psClear };
enum class TPenMode { pmCopy, pmNot };
enum class TBrushStyle { bsSolid, bsClear };

struct TPen {
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = TPenStyle::psSolid;
  TPenMode Mode = TPenMode::pmCopy;
};

struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = TBrushStyle::bsSolid;
};

class TCanvas {
 public:
  explicit TCanvas(TBitmap& target);

  TPen Pen;
  TBrush Brush;
  TFont Font;
  TPoint PenPos;

  TBitmap& Bitmap() { return target_; }

  void FillRect(const TRect& r);   // with the brush, no outline
  void FrameRect(const TRect& r);  // one-pixel outline in the brush colour
  void Rectangle(const TRect& r);  // pen outline, brush inside
  void Rectangle(int left, int top, int right, int bottom) { Rectangle(Rect(left, top, right, bottom)); }
  void Ellipse(const TRect& r);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polygon(const std::vector<TPoint>& points);
  void Polyline(const std::vector<TPoint>& points);
  // Transparent text when the brush is clear, else on a brush-coloured cell.
  // Moves PenPos to the end of the text.
  void TextOut(int x, int y, const std::string& text);
  // Text clipped to clip; unless the brush is clear, all of clip is filled first.
  void TextRect(const TRect& clip, int x, int y, const std::string& text);
  int TextWidth(const std::string& text) const;
  int TextHeight(const std::string& text) const;
  // Opaque copies of a bitmap: the copied pixels get alpha 255.
  void Draw(int x, int y, const TBitmap& bitmap);
  void StretchDraw(const TRect& r, const TBitmap& bitmap);

 private:
  TBitmap& target_;
};

// Paints an off-screen bitmap onto a widget's painter, opaque.
void DrawBitmapOnWidget(QPainter& painter, int x, int y, const TBitmap& bitmap);
