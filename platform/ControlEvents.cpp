#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScopeGuard>
#include <QWheelEvent>

#include "platform/Application.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/ChildBands.h"
#include "platform/Control.h"
#include "platform/Cp1251.h"
#include "platform/DebugChecks.h"
#include "platform/KeyboardLayout.h"

// How Qt's events become a control's steps: mouse, wheel, the key split into a
// virtual-key step and a character step, focus, and painting through the kept canvas.

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

}  // namespace

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
    } else if (PaintCheckOn()) {
      if (const std::string stale = StaleCanvas(); !stale.empty()) ReportCheckFailure(stale);
    }
    painter.drawImage(exposed.topLeft(), kept->OpaqueImage(FromQRect(exposed)));
    return;
  }
  TBitmap part(exposed.width(), exposed.height());
  part.SetOrigin(Point(exposed.x(), exposed.y()));
  PaintOn(part);
  painter.drawImage(exposed.topLeft(), part.OpaqueImage());
}

std::string TControl::StaleCanvas() {
  const TBitmap* kept = keptValid_ ? KeptCanvas() : nullptr;
  // A canvas of another size is dropped, and drawn again before it is shown.
  if (!kept || !keptValid_) return "";
  if (PaintFollowsPosition() && mapTo(window(), QPoint()) != keptOffset_) return "";
  TBitmap fresh(kept->Width(), kept->Height());
  PaintOn(fresh);
  for (int y = 0; y < fresh.Height(); ++y) {
    const std::uint32_t* shown = kept->ScanLine(y);
    const std::uint32_t* drawn = fresh.ScanLine(y);
    for (int x = 0; x < fresh.Width(); ++x) {
      if (shown[x] == drawn[x]) continue;
      const QPoint at = mapTo(window(), QPoint());
      return QString::asprintf("a %s at %d,%d, %d x %d in its window, shows a canvas that is out of date: at "
                               "%d,%d it shows %08X where it draws %08X now",
                               metaObject()->className(), at.x(), at.y(), Width(), Height(), x, y, shown[x],
                               drawn[x])
          .toStdString();
    }
  }
  return "";
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
  // Switching between applications is no focus change inside the window, nor
  // is a control moving to another band of its parent.
  if (e->reason() != Qt::ActiveWindowFocusReason && !TChildBands::Moving()) DoEnter();
  QWidget::focusInEvent(e);
}

void TControl::focusOutEvent(QFocusEvent* e) {
  keptValid_ = false;
  if (e->reason() != Qt::ActiveWindowFocusReason && !TChildBands::Moving()) DoExit();
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
