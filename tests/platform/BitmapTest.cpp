// TBitmap: white new pixels, copies that act as deep ones, large pictures as
// small ones, checked row access, the B,G,R,A word layout, and Windows bitmap
// files (round trips, row order, palettes, and files whose headers lie).
#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <utility>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "platform/StrUtils.h"

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

TBitmap Pattern(int width, int height) {
  TBitmap bitmap(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      bitmap.SetPixel(x, y, 0x00402000u | (std::uint32_t(x * 50) << 24) | (y << 8) | x);
  return bitmap;
}

}  // namespace

TEST(BitmapTest, NewPixelsAreWhiteAndADefaultBitmapIsEmpty) {
  EXPECT_TRUE(TBitmap().Empty());
  EXPECT_EQ(TBitmap().Width(), 0);
  const TBitmap bitmap(3, 2);
  EXPECT_FALSE(bitmap.Empty());
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(bitmap.Pixel(x, y), kWhite);
}

TEST(BitmapTest, ResizingKeepsTheOverlapAndWhitensNewPixels) {
  TBitmap bitmap = Pattern(3, 3);
  const TBitmap before = bitmap;
  bitmap.SetSize(4, 2);
  ASSERT_EQ(bitmap.Width(), 4);
  ASSERT_EQ(bitmap.Height(), 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(bitmap.Pixel(x, y), before.Pixel(x, y));
    EXPECT_EQ(bitmap.Pixel(3, y), kWhite);
  }
  bitmap.SetHeight(3);
  EXPECT_EQ(bitmap.Pixel(0, 2), kWhite);
  bitmap.SetWidth(-5);
  EXPECT_TRUE(bitmap.Empty());
}

TEST(BitmapTest, CopiesAreDeep) {
  TBitmap original = Pattern(2, 2);
  TBitmap copy(original);
  TBitmap assigned;
  assigned = original;
  copy.SetPixel(0, 0, 1);
  assigned.SetPixel(0, 0, 2);
  original.ScanLine(1)[1] = 3;
  EXPECT_EQ(original.Pixel(0, 0), Pattern(2, 2).Pixel(0, 0));
  EXPECT_EQ(copy.Pixel(0, 0), 1u);
  EXPECT_EQ(assigned.Pixel(0, 0), 2u);
  EXPECT_EQ(copy.Pixel(1, 1), Pattern(2, 2).Pixel(1, 1));

  // Copies share pixels until written: every way of writing parts them.
  TBitmap painted(original), raw(original), canvas(original);
  QPainter(&painted.Image()).fillRect(0, 0, 2, 2, Qt::red);
  raw.RawScanLine(0)[0] = 0x5A;
  canvas.Canvas().FillRect(Rect(0, 0, 2, 2));
  const TBitmap& shared = original;
  EXPECT_EQ(shared.ScanLine(1)[1], 3u);
  EXPECT_EQ(original.Pixel(0, 0), Pattern(2, 2).Pixel(0, 0));
  EXPECT_EQ(painted.Pixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(raw.Pixel(0, 0) & 0xFF, 0x5Au);
  EXPECT_NE(canvas.Pixel(1, 1), original.Pixel(1, 1));
}

// Pictures of 2 MB and more have pixels mapped on their own where the
// kernel offers huge pages; they must act in every way as the small ones do.
TEST(BitmapTest, LargeBitmapsActAsSmallOnes) {
  constexpr int kWidth = 1100, kHeight = 1000;  // 4.4 MB
  TBitmap large(kWidth, kHeight);
  EXPECT_EQ(large.Pixel(0, 0), kWhite);
  EXPECT_EQ(large.Pixel(kWidth - 1, kHeight - 1), kWhite);

  large.SetPixel(kWidth - 1, kHeight - 1, 0xFF123456u);
  TBitmap copy(large);
  copy.SetPixel(0, 0, 0xFF000001u);
  QPainter(&large.Image()).fillRect(0, 0, 4, 4, Qt::red);
  EXPECT_EQ(copy.Pixel(0, 0), 0xFF000001u);
  EXPECT_EQ(copy.Pixel(1, 1), kWhite);
  EXPECT_EQ(large.Pixel(1, 1), 0xFFFF0000u);
  EXPECT_EQ(copy.Pixel(kWidth - 1, kHeight - 1), 0xFF123456u);

  // Resizing across the bound keeps the overlap both ways.
  TBitmap grown = Pattern(3, 3);
  grown.SetSize(kWidth, kHeight);
  EXPECT_EQ(grown.Pixel(2, 2), Pattern(3, 3).Pixel(2, 2));
  EXPECT_EQ(grown.Pixel(kWidth - 1, 0), kWhite);
  grown.SetSize(3, 3);
  EXPECT_EQ(grown.Pixel(2, 2), Pattern(3, 3).Pixel(2, 2));

  // A view read in place outlives the bitmap it was taken from.
  QImage view;
  {
    TBitmap opaque(kWidth, kHeight);
    opaque.SetPixel(kWidth - 1, kHeight - 1, 0xFF654321u);
    view = opaque.OpaqueImage(Rect(kWidth - 2, kHeight - 2, kWidth, kHeight));
    ASSERT_EQ(view.constScanLine(0),
              reinterpret_cast<const uchar*>(std::as_const(opaque).ScanLine(kHeight - 2) + kWidth - 2));
  }
  EXPECT_EQ(view.pixel(1, 1), 0xFF654321u);
  EXPECT_EQ(view.pixel(0, 0), kWhite);
}

TEST(BitmapTest, RowAndPixelAccessIsBoundsChecked) {
  TBitmap bitmap(2, 2);
  const TBitmap& view = bitmap;
  EXPECT_THROW(bitmap.ScanLine(-1), Exception);
  EXPECT_THROW(bitmap.ScanLine(2), Exception);
  EXPECT_THROW(view.ScanLine(2), Exception);
  EXPECT_THROW(bitmap.Pixel(2, 0), Exception);
  EXPECT_THROW(bitmap.SetPixel(-1, 0, 0), Exception);
  EXPECT_THROW(TBitmap().ScanLine(0), Exception);
}

TEST(BitmapTest, PixelWordsAreBgraInMemoryAndNeverPremultiplied) {
  TBitmap bitmap(2, 2);
  bitmap.SetPixel(1, 0, 0x11223344u);
  const uchar* bytes = bitmap.Image().constBits() + 4;
  EXPECT_EQ(bytes[0], 0x44);  // blue
  EXPECT_EQ(bytes[1], 0x33);  // green
  EXPECT_EQ(bytes[2], 0x22);  // red
  EXPECT_EQ(bytes[3], 0x11);  // alpha
  EXPECT_EQ(bitmap.Image().format(), QImage::Format_ARGB32);
  EXPECT_EQ(bitmap.Image().pixel(1, 0), 0x11223344u);
  EXPECT_EQ(bitmap.ScanLine(1), bitmap.ScanLine(0) + 2);
}

TEST(BitmapTest, OpaqueImageHasAFullAlphaByte) {
  TBitmap bitmap(1, 1);
  bitmap.SetPixel(0, 0, 0x00ABCDEFu);
  const QImage opaque = bitmap.OpaqueImage();
  ASSERT_EQ(opaque.format(), QImage::Format_RGB32);
  EXPECT_EQ(reinterpret_cast<const std::uint32_t*>(opaque.constBits())[0], 0xFFABCDEFu);
  EXPECT_EQ(bitmap.Pixel(0, 0), 0x00ABCDEFu);
}

// An opaque part is shown from the bitmap's own pixels, and keeps showing
// them when the bitmap is written afterwards.
TEST(BitmapTest, OpaqueImageOfOpaquePixelsReadsThemInPlace) {
  TBitmap bitmap(4, 3);
  bitmap.SetPixel(2, 1, 0xFF102030u);
  const QImage part = bitmap.OpaqueImage(Rect(1, 1, 4, 3));
  ASSERT_EQ(part.format(), QImage::Format_RGB32);
  ASSERT_EQ(part.size(), QSize(3, 2));
  const TBitmap& view = bitmap;
  EXPECT_EQ(part.constScanLine(0), reinterpret_cast<const uchar*>(view.ScanLine(1) + 1));
  bitmap.SetPixel(2, 1, 0xFF405060u);
  EXPECT_EQ(part.pixel(1, 0), 0xFF102030u);
  EXPECT_EQ(bitmap.OpaqueImage(Rect(1, 1, 4, 3)).pixel(1, 0), 0xFF405060u);
  // One word short of opaque and the part is copied with its fourth byte set.
  bitmap.SetPixel(3, 2, 0x00FFFFFFu);
  const QImage copied = bitmap.OpaqueImage(Rect(1, 1, 4, 3));
  EXPECT_NE(copied.constScanLine(0), reinterpret_cast<const uchar*>(view.ScanLine(1) + 1));
  EXPECT_EQ(copied.pixel(2, 1), 0xFFFFFFFFu);
}

TEST(BitmapTest, CanvasBelongsToItsOwnBitmap) {
  TBitmap bitmap(2, 2);
  TCanvas& canvas = bitmap.Canvas();
  EXPECT_EQ(&bitmap.Canvas(), &canvas);
  EXPECT_EQ(&canvas.Bitmap(), &bitmap);
  TBitmap copy(bitmap);
  EXPECT_EQ(&copy.Canvas().Bitmap(), &copy);
  copy.Canvas();  // made before the move, so a stolen canvas would point at copy
  TBitmap moved(std::move(copy));
  EXPECT_EQ(moved.Width(), 2);
  EXPECT_EQ(&moved.Canvas().Bitmap(), &moved);
}

// ---- Windows bitmap files ----

namespace {

// A bitmap file built field by field, so each test can make its header lie.
struct TBmpSpec {
  std::int32_t Width = 2;
  std::int32_t Height = 2;
  std::uint16_t Bits = 24;
  std::uint32_t Compression = 0;
  std::uint32_t InfoSize = 40;
  std::uint32_t ColorsUsed = 0;
  std::vector<std::uint32_t> Palette;
  std::string Pixels;
  std::int64_t OffsetDelta = 0;  // added to the honest pixel data offset
};

void Put(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(char(value >> (8 * i)));
}

std::string BuildBmp(const TBmpSpec& spec) {
  const std::uint32_t offset = std::uint32_t(14 + spec.InfoSize + 4 * spec.Palette.size() + spec.OffsetDelta);
  std::string out = "BM";
  Put(out, std::uint32_t(offset + spec.Pixels.size()), 4);
  Put(out, 0, 4);
  Put(out, offset, 4);
  Put(out, spec.InfoSize, 4);
  Put(out, std::uint32_t(spec.Width), 4);
  Put(out, std::uint32_t(spec.Height), 4);
  Put(out, 1, 2);
  Put(out, spec.Bits, 2);
  Put(out, spec.Compression, 4);
  Put(out, std::uint32_t(spec.Pixels.size()), 4);
  Put(out, 3780, 4);
  Put(out, 3780, 4);
  Put(out, spec.ColorsUsed, 4);
  Put(out, 0, 4);
  if (spec.InfoSize > 40) {
    for (std::uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) Put(out, mask, 4);
    out.append(spec.InfoSize - 56, '\0');
  }
  for (std::uint32_t colour : spec.Palette) Put(out, colour, 4);
  return out + spec.Pixels;
}

class BmpFileTest : public ::testing::Test {
 protected:
  std::string PathOf(const QString& name) const { return QStringToCp1251(dir_.filePath(name)); }
  std::string Write(const std::string& bytes, const QString& name = "picture.bmp") {
    QFile file(dir_.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), qint64(bytes.size()));
    return PathOf(name);
  }
  QByteArray Read(const std::string& path) const {
    QFile file(Cp1251ToQString(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
  }
  TBitmap Load(const TBmpSpec& spec) {
    TBitmap bitmap;
    bitmap.LoadFromFile(Write(BuildBmp(spec)));
    return bitmap;
  }

  QTemporaryDir dir_;
};

// Two rows of two 24-bit pixels, each row padded to 8 bytes.
const std::string kRows24("\x01\x02\x03\x04\x05\x06\0\0\x07\x08\x09\x0A\x0B\x0C\0\0", 16);

}  // namespace

TEST_F(BmpFileTest, TwentyFourBitRoundTripDropsAlphaAndPadsRows) {
  const TBitmap source = Pattern(3, 2);
  const std::string path = PathOf("pattern.bmp");
  source.SaveToFile(path);
  const QByteArray bytes = Read(path);
  // 54 header bytes, then two rows of 9 bytes padded to 12, bottom row first.
  ASSERT_EQ(bytes.size(), 54 + 2 * 12);
  EXPECT_EQ(bytes[28], 24);
  EXPECT_EQ(std::uint8_t(bytes[54]), source.Pixel(0, 1) & 0xFF);
  EXPECT_EQ(std::uint8_t(bytes[66]), source.Pixel(0, 0) & 0xFF);
  TBitmap loaded;
  loaded.LoadFromFile(path);
  ASSERT_EQ(loaded.Width(), 3);
  ASSERT_EQ(loaded.Height(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(loaded.Pixel(x, y), source.Pixel(x, y) | 0xFF000000u);
}

TEST_F(BmpFileTest, ThirtyTwoBitRoundTripKeepsTheFourthByte) {
  TBitmap source = Pattern(5, 3);
  source.SetPixel(0, 0, 0x00FFFFFFu);
  source.SetPixel(1, 0, 0x01000000u);
  source.SetPixel(4, 2, 0xFE123456u);
  const std::string path = PathOf("alpha.bmp");
  source.SaveToFile32(path);
  EXPECT_EQ(Read(path).size(), 54 + 5 * 3 * 4);
  TBitmap loaded;
  loaded.LoadFromFile(path);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(loaded.Pixel(x, y), source.Pixel(x, y)) << x << "," << y;
}

TEST_F(BmpFileTest, NegativeHeightMeansRowsFromTheTop) {
  TBmpSpec spec;
  spec.Pixels = kRows24;
  const TBitmap bottomUp = Load(spec);
  spec.Height = -2;
  const TBitmap topDown = Load(spec);
  EXPECT_EQ(bottomUp.Pixel(0, 1), 0xFF030201u);
  EXPECT_EQ(bottomUp.Pixel(1, 0), 0xFF0C0B0Au);
  EXPECT_EQ(topDown.Pixel(0, 0), 0xFF030201u);
  EXPECT_EQ(topDown.Pixel(1, 1), 0xFF0C0B0Au);
}

TEST_F(BmpFileTest, LaterHeaderVersionsAndPlainBitfieldsAreRead) {
  for (std::uint32_t infoSize : {108u, 124u}) {
    TBmpSpec spec;
    spec.InfoSize = infoSize;
    spec.Bits = 32;
    spec.Compression = 3;
    spec.Width = 1;
    spec.Height = 1;
    spec.Pixels = std::string("\x10\x20\x30\x40", 4);
    EXPECT_EQ(Load(spec).Pixel(0, 0), 0x40302010u) << infoSize;
  }
}

TEST_F(BmpFileTest, PalettedPicturesBecomeOpaque32Bit) {
  const std::vector<std::uint32_t> palette = {0x00000000u, 0x00112233u, 0x00445566u};
  TBmpSpec spec;
  spec.Palette = palette;
  spec.ColorsUsed = 3;
  spec.Width = 3;
  spec.Height = 1;
  spec.Bits = 8;
  spec.Pixels = std::string("\x02\x01\x00\x00", 4);
  TBitmap bitmap = Load(spec);
  EXPECT_EQ(bitmap.Pixel(0, 0), 0xFF445566u);
  EXPECT_EQ(bitmap.Pixel(1, 0), 0xFF112233u);
  EXPECT_EQ(bitmap.Pixel(2, 0), 0xFF000000u);

  spec.Bits = 4;
  spec.Pixels = std::string("\x21\x00\x00\x00", 4);  // high nibble first
  bitmap = Load(spec);
  EXPECT_EQ(bitmap.Pixel(0, 0), 0xFF445566u);
  EXPECT_EQ(bitmap.Pixel(1, 0), 0xFF112233u);

  spec.Bits = 1;
  spec.Palette.resize(2);
  spec.ColorsUsed = 0;                               // all two colours
  spec.Pixels = std::string("\xA0\x00\x00\x00", 4);  // 1, 0, 1
  bitmap = Load(spec);
  EXPECT_EQ(bitmap.Pixel(0, 0), 0xFF112233u);
  EXPECT_EQ(bitmap.Pixel(1, 0), 0xFF000000u);
  EXPECT_EQ(bitmap.Pixel(2, 0), 0xFF112233u);
}

TEST_F(BmpFileTest, LyingHeadersAreRefusedWithTheFileNameAndReason) {
  const struct {
    const char* Case;
    void (*Lie)(TBmpSpec&);
    const char* Reason;
  } cases[] = {
      {"huge width", [](TBmpSpec& s) { s.Width = 100000; }, "claims 100000 x 2 pixels"},
      {"zero height", [](TBmpSpec& s) { s.Height = 0; }, "bad picture size"},
      {"negative width", [](TBmpSpec& s) { s.Width = -2; }, "bad picture size"},
      {"most negative height", [](TBmpSpec& s) { s.Height = INT32_MIN; }, "claims 2 x 2147483648 pixels"},
      {"offset beyond the file", [](TBmpSpec& s) { s.OffsetDelta = 1000; }, "offset"},
      {"offset inside the header", [](TBmpSpec& s) { s.OffsetDelta = -20; }, "offset"},
      {"truncated rows", [](TBmpSpec& s) { s.Pixels.resize(12); }, "truncated"},
      {"taller than the data", [](TBmpSpec& s) { s.Height = 3; }, "truncated"},
      {"run-length compression", [](TBmpSpec& s) { s.Compression = 1; }, "compressed"},
      {"16 bits", [](TBmpSpec& s) { s.Bits = 16; }, "16 bits"},
      {"core header", [](TBmpSpec& s) { s.InfoSize = 12; }, "header"},
      {"bit fields on 24 bits", [](TBmpSpec& s) { s.Compression = 3; }, "bit fields"},
      {"index outside the palette",
       [](TBmpSpec& s) {
         s.Bits = 8;
         s.Palette = {0, 0};
         s.ColorsUsed = 2;
         s.Pixels = std::string("\x05\x00\x00\x00\x00\x00\x00\x00", 8);
       },
       "palette"},
      {"more colours than the depth holds",
       [](TBmpSpec& s) {
         s.Bits = 1;
         s.Palette = {0, 0, 0};
         s.ColorsUsed = 3;
         s.Pixels = std::string(8, '\0');
       },
       "palette colours"},
  };
  for (const auto& c : cases) {
    TBmpSpec spec;
    spec.Pixels = kRows24;
    c.Lie(spec);
    const std::string path = Write(BuildBmp(spec), "lie.bmp");
    try {
      TBitmap().LoadFromFile(path);
      ADD_FAILURE() << c.Case << ": no exception";
    } catch (const Exception& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find(path), std::string::npos) << c.Case << ": " << message;
      EXPECT_NE(message.find(c.Reason), std::string::npos) << c.Case << ": " << message;
    }
  }
}

TEST_F(BmpFileTest, ShortOrForeignFilesAreRefused) {
  const std::string whole = BuildBmp(TBmpSpec{.Palette = {}, .Pixels = kRows24});
  for (std::size_t length : {std::size_t(0), std::size_t(2), std::size_t(20), std::size_t(53)}) {
    const std::string path = Write(whole.substr(0, length), "short.bmp");
    EXPECT_THROW(TBitmap().LoadFromFile(path), Exception) << length;
  }
  EXPECT_THROW(TBitmap().LoadFromFile(Write("GIF89a" + whole, "foreign.bmp")), Exception);
}

TEST_F(BmpFileTest, MissingFileSaysSo) {
  const std::string path = PathOf("absent.bmp");
  try {
    TBitmap().LoadFromFile(path);
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()), "File not found: " + path);
  }
}

TEST_F(BmpFileTest, FailedLoadLeavesTheBitmapAsItWas) {
  TBitmap bitmap = Pattern(2, 2);
  EXPECT_THROW(bitmap.LoadFromFile(Write("BM", "bad.bmp")), Exception);
  EXPECT_EQ(bitmap.Pixel(1, 1), Pattern(2, 2).Pixel(1, 1));
}

TEST_F(BmpFileTest, SavingAnEmptyBitmapOrIntoAMissingFolderThrows) {
  EXPECT_THROW(TBitmap().SaveToFile(PathOf("empty.bmp")), Exception);
  EXPECT_THROW(Pattern(1, 1).SaveToFile(PathOf("no/such/folder/x.bmp")), Exception);
}
