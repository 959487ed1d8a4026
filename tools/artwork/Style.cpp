#include "tools/artwork/Style.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>

QImage NewPicture(int w, int h, const QColor& fill) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(fill);
  return image;
}

void BeginSmooth(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing, true);
}

void PaintRoundedBox(QPainter& painter, const QRectF& box, qreal radius, const QColor& top,
                     const QColor& bottom, const QColor& frame) {
  // The frame's centre line runs half a pixel inside the box so it lands on whole pixels.
  const QRectF line = box.adjusted(0.5, 0.5, -0.5, -0.5);
  QLinearGradient face(line.topLeft(), line.bottomLeft());
  face.setColorAt(0, top);
  face.setColorAt(1, bottom);
  painter.setPen(QPen(frame, 1));
  painter.setBrush(face);
  painter.drawRoundedRect(line, radius, radius);
}

void PaintQuillVane(QPainter& painter, const QPainterPath& vane, qreal length) {
  QLinearGradient face(0, 0, length, 0);
  face.setColorAt(0, Palette::Ink);
  face.setColorAt(1, Palette::Focus);
  painter.setPen(Qt::NoPen);
  painter.setBrush(face);
  painter.drawPath(vane);
}

void PaintFocusRing(QPainter& painter, const QRectF& box, qreal radius, qreal width) {
  QColor glow = Palette::Focus;
  for (int i = 1; i <= int(width); ++i) {
    glow.setAlpha(170 / i);
    painter.setPen(QPen(glow, 1));
    painter.setBrush(Qt::NoBrush);
    const QRectF ring = box.adjusted(0.5 - i, 0.5 - i, i - 0.5, i - 0.5);
    painter.drawRoundedRect(ring, radius + i, radius + i);
  }
}

void PaintTick(QPainter& painter, const QRectF& box, const QColor& color, qreal penWidth) {
  QPainterPath tick;
  tick.moveTo(box.left() + box.width() * 0.22, box.top() + box.height() * 0.52);
  tick.lineTo(box.left() + box.width() * 0.42, box.top() + box.height() * 0.72);
  tick.lineTo(box.left() + box.width() * 0.78, box.top() + box.height() * 0.28);
  painter.setPen(QPen(color, penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(tick);
}

void PaintChevron(QPainter& painter, const QPointF& centre, qreal size, bool up, const QColor& color) {
  const qreal half = size / 2;
  const qreal rise = (up ? -1 : 1) * size / 4;
  QPainterPath chevron;
  chevron.moveTo(centre.x() - half, centre.y() - rise);
  chevron.lineTo(centre.x(), centre.y() + rise);
  chevron.lineTo(centre.x() + half, centre.y() - rise);
  painter.setPen(QPen(color, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(chevron);
}

QFont ArtFont(TArtFace face, int pixels, bool bold, bool italic) {
  const char* family = face == TArtFace::Serif  ? "Liberation Serif"
                       : face == TArtFace::Sans ? "DejaVu Sans"
                                                : "Liberation Sans";
  QFont font(family);
  font.setPixelSize(pixels);
  font.setBold(bold);
  font.setItalic(italic);
  return font;
}

namespace {

std::function<void(const TArtText&)>& ArtTextWatcher() {
  static std::function<void(const TArtText&)> watcher;
  return watcher;
}

// The ink of text laid out in box: the outline of its glyphs on the baseline
// that the layout gives the line.
QRectF TextInk(const QFont& font, const QRectF& layout, const QString& text) {
  QPainterPath outline;
  outline.addText(QPointF(layout.left(), layout.top() + QFontMetricsF(font).ascent()), font, text);
  return outline.boundingRect();
}

}  // namespace

QRectF PaintText(QPainter& painter, const QRectF& box, int flags, const QString& text) {
  const QRectF layout = painter.boundingRect(box, flags, text);
  painter.drawText(box, flags, text);
  if (const auto& watcher = ArtTextWatcher()) {
    const QTransform& toPicture = painter.worldTransform();
    const QSize picture =
        painter.device() ? QSize(painter.device()->width(), painter.device()->height()) : QSize();
    watcher({text, painter.font(), toPicture.mapRect(box),
             toPicture.mapRect(TextInk(painter.font(), layout, text)), picture});
  }
  return layout;
}

void WatchArtText(std::function<void(const TArtText&)> watcher) {
  ArtTextWatcher() = std::move(watcher);
}
