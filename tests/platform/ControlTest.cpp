// Controls: synchronous geometry with Align and Anchors on hidden parents,
// owner versus parent, z-order of windowless controls, colour and font
// inheritance, painting through a bitmap, and the mouse steps.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QWheelEvent>
#include <vector>

#include "platform/Canvas.h"
#include "platform/Forms.h"
#include "tests/platform/ControlFixtures.h"

namespace {

// Counts the Resize step and the size it saw inside it.
class ResizeProbe : public TWinControl {
 public:
  using TWinControl::TWinControl;
  int resizes = 0;
  QSize seen;

 protected:
  void Resize() override {
    ++resizes;
    seen = QSize(Width(), Height());
    TWinControl::Resize();
  }
};

TPanel* NewChild(TWinControl* parent, TAlign align, int width, int height) {
  auto* child = new TPanel(parent);
  child->SetParent(parent);
  child->SetBounds(0, 0, width, height);
  child->SetAlign(align);
  return child;
}

}  // namespace

// ----- geometry

TEST(ControlGeometryTest, AlignmentOnAHiddenParentIsImmediate) {
  TPanel parent(nullptr);
  parent.SetBounds(0, 0, 300, 200);
  TPanel* top = NewChild(&parent, alTop, 10, 40);
  TPanel* client = NewChild(&parent, alClient, 10, 10);
  ASSERT_FALSE(parent.isVisible());
  EXPECT_EQ(top->BoundsRect(), Bounds(0, 0, 300, 40));
  EXPECT_EQ(client->BoundsRect(), Bounds(0, 40, 300, 160));

  parent.SetBounds(0, 0, 400, 500);
  EXPECT_EQ(top->BoundsRect(), Bounds(0, 0, 400, 40));
  EXPECT_EQ(client->BoundsRect(), Bounds(0, 40, 400, 460));
}

TEST(ControlGeometryTest, AlignsTopBottomLeftRightThenClient) {
  TPanel parent(nullptr);
  parent.SetBounds(0, 0, 300, 200);
  // Created in the reverse order: the order of the kinds decides, not creation.
  TPanel* client = NewChild(&parent, alClient, 1, 1);
  TPanel* right = NewChild(&parent, alRight, 60, 1);
  TPanel* left = NewChild(&parent, alLeft, 50, 1);
  TPanel* bottom = NewChild(&parent, alBottom, 1, 30);
  TPanel* top = NewChild(&parent, alTop, 1, 40);
  EXPECT_EQ(top->BoundsRect(), Bounds(0, 0, 300, 40));
  EXPECT_EQ(bottom->BoundsRect(), Bounds(0, 170, 300, 30));
  EXPECT_EQ(left->BoundsRect(), Bounds(0, 40, 50, 130));
  EXPECT_EQ(right->BoundsRect(), Bounds(240, 40, 60, 130));
  EXPECT_EQ(client->BoundsRect(), Bounds(50, 40, 190, 130));
}

TEST(ControlGeometryTest, StackedTopControlsKeepTheirOrderAndReactToChanges) {
  TPanel parent(nullptr);
  parent.SetBounds(0, 0, 100, 100);
  TPanel* first = NewChild(&parent, alTop, 1, 10);
  TPanel* second = NewChild(&parent, alTop, 1, 20);
  TPanel* client = NewChild(&parent, alClient, 1, 1);
  EXPECT_EQ(second->Top(), 10);
  EXPECT_EQ(client->BoundsRect(), Bounds(0, 30, 100, 70));

  first->SetHeight(25);  // a taller top band pushes the rest down at once
  EXPECT_EQ(second->Top(), 25);
  EXPECT_EQ(client->BoundsRect(), Bounds(0, 45, 100, 55));

  first->Hide();  // a hidden band leaves its room
  EXPECT_EQ(second->Top(), 0);
  EXPECT_EQ(client->BoundsRect(), Bounds(0, 20, 100, 80));
}

TEST(ControlGeometryTest, DisabledAlignmentWaitsForTheOutermostEnable) {
  TPanel parent(nullptr);
  parent.SetBounds(0, 0, 100, 100);
  TPanel* first = NewChild(&parent, alNone, 1, 10);
  TPanel* second = NewChild(&parent, alNone, 1, 20);
  second->SetTop(50);
  parent.DisableAlign();
  parent.DisableAlign();
  first->SetAlign(alTop);
  second->SetAlign(alTop);
  EXPECT_EQ(first->Width(), 1) << "laid out while held back";
  parent.EnableAlign();
  EXPECT_EQ(second->Top(), 50) << "laid out before the outermost enable";
  parent.EnableAlign();
  EXPECT_EQ(first->BoundsRect(), Bounds(0, 0, 100, 10));
  EXPECT_EQ(second->BoundsRect(), Bounds(0, 10, 100, 20));
  first->SetHeight(15);  // and at once again afterwards
  EXPECT_EQ(second->Top(), 15);
}

TEST(ControlGeometryTest, NestedClientControlsFollowTheOuterSize) {
  TPanel outer(nullptr);
  TPanel* middle = NewChild(&outer, alClient, 1, 1);
  TPanel* inner = NewChild(middle, alClient, 1, 1);
  outer.SetBounds(0, 0, 640, 480);
  EXPECT_EQ(inner->Width(), 640);
  EXPECT_EQ(inner->Height(), 480);
}

TEST(ControlGeometryTest, ResizeRunsInsideSetBoundsWithTheNewSize) {
  TPanel parent(nullptr);
  auto* probe = new ResizeProbe(&parent);
  probe->SetParent(&parent);
  int onResize = 0;
  probe->OnResize = [&](TObject* sender) {
    EXPECT_EQ(sender, probe);
    ++onResize;
  };
  probe->SetBounds(5, 5, 120, 80);
  EXPECT_EQ(probe->resizes, 1);
  EXPECT_EQ(onResize, 1);
  EXPECT_EQ(probe->seen, QSize(120, 80));

  probe->SetBounds(50, 60, 120, 80);  // a move alone is no resize
  EXPECT_EQ(probe->resizes, 1);
  EXPECT_EQ(probe->Left(), 50);

  probe->SetAlign(alClient);
  parent.SetBounds(0, 0, 300, 200);
  EXPECT_EQ(probe->seen, QSize(300, 200));
}

TEST(ControlGeometryTest, AnchorsKeepTheDistancesToTheParentsEdges) {
  TPanel parent(nullptr);
  parent.SetBounds(0, 0, 300, 200);
  auto* corner = new TPanel(&parent);
  corner->SetParent(&parent);
  corner->SetBounds(250, 150, 40, 30);
  corner->SetAnchors(akRight | akBottom);
  auto* band = new TPanel(&parent);
  band->SetParent(&parent);
  band->SetBounds(10, 10, 280, 20);
  band->SetAnchors(akLeft | akTop | akRight);
  auto* fixed = new TPanel(&parent);
  fixed->SetParent(&parent);
  fixed->SetBounds(10, 50, 20, 20);

  parent.SetBounds(0, 0, 400, 300);
  EXPECT_EQ(corner->BoundsRect(), Bounds(350, 250, 40, 30));
  EXPECT_EQ(band->BoundsRect(), Bounds(10, 10, 380, 20));
  EXPECT_EQ(fixed->BoundsRect(), Bounds(10, 50, 20, 20));

  // Moving the control later anchors it where it is now.
  corner->SetBounds(300, 200, 40, 30);
  parent.SetBounds(0, 0, 500, 300);
  EXPECT_EQ(corner->BoundsRect(), Bounds(400, 200, 40, 30));
}

TEST(ControlGeometryTest, VisibleIsTheControlsOwnFlag) {
  class Probe : public TPanel {
   public:
    using TPanel::TPanel;
    std::vector<bool> seen;  // Visible() as VisibleChanging saw it

   protected:
    void VisibleChanging() override { seen.push_back(Visible()); }
  };
  TPanel parent(nullptr);
  auto* child = new Probe(&parent);
  EXPECT_TRUE(child->Visible());  // visible by default, even without a parent
  child->SetParent(&parent);
  EXPECT_TRUE(child->Visible());
  EXPECT_FALSE(child->Showing());  // the parent is not on screen
  child->Hide();
  child->Hide();
  EXPECT_FALSE(child->Visible());
  EXPECT_EQ(child->seen, std::vector<bool>{true});
}

// ----- owner and parent

TEST(ControlOwnershipTest, TheOwnerFreesControlsShownElsewhere) {
  auto* owner = new TPanel(nullptr);
  auto* host = new TPanel(nullptr);
  QPointer<TPanel> control = new TPanel(owner);
  control->SetParent(host);
  ASSERT_EQ(host->ControlCount(), 1);
  delete owner;
  EXPECT_TRUE(control.isNull());
  EXPECT_EQ(host->ControlCount(), 0);
  delete host;
}

TEST(ControlOwnershipTest, AParentFreedFirstTakesTheControlAlong) {
  auto* owner = new TPanel(nullptr);
  auto* host = new TPanel(nullptr);
  QPointer<TPanel> control = new TPanel(owner);
  control->SetParent(host);
  delete host;
  EXPECT_TRUE(control.isNull());
  delete owner;  // must not free the control a second time
}

TEST(ControlOwnershipTest, AnyQObjectCanOwnAControl) {
  auto* owner = new QObject;
  QPointer<TLabel> label = new TLabel(owner);
  delete owner;
  EXPECT_TRUE(label.isNull());
}

TEST(ControlOwnershipTest, ControlsAreListedInTheOrderTheyJoined) {
  TForm form;
  TPanel parent(nullptr);
  auto* a = new TPanel(&parent);
  auto* b = new TLabel(&parent);
  auto* c = new TPanel(&parent);
  c->SetParent(&parent);
  a->SetParent(&parent);
  b->SetParent(&parent);
  a->BringToFront();  // stacking does not change the list
  ASSERT_EQ(parent.ControlCount(), 3);
  EXPECT_EQ(parent.Controls(0), c);
  EXPECT_EQ(parent.Controls(1), a);
  EXPECT_EQ(parent.Controls(2), b);
  b->SetParent(nullptr);
  EXPECT_EQ(parent.ControlCount(), 2);
  EXPECT_EQ(GetParentForm(a), nullptr);
  parent.SetParent(&form);
  EXPECT_EQ(GetParentForm(a), &form);
  EXPECT_THROW(c->SetParent(c), Exception);
}

// ----- colour and font

TEST(ControlAppearanceTest, ColourAndFontComeFromTheParentUntilSet) {
  TPanel parent(nullptr);
  parent.SetColor(0x123456);
  TFont big;
  big.SetHeight(-30);
  parent.SetFont(big);
  auto* child = new TLabel(&parent);
  child->SetParent(&parent);
  EXPECT_EQ(child->Color(), 0x123456);
  EXPECT_EQ(child->Font().Height(), -30);

  parent.SetColor(0x654321);
  EXPECT_EQ(child->Color(), 0x654321);
  child->SetColor(clRed);
  parent.SetColor(clBlue);
  EXPECT_EQ(child->Color(), clRed);
  EXPECT_FALSE(child->ParentColor());
}

TEST(ControlAppearanceTest, AnAutoSizedLabelFollowsItsParentsFont) {
  TPanel parent(nullptr);
  auto* label = new TLabel(&parent);
  label->SetParent(&parent);
  label->SetCaption("Привет"_cp);
  const QSize small(label->Width(), label->Height());
  TFont big = parent.Font();
  big.SetHeight(-40);
  parent.SetFont(big);
  EXPECT_GT(label->Width(), small.width());
  EXPECT_GT(label->Height(), small.height());
  EXPECT_EQ(label->Height(), big.Metrics().height());
}

TEST(ControlAppearanceTest, AWrappedLabelUnderlinesNoBlankAtTheBreak) {
  // An underlined contents line that wraps: its first line must look like
  // the words alone, with no underline under the blank where it broke.
  TPanel parent(nullptr);
  TFont font = parent.Font();
  font.SetHeight(-20);
  font.Style = fsUnderline;
  parent.SetFont(font);
  auto* word = new TLabel(&parent);
  word->SetParent(&parent);
  word->SetCaption("Исправление"_cp);
  const int width = word->Width() + 20;  // room for the blank, not for the next word
  word->SetAutoSize(false);
  word->SetWidth(width);
  auto* wrapped = new TLabel(&parent);
  wrapped->SetParent(&parent);
  wrapped->SetWidth(width);
  wrapped->SetWordWrap(true);
  wrapped->SetCaption("Исправление ошибок"_cp);
  const int lineHeight = font.Metrics().height();
  ASSERT_EQ(wrapped->Height(), 2 * lineHeight);
  const QImage alone = word->grab().toImage(), first = wrapped->grab().toImage().copy(0, 0, width, lineHeight);
  EXPECT_EQ(first, alone.copy(0, 0, width, lineHeight));
}

// ----- z-order and painting

namespace {

class ZOrderTest : public ShownFormTest {};

// Paints a red square at (2, 2)-(6, 6) through the canvas.
class SquarePainter : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;

 protected:
  void Paint() override {
    Canvas().Brush.Color = clRed;
    Canvas().FillRect(Rect(2, 2, 6, 6));
  }
};

}  // namespace

TEST_F(ZOrderTest, AWindowlessControlStaysBelowWindowedSiblings) {
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  panel->SetBevelOuter(bvNone);
  panel->SetBounds(10, 10, 50, 50);
  panel->SetColor(clRed);
  auto* label = new TLabel(&form);  // created after the panel, over it
  label->SetParent(&form);
  label->SetAutoSize(false);
  label->SetBounds(30, 30, 50, 50);
  label->SetColor(clBlue);
  label->BringToFront();
  EXPECT_EQ(PixelAt(40, 40), clRed);  // the overlap shows the panel
  EXPECT_EQ(PixelAt(70, 70), clBlue);

  panel->SendToBack();  // still above every windowless control
  EXPECT_EQ(PixelAt(40, 40), clRed);

  // Windowless controls that join later go above the earlier ones and below
  // every windowed control, however many there are.
  std::vector<TLabel*> labels;
  for (int i = 0; i < 300; ++i) {
    labels.push_back(new TLabel(&form));
    labels.back()->SetParent(&form);
  }
  auto* top = new TPanel(&form);
  top->SetParent(&form);
  auto* last = new TLabel(&form);
  last->SetParent(&form);
  const QObjectList order = form.children();
  const auto at = [&](const QObject* o) { return order.indexOf(o); };
  EXPECT_LT(at(label), at(labels.front()));
  for (std::size_t i = 1; i < labels.size(); ++i) ASSERT_LT(at(labels[i - 1]), at(labels[i]));
  EXPECT_LT(at(labels.back()), at(last));
  EXPECT_LT(at(last), at(panel));
  EXPECT_LT(at(panel), at(top));
}

TEST_F(ZOrderTest, PaintDrawsThroughABitmapFilledWithTheColour) {
  auto* control = new SquarePainter(&form);
  control->SetParent(&form);
  control->SetBounds(20, 20, 10, 10);
  control->SetColor(clGreen);
  EXPECT_EQ(PixelAt(22, 22), clRed);
  EXPECT_EQ(PixelAt(25, 25), clRed);
  EXPECT_EQ(PixelAt(26, 26), clGreen);  // the right/bottom edge is outside the square
  EXPECT_EQ(PixelAt(20, 29), clGreen);
  EXPECT_EQ(PixelAt(30, 30), clWhite);  // the form around it
}

TEST_F(ZOrderTest, TheCanvasExistsOnlyWhilePainting) {
  class Peek : public TCustomControl {
   public:
    using TCustomControl::TCustomControl;
    void TryCanvas() { Canvas(); }
  } control(nullptr);
  EXPECT_THROW(control.TryCanvas(), Exception);
}

// ----- mouse

namespace {

class MouseProbe : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::vector<std::string> steps;

 protected:
  void Click() override {
    steps.push_back("click");
    TWinControl::Click();
  }
  void DblClick() override { steps.push_back("dblclick"); }
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
    steps.push_back(
        Format("down %d %d,%d%s", static_cast<int>(button), x, y, shift & ssDouble ? " double" : ""));
  }
  void MouseUp(TMouseButton button, TShiftState, int x, int y) override {
    steps.push_back(Format("up %d %d,%d", static_cast<int>(button), x, y));
  }
  void MouseEnter() override { steps.push_back("enter"); }
  void MouseLeave() override { steps.push_back("leave"); }
};

class MouseTest : public ShownFormTest {
 protected:
  void SetUp() override {
    ShownFormTest::SetUp();
    probe = new MouseProbe(&form);
    probe->SetParent(&form);
    probe->SetBounds(50, 50, 40, 40);
  }
  MouseProbe* probe = nullptr;
};

}  // namespace

TEST_F(MouseTest, ClickComesBeforeMouseUp) {
  QTest::mouseClick(probe, Qt::LeftButton, {}, QPoint(5, 6));
  EXPECT_EQ(probe->steps, (std::vector<std::string>{"down 0 5,6", "click", "up 0 5,6"}));
}

TEST_F(MouseTest, ReleasingOutsideOrWithAnotherButtonDoesNotClick) {
  QTest::mousePress(probe, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(probe, Qt::LeftButton, {}, QPoint(60, 5));
  QTest::mouseClick(probe, Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_EQ(probe->steps, (std::vector<std::string>{"down 0 5,5", "up 0 60,5", "down 1 5,5", "up 1 5,5"}));
}

TEST_F(MouseTest, ADoubleClickClicksOnceAndThenDoubleClicks) {
  // A double click as the window system sends it: press, release, double-click press, release.
  QTest::mouseClick(probe, Qt::LeftButton, {}, QPoint(3, 3));
  QTest::mouseDClick(probe, Qt::LeftButton, {}, QPoint(3, 3));
  QTest::mouseRelease(probe, Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_EQ(probe->steps, (std::vector<std::string>{"down 0 3,3", "click", "up 0 3,3", "dblclick",
                                                    "down 0 3,3 double", "up 0 3,3"}));
}

TEST_F(MouseTest, MovesReportEnterAndLeave) {
  QTest::mouseMove(probe, QPoint(5, 5));
  QTest::mouseMove(&form, QPoint(200, 200));
  EXPECT_EQ(probe->steps, (std::vector<std::string>{"enter", "leave"}));
}

TEST_F(MouseTest, ClicksDoNotTakeTheFocus) {
  probe->SetTabStop(true);
  QTest::mouseClick(probe, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(probe->Focused());
}

TEST_F(MouseTest, AControlCanReleaseItselfFromItsClickHandler) {
  QPointer<TLabel> label = new TLabel(&form);
  label->SetParent(&form);
  label->SetCaption("Закрыть"_cp);
  label->SetBounds(150, 150, 60, 20);
  label->OnClick = [&](TObject*) { label->Release(); };
  QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
  ASSERT_FALSE(label.isNull());
  EXPECT_FALSE(label->Visible());
  EXPECT_EQ(label->Parent(), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(label.isNull());
}

// ----- pictures and text

namespace {

class PictureTest : public ShownFormTest {
 protected:
  TImage* NewImage(const TBitmap& picture, int left, int top, int width, int height) {
    auto* image = new TImage(&form);
    image->SetParent(&form);
    image->SetBounds(left, top, width, height);
    image->SetPicture(picture);
    return image;
  }
};

TBitmap TwoColours() {
  TBitmap bitmap(2, 1);
  bitmap.SetPixel(0, 0, ColorToPixel(clRed));
  bitmap.SetPixel(1, 0, ColorToPixel(clBlue));
  return bitmap;
}

}  // namespace

TEST_F(PictureTest, AnImageShowsItsPictureAtTheCornerCentredOrStretched) {
  NewImage(TwoColours(), 0, 0, 10, 10);
  NewImage(TwoColours(), 20, 0, 10, 10)->SetCenter(true);
  NewImage(TwoColours(), 40, 0, 4, 2)->SetStretch(true);
  EXPECT_EQ(PixelAt(0, 0), clRed);
  EXPECT_EQ(PixelAt(1, 0), clBlue);
  EXPECT_EQ(PixelAt(2, 0), clWhite);  // outside the picture the form shows
  EXPECT_EQ(PixelAt(24, 4), clRed);
  EXPECT_EQ(PixelAt(25, 4), clBlue);
  EXPECT_EQ(PixelAt(24, 3), clWhite);
  EXPECT_EQ(PixelAt(41, 1), clRed);
  EXPECT_EQ(PixelAt(42, 0), clBlue);
  EXPECT_EQ(PixelAt(43, 1), clBlue);
}

TEST_F(PictureTest, TransparentLeavesOutTheBottomLeftColourAndAlphaBlends) {
  TBitmap keyed(3, 3);
  keyed.Canvas().Brush.Color = clGreen;
  keyed.Canvas().FillRect(Rect(0, 0, 3, 3));
  keyed.SetPixel(1, 1, ColorToPixel(clRed));
  NewImage(keyed, 0, 0, 3, 3)->SetTransparent(true);
  TBitmap halfBlack(1, 1);
  halfBlack.SetPixel(0, 0, 0x80000000u);  // premultiplied black at alpha 128
  NewImage(halfBlack, 10, 0, 1, 1)->SetAlphaBlended(true);
  EXPECT_EQ(PixelAt(0, 0), clWhite);
  EXPECT_EQ(PixelAt(1, 1), clRed);
  EXPECT_NEAR(GetRValue(PixelAt(10, 0)), 255 * 127 / 255, 1);
}

TEST_F(PictureTest, ALabelFillsItsColourUnlessTransparent) {
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  label->SetAutoSize(false);
  label->SetBounds(0, 50, 100, 30);
  label->SetCaption(".");
  label->SetColor(clBlue);
  EXPECT_EQ(PixelAt(90, 75), clBlue);
  label->SetTransparent(true);
  EXPECT_EQ(PixelAt(90, 75), clWhite);
}

TEST(ScrollBoxTest, ScrollingMovesTheChildrenWithinTheRange) {
  TScrollBox box(nullptr);
  box.SetBounds(0, 0, 100, 100);
  auto* content = new TPanel(&box);
  content->SetParent(&box);
  content->SetBounds(0, 0, 80, 250);
  EXPECT_EQ(box.VertScrollRange(), 150);
  box.SetVertScrollPosition(50);
  EXPECT_EQ(content->Top(), -50);
  box.SetVertScrollPosition(1000);
  EXPECT_EQ(box.VertScrollPosition(), 150);
  EXPECT_EQ(content->Top(), -150);

  content->SetHeight(200);  // less content: the range shrinks with it
  EXPECT_EQ(box.VertScrollRange(), 100);
  box.SetBounds(0, 0, 100, 300);  // room for everything: back to the top
  EXPECT_EQ(box.VertScrollPosition(), 0);
  EXPECT_EQ(content->Top(), 0);
}

TEST(ScrollBoxTest, TheWheelScrollsAndAutoScrollOffMakesAPlainContainer) {
  TScrollBox box(nullptr);
  box.SetBounds(0, 0, 100, 100);
  auto* content = new TPanel(&box);
  content->SetParent(&box);
  content->SetBounds(0, 0, 80, 400);
  QWheelEvent notchDown(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
                        Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&box, &notchDown);
  EXPECT_GT(box.VertScrollPosition(), 0);
  EXPECT_EQ(content->Top(), -box.VertScrollPosition());

  box.SetAutoScroll(false);
  EXPECT_EQ(box.VertScrollRange(), 0);
  EXPECT_EQ(content->Top(), 0);
}

TEST(LabelTextTest, MeasuresLinesAsDrawTextDoes) {
  TFont font;
  font.SetHeight(-16);
  const int cell = font.Metrics().height();
  const std::string words = "один два три"_cp;
  EXPECT_EQ(CalcTextRect(font, words, 0, false), Rect(0, 0, TextWidth(font, words), cell));
  EXPECT_EQ(CalcTextRect(font, "a\r\nb", 0, false).Height(), 2 * cell);  // line breaks always count

  const int twoWords = TextWidth(font, "один два"_cp);
  const TRect wrapped = CalcTextRect(font, words, twoWords + 2, true);
  EXPECT_EQ(wrapped.Height(), 2 * cell);
  EXPECT_EQ(wrapped.Width(), twoWords);
  EXPECT_EQ(CalcTextRect(font, words, 1000, true).Height(), cell);
  // Words wider than the width are not split: one word per line.
  EXPECT_EQ(CalcTextRect(font, words, 1, true).Height(), 3 * cell);
  EXPECT_EQ(CalcTextRect(font, "", 50, true).Height(), cell);
}
