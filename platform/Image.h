#pragma once
// TImage: a windowless control that shows a TBitmap: at its top-left corner,
// centred, or stretched over the control; opaque, with the bottom-left
// pixel's colour left out (Transparent), or blended by its premultiplied
// alpha (AlphaBlended). Outside the picture the parent shows through.

#include "platform/Bitmap.h"
#include "platform/Control.h"

class TImage : public TGraphicControl {
  Q_OBJECT

 public:
  explicit TImage(QObject* owner);

  // The shown picture; changing it through this reference repaints the control.
  TBitmap& Picture();
  const TBitmap& Picture() const { return picture_; }
  void SetPicture(const TBitmap& picture);

  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);
  bool Center() const { return center_; }
  void SetCenter(bool center);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);
  bool AlphaBlended() const { return alphaBlended_; }
  void SetAlphaBlended(bool alphaBlended);
  // AutoSize makes the control the picture's size whenever the picture changes.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  TRect PictureRect() const;
  QImage ShownImage(const TRect& target) const;

  TBitmap picture_;
  bool stretch_ = false;
  bool center_ = false;
  bool transparent_ = false;
  bool alphaBlended_ = false;
  bool autoSize_ = false;
};
