// The title screen: hidden it does nothing, shown it puts the topic screen
// in the work rectangle and draws the background with its pictures, the
// topic screen's part of it with the bullets, and its buttons over that.
#include <gtest/gtest.h>

#include <cstdlib>

#include "TitleFixtures.h"
#include "exercise/ExercisePage.h"
#include "platform/Application.h"
#include "platform/Cp1251.h"
#include "platform/StrUtils.h"
#include "trainer/CaptionImage.h"
#include "widgets/AlphaBitmap.h"
#include "widgets/ImageButton.h"

namespace {

std::unique_ptr<TBitmap> Png(const std::string& name) {
  return LoadAlphaBitmap(ImgsPath(name), true);
}

// Every fully opaque pixel of the picture shows unchanged with the
// picture's top-left at (left, top).
void ExpectPictureAt(const TBitmap& back, const std::string& file, int left, int top) {
  const auto picture = Png(file);
  int opaque = 0;
  for (int y = 0; y < picture->Height(); ++y)
    for (int x = 0; x < picture->Width(); ++x) {
      if ((picture->Pixel(x, y) >> 24) != 255) continue;
      ++opaque;
      ASSERT_EQ(back.Pixel(left + x, top + y), picture->Pixel(x, y)) << file << " at " << x << "," << y;
    }
  EXPECT_GT(opaque, 20) << file;
}

}  // namespace

TEST(TitleScreen, HiddenItNeitherLaysOutNorDraws) {
  TTitleScreen screen(1024, 768, false);
  TTitleFrame& f = screen.Frame();
  EXPECT_TRUE(f.BackImage->Picture().Empty());
  EXPECT_EQ(f.SelFrame1->BoundsRect(), Bounds(0, 0, 946, 749));
  EXPECT_FALSE(screen.Topics().lFont->Visible());
  EXPECT_EQ(BodyFontSize, -18);
  // Shown, it is laid out and drawn at once, at the window's size.
  f.Show();
  EXPECT_EQ(f.SelFrame1->BoundsRect(), Bounds(48, 52, 922, 690));
  EXPECT_EQ(f.BackImage->Picture().Width(), 1024);
  EXPECT_EQ(f.BackImage->Picture().Height(), 768);
}

TEST(TitleScreen, TopicScreenFillsTheWorkRectangleOfTheScreenSize) {
  struct TCase {
    int W, H, Row;
    TRect Place;
  };
  for (const TCase& c :
       {TCase{1440, 900, 4, Bounds(197, 102, 1020, 760)}, TCase{1024, 768, 0, Bounds(48, 52, 922, 690)},
        TCase{1280, 1024, 1, Bounds(108, 180, 1062, 788)}}) {
    TTitleScreen screen(c.W, c.H);
    EXPECT_EQ(screen.Frame().LayoutIndex, c.Row) << c.W;
    EXPECT_EQ(screen.Topics().BoundsRect(), c.Place) << c.W;
  }
}

TEST(TitleScreen, FrontPictureAndLogoSitInTheWorkRectangleCorners) {
  TTitleScreen screen(1440, 900);
  TTitleFrame& f = screen.Frame();
  const TBitmap& back = f.BackImage->Picture();
  const TRect& r = f.WorkRect;
  const auto face = Png("face_image.png");
  ExpectPictureAt(back, "face_image.png", r.Right - face->Width(), r.Bottom - face->Height());
  const auto logo = Png("big_logo.png");
  ExpectPictureAt(back, "big_logo.png", r.Right - logo->Width(), r.Top);
}

TEST(TitleScreen, TopicScreenShowsItsPartOfTheBackgroundWithBullets) {
  TTitleScreen screen(1024, 768);
  TTitleFrame& f = screen.Frame();
  TSelFrame& s = screen.Topics();
  const TBitmap& back = f.BackImage->Picture();
  const TBitmap& topics = s.Back->Picture();
  ASSERT_EQ(topics.Width(), s.Width());
  ASSERT_EQ(topics.Height(), s.Height());
  // Away from the bullets the two pictures agree, logo and front picture included.
  for (TPoint at :
       {Point(0, 0), Point(300, 600), Point(s.Width() - 1, s.Height() - 1), Point(s.Width() - 60, 30)})
    EXPECT_EQ(topics.Pixel(at.X, at.Y), back.Pixel(s.Left() + at.X, s.Top() + at.Y)) << at.X << "," << at.Y;
  // A bullet right of each heading's left edge, centred on it; none on the screen behind.
  const auto bullet = Png("bullet.png");
  for (const TLabel* heading : {s.Label1, s.Label15, s.Label23, s.lDifficulty}) {
    const int left = heading->Left() - bullet->Width();
    const int top = heading->Top() + heading->Height() / 2 - bullet->Height() / 2;
    ExpectPictureAt(topics, "bullet.png", left, top);
    const int cx = left + bullet->Width() / 2, cy = top + bullet->Height() / 2 + 2;
    EXPECT_NE(back.Pixel(s.Left() + cx, s.Top() + cy), topics.Pixel(cx, cy));
  }
}

TEST(TitleScreen, ButtonsOfTheTopicScreenShowItsBackground) {
  TTitleScreen screen(1280, 1024);
  TSelFrame& s = screen.Topics();
  const TBitmap& topics = s.Back->Picture();
  for (const TImageButton2* button : {s.LevelButton, s.ZoomOutButton, s.ZoomInButton}) {
    EXPECT_EQ(button->State(), TImageButton2::bsNormal);
    // The sheets' corners are clear: the button shows the screen there.
    EXPECT_EQ(button->Picture().Pixel(0, 0), topics.Pixel(button->Left(), button->Top()));
  }
}

TEST(TitleScreen, FailedCompositionKeepsThePreviousPictures) {
  TTitleScreen screen(1024, 768);
  TTitleFrame& f = screen.Frame();
  const TBitmap back = f.BackImage->Picture();
  const TBitmap topics = screen.Topics().Back->Picture();
  for (const char* file : {"face_image.png", "big_logo.png", "bullet.png", "BG_1024)full.jpg"}) {
    TPictureAside aside(file, std::string(file) == "bullet.png");
    EXPECT_THROW(f.ComposeBackground(), Exception) << file;
    EXPECT_EQ(f.BackImage->Picture().Image(), back.Image()) << file;
    EXPECT_EQ(screen.Topics().Back->Picture().Image(), topics.Image()) << file;
  }
}

TEST(TitleScreen, AMissingSheetStopsItsCreation) {
  EnterArtworkFolder();
  TScreenSize size(1024, 768);
  for (const char* file : {"LevelEasy.png", "zoom_font_02.png", "zoom_font_06.png", "ilClose.png"}) {
    TPictureAside aside(file);
    EXPECT_THROW(TTitleFrame(nullptr), Exception) << file;
  }
}

TEST(TitleScreen, EmptyFrameComposesNothing) {
  TTitleScreen screen(1024, 768);
  TTitleFrame& f = screen.Frame();
  f.SetAlign(alNone);
  f.SetBounds(0, 0, 0, 0);
  const TBitmap before = f.BackImage->Picture();
  EXPECT_NO_THROW(f.ComposeBackground());
  EXPECT_EQ(f.BackImage->Picture().Image(), before.Image());
}

TEST(TitleScreen, CloseAndMinimiseLieOverTheBackgroundAtTheTopRight) {
  TTitleScreen screen(1280, 1024);
  TTitleFrame& f = screen.Frame();
  EXPECT_EQ(f.iClose->Left() + f.iClose->Width(), 1280);
  EXPECT_EQ(f.iMinimize->Left(), 1280 - 41);
  const QPoint minimise(f.iMinimize->Left() + 5, 8);
  EXPECT_EQ(MouseAt(f, minimise, TMouseStep::Move), f.iMinimize);
  EXPECT_EQ(f.iMinimize->Look(), TCaptionImage::lkHover);
  MouseAt(f, minimise, TMouseStep::Click);
  EXPECT_EQ(screen.Host().WindowState(), wsMinimized);
  // The close image takes the press; closing the main form would end the
  // message loop for every later test.
  Application->MainForm = nullptr;
  EXPECT_EQ(MouseAt(f, QPoint(1280 - 5, 8), TMouseStep::Press), f.iClose);
  EXPECT_EQ(f.iClose->Look(), TCaptionImage::lkPressed);
  MouseAt(f, QPoint(1280 - 5, 8), TMouseStep::Release);
}

// The screen as a learner sees it: the topic screen's headings drawn, its
// picture beside them.
TEST(TitleScreen, Screenshots) {
  for (const auto& [w, h] : {std::pair{1280, 1024}, std::pair{1024, 768}}) {
    TTitleScreen screen(w, h);
    const QImage shot = screen.Host().grab().toImage();
    ASSERT_EQ(shot.size(), QSize(w, h));
    SaveRender(shot, Format("title_%dx%d.png", w, h));
    TSelFrame& s = screen.Topics();
    for (const TLabel* heading : {s.Label1, s.Label15, s.Label23, s.lDifficulty})
      EXPECT_TRUE(HasInk(shot, screen.Host(), *heading)) << Cp1251ToUtf8(heading->Caption()) << " at " << w;
    const QPoint corner = s.mapTo(&screen.Host(), QPoint(s.Width() - 1, s.Height() - 1));
    EXPECT_EQ(shot.pixel(corner), s.Back->Picture().Pixel(s.Width() - 1, s.Height() - 1)) << w;
  }
}

namespace {

// Whether two frames of a one-row sheet differ clearly somewhere.
bool FramesDiffer(const TBitmap& sheet, int a, int b, int frameWidth) {
  for (int y = 0; y < sheet.Height(); ++y)
    for (int x = 0; x < frameWidth; ++x)
      for (int shift : {0, 8, 16, 24})
        if (std::abs(Channel(sheet.Pixel(a * frameWidth + x, y), shift) -
                     Channel(sheet.Pixel(b * frameWidth + x, y), shift)) > 24)
          return true;
  return false;
}

// The number of clearly visible pixels of a picture placed at (left, top)
// that fall inside r.
int VisiblePixelsIn(const TBitmap& picture, int left, int top, const TRect& r) {
  int count = 0;
  for (int y = std::max(r.Top, top); y < std::min(r.Bottom, top + picture.Height()); ++y)
    for (int x = std::max(r.Left, left); x < std::min(r.Right, left + picture.Width()); ++x)
      count += Channel(picture.Pixel(x - left, y - top), 24) > 40;
  return count;
}

}  // namespace

TEST(TitleArtwork, SheetsHoldFourDistinctStatesWithClearCorners) {
  EnterArtworkFolder();
  struct TCase {
    const char* File;
    int W, H;
  };
  for (const TCase& c : {TCase{"LevelEasy.png", 100, 30}, TCase{"LevelHard.png", 100, 30},
                         TCase{"zoom_font_02.png", 76, 32}, TCase{"zoom_font_06.png", 76, 32}}) {
    const auto sheet = Png(c.File);
    ASSERT_EQ(sheet->Width(), 4 * c.W) << c.File;
    ASSERT_EQ(sheet->Height(), c.H) << c.File;
    for (int a = 0; a < 4; ++a)
      for (int b = a + 1; b < 4; ++b) EXPECT_TRUE(FramesDiffer(*sheet, a, b, c.W)) << c.File << " " << a << b;
    EXPECT_EQ(Channel(sheet->Pixel(0, 0), 24), 0) << c.File;
  }
  const auto easy = Png("LevelEasy.png"), hard = Png("LevelHard.png");
  EXPECT_NE(easy->Image(), hard->Image());
  // The size's name reaches 10 pixels into the buttons: that strip stays clear.
  for (const char* file : {"zoom_font_02.png", "zoom_font_06.png"})
    EXPECT_EQ(VisiblePixelsIn(*Png(file), 0, 0, Rect(0, 0, 10, 32)), 0) << file;
}

TEST(TitleArtwork, FrontPictureAndLogoLeaveTheTopicsFree) {
  for (const auto& [w, h] : {std::pair{1024, 768}, std::pair{1280, 1024}, std::pair{1440, 900}}) {
    TTitleScreen screen(w, h);
    TSelFrame& s = screen.Topics();
    const auto face = Png("face_image.png"), logo = Png("big_logo.png");
    std::vector<const TControl*> parts(s.TopicLabels.begin(), s.TopicLabels.end());
    for (const TControl* c :
         std::initializer_list<const TControl*>{s.Label1, s.Label15, s.Label23, s.lDifficulty, s.lFont,
                                                s.LevelButton, s.ZoomInButton, s.ZoomOutButton})
      parts.push_back(c);
    for (const TControl* part : parts) {
      const TRect r = part->BoundsRect();
      EXPECT_EQ(VisiblePixelsIn(*face, s.Width() - face->Width(), s.Height() - face->Height(), r), 0)
          << w << " " << part->Name() << " " << part->Caption();
      EXPECT_EQ(VisiblePixelsIn(*logo, s.Width() - logo->Width(), 0, r), 0)
          << w << " " << part->Name() << " " << part->Caption();
    }
  }
}
