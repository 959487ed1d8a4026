// The exercise skins: the check box's cells and the comma place's frame.
#include "tools/artwork/Artwork.h"
#include "tools/artwork/Style.h"

namespace {

// The check box skin is a 3 x 3 grid cut by its margins: columns empty, ticked,
// error; rows normal, (unused), focused. A cell is as high as a body line at the
// trainer's -18 font (24 pixels); a box with a taller caption grows its row and
// keeps the cell in the row's middle.
constexpr int kCell = 24;
constexpr int kUnusedRow = 4;
constexpr qreal kBoxRadius = 3.5;

enum class TBoxLook { Empty, Ticked, Error };

void PaintCheckCell(QPainter& painter, int column, int top, TBoxLook look, bool focused) {
  // The box leaves a few pixels on its right, where the caption starts.
  const QRectF box(column * kCell + 2, top + 3, 18, 18);
  if (focused) PaintFocusRing(painter, box, kBoxRadius, 2);
  if (look == TBoxLook::Error) {
    PaintRoundedBox(painter, box, kBoxRadius, Palette::ErrorTop, Palette::ErrorBottom, Palette::Error);
    // The tick that belonged here, in red.
    PaintTick(painter, box, Palette::Error, 2.4);
    return;
  }
  PaintRoundedBox(painter, box, kBoxRadius, Palette::FaceTop, Palette::FaceBottom,
                  focused ? Palette::FrameStrong : Palette::Frame);
  if (look == TBoxLook::Ticked) PaintTick(painter, box, Palette::Ink, 2.6);
}

QImage DrawCheckBox() {
  QImage image = NewPicture(3 * kCell, 2 * kCell + kUnusedRow, Qt::transparent);
  QPainter painter(&image);
  BeginSmooth(painter);
  const int focusedRow = kCell + kUnusedRow;
  for (bool focused : {false, true}) {
    const int top = focused ? focusedRow : 0;
    PaintCheckCell(painter, 0, top, TBoxLook::Empty, focused);
    PaintCheckCell(painter, 1, top, TBoxLook::Ticked, focused);
    PaintCheckCell(painter, 2, top, TBoxLook::Error, focused);
  }
  return image;
}

// The comma place: a small white field with a rounded frame, stretched around
// the comma's place; its corners show the exercise page's paper.
constexpr int kFieldSize = 16;
constexpr int kFieldMargin = 4;

QImage DrawInputText() {
  QImage image = NewPicture(kFieldSize, kFieldSize, Palette::Paper);
  QPainter painter(&image);
  BeginSmooth(painter);
  PaintRoundedBox(painter, QRectF(0, 0, kFieldSize, kFieldSize), 3, Qt::white, Qt::white, Palette::Frame);
  // A faint inner shadow under the top edge; it lies in the top margin, so it
  // stretches only sideways.
  painter.setPen(QPen(QColor(226, 232, 238), 1));
  painter.drawLine(QPointF(3, 1.5), QPointF(kFieldSize - 3, 1.5));
  return image;
}

}  // namespace

void AddSkinArtwork(std::vector<TArtwork>& list) {
  list.push_back(
      {"checkbox.bmp", DrawCheckBox, TBmpAlpha::Transparency, TSkinMargins{kCell, kCell, kCell, kCell}});
  list.push_back({"inputtext.bmp", DrawInputText, TBmpAlpha::None,
                  TSkinMargins{kFieldMargin, kFieldMargin, kFieldMargin, kFieldMargin}});
}
