// The marks that exercise controls lay over the text: the picture of a joint
// that belongs together, shown where the learner left a NOT-particle apart.
#include <QPainterPath>

#include "tools/artwork/Artwork.h"
#include "tools/artwork/Style.h"

namespace {

// No taller than a body line at the smallest body font (-14, 19 pixels), so
// the mark never makes its line higher.
constexpr int kJoinWidth = 12;
constexpr int kJoinHeight = 18;

// The proof-reader's sign for "write together": an arc above and an arc
// below, closing the gap between the particle and its word.
QImage DrawJoinMark() {
  QImage image = NewPicture(kJoinWidth, kJoinHeight, Qt::transparent);
  QPainter painter(&image);
  BeginSmooth(painter);
  painter.setPen(QPen(Palette::Error, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  QPainterPath arcs;
  arcs.moveTo(1.5, 7);
  arcs.quadTo(kJoinWidth / 2.0, 0.5, kJoinWidth - 1.5, 7);
  arcs.moveTo(1.5, 11);
  arcs.quadTo(kJoinWidth / 2.0, 17.5, kJoinWidth - 1.5, 11);
  painter.drawPath(arcs);
  return image;
}

}  // namespace

void AddExerciseMarkArtwork(std::vector<TArtwork>& list) {
  list.push_back({"ne_err.png", DrawJoinMark});
}
