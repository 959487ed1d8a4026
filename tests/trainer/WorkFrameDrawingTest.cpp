// What the exercise screen draws: the composed background with the area's
// frame and the ornaments, the sprite buttons over it, the close and
// minimise images, and screenshots of the whole screen.
#include <gtest/gtest.h>

#include <QTest>

#include "TrainerFixtures.h"
#include "platform/Application.h"
#include "platform/Cp1251.h"
#include "platform/ImageFiles.h"
#include "platform/StrUtils.h"
#include "trainer/CaptionImage.h"
#include "trainer/UnDrawPanel.h"
#include "widgets/AlphaBitmap.h"
#include "widgets/ImageButton.h"
#include "widgets/ImageScrollBar.h"
#include "widgets/ImageScrollBox.h"

namespace {

// The first fully opaque pixel of a premultiplied picture.
TPoint OpaquePixel(const TBitmap& picture) {
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x)
      if ((picture.Pixel(x, y) >> 24) == 255) return Point(x, y);
  ADD_FAILURE() << "the picture has no opaque pixel";
  return Point(0, 0);
}

// An opaque ornament pixel shows unchanged where the screen placed it.
void ExpectOrnamentAt(const TBitmap& back, const std::string& file, int left, int top) {
  const auto picture = LoadAlphaBitmap(ImgsPath(file), true);
  const TPoint p = OpaquePixel(*picture);
  EXPECT_EQ(back.Pixel(left + p.X, top + p.Y), picture->Pixel(p.X, p.Y)) << file;
}

}  // namespace

TEST(WorkFrameDrawing, BackgroundFillsTheFrameWithItsCornersUnscaled) {
  TWorkScreen screen(1920, 1200);
  TWorkFrame& f = screen.Frame();
  f.ComposeBackground();
  const TBitmap& back = f.BackImage->Picture();
  ASSERT_EQ(back.Width(), 1920);
  ASSERT_EQ(back.Height(), 1200);
  const TBitmap source = LoadJpeg(ImgsPath("BG_fit_1440.jpg"));
  for (int y = 0; y < 78; y += 7)
    for (int x = 0; x < 125; x += 5) ASSERT_EQ(back.Pixel(x, y), source.Pixel(x, y)) << x << "," << y;
  EXPECT_EQ(back.Pixel(1919, 1199), source.Pixel(source.Width() - 1, source.Height() - 1));
}

TEST(WorkFrameDrawing, OrnamentsSitAtTheWorkRectangle) {
  TWorkScreen screen(1024, 768);
  TWorkFrame& f = screen.Frame();
  f.ComposeBackground();
  const TBitmap& back = f.BackImage->Picture();
  const TRect& r = f.WorkRect;
  const auto logo = LoadAlphaBitmap(ImgsPath("logo.png"), true);
  ExpectOrnamentAt(back, "logo.png", r.Right - logo->Width(), r.Top);
  const auto corner = LoadAlphaBitmap(ImgsPath("right_bottom.png"), true);
  ExpectOrnamentAt(back, "right_bottom.png", r.Right - corner->Width(), r.Bottom - corner->Height());
  const auto bullet = LoadAlphaBitmap(ImgsPath("bullet.png"), true);
  ExpectOrnamentAt(back, "bullet.png", f.lCurrent->Left() - bullet->Width(), f.lCurrent->Top());
}

TEST(WorkFrameDrawing, AreaFrameHugsTheExerciseArea) {
  TWorkScreen screen(1024, 768);
  TWorkFrame& f = screen.Frame();
  const TBitmap bare = LoadScreenBackground(0, f.Width(), f.Height());
  f.ComposeBackground();
  const TBitmap& back = f.BackImage->Picture();
  const TRect p = f.Panel1->BoundsRect();
  const int midY = (p.Top + p.Bottom) / 2, midX = (p.Left + p.Right) / 2;
  // The mat right beside the area is lighter than the bare background...
  for (TPoint at :
       {Point(p.Left - 2, midY), Point(p.Right + 1, midY), Point(midX, p.Bottom + 1), Point(midX, p.Top - 2)})
    EXPECT_GT(Channel(back.Pixel(at.X, at.Y), 8), Channel(bare.Pixel(at.X, at.Y), 8) + 10)
        << at.X << "," << at.Y;
  // ...and 23 pixels out at the sides, 5 above, the background is untouched.
  EXPECT_EQ(back.Pixel(p.Left - 24, midY), bare.Pixel(p.Left - 24, midY));
  EXPECT_EQ(back.Pixel(midX, p.Top - 6), bare.Pixel(midX, p.Top - 6));
  // The frame follows the area when it moves.
  f.Panel1->SetBounds(p.Left, p.Top - 60, p.Width(), p.Height() + 60);
  f.ComposeBackground();
  EXPECT_GT(Channel(f.BackImage->Picture().Pixel(midX, p.Top - 62), 8),
            Channel(bare.Pixel(midX, p.Top - 62), 8) + 10);
}

TEST(WorkFrameDrawing, CompositionResetsTheButtonsButTheHintButtonKeepsItsState) {
  TWorkScreen screen(1024, 768);
  TWorkFrame& f = screen.Frame();
  f.PrevButton->SetState(TImageButton2::bsDisabled);
  f.NextButton->SetState(TImageButton2::bsOver);
  f.CheckButton->SetState(TImageButton2::bsDown);
  f.HintButton->SetState(TImageButton2::bsDisabled);
  f.ComposeBackground();
  for (TImageButton2* b : {f.PrevButton, f.NextButton, f.ResetButton, f.CheckButton, f.ShowButton})
    EXPECT_EQ(b->State(), TImageButton2::bsNormal);
  EXPECT_EQ(f.HintButton->State(), TImageButton2::bsDisabled);
}

TEST(WorkFrameDrawing, SpriteButtonShowsTheBackgroundUnderItsFrame) {
  TWorkScreen screen(1024, 768);
  TWorkFrame& f = screen.Frame();
  // Before any background the frame lies over white.
  EXPECT_EQ(f.PrevButton->Picture().Pixel(0, 0), 0xFFFFFFFFu);
  f.ComposeBackground();
  const TBitmap& back = f.BackImage->Picture();
  for (TImageButton2* b : {f.PrevButton, f.CheckButton, f.HintButton}) {
    // The sheet's corner is transparent: the screen's own pixel shows.
    EXPECT_EQ(b->Picture().Pixel(0, 0), back.Pixel(b->Left(), b->Top()));
    // The disc's middle is the sheet's opaque face.
    const int cx = b->Width() / 2, cy = b->Height() / 2;
    ASSERT_EQ(b->Sheet.Pixel(cx + 6, cy - 12) >> 24, 255u);
    EXPECT_EQ(b->Picture().Pixel(cx + 6, cy - 12), b->Sheet.Pixel(cx + 6, cy - 12));
  }
}

TEST(WorkFrameDrawing, FailedCompositionKeepsThePreviousPictures) {
  TWorkScreen screen(1024, 768);
  TWorkFrame& f = screen.Frame();
  f.ComposeBackground();
  const TBitmap before = f.BackImage->Picture();
  const TBitmap buttonBefore = f.NextButton->Picture();
  f.NextButton->SetState(TImageButton2::bsOver);
  for (const char* file : {"logo.png", "bg_otveti.png", "BG_1024)full.jpg"}) {
    TPictureAside aside(file, std::string(file) == "logo.png");
    f.Panel1->SetBounds(90, 200, 400, 300);
    EXPECT_THROW(f.ComposeBackground(), Exception) << file;
    EXPECT_EQ(f.BackImage->Picture().Image(), before.Image()) << file;
    EXPECT_EQ(f.NextButton->State(), TImageButton2::bsOver) << file;
  }
  f.NextButton->SetState(TImageButton2::bsNormal);
  EXPECT_EQ(f.NextButton->Picture().Image(), buttonBefore.Image());
}

TEST(WorkFrameDrawing, EmptyFrameComposesNothing) {
  TWorkScreen screen(1024, 768);
  TWorkFrame& f = screen.Frame();
  f.SetAlign(alNone);
  f.SetBounds(0, 0, 0, 0);
  f.ComposeBackground();
  EXPECT_TRUE(f.BackImage->Picture().Empty());
}

TEST(CaptionImages, CloseLiesOverMinimiseAtTheTopRight) {
  TWorkScreen screen(1024, 768);
  TWorkFrame& f = screen.Frame();
  screen.Host().Show();
  EXPECT_EQ(f.iClose->Left() + f.iClose->Width(), 1024);
  EXPECT_EQ(f.iMinimize->Left(), 1024 - 41);
  // x 1024 - 19 belongs to both images; the close image takes the press.
  EXPECT_EQ(MouseAt(f, QPoint(1024 - 18, 8), TMouseStep::Press), f.iClose);
  EXPECT_EQ(f.iClose->Look(), TCaptionImage::lkPressed);
  EXPECT_EQ(f.iMinimize->Look(), TCaptionImage::lkNormal);
  // Closing the main form would end the message loop for every later test.
  Application->MainForm = nullptr;
  MouseAt(f, QPoint(1024 - 18, 8), TMouseStep::Release);
  EXPECT_EQ(f.iClose->Look(), TCaptionImage::lkNormal);
}

TEST(CaptionImages, LooksFollowTheMouse) {
  TWorkScreen screen(1024, 768);
  TWorkFrame& f = screen.Frame();
  screen.Host().Show();
  const TBitmap normal = f.iMinimize->Picture();
  const QPoint at(f.iMinimize->Left() + 5, 8);
  MouseAt(f, at, TMouseStep::Move);
  EXPECT_EQ(f.iMinimize->Look(), TCaptionImage::lkHover);
  EXPECT_NE(f.iMinimize->Picture().Image(), normal.Image());
  MouseAt(f, at, TMouseStep::Press);
  EXPECT_EQ(f.iMinimize->Look(), TCaptionImage::lkPressed);
  MouseAt(f, at, TMouseStep::Release);
  EXPECT_EQ(f.iMinimize->Look(), TCaptionImage::lkNormal);
  EXPECT_EQ(f.iMinimize->Picture().Image(), normal.Image());
  // The click minimised the main window.
  EXPECT_EQ(screen.Host().WindowState(), wsMinimized);
}

namespace {

TLabel* AddText(TWinControl* parent, int x, int y, const std::string& text, int height, TColor color) {
  auto* label = new TLabel(parent);
  label->SetParent(parent);
  TFont font;
  font.Name = "Times New Roman";
  font.SetHeight(height);
  font.Color = color;
  label->SetFont(font);
  label->SetTransparent(true);
  label->SetLeft(x);
  label->SetTop(y);
  label->SetCaption(text);
  return label;
}

// The screen as a learner sees it on a document with a hint: every text is
// drawn where it stands, the exercise on its colour, the buttons' and the
// background's pictures where nothing covers them.
void RenderScreen(int width, int height, const std::string& file) {
  TWorkScreen screen(width, height);
  TWorkFrame& f = screen.Frame();
  for (const char* line : {"1. Правописание гласных в корне", "2. Чередующиеся гласные",
                           "3-4. Правописание согласных в корне слова", "5. Разделительные Ъ и Ь"}) {
    auto* label = new TLabel(&f);
    label->SetFont(f.lLabel->Font());
    label->SetCaption(Utf8ToCp1251(line));
    label->SetCursor(Qt::PointingHandCursor);
    f.ContentsLabels.push_back(label);
  }
  f.LayoutWorkFrame();
  f.ComposeBackground();
  f.lCurrent->SetCaption("Раздел: Подраздел. Упражнение №1 из 4. (Go.cml)"_cp);
  std::vector<TLabel*> texts{AddText(f.Panel3, 12, 10, "Вставьте пропущенные буквы."_cp, -20, clBlack)};
  TPanel* body = f.ContentBox->ContentPanel();
  const TColor bodyColour = 0xE6F1F8;
  body->SetColor(bodyColour);
  const char* lines[] = {"Зар..сли кустарника тянулись вдоль берега.",
                         "Мы долго любовались з..рёй над рекой.", "Ребята пл..вали наперегонки.",
                         "Он пок..рил вершину горы."};
  for (int i = 0; i < 4; ++i)
    texts.push_back(AddText(body, 16, 14 + i * 34, Utf8ToCp1251(lines[i]), -20, clBlack));
  body->SetHeight(f.ContentBox->Height());
  f.pHintInner->Tag = 1;
  f.pHintInner->SetHeight(120);
  texts.push_back(AddText(f.pHintInner, 4, 4, "Проверьте гласную"_cp, -17, clBlack));
  texts.push_back(AddText(f.pHintInner, 4, 26, "ударением: зоря — зори."_cp, -17, clBlack));
  f.LayoutHint();
  f.pHint->Show();
  f.Panel3->Show();
  screen.Host().Show();
  const QImage shot = f.grab().toImage();
  ASSERT_EQ(shot.size(), QSize(width, height));
  SaveRender(shot, file);

  for (const TLabel* text : texts)
    EXPECT_TRUE(HasInk(shot, f, *text)) << Cp1251ToUtf8(text->Caption()) << " is not drawn";
  const QPoint besideText = body->mapTo(&f, QPoint(body->Width() - 30, 20));
  EXPECT_EQ(FromQColor(shot.pixelColor(besideText)), bodyColour);
  const QPoint button =
      f.CheckButton->mapTo(&f, QPoint(f.CheckButton->Width() / 2, f.CheckButton->Height() / 2));
  EXPECT_EQ(shot.pixel(button),
            f.CheckButton->Picture().Pixel(f.CheckButton->Width() / 2, f.CheckButton->Height() / 2));
  const TBitmap& back = f.BackImage->Picture();
  EXPECT_EQ(shot.pixel(0, height - 1), back.Pixel(0, height - 1));
}

}  // namespace

TEST(WorkFrameRender, ExerciseScreenAt1280x1024) {
  RenderScreen(1280, 1024, "work_1280x1024.png");
}

TEST(WorkFrameRender, ExerciseScreenAt1024x768) {
  RenderScreen(1024, 768, "work_1024x768.png");
}
