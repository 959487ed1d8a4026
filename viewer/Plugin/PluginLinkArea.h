#pragma once
// Clickable link areas of a page: rectangles or polygons in page millimetres
// (y grows downwards), each with its parsed link text, and lists of them.

#include <memory>
#include <vector>

#include "platform/Types.h"
#include "viewer/Plugin/PluginAbi.h"
#include "viewer/Plugin/PluginLinkReader.h"

class TPluginPoligon {
 public:
  TPluginPoligon() = default;
  // The first n of points (nothing when points is null or n < 1).
  TPluginPoligon(int n, const TPluginPoint* points);
  // (left, top), (right, top), (right, bottom), (left, bottom).
  static TPluginPoligon CreateRect(const TPluginRect& rect);

  // Smallest and largest x and y; all 0 for no vertex.
  TPluginRect GetBounds() const;
  // One pixel point per vertex: offset + scale * vertex, halves to even.
  std::vector<TPoint> ToPoints(double scaleX, double scaleY, double offsetX, double offsetY) const;
  // Winding-number test; parts wound twice count as inside.
  bool Contains(double x, double y) const;

  std::vector<TPluginPoint> Points;
};

class TPluginLinkArea {
 public:
  // A polygon area; only more than two vertices make the polygon part of the hit test.
  static std::unique_ptr<TPluginLinkArea> CreatePolygon(int n, const TPluginPoint* points);
  // A rectangle area from its top-left and bottom-right corners, kept as given.
  static std::unique_ptr<TPluginLinkArea> CreateRect(const TPluginPoint corners[2]);
  virtual ~TPluginLinkArea() = default;

  virtual TPluginRect GetRect() const { return Rect; }
  // The area's outline; a rectangle area makes its four-vertex polygon on first use.
  virtual const TPluginPoligon& GetPolygon();
  // Inside the half-open bounding rectangle (left and top edges hit, right and
  // bottom do not) and, for a polygon area, inside the polygon.
  virtual bool HitTest(double x, double y) const;

  TPluginRect Rect{};
  std::unique_ptr<TPluginPoligon> Polygon;
  bool IsPolygon = false;
  // Filled by whoever builds the area; handed to the link event.
  std::unique_ptr<TPluginLinkReader> Reader = std::make_unique<TPluginLinkReader>();

 protected:
  TPluginLinkArea() = default;
};

// An ordered list of areas that either owns them (a page's areas) or only
// refers to them (the page view's working lists); fixed at creation.
class TPluginLinkAreaList {
 public:
  explicit TPluginLinkAreaList(bool ownsObjects) : owns_(ownsObjects) {}
  ~TPluginLinkAreaList() { Clear(); }
  TPluginLinkAreaList(const TPluginLinkAreaList&) = delete;
  TPluginLinkAreaList& operator=(const TPluginLinkAreaList&) = delete;

  bool OwnsObjects() const { return owns_; }
  int Count() const { return int(areas_.size()); }
  // Throws Exception for an index out of range.
  TPluginLinkArea* Items(int i) const;
  // Appends an area this list owns; throws Exception on a referring list.
  void Add(std::unique_ptr<TPluginLinkArea> area);
  // Appends an area owned elsewhere; throws Exception on an owning list.
  void Add(TPluginLinkArea* area);
  void Clear();
  // Refers to the areas of other, in order; this list must not own.
  void Assign(const TPluginLinkAreaList& other);
  // The very same areas at every index.
  bool SameAs(const TPluginLinkAreaList& other) const { return areas_ == other.areas_; }

  // Puts the first area (in list order) that (x, y) hits into target, which
  // must be a referring list; returns target's count, 0 or 1.
  int HitAll(double x, double y, TPluginLinkAreaList& target) const;
  // Any area hit, tested from the last to the first.
  bool AnyHit(double x, double y) const;

 private:
  bool owns_;
  std::vector<TPluginLinkArea*> areas_;
};
