#include "platform/Forms.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <algorithm>

#include "platform/Application.h"
#include "platform/Cp1251.h"
#include "platform/Screen.h"
#include "platform/StrUtils.h"

// ---------------------------------------------------------------- TForm

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
  Qt::WindowFlags flags = style == bsDialog ? Qt::Dialog : Qt::Window;
  if (style == bsNone) flags |= Qt::FramelessWindowHint;
  // New window flags hide the window (through our own setVisible) and may
  // move it: put both back, without telling OnHide and OnShow.
  const QRect bounds(Left(), Top(), Width(), Height());
  const bool shown = Visible();
  restyling_ = true;
  setWindowFlags(flags);
  SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
  setVisible(shown);
  restyling_ = false;
}

void TForm::SetWindowState(TWindowState state) {
  if (state == windowState_) return;
  const TWindowState previous = windowState_;
  windowState_ = state;
  if (previous == wsMinimized) setWindowState(windowState() & ~Qt::WindowMinimized);
  switch (state) {
    case wsMinimized:
      setWindowState(windowState() | Qt::WindowMinimized);
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
}

void TForm::SetFullScreen() {
  SetBorderStyle(bsNone);
  SetWindowState(wsMaximized);
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
  if (!e->spontaneous() && !restyling_) DoShow();
  TWinControl::showEvent(e);
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
