#include "plugins/common/PixelWriter.h"

#include <QPainter>
#include <cstdlib>

#include "platform/StrUtils.h"

namespace {

int64_t RowBytes(int32_t code, int64_t width) {
  switch (code) {
    case FOLIO_PIXELS_MONO:
      return (width + 7) / 8;
    case FOLIO_PIXELS_GREY:
      return width;
    case FOLIO_PIXELS_RGB:
      return 3 * width;
    case FOLIO_PIXELS_RGBX:
      return 4 * width;
    default:
      throw Exception("Unknown pixel format " + std::to_string(code));
  }
}

// 0 white .. 255 black, by the usual luma weights.
uint8_t Darkness(QRgb pixel) {
  return uint8_t(255 - (qRed(pixel) * 299 + qGreen(pixel) * 587 + qBlue(pixel) * 114) / 1000);
}

void WriteRow(const QRgb* source, int width, int32_t code, uint8_t* row) {
  for (int x = 0; x < width; ++x) {
    const QRgb pixel = source[x];
    switch (code) {
      case FOLIO_PIXELS_MONO: {
        const auto bit = uint8_t(0x80 >> (x % 8));
        row[x / 8] = Darkness(pixel) >= 128 ? row[x / 8] | bit : row[x / 8] & ~bit;
        break;
      }
      case FOLIO_PIXELS_GREY:
        row[x] = Darkness(pixel);
        break;
      default: {
        uint8_t* p = row + x * (code == FOLIO_PIXELS_RGB ? 3 : 4);
        p[0] = uint8_t(qBlue(pixel));
        p[1] = uint8_t(qGreen(pixel));
        p[2] = uint8_t(qRed(pixel));
        if (code == FOLIO_PIXELS_RGBX) p[3] = 0;
      }
    }
  }
}

}  // namespace

bool IsPixelFormat(int32_t code) {
  return code == FOLIO_PIXELS_MONO || code == FOLIO_PIXELS_GREY || code == FOLIO_PIXELS_RGB ||
         code == FOLIO_PIXELS_RGBX || code == FOLIO_PIXELS_DEVICE;
}

QImage OverWhite(const QImage& image, const QSize& size) {
  QImage picture(size, QImage::Format_RGB32);
  if (picture.isNull()) throw Exception("Not enough memory for a picture of the page");
  picture.fill(Qt::white);
  QPainter painter(&picture);
  painter.drawImage(0, 0, image);
  return picture;
}

void WritePixels(const QImage& picture, int32_t code, const TBlitRec& target) {
  if (!target.Bits) throw Exception("The target has no pixels");
  const int width = picture.width(), rows = picture.height();
  const int64_t rowBytes = RowBytes(code, width);
  const int64_t stride = target.Stride;
  if (rows > 1 && std::llabs(stride) < rowBytes) throw Exception("The target's rows overlap");
  if (int64_t(target.BitsSize) < std::llabs(stride) * (rows - 1) + rowBytes)
    throw Exception("The target is too small for the rectangle");
  for (int k = 0; k < rows; ++k)
    WriteRow(reinterpret_cast<const QRgb*>(picture.constScanLine(k)), width, code, target.Bits + stride * k);
}
