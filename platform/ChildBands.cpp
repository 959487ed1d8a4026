#include "platform/ChildBands.h"

#include <QPointer>
#include <QRegion>
#include <QScopeGuard>
#include <algorithm>

#include "platform/Control.h"

int TChildBands::moving_ = 0;
std::vector<TChildBands*> TChildBands::unsorted_;

TChildBands::TChildBands(TWinControl& parent) : parent_(parent) {}

TChildBands::~TChildBands() {
  std::erase(unsorted_, this);
  // The parent frees its children before this goes, so the bands are empty.
  for (auto& [index, band] : bands_) delete band.Widget;
  for (TBand& band : asides_) delete band.Widget;
}

bool TChildBands::Banded(const TControl& child) {
  return child.IsWindowed() && !child.topLevel_;
}

TChildBands::TBand* TChildBands::HostOf(const QWidget& child) {
  const QWidget* host = child.parentWidget();
  if (!host || host->parentWidget() != &parent_) return nullptr;
  for (TBand& band : asides_) {
    if (band.Widget == host) return &band;
  }
  const auto found = bands_.find(host->y() / kBandHeight);
  return found != bands_.end() && found->second.Widget == host ? &found->second : nullptr;
}

TChildBands::TBand& TChildBands::BandFor(const QRect& bounds) {
  if (bounds.isEmpty() || bounds.bottom() < 0 || bounds.right() < 0) return AsideBand();
  const int index = std::max(bounds.top(), 0) / kBandHeight;
  const auto found = bands_.find(index);
  return found != bands_.end() ? found->second : NewBand(index);
}

TChildBands::TBand& TChildBands::NewBand(int index) {
  auto* widget = new QWidget(&parent_);
  widget->setGeometry(0, index * kBandHeight, parent_.width(), kBandHeight);
  // Higher bands stack above lower ones, and all of them above the windowless children.
  const auto next = bands_.lower_bound(index);
  if (next != bands_.begin()) {
    widget->stackUnder(std::prev(next)->second.Widget);
  } else if (next != bands_.end()) {
    widget->stackUnder(next->second.Widget);
    next->second.Widget->stackUnder(widget);
  } else if (QWidget* lowest = TWinControl::LowestWindowedChild(parent_, widget)) {
    widget->stackUnder(lowest);
  }
  widget->show();
  TBand& band = bands_[index];
  band.Widget = widget;
  return band;
}

TChildBands::TBand& TChildBands::AsideBand() {
  for (TBand& band : asides_) {
    if (band.Widget->children().size() < kAsideChildren) return band;
  }
  TBand& band = asides_.emplace_back();
  band.Widget = new QWidget(&parent_);
  band.Widget->setGeometry(0, 0, 0, 0);
  band.Widget->show();
  band.Aside = true;
  return band;
}

void TChildBands::Place(TControl& child) {
  QWidget* const host = child.parentWidget();
  const bool ours = host && (host == &parent_ || host->parentWidget() == &parent_);
  if (!parent_.isVisible() && (ours || !host)) {
    // It stays where it is (a newcomer without a place in Qt at all, so
    // that it is placed once) until the parent shows and sorts it into its band.
    if (host) child.setGeometry(child.bounds_.translated(host != &parent_ ? -host->pos() : QPoint()));
    if (std::find(unsorted_.begin(), unsorted_.end(), this) == unsorted_.end()) unsorted_.push_back(this);
    return;
  }
  PlaceInBand(child);
}

void TChildBands::PlaceInBand(TControl& child) {
  TBand& band = BandFor(child.bounds_);
  TBand* const old = HostOf(child);
  if (old != &band) {
    if (old) NoteReach(*old, child, false);
    MoveTo(child, *band.Widget);
  } else {
    child.setGeometry(child.bounds_.translated(-band.Widget->pos()));
  }
  NoteReach(band, child, true);
}

void TChildBands::MoveTo(TControl& child, QWidget& band) {
  // (A control's focusWidget() is null unless it or a child has had the focus.)
  const QPointer<QWidget> focus = child.focusWidget() ? child.window()->focusWidget() : nullptr;
  const bool holdsFocus = focus && child.isAncestorOf(focus);
  const QRect bounds = child.bounds_;
  ++moving_;
  const auto done = qScopeGuard([] { --moving_; });
  // Hidden first by Qt's own call, so that Qt's reparenting does not hide
  // it through TControl::setVisible, which would clear the control's flag.
  child.QWidget::setVisible(false);
  child.QWidget::setParent(&band);
  // A control brought to the front stays above the band's others, one sent
  // to the back below them; the rest stack as they come, below the first
  // and above the second. (The band's children are all controls placed here.)
  const QObjectList& stack = band.children();
  TControl* under = nullptr;
  if (child.stackRank_ < 0) {
    for (QObject* object : stack) {
      auto* sibling = static_cast<TControl*>(object);
      if (sibling != &child && sibling->stackRank_ >= child.stackRank_) {
        under = sibling;
        break;
      }
    }
  } else {
    for (auto it = stack.rbegin() + 1; it < stack.rend(); ++it) {
      auto* sibling = static_cast<TControl*>(*it);
      if (sibling->stackRank_ <= child.stackRank_) break;
      under = sibling;
    }
  }
  if (under) child.stackUnder(under);
  child.setGeometry(bounds.translated(-band.pos()));
  child.QWidget::setVisible(child.visible_);
  child.bounds_ = bounds;
  if (holdsFocus && focus) focus->setFocus(Qt::OtherFocusReason);
}

void TChildBands::Forget(TControl& child) {
  if (TBand* band = HostOf(child)) NoteReach(*band, child, false);
}

void TChildBands::VisibilityChanged(TControl& child) {
  if (TBand* band = HostOf(child)) NoteReach(*band, child, true);
}

void TChildBands::ParentResized() {
  for (auto& [index, band] : bands_) Fit(band);
}

void TChildBands::SortBeforeShowing(const QWidget& widget) {
  const std::vector<TChildBands*> pending = unsorted_;
  for (TChildBands* bands : pending) {
    if (widget.isAncestorOf(&bands->parent_)) bands->Sort();
  }
}

void TChildBands::ParentShown() {
  if (std::find(unsorted_.begin(), unsorted_.end(), this) != unsorted_.end()) Sort();
}

void TChildBands::Sort() {
  std::erase(unsorted_, this);
  // In the order the children joined, which is the order of Qt's lists.
  const std::vector<QPointer<TControl>> children(parent_.controls_.begin(), parent_.controls_.end());
  for (const QPointer<TControl>& child : children) {
    if (child && Banded(*child)) PlaceInBand(*child);
  }
}

void TChildBands::NoteReach(TBand& band, const QWidget& child, bool stays) {
  if (band.Aside) return;  // shows nothing, reaches nowhere
  const bool reaches = stays && !child.isHidden() && child.geometry().bottom() >= kBandHeight;
  const auto it = std::find(band.Reaching.begin(), band.Reaching.end(), &child);
  const bool reached = it != band.Reaching.end();
  if (reached && !reaches) {
    band.Reaching.erase(it);
  } else if (!reached && reaches) {
    band.Reaching.push_back(&child);
  } else if (!reaches) {
    return;  // neither before nor now: the band stays as it is
  }
  Fit(band);
}

void TChildBands::Fit(TBand& band) {
  QWidget& widget = *band.Widget;
  const int width = parent_.width();
  int bottom = kBandHeight;
  QRegion mask;
  for (const QWidget* child : band.Reaching) {
    bottom = std::max(bottom, child->geometry().bottom() + 1);
    mask += child->geometry();
  }
  const QRect geometry(widget.x(), widget.y(), width, bottom);
  if (widget.geometry() != geometry) widget.setGeometry(geometry);
  if (mask.isEmpty()) {
    if (!widget.mask().isEmpty()) widget.clearMask();
    return;
  }
  mask += QRect(0, 0, width, kBandHeight);
  if (widget.mask() != mask) widget.setMask(mask);
}
