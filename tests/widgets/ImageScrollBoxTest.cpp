// The image scroll box: the bar fitted to the heights, the content moved by
// arrows, wheel and position, hidden when nothing overflows, kept across resizes.
#include <QtTest/qtestspontaneevent.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QWheelEvent>

#include "Fixtures.h"
#include "platform/Forms.h"
#include "platform/StrUtils.h"
#include "widgets/ImageScrollBar.h"
#include "widgets/ImageScrollBox.h"

namespace {

// One wheel message of the given delta over w, delivered as the window system
// delivers it (Qt passes only those on to the parent when w ignores them).
void Wheel(QWidget* w, int delta) {
  const QPointF local(10, 10);
  QWheelEvent e(local, w->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                Qt::NoScrollPhase, false);
  // sendEvent would clear the spontaneous flag again.
  QSpontaneKeyEvent::setSpontaneous(&e);
  QApplication::instance()->notify(w, &e);
}

}  // namespace

class ImageScrollBoxTest : public ::testing::Test {
 protected:
  ImageScrollBoxTest() {
    form.SetBounds(0, 0, 400, 600);
    box = new TImageScrollBox(&form);
    box->SetParent(&form);
    box->SetBounds(10, 10, 300, 500);
    form.Show();
  }
  // Fills the content as a host does around a rebuild.
  void SetContentHeight(int height) {
    box->LockScrollBar();
    box->ScrollBar()->SetScrollerPos(0);
    box->ContentPanel()->SetHeight(height);
    box->UnlockScrollBar();
    box->UpdateScrollBar();
  }
  TSkinnedFolder skin;
  TForm form;
  TImageScrollBox* box;
};

TEST_F(ImageScrollBoxTest, BarTakesTheRightColumnAndContentTheRest) {
  TImageScrollBar* bar = box->ScrollBar();
  EXPECT_EQ(bar->BoundsRect(),
            Rect(300 - TestSkin::Width, TestSkin::UpHeight, 300, 500 - TestSkin::DownHeight));
  EXPECT_EQ(bar->Color(), clWhite);
  EXPECT_EQ(box->ContentPanel()->BoundsRect(), Rect(0, 0, 300 - TestSkin::Width - 1, 50));
}

TEST_F(ImageScrollBoxTest, TallContentGivesAThirdThumbAnd30PixelSteps) {
  SetContentHeight(1500);
  TImageScrollBar* bar = box->ScrollBar();
  ASSERT_TRUE(bar->Visible());
  EXPECT_TRUE(bar->DownButton()->Visible());
  EXPECT_FLOAT_EQ(bar->ScrollerHeight(), 1.0f / 3);
  EXPECT_FLOAT_EQ(bar->ScrollAmount, 0.03f);
  QTest::mouseClick(bar->DownButton(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(box->ContentPanel()->Top(), -30);
  bar->SetScrollerPos(0.5f);
  EXPECT_EQ(box->ContentPanel()->Top(), -500);
}

TEST_F(ImageScrollBoxTest, EachWheelMessageMoves30PixelsWhateverItsDelta) {
  SetContentHeight(1500);
  Wheel(box, -120);
  EXPECT_EQ(box->ContentPanel()->Top(), -30);
  Wheel(box, -40);
  EXPECT_EQ(box->ContentPanel()->Top(), -60);
  Wheel(box, 0);
  EXPECT_EQ(box->ContentPanel()->Top(), -60);
  Wheel(box, 120);
  Wheel(box, 120);
  Wheel(box, 120);
  EXPECT_EQ(box->ContentPanel()->Top(), 0);
}

TEST_F(ImageScrollBoxTest, WheelOverTheContentScrollsTheBox) {
  SetContentHeight(1500);
  Wheel(box->ContentPanel(), -120);
  EXPECT_EQ(box->ContentPanel()->Top(), -30);
}

TEST_F(ImageScrollBoxTest, ContentThatFitsHidesTheBarAndIgnoresTheWheel) {
  SetContentHeight(1500);
  box->ScrollBar()->SetScrollerPos(1);
  for (int height : {400, 500}) {
    SetContentHeight(height);
    EXPECT_FALSE(box->ScrollBar()->Visible()) << height;
    EXPECT_FALSE(box->ScrollBar()->UpButton()->Visible());
    EXPECT_EQ(box->ContentPanel()->Top(), 0);
    int parentWheels = 0;
    form.OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool&) { ++parentWheels; };
    Wheel(box, -120);
    EXPECT_EQ(box->ContentPanel()->Top(), 0);
    EXPECT_EQ(parentWheels, 0);  // handled by the box even when nothing moves
  }
}

TEST_F(ImageScrollBoxTest, ResizingKeepsTheBottomOfTheContentAtTheBottom) {
  SetContentHeight(1500);
  box->ScrollBar()->SetScrollerPos(1);
  EXPECT_EQ(box->ContentPanel()->Top(), -1000);
  box->SetBounds(10, 10, 250, 400);
  EXPECT_EQ(box->ContentPanel()->Top() + box->ContentPanel()->Height(), 400);
  EXPECT_EQ(box->ContentPanel()->Width(), 250 - TestSkin::Width - 1);
  EXPECT_EQ(box->ScrollBar()->DownButton()->Top(), 400 - TestSkin::DownHeight);
}

TEST_F(ImageScrollBoxTest, AlignedBoxLaysItselfOutWhenTheParentResizes) {
  SetContentHeight(1500);
  box->SetAlign(alClient);
  form.SetBounds(0, 0, 500, 700);
  const int width = box->Width(), height = box->Height();
  ASSERT_GT(height, 500);
  EXPECT_EQ(box->ScrollBar()->Left(), width - TestSkin::Width);
  EXPECT_EQ(box->ScrollBar()->DownButton()->Top() + TestSkin::DownHeight, height);
  EXPECT_EQ(box->ContentPanel()->Width(), width - TestSkin::Width - 1);
  EXPECT_FLOAT_EQ(box->ScrollBar()->ScrollerHeight(), float(height) / 1500);
}

TEST(ImageScrollBoxSkin, MissingSkinIsReportedByName) {
  TScratchDir empty;
  const QString previous = QDir::currentPath();
  QDir::setCurrent(QString::fromStdString(empty.Path()));
  try {
    TImageScrollBox box(nullptr);
    ADD_FAILURE() << "no skin, yet the box was made";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("ScrollUp.jpg"), std::string::npos) << e.what();
  }
  QDir::setCurrent(previous);
}
