#include "tools/artwork/SoftShadow.h"

#include <QPainter>
#include <cstdint>
#include <vector>

#include "tools/artwork/Style.h"

namespace {

// One box pass along rows (horizontal) or columns over premultiplied words;
// blurring premultiplied colour keeps the edges free of dark fringes.
void BoxPass(QImage& image, int radius, bool horizontal) {
  const int w = image.width(), h = image.height();
  const int lines = horizontal ? h : w;
  const int length = horizontal ? w : h;
  std::vector<std::uint32_t> line(length);
  for (int l = 0; l < lines; ++l) {
    auto at = [&](int i) -> std::uint32_t& {
      const int x = horizontal ? i : l, y = horizontal ? l : i;
      return reinterpret_cast<std::uint32_t*>(image.scanLine(y))[x];
    };
    for (int i = 0; i < length; ++i) line[i] = at(i);
    for (int i = 0; i < length; ++i) {
      int sum[4] = {0, 0, 0, 0};
      for (int k = i - radius; k <= i + radius; ++k) {
        if (k < 0 || k >= length) continue;
        for (int c = 0; c < 4; ++c) sum[c] += (line[k] >> (8 * c)) & 0xFF;
      }
      std::uint32_t word = 0;
      for (int c = 0; c < 4; ++c) word |= std::uint32_t(sum[c] / (2 * radius + 1)) << (8 * c);
      at(i) = word;
    }
  }
}

}  // namespace

QImage SoftShadow(QSize size, const QPainterPath& shape, QPointF offset, int radius, const QColor& color) {
  QImage image = NewPicture(size.width(), size.height(), Qt::transparent);
  {
    QPainter painter(&image);
    BeginSmooth(painter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(shape.translated(offset));
  }
  const int pass = radius / 3 > 0 ? radius / 3 : 1;
  for (int i = 0; i < 3 && radius > 0; ++i) {
    BoxPass(image, pass, true);
    BoxPass(image, pass, false);
  }
  return image;
}
