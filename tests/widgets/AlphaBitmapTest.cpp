// Premultiplying, PNG loading and alpha masks, pixel for pixel.
#include <gtest/gtest.h>

#include "Fixtures.h"
#include "platform/StrUtils.h"
#include "widgets/AlphaBitmap.h"

TEST(PremultiplyPixel, ShiftsByEightNotDividesBy255) {
  EXPECT_EQ(PremultiplyPixel(0xFFFFFFFFu, 255, 255), 0xFFFEFEFEu);
  EXPECT_EQ(PremultiplyPixel(0xFF010101u, 255, 255), 0xFF000000u);
  EXPECT_EQ(PremultiplyPixel(0x80FFFFFFu, 128, 128), 0x807F7F7Fu);
  EXPECT_EQ(PremultiplyPixel(0x00FFFFFFu, 0, 0), 0u);
}

TEST(PremultiplyPixel, ScalesEachChannelAndReplacesAlpha) {
  // B=0x40, G=0x80, R=0xC0 by 64: 16, 32, 48; the input's own alpha is dropped.
  EXPECT_EQ(PremultiplyPixel(0x12C08040u, 64, 200), 0xC8302010u);
}

TEST(PremultiplyBitmap, UsesEachPixelsOwnAlpha) {
  TBitmap bitmap = FilledBitmap(3, 2, 0xFFFFFFFFu);
  bitmap.SetPixel(1, 0, 0x80FFFFFFu);
  bitmap.SetPixel(2, 1, 0x00ABCDEFu);
  PremultiplyBitmap(bitmap);
  EXPECT_EQ(bitmap.Pixel(0, 0), 0xFFFEFEFEu);
  EXPECT_EQ(bitmap.Pixel(1, 0), 0x807F7F7Fu);
  EXPECT_EQ(bitmap.Pixel(2, 1), 0u);
  EXPECT_EQ(bitmap.Pixel(2, 0), 0xFFFEFEFEu);
}

class LoadAlphaBitmapTest : public ::testing::Test {
 protected:
  TScratchDir dir;
};

TEST_F(LoadAlphaBitmapTest, AlphaPngIsLightenedTowardsWhiteThenPremultiplied) {
  const std::string file = dir.File("red.png");
  WriteTestPng(file, 6, 3, 1, {{255, 0, 0, 128}, {10, 20, 30, 255}, {200, 100, 50, 0}});
  auto bitmap = LoadAlphaBitmap(file, true);
  ASSERT_EQ(bitmap->Width(), 3);
  ASSERT_EQ(bitmap->Height(), 1);
  // Over white: R (255*128+255+255*127)>>8 = 255, G and B (255+255*127)>>8 = 127;
  // then by 128: 127 and 63.
  EXPECT_EQ(bitmap->Pixel(0, 0), 0x807F3F3Fu);
  // Opaque: its own colour, each channel one shift-step down.
  EXPECT_EQ(bitmap->Pixel(1, 0), 0xFF09131Du);
  EXPECT_EQ(bitmap->Pixel(2, 0), 0u);
}

TEST_F(LoadAlphaBitmapTest, WithoutPremultiplyKeepsStraightColourAndAlpha) {
  const std::string file = dir.File("red.png");
  WriteTestPng(file, 6, 1, 1, {{255, 0, 0, 128}});
  EXPECT_EQ(LoadAlphaBitmap(file, false)->Pixel(0, 0), 0x80FF7F7Fu);
}

TEST_F(LoadAlphaBitmapTest, GreyWithAlphaCarriesAlpha) {
  const std::string file = dir.File("grey.png");
  WriteTestPng(file, 4, 2, 1, {{100, 0, 0, 255}, {0, 0, 0, 0}});
  auto bitmap = LoadAlphaBitmap(file, true);
  EXPECT_EQ(bitmap->Pixel(0, 0), 0xFF636363u);
  EXPECT_EQ(bitmap->Pixel(1, 0), 0u);
}

TEST_F(LoadAlphaBitmapTest, TruecolourPngComesBackOpaqueAsDrawn) {
  const std::string file = dir.File("rgb.png");
  WriteTestPng(file, 2, 2, 2, {{200, 100, 50}, {0, 0, 0}, {255, 255, 255}, {1, 2, 3}});
  auto bitmap = LoadAlphaBitmap(file, true);
  EXPECT_EQ(bitmap->Pixel(0, 0), 0xFFC86432u);
  EXPECT_EQ(bitmap->Pixel(1, 0), 0xFF000000u);
  EXPECT_EQ(bitmap->Pixel(0, 1), 0xFFFFFFFFu);
  EXPECT_EQ(bitmap->Pixel(1, 1), 0xFF010203u);
}

TEST_F(LoadAlphaBitmapTest, PalettePngWithTransparencyComesBackOpaqueAsDrawn) {
  const std::string file = dir.File("palette.png");
  WriteTestPng(file, 3, 2, 1, {{10, 20, 30, 255}, {200, 100, 50, 0}});
  auto bitmap = LoadAlphaBitmap(file, true);
  EXPECT_EQ(bitmap->Pixel(0, 0), 0xFF0A141Eu);
  // The transparent entry is drawn over white and no alpha is stored.
  EXPECT_EQ(bitmap->Pixel(1, 0), 0xFFFFFFFFu);
}

TEST_F(LoadAlphaBitmapTest, MissingOrBrokenFileThrows) {
  EXPECT_THROW(LoadAlphaBitmap(dir.File("none.png"), true), Exception);
  const std::string broken = dir.File("broken.png");
  TBitmap(2, 2).SaveToFile(broken);  // a bitmap file under a PNG name
  EXPECT_THROW(LoadAlphaBitmap(broken, true), Exception);
}

TEST(SaveAlphaMask, WritesAlphaAsGrey) {
  TScratchDir dir;
  TBitmap source = FilledBitmap(3, 1, 0xFF123456u);
  source.SetPixel(1, 0, 0x00123456u);
  source.SetPixel(2, 0, 0x40FFFFFFu);
  const std::string file = dir.File("mask.bmp");
  SaveAlphaMask(source, file);
  TBitmap mask;
  mask.LoadFromFile(file);
  ASSERT_EQ(mask.Width(), 3);
  EXPECT_EQ(mask.Pixel(0, 0) & 0xFFFFFFu, 0xFFFFFFu);
  EXPECT_EQ(mask.Pixel(1, 0) & 0xFFFFFFu, 0u);
  EXPECT_EQ(mask.Pixel(2, 0) & 0xFFFFFFu, 0x404040u);
  EXPECT_EQ(mask.Pixel(0, 0) >> 24, 0u);  // a plain grey picture, its own alpha byte empty
}

TEST(SaveAlphaMask, UnwritableFileThrows) {
  TScratchDir dir;
  EXPECT_THROW(SaveAlphaMask(TBitmap(1, 1), dir.File("no/such/folder/mask.bmp")), Exception);
}
