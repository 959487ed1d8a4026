// The mistakes dialog: its face (the picture under its two texts) and
// "MsgBox.png", whose alpha gives the dialog its rounded outline, soft edge
// and shadow. Both come from one drawing, so the face is dark exactly where
// the mask lets only the shadow through.
#include <QPainterPath>

#include "tools/artwork/Artwork.h"
#include "tools/artwork/SoftShadow.h"
#include "tools/artwork/Style.h"

namespace {

constexpr int kWidth = 183;
constexpr int kHeight = 139;
const QRectF kCard(1.5, 1.5, 177, 136);
constexpr qreal kRadius = 12;

void PaintCard(QPainter& p) {
  QPainterPath outline;
  outline.addRoundedRect(kCard, kRadius, kRadius);
  p.drawImage(0, 0, SoftShadow(QSize(kWidth, kHeight), outline, {2, 2}, 3, QColor(0, 0, 0, 150)));
  PaintRoundedBox(p, kCard, kRadius, QColor(255, 253, 248), Palette::Paper, Palette::FrameStrong);
  p.setPen(QPen(QColor(138, 160, 182, 90), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(kCard.adjusted(4, 4, -4, -4), kRadius - 4, kRadius - 4);
  // A short rule with a diamond between the message and "Закрыть" below it.
  p.setPen(QPen(QColor(138, 160, 182, 150), 1));
  p.drawLine(QPointF(34, 101.5), QPointF(82, 101.5));
  p.drawLine(QPointF(101, 101.5), QPointF(149, 101.5));
  QPainterPath diamond;
  diamond.moveTo(91.5, 98);
  diamond.lineTo(95, 101.5);
  diamond.lineTo(91.5, 105);
  diamond.lineTo(88, 101.5);
  diamond.closeSubpath();
  p.setBrush(Palette::Frame);
  p.drawPath(diamond);
}

QImage DrawMask() {
  QImage image = NewPicture(kWidth, kHeight, Qt::transparent);
  QPainter p(&image);
  BeginSmooth(p);
  PaintCard(p);
  return image;
}

// The face over black: where the mask is only shadow, the face is black, so
// the premultiplied dialog shows a dark, soft shadow there.
QImage DrawFace() {
  QImage image = NewPicture(kWidth, kHeight, Qt::black);
  QPainter p(&image);
  BeginSmooth(p);
  PaintCard(p);
  return image;
}

}  // namespace

void AddMistakesDialogArtwork(std::vector<TArtwork>& list) {
  list.push_back({"MsgBox.png", DrawMask});
  list.push_back({"MsgFace.bmp", DrawFace});
}
