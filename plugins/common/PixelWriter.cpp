#include "plugins/common/PixelWriter.h"

#include <QPainter>
#include <algorithm>
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

// Darkness(pixel) >= 128, without the division.
inline bool Dark(QRgb pixel) {
  return qRed(pixel) * 299u + qGreen(pixel) * 587u + qBlue(pixel) * 114u < 128000u;
}

// The row loops are built twice on x86-64, for the baseline and for AVX2,
// and the loader picks the one the processor runs: with AVX2 the compiler
// converts eight pixels at once and multiplies 32-bit lanes in one step.
#if defined(__x86_64__) && defined(__GNUC__)
#define ROW_LOOP __attribute__((target_clones("avx2", "default")))
#else
#define ROW_LOOP
#endif

// One converter per format, each a plain loop over the row that the compiler
// vectorises: rows of large pages are converted in bulk.
ROW_LOOP void WriteRgbx(const QRgb* source, int width, uint8_t* row) {
  for (int x = 0; x < width; ++x) {
    const uint32_t word = source[x] & 0x00FFFFFFu;
    std::memcpy(row + 4 * x, &word, 4);
  }
}

ROW_LOOP void WriteRgb(const QRgb* source, int width, uint8_t* row) {
  for (int x = 0; x < width; ++x) {
    const QRgb pixel = source[x];
    row[3 * x] = uint8_t(qBlue(pixel));
    row[3 * x + 1] = uint8_t(qGreen(pixel));
    row[3 * x + 2] = uint8_t(qRed(pixel));
  }
}

ROW_LOOP void WriteGrey(const QRgb* source, int width, uint8_t* row) {
  for (int x = 0; x < width; ++x) row[x] = Darkness(source[x]);
}

// One flag (0 or 1) a pixel: dark or not.
ROW_LOOP void DarkFlags(const QRgb* source, int count, uint8_t* flags) {
  for (int x = 0; x < count; ++x) flags[x] = Dark(source[x]);
}

// Eight flags of 0 or 1, the first in the lowest byte, as the bits of one
// byte, the first flag in the highest bit: each flag's product with the
// multiplier lands on its own bit of the top byte, and no two products
// share a bit, so nothing carries.
inline uint8_t PackFlags(const uint8_t* flags) {
  uint64_t word;
  std::memcpy(&word, flags, 8);
  return uint8_t((word * 0x8040201008040201ull) >> 56);
}

// The bits beyond the last pixel of a row are not ours: they keep their value.
// The row goes in chunks: first a flag a pixel, then eight flags to a byte.
void WriteMono(const QRgb* source, int width, uint8_t* row) {
  constexpr int kChunk = 512;
  uint8_t flags[kChunk];
  for (int start = 0; start < width; start += kChunk) {
    const int count = std::min(kChunk, width - start);
    DarkFlags(source + start, count, flags);
    const int padded = (count + 7) / 8 * 8;
    std::fill(flags + count, flags + padded, uint8_t(0));
    uint8_t* bytes = row + start / 8;
    for (int i = 0; i < count / 8; ++i) bytes[i] = PackFlags(flags + 8 * i);
    const int rest = count % 8;
    if (rest == 0) continue;
    const auto ours = uint8_t(0xFF00 >> rest);
    bytes[count / 8] = uint8_t((bytes[count / 8] & ~ours) | PackFlags(flags + count / 8 * 8));
  }
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
