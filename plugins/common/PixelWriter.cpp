#include "plugins/common/PixelWriter.h"

#include <QPainter>
#include <algorithm>
#include <atomic>
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

// Each row loop goes in blocks of a fixed number of pixels, then a tail a
// pixel at a time. At -O2 GCC vectorises only a loop whose trip count it
// knows to divide evenly (its "very cheap" cost model) and whose rows cannot
// overlap, as it adds no run-time check there: so the blocks are vectorised
// in every optimised build, not only at -O3. The rows are __restrict here;
// the pixel steps must be inlined without __restrict of their own, or GCC
// loses track of it (checked with -fopt-info-vec).
constexpr int kBlock = 32;

template <typename TFormat>
[[gnu::always_inline]] inline void ConvertRow(const QRgb* __restrict source, int width, uint8_t* __restrict row) {
  int x = 0;
  for (; x + kBlock <= width; x += kBlock)
    for (int i = 0; i < kBlock; ++i) TFormat::Pixel(source, row, x + i);
  for (; x < width; ++x) TFormat::Pixel(source, row, x);
}

// One pixel of each format, written once and built for every set of row
// loops below.
struct TRgbxPixel {
  [[gnu::always_inline]] static void Pixel(const QRgb* source, uint8_t* row, int x) {
    const uint32_t word = source[x] & 0x00FFFFFFu;
    std::memcpy(row + 4 * x, &word, 4);
  }
};

struct TRgbPixel {
  [[gnu::always_inline]] static void Pixel(const QRgb* source, uint8_t* row, int x) {
    const QRgb pixel = source[x];
    row[3 * x] = uint8_t(qBlue(pixel));
    row[3 * x + 1] = uint8_t(qGreen(pixel));
    row[3 * x + 2] = uint8_t(qRed(pixel));
  }
};

struct TGreyPixel {
  [[gnu::always_inline]] static void Pixel(const QRgb* source, uint8_t* row, int x) {
    row[x] = Darkness(source[x]);
  }
};

// One flag (0 or 1) a pixel: dark or not.
struct TDarkFlag {
  [[gnu::always_inline]] static void Pixel(const QRgb* source, uint8_t* flags, int x) {
    flags[x] = Dark(source[x]);
  }
};

using TRowLoop = void (*)(const QRgb*, int, uint8_t*);

struct TRowLoopSet {
  TRowLoop Rgbx, Rgb, Grey, DarkFlags;
};

// The set every processor of the architecture runs.
void RgbxBaseline(const QRgb* source, int width, uint8_t* row) { ConvertRow<TRgbxPixel>(source, width, row); }
void RgbBaseline(const QRgb* source, int width, uint8_t* row) { ConvertRow<TRgbPixel>(source, width, row); }
void GreyBaseline(const QRgb* source, int width, uint8_t* row) { ConvertRow<TGreyPixel>(source, width, row); }
void DarkFlagsBaseline(const QRgb* source, int width, uint8_t* row) { ConvertRow<TDarkFlag>(source, width, row); }
constexpr TRowLoopSet kBaseline{RgbxBaseline, RgbBaseline, GreyBaseline, DarkFlagsBaseline};

// With AVX2 a block converts eight pixels at once and multiplies 32-bit
// lanes in one step, which the baseline's SSE2 cannot.
#if defined(__x86_64__) && defined(__GNUC__)
#define HAVE_AVX2_LOOPS 1
#define AVX2 [[gnu::target("avx2")]]
AVX2 void RgbxAvx2(const QRgb* source, int width, uint8_t* row) { ConvertRow<TRgbxPixel>(source, width, row); }
AVX2 void RgbAvx2(const QRgb* source, int width, uint8_t* row) { ConvertRow<TRgbPixel>(source, width, row); }
AVX2 void GreyAvx2(const QRgb* source, int width, uint8_t* row) { ConvertRow<TGreyPixel>(source, width, row); }
AVX2 void DarkFlagsAvx2(const QRgb* source, int width, uint8_t* row) { ConvertRow<TDarkFlag>(source, width, row); }
#undef AVX2
constexpr TRowLoopSet kAvx2{RgbxAvx2, RgbAvx2, GreyAvx2, DarkFlagsAvx2};
#else
#define HAVE_AVX2_LOOPS 0
#endif

const TRowLoopSet* RowLoopSet(TRowLoops loops) {
#if HAVE_AVX2_LOOPS
  if (loops == TRowLoops::Avx2) {
    // Also at load time, before the C runtime's own start-up has asked.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? &kAvx2 : nullptr;
  }
#endif
  return loops == TRowLoops::Baseline ? &kBaseline : nullptr;
}

const TRowLoopSet* FastestLoops() {
  const TRowLoopSet* avx2 = RowLoopSet(TRowLoops::Avx2);
  return avx2 ? avx2 : &kBaseline;
}

// The set in use: the fastest this processor runs, unless a test chose one.
std::atomic<const TRowLoopSet*> CurrentLoops{FastestLoops()};

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
void WriteMono(const TRowLoopSet& loops, const QRgb* source, int width, uint8_t* row) {
  constexpr int kChunk = 512;
  uint8_t flags[kChunk];
  for (int start = 0; start < width; start += kChunk) {
    const int count = std::min(kChunk, width - start);
    loops.DarkFlags(source + start, count, flags);
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
  const TRowLoopSet& loops = *CurrentLoops.load(std::memory_order_relaxed);
  for (int k = 0; k < rows; ++k) {
    const auto* source = reinterpret_cast<const QRgb*>(picture.constScanLine(k));
    uint8_t* row = target.Bits + int64_t(target.Stride) * k;
    switch (code) {
      case FOLIO_PIXELS_MONO:
        WriteMono(loops, source, width, row);
        break;
      case FOLIO_PIXELS_GREY:
        loops.Grey(source, width, row);
        break;
      case FOLIO_PIXELS_RGB:
        loops.Rgb(source, width, row);
        break;
      default:
        loops.Rgbx(source, width, row);
    }
  }
}

bool UseRowLoops(TRowLoops loops) {
  const TRowLoopSet* set = RowLoopSet(loops);
  if (set) CurrentLoops.store(set, std::memory_order_relaxed);
  return set != nullptr;
}
