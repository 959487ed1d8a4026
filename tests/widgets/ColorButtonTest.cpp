// The owner-drawn colour button: its face, where caption and icon stand when
// pressed, the disabled look, focus marks and the clicks it gives.
#include <gtest/gtest.h>

#include <QTest>

#include "Fixtures.h"
#include "platform/Cp1251.h"
#include "platform/Forms.h"
#include "widgets/ColorButton.h"

namespace {

constexpr TColor kFace = 0x00C0FF;  // orange
constexpr std::uint32_t kInk = 0xFF00FF00u, kIconBack = 0xFFFF00FFu;
constexpr int kW = 140, kH = 40;

// A 12 x 12 icon: magenta around a green 6 x 6 square.
TBitmap Icon() {
  TBitmap icon = FilledBitmap(12, 12, kIconBack);
  for (int y = 3; y < 9; ++y)
    for (int x = 3; x < 9; ++x) icon.SetPixel(x, y, kInk);
  return icon;
}

// The bounding box of the pixels inside the face (2 pixels in) that match.
template <typename Match>
TRect Find(const TBitmap& shown, Match match) {
  TRect box{kW, kH, -1, -1};
  for (int y = 3; y < kH - 3; ++y)
    for (int x = 3; x < kW - 3; ++x) {
      if (!match(shown.Pixel(x, y))) continue;
      box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
             std::max(box.Bottom, y + 1)};
    }
  return box;
}

bool IsText(std::uint32_t p) {
  return ((p >> 16) & 0xFF) < 0x60 && ((p >> 8) & 0xFF) < 0x60 && (p & 0xFF) < 0x60;
}
bool IsInk(std::uint32_t p) {
  return p == kInk;
}

}  // namespace

class ColorButtonTest : public ::testing::Test {
 protected:
  ColorButtonTest() {
    form.SetBounds(0, 0, 300, 200);
    other = new TColorButton(&form);
    other->SetParent(&form);
    other->SetBounds(10, 100, 60, 30);
    button = new TColorButton(&form);
    button->SetParent(&form);
    button->SetBounds(10, 10, kW, kH);
    button->SetColor(kFace);
    TFont font;
    font.SetSize(12);
    button->SetFont(font);
    button->SetCaption("Далее"_cp);
    button->OnClick = [this](TObject*) { ++clicks; };
    form.Show();
    QApplication::setActiveWindow(&form);
    other->SetFocus();
  }
  TForm form;
  TColorButton* button;
  TColorButton* other;
  int clicks = 0;
};

TEST_F(ColorButtonTest, RaisedFrameAroundAFaceOfTheChosenColour) {
  ASSERT_FALSE(button->Focused());
  const TBitmap shown = Grab(*button);
  EXPECT_EQ(shown.Pixel(0, 0), ColorToPixel(clBtnHighlight));
  EXPECT_EQ(shown.Pixel(kW - 1, kH - 1), 0xFF696969u);
  EXPECT_EQ(shown.Pixel(kW - 2, kH - 2), ColorToPixel(clBtnShadow));
  EXPECT_EQ(shown.Pixel(2, 2), ColorToPixel(kFace));
  EXPECT_EQ(shown.Pixel(kW - 3, kH - 3), ColorToPixel(kFace));
}

TEST_F(ColorButtonTest, PressingMovesALoneCaptionByOnePixel) {
  const TRect up = Find(Grab(*button), IsText);
  ASSERT_LT(up.Left, up.Right);
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 20));
  const TBitmap pressed = Grab(*button);
  EXPECT_EQ(Find(pressed, IsText), up.Offset(1, 1));
  // Sunken: the focus outline, then the shadow-coloured rectangle inside it.
  EXPECT_EQ(pressed.Pixel(0, 0), ColorToPixel(clWindowFrame));
  EXPECT_EQ(pressed.Pixel(1, 1), ColorToPixel(clBtnShadow));
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_EQ(clicks, 1);
}

TEST_F(ColorButtonTest, PressingLeavesCaptionAndIconInPlace) {
  button->SetIcon(Icon());
  const TBitmap before = Grab(*button);
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 20));
  const TBitmap pressed = Grab(*button);
  EXPECT_EQ(Find(pressed, IsInk), Find(before, IsInk));
  EXPECT_EQ(Find(pressed, IsText), Find(before, IsText));
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 20));
}

TEST_F(ColorButtonTest, IconStandsLeftOrRightOfTheCaption) {
  button->SetIcon(Icon());
  TBitmap shown = Grab(*button);
  TRect ink = Find(shown, IsInk), text = Find(shown, IsText);
  EXPECT_EQ(ink.Width(), 6);
  EXPECT_LE(ink.Right + 3, text.Left);  // the icon's own margin lies between
  const int iconLeftOfCaption = ink.Left - 3;

  button->SetIconLeft(false);
  shown = Grab(*button);
  ink = Find(shown, IsInk);
  text = Find(shown, IsText);
  EXPECT_GE(ink.Left - 3, text.Right - 1);  // right after the caption's width
  EXPECT_LE(ink.Left - 3, text.Right + 3);
  // Caption and icon together stay centred: the caption takes the icon's old
  // place (its ink starts after the glyph's side bearing).
  EXPECT_NEAR(text.Left, iconLeftOfCaption, 2);
}

TEST_F(ColorButtonTest, DisabledButtonEmbossesCaptionAndIcon) {
  button->SetIcon(Icon());
  button->SetEnabled(false);
  const TBitmap shown = Grab(*button);
  EXPECT_EQ(Find(shown, IsInk).Right, -1);
  const TRect shadow = Find(shown, [](std::uint32_t p) { return p == ColorToPixel(clBtnShadow); });
  ASSERT_LT(shadow.Left, shadow.Right);
  // The icon's square as shadow, its highlight one pixel lower right, and its
  // magenta surround left out (the face shows through).
  const TRect square = Find(shown, [&](std::uint32_t p) { return p == ColorToPixel(clBtnShadow); });
  const int ix = square.Left, iy = square.Top;
  EXPECT_EQ(shown.Pixel(ix + 6, iy + 6), ColorToPixel(clBtnHighlight));
  EXPECT_EQ(shown.Pixel(ix - 1, iy - 1), ColorToPixel(kFace));
  EXPECT_EQ(Find(shown, [](std::uint32_t p) { return p == kIconBack; }).Right, -1);
  EXPECT_EQ(Find(shown, [](std::uint32_t p) { return p == 0xFF000000u; }).Right, -1);
}

TEST_F(ColorButtonTest, FocusRectangleOnlyWhenFocusedAndActive) {
  button->SetFocus();
  ASSERT_TRUE(button->Focused());
  ASSERT_TRUE(button->IsDefault());
  const auto focusDots = [&] {
    const TBitmap shown = Grab(*button);
    int dots = 0;
    for (int x = 4; x < kW - 4; ++x) dots += shown.Pixel(x, 4) != ColorToPixel(kFace);
    return std::pair{dots, shown.Pixel(0, 0)};
  };
  auto [dots, corner] = focusDots();
  EXPECT_GT(dots, kW / 3);
  EXPECT_EQ(corner, ColorToPixel(clWindowFrame));
  button->SetButtonStyle(false);
  std::tie(dots, corner) = focusDots();
  EXPECT_EQ(dots, 0);
  EXPECT_EQ(corner, ColorToPixel(clWindowFrame));
  other->SetFocus();
  EXPECT_FALSE(button->IsDefault());
}

TEST_F(ColorButtonTest, ClicksFromMouseAndKeyboard) {
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 20));
  QTest::mouseMove(button, QPoint(200, 20));
  EXPECT_FALSE(button->DrawState() & odSelected);  // off the button it rises again
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(200, 20));
  EXPECT_EQ(clicks, 0);
  // A double click arrives as press, release, double-click press, release.
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(20, 20));
  QTest::mouseDClick(button, Qt::LeftButton, {}, QPoint(20, 20));
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_EQ(clicks, 2);  // the second press of a double click clicks too
  button->SetFocus();
  QTest::keyClick(button, Qt::Key_Space);
  EXPECT_EQ(clicks, 3);
}
