#pragma once
// The close and minimise images in a screen's top right corner: three looks
// (0 normal, 1 hover, 2 pressed) cut from one strip picture, the look on
// show kept in the image's Tag. Both screens' images behave alike.

#include <string>
#include <vector>

#include "platform/Image.h"

class TCaptionImage : public TImage {
  Q_OBJECT

 public:
  enum : int { lkNormal = 0, lkHover = 1, lkPressed = 2 };

  explicit TCaptionImage(QObject* owner);

  // Cuts the premultiplied strip fileName into looks frameWidth wide and
  // shows look 0. Throws Exception when the picture is missing or broken.
  void LoadLooks(const std::string& fileName, int frameWidth);
  int Look() const { return int(Tag); }

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseLeave() override;

 private:
  // Shows the look when the strip holds it; the Tag follows the picture.
  void ShowLook(int look);

  std::vector<TBitmap> looks_;
};
