#include <QPainter>
#include <QScopeGuard>
#include <algorithm>
#include <vector>

#include "platform/ChildBands.h"
#include "platform/Control.h"

// Windowed controls: their children, alignment of those children, and the
// focus walk in creation order.

namespace {

// Windowed siblings (and plain Qt widgets) stay above the windowless controls.
bool IsWindowedWidget(const QObject* object) {
  if (!object->isWidgetType() || static_cast<const QWidget*>(object)->isWindow()) return false;
  const auto* control = qobject_cast<const TControl*>(object);
  return !control || control->IsWindowed();
}

}  // namespace

// ---------------------------------------------------------------- TWinControl

TWinControl::TWinControl(QObject* owner) : TControl(owner) {
  windowed_ = true;
  setFocusPolicy(Qt::TabFocus);
}

TWinControl::~TWinControl() {
  destroying_ = true;
  // Children go with their parent, as the class library frees them.
  std::vector<QPointer<TControl>> children(controls_.begin(), controls_.end());
  for (const QPointer<TControl>& child : children) delete child.data();
}

bool TWinControl::CanFocus() const {
  // Visible and enabled up to, not including, the window that holds us.
  for (const TControl* c = this; c->Parent(); c = c->Parent()) {
    if (!c->Visible() || !c->Enabled()) return false;
  }
  return true;
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c; c = c->Parent()) {
    if (c == this) return true;
  }
  return false;
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  if (TChildBands::Banded(*control) && ++windowedChildren_ > TChildBands::kThreshold && !bands_) {
    // From here on the windowed children live in bands.
    bands_ = std::make_unique<TChildBands>(*this);
    for (TControl* child : controls_) {
      if (child != control && TChildBands::Banded(*child)) bands_->Place(*child);
    }
  }
  ChildrenChanged();
}

void TWinControl::PlaceChild(TControl& child) {
  if (bands_ && TChildBands::Banded(child)) {
    bands_->Place(child);
    return;
  }
  if (child.parentWidget() != this) child.QWidget::setParent(this);
  child.setGeometry(child.NativeGeometry(child.bounds_));
}

void TWinControl::RemoveControl(TControl* control) {
  if (destroying_) return;  // the whole list goes with us
  if (TChildBands::Banded(*control)) {
    --windowedChildren_;
    if (bands_) bands_->Forget(*control);
  }
  // Children are usually removed last-first (page clearing), so search from the end.
  const auto it = std::find(controls_.rbegin(), controls_.rend(), control);
  if (it != controls_.rend()) controls_.erase(std::next(it).base());
  if (control->Align() != alNone) Realign();
  ChildrenChanged();
}

void TWinControl::Realign() {
  if (alignDisabled_ > 0) {
    alignPending_ = true;
    return;
  }
  AlignControls();
}

void TWinControl::EnableAlign() {
  if (--alignDisabled_ > 0 || !alignPending_) return;
  alignPending_ = false;
  AlignControls();
}

void TWinControl::AlignControls() {
  if (destroying_) return;
  aligning_ = true;
  const auto done = qScopeGuard([this] { aligning_ = false; });
  const std::vector<QPointer<TControl>> children(controls_.begin(), controls_.end());
  TRect free = ClientRect();
  for (TAlign kind : {alTop, alBottom, alLeft, alRight, alClient}) {
    std::vector<TControl*> row;
    for (const QPointer<TControl>& c : children) {
      if (c && c->Visible() && c->Align() == kind) row.push_back(c);
    }
    // Controls of one kind keep their present order along their edge.
    std::stable_sort(row.begin(), row.end(), [kind](const TControl* a, const TControl* b) {
      switch (kind) {
        case alTop:
          return a->Top() < b->Top();
        case alBottom:
          return a->Top() + a->Height() > b->Top() + b->Height();
        case alLeft:
          return a->Left() < b->Left();
        case alRight:
          return a->Left() + a->Width() > b->Left() + b->Width();
        default:
          return false;
      }
    });
    for (TControl* c : row) {
      switch (kind) {
        case alTop:
          c->SetBounds(free.Left, free.Top, free.Width(), c->Height());
          free.Top += c->Height();
          break;
        case alBottom:
          c->SetBounds(free.Left, free.Bottom - c->Height(), free.Width(), c->Height());
          free.Bottom -= c->Height();
          break;
        case alLeft:
          c->SetBounds(free.Left, free.Top, c->Width(), free.Height());
          free.Left += c->Width();
          break;
        case alRight:
          c->SetBounds(free.Right - c->Width(), free.Top, c->Width(), free.Height());
          free.Right -= c->Width();
          break;
        default:
          c->SetBounds(free.Left, free.Top, free.Width(), free.Height());
      }
    }
  }
  for (const QPointer<TControl>& c : children) {
    if (c && c->Align() == alNone && (c->Anchors() & (akRight | akBottom))) {
      c->ParentSizeChanged(Width(), Height());
    }
  }
}

void TWinControl::CollectTabOrder(std::vector<TWinControl*>& out) const {
  for (TControl* child : controls_) {
    auto* windowed = qobject_cast<TWinControl*>(child);
    if (!windowed) continue;
    out.push_back(windowed);
    windowed->CollectTabOrder(out);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop) const {
  std::vector<TWinControl*> order;
  CollectTabOrder(order);
  const int count = static_cast<int>(order.size());
  if (count == 0) return nullptr;
  const auto found = std::find(order.begin(), order.end(), current);
  // From outside the walk, the first step lands on the first (or last) control;
  // from inside, the last step comes back to current itself.
  const int start = found != order.end() ? static_cast<int>(found - order.begin()) : (goForward ? -1 : count);
  for (int step = 1; step <= count; ++step) {
    const int index = ((start + (goForward ? step : -step)) % count + count) % count;
    TWinControl* candidate = order[index];
    if (candidate->CanFocus() && (!checkTabStop || candidate->TabStop())) return candidate;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(current, goForward, checkTabStop)) next->SetFocus();
}

QWidget* TWinControl::LowestWindowedChild(const QWidget& host, const QWidget* except) {
  // children() runs from the bottom of the stack to its top, and windowless
  // controls are kept below the windowed ones: walking down from the top
  // passes the windowed children only, so a parent of thousands of windowless
  // labels is not walked whole for each label it takes.
  QWidget* lowest = nullptr;
  const QObjectList& list = host.children();
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    QObject* child = *it;
    if (child == except || !child->isWidgetType() || static_cast<QWidget*>(child)->isWindow()) continue;
    if (!IsWindowedWidget(child)) break;
    lowest = static_cast<QWidget*>(child);
  }
  return lowest;
}

void TWinControl::showEvent(QShowEvent* e) {
  // Children laid out while this was hidden go into their bands now.
  if (bands_) bands_->ParentShown();
  TControl::showEvent(e);
}

void TWinControl::EraseBackground(QPainter& painter) {
  painter.fillRect(rect(), ToQColor(Color()));
}

// ---------------------------------------------------------------- TGraphicControl, TCustomControl

TGraphicControl::TGraphicControl(QObject* owner) : TControl(owner) {}

void TGraphicControl::SetParent(TWinControl* parent) {
  TControl::SetParent(parent);
  if (parent) BringToFront();
}

TCustomControl::TCustomControl(QObject* owner) : TWinControl(owner) {}
