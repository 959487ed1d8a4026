#include "platform/Control.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QPainter>
#include <algorithm>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/ChildBands.h"
#include "platform/Cp1251.h"
#include "platform/LruCache.h"
#include "platform/Screen.h"
#include "platform/StrUtils.h"

// A control's geometry, alignment, stacking and appearance, and the canvases
// controls keep between paints. Its events are in ControlEvents.cpp; windowed
// controls and their focus walk in WinControl.cpp.

// ---------------------------------------------------------------- kept canvases

// The canvases that controls keep between paints, by the caches' one rule:
// each costs its pixels, all of them together keep within a few screens of
// pixels, and the least recently painted give theirs up. A control keeps one
// only when it is no larger than the screen, so a page of any length keeps
// memory in proportion to the screen, not to the page.
class TKeptCanvases {
 public:
  static constexpr std::size_t kScreens = 4;

  // With no screen to ask, the smallest screen the trainer supports.
  static std::size_t ScreenPixels() {
    const TScreenMetrics screen = ScreenMetrics();
    const std::int64_t pixels = std::int64_t(screen.Width) * screen.Height;
    return pixels > 0 ? std::size_t(pixels) : 1024 * 768;
  }

  // The control's kept canvas at its present size, or null when it is too large to keep one.
  static TBitmap* For(TControl& control) {
    const int width = control.Width(), height = control.Height();
    if (const auto* kept = Canvases().Find(&control);
        kept && (*kept)->Width() == width && (*kept)->Height() == height)
      return kept->get();
    Drop(control);
    const std::size_t pixels = std::size_t(std::max(width, 0)) * std::size_t(std::max(height, 0));
    const std::size_t screen = ScreenPixels();
    if (pixels > screen) return nullptr;
    Canvases().SetBudget(kScreens * screen);
    return Canvases().Put(&control, std::make_unique<TBitmap>(width, height), pixels).get();
  }

  static void Drop(TControl& control) {
    Canvases().Erase(&control);
    control.keptValid_ = false;
  }

 private:
  static TLruCache<const TControl*, std::unique_ptr<TBitmap>>& Canvases() {
    static TLruCache<const TControl*, std::unique_ptr<TBitmap>> canvases(kScreens * ScreenPixels());
    return canvases;
  }
};

TBitmap* TControl::KeptCanvas() {
  return TKeptCanvases::For(*this);
}

void TControl::DropKeptCanvas() {
  TKeptCanvases::Drop(*this);
}

// ---------------------------------------------------------------- TControl

namespace {
// The stacking ranks that BringToFront and SendToBack handed out so far.
std::int64_t topRank = 0, bottomRank = 0;
}  // namespace

TControl::TControl(QObject* owner) : QWidget(nullptr) {
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
  setGeometry(bounds_);
  RegisterWithOwner(owner);
}

TControl::~TControl() {
  DropKeptCanvas();
  // Owned controls go first, wherever they are shown.
  const auto owned = std::move(owned_);
  for (const QPointer<TControl>& control : owned) delete control.data();
  if (parent_) parent_->RemoveControl(this);
}

void TControl::RegisterWithOwner(QObject* owner) {
  owner_ = owner;
  if (!owner) return;
  if (auto* control = qobject_cast<TControl*>(owner)) {
    control->AdoptOwned(this);
    return;
  }
  connect(owner, &QObject::destroyed, this, [this] { delete this; });
}

void TControl::AdoptOwned(TControl* control) {
  // Dead entries are pruned only when the list has doubled, so a page of
  // thousands of controls is built in linear time.
  if (owned_.size() >= 2 * ownedAfterPrune_) {
    std::erase_if(owned_, [](const QPointer<TControl>& p) { return p.isNull(); });
    ownedAfterPrune_ = std::max<std::size_t>(owned_.size(), 8);
  }
  owned_.emplace_back(control);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  for (const TControl* p = parent; p; p = p->parent_) {
    if (p == this) throw Exception("A control cannot be placed inside itself.");
  }
  if (parent_) parent_->RemoveControl(this);
  parent_ = parent;
  if (!parent) {
    const QRect bounds = bounds_;
    QWidget::setParent(nullptr);
    setGeometry(bounds);
    return;
  }
  parent->InsertControl(this);
  parent->PlaceChild(*this);
  RememberAnchorDistances();
  if (visible_ && parent->isVisible()) TChildBands::SortBeforeShowing(*this);
  // (A child of a hidden parent with many children waits for its band; see TChildBands.)
  if (parentWidget()) QWidget::setVisible(visible_);
  if (align_ != alNone) parent->Realign();
  if (parentColor_) ColorChanged();
  if (parentFont_) FontChanged();
}

void TControl::Release() {
  setVisible(false);
  SetParent(nullptr);
  deleteLater();
}

void TControl::SetBounds(int left, int top, int width, int height) {
  bounds_ = QRect(left, top, std::max(width, 0), std::max(height, 0));
  ApplyGeometry();
  if (!ParentIsAligning()) {
    RememberAnchorDistances();
    if (align_ != alNone) RequestParentAlign();
  }
  if (bounds_.size() != alignedSize_) SizeChanged();
  if (parent_) parent_->ChildrenChanged();
}

void TControl::ApplyGeometry() {
  if (parent_) {
    parent_->PlaceChild(*this);
  } else {
    setGeometry(NativeGeometry(bounds_));
  }
}

QPoint TControl::BoundsOrigin() const {
  // A child may sit in a band of its parent (see TChildBands).
  return parent_ && parentWidget() != parent_ && parent_->isAncestorOf(this) ? mapTo(parent_, QPoint()) : pos();
}

void TControl::SizeChanged() {
  alignedSize_ = bounds_.size();
  if (auto* container = qobject_cast<TWinControl*>(this)) {
    if (container->bands_) container->bands_->ParentResized();
    container->AlignControls();
  }
  Resize();
}

void TControl::resizeEvent(QResizeEvent* e) {
  // Windows resized from outside (maximised, full screen) lay out here.
  bounds_.setSize(size());
  if (bounds_.size() != alignedSize_) SizeChanged();
  QWidget::resizeEvent(e);
}

void TControl::moveEvent(QMoveEvent* e) {
  // Some controls show what lies under their own place (a window background).
  keptValid_ = false;
  ReadBoundsOrigin();
  QWidget::moveEvent(e);
}

bool TControl::ParentIsAligning() const {
  return parent_ && parent_->aligning_;
}

void TControl::RequestParentAlign() {
  if (parent_ && !parent_->aligning_) parent_->Realign();
}

void TControl::RememberAnchorDistances() {
  if (!parent_) return;
  anchorRight_ = parent_->Width() - (Left() + Width());
  anchorBottom_ = parent_->Height() - (Top() + Height());
}

void TControl::ParentSizeChanged(int parentWidth, int parentHeight) {
  int left = Left(), top = Top(), width = Width(), height = Height();
  if (anchors_ & akRight) {
    if (anchors_ & akLeft) {
      width = parentWidth - left - anchorRight_;
    } else {
      left = parentWidth - anchorRight_ - width;
    }
  }
  if (anchors_ & akBottom) {
    if (anchors_ & akTop) {
      height = parentHeight - top - anchorBottom_;
    } else {
      top = parentHeight - anchorBottom_ - height;
    }
  }
  SetBounds(left, top, width, height);
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  RequestParentAlign();
}

void TControl::SetAnchors(TAnchors anchors) {
  anchors_ = anchors;
  RememberAnchorDistances();
}

TPoint TControl::ClientToScreen(TPoint p) const {
  const QPoint q = mapToGlobal(ToQPoint(p));
  return Point(q.x(), q.y());
}

TPoint TControl::ScreenToClient(TPoint p) const {
  const QPoint q = mapFromGlobal(ToQPoint(p));
  return Point(q.x(), q.y());
}

void TControl::StackAmongSiblings() {
  stackRank_ = ++topRank;
  QWidget* const host = parentWidget();
  if (IsWindowed() || !parent_ || !host) {
    raise();
    return;
  }
  // Top of the windowless ones, still below every windowed sibling.
  if (QWidget* lowest = TWinControl::LowestWindowedChild(*host, this)) {
    stackUnder(lowest);
  } else {
    raise();
  }
}

void TControl::BringToFront() {
  StackAmongSiblings();
}

void TControl::SendToBack() {
  stackRank_ = --bottomRank;
  QWidget* const host = parentWidget();
  if (!IsWindowed() || !parent_ || !host) {
    lower();
    return;
  }
  // Bottom of the windowed ones, still above every windowless sibling.
  if (QWidget* lowest = TWinControl::LowestWindowedChild(*host, this)) stackUnder(lowest);
}

void TControl::setVisible(bool visible) {
  const bool changed = visible != visible_;
  if (changed) VisibleChanging();
  visible_ = visible;
  if (visible && !isVisible()) TChildBands::SortBeforeShowing(*this);
  // A control without a parent has nowhere to show; only forms are windows.
  if (parentWidget() || topLevel_ || !visible) QWidget::setVisible(visible);
  if (changed && parent_ && parent_->bands_) parent_->bands_->VisibilityChanged(*this);
  if (changed && align_ != alNone) RequestParentAlign();
  if (changed && parent_) parent_->ChildrenChanged();
}

void TControl::SetEnabled(bool enabled) {
  setEnabled(enabled);
}

void TControl::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  CaptionChanged();
}

TColor TControl::Color() const {
  return parentColor_ && parent_ ? parent_->Color() : color_;
}

void TControl::SetColor(TColor color) {
  color_ = color;
  parentColor_ = false;
  NotifyAppearanceChanged(false);
}

void TControl::SetParentColor(bool parentColor) {
  parentColor_ = parentColor;
  NotifyAppearanceChanged(false);
}

const TFont& TControl::Font() const {
  return parentFont_ && parent_ ? parent_->Font() : font_;
}

void TControl::SetFont(const TFont& font) {
  font_ = font;
  parentFont_ = false;
  NotifyAppearanceChanged(true);
}

void TControl::SetParentFont(bool parentFont) {
  if (!parentFont) font_ = Font();
  parentFont_ = parentFont;
  NotifyAppearanceChanged(true);
}

void TControl::NotifyAppearanceChanged(bool font) {
  font ? FontChanged() : ColorChanged();
  const auto* container = qobject_cast<const TWinControl*>(this);
  if (!container) return;
  // The children's handlers (an auto-sized label's resize) may free siblings.
  const std::vector<QPointer<TControl>> children(container->controls_.begin(), container->controls_.end());
  for (const QPointer<TControl>& child : children) {
    if (child && (font ? child->parentFont_ : child->parentColor_)) child->NotifyAppearanceChanged(font);
  }
}

void TControl::SetCursor(Qt::CursorShape cursor) {
  cursor_ = cursor;
  setCursor(QCursor(cursor));
}

void TControl::SetFocus() {
  // The class library raises here; a learner is better served by nothing happening.
  if (!CanFocus()) return;
  QWidget* const window = this->window();
  const QPointer<QWidget> before = window->focusWidget();
  setFocus(Qt::OtherFocusReason);
  // Qt tells the controls of a window that is not active nothing of the focus
  // moving, and without a window manager a window takes keys without ever
  // being active: the controls are told here, as the window system tells them.
  if (window->isActiveWindow() || before == this || window->focusWidget() != this) return;
  const QPointer<TControl> self(this);
  if (before) {
    QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(before, &out);
  }
  if (!self || window->focusWidget() != this) return;
  QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
  QCoreApplication::sendEvent(this, &in);
}

TCanvas& TControl::Canvas() {
  if (!paintBitmap_) throw Exception("A control can draw only while it paints.");
  return paintBitmap_->Canvas();
}
