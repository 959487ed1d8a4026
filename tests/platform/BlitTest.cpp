// Blits: GDI clipping, raster operations, nearest and box-filter stretching,
// premultiplied alpha blending and nine-slice drawing, checked pixel by pixel.
#include <gtest/gtest.h>

#include <climits>

#include "platform/Bitmap.h"
#include "platform/StrUtils.h"

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

// Every pixel different: blue = x, green = y, red = 0x80, alpha = 0xF0.
TBitmap Pattern(int width, int height) {
  TBitmap bitmap(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) bitmap.SetPixel(x, y, 0xF0800000u | (y << 8) | x);
  return bitmap;
}

std::uint32_t Argb(int a, int r, int g, int b) {
  return (std::uint32_t(a) << 24) | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | std::uint32_t(b);
}

// Every pixel outside touched is still white.
void ExpectOnlyTouched(const TBitmap& bitmap, const TRect& touched) {
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      if (!touched.Contains(Point(x, y))) {
        EXPECT_EQ(bitmap.Pixel(x, y), kWhite) << x << "," << y;
      }
}

}  // namespace

TEST(BitBltTest, ClipsAtTheTopLeftByShiftingTheSource) {
  TBitmap dst(4, 4);
  const TBitmap src = Pattern(4, 4);
  BitBlt(dst, -1, -2, 3, 3, src, 0, 0);
  // Destination (0,0) receives source (1,2); only a 2 x 1 block remains visible.
  EXPECT_EQ(dst.Pixel(0, 0), src.Pixel(1, 2));
  EXPECT_EQ(dst.Pixel(1, 0), src.Pixel(2, 2));
  ExpectOnlyTouched(dst, Rect(0, 0, 2, 1));
}

TEST(BitBltTest, ClipsAtTheBottomRight) {
  TBitmap dst(4, 4);
  const TBitmap src = Pattern(4, 4);
  BitBlt(dst, 3, 2, 3, 3, src, 1, 1);
  EXPECT_EQ(dst.Pixel(3, 2), src.Pixel(1, 1));
  EXPECT_EQ(dst.Pixel(3, 3), src.Pixel(1, 2));
  ExpectOnlyTouched(dst, Rect(3, 2, 4, 4));
}

TEST(BitBltTest, NegativeSourceOffsetShiftsTheDestination) {
  TBitmap dst(5, 5);
  const TBitmap src = Pattern(3, 3);
  BitBlt(dst, 0, 0, 4, 4, src, -1, -2);
  // The first column and two rows would come from outside the source: not drawn.
  EXPECT_EQ(dst.Pixel(1, 2), src.Pixel(0, 0));
  EXPECT_EQ(dst.Pixel(3, 3), src.Pixel(2, 1));
  ExpectOnlyTouched(dst, Rect(1, 2, 4, 4));
}

TEST(BitBltTest, PartsBeyondTheSourceAreNotDrawn) {
  TBitmap dst(6, 6);
  const TBitmap src = Pattern(4, 4);
  BitBlt(dst, 0, 0, 6, 6, src, 2, 3);
  EXPECT_EQ(dst.Pixel(1, 0), src.Pixel(3, 3));
  ExpectOnlyTouched(dst, Rect(0, 0, 2, 1));
}

TEST(BitBltTest, EmptySourceOrSizeDrawsNothing) {
  TBitmap dst(3, 3);
  BitBlt(dst, 0, 0, 3, 3, TBitmap(), 0, 0);
  BitBlt(dst, 0, 0, 0, 3, Pattern(3, 3), 0, 0);
  BitBlt(dst, 0, 0, -2, -2, Pattern(3, 3), 0, 0);
  ExpectOnlyTouched(dst, TRect{});
}

TEST(BitBltTest, RasterOperationsWorkOnTheWholeWord) {
  const std::uint32_t d = 0xF0F0F0F0u;
  const std::uint32_t s = 0x3C3C3C3Cu;
  const struct {
    TRop Rop;
    std::uint32_t Expected;
  } cases[] = {{TRop::SrcCopy, s},
               {TRop::SrcAnd, 0x30303030u},
               {TRop::SrcPaint, 0xFCFCFCFCu},
               {TRop::SrcInvert, 0xCCCCCCCCu},
               {TRop::NotSrcCopy, 0xC3C3C3C3u}};
  for (const auto& c : cases) {
    TBitmap dst(1, 1);
    TBitmap src(1, 1);
    dst.SetPixel(0, 0, d);
    src.SetPixel(0, 0, s);
    BitBlt(dst, 0, 0, 1, 1, src, 0, 0, c.Rop);
    EXPECT_EQ(dst.Pixel(0, 0), c.Expected) << int(c.Rop);
  }
}

TEST(BitBltTest, OverlappingCopyWithinOneBitmapDoesNotSmear) {
  TBitmap bitmap = Pattern(4, 1);
  const TBitmap before = bitmap;
  BitBlt(bitmap, 1, 0, 3, 1, bitmap, 0, 0);
  EXPECT_EQ(bitmap.Pixel(0, 0), before.Pixel(0, 0));
  for (int x = 1; x < 4; ++x) EXPECT_EQ(bitmap.Pixel(x, 0), before.Pixel(x - 1, 0));
}

TEST(StretchBltTest, NearestDoublesEachPixel) {
  const TBitmap src = Pattern(2, 2);
  TBitmap dst(4, 4);
  StretchBlt(dst, Rect(0, 0, 4, 4), src, Rect(0, 0, 2, 2));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.Pixel(x, y), src.Pixel(x / 2, y / 2)) << x << "," << y;
}

TEST(StretchBltTest, NearestShrinkPicksTheLeftOfEachSpan) {
  const TBitmap src = Pattern(5, 1);
  TBitmap dst(2, 1);
  // Source x = (i * 5) / 2: 0 and 2.
  StretchBlt(dst, Rect(0, 0, 2, 1), src, Rect(0, 0, 5, 1));
  EXPECT_EQ(dst.Pixel(0, 0), src.Pixel(0, 0));
  EXPECT_EQ(dst.Pixel(1, 0), src.Pixel(2, 0));
}

TEST(StretchBltTest, ClippedDestinationKeepsTheUnclippedMapping) {
  const TBitmap src = Pattern(2, 2);
  TBitmap dst(3, 3);
  StretchBlt(dst, Rect(-2, -2, 2, 2), src, Rect(0, 0, 2, 2));
  EXPECT_EQ(dst.Pixel(0, 0), src.Pixel(1, 1));
  EXPECT_EQ(dst.Pixel(1, 1), src.Pixel(1, 1));
  ExpectOnlyTouched(dst, Rect(0, 0, 2, 2));
}

TEST(StretchBltTest, MirroredOrEmptyRectanglesDrawNothing) {
  const TBitmap src = Pattern(2, 2);
  TBitmap dst(3, 3);
  for (auto mode : {TStretchMode::ColorOnColor, TStretchMode::Halftone}) {
    StretchBlt(dst, Rect(2, 0, 0, 2), src, Rect(0, 0, 2, 2), mode);
    StretchBlt(dst, Rect(0, 0, 2, 2), src, Rect(0, 2, 2, 0), mode);
    StretchBlt(dst, Rect(0, 0, 2, 2), TBitmap(), Rect(0, 0, 2, 2), mode);
  }
  ExpectOnlyTouched(dst, TRect{});
}

TEST(StretchBltTest, HalftoneAtEqualSizeCopiesExactly) {
  const TBitmap src = Pattern(7, 5);
  TBitmap dst(9, 7);
  StretchBlt(dst, Rect(1, 1, 8, 6), src, Rect(0, 0, 7, 5), TStretchMode::Halftone);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) ASSERT_EQ(dst.Pixel(x + 1, y + 1), src.Pixel(x, y)) << x << "," << y;
  ExpectOnlyTouched(dst, Rect(1, 1, 8, 6));
}

TEST(StretchBltTest, HalftoneAveragesTwoByTwoIntoOne) {
  TBitmap src(2, 2);
  src.SetPixel(0, 0, Argb(255, 10, 0, 100));
  src.SetPixel(1, 0, Argb(255, 20, 0, 100));
  src.SetPixel(0, 1, Argb(0, 30, 255, 100));
  src.SetPixel(1, 1, Argb(0, 41, 255, 101));
  TBitmap dst(1, 1);
  StretchBlt(dst, Rect(0, 0, 1, 1), src, Rect(0, 0, 2, 2), TStretchMode::Halftone);
  // alpha 510/4 = 127.5 -> 128 (even); red 101/4 = 25.25 -> 25;
  // green 510/4 = 127.5 -> 128; blue 401/4 = 100.25 -> 100.
  EXPECT_EQ(dst.Pixel(0, 0), Argb(128, 25, 128, 100));
}

TEST(StretchBltTest, HalftoneRoundsHalvesToEven) {
  TBitmap src(2, 1);
  src.SetPixel(0, 0, Argb(1, 2, 4, 6));
  src.SetPixel(1, 0, Argb(2, 3, 5, 7));
  TBitmap dst(1, 1);
  StretchBlt(dst, Rect(0, 0, 1, 1), src, Rect(0, 0, 2, 1), TStretchMode::Halftone);
  // 1.5 -> 2, 2.5 -> 2, 4.5 -> 4, 6.5 -> 6.
  EXPECT_EQ(dst.Pixel(0, 0), Argb(2, 2, 4, 6));
}

TEST(StretchBltTest, HalftoneWeighsPartlyCoveredPixels) {
  TBitmap src(3, 1);
  src.SetPixel(0, 0, Argb(255, 0, 0, 0));
  src.SetPixel(1, 0, Argb(255, 90, 0, 0));
  src.SetPixel(2, 0, Argb(255, 180, 0, 0));
  TBitmap dst(2, 1);
  StretchBlt(dst, Rect(0, 0, 2, 1), src, Rect(0, 0, 3, 1), TStretchMode::Halftone);
  // Each destination pixel covers 1.5 source pixels: (0*1 + 90*0.5)/1.5 = 30
  // and (90*0.5 + 180*1)/1.5 = 150.
  EXPECT_EQ(dst.Pixel(0, 0), Argb(255, 30, 0, 0));
  EXPECT_EQ(dst.Pixel(1, 0), Argb(255, 150, 0, 0));
}

TEST(StretchBltTest, HalftoneOfOnePixelFillsTheWholeRectangle) {
  TBitmap src(1, 1);
  src.SetPixel(0, 0, Argb(77, 1, 2, 3));
  TBitmap dst(5, 3);
  StretchBlt(dst, Rect(0, 0, 5, 3), src, Rect(0, 0, 1, 1), TStretchMode::Halftone);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(dst.Pixel(x, y), Argb(77, 1, 2, 3));
}

TEST(StretchBltTest, HalftoneGrowingBlendsNeighbours) {
  TBitmap src(2, 1);
  src.SetPixel(0, 0, Argb(255, 0, 0, 0));
  src.SetPixel(1, 0, Argb(255, 200, 0, 0));
  TBitmap dst(3, 1);
  StretchBlt(dst, Rect(0, 0, 3, 1), src, Rect(0, 0, 2, 1), TStretchMode::Halftone);
  // The middle pixel covers half of each source pixel: 100; the ends one each.
  EXPECT_EQ(dst.Pixel(0, 0), Argb(255, 0, 0, 0));
  EXPECT_EQ(dst.Pixel(1, 0), Argb(255, 100, 0, 0));
  EXPECT_EQ(dst.Pixel(2, 0), Argb(255, 200, 0, 0));
}

TEST(AlphaBlendTest, PremultipliedPixelOverWhiteAtFullConstantAlpha) {
  // Red at half coverage, premultiplied: 255 * 128 / 255 = 128.
  TBitmap src(1, 1);
  src.SetPixel(0, 0, Argb(128, 128, 0, 0));
  TBitmap dst(1, 1);
  ASSERT_TRUE(AlphaBlend(dst, Rect(0, 0, 1, 1), src, Rect(0, 0, 1, 1), 255));
  // s = src * 255 / 255 = src; each channel: s + 255 * (255 - 128) / 255 = s + 127.
  EXPECT_EQ(dst.Pixel(0, 0), Argb(128 + 127, 128 + 127, 0 + 127, 0 + 127));
}

TEST(AlphaBlendTest, ConstantAlphaScalesTheSourceFirst) {
  TBitmap src(1, 1);
  src.SetPixel(0, 0, Argb(128, 128, 0, 0));
  TBitmap dst(1, 1);
  dst.SetPixel(0, 0, Argb(255, 32, 64, 96));
  ASSERT_TRUE(AlphaBlend(dst, Rect(0, 0, 1, 1), src, Rect(0, 0, 1, 1), 128));
  // s = 128 * 128 / 255 = 64 (alpha and red), 0 for green and blue; 255 - 64 = 191.
  // alpha: 64 + 255 * 191 / 255 = 255;  red: 64 + 32 * 191 / 255 = 64 + 23 = 87;
  // green: 64 * 191 / 255 = 47;  blue: 96 * 191 / 255 = 71 (all divisions truncate).
  EXPECT_EQ(dst.Pixel(0, 0), Argb(255, 87, 47, 71));
}

TEST(AlphaBlendTest, TransparentSourceLeavesTheDestination) {
  TBitmap src(2, 2);
  src.Image().fill(0u);
  TBitmap dst = Pattern(2, 2);
  const TBitmap before = dst;
  ASSERT_TRUE(AlphaBlend(dst, Rect(0, 0, 2, 2), src, Rect(0, 0, 2, 2)));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(dst.Pixel(x, y), before.Pixel(x, y));
}

TEST(AlphaBlendTest, SourceRectangleOutsideTheSourceFailsAndDrawsNothing) {
  const TBitmap src = Pattern(3, 3);
  TBitmap dst(3, 3);
  EXPECT_FALSE(AlphaBlend(dst, Rect(0, 0, 3, 3), src, Rect(1, 1, 4, 3)));
  EXPECT_FALSE(AlphaBlend(dst, Rect(0, 0, 3, 3), src, Rect(-1, 0, 2, 3)));
  EXPECT_FALSE(AlphaBlend(dst, Rect(0, 0, 3, 3), src, Rect(2, 0, 1, 3)));
  EXPECT_FALSE(AlphaBlend(dst, Rect(0, 0, 3, 3), TBitmap(), Rect(0, 0, 1, 1)));
  ExpectOnlyTouched(dst, TRect{});
}

TEST(AlphaBlendTest, StretchesByNearestNeighbourAndClipsTheDestination) {
  TBitmap src(2, 1);
  src.SetPixel(0, 0, Argb(255, 10, 0, 0));
  src.SetPixel(1, 0, Argb(255, 20, 0, 0));
  TBitmap dst(3, 2);
  ASSERT_TRUE(AlphaBlend(dst, Rect(-1, 0, 3, 2), src, Rect(0, 0, 2, 1)));
  // Destination columns -1..2 take source x = (i * 2) / 4: 0, 0, 1, 1.
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(dst.Pixel(0, y), Argb(255, 10, 0, 0));
    EXPECT_EQ(dst.Pixel(1, y), Argb(255, 20, 0, 0));
    EXPECT_EQ(dst.Pixel(2, y), Argb(255, 20, 0, 0));
  }
}

TEST(NineSliceTest, CornersAreCopiedPixelForPixel) {
  const TBitmap src = Pattern(7, 6);
  TBitmap dst(14, 12);
  const TRect area = Rect(1, 2, 13, 11);
  StretchNineSlice(dst, area, src, 2, 1, 3, 2);
  for (int y = 0; y < 1; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(dst.Pixel(1 + x, 2 + y), src.Pixel(x, y));
  for (int y = 0; y < 1; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(dst.Pixel(10 + x, 2 + y), src.Pixel(4 + x, y));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(dst.Pixel(1 + x, 9 + y), src.Pixel(x, 4 + y));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(dst.Pixel(10 + x, 9 + y), src.Pixel(4 + x, 4 + y));
  ExpectOnlyTouched(dst, area);
}

TEST(NineSliceTest, EdgesAndCentreStretchTheirOwnCells) {
  // Each of the nine cells of the source has its own flat colour.
  TBitmap src(5, 5);
  const int bounds[] = {0, 1, 4, 5};
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col)
      for (int y = bounds[row]; y < bounds[row + 1]; ++y)
        for (int x = bounds[col]; x < bounds[col + 1]; ++x) src.SetPixel(x, y, Argb(255, row, col, 9));
  TBitmap dst(12, 10);
  StretchNineSlice(dst, Rect(0, 0, 12, 10), src, 1, 1, 1, 1);
  const int xs[] = {0, 1, 11, 12};
  const int ys[] = {0, 1, 9, 10};
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col)
      for (int y = ys[row]; y < ys[row + 1]; ++y)
        for (int x = xs[col]; x < xs[col + 1]; ++x)
          ASSERT_EQ(dst.Pixel(x, y), Argb(255, row, col, 9)) << x << "," << y;
}

TEST(NineSliceTest, ZeroMarginsStretchTheWholePicture) {
  TBitmap src(2, 1);
  src.SetPixel(0, 0, Argb(255, 0, 0, 0));
  src.SetPixel(1, 0, Argb(255, 200, 0, 0));
  TBitmap dst(3, 1);
  StretchNineSlice(dst, Rect(0, 0, 3, 1), src, 0, 0, 0, 0);
  EXPECT_EQ(dst.Pixel(1, 0), Argb(255, 100, 0, 0));
}

TEST(NineSliceTest, DestinationSmallerThanTheMarginsCropsTheCorners) {
  const TBitmap src = Pattern(8, 8);
  TBitmap dst(4, 4);
  StretchNineSlice(dst, Rect(0, 0, 4, 4), src, 3, 3, 3, 3);
  // Left/top cells keep 3 pixels, right/bottom cells the remaining 1, each
  // taken from its source cell's top-left (x = 8 - 3 = 5).
  EXPECT_EQ(dst.Pixel(2, 2), src.Pixel(2, 2));
  EXPECT_EQ(dst.Pixel(3, 0), src.Pixel(5, 0));
  EXPECT_EQ(dst.Pixel(0, 3), src.Pixel(0, 5));
  EXPECT_EQ(dst.Pixel(3, 3), src.Pixel(5, 5));
}

TEST(NineSliceTest, MarginsThatDoNotFitThrow) {
  const TBitmap src = Pattern(4, 4);
  TBitmap dst(8, 8);
  EXPECT_THROW(StretchNineSlice(dst, Rect(0, 0, 8, 8), src, 3, 0, 2, 0), Exception);
  EXPECT_THROW(StretchNineSlice(dst, Rect(0, 0, 8, 8), src, 0, -1, 0, 0), Exception);
  // Sums that would overflow int are refused all the same.
  EXPECT_THROW(StretchNineSlice(dst, Rect(0, 0, 8, 8), src, INT_MAX, 0, INT_MAX, 0), Exception);
  EXPECT_THROW(StretchNineSlice(dst, Rect(0, 0, 8, 8), src, 2, 0, INT_MAX, 0), Exception);
  EXPECT_THROW(StretchNineSlice(dst, Rect(0, 0, 8, 8), src, 0, INT_MAX - 1, 0, 2), Exception);
}
