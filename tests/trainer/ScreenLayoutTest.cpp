// The screen-size table and the background composition steps both screens share.
#include <gtest/gtest.h>

#include "TrainerFixtures.h"
#include "platform/ImageFiles.h"
#include "platform/StrUtils.h"
#include "trainer/ScreenLayout.h"

TEST(ScreenLayout, TheLastRowWhoseMinimumTheScreenReachesWins) {
  struct TCase {
    int Width, Height, Row;
  };
  const TCase cases[] = {{1024, 768, 0},  {1280, 800, 2},  {1280, 960, 2}, {1280, 1024, 1}, {1366, 768, 0},
                         {1400, 1050, 3}, {1440, 900, 4},  {1600, 900, 4}, {1680, 1050, 4}, {1920, 1200, 4},
                         {800, 600, 0},   {1279, 1024, 0}, {1400, 1049, 1}};
  for (const TCase& c : cases)
    EXPECT_EQ(ChooseScreenLayout(c.Width, c.Height).Index, c.Row) << c.Width << " x " << c.Height;
}

TEST(ScreenLayout, RowsKeepTheirRectangleAndBackground) {
  const TScreenLayout wide = ChooseScreenLayout(1440, 900);
  EXPECT_EQ(wide.WorkRect, Rect(197, 102, 1217, 862));
  EXPECT_EQ(wide.BackgroundFile, "BG_fit_1440.jpg");
  const TScreenLayout small = ChooseScreenLayout(1024, 768);
  EXPECT_EQ(small.WorkRect, Rect(48, 52, 970, 742));
  EXPECT_EQ(small.BackgroundFile, "BG_1024)full.jpg");
  EXPECT_EQ(ChooseScreenLayout(1280, 1024).WorkRect, Rect(108, 180, 1170, 968));
  EXPECT_EQ(ChooseScreenLayout(1400, 1050).WorkRect, Rect(177, 196, 1198, 959));
  EXPECT_EQ(ChooseScreenLayout(1280, 800).WorkRect, Rect(147, 67, 1083, 769));
  for (int row = 0; row < 5; ++row) EXPECT_EQ(ScreenLayoutRow(row).Index, row);
  EXPECT_THROW(ScreenLayoutRow(5), Exception);
}

TEST(ScreenLayout, CurrentLayoutFollowsTheScreenProvider) {
  TScreenSize screen(1400, 1050);
  EXPECT_EQ(CurrentScreenLayout().Index, 3);
}

TEST(ScreenLayout, StretchedBackgroundKeepsItsCornersPixelForPixel) {
  EnterArtworkFolder();
  // Row 4's picture is made for 1440 x 900; a 1920 x 1200 screen stretches it.
  const TBitmap source = LoadJpeg(ImgsPath("BG_fit_1440.jpg"));
  const TBitmap stretched = LoadScreenBackground(4, 1920, 1200);
  ASSERT_EQ(stretched.Width(), 1920);
  ASSERT_EQ(stretched.Height(), 1200);
  const int dx = 1920 - source.Width(), dy = 1200 - source.Height();
  for (int y = 0; y < 78; ++y) {
    for (int x = 0; x < 125; ++x) ASSERT_EQ(stretched.Pixel(x, y), source.Pixel(x, y)) << x << "," << y;
    const int sx = source.Width() - 165;
    for (int x = sx; x < source.Width(); ++x)
      ASSERT_EQ(stretched.Pixel(x + dx, y), source.Pixel(x, y)) << x << "," << y;
  }
  for (int y = source.Height() - 160; y < source.Height(); ++y) {
    for (int x = 0; x < 125; ++x) ASSERT_EQ(stretched.Pixel(x, y + dy), source.Pixel(x, y)) << x << "," << y;
    for (int x = source.Width() - 165; x < source.Width(); ++x)
      ASSERT_EQ(stretched.Pixel(x + dx, y + dy), source.Pixel(x, y)) << x << "," << y;
  }
}

TEST(ScreenLayout, MissingBackgroundIsReportedByName) {
  EnterArtworkFolder();
  TPictureAside aside("BG_fit_1280.jpg");
  try {
    LoadScreenBackground(1, 1280, 1024);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("BG_fit_1280.jpg"), std::string::npos) << e.what();
  }
}

TEST(ScreenLayout, NineCellsLandInTheirOwnCells) {
  // A 3 x 3 source of distinct opaque colours, cut at 1 and 2, onto cells of
  // other sizes: each destination cell takes its source cell's colour.
  TBitmap src(3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) src.SetPixel(x, y, 0xFF000000u | std::uint32_t(y * 3 + x + 1) * 20);
  TBitmap dst(20, 20);
  BlendNineCells(dst, src, {0, 1, 2, 3}, {0, 1, 2, 3}, {2, 4, 12, 15}, {1, 3, 10, 18});
  const int xs[] = {2, 4, 12, 15}, ys[] = {1, 3, 10, 18};
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 3; ++i)
      for (int y = ys[j]; y < ys[j + 1]; ++y)
        for (int x = xs[i]; x < xs[i + 1]; ++x) ASSERT_EQ(dst.Pixel(x, y), src.Pixel(i, j)) << x << "," << y;
  EXPECT_EQ(dst.Pixel(0, 0), 0xFFFFFFFFu);  // outside the cells nothing changes
  EXPECT_EQ(dst.Pixel(19, 19), 0xFFFFFFFFu);
}

TEST(ScreenLayout, APrefetchedBackgroundIsTheOneMadeInPlaceAndIsTakenOnce) {
  EnterArtworkFolder();
  const TBitmap made = LoadScreenBackground(4, 1920, 1200);
  PrefetchScreenBackground(4, 1920, 1200);
  // Another size or row is made for itself, and leaves the prefetched one waiting.
  EXPECT_EQ(LoadScreenBackground(4, 1600, 1000).Width(), 1600);
  EXPECT_EQ(LoadScreenBackground(2, 1920, 1200).Width(), 1920);
  const TBitmap fetched = LoadScreenBackground(4, 1920, 1200);
  ASSERT_EQ(fetched.Width(), 1920);
  ASSERT_EQ(fetched.Height(), 1200);
  EXPECT_TRUE(fetched.Image() == made.Image());
  // Once taken, the picture is read from its file again.
  TPictureAside aside("BG_fit_1440.jpg");
  EXPECT_THROW(LoadScreenBackground(4, 1920, 1200), Exception);
}

TEST(ScreenLayout, APrefetchThatFailsReportsWhenItsPictureIsAskedFor) {
  EnterArtworkFolder();
  TPictureAside aside("BG_fit_1280.jpg");
  PrefetchScreenBackground(1, 1280, 1024);
  try {
    LoadScreenBackground(1, 1280, 1024);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("BG_fit_1280.jpg"), std::string::npos) << e.what();
  }
}
