// The buttons that stand inside exercise text. "del_03.png" is the memory
// exercise's button, a vertical strip of four frames (normal, hover, pressed,
// disabled) that says what pressing it does: the words to remember hide.
// "updown_01.png" and "updown_02.png" are a paragraph's up and down arrows,
// vertical strips of three 29 x 14 frames (active, inactive, hover or
// pressed) in the paragraph's focus colours.
#include <QFont>
#include <QPainterPath>

#include "tools/artwork/Artwork.h"
#include "tools/artwork/SoftShadow.h"
#include "tools/artwork/Style.h"

namespace {

constexpr QSize kMemoryFrame(150, 38);
constexpr int kMemoryStates = 4;
constexpr QSize kArrowFrame(29, 14);
constexpr int kArrowFrames = 3;

struct TFace {
  QColor Top, Bottom, Frame, Ink;
};

TFace MemoryFace(int state) {
  const TFace faces[kMemoryStates] = {
      {Palette::FaceTop, Palette::FaceBottom, Palette::Frame, Palette::Ink},
      {Palette::HoverTop, Palette::HoverBottom, Palette::FrameStrong, Palette::Ink},
      {Palette::PressedTop, Palette::PressedBottom, Palette::FrameStrong, Palette::Ink},
      {{243, 245, 248}, {229, 233, 238}, {198, 206, 215}, {178, 188, 199}}};
  return faces[state];
}

// A closed eye: the lid's curve with its lashes, for "the words hide now".
void PaintClosedEye(QPainter& p, QPointF c, qreal s, const QColor& ink) {
  p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  // The lid is a quadratic curve whose x runs evenly with its parameter.
  const auto lidY = [](qreal u) { return -0.12 * (1 - u) * (1 - u) + 1.0 * u * (1 - u) - 0.12 * u * u; };
  QPainterPath lid;
  lid.moveTo(c.x() - s / 2, c.y() + lidY(0) * s);
  lid.quadTo(c.x(), c.y() + 0.5 * s, c.x() + s / 2, c.y() + lidY(1) * s);
  p.drawPath(lid);
  for (const qreal t : {-0.32, 0.0, 0.32}) {
    const QPointF root(c.x() + t * s, c.y() + lidY(t + 0.5) * s);
    p.drawLine(root, root + QPointF(t * 0.5 * s, 0.22 * s));
  }
}

void PaintMemoryFrame(QPainter& p, int state) {
  const TFace face = MemoryFace(state);
  const QRectF box(3, 2, kMemoryFrame.width() - 6, kMemoryFrame.height() - 7);
  if (state < 2) {
    QPainterPath shape;
    shape.addRoundedRect(box, 8, 8);
    p.drawImage(0, 0, SoftShadow(kMemoryFrame, shape, {0, 2}, 3, QColor(30, 50, 80, 90)));
  }
  PaintRoundedBox(p, box, 8, face.Top, face.Bottom, face.Frame);
  const qreal sink = state == 2 ? 1 : 0;
  PaintClosedEye(p, QPointF(box.left() + 20, box.center().y() - 5 + sink), 20, face.Ink);
  p.setFont(ArtFont(TArtFace::Sans, 13));
  p.setPen(face.Ink);
  PaintText(p, box.adjusted(38, sink, -6, sink), Qt::AlignVCenter | Qt::AlignLeft,
            QString::fromUtf8("Скрыть слова"));
}

QImage DrawMemoryButton() {
  QImage image = NewPicture(kMemoryFrame.width(), kMemoryStates * kMemoryFrame.height(), Qt::transparent);
  QPainter p(&image);
  BeginSmooth(p);
  for (int state = 0; state < kMemoryStates; ++state) {
    // Each frame alone, so a shadow never spills into the next one.
    QImage frame = NewPicture(kMemoryFrame.width(), kMemoryFrame.height(), Qt::transparent);
    QPainter fp(&frame);
    BeginSmooth(fp);
    PaintMemoryFrame(fp, state);
    fp.end();
    p.drawImage(0, state * kMemoryFrame.height(), frame);
  }
  return image;
}

// The paragraph's colours: amber while it holds the focus, sand otherwise.
TFace ArrowFace(int frame) {
  const TFace faces[kArrowFrames] = {{{255, 214, 150}, {241, 183, 81}, {196, 138, 44}, {110, 66, 10}},
                                     {{240, 232, 220}, {229, 216, 196}, {190, 176, 154}, {128, 116, 98}},
                                     {{255, 236, 196}, {247, 200, 112}, {176, 118, 30}, {92, 52, 4}}};
  return faces[frame];
}

QImage DrawArrow(bool up) {
  QImage image = NewPicture(kArrowFrame.width(), kArrowFrames * kArrowFrame.height(), Qt::transparent);
  QPainter p(&image);
  BeginSmooth(p);
  for (int frame = 0; frame < kArrowFrames; ++frame) {
    const TFace face = ArrowFace(frame);
    const qreal top = frame * kArrowFrame.height();
    // The pair meets at the paragraph's middle: the up tab rounds its top, the down tab its bottom.
    const QRectF box(1, top + (up ? 1 : 0), kArrowFrame.width() - 2, kArrowFrame.height() - 1);
    PaintRoundedBox(p, box, 4, face.Top, face.Bottom, face.Frame);
    PaintChevron(p, box.center() + QPointF(0, up ? 0.5 : -0.5), 10, up, face.Ink);
  }
  return image;
}

QImage DrawUpArrow() {
  return DrawArrow(true);
}
QImage DrawDownArrow() {
  return DrawArrow(false);
}

}  // namespace

void AddExerciseButtonArtwork(std::vector<TArtwork>& list) {
  list.push_back({"del_03.png", DrawMemoryButton});
  list.push_back({"updown_01.png", DrawUpArrow});
  list.push_back({"updown_02.png", DrawDownArrow});
}
