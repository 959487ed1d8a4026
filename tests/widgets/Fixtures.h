#pragma once
// Files the widget tests read: PNGs of every colour type written with libpng
// directly (so the loader is checked against files it did not write), and a
// scratch folder per test.

#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Bitmap.h"

// One pixel of a test picture, straight (not premultiplied) colour.
struct TRgba {
  std::uint8_t R = 0, G = 0, B = 0, A = 255;
};

// Writes a w x h PNG of the given colour type (0 grey, 2 truecolour, 3 palette,
// 4 grey + alpha, 6 truecolour + alpha). For type 3 every distinct pixel
// becomes a palette entry and entries with alpha < 255 go into a tRNS chunk;
// grey types take the pixel's R as the grey level.
void WriteTestPng(const std::string& fileName, int colorType, int w, int h, const std::vector<TRgba>& pixels);

// A bitmap of w x h filled with one pixel word.
TBitmap FilledBitmap(int w, int h, std::uint32_t word);

// A scroll-bar skin of plain colours, so tests can tell every piece by its
// pixels: arrows as wide as the thumb, the up arrow taller than the down one,
// and thumb pieces of PieceHeight rows (top red, middle green, bottom blue).
namespace TestSkin {
constexpr int Width = 17;
constexpr int UpHeight = 16;
constexpr int DownHeight = 14;
constexpr int LineWidth = 5;
constexpr int PieceHeight = 10;
constexpr std::uint32_t Top = 0xFFFF0000u;
constexpr std::uint32_t Middle = 0xFF00FF00u;
constexpr std::uint32_t Bottom = 0xFF0000FFu;
}  // namespace TestSkin
void WriteScrollSkin(const std::string& folder);

// A scratch folder, removed with the object; Path() ends in '/'.
class TScratchDir {
 public:
  std::string Path() const { return dir_.path().toStdString() + "/"; }
  std::string File(const std::string& name) const { return Path() + name; }

 private:
  QTemporaryDir dir_;
};

// Makes a scratch folder the current one while it lives, with the scroll
// skin in its "imgs" subfolder (where the scroll box looks for it).
class TSkinnedFolder {
 public:
  TSkinnedFolder();
  ~TSkinnedFolder();
  std::string Path() const { return dir_.Path(); }

 private:
  TScratchDir dir_;
  QString previous_;
};

// What a control shows, painted as on screen, as 32-bit pixel words.
TBitmap Grab(QWidget& widget);
// Pixels of two colours that differ by at most tolerance per channel (JPEG).
bool NearColour(std::uint32_t a, std::uint32_t b, int tolerance = 6);
