#include "plugins/common/PixelWriter.h"

#include <QPainter>
#include <cstdlib>
#include <cstring>

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
inline uint8_t Darkness(QRgb pixel) {
  return uint8_t(255 - (qRed(pixel) * 299u + qGreen(pixel) * 587u + qBlue(pixel) * 114u) / 1000u);
}

// One converter per format, each a plain loop over the row that the compiler
// can vectorise: rows of large pages are converted in bulk.
void WriteRgbx(const QRgb* source, int width, uint8_t* row) {
  for (int x = 0; x < width; ++x) {
    const uint32_t word = source[x] & 0x00FFFFFFu;
    std::memcpy(row + 4 * x, &word, 4);
  }
}

void WriteRgb(const QRgb* source, int width, uint8_t* row) {
  for (int x = 0; x < width; ++x) {
    const QRgb pixel = source[x];
    row[3 * x] = uint8_t(qBlue(pixel));
    row[3 * x + 1] = uint8_t(qGreen(pixel));
    row[3 * x + 2] = uint8_t(qRed(pixel));
  }
}

void WriteGrey(const QRgb* source, int width, uint8_t* row) {
  for (int x = 0; x < width; ++x) row[x] = Darkness(source[x]);
}

// Darkness(pixel) >= 128, without the division.
inline bool Dark(QRgb pixel) {
  return qRed(pixel) * 299u + qGreen(pixel) * 587u + qBlue(pixel) * 114u < 128000u;
}

uint8_t MonoByte(const QRgb* source, int count) {
  uint8_t byte = 0;
  for (int bit = 0; bit < count; ++bit)
    if (Dark(source[bit])) byte |= uint8_t(0x80 >> bit);
  return byte;
}

// The bits beyond the last pixel of a row are not ours: they keep their value.
void WriteMono(const QRgb* source, int width, uint8_t* row) {
  const int whole = width / 8;
  for (int i = 0; i < whole; ++i) row[i] = MonoByte(source + 8 * i, 8);
  const int rest = width % 8;
  if (rest == 0) return;
  const auto ours = uint8_t(0xFF00 >> rest);
  row[whole] = uint8_t((row[whole] & ~ours) | MonoByte(source + 8 * whole, rest));
}

using TRowWriter = void (*)(const QRgb*, int, uint8_t*);

TRowWriter RowWriter(int32_t code) {
  switch (code) {
    case FOLIO_PIXELS_MONO:
      return WriteMono;
    case FOLIO_PIXELS_GREY:
      return WriteGrey;
    case FOLIO_PIXELS_RGB:
      return WriteRgb;
    default:
      return WriteRgbx;
  }
}

}  // namespace

bool IsPixelFormat(int32_t code) {
  return code == FOLIO_PIXELS_MONO || code == FOLIO_PIXELS_GREY || code == FOLIO_PIXELS_RGB ||
         code == FOLIO_PIXELS_RGBX || code == FOLIO_PIXELS_DEVICE;
}

QImage OverWhite(const QImage& image, const QSize& size) {
  if (image.size() == size && image.format() == QImage::Format_RGB32) return image;
  QImage picture(size, QImage::Format_RGB32);
  if (picture.isNull()) throw Exception("Not enough memory for a picture of the page");
  picture.fill(Qt::white);
  QPainter painter(&picture);
  painter.drawImage(0, 0, image);
  return picture;
}

void CheckTarget(int32_t code, int width, int rows, const TBlitRec& target) {
  if (!target.Bits) throw Exception("The target has no pixels");
  const int64_t rowBytes = RowBytes(code, width);
  const int64_t stride = target.Stride;
  if (rows > 1 && std::llabs(stride) < rowBytes) throw Exception("The target's rows overlap");
  if (int64_t(target.BitsSize) < std::llabs(stride) * (rows - 1) + rowBytes)
    throw Exception("The target is too small for the rectangle");
}

void WritePixels(const QImage& picture, int32_t code, const TBlitRec& target) {
  const int width = picture.width(), rows = picture.height();
  CheckTarget(code, width, rows, target);
  const TRowWriter write = RowWriter(code);
  for (int k = 0; k < rows; ++k)
    write(reinterpret_cast<const QRgb*>(picture.constScanLine(k)), width,
          target.Bits + int64_t(target.Stride) * k);
}
