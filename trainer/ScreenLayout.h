#pragma once
// The screen-size table that the exercise and title screens share: a work
// rectangle and a background picture chosen by the screen's size, and the
// composition steps both screens draw their backgrounds with.

#include <string>

#include "platform/Bitmap.h"
#include "platform/Types.h"

struct TScreenLayout {
  int Index = 0;               // the row, 0 to 4
  TRect WorkRect;              // in pixels of the screen, kept at the upper left on larger screens
  std::string BackgroundFile;  // under ".\imgs\"
};

// Row 0, overridden by every row whose minimum size the screen reaches, the
// last in the order 1280 x 800, 1280 x 1024, 1400 x 1050, 1440 x 900.
TScreenLayout ChooseScreenLayout(int screenWidth, int screenHeight);
// The row for the present screen.
TScreenLayout CurrentScreenLayout();
// Row index of the table (0 to 4); throws Exception for another index.
const TScreenLayout& ScreenLayoutRow(int index);

// The row's background JPEG stretched over width x height by nine slices
// (margins 125, 78, 165, 160): corners unscaled, edges and middle smooth.
// Throws Exception when the picture is missing or broken.
TBitmap LoadScreenBackground(int layoutIndex, int width, int height);
// Starts making that picture on a worker thread: the next LoadScreenBackground
// with the same arguments takes it (or its exception) instead of making it
// again. Start-up calls this before it builds the windows, which takes about
// as long as the decode and the stretch.
void PrefetchScreenBackground(int layoutIndex, int width, int height);

// The four cut positions of one axis of a nine-slice.
struct TCuts {
  int At[4];
};

// Blends each of the nine cells of the premultiplied src (cut by srcX, srcY)
// onto the matching cell of dst (cut by dstX, dstY), stretching where sizes differ.
void BlendNineCells(TBitmap& dst, const TBitmap& src, const TCuts& srcX, const TCuts& srcY, const TCuts& dstX,
                    const TCuts& dstY);

// Blends a premultiplied picture onto dst at its natural size, top-left at (x, y).
void BlendPicture(TBitmap& dst, const TBitmap& picture, int x, int y);
