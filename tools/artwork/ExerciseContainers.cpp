// The pictures of the exercise containers. "swapper.png" is the button under
// a text to read that turns the page to the task: a vertical strip of four
// frames (normal, hover, pressed, disabled). "para.png" and
// "para_inactive.png" frame a paragraph to put in order, as a nine-slice with
// margins of 10: amber while the paragraph is selected, sand otherwise. Their
// insides are the colours the paragraph's text panel takes, so panel and
// frame read as one surface.
#include <QFont>
#include <QFontMetricsF>
#include <QPainterPath>

#include "tools/artwork/Artwork.h"
#include "tools/artwork/SoftShadow.h"
#include "tools/artwork/Style.h"

namespace {

constexpr QSize kSwapperFrame(200, 40);
constexpr int kSwapperStates = 4;
constexpr int kFrameSide = 40;  // the paragraph frame: margins of 10 around a stretched middle

struct TFace {
  QColor Top, Bottom, Frame, Ink;
};

TFace SwapperFace(int state) {
  const TFace faces[kSwapperStates] = {
      {Palette::FaceTop, Palette::FaceBottom, Palette::Frame, Palette::Ink},
      {Palette::HoverTop, Palette::HoverBottom, Palette::FrameStrong, Palette::Ink},
      {Palette::PressedTop, Palette::PressedBottom, Palette::FrameStrong, Palette::Ink},
      {{243, 245, 248}, {229, 233, 238}, {198, 206, 215}, {178, 188, 199}}};
  return faces[state];
}

// A page turning to the right, for "on to the task".
void PaintTurnArrow(QPainter& p, QPointF c, qreal s, const QColor& ink) {
  p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  QPainterPath path;
  path.moveTo(c.x() - s / 2, c.y());
  path.lineTo(c.x() + s / 2, c.y());
  path.moveTo(c.x() + s / 6, c.y() - s / 3);
  path.lineTo(c.x() + s / 2, c.y());
  path.lineTo(c.x() + s / 6, c.y() + s / 3);
  p.drawPath(path);
}

void PaintSwapperFrame(QPainter& p, int state) {
  const TFace face = SwapperFace(state);
  const QRectF box(3, 2, kSwapperFrame.width() - 6, kSwapperFrame.height() - 7);
  if (state < 2) {
    QPainterPath shape;
    shape.addRoundedRect(box, 8, 8);
    p.drawImage(0, 0, SoftShadow(kSwapperFrame, shape, {0, 2}, 3, QColor(30, 50, 80, 90)));
  }
  PaintRoundedBox(p, box, 8, face.Top, face.Bottom, face.Frame);
  const qreal sink = state == 2 ? 1 : 0;
  const QFont font = ArtFont(TArtFace::Sans, 14);
  p.setFont(font);
  p.setPen(face.Ink);
  // The caption and its arrow as one group in the middle of the face.
  const QString caption = QString::fromUtf8("Перейти к заданию");
  const qreal textWidth = QFontMetricsF(font).horizontalAdvance(caption);
  constexpr qreal kGap = 10, kArrow = 14;
  const qreal left = box.center().x() - (textWidth + kGap + kArrow) / 2;
  PaintText(p, QRectF(left, box.top() + sink, textWidth + 1, box.height()), Qt::AlignVCenter | Qt::AlignLeft,
            caption);
  PaintTurnArrow(p, QPointF(left + textWidth + kGap + kArrow / 2, box.center().y() + sink), kArrow, face.Ink);
}

QImage DrawSwapperButton() {
  QImage image = NewPicture(kSwapperFrame.width(), kSwapperStates * kSwapperFrame.height(), Qt::transparent);
  QPainter p(&image);
  for (int state = 0; state < kSwapperStates; ++state) {
    // Each frame alone, so a shadow never spills into the next one.
    QImage frame = NewPicture(kSwapperFrame.width(), kSwapperFrame.height(), Qt::transparent);
    QPainter fp(&frame);
    BeginSmooth(fp);
    PaintSwapperFrame(fp, state);
    fp.end();
    p.drawImage(0, state * kSwapperFrame.height(), frame);
  }
  return image;
}

// The same colours as the paragraph's panel ($51B7F1 and $C4D8E5) and arrows.
QImage DrawParagraphFrame(const QColor& inside, const QColor& frame) {
  QImage image = NewPicture(kFrameSide, kFrameSide, Qt::transparent);
  QPainter p(&image);
  BeginSmooth(p);
  const QRectF box(1, 1, kFrameSide - 2, kFrameSide - 3);
  QPainterPath shape;
  shape.addRoundedRect(box, 7, 7);
  p.drawImage(0, 0, SoftShadow(image.size(), shape, {0, 1}, 1, QColor(30, 50, 80, 70)));
  PaintRoundedBox(p, box, 7, inside, inside, frame);
  return image;
}

QImage DrawActiveParagraph() {
  return DrawParagraphFrame({241, 183, 81}, {196, 138, 44});
}
QImage DrawInactiveParagraph() {
  return DrawParagraphFrame({229, 216, 196}, {190, 176, 154});
}

}  // namespace

void AddExerciseContainerArtwork(std::vector<TArtwork>& list) {
  list.push_back({"swapper.png", DrawSwapperButton});
  list.push_back({"para.png", DrawActiveParagraph});
  list.push_back({"para_inactive.png", DrawInactiveParagraph});
}
