// Picture buttons in exercise text: the frame each state shows over the page,
// the mouse and keys that change it, the click hook, and the arrow buttons.
#include <gtest/gtest.h>

#include <QTest>

#include "MarkFixtures.h"
#include "exercise/RLButton.h"
#include "exercise/RLParagraphManager.h"
#include "exercise/TagTable.h"
#include "platform/Canvas.h"
#include "widgets/AlphaBitmap.h"

namespace {

// Frame f of a sheet blended over the page's paper: what a button of that
// sheet must show, computed from the sheet file alone.
TBitmap ExpectedFrame(const std::string& sheetFile, int frameWidth, int frameHeight, int frame) {
  const std::unique_ptr<TBitmap> sheet = LoadAlphaBitmap(sheetFile, true);
  TBitmap out(frameWidth, frameHeight);
  out.Canvas().Brush.Color = PageColor;
  out.Canvas().FillRect(Rect(0, 0, frameWidth, frameHeight));
  const int perRow = sheet->Width() / frameWidth;
  AlphaBlend(out, Rect(0, 0, frameWidth, frameHeight), *sheet,
             Bounds((frame % perRow) * frameWidth, (frame / perRow) * frameHeight, frameWidth, frameHeight));
  return out;
}

// Shows the page with the pointer in an empty corner of the window. The first
// move after showing only enters the window, so the pointer moves twice.
bool ShowWithPointerAway(MarkPage& page) {
  if (!page.Show()) return false;
  const QPoint corner(page.Window().Width() - 2, page.Window().Height() - 2);
  QTest::mouseMove(&page.Window(), corner - QPoint(1, 1));
  QTest::mouseMove(&page.Window(), corner);
  return true;
}

bool SamePixels(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if ((a.Pixel(x, y) & 0xFFFFFF) != (b.Pixel(x, y) & 0xFFFFFF)) return false;
  return true;
}

class ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterTag("button", &CreateControl<TRLButton>); }

  TRLButton* Button(const std::string& markup) { return page_.ParseOne<TRLButton>(markup); }
  bool Shows(TRLButton& button, int frame) {
    return SamePixels(Painted(button), ExpectedFrame(ArtworkScope::Imgs("del_03.png"), button.FrameWidth,
                                                     button.FrameHeight, frame));
  }

  MarkPage page_;
};

}  // namespace

TEST_F(ButtonTest, TakesTheSizeOfOneFrameOfItsFourFrameStrip) {
  TRLButton* button = Button("Далее <button caption=\"Я готов\">"_cp);
  ASSERT_NE(button, nullptr);
  const std::unique_ptr<TBitmap> sheet = LoadAlphaBitmap(ArtworkScope::Imgs("del_03.png"), true);
  EXPECT_EQ(button->FrameWidth, sheet->Width());
  EXPECT_EQ(button->FrameHeight, sheet->Height() / 4);
  EXPECT_EQ(button->Width(), button->FrameWidth);
  EXPECT_EQ(button->Height(), button->FrameHeight);
  EXPECT_EQ(button->Caption(), "Я готов"_cp);
  EXPECT_EQ(button->State(), TRLButton::bsNormal);
  EXPECT_TRUE(Shows(*button, 0));
  // The three frames in use must look different, or no state could be seen.
  EXPECT_FALSE(Shows(*button, 1));
  EXPECT_FALSE(Shows(*button, 2));
}

TEST_F(ButtonTest, CaptionIsNeverDrawn) {
  TRLButton* plain = Button("<button>");
  const TBitmap without = Painted(*plain);
  FreeChildren(&page_.Parser());
  TRLButton* captioned = Button("<button caption=\"Проверить себя\">"_cp);
  EXPECT_TRUE(SamePixels(without, Painted(*captioned)));
}

TEST_F(ButtonTest, NeverScores) {
  page_.Parse<TRLControl>("<answer right=0> <button>");
  TRLParser& parser = page_.Parser();
  parser.Check();
  EXPECT_EQ(parser.Score, 0);
  EXPECT_EQ(parser.MaxScore, 1);
  parser.CheckOnlyScore();
  EXPECT_EQ(parser.MaxScore, 1);
}

TEST_F(ButtonTest, MouseMovesTheStatesAndClicksOnRelease) {
  TRLButton* button = Button("<button>");
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  ASSERT_TRUE(ShowWithPointerAway(page_));
  QTest::mouseMove(button, QPoint(10, 10));
  EXPECT_EQ(button->State(), TRLButton::bsHot);
  EXPECT_TRUE(Shows(*button, 1));
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(button->State(), TRLButton::bsPressed);
  EXPECT_TRUE(Shows(*button, 2));
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(clicks, 1);
  // Released under the pointer: normal until the pointer moves again.
  EXPECT_EQ(button->State(), TRLButton::bsNormal);
  EXPECT_TRUE(Shows(*button, 0));
  QTest::mouseMove(button, QPoint(11, 10));
  EXPECT_EQ(button->State(), TRLButton::bsHot);
  // A hot or pressed button stays so while the pointer moves over it.
  QTest::mousePress(button, Qt::RightButton, {}, QPoint(11, 10));
  QTest::mouseMove(button, QPoint(12, 11));
  EXPECT_EQ(button->State(), TRLButton::bsPressed);
  QTest::mouseRelease(button, Qt::RightButton, {}, QPoint(12, 11));
  EXPECT_EQ(clicks, 1);  // only the left button clicks
  // A button outside a memory passage stays on screen after its click.
  EXPECT_TRUE(button->Visible());
}

TEST_F(ButtonTest, PointerLeavingShowsTheNormalFrame) {
  TRLButton* button = Button("<button>");
  ASSERT_TRUE(ShowWithPointerAway(page_));
  QTest::mouseMove(button, QPoint(10, 10));
  ASSERT_EQ(button->State(), TRLButton::bsHot);
  QTest::mouseMove(&page_.Window(), QPoint(page_.Window().Width() - 5, 390));
  EXPECT_EQ(button->State(), TRLButton::bsNormal);
}

TEST_F(ButtonTest, ReturnAndSpacePressAFocusedButton) {
  TRLButton* button = Button("<answer> <button> <answer>");
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  ASSERT_TRUE(ShowWithPointerAway(page_));
  button->SetFocus();
  ASSERT_TRUE(button->Focused());
  QTest::keyClick(button, Qt::Key_Return);
  QTest::keyClick(button, Qt::Key_Space);
  EXPECT_EQ(clicks, 2);
  // The arrows still walk the page.
  QTest::keyClick(button, Qt::Key_Right);
  EXPECT_FALSE(button->Focused());
}

TEST_F(ButtonTest, ResetShowsAHiddenButtonInItsNormalState) {
  TRLButton* button = Button("<button>");
  ASSERT_TRUE(ShowWithPointerAway(page_));
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
  button->Hide();
  page_.Parser().Reset();
  EXPECT_TRUE(button->Visible());
  EXPECT_EQ(button->State(), TRLButton::bsNormal);
}

TEST_F(ButtonTest, ClickHandlerMayFreeTheButton) {
  TRLButton* button = Button("<button>");
  QPointer<TRLButton> watch(button);
  button->OnClick = [button](TObject*) { button->Release(); };
  ASSERT_TRUE(ShowWithPointerAway(page_));
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(watch.isNull());
}

TEST_F(ButtonTest, SheetWithoutAWholeFrameDrawsOnlyTheBackground) {
  TRLButton* button = Button("<button>");
  button->FrameWidth = button->Sheet.Width() + 1;
  const TBitmap painted = Painted(*button);
  EXPECT_EQ(CountWhere(painted, Rect(0, 0, painted.Width(), painted.Height()), IsPaper),
            painted.Width() * painted.Height());
  button->FrameWidth = 0;
  EXPECT_NO_THROW(Painted(*button));
}

TEST(ButtonPicture, MissingSheetFailsWithTheFileName) {
  QTemporaryDir empty;
  const QString saved = QDir::currentPath();
  QDir::setCurrent(empty.path());
  const std::string message = ExceptionMessage([] { std::unique_ptr<TRLButton>(new TRLButton(nullptr)); });
  QDir::setCurrent(saved);
  EXPECT_NE(message.find("del_03.png"), std::string::npos) << message;
}

// ----- arrows

namespace {

class ArrowTest : public ::testing::Test {
 protected:
  TRLPaintButton* Arrow(bool up) {
    auto* arrow = new TRLPaintButton(&page_.Parser());
    arrow->SetParent(&page_.Parser());
    arrow->SetArrow(up);
    return arrow;
  }
  bool Shows(TRLPaintButton& arrow, const std::string& file, int frame) {
    return SamePixels(Painted(arrow), ExpectedFrame(ArtworkScope::Imgs(file), 29, 14, frame));
  }

  MarkPage page_;
};

}  // namespace

TEST_F(ArrowTest, UpAndDownArrowsAreSmallFramesOfTheirOwnPictures) {
  page_.Parse<TRLControl>("");
  TRLPaintButton* up = Arrow(true);
  TRLPaintButton* down = Arrow(false);
  EXPECT_EQ(up->Width(), 29);
  EXPECT_EQ(up->Height(), 14);
  EXPECT_TRUE(Shows(*up, "updown_01.png", 0));
  EXPECT_TRUE(Shows(*down, "updown_02.png", 0));
  EXPECT_FALSE(Shows(*up, "updown_01.png", 2));
}

TEST_F(ArrowTest, HotAndPressedShowTheThirdFrame) {
  page_.Parse<TRLControl>("<answer h=40>");  // room in the page for the arrow
  TRLPaintButton* up = Arrow(true);
  up->SetBounds(100, 20, 29, 14);
  ASSERT_TRUE(ShowWithPointerAway(page_));
  QTest::mouseMove(up, QPoint(5, 5));
  EXPECT_EQ(up->Frame(), TRLPaintButton::afHot);
  EXPECT_TRUE(Shows(*up, "updown_01.png", 2));
  QTest::mousePress(up, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(up->Frame(), TRLPaintButton::afHot);
  QTest::mouseRelease(up, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(up->Frame(), TRLPaintButton::afActive);
  // A new arrow picture starts in the normal state.
  QTest::mousePress(up, Qt::LeftButton, {}, QPoint(5, 5));
  up->SetArrow(false);
  EXPECT_EQ(up->State(), TRLButton::bsNormal);
}

TEST_F(ArrowTest, InAParagraphTheNormalFrameFollowsTheParagraphsFocus) {
  auto* manager = page_.ParseOne<TRLParagraphManager>(
      "<parmanager <paragraph 2 Второй абзац.> <paragraph 1 Первый абзац.>>"_cp);
  ASSERT_NE(manager, nullptr);
  ASSERT_TRUE(ShowWithPointerAway(page_));
  const std::vector<TRLParagraph*> paragraphs = manager->Paragraphs();
  ASSERT_EQ(paragraphs.size(), 2u);
  TRLParagraph* first = paragraphs[0];
  TRLParagraph* second = paragraphs[1];
  first->SetFocus();
  ASSERT_TRUE(first->Focused());
  EXPECT_EQ(first->UpButton()->Frame(), TRLPaintButton::afActive);
  EXPECT_TRUE(Shows(*first->DownButton(), "updown_02.png", 0));
  EXPECT_EQ(second->UpButton()->Frame(), TRLPaintButton::afInactive);
  EXPECT_TRUE(Shows(*second->UpButton(), "updown_01.png", 1));
  // Hot wins over the focus.
  QTest::mouseMove(second->UpButton(), QPoint(5, 5));
  EXPECT_EQ(second->UpButton()->Frame(), TRLPaintButton::afHot);
}
