// Bitmaps in the 1-, 8- and 24-bit formats that page plug-ins write: row
// layout, palettes, conversions between formats, and the 32-bit-only API.
#include <gtest/gtest.h>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/StrUtils.h"

namespace {

const std::vector<std::uint32_t> kWhiteBlack{0xFFFFFF, 0x000000};

TEST(BitmapFormatTest, MonoRowsHoldOneBitPerPixelFromTheTopBit) {
  TBitmap bitmap(10, 2);
  bitmap.SetPixelFormat(TPixelFormat::pf1bit);  // default palette: black, white
  ASSERT_EQ(bitmap.PixelFormat(), TPixelFormat::pf1bit);
  EXPECT_EQ(bitmap.Palette(), (std::vector<std::uint32_t>{0xFF000000u, 0xFFFFFFFFu}));
  EXPECT_EQ(bitmap.BytesPerLine(), 4);  // rows start on 4-byte boundaries
  // White became index 1 everywhere: 8 + 2 bits set.
  EXPECT_EQ(bitmap.RawScanLine(1)[0], 0xFF);
  EXPECT_EQ(bitmap.RawScanLine(1)[1], 0xC0);

  bitmap.SetPixelFormat(TPixelFormat::pf1bit, kWhiteBlack);
  EXPECT_EQ(bitmap.RawScanLine(0)[0], 0x00);  // white is index 0 now
  bitmap.RawScanLine(0)[1] = 0x40;            // pixel 9
  EXPECT_EQ(bitmap.Pixel(9, 0), 0xFF000000u);
  EXPECT_EQ(bitmap.Pixel(8, 0), 0xFFFFFFFFu);
}

TEST(BitmapFormatTest, IndexedFormatsTakeTheNearestPaletteEntry) {
  TBitmap bitmap(3, 1);
  bitmap.SetPixel(0, 0, 0xFF404040u);
  bitmap.SetPixel(1, 0, 0xFF0A141Eu);  // R 10, G 20, B 30: nearest grey is 20
  bitmap.SetPixel(2, 0, 0x00FFFFFFu);  // the alpha byte plays no part
  bitmap.SetPixelFormat(TPixelFormat::pf8bit);
  const std::uint8_t* row = bitmap.RawScanLine(0);
  EXPECT_EQ(row[0], 0x40);
  EXPECT_EQ(row[1], 20);
  EXPECT_EQ(row[2], 255);
  EXPECT_EQ(bitmap.Pixel(1, 0), 0xFF141414u);
}

TEST(BitmapFormatTest, IndexBeyondThePaletteReadsBlack) {
  TBitmap bitmap(2, 1);
  bitmap.SetPixelFormat(TPixelFormat::pf8bit, kWhiteBlack);
  bitmap.RawScanLine(0)[1] = 7;
  EXPECT_EQ(bitmap.Pixel(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(bitmap.Pixel(1, 0), 0xFF000000u);
  bitmap.SetPixelFormat(TPixelFormat::pf32bit);
  EXPECT_EQ(bitmap.Pixel(1, 0), 0xFF000000u);
}

TEST(BitmapFormatTest, TrueColourRoundTripKeepsColoursAndMakesThemOpaque) {
  TBitmap bitmap(2, 2);
  bitmap.SetPixel(1, 1, 0x12345678u);
  bitmap.SetPixelFormat(TPixelFormat::pf24bit);
  EXPECT_EQ(bitmap.BytesPerLine(), 8);  // 6 bytes padded to 8
  const std::uint8_t* row = bitmap.RawScanLine(1);
  EXPECT_EQ(row[3], 0x78);  // blue, green, red
  EXPECT_EQ(row[4], 0x56);
  EXPECT_EQ(row[5], 0x34);
  bitmap.SetPixelFormat(TPixelFormat::pf32bit);
  EXPECT_EQ(bitmap.Pixel(1, 1), 0xFF345678u);
  EXPECT_EQ(bitmap.Pixel(0, 0), 0xFFFFFFFFu);
}

TEST(BitmapFormatTest, ThirtyTwoBitAccessAndDrawingRefuseOtherFormats) {
  TBitmap bitmap(4, 4);
  bitmap.SetPixelFormat(TPixelFormat::pf24bit);
  EXPECT_THROW(bitmap.ScanLine(0), Exception);
  EXPECT_THROW(bitmap.SetPixel(0, 0, 0), Exception);
  EXPECT_THROW(bitmap.Canvas().FillRect(Rect(0, 0, 2, 2)), Exception);
  EXPECT_THROW(bitmap.RawScanLine(4), Exception);
  EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf24bit);
}

TEST(BitmapFormatTest, PaletteMustFitTheFormat) {
  TBitmap bitmap(1, 1);
  EXPECT_THROW(bitmap.SetPixelFormat(TPixelFormat::pf1bit, {1, 2, 3}), Exception);
  EXPECT_THROW(bitmap.SetPixelFormat(TPixelFormat::pf8bit, std::vector<std::uint32_t>(257)), Exception);
  EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf32bit);
}

TEST(BitmapFormatTest, ResizeCopyAndDrawKeepIndexedPixels) {
  TBitmap bitmap(9, 1);
  bitmap.SetPixelFormat(TPixelFormat::pf1bit, kWhiteBlack);
  bitmap.RawScanLine(0)[1] = 0x80;  // pixel 8 black
  bitmap.SetSize(10, 2);
  EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf1bit);
  EXPECT_EQ(bitmap.Palette()[0], 0xFFFFFFFFu);
  EXPECT_EQ(bitmap.Pixel(8, 0), 0xFF000000u);
  EXPECT_EQ(bitmap.Pixel(9, 1), 0xFFFFFFFFu);  // new pixels are white

  const TBitmap copy(bitmap);
  EXPECT_EQ(copy.Pixel(8, 0), 0xFF000000u);
  EXPECT_EQ(copy.OpaqueImage().pixel(8, 0), 0xFF000000u);
  EXPECT_EQ(copy.OpaqueImage().pixel(7, 0), 0xFFFFFFFFu);

  TBitmap target(12, 2);
  TBitmap shown(copy);
  shown.SetPixelFormat(TPixelFormat::pf32bit);
  target.Canvas().Draw(2, 0, shown);
  EXPECT_EQ(target.Pixel(10, 0), 0xFF000000u);
  EXPECT_EQ(target.Pixel(9, 0), 0xFFFFFFFFu);
}

}  // namespace
