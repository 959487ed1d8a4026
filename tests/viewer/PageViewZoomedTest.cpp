// A page far larger than the window: the view renders and keeps only what the
// window shows (with a margin), and what the window shows at every zoom and
// pan position is the whole page rendered at that size, pixel for pixel.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QScreen>

#include "PageViewTest.h"
#include "platform/Canvas.h"
#include "viewer/Plugin/PluginPage2.h"

namespace {

class PageViewZoomedTest : public PageViewTest {
 protected:
  // The page at its render size as one render of the whole page draws it,
  // the selection included.
  TBitmap WholePage() const {
    TPluginPage2& page = *view->Page();
    TBitmap whole(page.RenderWidth(), page.RenderHeight());
    EXPECT_NE(page.Render(whole.Canvas(), Rect(0, 0, whole.Width(), whole.Height())), 0);
    return whole;
  }

  // Every pixel of the window, painted afresh, against whole at the view's position.
  void ExpectWindowShows(const TBitmap& whole) {
    ExpectPixels(form.grab().toImage().convertToFormat(QImage::Format_RGB32), whole);
  }

  // The same for what the screen shows after the paints Qt has queued: the
  // pixels Qt moved along with the view and the parts it had painted anew.
  void ExpectScreenShows(const TBitmap& whole) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    ExpectPixels(form.screen()->grabWindow(form.winId()).toImage().convertToFormat(QImage::Format_RGB32),
                 whole);
  }

  void ExpectPixels(const QImage& shot, const TBitmap& whole) {
    ASSERT_EQ(shot.width(), kClientWidth);
    int differing = 0;
    QPoint first;
    for (int y = 0; y < shot.height(); ++y) {
      for (int x = 0; x < shot.width(); ++x) {
        const int px = x - view->Left(), py = y - view->Top();
        const bool onPage = px >= 0 && py >= 0 && px < whole.Width() && py < whole.Height();
        const QRgb expected = onPage ? whole.Pixel(px, py) | 0xFF000000u : ColorToPixel(kBackground);
        if (shot.pixel(x, y) == expected) continue;
        if (differing++ == 0) first = QPoint(x, y);
      }
    }
    EXPECT_EQ(differing, 0) << "first at " << first.x() << "," << first.y() << " with the view at "
                            << view->Left() << "," << view->Top();
  }

  void PanTo(int left, int top) { view->SetBoundsConstrained(left, top, view->Width(), view->Height()); }

  // Small steps inside the kept margin, then jumps to the corners and back.
  void PanAround(const TBitmap& whole) {
    for (int step = 0; step < 6; ++step) {
      PanTo(view->Left() - 9, view->Top() - 13);
      ExpectWindowShows(whole);
    }
    for (const auto& [left, top] : {std::pair{kClientWidth - view->Width(), kClientHeight - view->Height()},
                                    std::pair{0, 0}, std::pair{-777, -1234}, std::pair{-781, -1230}}) {
      PanTo(left, top);
      ExpectWindowShows(whole);
    }
  }
};

TEST_F(PageViewZoomedTest, APannedPageAt400PercentShowsTheWholePagesPixels) {
  ShowPage();
  view->SetBuffered(true);
  // Inverted selection rectangles make the picture depend on where each part is drawn.
  view->SelectRange(1, 40);
  view->SetZoom(400);
  ASSERT_EQ(view->Width(), 1600);
  ASSERT_EQ(view->Height(), 2400);
  const TBitmap whole = WholePage();
  ExpectWindowShows(whole);
  // The buffer holds the window's part with a margin, never the page.
  const TRect kept = view->KeptArea();
  EXPECT_LE(kept.Width(), kClientWidth * 5 / 4);
  EXPECT_LE(kept.Height(), kClientHeight * 5 / 4);
  PanAround(whole);
}

// Pans past the kept margin move the kept pixels and render only the parts
// around them: in every direction, with both selection layers drawn over the
// parts, the window still shows the whole page's pixels.
TEST_F(PageViewZoomedTest, PansInEveryDirectionRenderOnlyTheNewPartsAndShowTheWholePage) {
  ShowPage();
  view->SetBuffered(true);
  view->SelectRange(1, 60);
  view->SetLayer(1);
  view->FlagRange(20, 90);
  view->SetZoom(400);
  const TBitmap whole = WholePage();
  PanTo(-500, -900);
  ExpectWindowShows(whole);
  // Steps larger than the margin (80 x 60) scroll the buffer every time; odd
  // sizes put the parts' edges anywhere.
  for (const auto& [dx, dy] :
       {std::pair{-97, 0}, std::pair{0, -71}, std::pair{89, 0}, std::pair{0, 67}, std::pair{-91, -63},
        std::pair{93, 61}, std::pair{-83, 77}, std::pair{87, -69}, std::pair{-31, -17}, std::pair{41, 23}}) {
    for (int step = 0; step < 2; ++step) {
      PanTo(view->Left() + dx, view->Top() + dy);
      ExpectWindowShows(whole);
    }
  }
}

// On the screen a pan moves the pixels in sight and paints only the strips it
// brings in, an L of two rectangles when it goes both ways: steps within the
// kept margin and past it, with inverted selections drawn over the page.
TEST_F(PageViewZoomedTest, TheScreenAfterEachPanShowsTheWholePagesPixels) {
  ShowPage();
  view->SelectRange(3, 70);
  view->SetZoom(400);
  const TBitmap whole = WholePage();
  for (const bool buffered : {true, false}) {
    SCOPED_TRACE(buffered);
    view->SetBuffered(buffered);
    view->InvalidateBuffer();
    PanTo(-400, -700);
    ExpectScreenShows(whole);
    for (const auto& [dx, dy] : {std::pair{-9, -13}, std::pair{7, -13}, std::pair{-97, 71}, std::pair{89, 0},
                                 std::pair{0, -67}, std::pair{-3, 2}, std::pair{131, 113}}) {
      PanTo(view->Left() + dx, view->Top() + dy);
      ExpectScreenShows(whole);
    }
  }
}

// A paint of two separate rectangles paints both, each from its own part of
// the picture, and nothing between them: a new selection shows only there.
TEST_F(PageViewZoomedTest, APaintOfTwoRectanglesPaintsEachFromItsOwnPart) {
  ShowPage();
  view->SetZoom(300);
  PanTo(0, 0);
  const TBitmap before = WholePage();
  ExpectScreenShows(before);
  view->SelectRange(1, 200);
  const TBitmap after = WholePage();
  TBitmap expected = before;
  for (const TRect& r : {Bounds(100, 110, 150, 100), Bounds(300, 200, 160, 90)}) {
    BitBlt(expected, r.Left, r.Top, r.Width(), r.Height(), after, r.Left, r.Top);
    view->update(ToQRect(r));
  }
  int changed = 0;
  for (int y = 0; y < expected.Height(); ++y)
    for (int x = 0; x < expected.Width(); ++x) changed += expected.Pixel(x, y) != before.Pixel(x, y);
  ASSERT_GT(changed, 1000) << "the selection must show in the rectangles";
  ExpectScreenShows(expected);
}

TEST_F(PageViewZoomedTest, EveryPixelFormatShowsTheSamePixelsWhenPanned) {
  ShowPage();
  view->SetBuffered(true);
  view->SetZoom(300);
  for (const int code : {FOLIO_PIXELS_RGBX, FOLIO_PIXELS_RGB, FOLIO_PIXELS_GREY, FOLIO_PIXELS_MONO}) {
    SCOPED_TRACE(code);
    ASSERT_EQ(view->Page()->SetPixelFormat(code), code);
    view->InvalidateBuffer();
    // Odd positions: 1-bit rows are rendered from a byte boundary of the page.
    PanTo(-333, -517);
    ExpectWindowShows(WholePage());
  }
}

TEST_F(PageViewZoomedTest, PartsRenderedAfterAPanShowTheSamePixelsInEveryFormat) {
  ShowPage();
  view->SetBuffered(true);
  view->SelectRange(5, 50);
  view->SetZoom(300);
  for (const int code : {FOLIO_PIXELS_RGBX, FOLIO_PIXELS_RGB, FOLIO_PIXELS_GREY, FOLIO_PIXELS_MONO}) {
    SCOPED_TRACE(code);
    ASSERT_EQ(view->Page()->SetPixelFormat(code), code);
    PanTo(-333, -517);
    view->InvalidateBuffer();
    const TBitmap whole = WholePage();
    ExpectWindowShows(whole);
    // Past the margin to the right and up: the new parts start at odd columns,
    // which 1-bit rows render from a byte boundary.
    PanTo(-333 + 85, -517 - 65);
    ExpectWindowShows(whole);
    PanTo(-333 + 85 - 171, -517 - 65 + 133);
    ExpectWindowShows(whole);
  }
}

TEST_F(PageViewZoomedTest, WithoutTheBufferThePixelsAreTheSame) {
  ShowPage();
  view->SetZoom(400);
  ASSERT_FALSE(view->Buffered());
  PanAround(WholePage());
}

TEST_F(PageViewZoomedTest, APlugInThatDrawsOnTheDeviceShowsTheSamePixels) {
  ASSERT_NE(OpenDocument("fake_device"), nullptr);
  view->SetFileName(Folder() + "book.djvu");
  view->SetActive(true);
  ASSERT_EQ(view->Page()->SetPixelFormat(FOLIO_PIXELS_DEVICE), FOLIO_PIXELS_DEVICE);
  view->SetBuffered(true);
  view->SetZoom(400);
  PanAround(WholePage());
}

// 8000 x 12000 pixels, six times what the old limit of the view allowed: only
// the window's part is ever rendered.
TEST_F(PageViewZoomedTest, TheZoomGrowsFarBeyondTheWindow) {
  ShowPage();
  view->SetBuffered(true);
  view->SetZoom(2000);
  EXPECT_EQ(view->Zoom(), 2000);
  ASSERT_EQ(view->Width(), 8000);
  ASSERT_EQ(view->Height(), 12000);
  // The fake page's black block starts at a fifth of the width and a tenth of the height.
  PanTo(320 - 1600, 240 - 1200);
  const QImage shot = form.grab().toImage();
  EXPECT_EQ(At(shot, 320, 240), kInk);
  EXPECT_EQ(At(shot, 319, 240), kPaper);
  EXPECT_EQ(At(shot, 320, 239), kPaper);
  EXPECT_EQ(At(shot, 639, 479), kInk);
  EXPECT_LE(view->KeptArea().Width(), kClientWidth * 5 / 4);
}

}  // namespace
