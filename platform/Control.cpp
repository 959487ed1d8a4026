#include "platform/Control.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScopeGuard>
#include <QWheelEvent>
#include <algorithm>

#include "platform/Application.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "platform/KeyboardLayout.h"
#include "platform/Screen.h"
#include "platform/StrUtils.h"

namespace {

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton) {
  TShiftState s = 0;
  if (modifiers & Qt::ShiftModifier) s |= ssShift;
  if (modifiers & Qt::AltModifier) s |= ssAlt;
  if (modifiers & Qt::ControlModifier) s |= ssCtrl;
  if (buttons & Qt::LeftButton) s |= ssLeft;
  if (buttons & Qt::RightButton) s |= ssRight;
  if (buttons & Qt::MiddleButton) s |= ssMiddle;
  return s;
}

TShiftState ShiftOf(const QMouseEvent& e) {
  return ShiftOf(e.modifiers(), e.buttons());
}

TMouseButton ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::RightButton:
      return mbRight;
    case Qt::MiddleButton:
      return mbMiddle;
    default:
      return mbLeft;
  }
}

// Keys that move or edit without typing: they never reach the character step.
bool IsCommandKey(unsigned short vk) {
  return (vk >= VK_PRIOR && vk <= VK_DOWN) || vk == VK_INSERT || vk == VK_DELETE ||
         (vk >= VK_F1 && vk < 136) || vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU;
}

// The one cp1251 byte that a key types, if it types one.
bool CharacterOf(const QKeyEvent& e, unsigned short vk, char& out) {
  if (IsCommandKey(vk)) return false;
  if (vk == VK_BACK || vk == VK_RETURN || vk == VK_ESCAPE) {
    out = static_cast<char>(vk);
    return true;
  }
  const char16_t ch = TypedCharacter(e);
  if (ch == 0 || ch == 0x7F) return false;
  out = UnicodeToCp1251Char(ch);
  return out != '?' || ch == u'?';
}

// Windowed siblings (and plain Qt widgets) stay above the windowless controls.
bool IsWindowedWidget(const QObject* object) {
  if (!object->isWidgetType() || static_cast<const QWidget*>(object)->isWindow()) return false;
  const auto* control = qobject_cast<const TControl*>(object);
  return !control || control->IsWindowed();
}

}  // namespace

// ---------------------------------------------------------------- kept canvases

// The canvases that controls keep between paints, least recently painted
// first. A control keeps one only when it is no larger than the screen, and
// all of them together hold at most a few screens of pixels (the least
// recently painted give theirs up), so a page of any length keeps memory in
// proportion to the screen, not to the page.
class TKeptCanvases {
 public:
  static constexpr std::int64_t kScreens = 4;

  static std::int64_t ScreenPixels() {
    const TScreenMetrics screen = ScreenMetrics();
    const std::int64_t pixels = std::int64_t(screen.Width) * screen.Height;
    return pixels > 0 ? pixels : 1024 * 768;  // no screen to ask: the smallest the trainer supports
  }

  // The control's kept canvas at its present size, or null when it is too large to keep one.
  static TBitmap* For(TControl& control) {
    const std::int64_t pixels = std::int64_t(control.Width()) * control.Height();
    if (control.kept_ && control.kept_->Width() == control.Width() &&
        control.kept_->Height() == control.Height()) {
      order_.splice(order_.end(), order_, control.keptEntry_);
      return control.kept_.get();
    }
    Drop(control);
    const std::int64_t screen = ScreenPixels();
    if (pixels > screen) return nullptr;
    while (!order_.empty() && pixels_ + pixels > kScreens * screen) Drop(*order_.front());
    control.kept_ = std::make_unique<TBitmap>(control.Width(), control.Height());
    control.keptValid_ = false;
    control.keptEntry_ = order_.insert(order_.end(), &control);
    pixels_ += pixels;
    return control.kept_.get();
  }

  static void Drop(TControl& control) {
    if (!control.kept_) return;
    pixels_ -= std::int64_t(control.kept_->Width()) * control.kept_->Height();
    order_.erase(control.keptEntry_);
    control.kept_.reset();
    control.keptValid_ = false;
  }

 private:
  static inline std::list<TControl*> order_;
  static inline std::int64_t pixels_ = 0;
};

TBitmap* TControl::KeptCanvas() {
  return TKeptCanvases::For(*this);
}

void TControl::DropKeptCanvas() {
  TKeptCanvases::Drop(*this);
}

// ---------------------------------------------------------------- TControl

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
  const QRect bounds = bounds_;
  QWidget::setParent(parent);
  setGeometry(bounds);
  if (!parent) return;
  parent->InsertControl(this);
  RememberAnchorDistances();
  QWidget::setVisible(visible_);
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
  setGeometry(bounds_);
  if (!ParentIsAligning()) {
    RememberAnchorDistances();
    if (align_ != alNone) RequestParentAlign();
  }
  if (bounds_.size() != alignedSize_) SizeChanged();
  if (parent_) parent_->ChildrenChanged();
}

void TControl::SizeChanged() {
  alignedSize_ = bounds_.size();
  if (auto* container = qobject_cast<TWinControl*>(this)) container->AlignControls();
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
  bounds_.moveTopLeft(pos());
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
  if (IsWindowed() || !parent_) {
    raise();
    return;
  }
  // Top of the windowless ones, still below every windowed sibling.
  if (QWidget* lowest = parent_->LowestWindowedChild(this)) {
    stackUnder(lowest);
  } else {
    raise();
  }
}

void TControl::BringToFront() {
  StackAmongSiblings();
}

void TControl::SendToBack() {
  if (!IsWindowed() || !parent_) {
    lower();
    return;
  }
  // Bottom of the windowed ones, still above every windowless sibling.
  if (QWidget* lowest = parent_->LowestWindowedChild(this)) stackUnder(lowest);
}

void TControl::setVisible(bool visible) {
  const bool changed = visible != visible_;
  if (changed) VisibleChanging();
  visible_ = visible;
  // A control without a parent has nowhere to show; only forms are windows.
  if (parentWidget() || topLevel_ || !visible) QWidget::setVisible(visible);
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
  if (CanFocus()) setFocus(Qt::OtherFocusReason);
}

TCanvas& TControl::Canvas() {
  if (!paintBitmap_) throw Exception("A control can draw only while it paints.");
  return paintBitmap_->Canvas();
}

// ----- the steps and their events

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

bool TControl::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
  return handled;
}

void TControl::KeyDown(unsigned short& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TControl::KeyUp(unsigned short& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TControl::KeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

void TControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::EraseBackground(QPainter&) {}

// ----- Qt events

bool TControl::event(QEvent* e) {
  // Qt asks a control it has just shown to paint through this event; one out
  // of sight has nothing on screen to paint (see Invalidate).
  if (e->type() == QEvent::UpdateLater && OutOfSight()) return true;
  // No box may open inside painting: such a message waits for the loop.
  const bool painting = e->type() == QEvent::Paint;
  try {
    return QWidget::event(e);
  } catch (const std::exception& ex) {
    Application->ShowException(ex.what(), painting);
  } catch (...) {
    Application->ShowException("Unknown error.", painting);
  }
  return true;
}

void TControl::paintEvent(QPaintEvent* e) {
  if (!OwnPainting()) {
    QPainter painter(this);
    EraseBackground(painter);
    return;
  }
  // Every pixel is ours, so Qt need not paint the parent beneath us first.
  if (!testAttribute(Qt::WA_OpaquePaintEvent)) setAttribute(Qt::WA_OpaquePaintEvent);
  const QRect exposed = e->rect() & rect();
  if (exposed.isEmpty()) return;
  QPainter painter(this);
  if (TBitmap* kept = KeptCanvas()) {
    const QPoint offset = PaintFollowsPosition() ? mapTo(window(), QPoint()) : QPoint();
    if (!keptValid_ || offset != keptOffset_) {
      PaintOn(*kept);
      keptValid_ = true;
      keptOffset_ = offset;
    }
    painter.drawImage(exposed.topLeft(), kept->OpaqueImage(FromQRect(exposed)));
    return;
  }
  TBitmap part(exposed.width(), exposed.height());
  part.SetOrigin(Point(exposed.x(), exposed.y()));
  PaintOn(part);
  painter.drawImage(exposed.topLeft(), part.OpaqueImage());
}

void TControl::PaintOn(TBitmap& bitmap) {
  TCanvas& canvas = bitmap.Canvas();
  // A kept canvas starts each drawing as a new one would.
  canvas.Pen = TPen{};
  canvas.PenPos = Point(0, 0);
  canvas.Brush = TBrush{Color(), TBrushStyle::bsSolid};
  canvas.FillRect(ClientRect());
  canvas.Font = Font();
  paintBitmap_ = &bitmap;
  const auto done = qScopeGuard([this] { paintBitmap_ = nullptr; });
  Paint();
}

void TControl::Invalidate() {
  keptValid_ = false;
  // Qt's repaint manager spends time on each marked control in proportion to
  // its siblings: marking the unseen ones of a long page would make a check
  // cost the square of its words.
  if (!OutOfSight()) update();
}

bool TControl::OutOfSight() const {
  QRect r = rect();
  for (const QWidget* w = this; !w->isWindow(); w = w->parentWidget()) {
    if (!w->parentWidget()) return false;
    r = r.translated(w->pos()) & w->parentWidget()->rect();
    if (r.isEmpty()) return true;
  }
  return false;
}

void TControl::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) pressedLeft_ = true;
  const QPoint p = e->position().toPoint();
  MouseDown(ButtonOf(e->button()), ShiftOf(*e), p.x(), p.y());
}

void TControl::mouseDoubleClickEvent(QMouseEvent* e) {
  // The second press of a double click clicks no more on its release.
  pressedLeft_ = false;
  const QPoint p = e->position().toPoint();
  QPointer<TControl> self(this);
  if (e->button() == Qt::LeftButton) DblClick();
  if (self) MouseDown(ButtonOf(e->button()), ShiftOf(*e) | ssDouble, p.x(), p.y());
}

void TControl::mouseReleaseEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  const bool left = e->button() == Qt::LeftButton;
  const bool click = left && pressedLeft_ && ClientRect().Contains(Point(p.x(), p.y()));
  if (left) pressedLeft_ = false;
  QPointer<TControl> self(this);
  // The click comes first, so a click handler's state survives the mouse-up.
  if (click) Click();
  if (self) MouseUp(ButtonOf(e->button()), ShiftOf(*e), p.x(), p.y());
}

void TControl::mouseMoveEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  MouseMove(ShiftOf(*e), p.x(), p.y());
}

void TControl::wheelEvent(QWheelEvent* e) {
  const QPoint global = e->globalPosition().toPoint();
  const bool handled =
      DoMouseWheel(ShiftOf(e->modifiers(), e->buttons()), e->angleDelta().y(), Point(global.x(), global.y()));
  // An unhandled wheel goes on to the parent, as on Windows.
  e->setAccepted(handled);
}

void TControl::enterEvent(QEnterEvent*) {
  MouseEnter();
}

void TControl::leaveEvent(QEvent*) {
  MouseLeave();
}

void TControl::keyPressEvent(QKeyEvent* e) {
  const TShiftState shift = ShiftOf(e->modifiers());
  const unsigned short code = VirtualKeyOf(*e);
  if (code == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
    // Tab moves the focus through the window in creation order, before the control sees it.
    auto* window = qobject_cast<TWinControl*>(this);
    TWinControl* root = window;
    while (root && root->Parent()) root = root->Parent();
    if (root) root->SelectNext(window, !(shift & ssShift), true);
    return;
  }
  unsigned short key = code;
  QPointer<TControl> self(this);
  KeyDown(key, shift);
  if (!self || (code != 0 && key == 0)) return;
  char ch = 0;
  if (CharacterOf(*e, code, ch)) KeyPress(ch);
}

void TControl::keyReleaseEvent(QKeyEvent* e) {
  unsigned short key = VirtualKeyOf(*e);
  KeyUp(key, ShiftOf(e->modifiers()));
}

void TControl::focusInEvent(QFocusEvent* e) {
  keptValid_ = false;
  // Switching between applications is no focus change inside the window.
  if (e->reason() != Qt::ActiveWindowFocusReason) DoEnter();
  QWidget::focusInEvent(e);
}

void TControl::focusOutEvent(QFocusEvent* e) {
  keptValid_ = false;
  if (e->reason() != Qt::ActiveWindowFocusReason) DoExit();
  QWidget::focusOutEvent(e);
}

bool TControl::Focused() const {
  return hasFocus() || (isVisible() && window()->focusWidget() == this);
}

void TControl::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) keptValid_ = false;
  QWidget::changeEvent(e);
}

bool TControl::focusNextPrevChild(bool) {
  return false;
}

// ---------------------------------------------------------------- TWinControl

TWinControl::TWinControl(QObject* owner) : TControl(owner) {
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
  ChildrenChanged();
}

void TWinControl::RemoveControl(TControl* control) {
  if (destroying_) return;  // the whole list goes with us
  // Children are usually removed last-first (page clearing), so search from the end.
  const auto it = std::find(controls_.rbegin(), controls_.rend(), control);
  if (it != controls_.rend()) controls_.erase(std::next(it).base());
  if (control->Align() != alNone) Realign();
  ChildrenChanged();
}

void TWinControl::Realign() {
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

QWidget* TWinControl::LowestWindowedChild(const QWidget* except) const {
  // children() runs from the bottom of the stack to its top.
  for (QObject* child : children()) {
    if (child != except && IsWindowedWidget(child)) return static_cast<QWidget*>(child);
  }
  return nullptr;
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
