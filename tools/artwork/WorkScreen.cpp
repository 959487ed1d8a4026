// The exercise screen: the five screen-size backgrounds, the frame around the
// exercise area, the ornaments (bullet, logo, the book in the bottom corner),
// the hint panel's pieces and the close and minimise pictures.
#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include "tools/artwork/Artwork.h"
#include "tools/artwork/SoftShadow.h"
#include "tools/artwork/Style.h"

namespace {

// --- Backgrounds: one per row of the screen-size table, each at the size of
// the screen it was made for. The screen stretches the middle and the edges
// and copies the corners (125, 78, 165, 160) unscaled, so every detail lies
// either in a corner or runs along an edge.

void PaintCornerArcs(QPainter& p, QPointF centre, int from, int to, int alpha) {
  p.setBrush(Qt::NoBrush);
  for (int r = from; r <= to; r += 13) {
    p.setPen(QPen(QColor(255, 255, 255, alpha - (r - from) * alpha / (2 * (to - from + 1))), 1.2));
    p.drawEllipse(centre, r, r);
  }
}

QImage DrawBackground(int w, int h) {
  QImage image = NewPicture(w, h, Qt::white);
  QPainter p(&image);
  BeginSmooth(p);
  QLinearGradient sky(0, 0, 0, h);
  sky.setColorAt(0, QColor(229, 237, 245));
  sky.setColorAt(0.55, QColor(214, 225, 237));
  sky.setColorAt(1, QColor(198, 212, 228));
  p.fillRect(image.rect(), sky);
  // Light from the upper left, an ellipse that fades out inside the unscaled
  // corner: light left at its edges would end in a step beside the stretched edges.
  QRadialGradient light(QPointF(0, 0), 125);
  light.setColorAt(0, QColor(255, 255, 255, 120));
  light.setColorAt(1, QColor(255, 255, 255, 0));
  QBrush lightBrush(light);
  lightBrush.setTransform(QTransform::fromScale(1, 78.0 / 125));
  p.fillRect(QRect(0, 0, 125, 78), lightBrush);
  PaintCornerArcs(p, QPointF(-18, -18), 46, 98, 110);
  PaintCornerArcs(p, QPointF(w + 24, h + 24), 60, 150, 90);
  // A fine inset line around the whole screen, at the same distance from
  // every edge on any screen.
  p.setPen(QPen(QColor(255, 255, 255, 150), 1));
  p.drawRoundedRect(QRectF(8.5, 8.5, w - 17, h - 17), 12, 12);
  p.setPen(QPen(QColor(150, 170, 192, 90), 1));
  p.drawRoundedRect(QRectF(9.5, 9.5, w - 19, h - 19), 11, 11);
  return image;
}

template <int W, int H>
QImage DrawBackgroundOf() {
  return DrawBackground(W, H);
}

// --- The frame around the exercise area. The screen cuts it 23 pixels from
// every edge and stretches the middle; the area itself covers x 23..41 and
// y 5..41 of the picture, so only 5 rows show above it and 23 at the other
// sides. It is drawn around a large area first, and the middle row and
// column come from that area's middle, so they stretch without a trace.
constexpr int kFrameCut = 23;
constexpr int kFrameSize = 64;
constexpr int kLargeSize = 264;
constexpr qreal kMat = 5;

QImage DrawAreaFrameAround(const QRectF& area, int size) {
  QImage image = NewPicture(size, size, Qt::transparent);
  QPainter p(&image);
  BeginSmooth(p);
  const QRectF mat = area.adjusted(-kMat, -kMat, kMat, kMat);
  QPainterPath shape;
  shape.addRoundedRect(mat, kMat, kMat);
  p.drawImage(0, 0, SoftShadow(image.size(), shape, {1, 4}, 7, QColor(34, 56, 86, 120)));
  PaintRoundedBox(p, mat, kMat, QColor(255, 255, 255, 245), QColor(250, 251, 253, 245), Palette::Frame);
  // A warm hairline where the mat meets the page.
  p.setPen(QPen(QColor(214, 202, 182), 1));
  p.setBrush(Palette::Paper);
  p.drawRect(area.adjusted(-0.5, -0.5, 0.5, 0.5));
  return image;
}

QImage DrawAreaFrame() {
  const int far = kLargeSize - kFrameCut;
  const QImage large = DrawAreaFrameAround(QRectF(kFrameCut, 5, far - kFrameCut, far - 5), kLargeSize);
  const int middle = kLargeSize / 2, inner = kFrameSize - 2 * kFrameCut;
  const int cuts[3][2] = {{0, kFrameCut}, {middle, inner}, {far, kFrameCut}};  // source start, width
  QImage image = NewPicture(kFrameSize, kFrameSize, Qt::transparent);
  QPainter p(&image);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  int y = 0;
  for (int j = 0; j < 3; ++j) {
    int x = 0;
    for (int i = 0; i < 3; ++i) {
      // The middle cells repeat one line of the large picture's middle.
      const QRect from(cuts[i][0], cuts[j][0], i == 1 ? 1 : cuts[i][1], j == 1 ? 1 : cuts[j][1]);
      p.drawImage(QRect(x, y, cuts[i][1], cuts[j][1]), large, from);
      x += cuts[i][1];
    }
    y += cuts[j][1];
  }
  return image;
}

// --- Ornaments.

QImage DrawBullet() {
  QImage image = NewPicture(24, 24, Qt::transparent);
  QPainter p(&image);
  BeginSmooth(p);
  const QPointF c(12, 14);
  QRadialGradient ball(QPointF(10, 12), 8);
  ball.setColorAt(0, QColor(150, 190, 232));
  ball.setColorAt(1, Palette::Ink);
  p.setPen(QPen(QColor(34, 66, 100), 1));
  p.setBrush(ball);
  p.drawEllipse(c, 6, 6);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 190));
  p.drawEllipse(QPointF(10, 11.5), 2, 1.6);
  return image;
}

// A quill: a curved vane along a spine, leaning to the right.
void PaintQuill(QPainter& p, QPointF nib, qreal length) {
  p.save();
  p.translate(nib);
  p.rotate(-38);
  QPainterPath vane;
  vane.moveTo(0, 0);
  vane.cubicTo(length * 0.25, -length * 0.22, length * 0.75, -length * 0.2, length, -length * 0.02);
  vane.cubicTo(length * 0.7, length * 0.1, length * 0.3, length * 0.1, length * 0.12, length * 0.02);
  vane.closeSubpath();
  PaintQuillVane(p, vane, length);
  p.setPen(QPen(QColor(255, 255, 255, 200), 1.1, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(length * 0.14, -length * 0.01), QPointF(length * 0.95, -length * 0.03));
  p.restore();
}

QImage DrawLogo() {
  QImage image = NewPicture(300, 54, Qt::transparent);
  QPainter p(&image);
  BeginSmooth(p);
  const QRect text(0, 0, 292, 54);
  p.setFont(ArtFont(TArtFace::Serif, 34, true, true));
  p.setPen(Palette::Ink);
  const QRectF titleRect = PaintText(p, text, Qt::AlignRight | Qt::AlignTop, "Quillon");
  p.setFont(ArtFont(TArtFace::Serif, 13, false, true));
  p.setPen(Palette::FrameStrong);
  PaintText(p, text, Qt::AlignRight | Qt::AlignBottom, QString::fromUtf8("тренажёр по русскому языку"));
  PaintQuill(p, QPointF(titleRect.left() - 34, 40), 46);
  return image;
}

// An open book in thin lines, resting in the corner below the contents.
QImage DrawCornerBook() {
  QImage image = NewPicture(180, 110, Qt::transparent);
  QPainter p(&image);
  BeginSmooth(p);
  const QColor line(92, 117, 143, 130);
  const QColor page(255, 255, 255, 110);
  p.setPen(QPen(line, 1.3));
  p.setBrush(page);
  for (int side : {-1, 1}) {
    QPainterPath leaf;
    leaf.moveTo(90, 96);
    leaf.cubicTo(90 + side * 30, 84, 90 + side * 56, 86, 90 + side * 82, 92);
    leaf.lineTo(90 + side * 82, 34);
    leaf.cubicTo(90 + side * 56, 28, 90 + side * 30, 26, 90, 38);
    leaf.closeSubpath();
    p.drawPath(leaf);
    p.setPen(QPen(QColor(92, 117, 143, 80), 1));
    for (int row = 0; row < 5; ++row) {
      const qreal y = 46 + row * 9;
      p.drawLine(QPointF(90 + side * 12, y + 2), QPointF(90 + side * 70, y - 1 + (row == 4 ? 2 : 0)));
    }
    p.setPen(QPen(line, 1.3));
  }
  PaintQuill(p, QPointF(112, 78), 64);
  return image;
}

// --- The hint panel: an amber card whose middle is the hint's own panel
// ($51B7F1), with a rounded top piece and a bottom piece whose tail points
// down towards the hint button. Both sit one pixel left of the panel.
const QColor kHintAmber(241, 183, 81);
constexpr int kHintWidth = 287;
constexpr qreal kHintFaceLeft = 1, kHintFaceWidth = 285;

QImage DrawHintTop() {
  QImage image = NewPicture(kHintWidth, 10, Qt::transparent);
  QPainter p(&image);
  BeginSmooth(p);
  p.setPen(Qt::NoPen);
  p.setBrush(kHintAmber);
  p.drawRoundedRect(QRectF(kHintFaceLeft, 0, kHintFaceWidth, 24), 6, 6);
  return image;
}

QImage DrawHintMiddle() {
  QImage image = NewPicture(kHintWidth, 8, Qt::transparent);
  QPainter p(&image);
  p.fillRect(QRectF(kHintFaceLeft, 0, kHintFaceWidth, 8), kHintAmber);
  return image;
}

QImage DrawHintBottom() {
  QImage image = NewPicture(kHintWidth, 95, Qt::transparent);
  QPainter p(&image);
  BeginSmooth(p);
  QPainterPath card;
  card.addRoundedRect(QRectF(kHintFaceLeft, -20, kHintFaceWidth, 36), 9, 9);
  QPainterPath tail;
  tail.moveTo(34, 12);
  tail.cubicTo(34, 30, 24, 46, 6, 60);
  tail.cubicTo(34, 52, 58, 36, 76, 12);
  tail.closeSubpath();
  const QPainterPath bubble = card.united(tail);
  p.drawImage(0, 0, SoftShadow(image.size(), bubble, {1, 4}, 6, QColor(60, 50, 30, 90)));
  p.setPen(Qt::NoPen);
  p.setBrush(kHintAmber);
  p.drawPath(bubble);
  return image;
}

// --- Close and minimise: three pictures side by side (normal, hover, pressed).

enum class TCaptionMark { Close, Minimize };

void PaintCaptionFrame(QPainter& p, TCaptionMark mark, int state, int left, int width) {
  const QRectF box(left + 1, 1, width - 2, 14);
  QColor ink = Palette::Ink;
  if (mark == TCaptionMark::Close && state > 0) {
    const bool pressed = state == 2;
    PaintRoundedBox(p, box, 3, pressed ? QColor(186, 58, 48) : QColor(240, 122, 108),
                    pressed ? QColor(206, 80, 68) : QColor(212, 70, 58), QColor(150, 40, 32));
    ink = Qt::white;
  } else if (state == 1) {
    PaintRoundedBox(p, box, 3, Palette::HoverTop, Palette::HoverBottom, Palette::FrameStrong);
  } else if (state == 2) {
    PaintRoundedBox(p, box, 3, Palette::PressedTop, Palette::PressedBottom, Palette::FrameStrong);
  } else {
    PaintRoundedBox(p, box, 3, Palette::FaceTop, Palette::FaceBottom, Palette::Frame);
  }
  const QPointF c = box.center() + QPointF(0, state == 2 ? 0.5 : 0);
  p.setPen(QPen(ink, 1.7, Qt::SolidLine, Qt::RoundCap));
  if (mark == TCaptionMark::Close) {
    p.drawLine(c + QPointF(-3.2, -3.2), c + QPointF(3.2, 3.2));
    p.drawLine(c + QPointF(-3.2, 3.2), c + QPointF(3.2, -3.2));
  } else {
    p.drawLine(c + QPointF(-4, 3), c + QPointF(4, 3));
  }
}

template <TCaptionMark Mark, int Width>
QImage DrawCaptionStrip() {
  QImage image = NewPicture(3 * Width, 16, Qt::transparent);
  QPainter p(&image);
  BeginSmooth(p);
  for (int state = 0; state < 3; ++state) PaintCaptionFrame(p, Mark, state, state * Width, Width);
  return image;
}

}  // namespace

void AddWorkScreenArtwork(std::vector<TArtwork>& list) {
  list.push_back({"BG_1024)full.jpg", DrawBackgroundOf<1024, 768>});
  list.push_back({"BG_fit_1280.jpg", DrawBackgroundOf<1280, 1024>});
  list.push_back({"BG_fit_1280_800.jpg", DrawBackgroundOf<1280, 800>});
  list.push_back({"BG_fit_1400.jpg", DrawBackgroundOf<1400, 1050>});
  list.push_back({"BG_fit_1440.jpg", DrawBackgroundOf<1440, 900>});
  list.push_back({"bg_otveti.png", DrawAreaFrame});
  list.push_back({"bullet.png", DrawBullet});
  list.push_back({"logo.png", DrawLogo});
  list.push_back({"right_bottom.png", DrawCornerBook});
  list.push_back({"hint_01.png", DrawHintTop});
  list.push_back({"hint_02.png", DrawHintMiddle});
  list.push_back({"hint_03.png", DrawHintBottom});
  list.push_back({"ilClose.png", DrawCaptionStrip<TCaptionMark::Close, 19>});
  list.push_back({"ilMinimize.png", DrawCaptionStrip<TCaptionMark::Minimize, 22>});
}
