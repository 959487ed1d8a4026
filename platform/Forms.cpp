#include "platform/Forms.h"

#include <xcb/xcb.h>

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QWindow>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/Application.h"
#include "platform/Cp1251.h"
#include "platform/Screen.h"
#include "platform/StrUtils.h"

// ---------------------------------------------------------------- TForm

namespace {

xcb_atom_t XAtom(xcb_connection_t* connection, const char* name) {
  const auto cookie = xcb_intern_atom(connection, 0, std::uint16_t(std::strlen(name)), name);
  const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
      xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
  return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The X server's connection where the programs run under X, else null (the
// offscreen platform offers the interface without a connection).
xcb_connection_t* XConnection() {
  if (QGuiApplication::platformName() != "xcb") return nullptr;
  const auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}

// Sets (or, with XCB_PROP_MODE_APPEND, extends) a 32-bit property of the
// window for its window manager to read.
void SetWindowProperty(xcb_connection_t* connection, QWidget& window, std::uint8_t mode, const char* name,
                       xcb_atom_t type, std::uint32_t count, const void* values) {
  xcb_change_property(connection, mode, xcb_window_t(window.winId()), XAtom(connection, name), type, 32, count,
                      values);
  xcb_flush(connection);
}

// Taskbars and pagers leave the window out. Qt asks X window managers for no
// such thing itself; it keeps these states when it maps the window.
void KeepOutOfTaskbars(QWidget& window) {
  xcb_connection_t* connection = XConnection();
  if (!connection) return;
  const xcb_atom_t states[] = {XAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                               XAtom(connection, "_NET_WM_STATE_SKIP_PAGER")};
  SetWindowProperty(connection, window, XCB_PROP_MODE_APPEND, "_NET_WM_STATE", XCB_ATOM_ATOM, 2, states);
}

// Keeps a window over panels and taskbars. Window managers that read the
// GNOME layer hint (icewm) lower a full-screen window below their taskbar
// whenever they map another window, even one it owns, and the windows it
// owns with it; asked for the layer above docks (10), an owned window stays
// over the taskbar as its owner was. Other window managers ignore the hint.
void KeepAbovePanels(QWidget& window) {
  xcb_connection_t* connection = XConnection();
  if (!connection) return;
  const std::uint32_t aboveDock = 10;
  SetWindowProperty(connection, window, XCB_PROP_MODE_REPLACE, "_WIN_LAYER", XCB_ATOM_CARDINAL, 1, &aboveDock);
}

// Asks an X window manager to minimise the window, as the X conventions say.
// Qt's own request takes a full-screen state off and puts it back around
// it, and some window managers (icewm) restore the window at that.
bool RequestIconic(QWidget& window) {
  xcb_connection_t* connection = XConnection();
  if (!connection || !window.isVisible()) return false;
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = xcb_window_t(window.winId());
  event.type = XAtom(connection, "WM_CHANGE_STATE");
  event.data.data32[0] = 3;  // IconicState
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
  xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(connection);
  return true;
}

}  // namespace


TForm::TForm(QObject* owner) : TWinControl(owner) {
  topLevel_ = true;
  setWindowFlags(Qt::Window);
  SetColor(clBtnFace);
  // A new form stays off screen until it is shown, so setting its border
  // style or bounds first does not show it.
  Hide();
}

TForm::~TForm() {
  if (Application->MainForm == this) Application->MainForm = nullptr;
  if (modalLoop_) modalLoop_->quit();
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
  borderStyle_ = style;
  ApplyWindowFlags();
  UpdateFullScreen();
}

void TForm::SetPopupParent(TForm* form) {
  popupParent_ = form;
  if (!form && windowHandle()) windowHandle()->setTransientParent(nullptr);
  ApplyWindowFlags();
}

void TForm::ApplyWindowFlags() {
  // A tool window stays out of taskbars and window switchers; with its
  // transient parent (set as it is shown) the window manager keeps it above.
  Qt::WindowFlags flags = popupParent_ ? Qt::Tool : borderStyle_ == bsDialog ? Qt::Dialog : Qt::Window;
  if (borderStyle_ == bsNone) flags |= Qt::FramelessWindowHint;
  if (flags == windowFlags()) return;
  const QRect bounds(Left(), Top(), Width(), Height());
  if (isVisible() && windowHandle() && (flags & Qt::WindowType_Mask) == windowType()) {
    // A window on show changes its frame in place: hidden and shown again, it
    // would lose the keys and race the window manager.
    overrideWindowFlags(flags);
    windowHandle()->setFlags(flags);
    SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
    return;
  }
  // New window flags hide the window (through our own setVisible) and may
  // move it: put both back, without telling OnHide and OnShow.
  const bool shown = Visible();
  restyling_ = true;
  setWindowFlags(flags);
  SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
  setVisible(shown);
  restyling_ = false;
}

QMargins TForm::Frame() const {
  const bool framed = borderStyle_ != bsNone && !(windowState() & Qt::WindowFullScreen);
  return framed ? frameMargins_ : QMargins();
}

QRect TForm::NativeGeometry(const QRect& bounds) const {
  return bounds.translated(Frame().left(), Frame().top());
}

QPoint TForm::BoundsOrigin() const {
  return geometry().topLeft() - QPoint(Frame().left(), Frame().top());
}

void TForm::LearnFrameMargins() {
  if (borderStyle_ == bsNone || !isVisible() || (windowState() & Qt::WindowFullScreen)) return;
  const QRect frame = frameGeometry(), client = geometry();
  const QMargins margins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                         frame.bottom() - client.bottom());
  // A window just mapped has no frame yet: the last one known stays.
  if (margins.isNull() || margins == frameMargins_) return;
  frameMargins_ = margins;
  ReadBoundsOrigin();
}

void TForm::moveEvent(QMoveEvent* e) {
  LearnFrameMargins();
  TWinControl::moveEvent(e);
}

void TForm::resizeEvent(QResizeEvent* e) {
  LearnFrameMargins();
  TWinControl::resizeEvent(e);
}

void TForm::SetWindowState(TWindowState state) {
  if (state == windowState_) return;
  const TWindowState previous = windowState_;
  windowState_ = state;
  if (previous == wsMinimized) setWindowState(windowState() & ~Qt::WindowMinimized);
  switch (state) {
    case wsMinimized:
      restoredState_ = previous;
      if (!RequestIconic(*this)) setWindowState(windowState() | Qt::WindowMinimized);
      break;
    case wsMaximized: {
      if (previous == wsNormal) normalBounds_ = QRect(Left(), Top(), Width(), Height());
      const TScreenMetrics screen = ScreenMetrics();
      SetBounds(0, 0, screen.Width, screen.Height);
      break;
    }
    case wsNormal:
      if (previous == wsMaximized) {
        SetBounds(normalBounds_.x(), normalBounds_.y(), normalBounds_.width(), normalBounds_.height());
      }
      break;
  }
  UpdateFullScreen();
}

void TForm::SetFullScreen() {
  SetBorderStyle(bsNone);
  SetWindowState(wsMaximized);
}

void TForm::UpdateFullScreen() {
  const TWindowState state = windowState_ == wsMinimized ? restoredState_ : windowState_;
  // Only over the platform's own screen: a screen that a test chose is not
  // the platform's, and a full-screen window takes the platform's size.
  const QScreen* platformScreen = screen();
  const bool wholeScreen = platformScreen && platformScreen->geometry() == QRect(Left(), Top(), Width(), Height());
  Qt::WindowStates states = windowState();
  states.setFlag(Qt::WindowFullScreen, borderStyle_ == bsNone && state == wsMaximized && wholeScreen);
  if (states != windowState()) setWindowState(states);
}

TModalResult TForm::ShowModal() {
  if (modalLoop_) throw Exception("The window is already shown as a dialog.");
  modalResult_ = mrNone;
  setWindowModality(Qt::ApplicationModal);
  Show();
  QEventLoop loop;
  modalLoop_ = &loop;
  QPointer<TForm> self(this);
  for (;;) {
    if (modalResult_ == mrNone && !Application->Terminated()) loop.exec();
    if (!self) return mrCancel;
    // A program that ends leaves the dialog too.
    if (Application->Terminated() && modalResult_ == mrNone) modalResult_ = mrCancel;
    TCloseAction action = caHide;
    DoClose(action);
    if (!self) return mrCancel;
    if (action != caNone || Application->Terminated()) break;
    modalResult_ = mrNone;
  }
  modalLoop_ = nullptr;
  Hide();
  setWindowModality(Qt::NonModal);
  return modalResult_;
}

void TForm::SetModalResult(TModalResult result) {
  modalResult_ = result;
  if (modalLoop_ && result != mrNone) modalLoop_->quit();
}

void TForm::Close() {
  if (modalLoop_) {
    SetModalResult(mrCancel);
    return;
  }
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application->MainForm == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caMinimize:
      SetWindowState(wsMinimized);
      break;
    case caFree:
      Release();
      break;
    default:
      Hide();
  }
}

void TForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TForm::CaptionChanged() {
  setWindowTitle(Cp1251ToQString(Caption()));
}

void TForm::showEvent(QShowEvent* e) {
  // The window exists and is not yet mapped: the window manager learns its owner now.
  if (popupParent_ && windowHandle()) {
    windowHandle()->setTransientParent(popupParent_->windowHandle());
    KeepOutOfTaskbars(*this);
    if (popupParent_->IsFullScreen()) KeepAbovePanels(*this);
  }
  if (!e->spontaneous() && !restyling_) DoShow();
  TWinControl::showEvent(e);
  // Where the platform frames the window at once (not X), the frame is known now.
  LearnFrameMargins();
}

void TForm::hideEvent(QHideEvent* e) {
  if (!e->spontaneous() && !restyling_) DoHide();
  TWinControl::hideEvent(e);
}

void TForm::closeEvent(QCloseEvent* e) {
  // The window manager's close button goes through our own Close.
  e->ignore();
  Close();
}

void TForm::changeEvent(QEvent* e) {
  // The window manager minimises and restores the window too.
  if (e->type() == QEvent::WindowStateChange) {
    const bool minimized = windowState() & Qt::WindowMinimized;
    if (minimized && windowState_ != wsMinimized) {
      restoredState_ = windowState_;
      windowState_ = wsMinimized;
    } else if (!minimized && windowState_ == wsMinimized) {
      windowState_ = restoredState_;
    }
  }
  TWinControl::changeEvent(e);
}

TForm* GetParentForm(TControl* control) {
  for (TControl* c = control; c; c = c->Parent()) {
    if (auto* form = qobject_cast<TForm*>(c)) return form;
  }
  return nullptr;
}

// ---------------------------------------------------------------- TFrame, TPanel

TFrame::TFrame(QObject* owner) : TWinControl(owner) {}

TPanel::TPanel(QObject* owner) : TWinControl(owner) {
  SetColor(clBtnFace);
}

void TPanel::SetBevelOuter(TBevelCut bevel) {
  bevelOuter_ = bevel;
  update();
}

void TPanel::EraseBackground(QPainter& painter) {
  TWinControl::EraseBackground(painter);
  if (bevelOuter_ == bvNone || Width() < 2 || Height() < 2) return;
  const bool raised = bevelOuter_ == bvRaised;
  const int right = Width() - 1, bottom = Height() - 1;
  painter.setPen(ToQColor(raised ? clBtnHighlight : clBtnShadow));
  painter.drawLine(0, 0, right - 1, 0);
  painter.drawLine(0, 0, 0, bottom - 1);
  painter.setPen(ToQColor(raised ? clBtnShadow : clBtnHighlight));
  painter.drawLine(right, 0, right, bottom);
  painter.drawLine(0, bottom, right, bottom);
}

// ---------------------------------------------------------------- TScrollBox

namespace {
constexpr int kScrollBarWidth = 17;
constexpr int kWheelStep = 40;  // pixels per wheel notch
}  // namespace

TScrollBox::TScrollBox(QObject* owner) : TWinControl(owner), bar_(new QScrollBar(Qt::Vertical, this)) {
  bar_->hide();
  bar_->setFocusPolicy(Qt::NoFocus);
  connect(bar_, &QScrollBar::valueChanged, this, [this](int value) { SetVertScrollPosition(value); });
}

void TScrollBox::SetAutoScroll(bool autoScroll) {
  autoScroll_ = autoScroll;
  if (!autoScroll_) SetVertScrollPosition(0);
  UpdateScrollBar();
}

int TScrollBox::ContentBottom() const {
  int bottom = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    const TControl* c = Controls(i);
    if (c->Visible()) bottom = std::max(bottom, c->Top() + c->Height() + position_);
  }
  return bottom;
}

int TScrollBox::VertScrollRange() const {
  return autoScroll_ ? std::max(0, ContentBottom() - ClientHeight()) : 0;
}

void TScrollBox::SetVertScrollPosition(int position) {
  position = std::clamp(position, 0, VertScrollRange());
  const int delta = position_ - position;
  if (delta == 0) return;
  position_ = position;
  scrolling_ = true;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    c->SetBounds(c->Left(), c->Top() + delta, c->Width(), c->Height());
  }
  scrolling_ = false;
  UpdateScrollBar();
}

void TScrollBox::ChildrenChanged() {
  if (!scrolling_) UpdateScrollBar();
}

void TScrollBox::Resize() {
  // A taller box may need less scrolling than before.
  if (position_ > VertScrollRange()) SetVertScrollPosition(VertScrollRange());
  UpdateScrollBar();
  TWinControl::Resize();
}

void TScrollBox::UpdateScrollBar() {
  const int range = VertScrollRange();
  bar_->setVisible(range > 0);
  if (range == 0) return;
  const QSignalBlocker quiet(bar_);
  bar_->setGeometry(Width() - kScrollBarWidth, 0, kScrollBarWidth, Height());
  bar_->setRange(0, range);
  bar_->setPageStep(ClientHeight());
  bar_->setValue(position_);
  bar_->raise();
}

bool TScrollBox::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  if (TWinControl::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
  if (VertScrollRange() == 0) return false;
  SetVertScrollPosition(position_ - wheelDelta * kWheelStep / 120);
  return true;
}
