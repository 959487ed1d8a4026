// Painting a part of a picture: a bitmap with an origin holds only that part,
// and every drawing operation gives it the very pixels the whole picture has
// there. And the box-filter stretch and the alpha blend against the formulas
// they implement.
#include <gtest/gtest.h>

#include <array>
#include <random>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace {

// Random words, alpha included, from a fixed seed.
TBitmap Noise(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  TBitmap bitmap(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) bitmap.SetPixel(x, y, random());
  return bitmap;
}

// A scene that uses every kind of drawing, in picture coordinates.
void DrawScene(TBitmap& target) {
  static const TBitmap picture = Noise(23, 17, 7);
  TBitmap premultiplied = Noise(9, 9, 3);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) premultiplied.SetPixel(x, y, premultiplied.Pixel(x, y) & 0x7F3F3F3Fu);
  TCanvas& c = target.Canvas();
  c.Brush = TBrush{0x00C08040, TBrushStyle::bsSolid};
  c.FillRect(Rect(3, 5, 90, 70));
  c.Pen = TPen{clRed, 1, TPenStyle::psDash, TPenMode::pmCopy};
  c.Rectangle(Rect(10, 12, 80, 60));
  c.Pen = TPen{clBlue, 3, TPenStyle::psSolid, TPenMode::pmCopy};
  c.MoveTo(2, 95);
  c.LineTo(97, 8);
  c.Pen = TPen{clBlack, 1, TPenStyle::psSolid, TPenMode::pmNot};
  c.Ellipse(Rect(20, 30, 75, 88));
  c.Polygon({{5, 40}, {50, 99}, {95, 45}, {60, 20}});
  c.Font.SetHeight(-14);
  c.Brush.Style = TBrushStyle::bsClear;
  c.TextOut(12, 41, "Text");
  c.Brush = TBrush{clSilver, TBrushStyle::bsSolid};
  c.TextRect(Rect(40, 70, 70, 84), 38, 68, "Clipped");
  c.Draw(61, 2, picture);
  c.StretchDraw(Rect(0, 75, 31, 99), picture);
  BitBlt(target, 70, 80, 23, 17, picture, 0, 0, TRop::SrcInvert);
  StretchBlt(target, Rect(33, 3, 58, 44), picture, Rect(2, 1, 21, 16), TStretchMode::Halftone);
  StretchBlt(target, Rect(80, 30, 99, 41), picture, Rect(0, 0, 23, 17), TStretchMode::Halftone);
  AlphaBlend(target, Rect(44, 50, 71, 62), premultiplied, Rect(0, 0, 9, 9));
  StretchNineSlice(target, Rect(5, 60, 40, 98), picture, 4, 3, 5, 6);
}

TEST(PartialPaintTest, EveryPartGetsThePixelsOfTheWholePicture) {
  TBitmap whole(100, 100);
  DrawScene(whole);
  for (const TRect part : {Rect(0, 0, 100, 100), Rect(0, 37, 100, 52), Rect(41, 0, 59, 100),
                           Rect(63, 71, 100, 100), Rect(7, 9, 8, 10)}) {
    TBitmap piece(part.Width(), part.Height());
    piece.SetOrigin(Point(part.Left, part.Top));
    DrawScene(piece);
    int wrong = 0;
    for (int y = 0; y < part.Height(); ++y)
      for (int x = 0; x < part.Width(); ++x)
        if (piece.Pixel(x, y) != whole.Pixel(part.Left + x, part.Top + y) && wrong++ < 3)
          ADD_FAILURE() << "part " << part.Left << "," << part.Top << " pixel " << part.Left + x << ","
                        << part.Top + y;
    EXPECT_EQ(wrong, 0);
  }
}

TEST(PartialPaintTest, AsASourceAPartIsReadInPictureCoordinates) {
  TBitmap part = Noise(10, 10, 11);
  part.SetOrigin(Point(200, 300));
  TBitmap target(4, 4);
  BitBlt(target, 0, 0, 4, 4, part, 203, 305);
  EXPECT_EQ(target.Pixel(0, 0), part.Pixel(3, 5));
  EXPECT_EQ(target.Pixel(3, 3), part.Pixel(6, 8));
  // Copies keep the origin, so a copy is the same part.
  EXPECT_EQ(TBitmap(part).Origin().Y, 300);
}

TEST(PartialPaintTest, OpaqueImageOfAPartCopiesOnlyThatPart) {
  TBitmap bitmap = Noise(30, 20, 5);
  const QImage part = bitmap.OpaqueImage(Rect(25, 15, 40, 40));
  ASSERT_EQ(part.size(), QSize(5, 5));
  EXPECT_EQ(part.format(), QImage::Format_RGB32);
  EXPECT_EQ(part.pixel(2, 3), bitmap.Pixel(27, 18) | 0xFF000000u);
  EXPECT_TRUE(bitmap.OpaqueImage(Rect(30, 0, 40, 5)).isNull());
}

// The box filter as it is defined: every source pixel weighed by its overlap
// with the destination pixel's span, the sum divided with halves to even.
std::uint32_t ReferenceHalftone(const TBitmap& src, const TRect& sr, const TRect& dr, int dx, int dy) {
  const long double x0 = sr.Left + (long double)(dx - dr.Left) * sr.Width() / dr.Width();
  const long double x1 = sr.Left + (long double)(dx + 1 - dr.Left) * sr.Width() / dr.Width();
  const long double y0 = sr.Top + (long double)(dy - dr.Top) * sr.Height() / dr.Height();
  const long double y1 = sr.Top + (long double)(dy + 1 - dr.Top) * sr.Height() / dr.Height();
  // Exact overlaps in units of 1/(dw*dh) of a source pixel.
  const std::int64_t dw = dr.Width(), dh = dr.Height();
  std::int64_t sums[4] = {}, total = 0;
  for (int y = std::max(0, int(y0) - 1); y <= std::min(src.Height() - 1, int(y1) + 1); ++y) {
    const std::int64_t ylo =
        std::max<std::int64_t>(std::int64_t(dy - dr.Top) * sr.Height(), (y - sr.Top) * dh);
    const std::int64_t yhi =
        std::min<std::int64_t>(std::int64_t(dy + 1 - dr.Top) * sr.Height(), (y + 1 - sr.Top) * dh);
    if (yhi <= ylo) continue;
    for (int x = std::max(0, int(x0) - 1); x <= std::min(src.Width() - 1, int(x1) + 1); ++x) {
      const std::int64_t xlo =
          std::max<std::int64_t>(std::int64_t(dx - dr.Left) * sr.Width(), (x - sr.Left) * dw);
      const std::int64_t xhi =
          std::min<std::int64_t>(std::int64_t(dx + 1 - dr.Left) * sr.Width(), (x + 1 - sr.Left) * dw);
      if (xhi <= xlo) continue;
      const std::int64_t weight = (xhi - xlo) * (yhi - ylo);
      for (int c = 0; c < 4; ++c) sums[c] += std::int64_t((src.Pixel(x, y) >> (8 * c)) & 0xFF) * weight;
      total += weight;
    }
  }
  if (total == 0) return 0xFFFFFFFFu;  // covers nothing of the source: the new bitmap's white stays
  std::uint32_t word = 0;
  for (int c = 0; c < 4; ++c) {
    std::int64_t q = sums[c] / total;
    const std::int64_t rest = sums[c] % total;
    if (2 * rest > total || (2 * rest == total && (q & 1))) ++q;
    word |= std::uint32_t(q) << (8 * c);
  }
  return word;
}

void ExpectHalftoneAsDefined(const TBitmap& src, const TRect& sr, const TRect& dr, int width, int height) {
  TBitmap dst(width, height);
  StretchBlt(dst, dr, src, sr, TStretchMode::Halftone);
  int wrong = 0;
  for (int y = std::max(0, dr.Top); y < std::min(height, dr.Bottom); ++y)
    for (int x = std::max(0, dr.Left); x < std::min(width, dr.Right); ++x)
      if (dst.Pixel(x, y) != ReferenceHalftone(src, sr, dr, x, y) && wrong++ < 3)
        ADD_FAILURE() << "pixel " << x << "," << y << " of " << sr.Width() << "x" << sr.Height() << " onto "
                      << dr.Width() << "x" << dr.Height();
  EXPECT_EQ(wrong, 0);
}

TEST(HalftoneTest, GrowingShrinkingAndMixedStretchesFollowTheFormula) {
  const TBitmap src = Noise(37, 29, 1);
  ExpectHalftoneAsDefined(src, Rect(0, 0, 37, 29), Rect(0, 0, 101, 77), 101, 77);  // growing
  ExpectHalftoneAsDefined(src, Rect(0, 0, 37, 29), Rect(0, 0, 11, 7), 11, 7);      // shrinking
  ExpectHalftoneAsDefined(src, Rect(3, 2, 30, 27), Rect(0, 0, 64, 9), 64, 9);      // one grows, one shrinks
  // A clipped destination keeps the unclipped mapping.
  ExpectHalftoneAsDefined(src, Rect(0, 0, 37, 29), Rect(-13, -5, 60, 50), 40, 30);
}

TEST(HalftoneTest, SourceRectanglesBeyondThePictureAndHugeWeights) {
  const TBitmap src = Noise(40, 40, 2);
  // Pixels outside the source are left out of the average.
  ExpectHalftoneAsDefined(src, Rect(-10, -4, 50, 45), Rect(0, 0, 17, 13), 17, 13);
  // 6000 x 6000 source pixels per destination: the weights exceed 32 bits.
  ExpectHalftoneAsDefined(src, Rect(-3000, -3000, 3000, 3000), Rect(0, 0, 3, 2), 3, 2);
}

// The blend as it is defined, pixel by pixel: the source pixel the nearest
// neighbour rule picks, scaled by the constant alpha, over the destination.
std::uint32_t ReferenceBlend(std::uint32_t d, std::uint32_t s, int constAlpha) {
  const auto channel = [](std::uint32_t word, int c) { return int((word >> (8 * c)) & 0xFF); };
  const int sa = channel(s, 3) * constAlpha / 255;
  std::uint32_t word = 0;
  for (int c = 0; c < 4; ++c) {
    const int sc = c == 3 ? sa : channel(s, c) * constAlpha / 255;
    word |= std::uint32_t(std::min(sc + channel(d, c) * (255 - sa) / 255, 255)) << (8 * c);
  }
  return word;
}

// Clear, opaque and translucent pixels mixed, premultiplied.
TBitmap Picture(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  TBitmap bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t alpha =
          std::array<std::uint32_t, 3>{0, 255, std::uint32_t(random() % 256)}[random() % 3];
      std::uint32_t word = alpha << 24;
      for (int c = 0; c < 3; ++c) word |= (random() % (alpha + 1)) << (8 * c);
      bitmap.SetPixel(x, y, word);
    }
  }
  return bitmap;
}

TEST(AlphaBlendTest, EveryPixelAsDefinedAtEveryScaleAndStrength) {
  const TBitmap src = Picture(31, 23, 5);
  const TBitmap background = Noise(70, 50, 6);
  struct TCase {
    TRect Dst, Src;
  };
  const TCase cases[] = {{Rect(5, 4, 36, 27), Rect(0, 0, 31, 23)},    // natural size
                         {Rect(-9, -3, 61, 47), Rect(2, 1, 29, 20)},  // growing, clipped on two sides
                         {Rect(40, 30, 50, 35), Rect(0, 0, 31, 23)},  // shrinking
                         {Rect(20, 10, 75, 60), Rect(3, 3, 13, 23)}};
  for (const int constAlpha : {255, 128, 0}) {
    for (const TCase& c : cases) {
      TBitmap dst = background;
      ASSERT_TRUE(AlphaBlend(dst, c.Dst, src, c.Src, constAlpha));
      int wrong = 0;
      for (int y = 0; y < dst.Height(); ++y) {
        for (int x = 0; x < dst.Width(); ++x) {
          std::uint32_t expected = background.Pixel(x, y);
          if (x >= c.Dst.Left && x < c.Dst.Right && y >= c.Dst.Top && y < c.Dst.Bottom) {
            const int sx = c.Src.Left + int(std::int64_t(x - c.Dst.Left) * c.Src.Width() / c.Dst.Width());
            const int sy = c.Src.Top + int(std::int64_t(y - c.Dst.Top) * c.Src.Height() / c.Dst.Height());
            expected = ReferenceBlend(expected, src.Pixel(sx, sy), constAlpha);
          }
          if (dst.Pixel(x, y) != expected && wrong++ < 3)
            ADD_FAILURE() << "pixel " << x << "," << y << " at constant alpha " << constAlpha;
        }
      }
      EXPECT_EQ(wrong, 0);
    }
  }
}

}  // namespace
