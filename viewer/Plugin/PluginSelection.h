#pragma once
// Selection rectangles of a page (millimetres) and how each kind is drawn, and
// the rectangle tests that decide which characters' rectangles join.

#include "viewer/Plugin/PluginAbi.h"

class TCanvas;

// One selection rectangle; drawn as a 2-pixel blue frame.
class TSelInfo {
 public:
  explicit TSelInfo(const TPluginRect& r) : Rect(r) {}
  virtual ~TSelInfo() = default;
  // Left..Bottom: the rectangle in pixels of the rendered page.
  virtual void Draw(TCanvas& Canvas, int Left, int Top, int Right, int Bottom) const;

  TPluginRect Rect;
};

// The flag layer: a 2-pixel red underline.
class TSelInfo1 : public TSelInfo {
 public:
  using TSelInfo::TSelInfo;
  void Draw(TCanvas& Canvas, int Left, int Top, int Right, int Bottom) const override;
};

// The normal selection: the rectangle (Left, Top, Right - 1, Bottom - 1)
// inverted, so drawing it twice restores the page.
class TSelInfo2 : public TSelInfo {
 public:
  using TSelInfo::TSelInfo;
  void Draw(TCanvas& Canvas, int Left, int Top, int Right, int Bottom) const override;
};

// Left >= Right or Top >= Bottom, or a coordinate that is no number.
bool PluginRectEmpty(const TPluginRect& A);
// Both non-empty and sharing area; touching edges do not overlap.
bool PluginRectsOverlap(const TPluginRect& A, const TPluginRect& B);
// Both non-empty, B wholly right of A, and B's vertical centre within A's height.
bool PluginRectsOnSameLine(const TPluginRect& A, const TPluginRect& B);
// The smallest rectangle holding both; an empty one yields the other.
TPluginRect PluginRectUnion(const TPluginRect& A, const TPluginRect& B);
// Half A's width out on each side, 1% of its height up and down.
TPluginRect PluginRectInflated(const TPluginRect& A);
