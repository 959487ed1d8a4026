// The pictures the exercise screen and the dialog open, read back through the
// trainer's own loaders: the sizes the layout relies on, the pieces that are
// stretched, the states of the sprite sheets and the dialog's alpha.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "TrainerFixtures.h"
#include "platform/ImageFiles.h"
#include "widgets/AlphaBitmap.h"

namespace {

int Alpha(std::uint32_t word) {
  return Channel(word, 24);
}

// The largest colour difference between two frames of a sheet.
int FrameDistance(const TBitmap& sheet, int a, int b, int frameWidth) {
  int most = 0;
  for (int y = 0; y < sheet.Height(); ++y)
    for (int x = 0; x < frameWidth; ++x)
      for (int shift : {0, 8, 16, 24})
        most = std::max(most, std::abs(Channel(sheet.Pixel(a * frameWidth + x, y), shift) -
                                       Channel(sheet.Pixel(b * frameWidth + x, y), shift)));
  return most;
}

class ScreenArtwork : public ::testing::Test {
 protected:
  void SetUp() override { EnterArtworkFolder(); }
  static std::unique_ptr<TBitmap> Png(const std::string& name) {
    return LoadAlphaBitmap(ImgsPath(name), true);
  }
};

}  // namespace

TEST_F(ScreenArtwork, BackgroundsAreMadeForTheirScreens) {
  struct TCase {
    const char* File;
    int W, H;
  };
  for (const TCase& c : {TCase{"BG_1024)full.jpg", 1024, 768}, TCase{"BG_fit_1280_800.jpg", 1280, 800},
                         TCase{"BG_fit_1280.jpg", 1280, 1024}, TCase{"BG_fit_1400.jpg", 1400, 1050},
                         TCase{"BG_fit_1440.jpg", 1440, 900}}) {
    const TBitmap picture = LoadJpeg(ImgsPath(c.File));
    EXPECT_EQ(picture.Width(), c.W) << c.File;
    EXPECT_EQ(picture.Height(), c.H) << c.File;
  }
}

TEST_F(ScreenArtwork, SpriteSheetsHoldFourDistinctStates) {
  struct TCase {
    const char* File;
    int W, H;
  };
  for (const TCase& c : {TCase{"buttons_01.png", 62, 52}, TCase{"buttons_02.png", 62, 52},
                         TCase{"buttons_03.png", 62, 52}, TCase{"big_one_03.png", 58, 68},
                         TCase{"hint_button.png", 62, 52}, TCase{"show_button.png", 62, 61}}) {
    const auto sheet = Png(c.File);
    ASSERT_EQ(sheet->Width(), 4 * c.W) << c.File;
    ASSERT_EQ(sheet->Height(), c.H) << c.File;
    for (int a = 0; a < 4; ++a)
      for (int b = a + 1; b < 4; ++b)
        EXPECT_GT(FrameDistance(*sheet, a, b, c.W), 24) << c.File << " " << a << b;
    // The corners are clear, so the button shows the screen around its disc.
    EXPECT_EQ(Alpha(sheet->Pixel(0, 0)), 0) << c.File;
  }
  // Back and forward point different ways.
  const auto back = Png("buttons_01.png"), forward = Png("buttons_03.png");
  int differing = 0;
  for (int y = 0; y < 52; ++y)
    for (int x = 0; x < 62; ++x) differing += back->Pixel(x, y) != forward->Pixel(x, y);
  EXPECT_GT(differing, 60);
}

TEST_F(ScreenArtwork, AreaFrameStretchesWithoutATrace) {
  const auto frame = Png("bg_otveti.png");
  ASSERT_EQ(frame->Width(), 64);
  ASSERT_EQ(frame->Height(), 64);
  // The screen stretches columns 23..40 and rows 23..40: each must repeat.
  for (int y = 0; y < 64; ++y)
    for (int x = 24; x < 41; ++x) ASSERT_EQ(frame->Pixel(x, y), frame->Pixel(23, y)) << x << "," << y;
  for (int y = 24; y < 41; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(frame->Pixel(x, y), frame->Pixel(x, 23)) << x << "," << y;
  // A shadow below the area, fading out before the picture's edge.
  EXPECT_GT(Alpha(frame->Pixel(32, 48)), Alpha(frame->Pixel(32, 58)));
  EXPECT_EQ(Alpha(frame->Pixel(32, 63)), 0);
}

TEST_F(ScreenArtwork, HintPiecesFitTheHintPanel) {
  const auto top = Png("hint_01.png"), middle = Png("hint_02.png"), bottom = Png("hint_03.png");
  for (const TBitmap* piece : {top.get(), middle.get(), bottom.get()}) EXPECT_EQ(piece->Width(), 287);
  // The bottom piece fills the 95 rows below the hint's own panel.
  EXPECT_EQ(bottom->Height(), 95);
  // One pixel left of the panel the pieces are clear; under it they are its amber.
  EXPECT_EQ(Alpha(middle->Pixel(0, 4)), 0);
  const std::uint32_t amber = middle->Pixel(1, 4);
  EXPECT_EQ(Alpha(amber), 255);
  EXPECT_EQ(amber & 0xFFFFFFu, PremultiplyPixel(0xFFF1B751u, 255, 255) & 0xFFFFFFu);
  EXPECT_EQ(bottom->Pixel(143, 0), amber);
}

TEST_F(ScreenArtwork, CaptionStripsHoldThreeLooks) {
  EXPECT_EQ(Png("ilClose.png")->Width(), 3 * 19);
  EXPECT_EQ(Png("ilMinimize.png")->Width(), 3 * 22);
  EXPECT_EQ(Png("ilClose.png")->Height(), 16);
  EXPECT_EQ(Png("ilMinimize.png")->Height(), 16);
}

TEST_F(ScreenArtwork, DialogMaskGivesOutlineSoftEdgeAndShadow) {
  const TPngPicture png = LoadPngPicture(ImgsPath("MsgBox.png"));
  EXPECT_EQ(png.ColorType, 6);
  ASSERT_EQ(png.Bitmap.Width(), 183);
  ASSERT_EQ(png.Bitmap.Height(), 139);
  const auto& alpha = png.AlphaRows;
  EXPECT_EQ(alpha[0][0], 0);      // outside the rounded corner
  EXPECT_EQ(alpha[70][90], 255);  // the body
  // The edge is soft: partial alpha where the outline crosses a row.
  bool partial = false;
  for (int x = 0; x < 12; ++x) partial = partial || (alpha[2][x] > 0 && alpha[2][x] < 255);
  EXPECT_TRUE(partial);
  // The shadow lies to the right and below, fainter than the body.
  EXPECT_GT(alpha[70][181], 0);
  EXPECT_LT(alpha[70][181], 200);
  const TBitmap face = LoadBmp(ImgsPath("MsgFace.bmp"));
  EXPECT_EQ(face.Width(), 183);
  EXPECT_EQ(face.Height(), 139);
  // Where only the shadow shows, the face is dark, so the dialog's shadow is.
  EXPECT_LT(Channel(face.Pixel(181, 70), 8), 40);
}
