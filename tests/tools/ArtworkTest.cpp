// The generated pictures, read back through the loaders the trainer uses: the
// sizes and margins its code relies on, and the joins between pieces.
#include <gtest/gtest.h>

#include <QPainter>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>

#include "platform/ImageFiles.h"
#include "platform/StrUtils.h"
#include "tools/artwork/Artwork.h"

namespace {

int Channel(std::uint32_t word, int shift) {
  return int((word >> shift) & 0xFF);
}
int Alpha(std::uint32_t word) {
  return Channel(word, 24);
}

// The largest difference of the colour channels of two pixel words.
int ColourDistance(std::uint32_t a, std::uint32_t b) {
  int d = 0;
  for (int shift : {0, 8, 16}) d = std::max(d, std::abs(Channel(a, shift) - Channel(b, shift)));
  return d;
}

// JPEG keeps flat colours to within a few steps.
constexpr int kJpegSlack = 8;

class Artwork : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new QTemporaryDir;
    WriteAllArtwork(Folder());
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  static std::string Folder() { return dir_->path().toStdString(); }
  static std::string Path(const std::string& name) { return Folder() + "/" + name; }
  static TBitmap Bmp(const std::string& name) {
    TBitmap bitmap;
    bitmap.LoadFromFile(Path(name));
    return bitmap;
  }
  static TSkinMargins Margins(const std::string& name) {
    std::ifstream in(Path(name));
    TSkinMargins m;
    in >> m.Left >> m.Right >> m.Top >> m.Bottom;
    EXPECT_TRUE(in) << name << " does not start with four integers";
    std::string rest;
    EXPECT_FALSE(in >> rest) << name << " holds more than four values";
    return m;
  }

 private:
  static QTemporaryDir* dir_;
};
QTemporaryDir* Artwork::dir_ = nullptr;

}  // namespace

TEST(ArtworkRegistry, ListsExactlyTheFilesTheBuildExpects) {
  std::set<std::string> registered;
  for (const TArtwork& art : AllArtwork())
    for (const std::string& file : ArtworkFiles(art))
      EXPECT_TRUE(registered.insert(file).second) << file << " is registered twice";
  std::set<std::string> built;
  for (const QString& file : QString(ARTWORK_FILES).split(',')) built.insert(file.toStdString());
  EXPECT_EQ(registered, built);
}

TEST_F(Artwork, EveryPictureLoadsThroughItsLoader) {
  for (const TArtwork& art : AllArtwork()) {
    const std::string ext = LowerCase(art.FileName.substr(art.FileName.rfind('.')));
    const int width = ext == ".jpg"   ? LoadJpeg(Path(art.FileName)).Width()
                      : ext == ".png" ? LoadPngPicture(Path(art.FileName)).Bitmap.Width()
                                      : Bmp(art.FileName).Width();
    EXPECT_GT(width, 0) << art.FileName;
  }
}

TEST_F(Artwork, CheckBoxSkinIsAGridOfEqualCells) {
  const TBitmap skin = Bmp("checkbox.bmp");
  const TSkinMargins m = Margins("checkbox.txt");
  // Three equal columns (empty, ticked, error); the top and bottom rows equal,
  // since the control is one cell high and draws either.
  EXPECT_EQ(m.Left, m.Right);
  EXPECT_EQ(skin.Width(), 3 * m.Left);
  EXPECT_EQ(m.Top, m.Bottom);
  EXPECT_LT(m.Top + m.Bottom, skin.Height());
  EXPECT_GE(m.Top, 20);  // as high as a body line at the trainer's font
}

TEST_F(Artwork, CheckBoxSkinStoresTransparencyInTheFourthByte) {
  const TBitmap skin = Bmp("checkbox.bmp");
  const TSkinMargins m = Margins("checkbox.txt");
  const int focusRow = skin.Height() - m.Bottom;
  for (int column = 0; column < 3; ++column) {
    for (int rowTop : {0, focusRow}) {
      const int x = column * m.Left;
      // The cell's corner lets the page show (t = 255); the box's face hides it (t = 0).
      EXPECT_EQ(Alpha(skin.Pixel(x, rowTop)), 255) << "cell " << column << "," << rowTop;
      EXPECT_EQ(Alpha(skin.Pixel(x + m.Left / 2 - 2, rowTop + m.Top / 2 - 4)), 0)
          << "cell " << column << "," << rowTop;
    }
  }
  // The unused middle row stays clear.
  EXPECT_EQ(Alpha(skin.Pixel(m.Left / 2, m.Top + 1)), 255);
}

TEST_F(Artwork, CheckBoxCellsLookDifferent) {
  const TBitmap skin = Bmp("checkbox.bmp");
  const TSkinMargins m = Margins("checkbox.txt");
  auto differs = [&](int ax, int ay, int bx, int by) {
    int most = 0;
    for (int y = 0; y < m.Top; ++y)
      for (int x = 0; x < m.Left; ++x)
        most = std::max(most, ColourDistance(skin.Pixel(ax + x, ay + y), skin.Pixel(bx + x, by + y)));
    return most;
  };
  const int focusRow = skin.Height() - m.Bottom;
  EXPECT_GT(differs(0, 0, m.Left, 0), 100);           // ticked against empty
  EXPECT_GT(differs(0, 0, 2 * m.Left, 0), 100);       // error against empty
  EXPECT_GT(differs(m.Left, 0, 2 * m.Left, 0), 100);  // error against ticked
  EXPECT_GT(differs(0, 0, 0, focusRow), 40);          // focused against normal
  // The error picture is red where the others are blue-grey: its frame.
  const std::uint32_t errorFrame = skin.Pixel(2 * m.Left + m.Left / 2, 3);
  EXPECT_GT(Channel(errorFrame, 16), Channel(errorFrame, 0) + 80);
}

TEST_F(Artwork, InputTextIsAWhiteFieldWithARoundedFrame) {
  const TBitmap skin = Bmp("inputtext.bmp");
  const TSkinMargins m = Margins("inputtext.txt");
  ASSERT_GT(skin.Width() - m.Left - m.Right, 0);
  ASSERT_GT(skin.Height() - m.Top - m.Bottom, 0);
  // The stretched centre is plain white, so it stretches without a trace.
  for (int y = m.Top; y < skin.Height() - m.Bottom; ++y)
    for (int x = m.Left; x < skin.Width() - m.Right; ++x)
      EXPECT_EQ(skin.Pixel(x, y) & 0xFFFFFFu, 0xFFFFFFu) << x << "," << y;
  // The corners outside the rounding show the exercise page's paper ($E2EFF6).
  EXPECT_EQ(skin.Pixel(0, 0) & 0xFFFFFFu, 0xF6EFE2u);
  EXPECT_EQ(skin.Pixel(skin.Width() - 1, skin.Height() - 1) & 0xFFFFFFu, 0xF6EFE2u);
  // The frame is darker than both sides of it.
  const std::uint32_t frame = skin.Pixel(skin.Width() / 2, 0);
  EXPECT_LT(Channel(frame, 8), 200);
}

TEST_F(Artwork, ScrollBarPiecesShareTheBarWidth) {
  const int width = Bmp("ScrollerUp.bmp").Width();
  EXPECT_EQ(Bmp("ScrollerMiddle.bmp").Width(), width);
  EXPECT_EQ(Bmp("ScrollerDown.bmp").Width(), width);
  for (const char* arrow : {"ScrollUp", "ScrollDown"}) {
    for (const char* state : {"", "_over", "_click"}) {
      const TBitmap picture = LoadJpeg(Path(std::string(arrow) + state + ".jpg"));
      EXPECT_EQ(picture.Width(), width) << arrow << state;
      EXPECT_EQ(picture.Height(), LoadJpeg(Path("ScrollUp.jpg")).Height()) << arrow << state;
    }
  }
  EXPECT_LT(LoadJpeg(Path("ScrollLine.jpg")).Width(), width);
}

TEST_F(Artwork, ArrowStatesAreVisiblyDifferent) {
  for (const std::string arrow : {"ScrollUp", "ScrollDown"}) {
    const TBitmap normal = LoadJpeg(Path(arrow + ".jpg"));
    for (const char* state : {"_over", "_click"}) {
      const TBitmap other = LoadJpeg(Path(arrow + state + ".jpg"));
      int most = 0;
      for (int y = 0; y < normal.Height(); ++y)
        for (int x = 0; x < normal.Width(); ++x)
          most = std::max(most, ColourDistance(normal.Pixel(x, y), other.Pixel(x, y)));
      EXPECT_GT(most, 20) << arrow << state;
    }
  }
  // Up and down point different ways.
  const TBitmap up = LoadJpeg(Path("ScrollUp.jpg"));
  const TBitmap down = LoadJpeg(Path("ScrollDown.jpg"));
  const int mid = up.Width() / 2;
  EXPECT_GT(ColourDistance(up.Pixel(mid, up.Height() / 2 - 2), down.Pixel(mid, up.Height() / 2 - 2)), 40);
}

TEST_F(Artwork, StretchedPiecesHaveIdenticalRows) {
  // The bar stretches these down; any change from row to row would smear.
  const TBitmap middle = Bmp("ScrollerMiddle.bmp");
  for (int y = 1; y < middle.Height(); ++y)
    for (int x = 0; x < middle.Width(); ++x)
      EXPECT_EQ(middle.Pixel(x, y), middle.Pixel(x, 0)) << x << "," << y;
  const TBitmap line = LoadJpeg(Path("ScrollLine.jpg"));
  for (int y = 1; y < line.Height(); ++y)
    for (int x = 0; x < line.Width(); ++x)
      EXPECT_LE(ColourDistance(line.Pixel(x, y), line.Pixel(x, 0)), kJpegSlack) << x << "," << y;
}

TEST_F(Artwork, ThumbEndsJoinTheTrackWithoutASeam) {
  const TBitmap line = LoadJpeg(Path("ScrollLine.jpg"));
  const int width = Bmp("ScrollerUp.bmp").Width();
  const int lineLeft = (width - line.Width()) / 2;  // as the bar centres the track
  for (const char* name : {"ScrollerUp.bmp", "ScrollerDown.bmp"}) {
    const TBitmap cap = Bmp(name);
    const int outer = std::string(name) == "ScrollerUp.bmp" ? 0 : cap.Height() - 1;
    // The row farthest from the thumb's body is the bar itself: white fill, track line.
    EXPECT_EQ(cap.Pixel(0, outer) & 0xFFFFFFu, 0xFFFFFFu) << name;
    EXPECT_EQ(cap.Pixel(width - 1, outer) & 0xFFFFFFu, 0xFFFFFFu) << name;
    for (int x = 0; x < line.Width(); ++x)
      EXPECT_LE(ColourDistance(cap.Pixel(lineLeft + x, outer), line.Pixel(x, 0)), kJpegSlack)
          << name << " " << x;
  }
}

namespace {
QImage HalfTransparentRed() {
  QImage image(4, 2, QImage::Format_ARGB32_Premultiplied);
  image.fill(QColor(255, 0, 0, 128));
  return image;
}
QImage NullImage() {
  return QImage();
}
}  // namespace

TEST(ArtworkBackground, TheLightOfTheUpperLeftFadesOutInsideItsUnscaledCorner) {
  // The screen copies the corner (125 x 78) as it is and stretches the
  // edges beside it: light left at the corner's edges shows as a step there.
  const auto art = std::find_if(AllArtwork().begin(), AllArtwork().end(),
                                [](const TArtwork& a) { return a.FileName == "BG_fit_1280.jpg"; });
  ASSERT_NE(art, AllArtwork().end());
  const QImage picture = art->Draw();
  auto step = [&](int x0, int y0, int x1, int y1) {
    return ColourDistance(picture.pixel(x0, y0), picture.pixel(x1, y1));
  };
  for (int x = 20; x < 125; ++x) EXPECT_LE(step(x, 77, x, 78), 1) << "below the corner at x " << x;
  for (int y = 20; y < 78; ++y) EXPECT_LE(step(124, y, 125, y), 1) << "beside the corner at y " << y;
}

TEST(ArtworkWriter, PngKeepsStraightAlpha) {
  QTemporaryDir dir;
  WriteArtwork({"red.png", HalfTransparentRed}, dir.path().toStdString());
  const TPngPicture png = LoadPngPicture(dir.path().toStdString() + "/red.png");
  ASSERT_EQ(png.AlphaRows.size(), 2u);
  EXPECT_EQ(png.AlphaRows[0][0], 128);
  // Red at half opacity over white: red stays full, green and blue halve.
  // A premultiplied red written as straight would come out pink (R 191).
  const std::uint32_t pixel = png.Bitmap.Pixel(0, 0);
  EXPECT_EQ(Channel(pixel, 16), 255);
  EXPECT_NEAR(Channel(pixel, 8), 127, 1);
}

TEST(ArtworkWriter, RefusesWhatItCannotWrite) {
  QTemporaryDir dir;
  EXPECT_THROW(WriteArtwork({"red.gif", HalfTransparentRed}, dir.path().toStdString()), Exception);
  EXPECT_THROW(WriteArtwork({"empty.png", NullImage}, dir.path().toStdString()), Exception);
  EXPECT_THROW(WriteArtwork({"red.png", HalfTransparentRed}, dir.path().toStdString() + "/missing"),
               Exception);
}
