// The exercise screen's round sprite buttons: previous, reset, next, check,
// hint and show answers. Each sheet is one row of four frames: normal, hover,
// pressed and disabled. The faces follow the scroll bar's arrows; the check
// button is green and the hint button amber, like the hint panel it opens.
#include <QPainterPath>
#include <QtMath>

#include "tools/artwork/Artwork.h"
#include "tools/artwork/SoftShadow.h"
#include "tools/artwork/Style.h"

namespace {

enum class TAccent { Plain, Check, Hint };
enum class TIcon { Back, Reset, Forward, Tick, Bulb, Eye };
constexpr int kStates = 4;

struct TLook {
  QColor Top, Bottom, Frame, Ink;
};

TLook LookOf(TAccent accent, int state) {
  if (state == 3) return {{243, 245, 248}, {229, 233, 238}, {198, 206, 215}, {178, 188, 199}};
  switch (accent) {
    case TAccent::Check: {
      const TLook looks[3] = {{{244, 251, 240}, {198, 229, 186}, {104, 156, 92}, {52, 118, 46}},
                              {{250, 255, 246}, {178, 222, 160}, {80, 138, 68}, {40, 104, 36}},
                              {{186, 216, 172}, {212, 236, 202}, {80, 138, 68}, {40, 104, 36}}};
      return looks[state];
    }
    case TAccent::Hint: {
      const TLook looks[3] = {{{255, 248, 230}, {247, 218, 160}, {196, 146, 66}, {150, 96, 22}},
                              {{255, 252, 238}, {244, 204, 124}, {176, 124, 44}, {132, 82, 14}},
                              {{236, 196, 120}, {248, 222, 170}, {176, 124, 44}, {132, 82, 14}}};
      return looks[state];
    }
    case TAccent::Plain:
      break;
  }
  const TLook looks[3] = {{Palette::FaceTop, Palette::FaceBottom, Palette::Frame, Palette::Ink},
                          {Palette::HoverTop, Palette::HoverBottom, Palette::FrameStrong, Palette::Ink},
                          {Palette::PressedTop, Palette::PressedBottom, Palette::FrameStrong, Palette::Ink}};
  return looks[state];
}

QPen IconPen(const QColor& ink, qreal width) {
  return QPen(ink, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// An arrow along the x axis through c, pointing right when dir is 1.
void PaintArrow(QPainter& p, QPointF c, qreal s, int dir, const QColor& ink) {
  QPainterPath path;
  path.moveTo(c.x() - dir * s * 0.34, c.y());
  path.lineTo(c.x() + dir * s * 0.34, c.y());
  path.moveTo(c.x() + dir * s * 0.04, c.y() - s * 0.3);
  path.lineTo(c.x() + dir * s * 0.34, c.y());
  path.lineTo(c.x() + dir * s * 0.04, c.y() + s * 0.3);
  p.setPen(IconPen(ink, s * 0.13));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
}

// A circular arrow turning back (counter-clockwise), open at the upper right,
// with a filled head along the turn.
void PaintReset(QPainter& p, QPointF c, qreal s, const QColor& ink) {
  const qreal r = s * 0.28;
  p.setPen(IconPen(ink, s * 0.12));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 75 * 16, 285 * 16);
  const qreal a = qDegreesToRadians(75.0);
  const QPointF end(c.x() + r * qCos(a), c.y() - r * qSin(a));
  // Counter-clockwise on screen at the arc's start runs against its sweep: clockwise tangent.
  const QPointF along(qSin(a), qCos(a));
  const QPointF across(along.y(), -along.x());
  QPainterPath head;
  head.moveTo(end + along * (s * 0.2));
  head.lineTo(end + across * (s * 0.16) - along * (s * 0.02));
  head.lineTo(end - across * (s * 0.16) - along * (s * 0.02));
  head.closeSubpath();
  p.setPen(IconPen(ink, s * 0.04));
  p.setBrush(ink);
  p.drawPath(head);
}

void PaintBulb(QPainter& p, QPointF c, qreal s, const QColor& ink) {
  const qreal r = s * 0.22;
  const QPointF bulb(c.x(), c.y() - s * 0.1);
  p.setPen(IconPen(ink, s * 0.09));
  p.setBrush(QColor(255, 255, 255, 150));
  p.drawEllipse(bulb, r, r);
  p.setBrush(Qt::NoBrush);
  p.drawLine(QPointF(c.x() - r * 0.55, c.y() + s * 0.18), QPointF(c.x() + r * 0.55, c.y() + s * 0.18));
  p.drawLine(QPointF(c.x() - r * 0.45, c.y() + s * 0.29), QPointF(c.x() + r * 0.45, c.y() + s * 0.29));
  p.drawLine(QPointF(c.x() - r * 0.55, bulb.y() + r * 0.75), QPointF(c.x() - r * 0.55, c.y() + s * 0.18));
  p.drawLine(QPointF(c.x() + r * 0.55, bulb.y() + r * 0.75), QPointF(c.x() + r * 0.55, c.y() + s * 0.18));
  // A spark of light inside the glass.
  p.drawArc(QRectF(bulb.x() - r * 0.55, bulb.y() - r * 0.55, r * 1.1, r * 1.1), 100 * 16, 70 * 16);
}

void PaintEye(QPainter& p, QPointF c, qreal s, const QColor& ink) {
  const qreal w = s * 0.42, h = s * 0.24;
  QPainterPath lids;
  lids.moveTo(c.x() - w, c.y());
  lids.quadTo(c.x(), c.y() - 2 * h, c.x() + w, c.y());
  lids.quadTo(c.x(), c.y() + 2 * h, c.x() - w, c.y());
  p.setPen(IconPen(ink, s * 0.09));
  p.setBrush(Qt::white);
  p.drawPath(lids);
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.drawEllipse(c, s * 0.13, s * 0.13);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(c.x() + s * 0.04, c.y() - s * 0.05), s * 0.035, s * 0.035);
}

void PaintIcon(QPainter& p, TIcon icon, QPointF c, qreal s, const QColor& ink) {
  switch (icon) {
    case TIcon::Back:
      return PaintArrow(p, c, s, -1, ink);
    case TIcon::Forward:
      return PaintArrow(p, c, s, 1, ink);
    case TIcon::Reset:
      return PaintReset(p, c, s, ink);
    case TIcon::Tick:
      return PaintTick(p, QRectF(c.x() - s * 0.42, c.y() - s * 0.42, s * 0.84, s * 0.84), ink, s * 0.14);
    case TIcon::Bulb:
      return PaintBulb(p, c, s, ink);
    case TIcon::Eye:
      return PaintEye(p, c, s, ink);
  }
}

struct TSpriteSheet {
  QSize Frame;
  qreal Diameter;
  TAccent Accent;
  TIcon Icon;
};

// One frame: a shadow under the disc (gone when pressed or disabled), the
// disc with its gradient face and frame, the icon (a pixel lower when pressed).
void PaintFrame(QPainter& p, const TSpriteSheet& sheet, int state, int left) {
  const TLook look = LookOf(sheet.Accent, state);
  const qreal d = sheet.Diameter;
  const QPointF centre(left + sheet.Frame.width() / 2.0, sheet.Frame.height() / 2.0 - 1);
  const QRectF disc(centre.x() - d / 2, centre.y() - d / 2, d, d);
  if (state < 2) {
    QPainterPath shape;
    shape.addEllipse(disc);
    p.drawImage(0, 0,
                SoftShadow(QSize(p.device()->width(), p.device()->height()), shape, {0, 2.5}, 4,
                           QColor(30, 50, 80, 110)));
  }
  PaintRoundedBox(p, disc, d / 2, look.Top, look.Bottom, look.Frame);
  // A thin highlight just inside the upper rim gives the disc its curve.
  p.setPen(QPen(QColor(255, 255, 255, state == 2 ? 60 : 170), 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawArc(disc.adjusted(2, 2, -2, -2), 30 * 16, 120 * 16);
  const qreal sink = state == 2 ? 1 : 0;
  PaintIcon(p, sheet.Icon, centre + QPointF(0, sink), d * 0.62, look.Ink);
}

QImage DrawSheet(const TSpriteSheet& sheet) {
  QImage image = NewPicture(kStates * sheet.Frame.width(), sheet.Frame.height(), Qt::transparent);
  QPainter p(&image);
  BeginSmooth(p);
  for (int state = 0; state < kStates; ++state) {
    // Each frame is drawn alone so a shadow never spills into its neighbour.
    QImage frame = NewPicture(sheet.Frame.width(), sheet.Frame.height(), Qt::transparent);
    QPainter fp(&frame);
    BeginSmooth(fp);
    PaintFrame(fp, sheet, state, 0);
    fp.end();
    p.drawImage(state * sheet.Frame.width(), 0, frame);
  }
  return image;
}

constexpr QSize kRound(62, 52);

template <TIcon Icon>
QImage DrawRoundButton() {
  return DrawSheet({kRound, 40, TAccent::Plain, Icon});
}
QImage DrawCheckButton() {
  return DrawSheet({QSize(58, 68), 50, TAccent::Check, TIcon::Tick});
}
QImage DrawHintButton() {
  return DrawSheet({kRound, 40, TAccent::Hint, TIcon::Bulb});
}
QImage DrawShowButton() {
  return DrawSheet({QSize(62, 61), 44, TAccent::Plain, TIcon::Eye});
}

}  // namespace

void AddSpriteButtonArtwork(std::vector<TArtwork>& list) {
  list.push_back({"buttons_01.png", DrawRoundButton<TIcon::Back>});
  list.push_back({"buttons_02.png", DrawRoundButton<TIcon::Reset>});
  list.push_back({"buttons_03.png", DrawRoundButton<TIcon::Forward>});
  list.push_back({"big_one_03.png", DrawCheckButton});
  list.push_back({"hint_button.png", DrawHintButton});
  list.push_back({"show_button.png", DrawShowButton});
}
