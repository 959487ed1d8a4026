#include "trainer/CaptionImage.h"

#include "widgets/AlphaBitmap.h"

TCaptionImage::TCaptionImage(QObject* owner) : TImage(owner) {
  SetAlphaBlended(true);
  // The hover look needs moves without a button held.
  setMouseTracking(true);
}

void TCaptionImage::LoadLooks(const std::string& fileName, int frameWidth) {
  const auto strip = LoadAlphaBitmap(fileName, true);
  looks_.clear();
  for (int left = 0; frameWidth > 0 && left + frameWidth <= strip->Width(); left += frameWidth) {
    TBitmap look(frameWidth, strip->Height());
    BitBlt(look, 0, 0, frameWidth, strip->Height(), *strip, left, 0);
    looks_.push_back(look);
  }
  ShowLook(lkNormal);
}

void TCaptionImage::ShowLook(int look) {
  if (look < 0 || look >= int(looks_.size())) return;
  SetPicture(looks_[look]);
  Tag = look;
}

void TCaptionImage::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TImage::MouseDown(button, shift, x, y);
  if (Look() != lkPressed) ShowLook(lkPressed);
}

void TCaptionImage::MouseMove(TShiftState shift, int x, int y) {
  TImage::MouseMove(shift, x, y);
  if (Look() != lkHover) ShowLook(lkHover);
}

void TCaptionImage::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TImage::MouseUp(button, shift, x, y);
  if (Look() != lkNormal) ShowLook(lkNormal);
}

void TCaptionImage::MouseLeave() {
  TImage::MouseLeave();
  if (Look() != lkNormal) ShowLook(lkNormal);
}
