// Controls keep the canvas they paint on: they draw it again only when what
// they show changes, a child's repaint leaves its parent alone, a control
// taller than the screen draws only its exposed part, and the kept canvases
// together stay within a few screens.
#include <gtest/gtest.h>

#include "platform/Canvas.h"
#include "platform/Screen.h"
#include "tests/platform/ControlFixtures.h"

namespace {

// Fills its top half with Fill; counts its drawings and keeps the part of
// itself that the last canvas covered.
class PaintProbe : public TCustomControl {
 public:
  explicit PaintProbe(TWinControl* parent, TRect bounds) : TCustomControl(parent) {
    SetParent(parent);
    SetBoundsRect(bounds);
  }
  int Paints = 0;
  TRect LastCanvas;
  TColor Fill = clRed;

 protected:
  void Paint() override {
    ++Paints;
    LastCanvas = Canvas().Bitmap().PictureRect();
    Canvas().Brush = TBrush{Fill, TBrushStyle::bsSolid};
    Canvas().FillRect(Rect(0, 0, Width(), Height() / 2));
  }
};

void Flush() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

class KeptCanvasTest : public ShownFormTest {
 protected:
  // What the window shows, from its backing store.
  TColor ShownAt(int x, int y) {
    Flush();
    return FromQColor(form.screen()->grabWindow(form.winId()).toImage().pixelColor(x, y));
  }
};

TEST_F(KeptCanvasTest, ACanvasIsDrawnAgainOnlyWhenWhatItShowsChanged) {
  PaintProbe probe(&form, Bounds(10, 10, 100, 60));
  EXPECT_EQ(ShownAt(20, 20), clRed);
  const int first = probe.Paints;
  EXPECT_GE(first, 1);
  probe.update();
  probe.repaint();
  EXPECT_EQ(ShownAt(20, 20), clRed);
  EXPECT_EQ(probe.Paints, first);
  probe.Fill = clBlue;
  probe.Invalidate();
  EXPECT_EQ(ShownAt(20, 20), clBlue);
  EXPECT_EQ(probe.Paints, first + 1);
  // A new size, a colour, the enabled state: each draws it again.
  probe.SetHeight(80);
  EXPECT_EQ(ShownAt(20, 45), clBlue);
  EXPECT_EQ(probe.Paints, first + 2);
  probe.SetColor(clGreen);
  EXPECT_EQ(ShownAt(20, 80), clGreen);
  EXPECT_EQ(probe.Paints, first + 3);
  probe.SetEnabled(false);
  Flush();
  EXPECT_EQ(probe.Paints, first + 4);
}

// A control its parent clips away shows what it has become as soon as it
// comes into sight; one clipped only in part is painted at once.
TEST_F(KeptCanvasTest, ControlsOutOfSightPaintWhenTheyComeIntoSight) {
  PaintProbe viewport(&form, Bounds(0, 0, 200, 100));
  PaintProbe hidden(&viewport, Bounds(10, 150, 50, 40));
  PaintProbe edge(&viewport, Bounds(100, 90, 50, 40));
  Flush();
  hidden.Fill = clBlue;
  hidden.Invalidate();
  edge.Fill = clGreen;
  edge.Invalidate();
  EXPECT_EQ(ShownAt(110, 92), clGreen);
  hidden.SetTop(50);
  EXPECT_EQ(ShownAt(20, 55), clBlue);
  // Shown while out of sight, then moved in: the same.
  PaintProbe late(&viewport, Bounds(0, 500, 40, 20));
  late.Fill = clGray;
  Flush();
  late.SetTop(0);
  EXPECT_EQ(ShownAt(5, 5), clGray);
}

TEST_F(KeptCanvasTest, AChildsRepaintLeavesItsParentAlone) {
  PaintProbe parent(&form, Bounds(0, 0, 300, 200));
  PaintProbe child(&parent, Bounds(20, 20, 30, 30));
  child.Fill = clBlue;
  EXPECT_EQ(ShownAt(25, 25), clBlue);
  const int parentPaints = parent.Paints;
  const int childPaints = child.Paints;
  for (int i = 0; i < 3; ++i) {
    child.Invalidate();
    Flush();
  }
  EXPECT_EQ(child.Paints, childPaints + 3);
  EXPECT_EQ(parent.Paints, parentPaints);
  EXPECT_EQ(ShownAt(25, 25), clBlue);
  EXPECT_EQ(ShownAt(100, 25), clRed);
}

TEST_F(KeptCanvasTest, AControlTallerThanTheScreenDrawsOnlyItsExposedPart) {
  constexpr int kHeight = 4'000'000;  // 4.8 GB of pixels as one canvas
  PaintProbe tall(&form, Bounds(0, 0, 300, kHeight));
  EXPECT_EQ(ShownAt(10, 10), clRed);
  EXPECT_LE(tall.LastCanvas.Height(), form.Height());
  // Half way down: the lower half shows the control's own colour.
  tall.SetTop(-(kHeight / 2 - 100));
  EXPECT_EQ(ShownAt(10, 50), clRed);
  EXPECT_EQ(ShownAt(10, 150), clWhite);
  EXPECT_GE(tall.LastCanvas.Top, kHeight / 2 - 100);
  EXPECT_LE(tall.LastCanvas.Bottom, kHeight / 2 - 100 + form.Height());
  // Nothing is kept, so every paint draws the exposed part anew.
  const int paints = tall.Paints;
  tall.repaint();
  EXPECT_EQ(tall.Paints, paints + 1);
}

TEST_F(KeptCanvasTest, KeptCanvasesTogetherStayWithinAFewScreens) {
  SetScreenProvider([] { return TScreenMetrics{100, 100, 30, 30}; });
  const auto restore = qScopeGuard([] { ResetScreenProvider(); });
  // Twenty probes of a quarter screen each, five screens in all.
  std::vector<std::unique_ptr<PaintProbe>> probes;
  for (int i = 0; i < 20; ++i)
    probes.push_back(std::make_unique<PaintProbe>(&form, Bounds(50 * (i % 5), 50 * (i / 5), 50, 50)));
  Flush();
  for (const auto& probe : probes) probe->repaint();
  std::vector<int> paints;
  for (const auto& probe : probes) paints.push_back(probe->Paints);
  // The least recently painted gave its canvas up; the last one kept its own.
  probes.front()->repaint();
  probes.back()->repaint();
  EXPECT_EQ(probes.front()->Paints, paints.front() + 1);
  EXPECT_EQ(probes.back()->Paints, paints.back());
}

}  // namespace
