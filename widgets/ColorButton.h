#pragma once
// A push button whose face the program paints: a chosen fill colour, the
// caption, and an optional icon left or right of it.

#include <functional>
#include <string>

#include "platform/Bitmap.h"
#include "platform/Control.h"

// The owner-draw state bits of a paint request.
using TOwnerDrawState = unsigned;
constexpr TOwnerDrawState odSelected = 0x1;  // pressed
constexpr TOwnerDrawState odDisabled = 0x4;
constexpr TOwnerDrawState odFocus = 0x10;

// Called after the face is painted, with the rectangle left for the face.
using TDrawButtonEvent = std::function<void(TWinControl* Control, const TRect& Rect, TOwnerDrawState State)>;

class TColorButton : public TCustomControl {
  Q_OBJECT

 public:
  explicit TColorButton(QObject* owner);

  // The icon beside the caption; the setter copies it.
  const TBitmap& Icon() const { return icon_; }
  void SetIcon(const TBitmap& icon) { icon_ = icon; }
  bool IconLeft() const { return iconLeft_; }
  void SetIconLeft(bool iconLeft);

  // The button became or stopped being the active one; repaints on change.
  void SetButtonStyle(bool isDefault);
  bool IsDefault() const { return isDefault_; }

  // The state bits the next paint uses.
  TOwnerDrawState DrawState() const;
  // Paints the face of rect for state on the canvas of the paint in progress.
  void DrawButton(const TRect& rect, TOwnerDrawState state);

  // The canvas of the paint in progress, for OnDrawButton.
  using TCustomControl::Canvas;

  TDrawButtonEvent OnDrawButton;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(unsigned short& key, TShiftState shift) override;
  void KeyUp(unsigned short& key, TShiftState shift) override;
  void DoEnter() override;
  void DoExit() override;

 private:
  void SetPushed(bool pushed);
  void DrawCaptionAndIcon(const TRect& r, bool disabled);

  TBitmap icon_;
  bool iconLeft_ = true;
  bool isDefault_ = false;
  bool held_ = false;    // the left button went down on us and is still down
  bool pushed_ = false;  // the face is drawn pressed
  bool spaceHeld_ = false;
  bool secondPress_ = false;  // the press of a double click, which the platform does not click
};
