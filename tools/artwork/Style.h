#pragma once
// One calm look for every picture of the trainer: soft blue-grey frames on warm
// paper, rounded corners and gentle vertical gradients. Family sources draw with
// these colours and helpers only, so new pictures match the old ones.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <functional>

namespace Palette {
// Surfaces the pictures sit on.
inline const QColor Paper{246, 239, 226};  // the exercise page, $E2EFF6
inline const QColor Bar{255, 255, 255};    // the scroll bar's fill, $FFFFFF
// Frames and faces.
inline const QColor Frame{138, 160, 182};
inline const QColor FrameStrong{92, 117, 143};
inline const QColor FaceTop{253, 254, 255};
inline const QColor FaceBottom{226, 234, 242};
inline const QColor HoverTop{245, 250, 255};
inline const QColor HoverBottom{194, 216, 240};
inline const QColor PressedTop{196, 212, 228};
inline const QColor PressedBottom{220, 231, 242};
// Marks drawn on faces.
inline const QColor Ink{47, 88, 128};
inline const QColor Focus{110, 160, 214};
inline const QColor Error{196, 48, 40};
inline const QColor ErrorTop{255, 246, 244};
inline const QColor ErrorBottom{250, 218, 212};
}  // namespace Palette

// A picture of w x h filled with fill (transparent when fill has alpha 0).
QImage NewPicture(int w, int h, const QColor& fill);

// A painter with antialiasing on, as every picture is drawn.
void BeginSmooth(QPainter& painter);

// A rounded box with a vertical gradient face and a 1-pixel frame; box is the
// outer edge of the frame in pixel coordinates (whole numbers).
void PaintRoundedBox(QPainter& painter, const QRectF& box, qreal radius, const QColor& top,
                     const QColor& bottom, const QColor& frame);

// A soft ring of width pixels around box, for the keyboard focus.
void PaintFocusRing(QPainter& painter, const QRectF& box, qreal radius, qreal width);

// A quill's vane, laid along the x axis from 0 to length, filled from ink at
// the nib to the focus blue at the tip.
void PaintQuillVane(QPainter& painter, const QPainterPath& vane, qreal length);

// A tick mark inside box, with round caps.
void PaintTick(QPainter& painter, const QRectF& box, const QColor& color, qreal penWidth);

// A chevron pointing up or down, centred on centre, size pixels wide.
void PaintChevron(QPainter& painter, const QPointF& centre, qreal size, bool up, const QColor& color);

// The faces the pictures draw text with. Each comes from a font package that
// the project's set-up installs (fonts-liberation2, fonts-dejavu-core), so the
// pictures look the same on every machine that builds them.
enum class TArtFace {
  Serif,       // Liberation Serif: titles and letters
  Sans,        // DejaVu Sans: captions with room to spare
  NarrowSans,  // Liberation Sans: captions in tight boxes
};
QFont ArtFont(TArtFace face, int pixels, bool bold = false, bool italic = false);

// One text a picture draws: its font, the box it must keep to and the ink its
// glyphs cover, both in the coordinates of the picture it is drawn into.
struct TArtText {
  QString Text;
  QFont Font;
  QRectF Box;
  QRectF Ink;
  QSize Picture;
};

// Draws text with the painter's font inside box, aligned by flags (one line),
// and returns the rectangle the layout gives it, as QPainter::boundingRect does.
QRectF PaintText(QPainter& painter, const QRectF& box, int flags, const QString& text);

// Shows every text that PaintText draws to watcher (none: nothing is shown);
// the tests check with it that each text fits and uses an installed face.
void WatchArtText(std::function<void(const TArtText&)> watcher);
