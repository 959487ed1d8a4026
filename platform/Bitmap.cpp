#include "platform/Bitmap.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/BitmapMemory.h"
#include "platform/Canvas.h"
#include "platform/DebugChecks.h"
#include "platform/ImageFiles.h"
#include "platform/StrUtils.h"

namespace {

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
        const int d = int(WordChannel(word, c)) - int(WordChannel(palette_[i], c));
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
        for (int c = 0; c < 3; ++c) out[3 * x + c] = WordChannel(in[x], c);
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
// controls costs no memory traffic. Tests make copies deep at once, so that a
// write through a row pointer taken before a copy cannot pass unseen.
TBitmap::TBitmap(const TBitmap& other)
    : image_(other.image_), format_(other.format_), palette_(other.palette_), origin_(other.origin_) {
  if (DeepBitmapCopiesOn()) image_.detach();
}

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
  if (DeepBitmapCopiesOn()) image_.detach();
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

void TBitmap::LoadFromFile(const std::string& fileName) {
  *this = LoadBmp(fileName);
}

void TBitmap::SaveToFile(const std::string& fileName) const {
  SaveBmp(fileName, *this, 24);
}
void TBitmap::SaveToFile32(const std::string& fileName) const {
  SaveBmp(fileName, *this, 32);
}
