// The title screen and its topics: the large logo, the front picture in the
// bottom corner, the level toggle's two sheets, the pair of text-size buttons
// and the thin strip along the left edge. The screen shares its backgrounds
// and bullet with the exercise screen.
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include "tools/artwork/Artwork.h"
#include "tools/artwork/SoftShadow.h"
#include "tools/artwork/Style.h"

namespace {

constexpr int kStates = 4;  // normal, hover, pressed, disabled
const QColor kAmber(241, 183, 81);
const QColor kGreen(96, 164, 84);
const QColor kRose(214, 104, 82);

QString Text(const char* utf8) {
  return QString::fromUtf8(utf8);
}

// A row of one frame per state. Each frame is painted alone, so no shadow
// spills into its neighbour.
template <typename TPaintFrame>
QImage DrawStateSheet(QSize frameSize, TPaintFrame paintFrame) {
  QImage image = NewPicture(kStates * frameSize.width(), frameSize.height(), Qt::transparent);
  QPainter p(&image);
  BeginSmooth(p);
  for (int state = 0; state < kStates; ++state) {
    QImage frame = NewPicture(frameSize.width(), frameSize.height(), Qt::transparent);
    QPainter fp(&frame);
    BeginSmooth(fp);
    paintFrame(fp, state);
    fp.end();
    p.drawImage(state * frameSize.width(), 0, frame);
  }
  return image;
}

// --- The large logo: a roundel with the first letters of the alphabet and
// the program's name with its motto, right-aligned, no taller than the gap
// above the first row of topics.

QImage DrawBigLogo() {
  QImage image = NewPicture(380, 66, Qt::transparent);
  QPainter p(&image);
  BeginSmooth(p);
  const QRect text(0, 0, 376, 66);
  p.setFont(ArtFont(TArtFace::Serif, 44, true, true));
  p.setPen(Palette::Ink);
  const QRectF title = PaintText(p, text, Qt::AlignRight | Qt::AlignTop, "Quillon");
  p.setFont(ArtFont(TArtFace::Serif, 15, false, true));
  p.setPen(Palette::FrameStrong);
  PaintText(p, text, Qt::AlignRight | Qt::AlignBottom, Text("тренажёр по русскому языку"));

  const QRectF roundel(title.left() - 62, 4, 50, 50);
  QPainterPath disc;
  disc.addEllipse(roundel);
  p.drawImage(0, 0, SoftShadow(image.size(), disc, {0, 2}, 4, QColor(30, 50, 80, 90)));
  PaintRoundedBox(p, roundel, 25, Palette::FaceTop, Palette::FaceBottom, Palette::Frame);
  p.setPen(QPen(QColor(255, 255, 255, 170), 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawArc(roundel.adjusted(3, 3, -3, -3), 30 * 16, 120 * 16);
  p.setFont(ArtFont(TArtFace::Serif, 26, true));
  p.setPen(Palette::Ink);
  PaintText(p, roundel, Qt::AlignCenter, Text("Аа"));
  return image;
}

// --- The front picture: two closed books, an open one leaning on them, an
// inkwell with a quill and three letters rising from the page, in the
// exercise screen's thin blue lines over pale pages.

void PaintClosedBook(QPainter& p, const QRectF& box, const QColor& cover) {
  p.setPen(QPen(cover.darker(135), 1.2));
  p.setBrush(cover);
  p.drawRoundedRect(box, 4, 4);
  // The page edges along the open side, and a band across the spine.
  p.setPen(QPen(QColor(255, 255, 255, 210), 1));
  for (qreal y = box.top() + 4; y < box.bottom() - 3; y += 3)
    p.drawLine(QPointF(box.right() - 14, y), QPointF(box.right() - 3, y));
  p.setPen(QPen(QColor(255, 255, 255, 120), 3));
  p.drawLine(QPointF(box.left() + 22, box.top() + 2), QPointF(box.left() + 22, box.bottom() - 2));
}

void PaintOpenBook(QPainter& p, QPointF spine, qreal half, qreal height) {
  const QColor line(92, 117, 143, 190);
  for (int side : {-1, 1}) {
    QPainterPath leaf;
    leaf.moveTo(spine);
    leaf.cubicTo(spine + QPointF(side * half * 0.35, -10), spine + QPointF(side * half * 0.7, -8),
                 spine + QPointF(side * half, -2));
    leaf.lineTo(spine + QPointF(side * half, -height));
    leaf.cubicTo(spine + QPointF(side * half * 0.7, -height - 8),
                 spine + QPointF(side * half * 0.35, -height - 10), spine + QPointF(0, -height + 4));
    leaf.closeSubpath();
    p.setPen(QPen(line, 1.4));
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawPath(leaf);
    p.setPen(QPen(QColor(92, 117, 143, 110), 1));
    for (int row = 0; row < 6; ++row) {
      const qreal y = spine.y() - height + 18 + row * 13;
      p.drawLine(QPointF(spine.x() + side * 14, y), QPointF(spine.x() + side * (half - 14), y - 2));
    }
  }
}

void PaintInkwell(QPainter& p, QPointF base) {
  QPainterPath glass;
  glass.addRoundedRect(QRectF(base.x() - 26, base.y() - 40, 52, 40), 10, 10);
  QLinearGradient ink(base.x() - 26, 0, base.x() + 26, 0);
  ink.setColorAt(0, QColor(70, 106, 146));
  ink.setColorAt(1, Palette::Ink.darker(130));
  p.setPen(QPen(Palette::Ink.darker(150), 1.2));
  p.setBrush(ink);
  p.drawPath(glass);
  p.setBrush(Palette::FaceBottom);
  p.drawRoundedRect(QRectF(base.x() - 13, base.y() - 50, 26, 12), 3, 3);
  p.setPen(QPen(QColor(255, 255, 255, 150), 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(base.x() - 17, base.y() - 30), QPointF(base.x() - 17, base.y() - 12));
}

// A quill from its nib up and to the right, a curved vane along its spine.
void PaintFeather(QPainter& p, QPointF nib, qreal length, qreal angle) {
  p.save();
  p.translate(nib);
  p.rotate(angle);
  QPainterPath vane;
  vane.moveTo(length * 0.18, 0);
  vane.cubicTo(length * 0.35, -length * 0.2, length * 0.8, -length * 0.18, length, 0);
  vane.cubicTo(length * 0.8, length * 0.12, length * 0.4, length * 0.12, length * 0.18, 0);
  PaintQuillVane(p, vane, length);
  p.setPen(QPen(QColor(255, 255, 255, 210), 1.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(length * 0.2, 0), QPointF(length * 0.96, -length * 0.01));
  p.setPen(QPen(Palette::Ink.darker(140), 1.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(0, 0), QPointF(length * 0.2, 0));
  p.restore();
}

void PaintRisingLetters(QPainter& p) {
  struct TLetter {
    const char* Glyph;
    QPointF At;
    int Size, Alpha;
  };
  const TLetter letters[] = {{"А", {150, 70}, 30, 200}, {"б", {196, 44}, 26, 160}, {"В", {244, 30}, 22, 120}};
  for (const TLetter& l : letters) {
    const QFont font = ArtFont(TArtFace::Serif, l.Size, true, true);
    p.setFont(font);
    QColor ink = Palette::Ink;
    ink.setAlpha(l.Alpha);
    p.setPen(ink);
    // The letter starts at At on its line; the box, centred on it, leaves
    // half a letter of room each side for the slant.
    const QFontMetricsF metrics(font);
    const qreal advance = metrics.horizontalAdvance(Text(l.Glyph));
    PaintText(
        p, QRectF(l.At.x() - l.Size / 2.0, l.At.y() - metrics.ascent(), advance + l.Size, metrics.height()),
        Qt::AlignHCenter | Qt::AlignTop, Text(l.Glyph));
  }
}

QImage DrawFrontPicture() {
  QImage image = NewPicture(400, 250, Qt::transparent);
  QPainter p(&image);
  BeginSmooth(p);
  // The table they stand on: a soft oval shadow.
  QRadialGradient ground(QPointF(200, 232), 190);
  ground.setColorAt(0, QColor(60, 84, 116, 80));
  ground.setColorAt(1, QColor(60, 84, 116, 0));
  p.save();
  p.scale(1, 0.12);
  p.setPen(Qt::NoPen);
  p.setBrush(ground);
  p.drawEllipse(QPointF(200, 232 / 0.12), 190, 190);
  p.restore();

  PaintClosedBook(p, QRectF(28, 200, 190, 30), QColor(108, 142, 178));
  PaintClosedBook(p, QRectF(40, 172, 170, 28), kAmber.darker(108));
  PaintOpenBook(p, QPointF(210, 190), 110, 96);
  PaintRisingLetters(p);
  PaintInkwell(p, QPointF(354, 232));
  PaintFeather(p, QPointF(350, 186), 92, -62);
  return image;
}

// --- The level toggle: a pill naming the level, with a coloured dot and a
// pair of arrows saying that a click changes it.

struct TLook {
  QColor Top, Bottom, Frame, Ink;
};

TLook PlainLook(int state) {
  const TLook looks[kStates] = {
      {Palette::FaceTop, Palette::FaceBottom, Palette::Frame, Palette::Ink},
      {Palette::HoverTop, Palette::HoverBottom, Palette::FrameStrong, Palette::Ink},
      {Palette::PressedTop, Palette::PressedBottom, Palette::FrameStrong, Palette::Ink},
      {{243, 245, 248}, {229, 233, 238}, {198, 206, 215}, {178, 188, 199}}};
  return looks[state];
}

void PaintSwapArrows(QPainter& p, QPointF c, const QColor& ink) {
  p.setPen(QPen(ink, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  for (int dir : {-1, 1}) {
    const qreal y = c.y() + dir * 3.5;
    p.drawLine(QPointF(c.x() - 6, y), QPointF(c.x() + 6, y));
    const qreal tip = c.x() + dir * 6;
    p.drawLine(QPointF(tip, y), QPointF(tip - dir * 3, y - 3));
    p.drawLine(QPointF(tip, y), QPointF(tip - dir * 3, y + 3));
  }
}

void PaintLevelFrame(QPainter& p, int state, const char* caption, const QColor& accent) {
  const TLook look = PlainLook(state);
  const QRectF pill(1, 1, 98, 27);
  if (state < 2) {
    QPainterPath shape;
    shape.addRoundedRect(pill, 13.5, 13.5);
    p.drawImage(0, 0, SoftShadow(QSize(100, 30), shape, {0, 1.5}, 2, QColor(30, 50, 80, 90)));
  }
  PaintRoundedBox(p, pill, 13.5, look.Top, look.Bottom, look.Frame);
  const qreal sink = state == 2 ? 1 : 0;
  p.setPen(Qt::NoPen);
  p.setBrush(state == 3 ? look.Ink : accent);
  p.drawEllipse(QPointF(13, 14.5 + sink), 4.5, 4.5);
  p.setBrush(QColor(255, 255, 255, 150));
  p.drawEllipse(QPointF(11.8, 13.2 + sink), 1.6, 1.2);
  // Between the dot and the arrows; a narrow face keeps "Сложный" inside.
  p.setFont(ArtFont(TArtFace::NarrowSans, 12, true));
  p.setPen(look.Ink);
  PaintText(p, QRectF(20, sink, 60, 29), Qt::AlignCenter, Text(caption));
  PaintSwapArrows(p, QPointF(87, 14.5 + sink), look.Ink);
}

template <int Hard>
QImage DrawLevelSheet() {
  return DrawStateSheet(QSize(100, 30), [](QPainter& p, int state) {
    PaintLevelFrame(p, state, Hard ? "Сложный" : "Лёгкий", Hard ? kRose : kGreen);
  });
}

// --- The text-size pair: two buttons stacked flush right, "smaller" above
// "larger", drawn as the halves of one rounded column.

enum class TZoom { Out, In };

void PaintZoomFrame(QPainter& p, TZoom zoom, int state) {
  const TLook look = PlainLook(state);
  // The half of a 62 x 64 column that this button is: the outer corners
  // round. The column keeps clear of the left edge, where the screen lets the
  // size's name reach into the buttons.
  const qreal left = 13, width = 62;
  const qreal top = zoom == TZoom::Out ? 1 : -31;
  p.save();
  p.setClipRect(QRectF(0, 0, 76, 32));
  PaintRoundedBox(p, QRectF(left, top, width, 62), 9, look.Top, look.Bottom, look.Frame);
  p.restore();
  // The seam between the two: a frame line at the lower edge of the upper one.
  if (zoom == TZoom::Out) {
    p.setPen(QPen(look.Frame, 1));
    p.drawLine(QPointF(left, 31.5), QPointF(left + width, 31.5));
  }
  const qreal sink = state == 2 ? 1 : 0;
  const bool larger = zoom == TZoom::In;
  p.setFont(ArtFont(TArtFace::Serif, larger ? 23 : 15, true));
  p.setPen(look.Ink);
  PaintText(p, QRectF(left + 4, sink, 30, 31), Qt::AlignCenter, Text("А"));
  p.setPen(QPen(look.Ink, 2, Qt::SolidLine, Qt::RoundCap));
  const QPointF c(left + 44, 16 + sink);
  p.drawLine(c + QPointF(-5, 0), c + QPointF(5, 0));
  if (larger) p.drawLine(c + QPointF(0, -5), c + QPointF(0, 5));
}

template <TZoom Zoom>
QImage DrawZoomSheet() {
  return DrawStateSheet(QSize(76, 32), [](QPainter& p, int state) { PaintZoomFrame(p, Zoom, state); });
}

// --- The strip along the left edge: a soft blue-grey line, stretched over
// the screen's height.

QImage DrawEdgeStrip() {
  QImage image = NewPicture(3, 64, Qt::white);
  QPainter p(&image);
  QLinearGradient edge(0, 0, 3, 0);
  edge.setColorAt(0, Palette::FrameStrong);
  edge.setColorAt(1, Palette::FaceBottom);
  p.fillRect(image.rect(), edge);
  return image;
}

}  // namespace

void AddTitleScreenArtwork(std::vector<TArtwork>& list) {
  list.push_back({"big_logo.png", DrawBigLogo});
  list.push_back({"face_image.png", DrawFrontPicture});
  list.push_back({"LevelEasy.png", DrawLevelSheet<0>});
  list.push_back({"LevelHard.png", DrawLevelSheet<1>});
  list.push_back({"zoom_font_02.png", DrawZoomSheet<TZoom::Out>});
  list.push_back({"zoom_font_06.png", DrawZoomSheet<TZoom::In>});
  list.push_back({"title_edge.jpg", DrawEdgeStrip});
}
