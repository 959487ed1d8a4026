#pragma once
// Top-level windows and plain containers: TForm, TFrame, TPanel. Including
// this header also brings TLabel and TImage.

#include <QMargins>
#include <QPointer>
#include <QRect>
#include <functional>
#include <string>

#include "platform/Control.h"
#include "platform/Image.h"
#include "platform/Label.h"

class QEventLoop;

enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

// A top-level window. Its bounds are its outer frame; a maximised form covers
// the whole screen (ScreenMetrics) at once, synchronously. The derived class's
// constructor and destructor stand for OnCreate and OnDestroy.
class TForm : public TWinControl {
  Q_OBJECT

 public:
  explicit TForm(QObject* owner = nullptr);
  ~TForm() override;

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle style);
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState state);
  // Frameless and maximised: the whole screen. The window manager is told the
  // window is full screen, so panels and taskbars stay under it too.
  void SetFullScreen();
  // Whether the window manager has been told the window is full screen.
  bool IsFullScreen() const { return windowState() & Qt::WindowFullScreen; }
  // Keeps the form above form and out of taskbars and window switchers, as a
  // window owned by it (a tool window, transient for form); null frees it.
  void SetPopupParent(TForm* form);

  // Shows the form and runs a message loop until ModalResult is set (or the
  // form is closed, which sets mrCancel); returns the result, form hidden.
  TModalResult ShowModal();
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult result);
  bool Modal() const { return modalLoop_ != nullptr; }

  // Asks OnClose what to do (hide by default); the main form's close ends the program.
  void Close();

  TNotifyEvent OnShow, OnHide;
  TCloseEvent OnClose;

 protected:
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  void CaptionChanged() override;
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void changeEvent(QEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  // The bounds' top-left is the frame's, under a window manager too (Qt
  // places the client area), so bounds read back and set again stay put.
  QRect NativeGeometry(const QRect& bounds) const override;
  QPoint BoundsOrigin() const override;

 private:
  // The window manager's frame while the window is decorated, else none.
  QMargins Frame() const;
  // Keeps the frame the window manager gave the window last, once it is settled.
  void LearnFrameMargins();
  void ApplyWindowFlags();
  // Tells the window manager whether the window is full screen (frameless and maximised).
  void UpdateFullScreen();

  TFormBorderStyle borderStyle_ = bsSizeable;
  TWindowState windowState_ = wsNormal;
  TWindowState restoredState_ = wsNormal;  // the state a minimised form comes back to
  QPointer<TForm> popupParent_;
  QMargins frameMargins_;
  QRect normalBounds_;
  TModalResult modalResult_ = mrNone;
  QEventLoop* modalLoop_ = nullptr;
  bool restyling_ = false;  // inside SetBorderStyle: the hide and show are not the program's
};

// The form that holds a control (the control itself when it is a form), or null.
TForm* GetParentForm(TControl* control);

// A container designed as a unit (a screen part) and placed inside a form.
class TFrame : public TWinControl {
  Q_OBJECT

 public:
  explicit TFrame(QObject* owner);
};

enum TBevelCut { bvNone, bvLowered, bvRaised };

// A plain container that fills itself with its own Color and may draw a
// one-pixel raised or lowered bevel.
class TPanel : public TWinControl {
  Q_OBJECT

 public:
  explicit TPanel(QObject* owner);

  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut bevel);

 protected:
  void EraseBackground(QPainter& painter) override;

 private:
  TBevelCut bevelOuter_ = bvRaised;
};

class QScrollBar;

// A container that scrolls its children vertically, as the class library's
// scroll box does: while AutoScroll holds and the children reach below the
// client area, a scroll bar shows at the right edge (over the children) and
// scrolling moves the children up. Without AutoScroll it is a plain container.
class TScrollBox : public TWinControl {
  Q_OBJECT

 public:
  explicit TScrollBox(QObject* owner);

  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool autoScroll);
  // Kept for the system's code: the box draws no frame, whatever the style.
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle style) { borderStyle_ = style; }

  // How far the children are scrolled up, 0 .. VertScrollRange().
  int VertScrollPosition() const { return position_; }
  void SetVertScrollPosition(int position);
  int VertScrollRange() const;

 protected:
  void ChildrenChanged() override;
  void Resize() override;
  bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;

 private:
  void UpdateScrollBar();
  int ContentBottom() const;

  QScrollBar* bar_ = nullptr;
  bool autoScroll_ = true;
  bool scrolling_ = false;  // our own moves of the children
  int position_ = 0;
  TFormBorderStyle borderStyle_ = bsSingle;
};
