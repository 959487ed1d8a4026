// Canvas: GDI's pixel rules for rectangles, lines, pens and brushes, text
// placed by its cell, and opaque bitmap copies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Canvas.h"
#include "platform/Cp1251.h"

namespace {

constexpr std::uint32_t White = 0xFFFFFFFFu;
constexpr std::uint32_t Black = 0xFF000000u;
constexpr std::uint32_t RedWord = 0xFFFF0000u;  // B,G,R,A words: red in bits 16-23
constexpr TColor Navy = 0x800000;

// The pixels of a bitmap as rows of text: '#' where the pixel is word, '.' elsewhere.
std::vector<std::string> Picture(const TBitmap& bitmap, std::uint32_t word) {
  std::vector<std::string> rows;
  for (int y = 0; y < bitmap.Height(); ++y) {
    std::string row;
    for (int x = 0; x < bitmap.Width(); ++x) row += bitmap.Pixel(x, y) == word ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

std::vector<int> Columns(const TBitmap& bitmap, int y, std::uint32_t word) {
  std::vector<int> xs;
  for (int x = 0; x < bitmap.Width(); ++x) {
    if (bitmap.Pixel(x, y) == word) xs.push_back(x);
  }
  return xs;
}

// The rectangle around every pixel that differs from background; empty when none does.
TRect InkBounds(const TBitmap& bitmap, std::uint32_t background) {
  TRect r{bitmap.Width(), bitmap.Height(), 0, 0};
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) {
      if (bitmap.Pixel(x, y) == background) continue;
      r = Rect(std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1));
    }
  }
  return r.IsEmpty() ? TRect{} : r;
}

bool AllOpaque(const TBitmap& bitmap) {
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) {
      if ((bitmap.Pixel(x, y) >> 24) != 0xFF) return false;
    }
  }
  return true;
}

class CanvasTest : public ::testing::Test {
 protected:
  TBitmap bitmap{10, 10};
  TCanvas& canvas = bitmap.Canvas();
};

}  // namespace

TEST_F(CanvasTest, RectangleDrawsItsOutlineOnTheInnerEdge) {
  canvas.Brush.Color = clRed;
  canvas.Rectangle(0, 0, 5, 5);
  const std::vector<std::string> outline{"#####.....", "#...#.....", "#...#.....", "#...#.....",
                                         "#####....."};
  const std::vector<std::string> inside{".....", ".###.", ".###.", ".###.", "....."};
  const auto black = Picture(bitmap, Black);
  const auto red = Picture(bitmap, RedWord);
  for (int y = 0; y < 5; ++y) {
    EXPECT_EQ(black[y], outline[y]) << "row " << y;
    EXPECT_EQ(red[y].substr(0, 5), inside[y]) << "row " << y;
  }
  EXPECT_EQ(bitmap.Pixel(5, 5), White);
  EXPECT_EQ(Picture(bitmap, White)[5], "##########");
}

TEST_F(CanvasTest, RectangleCornersInAnyOrderAndAClearBrushKeepsTheInside) {
  canvas.Brush.Style = TBrushStyle::bsClear;
  canvas.Rectangle(6, 7, 2, 3);  // the same as (2, 3, 6, 7)
  EXPECT_EQ(Picture(bitmap, Black)[3], "..####....");
  EXPECT_EQ(Picture(bitmap, Black)[4], "..#..#....");
  EXPECT_EQ(Picture(bitmap, Black)[6], "..####....");
  EXPECT_EQ(bitmap.Pixel(3, 4), White);
}

TEST_F(CanvasTest, FillRectCoversExactlyLeftToRightMinusOne) {
  canvas.Brush.Color = clRed;
  canvas.FillRect(Rect(2, 3, 4, 6));
  const auto red = Picture(bitmap, RedWord);
  EXPECT_EQ(red[2], "..........");
  EXPECT_EQ(red[3], "..##......");
  EXPECT_EQ(red[5], "..##......");
  EXPECT_EQ(red[6], "..........");
  // Partly outside the bitmap is clipped; wholly outside or inverted draws nothing.
  canvas.FillRect(Rect(8, -5, 20, 1));
  EXPECT_EQ(Picture(bitmap, RedWord)[0], "........##");
  canvas.FillRect(Rect(5, 5, 3, 3));
  canvas.FillRect(Rect(-10, -10, -1, -1));
  EXPECT_EQ(Picture(bitmap, RedWord)[4], "..##......");
  // A colour drawn over a transparent pixel makes it opaque.
  bitmap.SetPixel(0, 9, 0x00123456);
  canvas.FillRect(Rect(0, 9, 1, 10));
  EXPECT_EQ(bitmap.Pixel(0, 9), RedWord);
}

TEST_F(CanvasTest, FrameRectUsesTheBrushNotThePen) {
  canvas.Pen.Color = clBlue;
  canvas.Brush.Color = clRed;
  canvas.FrameRect(Rect(1, 1, 5, 4));
  const auto red = Picture(bitmap, RedWord);
  EXPECT_EQ(red[0], "..........");
  EXPECT_EQ(red[1], ".####.....");
  EXPECT_EQ(red[2], ".#..#.....");
  EXPECT_EQ(red[3], ".####.....");
  EXPECT_EQ(red[4], "..........");
  EXPECT_EQ(Picture(bitmap, 0xFF0000FFu)[1], "..........");
}

TEST_F(CanvasTest, LineToLeavesOutTheEndPoint) {
  canvas.MoveTo(1, 0);
  canvas.LineTo(6, 0);  // horizontal
  EXPECT_EQ(Picture(bitmap, Black)[0], ".#####....");
  canvas.MoveTo(8, 6);
  canvas.LineTo(8, 2);  // vertical, upwards
  for (int y = 0; y < 10; ++y) EXPECT_EQ(bitmap.Pixel(8, y) == Black, y >= 3 && y <= 6) << y;
  canvas.MoveTo(0, 2);
  canvas.LineTo(4, 6);  // diagonal
  for (int i = 0; i < 4; ++i) EXPECT_EQ(bitmap.Pixel(i, 2 + i), Black) << i;
  EXPECT_EQ(bitmap.Pixel(4, 6), White);
  EXPECT_EQ(canvas.PenPos, Point(4, 6));
}

TEST_F(CanvasTest, ShallowLinesStepOneRowAtATime) {
  TBitmap wide(20, 5);
  wide.Canvas().MoveTo(0, 0);
  wide.Canvas().LineTo(10, 2);
  int count = 0;
  for (int x = 0; x < 10; ++x) {
    int inColumn = 0;
    for (int y = 0; y < 5; ++y) inColumn += wide.Pixel(x, y) == Black;
    EXPECT_EQ(inColumn, 1) << "column " << x;
    count += inColumn;
  }
  EXPECT_EQ(count, 10);
  EXPECT_EQ(Columns(wide, 2, Black).back(), 9);
}

TEST_F(CanvasTest, DashedPenIsEighteenOnSixOff) {
  TBitmap line(60, 1);
  line.Canvas().Pen.Style = TPenStyle::psDash;
  line.Canvas().MoveTo(0, 0);
  line.Canvas().LineTo(60, 0);
  std::string expected = std::string(18, '#') + std::string(6, '.');
  expected = expected + expected + std::string(12, '#');
  EXPECT_EQ(Picture(line, Black)[0], expected);
}

TEST_F(CanvasTest, WidePensAreSolidWithRoundCaps) {
  TBitmap wide(30, 21);
  TCanvas& c = wide.Canvas();
  c.Pen.Width = 5;
  c.Pen.Style = TPenStyle::psDash;  // GDI draws wide pens solid
  c.MoveTo(10, 10);
  c.LineTo(20, 10);
  for (int x = 10; x <= 20; ++x) EXPECT_EQ(wide.Pixel(x, 10), Black) << x;  // the end point too
  for (int y = 8; y <= 12; ++y) EXPECT_EQ(wide.Pixel(15, y), Black) << y;
  EXPECT_EQ(wide.Pixel(15, 7), White);
  EXPECT_EQ(wide.Pixel(15, 13), White);
  // The caps reach past the ends but leave the corners of a square cap out.
  EXPECT_EQ(wide.Pixel(8, 10), Black);
  EXPECT_EQ(wide.Pixel(22, 10), Black);
  EXPECT_EQ(wide.Pixel(8, 8), White);
  EXPECT_EQ(wide.Pixel(22, 12), White);
}

TEST_F(CanvasTest, ClearPenDrawsNoLineButMoves) {
  canvas.Pen.Style = TPenStyle::psClear;
  canvas.MoveTo(0, 0);
  canvas.LineTo(9, 9);
  EXPECT_TRUE(InkBounds(bitmap, White).IsEmpty());
  EXPECT_EQ(canvas.PenPos, Point(9, 9));
}

TEST_F(CanvasTest, NotModeInvertsAndTwiceRestores) {
  canvas.Brush.Color = clRed;
  canvas.FillRect(Rect(0, 0, 10, 5));
  canvas.Pen.Mode = TPenMode::pmNot;
  canvas.Pen.Color = clWhite;  // the colour plays no part
  canvas.MoveTo(3, 0);
  canvas.LineTo(3, 10);
  EXPECT_EQ(bitmap.Pixel(3, 2), 0xFF00FFFFu);  // inverted red
  EXPECT_EQ(bitmap.Pixel(3, 7), Black);        // inverted white
  canvas.MoveTo(3, 0);
  canvas.LineTo(3, 10);
  EXPECT_EQ(bitmap.Pixel(3, 2), RedWord);
  EXPECT_EQ(bitmap.Pixel(3, 7), White);
}

TEST_F(CanvasTest, NotModeRectangleInvertsFrameAndInsideOnce) {
  canvas.Pen.Mode = TPenMode::pmNot;
  canvas.Brush.Color = clRed;
  canvas.Rectangle(1, 1, 5, 5);
  EXPECT_EQ(InkBounds(bitmap, White), Rect(1, 1, 5, 5));
  EXPECT_EQ(Picture(bitmap, Black)[3], ".####.....");
  // Without a pen the inside is one pixel smaller to the right and below.
  canvas.Pen.Style = TPenStyle::psClear;
  canvas.Rectangle(1, 1, 5, 5);
  EXPECT_EQ(Picture(bitmap, Black)[1], "....#.....");
  EXPECT_EQ(Picture(bitmap, Black)[3], "....#.....");
  EXPECT_EQ(Picture(bitmap, Black)[4], ".####.....");
  EXPECT_EQ(InkBounds(bitmap, White), Rect(1, 1, 5, 5));
}

TEST_F(CanvasTest, PolygonFillsAndOutlinesThroughItsPoints) {
  canvas.Brush.Color = clRed;
  canvas.Polygon({{1, 1}, {6, 1}, {6, 6}, {1, 6}});
  // The outline passes through every point; the brush fills what lies inside.
  EXPECT_EQ(Picture(bitmap, Black)[1], ".######...");
  EXPECT_EQ(Picture(bitmap, Black)[3], ".#....#...");
  EXPECT_EQ(Picture(bitmap, Black)[6], ".######...");
  EXPECT_EQ(Picture(bitmap, RedWord)[3], "..####....");
  EXPECT_EQ(bitmap.Pixel(7, 7), White);
}

TEST_F(CanvasTest, PolylineLeavesOutItsLastPoint) {
  canvas.Polyline({{0, 0}, {4, 0}, {4, 4}});
  EXPECT_EQ(Picture(bitmap, Black)[0], "#####.....");
  EXPECT_EQ(bitmap.Pixel(4, 3), Black);
  EXPECT_EQ(bitmap.Pixel(4, 4), White);
  EXPECT_EQ(canvas.PenPos, Point(0, 0));
}

TEST_F(CanvasTest, EllipseStaysInsideItsRectangle) {
  TBitmap round(30, 30);
  TCanvas& c = round.Canvas();
  c.Brush.Color = clRed;
  c.Ellipse(Rect(5, 5, 25, 21));
  EXPECT_EQ(InkBounds(round, White), Rect(5, 5, 25, 21));
  EXPECT_EQ(round.Pixel(15, 13), RedWord);
  EXPECT_EQ(round.Pixel(5, 5), White);  // corners are outside the curve
  EXPECT_EQ(round.Pixel(24, 20), White);
  // The outline is closed: every row of the ellipse has ink at both ends.
  for (int y = 5; y < 21; ++y) {
    const auto xs = Columns(round, y, Black);
    ASSERT_FALSE(xs.empty()) << y;
    EXPECT_EQ(xs.front() - 5, 24 - xs.back()) << "symmetric in row " << y;
  }
}

TEST_F(CanvasTest, EllipseWithoutAPenIsOnePixelSmaller) {
  TBitmap round(30, 30);
  TCanvas& c = round.Canvas();
  c.Pen.Style = TPenStyle::psClear;
  c.Brush.Color = clRed;
  c.Ellipse(Rect(5, 5, 25, 21));
  EXPECT_EQ(InkBounds(round, White), Rect(5, 5, 24, 20));
  EXPECT_EQ(round.Pixel(14, 12), RedWord);
  EXPECT_EQ(round.Pixel(14, 5), RedWord);  // no outline: the brush reaches the edge
}

TEST_F(CanvasTest, TextSitsInItsCellFromTheTopLeft) {
  TBitmap page(200, 60);
  TCanvas& c = page.Canvas();
  c.Font.Name = "Times New Roman";
  c.Font.SetSize(-14);
  c.Brush.Style = TBrushStyle::bsClear;
  c.TextOut(20, 10, "Hello");
  const TRect ink = InkBounds(page, White);
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_GE(ink.Top, 10);
  EXPECT_LE(ink.Bottom, 10 + 19);
  EXPECT_LE(ink.Bottom, 10 + c.Font.Ascent() + 1);  // no descenders in "Hello"
  EXPECT_GE(ink.Top, 10 + 2);                       // the cell holds room above the capitals
  EXPECT_NEAR(ink.Left, 20, 2);
  EXPECT_LE(ink.Right, 20 + c.TextWidth("Hello") + 1);
  EXPECT_EQ(c.PenPos, Point(20 + c.TextWidth("Hello"), 10));
  EXPECT_TRUE(AllOpaque(page));
}

TEST_F(CanvasTest, OpaqueTextFillsTheCellWithTheBrush) {
  TBitmap page(120, 40);
  TCanvas& c = page.Canvas();
  c.Font.SetSize(-14);
  c.Font.Color = clWhite;
  c.Brush.Color = Navy;
  c.TextOut(10, 5, "Hi");
  const std::uint32_t navy = ColorToPixel(Navy);
  const int width = c.TextWidth("Hi");
  EXPECT_EQ(InkBounds(page, White), Bounds(10, 5, width, 19));
  EXPECT_EQ(page.Pixel(10, 5), navy);
  EXPECT_EQ(page.Pixel(10 + width - 1, 5 + 18), navy);
  int whiteInk = 0;
  for (int y = 5; y < 24; ++y) whiteInk += int(Columns(page, y, White).size()) - (120 - width);
  EXPECT_GT(whiteInk, 10);  // the white letters show on the navy cell
}

TEST_F(CanvasTest, ClearBrushTextKeepsTheBackground) {
  TBitmap page(120, 40);
  TCanvas& c = page.Canvas();
  c.Brush.Color = Navy;
  c.FillRect(Rect(0, 0, 120, 40));
  c.Brush.Style = TBrushStyle::bsClear;
  c.Font.SetSize(-14);
  c.Font.Color = clWhite;
  c.TextOut(10, 5, "Hi");
  const std::uint32_t navy = ColorToPixel(Navy);
  EXPECT_EQ(page.Pixel(10, 5), navy);
  EXPECT_EQ(page.Pixel(10, 23), navy);
  const TRect ink = InkBounds(page, navy);
  EXPECT_FALSE(ink.IsEmpty());
  EXPECT_GT(ink.Left, 9);
  EXPECT_LT(ink.Bottom, 24);
}

TEST_F(CanvasTest, CyrillicTextIsDrawnAndMeasuredAlike) {
  TBitmap page(200, 40);
  TCanvas& c = page.Canvas();
  c.Font.Name = "Tahoma";
  c.Font.SetSize(-14);
  c.Brush.Style = TBrushStyle::bsClear;
  const std::string privet = "Привет"_cp;
  const int width = c.TextWidth(privet);
  EXPECT_GT(width, c.TextWidth(""));
  EXPECT_EQ(width, TextWidth(c.Font, privet));
  c.TextOut(10, 10, privet);
  const TRect ink = InkBounds(page, White);
  ASSERT_FALSE(ink.IsEmpty());
  // Six letters fill nearly all of the measured width.
  EXPECT_GT(ink.Width(), width * 3 / 4);
  EXPECT_LE(ink.Right, 10 + width + 1);
  EXPECT_GE(ink.Left, 9);
  EXPECT_EQ(c.TextHeight(privet), 19);
}

TEST_F(CanvasTest, TextRectClipsAndFillsItsRectangle) {
  TBitmap page(100, 40);
  TCanvas& c = page.Canvas();
  c.Font.SetSize(-14);
  c.Brush.Style = TBrushStyle::bsClear;
  TBitmap whole(100, 40);
  whole.Canvas().Font = c.Font;
  whole.Canvas().Brush = c.Brush;
  whole.Canvas().TextOut(10, 10, "WWWWWWWW");
  const TRect clip = Rect(10, 5, 30, 40);
  c.TextRect(clip, 10, 10, "WWWWWWWW");
  ASSERT_GT(InkBounds(whole, White).Right, 40);
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 100; ++x) {
      const std::uint32_t expected = clip.Contains({x, y}) ? whole.Pixel(x, y) : White;
      ASSERT_EQ(page.Pixel(x, y), expected) << x << "," << y;
    }
  }
  c.Brush.Style = TBrushStyle::bsSolid;
  c.Brush.Color = clRed;
  c.TextRect(Rect(50, 0, 60, 10), 50, 20, "x");  // the text lies below the rectangle
  EXPECT_EQ(Picture(page, RedWord)[9].substr(48, 14), "..##########..");
  EXPECT_EQ(Picture(page, RedWord)[10].substr(48, 14), "..............");
}

TEST_F(CanvasTest, DrawCopiesABitmapOpaque) {
  TBitmap sprite(2, 2);
  sprite.SetPixel(0, 0, 0x00112233);  // alpha 0
  sprite.SetPixel(1, 1, 0x80445566);
  canvas.Draw(8, 8, sprite);
  EXPECT_EQ(bitmap.Pixel(8, 8), 0xFF112233u);
  EXPECT_EQ(bitmap.Pixel(9, 9), 0xFF445566u);
  EXPECT_EQ(bitmap.Pixel(7, 7), White);
  canvas.Draw(-1, -1, sprite);  // clipped at two edges
  EXPECT_EQ(bitmap.Pixel(0, 0), 0xFF445566u);
  EXPECT_EQ(bitmap.Pixel(1, 1), White);
}

TEST_F(CanvasTest, StretchDrawPicksTheNearestPixel) {
  TBitmap sprite(2, 1);
  sprite.SetPixel(0, 0, 0x00FF0000);
  sprite.SetPixel(1, 0, 0x000000FF);
  canvas.StretchDraw(Rect(0, 0, 4, 2), sprite);
  EXPECT_EQ(Picture(bitmap, RedWord)[0], "##........");
  EXPECT_EQ(Picture(bitmap, RedWord)[1], "##........");
  EXPECT_EQ(Picture(bitmap, 0xFF0000FFu)[1], "..##......");
  EXPECT_TRUE(AllOpaque(bitmap));
}
