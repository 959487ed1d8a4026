#include "platform/Bitmap.h"

#include <sys/mman.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <deque>
#include <fstream>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Canvas.h"
#include "platform/ImageFiles.h"
#include "platform/StrUtils.h"

namespace {

constexpr std::uint32_t kWhitePixel = 0xFFFFFFFFu;

std::uint8_t Channel(std::uint32_t word, int c) {
  return std::uint8_t(word >> (8 * c));
}

constexpr std::size_t kHugePage = std::size_t(2) << 20;

struct TMapping {
  void* Start;
  std::size_t Length;
};

// Whether the kernel backs a mapping with huge pages when it asks for them.
bool HugePagesOnRequest() {
  static const bool offered = [] {
    std::ifstream file("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string modes;
    std::getline(file, modes);
    return modes.find("[always]") != std::string::npos || modes.find("[madvise]") != std::string::npos;
  }();
  return offered;
}

// Pixels of a bitmap of a huge page or more get a mapping of their own that
// starts on a huge-page boundary and asks for huge pages: the kernel then
// fills it 2 MB at a time instead of taking a fault at every 4 KB, which on
// these machines costs about 3 ms a megabyte, more than drawing the picture.
// Without huge pages the heap serves them, as it can reuse freed memory.
QImage HugePageImage(int width, int height) {
  const std::size_t rowBytes = std::size_t(width) * 4;
  const std::size_t length = (rowBytes * std::size_t(height) + 4095) & ~std::size_t(4095);
  const std::size_t reserved = length + kHugePage;
  auto mapping = std::make_unique<TMapping>();
  void* area = mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (area == MAP_FAILED) return QImage();
  const auto first = reinterpret_cast<std::uintptr_t>(area);
  const std::uintptr_t start = (first + kHugePage - 1) & ~std::uintptr_t(kHugePage - 1);
  // What lies before the aligned run (if anything) and after it goes back;
  // the start moves by less than a huge page, so there is always a tail.
  if (start > first) munmap(area, start - first);
  munmap(reinterpret_cast<void*>(start + length), first + reserved - (start + length));
  *mapping = {reinterpret_cast<void*>(start), length};
  madvise(mapping->Start, length, MADV_HUGEPAGE);
  auto* pixels = static_cast<uchar*>(mapping->Start);
  return QImage(
      pixels, width, height, qsizetype(rowBytes), QImage::Format_ARGB32,
      [](void* held) {
        const std::unique_ptr<TMapping> m(static_cast<TMapping*>(held));
        munmap(m->Start, m->Length);
      },
      mapping.release());
}

QImage WhiteImage(int width, int height) {
  if (width <= 0 || height <= 0) return QImage();
  const bool huge = width <= INT_MAX / 4 && std::size_t(width) * 4 * std::size_t(height) >= kHugePage &&
                    HugePagesOnRequest();
  QImage image = huge ? HugePageImage(width, height) : QImage(width, height, QImage::Format_ARGB32);
  if (image.isNull())
    throw Exception(Format("Not enough memory for a bitmap of %d x %d pixels", width, height));
  // fill(uint) writes the word as it stands; fill(QColor) would go through Qt's colour conversion.
  image.fill(kWhitePixel);
  return image;
}

// Whether every word of part has $FF in its fourth byte.
bool AllOpaque(const QImage& image, const TRect& part) {
  for (int y = part.Top; y < part.Bottom; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    std::uint32_t all = 0xFF000000u;
    for (int x = part.Left; x < part.Right; ++x) all &= row[x];
    if (all != 0xFF000000u) return false;
  }
  return true;
}

// An RGB32 image of part that reads the pixels in place: it holds a share of
// them, so the bitmap written later parts from it instead of changing it.
QImage SharedView(const QImage& image, const TRect& part) {
  auto* holder = new QImage(image);
  const uchar* first = holder->constScanLine(part.Top) + std::size_t(part.Left) * 4;
  return QImage(
      first, part.Width(), part.Height(), holder->bytesPerLine(), QImage::Format_RGB32,
      [](void* held) { delete static_cast<QImage*>(held); }, holder);
}

const char* const kNeeds32Bits = "This operation needs a 32-bit bitmap";

QImage::Format QtFormat(TPixelFormat format) {
  switch (format) {
    case TPixelFormat::pf1bit:
      return QImage::Format_Mono;
    case TPixelFormat::pf8bit:
      return QImage::Format_Indexed8;
    case TPixelFormat::pf24bit:
      return QImage::Format_BGR888;
    case TPixelFormat::pf32bit:
      break;
  }
  return QImage::Format_ARGB32;
}

std::vector<std::uint32_t> PaletteFor(TPixelFormat format, const std::vector<std::uint32_t>& given) {
  const std::size_t most = format == TPixelFormat::pf1bit ? 2 : format == TPixelFormat::pf8bit ? 256 : 0;
  if (most == 0) return {};
  if (given.size() > most)
    throw Exception(Format("A palette of %d colours does not fit this pixel format", int(given.size())));
  std::vector<std::uint32_t> entries;
  if (given.empty()) {
    for (std::uint32_t i = 0; i < most; ++i)
      entries.push_back(0x010101u * (i * 255 / std::uint32_t(most - 1)));
  } else {
    entries = given;
  }
  for (std::uint32_t& entry : entries) entry |= 0xFF000000u;
  return entries;
}

std::uint32_t PixelOf(const std::uint8_t* row, int x, TPixelFormat format,
                      const std::vector<std::uint32_t>& palette) {
  const auto indexed = [&](std::size_t index) {
    return index < palette.size() ? palette[index] : 0xFF000000u;
  };
  switch (format) {
    case TPixelFormat::pf1bit:
      return indexed((row[x / 8] >> (7 - x % 8)) & 1);
    case TPixelFormat::pf8bit:
      return indexed(row[x]);
    case TPixelFormat::pf24bit: {
      const std::uint8_t* p = row + 3 * x;
      return 0xFF000000u | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
    }
    case TPixelFormat::pf32bit:
      break;
  }
  return reinterpret_cast<const std::uint32_t*>(row)[x];
}

QImage To32(const QImage& image, TPixelFormat format, const std::vector<std::uint32_t>& palette) {
  if (format == TPixelFormat::pf32bit || image.isNull()) return image;
  QImage argb(image.width(), image.height(), QImage::Format_ARGB32);
  if (argb.isNull()) throw Exception("Not enough memory for a 32-bit copy of the bitmap");
  for (int y = 0; y < image.height(); ++y) {
    auto* out = reinterpret_cast<std::uint32_t*>(argb.scanLine(y));
    for (int x = 0; x < image.width(); ++x) out[x] = PixelOf(image.constScanLine(y), x, format, palette);
  }
  return argb;
}

// The palette index nearest to a colour; pictures hold few colours, so each is looked up once.
class TNearestEntry {
 public:
  explicit TNearestEntry(const std::vector<std::uint32_t>& palette) : palette_(palette) {}
  std::uint8_t operator()(std::uint32_t word) {
    word &= 0x00FFFFFFu;
    if (word == lastWord_) return lastIndex_;
    lastWord_ = word;
    const auto known = cache_.find(word);
    if (known != cache_.end()) return lastIndex_ = known->second;
    std::size_t best = 0;
    int bestDistance = INT32_MAX;
    for (std::size_t i = 0; i < palette_.size(); ++i) {
      int distance = 0;
      for (int c = 0; c < 3; ++c) {
        const int d = int(Channel(word, c)) - int(Channel(palette_[i], c));
        distance += d * d;
      }
      if (distance < bestDistance) {
        bestDistance = distance;
        best = i;
      }
    }
    return lastIndex_ = cache_[word] = std::uint8_t(best);
  }

 private:
  const std::vector<std::uint32_t>& palette_;
  // Neighbouring pixels mostly share their colour.
  std::uint32_t lastWord_ = 0xFFFFFFFFu;  // no colour: alpha is masked off above
  std::uint8_t lastIndex_ = 0;
  std::unordered_map<std::uint32_t, std::uint8_t> cache_;
};

QImage From32(const QImage& argb, TPixelFormat format, const std::vector<std::uint32_t>& palette) {
  if (format == TPixelFormat::pf32bit || argb.isNull()) return argb;
  QImage image(argb.width(), argb.height(), QtFormat(format));
  if (image.isNull()) throw Exception("Not enough memory for the bitmap in its new pixel format");
  image.fill(0);
  TNearestEntry nearest(palette);
  for (int y = 0; y < argb.height(); ++y) {
    const auto* in = reinterpret_cast<const std::uint32_t*>(argb.constScanLine(y));
    std::uint8_t* out = image.scanLine(y);
    for (int x = 0; x < argb.width(); ++x) {
      if (format == TPixelFormat::pf24bit) {
        for (int c = 0; c < 3; ++c) out[3 * x + c] = Channel(in[x], c);
      } else if (format == TPixelFormat::pf8bit) {
        out[x] = nearest(in[x]);
      } else {
        out[x / 8] |= std::uint8_t(nearest(in[x]) << (7 - x % 8));
      }
    }
  }
  return image;
}

}  // namespace

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) : image_(WhiteImage(width, height)) {}

// Copies share the pixels until one of them is written (QImage detaches on
// every non-const row access), so handing a screen-sized picture to several
// controls costs no memory traffic.
TBitmap::TBitmap(const TBitmap& other)
    : image_(other.image_), format_(other.format_), palette_(other.palette_), origin_(other.origin_) {}

TBitmap& TBitmap::operator=(const TBitmap& other) {
  Assign(other);
  return *this;
}

TBitmap::TBitmap(TBitmap&& other) noexcept
    : image_(std::move(other.image_)),
      format_(other.format_),
      palette_(std::move(other.palette_)),
      origin_(other.origin_) {}

TBitmap& TBitmap::operator=(TBitmap&& other) noexcept {
  image_ = std::move(other.image_);
  format_ = other.format_;
  palette_ = std::move(other.palette_);
  origin_ = other.origin_;
  return *this;
}

TBitmap::~TBitmap() = default;

void TBitmap::Assign(const TBitmap& other) {
  if (&other == this) return;
  image_ = other.image_;
  format_ = other.format_;
  palette_ = other.palette_;
  origin_ = other.origin_;
}

int TBitmap::Width() const {
  return image_.width();
}
int TBitmap::Height() const {
  return image_.height();
}
bool TBitmap::Empty() const {
  return image_.isNull();
}

void TBitmap::SetWidth(int width) {
  SetSize(width, Height());
}
void TBitmap::SetHeight(int height) {
  SetSize(Width(), height);
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == Width() && height == Height()) return;
  if (format_ != TPixelFormat::pf32bit) {
    // Resized in 32 bits and converted back: palette colours survive the round trip exactly.
    const TPixelFormat format = format_;
    const std::vector<std::uint32_t> palette = palette_;
    SetPixelFormat(TPixelFormat::pf32bit);
    SetSize(width, height);
    SetPixelFormat(format, palette);
    return;
  }
  QImage resized = WhiteImage(width, height);
  if (resized.isNull()) {
    image_ = QImage();
    return;
  }
  const int rows = std::min(height, Height());
  const int bytes = std::min(width, Width()) * int(sizeof(std::uint32_t));
  for (int y = 0; y < rows; ++y) std::memcpy(resized.scanLine(y), image_.constScanLine(y), bytes);
  image_ = std::move(resized);
}

TPixelFormat TBitmap::PixelFormat() const {
  return format_;
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  SetPixelFormat(format, {});
}

void TBitmap::SetPixelFormat(TPixelFormat format, const std::vector<std::uint32_t>& palette) {
  std::vector<std::uint32_t> entries = PaletteFor(format, palette);
  if (format == format_ && entries == palette_) return;
  const QImage argb = To32(image_, format_, palette_);
  image_ = From32(argb, format, entries);
  format_ = format;
  palette_ = std::move(entries);
}

std::uint8_t* TBitmap::RawScanLine(int y) {
  if (y < 0 || y >= Height()) throw Exception(Format("Scan line index out of range: %d", y));
  return image_.scanLine(y);
}

const std::uint8_t* TBitmap::RawScanLine(int y) const {
  if (y < 0 || y >= Height()) throw Exception(Format("Scan line index out of range: %d", y));
  return image_.constScanLine(y);
}

int TBitmap::BytesPerLine() const {
  return int(image_.bytesPerLine());
}

std::uint32_t* TBitmap::ScanLine(int y) {
  if (format_ != TPixelFormat::pf32bit) throw Exception(kNeeds32Bits);
  if (y < 0 || y >= Height()) throw Exception(Format("Scan line index out of range: %d", y));
  return reinterpret_cast<std::uint32_t*>(image_.scanLine(y));
}

const std::uint32_t* TBitmap::ScanLine(int y) const {
  if (format_ != TPixelFormat::pf32bit) throw Exception(kNeeds32Bits);
  if (y < 0 || y >= Height()) throw Exception(Format("Scan line index out of range: %d", y));
  return reinterpret_cast<const std::uint32_t*>(image_.constScanLine(y));
}

std::uint32_t TBitmap::Pixel(int x, int y) const {
  if (x < 0 || x >= Width()) throw Exception(Format("Pixel index out of range: %d", x));
  return PixelOf(RawScanLine(y), x, format_, palette_);
}

void TBitmap::SetPixel(int x, int y, std::uint32_t word) {
  if (x < 0 || x >= Width()) throw Exception(Format("Pixel index out of range: %d", x));
  ScanLine(y)[x] = word;
}

QImage& TBitmap::Image() {
  return image_;
}
const QImage& TBitmap::Image() const {
  return image_;
}

QImage TBitmap::OpaqueImage() const {
  return OpaqueImage(Rect(0, 0, Width(), Height()));
}

QImage TBitmap::OpaqueImage(const TRect& part) const {
  // Qt's painters copy RGB32 words as they stand, so the fourth byte must really be $FF.
  const TRect r = IntersectRect(part, Rect(0, 0, Width(), Height()));
  if (r.IsEmpty()) return QImage();
  if (format_ != TPixelFormat::pf32bit)
    return To32(image_, format_, palette_).copy(ToQRect(r)).convertToFormat(QImage::Format_RGB32);
  if (AllOpaque(image_, r)) return SharedView(image_, r);
  QImage opaque(r.Width(), r.Height(), QImage::Format_RGB32);
  if (opaque.isNull()) throw Exception("Not enough memory for a copy of the bitmap");
  const int width = r.Width();
  for (int y = 0; y < r.Height(); ++y) {
    const auto* from = reinterpret_cast<const std::uint32_t*>(image_.constScanLine(r.Top + y)) + r.Left;
    auto* to = reinterpret_cast<std::uint32_t*>(opaque.scanLine(y));
    for (int x = 0; x < width; ++x) to[x] = from[x] | 0xFF000000u;
  }
  return opaque;
}

TRect TBitmap::PictureRect() const {
  return Bounds(origin_.X, origin_.Y, Width(), Height());
}

TCanvas& TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>(*this);
  return *canvas_;
}

// ---- Blits ----

namespace {

// A blit that reads and writes one bitmap works from a copy of its source, as GDI does.
const TBitmap& DistinctSource(const TBitmap& dst, const TBitmap& src, std::unique_ptr<TBitmap>& holder) {
  if (&dst != &src) return src;
  holder = std::make_unique<TBitmap>(src);
  return *holder;
}

std::uint32_t ApplyRop(std::uint32_t dst, std::uint32_t src, TRop rop) {
  switch (rop) {
    case TRop::SrcCopy:
      return src;
    case TRop::SrcAnd:
      return dst & src;
    case TRop::SrcPaint:
      return dst | src;
    case TRop::SrcInvert:
      return dst ^ src;
    case TRop::NotSrcCopy:
      return ~src;
  }
  return src;
}

// Moves both origins by the part of the span that starts before 0 on either side.
void ClipSpan(int& d, int& s, int& n, int dstSize, int srcSize) {
  if (s < 0) {
    d -= s;
    n += s;
    s = 0;
  }
  if (d < 0) {
    s -= d;
    n += d;
    d = 0;
  }
  n = std::min({n, dstSize - d, srcSize - s});
}

// Nearest source index for destination index i of a span of dn mapped onto sn.
int NearestIndex(int s0, int sn, int i, int dn) {
  return s0 + int(std::int64_t(i) * sn / dn);
}

}  // namespace

namespace {

// BitBlt in the bitmaps' own rows and columns.
void CopyPixels(TBitmap& dst, int dx, int dy, int w, int h, const TBitmap& src, int sx, int sy, TRop rop) {
  ClipSpan(dx, sx, w, dst.Width(), src.Width());
  ClipSpan(dy, sy, h, dst.Height(), src.Height());
  if (w <= 0 || h <= 0) return;
  std::unique_ptr<TBitmap> copy;
  const TBitmap& from = DistinctSource(dst, src, copy);
  for (int y = 0; y < h; ++y) {
    const std::uint32_t* in = from.ScanLine(sy + y) + sx;
    std::uint32_t* out = dst.ScanLine(dy + y) + dx;
    for (int x = 0; x < w; ++x) out[x] = ApplyRop(out[x], in[x], rop);
  }
}

// A rectangle of the picture in the bitmap's own rows and columns.
TRect InBitmap(const TBitmap& bitmap, const TRect& r) {
  return r.Offset(-bitmap.Origin().X, -bitmap.Origin().Y);
}

}  // namespace

void BitBlt(TBitmap& dst, int dx, int dy, int w, int h, const TBitmap& src, int sx, int sy, TRop rop) {
  CopyPixels(dst, dx - dst.Origin().X, dy - dst.Origin().Y, w, h, src, sx - src.Origin().X,
             sy - src.Origin().Y, rop);
}

namespace {

// One axis of a halftone stretch: for each destination pixel in the clip, the
// run of source pixels it covers with their overlaps in units of 1/dn source
// pixel; pixels outside the source are left out.
// Destination pixel i spans [i*sn, (i+1)*sn) and source pixel k spans
// [k*dn, (k+1)*dn), both scaled by dn, so every overlap is a whole number no
// larger than either size, and a pixel's overlaps add up to at most sn.
struct TAxisCover {
  std::vector<int> First;   // per destination pixel: its first source pixel
  std::vector<int> Count;   // how many (0: it covers nothing inside the source)
  std::vector<int> Offset;  // where its weights start in Weights
  std::vector<std::uint32_t> Weights;
  std::vector<std::uint32_t> Total;  // the sum of its weights
};

TAxisCover CoverAxis(int s0, int sn, int d0, int dn, int dFirst, int dEnd, int srcSize) {
  TAxisCover axis;
  const std::size_t n = std::size_t(std::max(dEnd - dFirst, 0));
  axis.First.reserve(n);
  axis.Count.reserve(n);
  axis.Offset.reserve(n);
  axis.Total.reserve(n);
  for (int d = dFirst; d < dEnd; ++d) {
    const std::int64_t lo = std::int64_t(d - d0) * sn;
    const std::int64_t hi = lo + sn;
    axis.Offset.push_back(int(axis.Weights.size()));
    int first = 0, count = 0;
    std::uint32_t total = 0;
    for (std::int64_t k = lo / dn; k <= (hi - 1) / dn; ++k) {
      const std::int64_t index = s0 + k;
      if (index < 0 || index >= srcSize) continue;
      const auto weight = std::uint32_t(std::min(hi, (k + 1) * dn) - std::max(lo, k * dn));
      if (count++ == 0) first = int(index);
      axis.Weights.push_back(weight);
      total += weight;
    }
    axis.First.push_back(first);
    axis.Count.push_back(count);
    axis.Total.push_back(total);
  }
  return axis;
}

// sum / total rounded to nearest, halves to even.
template <class Int>
std::uint32_t DivideHalfEven(Int sum, Int total) {
  Int q = sum / total;
  const Int rest = sum % total;
  if (rest > total - rest || (rest == total - rest && (q & 1))) ++q;
  return std::uint32_t(q);
}

// The box average of every covered source area. The filter is separable, so
// each source row is first summed across (once, whichever destination rows
// share it) and those sums are then weighted down; integers throughout, so
// the result is the exact rounded average. Sum is 32 bits wide when
// 255 * the largest possible weight total fits, else 64.
template <class Sum>
void StretchHalftone(TBitmap& dst, const TRect& dr, const TRect& clip, const TBitmap& src, const TRect& sr) {
  const TAxisCover xs =
      CoverAxis(sr.Left, sr.Width(), dr.Left, dr.Width(), clip.Left, clip.Right, src.Width());
  const TAxisCover ys =
      CoverAxis(sr.Top, sr.Height(), dr.Top, dr.Height(), clip.Top, clip.Bottom, src.Height());
  const int width = clip.Width();
  // Across-sums of the source rows in use, 4 channels per destination column, oldest first.
  std::deque<std::pair<int, std::vector<Sum>>> rows;
  auto acrossSums = [&](int sy) {
    std::vector<Sum> sums(std::size_t(width) * 4, 0);
    const std::uint32_t* in = src.ScanLine(sy);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t* weight = xs.Weights.data() + xs.Offset[x];
      const std::uint32_t* pixel = in + xs.First[x];
      Sum* out = sums.data() + std::size_t(x) * 4;
      for (int i = 0; i < xs.Count[x]; ++i) {
        const Sum w = weight[i];
        const std::uint32_t p = pixel[i];
        out[0] += w * (p & 0xFF);
        out[1] += w * ((p >> 8) & 0xFF);
        out[2] += w * ((p >> 16) & 0xFF);
        out[3] += w * (p >> 24);
      }
    }
    return sums;
  };
  for (int y = 0; y < clip.Height(); ++y) {
    const int count = ys.Count[y];
    if (count == 0) continue;
    const int first = ys.First[y];
    while (!rows.empty() && rows.front().first < first) rows.pop_front();
    for (int sy = rows.empty() ? first : rows.back().first + 1; sy < first + count; ++sy)
      rows.emplace_back(sy, acrossSums(sy));
    const std::uint32_t* weight = ys.Weights.data() + ys.Offset[y];
    std::uint32_t* out = dst.ScanLine(clip.Top + y) + clip.Left;
    for (int x = 0; x < width; ++x) {
      if (xs.Count[x] == 0) continue;
      Sum sums[4] = {0, 0, 0, 0};
      for (int j = 0; j < count; ++j) {
        const Sum w = weight[j];
        const Sum* across = rows[std::size_t(j)].second.data() + std::size_t(x) * 4;
        for (int c = 0; c < 4; ++c) sums[c] += w * across[c];
      }
      const Sum total = Sum(xs.Total[x]) * Sum(ys.Total[y]);
      std::uint32_t word = 0;
      for (int c = 0; c < 4; ++c) word |= DivideHalfEven<Sum>(sums[c], total) << (8 * c);
      out[x] = word;
    }
  }
}

void StretchNearest(TBitmap& dst, const TRect& dr, const TRect& clip, const TBitmap& src, const TRect& sr) {
  for (int y = clip.Top; y < clip.Bottom; ++y) {
    const int syi = NearestIndex(sr.Top, sr.Height(), y - dr.Top, dr.Height());
    if (syi < 0 || syi >= src.Height()) continue;
    const std::uint32_t* in = src.ScanLine(syi);
    std::uint32_t* out = dst.ScanLine(y);
    for (int x = clip.Left; x < clip.Right; ++x) {
      const int sxi = NearestIndex(sr.Left, sr.Width(), x - dr.Left, dr.Width());
      if (sxi >= 0 && sxi < src.Width()) out[x] = in[sxi];
    }
  }
}

TRect BitmapRect(const TBitmap& bitmap) {
  return Rect(0, 0, bitmap.Width(), bitmap.Height());
}

}  // namespace

void StretchBlt(TBitmap& dst, const TRect& dstRect, const TBitmap& src, const TRect& srcRect,
                TStretchMode mode) {
  // Mirrored (negative) sizes are not supported: nothing is drawn.
  if (dstRect.IsEmpty() || srcRect.IsEmpty()) return;
  const TRect dr = InBitmap(dst, dstRect);
  const TRect sr = InBitmap(src, srcRect);
  const TRect clip = IntersectRect(dr, BitmapRect(dst));
  if (clip.IsEmpty()) return;
  if (dr.Width() == sr.Width() && dr.Height() == sr.Height()) {
    // Either mode copies equal sizes exactly.
    CopyPixels(dst, clip.Left, clip.Top, clip.Width(), clip.Height(), src, sr.Left + clip.Left - dr.Left,
               sr.Top + clip.Top - dr.Top, TRop::SrcCopy);
    return;
  }
  std::unique_ptr<TBitmap> copy;
  const TBitmap& from = DistinctSource(dst, src, copy);
  if (mode == TStretchMode::ColorOnColor) {
    StretchNearest(dst, dr, clip, from, sr);
  } else if (255.0 * sr.Width() * sr.Height() <= double(UINT32_MAX)) {
    StretchHalftone<std::uint32_t>(dst, dr, clip, from, sr);
  } else {
    StretchHalftone<std::uint64_t>(dst, dr, clip, from, sr);
  }
}

namespace {

std::uint32_t BlendPixel(std::uint32_t d, std::uint32_t s, int constAlpha) {
  const int sourceAlpha = Channel(s, 3) * constAlpha / 255;
  std::uint32_t word = 0;
  for (int c = 0; c < 4; ++c) {
    const int sc = c == 3 ? sourceAlpha : Channel(s, c) * constAlpha / 255;
    // A source that is not truly premultiplied could exceed 255; saturate rather than wrap.
    const int value = std::min(sc + Channel(d, c) * (255 - sourceAlpha) / 255, 255);
    word |= std::uint32_t(value) << (8 * c);
  }
  return word;
}

bool Inside(const TRect& r, const TRect& bounds) {
  return r.Left >= bounds.Left && r.Top >= bounds.Top && r.Right <= bounds.Right && r.Bottom <= bounds.Bottom;
}

}  // namespace

bool AlphaBlend(TBitmap& dst, const TRect& pictureDstRect, const TBitmap& src, const TRect& pictureSrcRect,
                int constAlpha) {
  const TRect dstRect = InBitmap(dst, pictureDstRect);
  const TRect srcRect = InBitmap(src, pictureSrcRect);
  if (dstRect.IsEmpty() || srcRect.IsEmpty() || !Inside(srcRect, BitmapRect(src))) return false;
  constAlpha = std::clamp(constAlpha, 0, 255);
  const TRect clip = IntersectRect(dstRect, BitmapRect(dst));
  if (clip.IsEmpty()) return true;
  std::unique_ptr<TBitmap> copy;
  const TBitmap& from = DistinctSource(dst, src, copy);
  // Each column's source pixel, found once for all the rows.
  std::vector<int> columns(std::size_t(clip.Width()));
  for (int x = clip.Left; x < clip.Right; ++x)
    columns[std::size_t(x - clip.Left)] =
        NearestIndex(srcRect.Left, srcRect.Width(), x - dstRect.Left, dstRect.Width());
  for (int y = clip.Top; y < clip.Bottom; ++y) {
    const std::uint32_t* in =
        from.ScanLine(NearestIndex(srcRect.Top, srcRect.Height(), y - dstRect.Top, dstRect.Height()));
    std::uint32_t* out = dst.ScanLine(y) + clip.Left;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const std::uint32_t pixel = in[columns[i]];
      // A clear pixel leaves the destination as it is, and an opaque one at
      // full strength replaces it: the blend's own result, without its work.
      if (pixel == 0) continue;
      out[i] = pixel >> 24 == 255 && constAlpha == 255 ? pixel : BlendPixel(out[i], pixel, constAlpha);
    }
  }
  return true;
}

namespace {

// One axis of a nine-slice: the destination cells (the first and last at most
// their margins, never more than the destination holds) and the source cells.
struct TSlices {
  int Dst[4];
  int Src[4];
};

TSlices Slice(int d0, int d1, int srcSize, int marginLo, int marginHi) {
  const int lo = std::min(marginLo, d1 - d0);
  const int hi = std::min(marginHi, d1 - d0 - lo);
  return {{d0, d0 + lo, d1 - hi, d1}, {0, marginLo, srcSize - marginHi, srcSize}};
}

}  // namespace

void StretchNineSlice(TBitmap& dst, const TRect& dstRect, const TBitmap& src, int marginLeft, int marginTop,
                      int marginRight, int marginBottom) {
  // Each margin is checked against what is left of the picture, so margins
  // near the top of the int range cannot overflow their sum.
  if (marginLeft < 0 || marginTop < 0 || marginRight < 0 || marginBottom < 0 || marginLeft > src.Width() ||
      marginRight > src.Width() - marginLeft || marginTop > src.Height() ||
      marginBottom > src.Height() - marginTop)
    throw Exception(Format("The margins %d, %d, %d, %d do not fit a picture of %d x %d pixels", marginLeft,
                           marginTop, marginRight, marginBottom, src.Width(), src.Height()));
  if (dstRect.IsEmpty()) return;
  const TSlices xs = Slice(dstRect.Left, dstRect.Right, src.Width(), marginLeft, marginRight);
  const TSlices ys = Slice(dstRect.Top, dstRect.Bottom, src.Height(), marginTop, marginBottom);
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      const TRect d = Rect(xs.Dst[col], ys.Dst[row], xs.Dst[col + 1], ys.Dst[row + 1]);
      if (d.IsEmpty()) continue;
      const bool stretchX = col == 1;
      const bool stretchY = row == 1;
      if (!stretchX && !stretchY) {
        BitBlt(dst, d.Left, d.Top, d.Width(), d.Height(), src, xs.Src[col], ys.Src[row]);
        continue;
      }
      // An edge keeps its margin's thickness, cropped from the cell's top-left like a corner.
      const int srcRight = stretchX ? xs.Src[2] : xs.Src[col] + d.Width();
      const int srcBottom = stretchY ? ys.Src[2] : ys.Src[row] + d.Height();
      StretchBlt(dst, d, src, Rect(xs.Src[col], ys.Src[row], srcRight, srcBottom), TStretchMode::Halftone);
    }
  }
}

void TBitmap::LoadFromFile(const std::string& fileName) {
  *this = LoadBmp(fileName);
}

void TBitmap::SaveToFile(const std::string& fileName) const {
  SaveBmp(fileName, *this, 24);
}
void TBitmap::SaveToFile32(const std::string& fileName) const {
  SaveBmp(fileName, *this, 32);
}
