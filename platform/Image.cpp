#include "platform/Image.h"

#include <QPaintEvent>
#include <QPainter>

TImage::TImage(QObject* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 105, 105);
}

TBitmap& TImage::Picture() {
  update();
  return picture_;
}

void TImage::SetPicture(const TBitmap& picture) {
  picture_ = picture;
  if (autoSize_ && !picture_.Empty()) SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
  update();
}

void TImage::SetStretch(bool stretch) {
  stretch_ = stretch;
  update();
}

void TImage::SetCenter(bool center) {
  center_ = center;
  update();
}

void TImage::SetTransparent(bool transparent) {
  transparent_ = transparent;
  update();
}

void TImage::SetAlphaBlended(bool alphaBlended) {
  alphaBlended_ = alphaBlended;
  update();
}

void TImage::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  if (autoSize_ && !picture_.Empty()) SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
}

TRect TImage::PictureRect() const {
  if (stretch_) return ClientRect();
  if (!center_) return Bounds(0, 0, picture_.Width(), picture_.Height());
  return Bounds((Width() - picture_.Width()) / 2, (Height() - picture_.Height()) / 2, picture_.Width(),
                picture_.Height());
}

QImage TImage::ShownImage(const TRect& target) const {
  TBitmap scaled;
  const bool sameSize = target.Width() == picture_.Width() && target.Height() == picture_.Height();
  if (!sameSize) {
    scaled.SetSize(target.Width(), target.Height());
    StretchBlt(scaled, Rect(0, 0, target.Width(), target.Height()), picture_,
               Rect(0, 0, picture_.Width(), picture_.Height()));
  }
  const TBitmap& source = sameSize ? picture_ : scaled;
  const QImage& pixels = source.Image();
  if (alphaBlended_) {
    // Our words are premultiplied already: Qt composes them as they are.
    return QImage(pixels.constBits(), pixels.width(), pixels.height(), pixels.bytesPerLine(),
                  QImage::Format_ARGB32_Premultiplied)
        .copy();
  }
  if (!transparent_) return source.OpaqueImage();
  // The colour of the picture's bottom-left pixel is left out.
  const std::uint32_t key = picture_.Pixel(0, picture_.Height() - 1) & 0xFFFFFFu;
  QImage keyed = pixels.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < keyed.height(); ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(keyed.scanLine(y));
    for (int x = 0; x < keyed.width(); ++x) {
      row[x] = (row[x] & 0xFFFFFFu) == key ? 0u : (row[x] | 0xFF000000u);
    }
  }
  return keyed;
}

void TImage::paintEvent(QPaintEvent* e) {
  if (picture_.Empty()) return;
  const TRect target = PictureRect();
  if (target.IsEmpty()) return;
  QPainter painter(this);
  const bool plain = !alphaBlended_ && !transparent_ && target.Width() == picture_.Width() &&
                     target.Height() == picture_.Height();
  if (plain) {
    // The usual case, a screen background: only the exposed part is copied.
    const QRect part = e->rect() & ToQRect(target);
    if (!part.isEmpty())
      painter.drawImage(part.topLeft(),
                        picture_.OpaqueImage(FromQRect(part).Offset(-target.Left, -target.Top)));
    return;
  }
  painter.drawImage(target.Left, target.Top, ShownImage(target));
}
