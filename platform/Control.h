#pragma once
// The control family of the class library, on QWidget.
//
// Owner and parent are different things: the owner frees a control (in its own
// destructor, before Qt deletes its children), the parent shows it. Geometry is
// synchronous: SetBounds, Align and Anchors take effect inside the call, on hidden
// controls too, and fire Resize() there. Input arrives in the class library's
// steps: MouseDown/MouseMove/MouseUp with Click before MouseUp, KeyDown with
// Windows virtual-key codes and then KeyPress with one cp1251 byte.

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Font.h"
#include "platform/Types.h"

class TBitmap;
class TCanvas;
class TChildBands;
class TWinControl;
class QPainter;

using TObject = QObject;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Modifier keys and mouse buttons held during an input event.
enum TShiftStateFlag : unsigned {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64
};
using TShiftState = unsigned;

// Alignment inside the parent's client area, applied in the order top, bottom,
// left, right, client.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Edges whose distance to the parent's matching edge is kept when the parent resizes.
enum TAnchorKind : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = unsigned;

// Windows virtual-key codes that the system's code tests; letters are 'A'..'Z'
// and digits '0'..'9'.
constexpr unsigned short VK_BACK = 8;
constexpr unsigned short VK_TAB = 9;
constexpr unsigned short VK_RETURN = 13;
constexpr unsigned short VK_SHIFT = 16;
constexpr unsigned short VK_CONTROL = 17;
constexpr unsigned short VK_MENU = 18;
constexpr unsigned short VK_ESCAPE = 27;
constexpr unsigned short VK_SPACE = 32;
constexpr unsigned short VK_PRIOR = 33;
constexpr unsigned short VK_NEXT = 34;
constexpr unsigned short VK_END = 35;
constexpr unsigned short VK_HOME = 36;
constexpr unsigned short VK_LEFT = 37;
constexpr unsigned short VK_UP = 38;
constexpr unsigned short VK_RIGHT = 39;
constexpr unsigned short VK_DOWN = 40;
constexpr unsigned short VK_INSERT = 45;
constexpr unsigned short VK_DELETE = 46;
constexpr unsigned short VK_F1 = 112;

// Event properties; Sender is the control (or timer) that fires them.
using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, unsigned short& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
// WheelDelta is in Windows units (120 per notch, positive away from the user).
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;

// The base of every control: geometry, visibility, colour and font, and the
// mouse and keyboard steps.
class TControl : public QWidget {
  Q_OBJECT

 public:
  // The owner frees this control; it may be a TControl, another QObject (the
  // control goes when that object is destroyed) or null (the caller frees it).
  explicit TControl(QObject* owner);
  ~TControl() override;

  QObject* Owner() const { return owner_; }

  // The parent shows the control: it is laid out in the parent's client area,
  // listed in its Controls, freed with it, and takes its colour and font while
  // ParentColor/ParentFont hold. SetParent(nullptr) takes it off screen.
  virtual void SetParent(TWinControl* parent);
  TWinControl* Parent() const { return parent_; }

  // Frees the control later: it is hidden and unparented at once, so it is safe
  // to call from the control's own handlers. Free() deletes at once.
  void Release();
  void Free() { delete this; }

  // --- Geometry (parent client coordinates; takes effect at once) ---
  // Moves and sizes the control; a size change re-aligns its children and
  // fires Resize() and OnResize before returning.
  virtual void SetBounds(int left, int top, int width, int height);
  int Left() const { return bounds_.x(); }
  int Top() const { return bounds_.y(); }
  int Width() const { return bounds_.width(); }
  int Height() const { return bounds_.height(); }
  void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
  void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
  void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
  void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
  TRect BoundsRect() const { return Bounds(Left(), Top(), Width(), Height()); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  // Controls have no borders: the client area is the whole control.
  TRect ClientRect() const { return Rect(0, 0, Width(), Height()); }
  int ClientWidth() const { return Width(); }
  int ClientHeight() const { return Height(); }
  void SetClientWidth(int width) { SetWidth(width); }
  void SetClientHeight(int height) { SetHeight(height); }

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors anchors);

  // Screen coordinates of a client point and back; ClientOrigin is (0, 0) on screen.
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;
  TPoint ClientOrigin() const { return ClientToScreen(Point(0, 0)); }

  // Z-order among siblings. Windowless controls always stay below windowed ones.
  void BringToFront();
  void SendToBack();

  // --- State ---
  // The control's own flag: a visible control inside a hidden parent is Visible.
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { setVisible(visible); }
  void Show() { setVisible(true); }
  void Hide() { setVisible(false); }
  void setVisible(bool visible) override;
  // Shown on screen: this control and every parent visible.
  bool Showing() const { return isVisible(); }

  bool Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }
  void SetEnabled(bool enabled);

  std::intptr_t Tag = 0;
  std::string Hint;  // cp1251
  bool ShowHint = false;
  bool DoubleBuffered = false;  // Qt double-buffers anyway; kept for the system's code

  std::string Name() const { return objectName().toStdString(); }
  void SetName(const std::string& name) { setObjectName(QString::fromStdString(name)); }

  // The caption (cp1251); Text is the same string.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  const std::string& Text() const { return caption_; }
  void SetText(const std::string& text) { SetCaption(text); }

  // The colour is the parent's while ParentColor holds (the default); setting a
  // colour clears ParentColor.
  TColor Color() const;
  void SetColor(TColor color);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool parentColor);

  // The font, likewise taken from the parent while ParentFont holds.
  const TFont& Font() const;
  void SetFont(const TFont& font);
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool parentFont);

  Qt::CursorShape Cursor() const { return cursor_; }
  void SetCursor(Qt::CursorShape cursor);

  // --- Painting: only in paint events ---
  // What the control shows has changed: its canvas is drawn again at the next
  // paint. (A Qt update() alone only copies the kept canvas out again.)
  void Invalidate();
  void Repaint() {
    Invalidate();
    repaint();
  }
  void Refresh() { Repaint(); }
  void Update() { repaint(); }
  // How the kept canvas, about to be shown as it is, differs from what the
  // control draws now: its class, its rectangle in its window and the first
  // differing pixel; empty when it does not or the canvas is drawn again at
  // the next paint anyway. Paints check it when PaintCheckOn().
  std::string StaleCanvas();

  // --- Events ---
  TNotifyEvent OnClick, OnDblClick, OnResize, OnMouseEnter, OnMouseLeave, OnEnter, OnExit;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TKeyEvent OnKeyDown, OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TMouseWheelEvent OnMouseWheel;

  // Keyboard focus; the windowless controls never take it.
  virtual bool CanFocus() const { return false; }
  // The control its window sends the keys to. Not Qt's hasFocus(), which
  // also asks for an active window: without a window manager (a kiosk
  // session, Xvfb) the window receives keys without ever being activated.
  bool Focused() const;
  virtual void SetFocus();
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool tabStop) { tabStop_ = tabStop; }

  // Windowed controls hold children and take focus; windowless ones do not.
  // (A flag rather than a virtual: a parent asks while the child is being freed.)
  bool IsWindowed() const { return windowed_; }

 protected:
  // The steps that the system's controls override; the base versions fire the
  // matching On... property.
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseEnter();
  virtual void MouseLeave();
  // Returns true when the wheel was handled.
  virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
  // Key is a virtual-key code; setting it to 0 consumes the key, so no
  // KeyPress follows.
  virtual void KeyDown(unsigned short& key, TShiftState shift);
  virtual void KeyUp(unsigned short& key, TShiftState shift);
  // Key is one cp1251 byte (#8 for Backspace, #13 for Return); set it to 0 to drop it.
  virtual void KeyPress(char& key);
  virtual void DoEnter();
  virtual void DoExit();
  // Fired inside SetBounds (and any other size change) after the children are aligned.
  virtual void Resize();
  // Where Qt puts the control for bounds (its client area), and the bounds'
  // top-left read back from Qt; a window moves both by its frame.
  virtual QRect NativeGeometry(const QRect& bounds) const { return bounds; }
  virtual QPoint BoundsOrigin() const;
  // Takes the bounds' top-left from Qt again.
  void ReadBoundsOrigin() { bounds_.moveTopLeft(BoundsOrigin()); }
  // Runs before Visible changes (Visible() still gives the old value).
  virtual void VisibleChanging() {}
  virtual void CaptionChanged() { Invalidate(); }
  virtual void FontChanged() { Invalidate(); }
  virtual void ColorChanged() { Invalidate(); }

  // Controls that paint return true. Paint() draws the whole control on a
  // canvas (filled with Color first); the control keeps that bitmap and draws
  // it again only after Invalidate, a change of size, focus or enabled state,
  // a move, or, where PaintFollowsPosition, a move of an ancestor. A paint
  // event copies only the exposed part of it, opaque. A control larger than
  // the screen keeps nothing: each paint event draws just the exposed part
  // (the canvas then covers only that part, see TBitmap::Origin).
  virtual bool OwnPainting() const { return false; }
  virtual void Paint() {}
  // Whether the pixels depend on where the control lies in its window (a
  // control that shows the part of a window background under it).
  virtual bool PaintFollowsPosition() const { return false; }
  // The canvas of the bitmap being painted; valid only inside Paint().
  TCanvas& Canvas();
  // Controls that do not paint themselves fill their background here (the
  // windowed ones with Color; windowless ones leave the parent showing).
  virtual void EraseBackground(QPainter& painter);

  // Qt plumbing: every event below is turned into the steps above, and no
  // exception leaves it (it goes to the application's handler).
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void changeEvent(QEvent* e) override;
  bool focusNextPrevChild(bool next) override;

  // Top-level windows (forms) show themselves without a parent.
  bool topLevel_ = false;
  bool windowed_ = false;

 private:
  friend class TWinControl;
  friend class TChildBands;
  void RegisterWithOwner(QObject* owner);
  // Puts the control where its bounds say, in its parent's Qt widget or band.
  void ApplyGeometry();
  void AdoptOwned(TControl* control);
  void SizeChanged();
  void StackAmongSiblings();
  void RememberAnchorDistances();
  void ParentSizeChanged(int parentWidth, int parentHeight);
  void RequestParentAlign();
  void NotifyAppearanceChanged(bool font);
  bool ParentIsAligning() const;

  QPointer<QObject> owner_;
  std::vector<QPointer<TControl>> owned_;
  std::size_t ownedAfterPrune_ = 8;
  TWinControl* parent_ = nullptr;
  bool visible_ = true;
  bool parentColor_ = true;
  bool parentFont_ = true;
  bool tabStop_ = false;
  bool pressedLeft_ = false;  // a left press began here: its release may click
  TAlign align_ = alNone;
  TAnchors anchors_ = akLeft | akTop;
  int anchorRight_ = 0;   // parent's client width minus our right edge
  int anchorBottom_ = 0;  // parent's client height minus our bottom edge
  // Our bounds as last set; a top-level window's geometry follows only later.
  QRect bounds_;
  QSize alignedSize_{0, 0};  // the size whose children are laid out
  // Above 0 once brought to the front, below 0 once sent to the back (the
  // later, the further): a child that moves to another band (see
  // TChildBands) takes its place there by it.
  std::int64_t stackRank_ = 0;
  TColor color_ = clBtnFace;
  TFont font_;
  std::string caption_;
  Qt::CursorShape cursor_ = Qt::ArrowCursor;
  TBitmap* paintBitmap_ = nullptr;  // set only during Paint()

  // Whether the parents' clipping leaves nothing of the control on screen (a
  // word scrolled out of the visible area): its updates can wait for the
  // paint that shows it.
  bool OutOfSight() const;
  // The canvas kept between paints; see OwnPainting.
  void PaintOn(TBitmap& bitmap);
  TBitmap* KeptCanvas();
  void DropKeptCanvas();
  friend class TKeptCanvases;
  bool keptValid_ = false;  // the kept canvas holds the control's present look
  QPoint keptOffset_;       // our place in the window when the kept canvas was drawn
};

// A windowed control: holds child controls (in insertion order), lays them
// out, and takes the keyboard focus.
class TWinControl : public TControl {
  Q_OBJECT

 public:
  explicit TWinControl(QObject* owner);
  // Frees the child controls first, as the class library does.
  ~TWinControl() override;

  bool CanFocus() const override;

  // Child controls in the order they were given this parent.
  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(index); }
  bool ContainsControl(const TControl* control) const;

  // Lays out the children (Align, then Anchors) in the client area again.
  void Realign();
  // Holds the layout of the children back until the matching EnableAlign,
  // which lays them out once: aligning many children one by one would lay
  // all of them out each time.
  void DisableAlign() { ++alignDisabled_; }
  void EnableAlign();

  // Moves the focus from current to the next (or previous) control among the
  // descendants of this control, in creation order, depth first, wrapping
  // around; only visible, enabled, focusable controls with TabStop (when
  // checkTabStop). current may be null or outside the walk.
  void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop) const;

 protected:
  void EraseBackground(QPainter& painter) override;
  void showEvent(QShowEvent* e) override;
  // A child joined or left, moved, was sized, shown or hidden.
  virtual void ChildrenChanged() {}

 private:
  friend class TControl;
  friend class TChildBands;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  // Puts the child into its Qt parent (this control or one of its bands) at its bounds.
  void PlaceChild(TControl& child);
  void AlignControls();
  void CollectTabOrder(std::vector<TWinControl*>& out) const;
  // The lowest of the windowed widgets stacked above all windowless children of host.
  static QWidget* LowestWindowedChild(const QWidget& host, const QWidget* except);

  std::vector<TControl*> controls_;
  int windowedChildren_ = 0;
  std::unique_ptr<TChildBands> bands_;  // once there are many windowed children
  bool aligning_ = false;
  int alignDisabled_ = 0;
  bool alignPending_ = false;
  bool destroying_ = false;
};

// A windowless control: never takes the focus, lies below windowed siblings.
class TGraphicControl : public TControl {
  Q_OBJECT

 public:
  explicit TGraphicControl(QObject* owner);
  void SetParent(TWinControl* parent) override;

 protected:
  bool OwnPainting() const override { return true; }
};

// A windowed control that paints itself through Paint().
class TCustomControl : public TWinControl {
  Q_OBJECT

 public:
  explicit TCustomControl(QObject* owner);

 protected:
  bool OwnPainting() const override { return true; }
};
