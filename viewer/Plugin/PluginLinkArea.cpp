#include "viewer/Plugin/PluginLinkArea.h"

#include <algorithm>

#include "platform/StrUtils.h"

namespace {

bool IsEmpty(const TPluginRect& r) {
  return r.Left >= r.Right || r.Top >= r.Bottom;
}

// > 0 when p lies left of the line from a to b (y grows downwards, so "left" is seen from above).
double IsLeft(const TPluginPoint& a, const TPluginPoint& b, double x, double y) {
  return (b.X - a.X) * (y - a.Y) - (x - a.X) * (b.Y - a.Y);
}

}  // namespace

TPluginPoligon::TPluginPoligon(int n, const TPluginPoint* points) {
  if (points && n > 0) Points.assign(points, points + n);
}

TPluginPoligon TPluginPoligon::CreateRect(const TPluginRect& rect) {
  TPluginPoligon polygon;
  polygon.Points = {
      {rect.Left, rect.Top}, {rect.Right, rect.Top}, {rect.Right, rect.Bottom}, {rect.Left, rect.Bottom}};
  return polygon;
}

TPluginRect TPluginPoligon::GetBounds() const {
  if (Points.empty()) return {};
  TPluginRect bounds{Points[0].X, Points[0].Y, Points[0].X, Points[0].Y};
  for (const TPluginPoint& p : Points) {
    bounds.Left = std::min(bounds.Left, p.X);
    bounds.Top = std::min(bounds.Top, p.Y);
    bounds.Right = std::max(bounds.Right, p.X);
    bounds.Bottom = std::max(bounds.Bottom, p.Y);
  }
  return bounds;
}

std::vector<TPoint> TPluginPoligon::ToPoints(double scaleX, double scaleY, double offsetX,
                                             double offsetY) const {
  std::vector<TPoint> out;
  out.reserve(Points.size());
  for (const TPluginPoint& p : Points)
    out.push_back({RoundHalfEven(offsetX + scaleX * p.X), RoundHalfEven(offsetY + scaleY * p.Y)});
  return out;
}

bool TPluginPoligon::Contains(double x, double y) const {
  if (Points.empty()) return false;
  int winding = 0;
  const TPluginPoint* a = &Points.back();
  for (const TPluginPoint& b : Points) {
    if (a->Y <= y) {
      if (b.Y > y && IsLeft(*a, b, x, y) > 0) ++winding;
    } else if (b.Y <= y && IsLeft(*a, b, x, y) < 0) {
      --winding;
    }
    a = &b;
  }
  return winding != 0;
}

std::unique_ptr<TPluginLinkArea> TPluginLinkArea::CreatePolygon(int n, const TPluginPoint* points) {
  std::unique_ptr<TPluginLinkArea> area(new TPluginLinkArea);
  area->Polygon = std::make_unique<TPluginPoligon>(n, points);
  area->IsPolygon = area->Polygon->Points.size() > 2;
  area->Rect = area->Polygon->GetBounds();
  return area;
}

std::unique_ptr<TPluginLinkArea> TPluginLinkArea::CreateRect(const TPluginPoint corners[2]) {
  std::unique_ptr<TPluginLinkArea> area(new TPluginLinkArea);
  // Stored as given: a plug-in names the top-left corner first, and one that
  // does not gets an inverted rectangle, which never hits.
  area->Rect = {corners[0].X, corners[0].Y, corners[1].X, corners[1].Y};
  return area;
}

const TPluginPoligon& TPluginLinkArea::GetPolygon() {
  if (!Polygon) Polygon = std::make_unique<TPluginPoligon>(TPluginPoligon::CreateRect(Rect));
  return *Polygon;
}

bool TPluginLinkArea::HitTest(double x, double y) const {
  if (IsEmpty(Rect)) return false;
  if (x < Rect.Left || x >= Rect.Right || y < Rect.Top || y >= Rect.Bottom) return false;
  return !IsPolygon || Polygon->Contains(x, y);
}

TPluginLinkArea* TPluginLinkAreaList::Items(int i) const {
  if (i < 0 || i >= Count()) throw Exception(Format("List index out of bounds (%d)", i));
  return areas_[std::size_t(i)];
}

void TPluginLinkAreaList::Add(std::unique_ptr<TPluginLinkArea> area) {
  if (!owns_) throw Exception("A list of references cannot take over a link area");
  areas_.push_back(area.release());
}

void TPluginLinkAreaList::Add(TPluginLinkArea* area) {
  if (owns_) throw Exception("A list that owns its link areas cannot refer to another's");
  areas_.push_back(area);
}

void TPluginLinkAreaList::Clear() {
  if (owns_) {
    for (TPluginLinkArea* area : areas_) delete area;
  }
  areas_.clear();
}

void TPluginLinkAreaList::Assign(const TPluginLinkAreaList& other) {
  if (owns_) throw Exception("A list that owns its link areas cannot refer to another's");
  areas_ = other.areas_;
}

int TPluginLinkAreaList::HitAll(double x, double y, TPluginLinkAreaList& target) const {
  if (target.OwnsObjects()) throw Exception("HitList mast not owns objects");
  target.Clear();
  const auto hit =
      std::find_if(areas_.begin(), areas_.end(), [&](auto* area) { return area->HitTest(x, y); });
  if (hit != areas_.end()) target.Add(*hit);
  return target.Count();
}

bool TPluginLinkAreaList::AnyHit(double x, double y) const {
  return std::any_of(areas_.rbegin(), areas_.rend(), [&](auto* area) { return area->HitTest(x, y); });
}
