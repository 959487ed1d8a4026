#pragma once
// Picture buttons. TImageButton shows one of three whole pictures (normal,
// hover, pressed) found by a naming rule; TImageButton2 composes one frame of
// a four-state sprite sheet over a copy of its parent's background.

#include <cstdint>
#include <string>

#include "platform/Bitmap.h"
#include "platform/Control.h"

// The common part: a windowless control that shows its Picture at (0, 0).
class TPictureControl : public TGraphicControl {
  Q_OBJECT

 public:
  explicit TPictureControl(QObject* owner) : TGraphicControl(owner) {}
  // The picture on show.
  const TBitmap& Picture() const { return picture_; }

 protected:
  void ShowPicture(const TBitmap& picture);
  void Paint() override;

 private:
  TBitmap picture_;
};

// A button of three pictures: "<name>.ext", "<name>_over.ext" and
// "<name>_click.ext" (".jpg" or ".bmp"); a missing hover or pressed picture
// falls back to the normal one.
class TImageButton : public TPictureControl {
  Q_OBJECT

 public:
  enum : std::uint8_t { bsNormal = 0, bsOver = 1, bsDown = 2 };

  explicit TImageButton(QObject* owner) : TPictureControl(owner) {}

  // Loads the three pictures and shows the normal one. Throws Exception when
  // fileName or a picture is missing or of another format.
  void LoadImages(const std::string& fileName);
  std::uint8_t State() const { return state_; }

  TBitmap NormalPicture, OverPicture, DownPicture;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseLeave() override;

 private:
  void Show(std::uint8_t state, const TBitmap& picture);

  std::uint8_t state_ = bsNormal;
};

// A sprite-sheet button. The owner sets FrameWidth/FrameHeight and the bounds,
// then LoadSheet, SetBackground and SetState. State 3 (disabled) swallows
// clicks and is left only through SetState.
class TImageButton2 : public TPictureControl {
  Q_OBJECT

 public:
  enum : std::uint8_t { bsNormal = 0, bsOver = 1, bsDown = 2, bsDisabled = 3 };

  explicit TImageButton2(QObject* owner) : TPictureControl(owner) {}

  // A ".png" sheet is loaded with its alpha; any other is a 32-bit bitmap file
  // with straight alpha, whose alpha is also written to "<fileName>-alpha.bmp".
  // Does not redraw.
  void LoadSheet(const std::string& fileName);
  // Keeps a copy of the parent's whole background. Does not redraw.
  void SetBackground(const TBitmap& bitmap) { Background = bitmap; }
  // Shows the state's frame blended over the background under the button.
  void SetState(std::uint8_t state);
  std::uint8_t State() const { return state_; }

  // Where frame n of the sheet starts (frames in reading order); false when
  // the sheet holds no such frame.
  bool FrameOrigin(int n, TPoint& origin) const;

  TBitmap Background;  // in the parent's coordinates
  TBitmap Sheet;       // premultiplied
  int FrameWidth = 0;
  int FrameHeight = 0;

 protected:
  void Click() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseLeave() override;

 private:
  bool Disabled() const { return state_ == bsDisabled; }

  std::uint8_t state_ = bsNormal;
  bool pressed_ = false;
};
