// The three-picture arrow button and the sprite-sheet button: file naming,
// frame origins, composition over the background and the state tables,
// driven by real mouse events.
#include <gtest/gtest.h>

#include <QDir>
#include <QTest>

#include "Fixtures.h"
#include "platform/Forms.h"
#include "platform/ImageFiles.h"
#include "platform/StrUtils.h"
#include "widgets/AlphaBitmap.h"
#include "widgets/ImageButton.h"

namespace {

constexpr std::uint32_t kNormal = 0xFF102030u, kOver = 0xFF405060u, kClick = 0xFF708090u;

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.what();
  }
  return "";
}

}  // namespace

class ImageButtonTest : public ::testing::Test {
 protected:
  ImageButtonTest() {
    form.SetBounds(0, 0, 300, 200);
    button = new TImageButton(&form);
    button->SetParent(&form);
    form.Show();
  }
  TScratchDir dir;
  TForm form;
  TImageButton* button;
};

TEST_F(ImageButtonTest, MissingHoverOrPressedPictureFallsBackToNormal) {
  FilledBitmap(4, 4, kNormal).SaveToFile(dir.File("Up.bmp"));
  FilledBitmap(4, 4, kOver).SaveToFile(dir.File("Up_over.bmp"));
  button->LoadImages(dir.File("Up.bmp"));
  EXPECT_EQ(button->NormalPicture.Pixel(0, 0), kNormal);
  EXPECT_EQ(button->OverPicture.Pixel(0, 0), kOver);
  EXPECT_EQ(button->DownPicture.Pixel(0, 0), kNormal);
  EXPECT_EQ(button->Picture().Pixel(3, 3), kNormal);
}

TEST_F(ImageButtonTest, UpperCaseExtensionLooksForLowerCaseVariants) {
  SaveJpeg(dir.File("Arrow.JPG"), FilledBitmap(4, 4, kNormal));
  SaveJpeg(dir.File("Arrow_over.jpg"), FilledBitmap(4, 4, kOver));
  SaveJpeg(dir.File("Arrow_click.jpg"), FilledBitmap(4, 4, kClick));
  button->LoadImages(dir.File("Arrow.JPG"));
  EXPECT_TRUE(NearColour(button->OverPicture.Pixel(1, 1), kOver));
  EXPECT_TRUE(NearColour(button->DownPicture.Pixel(1, 1), kClick));
}

TEST_F(ImageButtonTest, ErrorsNameTheFileOrTheExtension) {
  const std::string missing = dir.File("None.jpg");
  EXPECT_EQ(MessageOf([&] { button->LoadImages(missing); }), "Image \"" + missing + "\" not found.");
  SaveJpeg(dir.File("Arrow.jpeg"), FilledBitmap(2, 2, kNormal));
  EXPECT_EQ(MessageOf([&] { button->LoadImages(dir.File("Arrow.jpeg")); }), "Unknown file format \".jpeg\"");
}

TEST_F(ImageButtonTest, MouseShowsHoverPressedAndKeepsPressedWhenLeaving) {
  FilledBitmap(20, 20, kNormal).SaveToFile(dir.File("B.bmp"));
  FilledBitmap(20, 20, kOver).SaveToFile(dir.File("B_over.bmp"));
  FilledBitmap(20, 20, kClick).SaveToFile(dir.File("B_click.bmp"));
  button->LoadImages(dir.File("B.bmp"));
  button->SetBounds(10, 10, 20, 20);
  QTest::mouseMove(button, QPoint(5, 5));
  EXPECT_EQ(button->State(), TImageButton::bsOver);
  EXPECT_EQ(button->Picture().Pixel(0, 0), kOver);
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(button->State(), TImageButton::bsDown);
  QTest::mouseMove(button, QPoint(50, 50));
  EXPECT_EQ(button->Picture().Pixel(0, 0), kClick);
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(50, 50));
  EXPECT_EQ(button->State(), TImageButton::bsNormal);
  EXPECT_EQ(Grab(*button).Pixel(10, 10), kNormal);
}

// --- The sprite-sheet button ---

namespace {

// A premultiplied sheet of 4 frames of w x h in the given layout; frame n is
// opaque colour n in its left half and transparent in its right half.
constexpr std::uint32_t kFrameColour[4] = {0xFF0000C0u, 0xFF00C000u, 0xFFC00000u, 0xFF808080u};

TBitmap Sheet(int perRow, int w, int h) {
  const int rows = (4 + perRow - 1) / perRow;
  TBitmap sheet = FilledBitmap(perRow * w, rows * h, 0);
  for (int n = 0; n < 4; ++n)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w / 2; ++x)
        sheet.SetPixel((n % perRow) * w + x, (n / perRow) * h + y, kFrameColour[n]);
  return sheet;
}

constexpr std::uint32_t kOutside = 0xFFFFFF00u, kUnder = 0xFF203040u;

// A background that is kUnder only under a button at (left, top) of w x h.
TBitmap Background(int left, int top, int w, int h) {
  TBitmap bg = FilledBitmap(200, 150, kOutside);
  for (int y = top; y < top + h; ++y)
    for (int x = left; x < left + w; ++x) bg.SetPixel(x, y, kUnder);
  return bg;
}

}  // namespace

class ImageButton2Test : public ::testing::Test {
 protected:
  ImageButton2Test() {
    form.SetBounds(0, 0, 200, 150);
    button = new TImageButton2(&form);
    button->SetParent(&form);
    button->SetBounds(30, 20, 62, 52);
    button->FrameWidth = 62;
    button->FrameHeight = 52;
    button->Sheet = Sheet(4, 62, 52);
    button->SetBackground(Background(30, 20, 62, 52));
    button->SetState(0);
    button->OnClick = [this](TObject*) { ++clicks; };
    form.Show();
  }
  TForm form;
  TImageButton2* button;
  int clicks = 0;
};

TEST_F(ImageButton2Test, FrameOriginsFollowReadingOrder) {
  TPoint origin;
  button->Sheet = TBitmap(248, 52);
  ASSERT_TRUE(button->FrameOrigin(3, origin));
  EXPECT_EQ(origin, Point(186, 0));
  button->Sheet = TBitmap(124, 104);
  ASSERT_TRUE(button->FrameOrigin(2, origin));
  EXPECT_EQ(origin, Point(0, 52));
  ASSERT_TRUE(button->FrameOrigin(3, origin));
  EXPECT_EQ(origin, Point(62, 52));
  button->Sheet = TBitmap(62, 208);
  ASSERT_TRUE(button->FrameOrigin(3, origin));
  EXPECT_EQ(origin, Point(0, 156));
  EXPECT_FALSE(button->FrameOrigin(4, origin));
}

TEST_F(ImageButton2Test, ComposesFrameOverTheBackgroundUnderTheButton) {
  for (int perRow : {4, 2, 1}) {
    button->Sheet = Sheet(perRow, 62, 52);
    for (int state = 0; state < 4; ++state) {
      button->SetState(std::uint8_t(state));
      const TBitmap shown = Grab(*button);
      EXPECT_EQ(shown.Pixel(0, 0), kFrameColour[state]) << perRow << " " << state;
      EXPECT_EQ(shown.Pixel(30, 51), kFrameColour[state]);
      EXPECT_EQ(shown.Pixel(31, 0), kUnder);
      EXPECT_EQ(shown.Pixel(61, 51), kUnder);
    }
  }
}

TEST_F(ImageButton2Test, PartlyTransparentFrameBlendsWithTheBackground) {
  button->Sheet = FilledBitmap(248, 52, PremultiplyPixel(0xFFFF0000u, 128, 128));  // half red
  button->SetState(1);
  // R: 127 + 0x20 * 127 / 255 = 142; G: 0x30 * 127 / 255 = 23; B: 0x40 * 127 / 255 = 31.
  EXPECT_EQ(button->Picture().Pixel(5, 5), 0xFF8E171Fu);
}

TEST_F(ImageButton2Test, UnusableSheetShowsOnlyTheBackground) {
  const auto expectBackground = [&] {
    const TBitmap shown = button->Picture();
    EXPECT_EQ(shown.Pixel(0, 0), kUnder);
    EXPECT_EQ(shown.Pixel(61, 51), kUnder);
  };
  button->Sheet = TBitmap();
  button->SetState(2);
  expectBackground();
  button->Sheet = Sheet(1, 40, 52);  // narrower than a frame
  button->SetState(0);
  expectBackground();
  button->Sheet = Sheet(4, 62, 52);
  button->SetState(7);  // no such frame
  expectBackground();
  button->FrameWidth = 0;
  button->SetState(0);
  EXPECT_TRUE(button->Picture().Empty());
}

TEST_F(ImageButton2Test, HoverPressAndClickFollowTheMouse) {
  QTest::mouseMove(button, QPoint(10, 10));
  EXPECT_EQ(button->State(), 1);
  EXPECT_EQ(button->Picture().Pixel(0, 0), kFrameColour[1]);
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(button->State(), 2);
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(clicks, 1);
  // After a release the normal look stays until the mouse moves again.
  EXPECT_EQ(button->State(), 0);
  QTest::mouseMove(button, QPoint(11, 10));
  EXPECT_EQ(button->State(), 1);
}

TEST_F(ImageButton2Test, LeavingWhilePressedShowsNormalAtOnceAndReleasingOutsideDoesNotClick) {
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseMove(button, QPoint(100, 10));
  EXPECT_EQ(button->State(), 0);
  EXPECT_EQ(button->Picture().Pixel(0, 0), kFrameColour[0]);
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(100, 10));
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(button->State(), 0);
}

TEST_F(ImageButton2Test, DisabledStateSwallowsClicksAndIsKeptByTheMouse) {
  int downs = 0;
  button->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
  button->SetState(3);
  QTest::mouseMove(button, QPoint(10, 10));
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseMove(button, QPoint(100, 10));
  EXPECT_EQ(button->State(), 3);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(button->Picture().Pixel(0, 0), kFrameColour[3]);
}

TEST_F(ImageButton2Test, ClickHandlerThatDisablesTheButtonKeepsState3) {
  button->OnClick = [this](TObject*) { button->SetState(3); };
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(button->State(), 3);
}

TEST(ImageButton2Sheet, BitmapSheetWritesItsMaskAndIsPremultiplied) {
  TScratchDir dir;
  TBitmap sheet = FilledBitmap(2, 1, 0xFFFFFFFFu);
  sheet.SetPixel(1, 0, 0x80FFFFFFu);
  sheet.SaveToFile32(dir.File("x.bmp"));
  TImageButton2 button(nullptr);
  button.LoadSheet(dir.File("x.bmp"));
  EXPECT_EQ(button.Sheet.Pixel(0, 0), 0xFFFEFEFEu);
  EXPECT_EQ(button.Sheet.Pixel(1, 0), 0x807F7F7Fu);
  TBitmap mask;
  mask.LoadFromFile(dir.File("x.bmp-alpha.bmp"));
  EXPECT_EQ(mask.Pixel(1, 0) & 0xFFFFFFu, 0x808080u);
}

TEST(ImageButton2Sheet, UnwritableMaskDoesNotStopTheSheet) {
  TScratchDir dir;
  FilledBitmap(2, 1, 0x80FFFFFFu).SaveToFile32(dir.File("x.bmp"));
  // A folder in the mask's place cannot be written over, not even by root.
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dir.File("x.bmp-alpha.bmp"))));
  TImageButton2 button(nullptr);
  EXPECT_NO_THROW(button.LoadSheet(dir.File("x.bmp")));
  EXPECT_EQ(button.Sheet.Pixel(0, 0), 0x807F7F7Fu);
}

TEST(ImageButton2Sheet, PngSheetIsLoadedPremultiplied) {
  TScratchDir dir;
  WriteTestPng(dir.File("s.png"), 6, 1, 1, {{255, 255, 255, 128}});
  TImageButton2 button(nullptr);
  button.LoadSheet(dir.File("s.png"));
  EXPECT_EQ(button.Sheet.Pixel(0, 0), 0x807F7F7Fu);
}
