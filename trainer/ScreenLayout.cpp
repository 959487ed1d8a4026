#include "trainer/ScreenLayout.h"

#include <future>
#include <thread>

#include "platform/ImageFiles.h"
#include "platform/Screen.h"
#include "platform/StrUtils.h"

namespace {

struct TLayoutRow {
  int MinWidth, MinHeight;
  TScreenLayout Layout;
};

// In the order the tests run; the last one that holds wins.
const TLayoutRow kRows[] = {
    {0, 0, {0, {48, 52, 970, 742}, "BG_1024)full.jpg"}},
    {1280, 800, {2, {147, 67, 1083, 769}, "BG_fit_1280_800.jpg"}},
    {1280, 1024, {1, {108, 180, 1170, 968}, "BG_fit_1280.jpg"}},
    {1400, 1050, {3, {177, 196, 1198, 959}, "BG_fit_1400.jpg"}},
    {1440, 900, {4, {197, 102, 1217, 862}, "BG_fit_1440.jpg"}},
};

constexpr int kMarginLeft = 125, kMarginTop = 78, kMarginRight = 165, kMarginBottom = 160;

}  // namespace

TScreenLayout ChooseScreenLayout(int screenWidth, int screenHeight) {
  TScreenLayout chosen = kRows[0].Layout;
  for (const TLayoutRow& row : kRows)
    if (screenWidth >= row.MinWidth && screenHeight >= row.MinHeight) chosen = row.Layout;
  return chosen;
}

TScreenLayout CurrentScreenLayout() {
  return ChooseScreenLayout(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

const TScreenLayout& ScreenLayoutRow(int index) {
  for (const TLayoutRow& row : kRows)
    if (row.Layout.Index == index) return row.Layout;
  throw Exception(Format("There is no screen layout number %d.", index));
}

namespace {

// Hands the layout's picture, stretched over width x height, to made (or the
// exception that stopped it). Fresh memory costs milliseconds a megabyte to
// touch and to give back, so the new picture is taken on a second thread
// while the file decodes, and the decoded file is freed only after the
// picture is handed over.
void MakeScreenBackground(int layoutIndex, int width, int height, std::promise<TBitmap>& made) {
  try {
    std::future<TBitmap> blank =
        std::async(std::launch::async, [=] { return TBitmap(std::max(width, 0), std::max(height, 0)); });
    const TBitmap source = LoadJpeg(".\\imgs\\" + ScreenLayoutRow(layoutIndex).BackgroundFile);
    TBitmap background = blank.get();
    StretchNineSlice(background, Bounds(0, 0, background.Width(), background.Height()), source, kMarginLeft,
                     kMarginTop, kMarginRight, kMarginBottom);
    made.set_value(std::move(background));
  } catch (...) {
    made.set_exception(std::current_exception());
  }
}

// The one picture being made ahead, and what it was asked for.
struct TPrefetch {
  int LayoutIndex = 0, Width = 0, Height = 0;
  std::future<TBitmap> Picture;
  std::thread Maker;

  ~TPrefetch() { Finish(); }
  void Finish() {
    if (Maker.joinable()) Maker.join();
  }
};

TPrefetch& Prefetched() {
  static TPrefetch prefetch;
  return prefetch;
}

}  // namespace

TBitmap LoadScreenBackground(int layoutIndex, int width, int height) {
  TPrefetch& ahead = Prefetched();
  // Taken once: a later call reads the file again, as it may have changed.
  if (ahead.Picture.valid() && ahead.LayoutIndex == layoutIndex && ahead.Width == width &&
      ahead.Height == height)
    return ahead.Picture.get();
  std::promise<TBitmap> made;
  MakeScreenBackground(layoutIndex, width, height, made);
  return made.get_future().get();
}

void PrefetchScreenBackground(int layoutIndex, int width, int height) {
  TPrefetch& ahead = Prefetched();
  ahead.Finish();
  std::promise<TBitmap> made;
  ahead.LayoutIndex = layoutIndex;
  ahead.Width = width;
  ahead.Height = height;
  ahead.Picture = made.get_future();
  ahead.Maker = std::thread([made = std::move(made), layoutIndex, width, height]() mutable {
    MakeScreenBackground(layoutIndex, width, height, made);
  });
}

void BlendNineCells(TBitmap& dst, const TBitmap& src, const TCuts& srcX, const TCuts& srcY, const TCuts& dstX,
                    const TCuts& dstY) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      AlphaBlend(dst, Rect(dstX.At[i], dstY.At[j], dstX.At[i + 1], dstY.At[j + 1]), src,
                 Rect(srcX.At[i], srcY.At[j], srcX.At[i + 1], srcY.At[j + 1]));
}

void BlendPicture(TBitmap& dst, const TBitmap& picture, int x, int y) {
  AlphaBlend(dst, Bounds(x, y, picture.Width(), picture.Height()), picture,
             Bounds(0, 0, picture.Width(), picture.Height()));
}
