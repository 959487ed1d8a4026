#include "viewer/Plugin/PluginSelection.h"

#include <algorithm>
#include <cmath>

#include "platform/Canvas.h"

void TSelInfo::Draw(TCanvas& Canvas, int Left, int Top, int Right, int Bottom) const {
  Canvas.Pen = TPen{clBlue, 2, TPenStyle::psSolid, TPenMode::pmCopy};
  Canvas.Brush.Style = TBrushStyle::bsClear;
  Canvas.Rectangle(Left, Top, Right, Bottom);
}

void TSelInfo1::Draw(TCanvas& Canvas, int Left, int, int Right, int Bottom) const {
  Canvas.Pen = TPen{clRed, 2, TPenStyle::psSolid, TPenMode::pmCopy};
  Canvas.MoveTo(Left, Bottom);
  Canvas.LineTo(Right, Bottom);
}

void TSelInfo2::Draw(TCanvas& Canvas, int Left, int Top, int Right, int Bottom) const {
  // A fixed one-pixel pen: the width left behind by an underline would widen the inverted frame.
  Canvas.Pen = TPen{clWhite, 1, TPenStyle::psSolid, TPenMode::pmNot};
  Canvas.Brush.Style = TBrushStyle::bsSolid;
  Canvas.Rectangle(Left, Top, Right - 1, Bottom - 1);
}

bool PluginRectEmpty(const TPluginRect& A) {
  const bool numbers =
      std::isfinite(A.Left) && std::isfinite(A.Top) && std::isfinite(A.Right) && std::isfinite(A.Bottom);
  return !numbers || A.Left >= A.Right || A.Top >= A.Bottom;
}

bool PluginRectsOverlap(const TPluginRect& A, const TPluginRect& B) {
  if (PluginRectEmpty(A) || PluginRectEmpty(B)) return false;
  return std::max(A.Left, B.Left) < std::min(A.Right, B.Right) &&
         std::max(A.Top, B.Top) < std::min(A.Bottom, B.Bottom);
}

bool PluginRectsOnSameLine(const TPluginRect& A, const TPluginRect& B) {
  if (PluginRectEmpty(A) || PluginRectEmpty(B) || !(A.Right < B.Left)) return false;
  const double centre = (B.Top + B.Bottom) / 2;
  return centre >= A.Top && centre <= A.Bottom;
}

TPluginRect PluginRectUnion(const TPluginRect& A, const TPluginRect& B) {
  if (PluginRectEmpty(A)) return B;
  if (PluginRectEmpty(B)) return A;
  return {std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right),
          std::max(A.Bottom, B.Bottom)};
}

TPluginRect PluginRectInflated(const TPluginRect& A) {
  const double dx = 0.5 * (A.Right - A.Left), dy = 0.01 * (A.Bottom - A.Top);
  return {A.Left - dx, A.Top - dy, A.Right + dx, A.Bottom + dy};
}
