// PNG and JPEG files: every PNG colour type composited over white with the
// exact formula, alpha rows only where the file has an alpha channel, round
// trips, and broken files that must throw instead of crashing.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>

#include "platform/Cp1251.h"
#include "platform/ImageFiles.h"
#include "platform/StrUtils.h"

namespace {

std::uint32_t Argb(int a, int r, int g, int b) {
  return (std::uint32_t(a) << 24) | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | std::uint32_t(b);
}

class PictureFileTest : public ::testing::Test {
 protected:
  std::string PathOf(const QString& name) const { return QStringToCp1251(dir_.filePath(name)); }

  // Writes a PNG fixture with libpng's simplified writer, which picks the
  // colour type from the format (G, GA, RGB, RGBA, colour map).
  std::string WritePng(const QString& name, png_uint_32 format, int width, int height, const void* pixels,
                       const void* colormap = nullptr, int colormapEntries = 0) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = format;
    image.colormap_entries = png_uint_32(colormapEntries);
    const QByteArray file = QFile::encodeName(dir_.filePath(name));
    EXPECT_TRUE(png_image_write_to_file(&image, file.constData(), 0, pixels, 0, colormap)) << image.message;
    return PathOf(name);
  }

  QByteArray Read(const std::string& path) const {
    QFile file(Cp1251ToQString(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
  }
  std::string Write(const QString& name, const QByteArray& bytes) {
    QFile file(dir_.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return PathOf(name);
  }

  // The exception message of a call that must throw, or "" when it did not.
  template <typename F>
  static std::string ErrorOf(F call) {
    try {
      call();
    } catch (const Exception& e) {
      return e.what();
    }
    return "";
  }

  QTemporaryDir dir_;
};

// A partly transparent red, and a colour whose composite is not trivially 255
// or 127. Over white per channel: (c * a + 255 + 255 * (255 - a)) >> 8.
//   red   255 at alpha 128: (32640 + 255 + 32385) >> 8 = 65280 >> 8 = 255
//   green   0 at alpha 128: (0 + 255 + 32385) >> 8 = 32640 >> 8 = 127
//   (100, 200, 50) at alpha 200, 255 * 55 = 14025:
//     red (20000 + 255 + 14025) >> 8 = 34280 >> 8 = 133
//     green (40000 + 255 + 14025) >> 8 = 54280 >> 8 = 212
//     blue (10000 + 255 + 14025) >> 8 = 24280 >> 8 = 94
const std::uint32_t kLightenedRed = Argb(255, 255, 127, 127);
const std::uint32_t kComposited = Argb(255, 133, 212, 94);

}  // namespace

TEST_F(PictureFileTest, TruecolourWithAlphaIsCompositedOverWhite) {
  const std::uint8_t rgba[] = {255, 0, 0, 128, 100, 200, 50, 200, 1, 2, 3, 255, 9, 9, 9, 0};
  const TPngPicture picture = LoadPngPicture(WritePng("rgba.png", PNG_FORMAT_RGBA, 4, 1, rgba));
  EXPECT_EQ(picture.ColorType, PNG_COLOR_TYPE_RGB_ALPHA);
  EXPECT_EQ(picture.Bitmap.Pixel(0, 0), kLightenedRed);
  EXPECT_EQ(picture.Bitmap.Pixel(1, 0), kComposited);
  EXPECT_EQ(picture.Bitmap.Pixel(2, 0), Argb(255, 1, 2, 3));
  EXPECT_EQ(picture.Bitmap.Pixel(3, 0), 0xFFFFFFFFu);
  ASSERT_EQ(picture.AlphaRows.size(), 1u);
  EXPECT_EQ(picture.AlphaRows[0], (std::vector<std::uint8_t>{128, 200, 255, 0}));
}

TEST_F(PictureFileTest, GreyWithAlphaGivesAlphaRows) {
  // Grey 0 at alpha 128 composites like the green channel above: 127.
  const std::uint8_t ga[] = {0, 128, 60, 255, 200, 0, 255, 10};
  const TPngPicture picture = LoadPngPicture(WritePng("ga.png", PNG_FORMAT_GA, 2, 2, ga));
  EXPECT_EQ(picture.ColorType, PNG_COLOR_TYPE_GRAY_ALPHA);
  EXPECT_EQ(picture.Bitmap.Pixel(0, 0), Argb(255, 127, 127, 127));
  EXPECT_EQ(picture.Bitmap.Pixel(1, 0), Argb(255, 60, 60, 60));
  EXPECT_EQ(picture.Bitmap.Pixel(0, 1), 0xFFFFFFFFu);
  ASSERT_EQ(picture.AlphaRows.size(), 2u);
  EXPECT_EQ(picture.AlphaRows[0], (std::vector<std::uint8_t>{128, 255}));
  EXPECT_EQ(picture.AlphaRows[1], (std::vector<std::uint8_t>{0, 10}));
}

TEST_F(PictureFileTest, OpaqueTypesHaveNoAlphaRows) {
  const std::uint8_t rgb[] = {10, 20, 30, 40, 50, 60};
  const TPngPicture colour = LoadPngPicture(WritePng("rgb.png", PNG_FORMAT_RGB, 2, 1, rgb));
  EXPECT_EQ(colour.ColorType, PNG_COLOR_TYPE_RGB);
  EXPECT_EQ(colour.Bitmap.Pixel(0, 0), Argb(255, 10, 20, 30));
  EXPECT_EQ(colour.Bitmap.Pixel(1, 0), Argb(255, 40, 50, 60));
  EXPECT_TRUE(colour.AlphaRows.empty());

  const std::uint8_t grey[] = {7, 250};
  const TPngPicture plain = LoadPngPicture(WritePng("grey.png", PNG_FORMAT_GRAY, 1, 2, grey));
  EXPECT_EQ(plain.ColorType, PNG_COLOR_TYPE_GRAY);
  EXPECT_EQ(plain.Bitmap.Pixel(0, 1), Argb(255, 250, 250, 250));
  EXPECT_TRUE(plain.AlphaRows.empty());
}

TEST_F(PictureFileTest, SixteenBitChannelsKeepTheirHighByte) {
  const std::uint16_t rgb[] = {0xABAB, 0x1212, 0xFEFE};
  const TPngPicture picture = LoadPngPicture(WritePng("deep.png", PNG_FORMAT_LINEAR_RGB, 1, 1, rgb));
  EXPECT_EQ(picture.Bitmap.Pixel(0, 0), Argb(255, 0xAB, 0x12, 0xFE));
}

TEST_F(PictureFileTest, PaletteTransparencyIsCompositedButGivesNoAlphaRows) {
  const std::uint8_t colormap[] = {255, 0, 0, 128, 100, 200, 50, 200, 0, 0, 255, 0};
  const std::uint8_t indices[] = {0, 1, 2};
  const TPngPicture picture =
      LoadPngPicture(WritePng("palette.png", PNG_FORMAT_RGBA_COLORMAP, 3, 1, indices, colormap, 3));
  EXPECT_EQ(picture.ColorType, PNG_COLOR_TYPE_PALETTE);
  EXPECT_EQ(picture.Bitmap.Pixel(0, 0), kLightenedRed);
  EXPECT_EQ(picture.Bitmap.Pixel(1, 0), kComposited);
  EXPECT_EQ(picture.Bitmap.Pixel(2, 0), 0xFFFFFFFFu);
  EXPECT_TRUE(picture.AlphaRows.empty());
}

TEST_F(PictureFileTest, SavedPngKeepsStraightAlpha) {
  TBitmap bitmap(3, 1);
  bitmap.SetPixel(0, 0, Argb(128, 255, 0, 0));
  bitmap.SetPixel(1, 0, Argb(200, 100, 200, 50));
  bitmap.SetPixel(2, 0, Argb(255, 1, 2, 3));
  const std::string path = PathOf("saved.png");
  SavePng(path, bitmap);
  const TPngPicture picture = LoadPngPicture(path);
  EXPECT_EQ(picture.ColorType, PNG_COLOR_TYPE_RGB_ALPHA);
  EXPECT_EQ(picture.Bitmap.Pixel(0, 0), kLightenedRed);
  EXPECT_EQ(picture.Bitmap.Pixel(1, 0), kComposited);
  EXPECT_EQ(picture.Bitmap.Pixel(2, 0), Argb(255, 1, 2, 3));
  ASSERT_EQ(picture.AlphaRows.size(), 1u);
  EXPECT_EQ(picture.AlphaRows[0], (std::vector<std::uint8_t>{128, 200, 255}));
}

TEST_F(PictureFileTest, BrokenPngFilesThrowWithTheFileName) {
  std::vector<std::uint8_t> noise(32 * 32 * 4);
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = std::uint8_t(i * 37 + i / 7);
  const QByteArray whole = Read(WritePng("noise.png", PNG_FORMAT_RGBA, 32, 32, noise.data()));
  QByteArray corrupt = whole;
  corrupt[whole.size() / 2] = char(corrupt[whole.size() / 2] ^ 0x55);
  const struct {
    const char* Name;
    QByteArray Bytes;
  } cases[] = {
      {"half.png", whole.left(whole.size() / 2)},
      {"no-end.png", whole.left(whole.size() - 12)},
      {"header-only.png", whole.left(20)},
      {"corrupt.png", corrupt},
      {"empty.png", QByteArray()},
      {"text.png", QByteArray("this is not a picture")},
  };
  for (const auto& c : cases) {
    const std::string path = Write(c.Name, c.Bytes);
    const std::string message = ErrorOf([&] { LoadPngPicture(path); });
    EXPECT_EQ(message.rfind("Cannot read PNG file " + path + ": ", 0), 0u) << c.Name << ": " << message;
  }
}

TEST_F(PictureFileTest, MissingFilesSaySo) {
  const std::string path = PathOf("absent.png");
  EXPECT_EQ(ErrorOf([&] { LoadPngPicture(path); }), "File not found: " + path);
  EXPECT_EQ(ErrorOf([&] { LoadJpeg(path); }), "File not found: " + path);
}

namespace {

// Four flat 16 x 16 blocks, one per JPEG colour unit (chroma is halved both ways).
TBitmap FlatBlocks() {
  const std::uint32_t colours[] = {Argb(0, 200, 30, 40), Argb(255, 20, 180, 60), Argb(255, 90, 90, 220),
                                   Argb(7, 250, 250, 250)};
  TBitmap bitmap(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) bitmap.SetPixel(x, y, colours[(y / 16) * 2 + x / 16]);
  return bitmap;
}

int ChannelDistance(std::uint32_t a, std::uint32_t b) {
  int worst = 0;
  for (int shift = 0; shift < 24; shift += 8)
    worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
  return worst;
}

}  // namespace

TEST_F(PictureFileTest, JpegRoundTripStaysNearTheSourceColours) {
  const TBitmap source = FlatBlocks();
  const std::string path = PathOf("blocks.jpg");
  SaveJpeg(path, source, 95);
  const TBitmap loaded = LoadJpeg(path);
  ASSERT_EQ(loaded.Width(), 32);
  ASSERT_EQ(loaded.Height(), 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      EXPECT_EQ(loaded.Pixel(x, y) >> 24, 255u);
      // Chroma upsampling blends the two pixels next to a colour edge.
      const bool nearEdge = std::abs(x % 16 - 8) > 5 || std::abs(y % 16 - 8) > 5;
      if (!nearEdge) {
        EXPECT_LE(ChannelDistance(loaded.Pixel(x, y), source.Pixel(x, y)), 6) << x << "," << y;
      }
    }
}

// Greyscale files come out as opaque grey pixels like colour ones.
TEST_F(PictureFileTest, GreyJpegLoadsAsOpaqueGrey) {
  QImage grey(16, 8, QImage::Format_Grayscale8);
  for (int y = 0; y < grey.height(); ++y)
    for (int x = 0; x < grey.width(); ++x) grey.scanLine(y)[x] = x < 8 ? 0x30 : 0xC0;
  const std::string path = PathOf("grey.jpg");
  ASSERT_TRUE(grey.save(QString::fromStdString(path), "JPEG", 100));
  const TBitmap loaded = LoadJpeg(path);
  ASSERT_EQ(loaded.Width(), 16);
  ASSERT_EQ(loaded.Height(), 8);
  for (int y = 0; y < 8; ++y)
    for (int x : {1, 14}) {
      const std::uint32_t p = loaded.Pixel(x, y);
      EXPECT_EQ(p >> 24, 255u);
      EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF);
      EXPECT_EQ(p & 0xFF, (p >> 16) & 0xFF);
      EXPECT_NEAR(int(p & 0xFF), x < 8 ? 0x30 : 0xC0, 3) << x << "," << y;
    }
}

TEST_F(PictureFileTest, JpegQualityDecidesTheFileSize) {
  TBitmap noise(64, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      noise.SetPixel(x, y, 0xFF000000u | std::uint32_t((x * 7919 + y * 104729) * 2654435761u >> 8));
  SaveJpeg(PathOf("low.jpg"), noise, 10);
  SaveJpeg(PathOf("high.jpg"), noise, 95);
  EXPECT_LT(Read(PathOf("low.jpg")).size() * 2, Read(PathOf("high.jpg")).size());
}

TEST_F(PictureFileTest, BrokenJpegFilesThrowInsteadOfEndingTheProgram) {
  SaveJpeg(PathOf("whole.jpg"), FlatBlocks(), 90);
  const QByteArray whole = Read(PathOf("whole.jpg"));
  const struct {
    const char* Name;
    QByteArray Bytes;
  } cases[] = {
      {"half.jpg", whole.left(whole.size() / 2)},
      {"header.jpg", whole.left(100)},
      {"empty.jpg", QByteArray()},
      {"text.jpg", QByteArray("this is not a picture")},
  };
  for (const auto& c : cases) {
    const std::string path = Write(c.Name, c.Bytes);
    const std::string message = ErrorOf([&] { LoadJpeg(path); });
    EXPECT_EQ(message.rfind("Cannot read JPEG file " + path + ": ", 0), 0u) << c.Name << ": " << message;
  }
}

TEST_F(PictureFileTest, SavingAnEmptyPictureThrows) {
  EXPECT_THROW(SavePng(PathOf("empty.png"), TBitmap()), Exception);
  EXPECT_THROW(SaveJpeg(PathOf("empty.jpg"), TBitmap()), Exception);
}

namespace {

void PutBigEndian(QByteArray& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.append(char((value >> shift) & 0xFF));
}

void AppendChunk(QByteArray& png, const char* type, const QByteArray& data) {
  PutBigEndian(png, std::uint32_t(data.size()));
  QByteArray typed(type);
  typed += data;
  png += typed;
  PutBigEndian(
      png, std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(typed.constData()), uInt(typed.size()))));
}

// A PNG made chunk by chunk: grey, 8 bits, with the given pixel rows (each
// row a filter byte and width bytes) deflated into one IDAT.
QByteArray HandMadePng(std::uint32_t width, std::uint32_t height, const QByteArray& idat) {
  QByteArray png("\x89PNG\r\n\x1a\n", 8);
  QByteArray header;
  PutBigEndian(header, width);
  PutBigEndian(header, height);
  header += QByteArray("\x08\x00\x00\x00\x00", 5);
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "IDAT", idat);
  AppendChunk(png, "IEND", QByteArray());
  return png;
}

QByteArray Deflated(const QByteArray& raw) {
  uLongf size = compressBound(uLong(raw.size()));
  QByteArray out(qsizetype(size), '\0');
  EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                      reinterpret_cast<const Bytef*>(raw.constData()), uLong(raw.size()), 9),
            Z_OK);
  out.resize(qsizetype(size));
  return out;
}

}  // namespace

// A tiny file that claims a huge picture is refused from its header, with the
// file's name and the size it claims; so is a small deflate stream that would
// inflate to more pixels than the trainer can show.
TEST_F(PictureFileTest, PngHeadersClaimingHugePicturesAreRefused) {
  const QByteArray claim = HandMadePng(8192, 8192, QByteArray());
  EXPECT_LT(claim.size(), 64);
  const std::string claimPath = Write("claim.png", claim);
  EXPECT_EQ(
      ErrorOf([&] { LoadPngPicture(claimPath); }),
      "Cannot read PNG file " + claimPath +
          ": the picture claims 8192 x 8192 pixels, more than the 4096 x 4096 (and 8192 a side) that can "
          "be shown");

  const int bombWidth = 8192, bombHeight = 2049;  // sides allowed, 16.8 million pixels are not
  const QByteArray bomb =
      HandMadePng(bombWidth, bombHeight, Deflated(QByteArray(qsizetype(bombWidth + 1) * bombHeight, '\0')));
  EXPECT_LT(bomb.size(), 64 * 1024);
  const std::string bombPath = Write("bomb.png", bomb);
  EXPECT_NE(ErrorOf([&] { LoadPngPicture(bombPath); }).find("claims 8192 x 2049 pixels"), std::string::npos);

  const std::string sidePath = Write("side.png", HandMadePng(8193, 1, Deflated(QByteArray(8194, '\0'))));
  EXPECT_NE(ErrorOf([&] { LoadPngPicture(sidePath); }).find("Cannot read PNG file " + sidePath),
            std::string::npos);

  // The largest picture allowed still loads.
  const std::string largest =
      Write("largest.png", HandMadePng(4096, 4096, Deflated(QByteArray(qsizetype(4097) * 4096, '\0'))));
  const TPngPicture picture = LoadPngPicture(largest);
  EXPECT_EQ(picture.Bitmap.Width(), 4096);
  EXPECT_EQ(picture.Bitmap.Pixel(4095, 4095), Argb(255, 0, 0, 0));
}

// A chunk's length is what libpng would take for it before its data is read:
// a file of a few bytes claiming 2 GB must be refused without it. Chunks that
// make no difference to the pixels are skipped.
TEST_F(PictureFileTest, ChunksClaimingGigabytesAreRefusedAndUnusedChunksSkipped) {
  const QByteArray picture = HandMadePng(2, 1, Deflated(QByteArray("\x00\x10\xF0", 3)));
  const qsizetype afterHeader = 8 + 25;
  for (const char* type : {"sPLT", "iCCP", "zTXt", "tEXt", "iTXt", "eXIf", "raNd"}) {
    QByteArray claim = picture.left(afterHeader);
    PutBigEndian(claim, 0x7FFFFFFEu);
    claim += QByteArray(type) + QByteArray("pal\0\x08", 5);
    const std::string path = Write("claim.png", claim);
    EXPECT_EQ(ErrorOf([&] { LoadPngPicture(path); }).rfind("Cannot read PNG file " + path + ": ", 0), 0u)
        << type;

    QByteArray skipped = picture.left(afterHeader);
    AppendChunk(skipped, type, QByteArray(4000, 'x'));
    skipped += picture.mid(afterHeader);
    const TPngPicture loaded = LoadPngPicture(Write("skipped.png", skipped));
    EXPECT_EQ(loaded.Bitmap.Pixel(0, 0), Argb(255, 0x10, 0x10, 0x10)) << type;
    EXPECT_EQ(loaded.Bitmap.Pixel(1, 0), Argb(255, 0xF0, 0xF0, 0xF0)) << type;
  }
}

namespace {

// The offset of the frame header's height field (after FF C0, length, precision).
qsizetype FrameSizeAt(const QByteArray& jpeg) {
  const qsizetype sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
  EXPECT_GT(sof, 0);
  return sof + 5;
}

TBitmap Noise(int size) {
  TBitmap noise(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      noise.SetPixel(x, y, 0xFF000000u | std::uint32_t((x * 7919 + y * 104729) * 2654435761u >> 8));
  return noise;
}

}  // namespace

TEST_F(PictureFileTest, JpegHeaderClaimingAHugePictureIsRefused) {
  SaveJpeg(PathOf("small.jpg"), FlatBlocks(), 90);
  QByteArray claim = Read(PathOf("small.jpg"));
  const qsizetype at = FrameSizeAt(claim);
  claim.replace(at, 4, QByteArray("\x20\x00\x20\x00", 4));  // 8192 x 8192
  const std::string path = Write("claim.jpg", claim);
  EXPECT_EQ(
      ErrorOf([&] { LoadJpeg(path); }),
      "Cannot read JPEG file " + path +
          ": the picture claims 8192 x 8192 pixels, more than the 4096 x 4096 (and 8192 a side) that can "
          "be shown");
}

// libjpeg only warns about damaged data and fills the rest of the picture with
// grey; a file cut short that still ends in an end marker must not pass as whole.
TEST_F(PictureFileTest, JpegCutShortButEndingInItsEndMarkerIsRefused) {
  SaveJpeg(PathOf("noise.jpg"), Noise(128), 95);
  const QByteArray whole = Read(PathOf("noise.jpg"));
  ASSERT_NO_THROW(LoadJpeg(PathOf("noise.jpg")));
  ASSERT_TRUE(whole.endsWith(QByteArray("\xFF\xD9", 2)));
  const QByteArray cut = whole.left(whole.size() * 2 / 3) + QByteArray("\xFF\xD9", 2);
  const std::string path = Write("cut.jpg", cut);
  EXPECT_EQ(
      ErrorOf([&] { LoadJpeg(path); }).rfind("Cannot read JPEG file " + path + ": Corrupt JPEG data", 0), 0u);

  QByteArray flipped = whole;
  for (qsizetype i = whole.size() / 2; i < whole.size() / 2 + 16; ++i) flipped[i] = char(flipped[i] ^ 0x5A);
  const std::string flippedPath = Write("flipped.jpg", flipped);
  EXPECT_NE(ErrorOf([&] { LoadJpeg(flippedPath); }), "");
}
