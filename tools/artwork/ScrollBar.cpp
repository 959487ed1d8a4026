// The image scroll bar: two arrow buttons in three states, the track line and
// the three pieces of the thumb. The bar is as wide as the thumb pieces; the
// arrows take that width and the track line is centred in it.
#include <QLinearGradient>

#include "tools/artwork/Artwork.h"
#include "tools/artwork/Style.h"

namespace {

constexpr int kBarWidth = 17;
constexpr int kLineWidth = 5;
constexpr int kLineLeft = (kBarWidth - kLineWidth) / 2;  // as the bar centres it
constexpr int kCapHeight = 8;
constexpr int kMiddleHeight = 4;

// The groove across its width; every row alike, as the bar stretches it down.
const QColor kGroove[kLineWidth] = {
    {222, 229, 236}, {204, 214, 225}, {196, 207, 219}, {204, 214, 225}, {222, 229, 236}};

void PaintTrack(QPainter& painter, int left, int height) {
  for (int x = 0; x < kLineWidth; ++x) painter.fillRect(left + x, 0, 1, height, kGroove[x]);
}

QImage DrawScrollLine() {
  QImage image = NewPicture(kLineWidth, 16, Palette::Bar);
  QPainter painter(&image);
  PaintTrack(painter, 0, image.height());
  return image;
}

// The whole thumb at its shortest, over the bar's own fill and track, so the
// opaque pieces cut from it join the track without a seam.
QImage DrawThumb() {
  QImage image = NewPicture(kBarWidth, 2 * kCapHeight + kMiddleHeight, Palette::Bar);
  QPainter painter(&image);
  PaintTrack(painter, kLineLeft, image.height());
  BeginSmooth(painter);
  const QRectF pill(2.5, 1.5, kBarWidth - 5, image.height() - 3);
  QLinearGradient face(pill.topLeft(), pill.topRight());
  face.setColorAt(0, QColor(176, 194, 214));
  face.setColorAt(0.35, QColor(194, 209, 225));
  face.setColorAt(1, QColor(148, 169, 192));
  painter.setPen(QPen(QColor(112, 136, 162), 1));
  painter.setBrush(face);
  painter.drawRoundedRect(pill, pill.width() / 2, pill.width() / 2);
  return image;
}

QImage DrawScrollerUp() {
  return DrawThumb().copy(0, 0, kBarWidth, kCapHeight);
}
QImage DrawScrollerMiddle() {
  return DrawThumb().copy(0, kCapHeight, kBarWidth, kMiddleHeight);
}
QImage DrawScrollerDown() {
  return DrawThumb().copy(0, kCapHeight + kMiddleHeight, kBarWidth, kCapHeight);
}

enum class TArrowState { Normal, Over, Click };

QImage DrawArrow(bool up, TArrowState state) {
  QImage image = NewPicture(kBarWidth, kBarWidth, Palette::Bar);
  QPainter painter(&image);
  BeginSmooth(painter);
  const QRectF button(1, 1, kBarWidth - 2, kBarWidth - 2);
  switch (state) {
    case TArrowState::Normal:
      PaintRoundedBox(painter, button, 4, Palette::FaceTop, Palette::FaceBottom, Palette::Frame);
      break;
    case TArrowState::Over:
      PaintRoundedBox(painter, button, 4, Palette::HoverTop, Palette::HoverBottom, Palette::FrameStrong);
      break;
    case TArrowState::Click:
      PaintRoundedBox(painter, button, 4, Palette::PressedTop, Palette::PressedBottom, Palette::FrameStrong);
      break;
  }
  // A pressed button's mark sinks by a pixel.
  const qreal sink = state == TArrowState::Click ? 1 : 0;
  PaintChevron(painter, QPointF(kBarWidth / 2.0, kBarWidth / 2.0 + sink), 7, up, Palette::Ink);
  return image;
}

template <bool Up, TArrowState State>
QImage DrawArrowPicture() {
  return DrawArrow(Up, State);
}

}  // namespace

void AddScrollBarArtwork(std::vector<TArtwork>& list) {
  list.push_back({"ScrollUp.jpg", DrawArrowPicture<true, TArrowState::Normal>});
  list.push_back({"ScrollUp_over.jpg", DrawArrowPicture<true, TArrowState::Over>});
  list.push_back({"ScrollUp_click.jpg", DrawArrowPicture<true, TArrowState::Click>});
  list.push_back({"ScrollDown.jpg", DrawArrowPicture<false, TArrowState::Normal>});
  list.push_back({"ScrollDown_over.jpg", DrawArrowPicture<false, TArrowState::Over>});
  list.push_back({"ScrollDown_click.jpg", DrawArrowPicture<false, TArrowState::Click>});
  list.push_back({"ScrollLine.jpg", DrawScrollLine});
  list.push_back({"ScrollerUp.bmp", DrawScrollerUp});
  list.push_back({"ScrollerMiddle.bmp", DrawScrollerMiddle});
  list.push_back({"ScrollerDown.bmp", DrawScrollerDown});
}
