#pragma once
// TBitmap: a device-independent bitmap with direct row access, and the GDI
// blits over it with fixed formulas, so every pixel they make is known.
//
// Pixels are 32-bit words, B,G,R,A in memory (bits 0-7 blue, 24-31 alpha),
// rows from the top. The image is a QImage::Format_ARGB32 that we address
// ourselves; Qt never premultiplies it.

#include <QImage>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Types.h"

class TCanvas;

// Byte c of a pixel word: 0 blue, 1 green, 2 red, 3 alpha.
inline std::uint8_t WordChannel(std::uint32_t word, int c) {
  return std::uint8_t(word >> (8 * c));
}

enum class TPixelFormat { pf1bit, pf8bit, pf24bit, pf32bit };

class TBitmap {
 public:
  TBitmap();
  TBitmap(int width, int height);
  // A copy behaves as a deep one: it shares the pixels until either bitmap
  // is written, so a row pointer must be taken after the copy it writes to.
  // A move takes the pixels. Either way each bitmap keeps its own canvas.
  TBitmap(const TBitmap& other);
  TBitmap& operator=(const TBitmap& other);
  TBitmap(TBitmap&& other) noexcept;
  TBitmap& operator=(TBitmap&& other) noexcept;
  ~TBitmap();

  int Width() const;
  int Height() const;
  // Resizing keeps the overlapping pixels and fills new ones white ($FFFFFFFF);
  // negative sizes count as 0.
  void SetWidth(int width);
  void SetHeight(int height);
  void SetSize(int width, int height);
  bool Empty() const;  // no pixels

  TPixelFormat PixelFormat() const;
  void SetPixelFormat(TPixelFormat format);
  // Changes the format and converts the pixels, as device-independent bitmaps
  // do. pf1bit and pf8bit rows hold palette indices (pf1bit: leftmost pixel in
  // the top bit), pf24bit rows blue, green, red bytes; every row starts on a
  // 4-byte boundary. Going to an indexed format each pixel takes the nearest
  // palette entry (the first of equals). palette: 32-bit words as pixels are
  // (the alpha byte is ignored); empty gives the default: pf1bit black, white;
  // pf8bit a grey ramp from black (0) to white (255). Indexed formats accept at
  // most 2 and 256 entries.
  void SetPixelFormat(TPixelFormat format, const std::vector<std::uint32_t>& palette);
  // The palette of an indexed format, else empty.
  const std::vector<std::uint32_t>& Palette() const { return palette_; }
  // Row y in the bitmap's own format, in every format; BytesPerLine apart.
  std::uint8_t* RawScanLine(int y);
  const std::uint8_t* RawScanLine(int y) const;
  int BytesPerLine() const;

  // The 32-bit accessors below and the canvas need a pf32bit bitmap and throw
  // Exception on another format; Pixel reads every format (index through the
  // palette, alpha $FF; an index beyond the palette reads black).
  std::uint32_t* ScanLine(int y);
  const std::uint32_t* ScanLine(int y) const;
  std::uint32_t Pixel(int x, int y) const;
  void SetPixel(int x, int y, std::uint32_t word);

  // The pixels as a QImage sharing our buffer (ARGB32), and an RGB32 image
  // whose fourth byte is $FF, for drawing the bitmap opaque as GDI does: a
  // copy, or the pixels themselves when they are opaque already.
  QImage& Image();
  const QImage& Image() const;
  QImage OpaqueImage() const;
  // The same for one part of the bitmap (clipped to it), so a paint reads
  // only the pixels it shows.
  QImage OpaqueImage(const TRect& part) const;

  // Where the top-left pixel lies in the picture the bitmap holds a part of
  // (0, 0 for a whole picture). The canvas and the blits into or out of the
  // bitmap take coordinates of that picture, so code that paints a tall
  // control can be given only its exposed part. ScanLine and Pixel stay in
  // the bitmap's own rows and columns. Copies keep the origin.
  TPoint Origin() const { return origin_; }
  void SetOrigin(TPoint origin) { origin_ = origin; }
  // The bitmap's pixels in the picture's coordinates.
  TRect PictureRect() const;

  // A canvas that draws on this bitmap; lives as long as the bitmap.
  TCanvas& Canvas();

  void Assign(const TBitmap& other);
  // Windows bitmap files (see LoadBmp); throw Exception with a clear message.
  // SaveToFile writes 24 bits and drops the alpha byte; SaveToFile32 writes
  // 32 bits and keeps the fourth byte exactly.
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;
  void SaveToFile32(const std::string& fileName) const;

 private:
  QImage image_;
  TPixelFormat format_ = TPixelFormat::pf32bit;
  std::vector<std::uint32_t> palette_;
  TPoint origin_{0, 0};
  std::unique_ptr<TCanvas> canvas_;
};

// Raster operation codes of the blits that the system uses.
enum class TRop { SrcCopy, SrcAnd, SrcPaint, SrcInvert, NotSrcCopy };

// Copies w x h pixels of src at (sx, sy) to dst at (dx, dy), clipped to both
// bitmaps as GDI clips (parts outside the source are not drawn). An empty
// source draws nothing. The raster operation acts on the whole 32-bit word,
// alpha byte included; src may be dst, overlapping or not.
void BitBlt(TBitmap& dst, int dx, int dy, int w, int h, const TBitmap& src, int sx, int sy,
            TRop rop = TRop::SrcCopy);

enum class TStretchMode { ColorOnColor, Halftone };
// Stretches the source rectangle onto the destination rectangle. ColorOnColor
// takes source x = sx + (i * sw) / dw (likewise y). Halftone averages the
// covered source area (box filter, exact integer weights, halves rounded to
// even), so equal sizes copy exactly. Every channel, alpha included, is treated
// alike. Mirrored (negative) sizes draw nothing; source pixels outside src are
// left out.
void StretchBlt(TBitmap& dst, const TRect& dstRect, const TBitmap& src, const TRect& srcRect,
                TStretchMode mode = TStretchMode::ColorOnColor);

// AlphaBlend with a premultiplied source (AC_SRC_OVER, AC_SRC_ALPHA) and a
// constant alpha: per channel, s = src * constAlpha / 255, a = srcA * constAlpha / 255,
// dst = s + dst * (255 - a) / 255 (integer division), saturating at 255 for a
// source that is not truly premultiplied. constAlpha is clamped to 0..255.
// Nearest neighbour when the sizes differ; the destination is clipped. Returns
// false (draws nothing) for empty rectangles or a source rectangle outside src.
bool AlphaBlend(TBitmap& dst, const TRect& dstRect, const TBitmap& src, const TRect& srcRect,
                int constAlpha = 255);

// Nine-slice: the corners of src (given by the four margins) copied unscaled,
// the edges and the centre stretched (Halftone) to fill dstRect of dst. When
// dstRect is smaller than the margins, the corner cells shrink and are cropped
// from their source cell's top-left. Margins that do not fit src throw.
void StretchNineSlice(TBitmap& dst, const TRect& dstRect, const TBitmap& src, int marginLeft, int marginTop,
                      int marginRight, int marginBottom);
