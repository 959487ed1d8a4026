// A parent with many windowed children holds them in bands (TChildBands):
// input that Qt delivers by position, pixels, stacking, focus and the Tab
// walk must be what they are with the children placed directly.
#include <gtest/gtest.h>

#include <QTest>
#include <QWindow>
#include <vector>

#include "platform/ChildBands.h"
#include "platform/Forms.h"
#include "platform/Label.h"
#include "tests/platform/ControlFixtures.h"

namespace {

constexpr int kStrip = TChildBands::kBandHeight;

// A windowed control that shows its colour and counts what reaches it.
class Tile : public TCustomControl {
 public:
  explicit Tile(QObject* owner) : TCustomControl(owner) {
    SetTabStop(true);
    OnClick = [this](TObject*) { ++clicks; };
    OnEnter = [this](TObject*) { ++enters; };
    OnExit = [this](TObject*) { ++exits; };
    OnKeyDown = [this](TObject*, unsigned short&, TShiftState) { ++keys; };
  }
  int clicks = 0, enters = 0, exits = 0, keys = 0;
};

// A page far taller than the window, scrolled as a scroll box scrolls its
// content, with more windowed children than a parent holds without bands.
class ChildBandsTest : public ShownFormTest {
 protected:
  void SetUp() override {
    ShownFormTest::SetUp();
    page = new TPanel(&form);
    page->SetBevelOuter(bvNone);
    page->SetParent(&form);
    page->SetBounds(0, 0, 320, 4000);
    page->SetColor(clWhite);
    page->OnClick = [this](TObject*) { ++pageClicks; };
  }

  Tile* NewTile(int left, int top, int width, int height, TColor color) {
    auto* tile = new Tile(page);
    tile->SetParent(page);
    tile->SetBounds(left, top, width, height);
    tile->SetColor(color);
    tiles.push_back(tile);
    return tile;
  }

  // A grid of 16 x 40 tiles of distinct colours, 18 x 20 pixels at 25-pixel
  // rows, from the given top.
  void FillGrid(int top) {
    for (int i = 0; i < 640; ++i) NewTile((i % 16) * 20, top + (i / 16) * 25, 18, 20, TColor(0x10000 + i * 7));
  }

  // Scrolls the page so that its y shows at the top of the window.
  void ShowFrom(int y) { page->SetTop(-y); }

  // A click where the window system would put it: Qt finds the control.
  void ClickAt(int x, int y) { QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, QPoint(x, y)); }

  TPanel* page = nullptr;
  std::vector<Tile*> tiles;
  int pageClicks = 0;
};

}  // namespace

TEST_F(ChildBandsTest, ClicksAndPixelsReachControlsFarDownThePage) {
  // Laid out while hidden, as the trainer builds a page.
  page->Hide();
  FillGrid(0);
  page->Show();
  ASSERT_NE(tiles.front()->parentWidget(), page);  // the children live in bands
  ShowFrom(400);
  // Rows 16 to 24 are on screen now: click the middle of each tile of row 20.
  for (int column = 0; column < 16; ++column) ClickAt(column * 20 + 9, 20 * 25 - 400 + 10);
  for (std::size_t i = 0; i < tiles.size(); ++i) {
    ASSERT_EQ(tiles[i]->clicks, i / 16 == 20 ? 1 : 0) << i;
    if (i / 16 == 20) {
      EXPECT_EQ(PixelAt(i % 16 * 20 + 9, 20 * 25 - 400 + 10), tiles[i]->Color()) << i;
    }
  }
  // Between the tiles the page itself takes the click and shows.
  ClickAt(19, 20 * 25 - 400 + 10);
  ClickAt(5, 20 * 25 - 400 + 22);
  EXPECT_EQ(pageClicks, 2);
  EXPECT_EQ(PixelAt(19, 20 * 25 - 400 + 10), clWhite);
}

TEST_F(ChildBandsTest, AControlReachingIntoTheNextStripDoesNotHideThatStripsControls) {
  FillGrid(10 * kStrip);  // far below, only to make the page hold many children
  Tile* tall = NewTile(0, kStrip - 16, 50, 60, clRed);  // from one strip into the next
  Tile* next = NewTile(60, kStrip + 10, 30, 20, clBlue);
  ShowFrom(kStrip - 100);
  const int y = 100 + 20;  // the page's kStrip + 20, below the first strip
  ClickAt(20, y);
  ClickAt(70, y);
  EXPECT_EQ(tall->clicks, 1);
  EXPECT_EQ(next->clicks, 1);
  EXPECT_EQ(PixelAt(20, y), clRed);
  EXPECT_EQ(PixelAt(70, y), clBlue);
  ClickAt(55, y);  // between them
  EXPECT_EQ(pageClicks, 1);
  // Hidden, it neither shows nor takes clicks; moved down into the next
  // strip, it still does.
  tall->Hide();
  ClickAt(20, y);
  EXPECT_EQ(tall->clicks, 1);
  EXPECT_EQ(pageClicks, 2);
  EXPECT_EQ(PixelAt(20, y), clWhite);
  tall->Show();
  tall->SetTop(kStrip + 5);
  ClickAt(20, y);
  EXPECT_EQ(tall->clicks, 2);
  EXPECT_EQ(PixelAt(20, 100 + 3), clWhite);  // above its new top
}

TEST_F(ChildBandsTest, StackingSurvivesAMoveToAnotherStrip) {
  FillGrid(10 * kStrip);
  Tile* lower = NewTile(10, 10, 40, 40, clRed);
  Tile* upper = NewTile(30, 30, 40, 40, clBlue);
  lower->BringToFront();
  EXPECT_EQ(PixelAt(40, 40), clRed);
  // The front one moves first and the other after it, into a strip of their own.
  lower->SetTop(3 * kStrip + 10);
  upper->SetTop(3 * kStrip + 30);
  ShowFrom(3 * kStrip);
  EXPECT_EQ(PixelAt(40, 40), clRed);
  upper->BringToFront();
  EXPECT_EQ(PixelAt(40, 40), clBlue);
  // A windowless control stays below the windowed ones.
  auto* label = new TLabel(page);
  label->SetParent(page);
  label->SetAutoSize(false);
  label->SetBounds(0, 3 * kStrip, 200, 100);
  label->SetColor(clGreen);
  label->BringToFront();
  EXPECT_EQ(PixelAt(40, 40), clBlue);
  EXPECT_EQ(PixelAt(150, 50), clGreen);
}

TEST_F(ChildBandsTest, FocusAndTheTabWalkIgnoreTheBands) {
  // Created bottom to top: Tab goes by creation, not by place.
  for (int i = 0; i < 80; ++i) NewTile(0, 3000 - i * 30, 20, 20, clRed);
  Tile* first = tiles[0];
  first->SetFocus();
  ASSERT_TRUE(first->Focused());
  ASSERT_EQ(first->enters, 1);
  // The focused control moves to another strip: it keeps the focus, and
  // neither leaves nor enters.
  first->SetTop(100);
  EXPECT_TRUE(first->Focused());
  EXPECT_EQ(first->enters, 1);
  EXPECT_EQ(first->exits, 0);
  QTest::keyClick(form.windowHandle(), Qt::Key_A);
  EXPECT_EQ(first->keys, 1);
  QTest::keyClick(form.windowHandle(), Qt::Key_Tab);
  EXPECT_TRUE(tiles[1]->Focused());
}
