#pragma once
// Picture files: Windows bitmaps of our own, PNG through libpng, JPEG through
// libjpeg. Every failure throws Exception naming the file and the reason; a
// missing file gives "File not found: %s". Pictures of more than 8192 pixels
// a side or 4096 x 4096 pixels in all are refused before any pixel is read,
// and so is a JPEG whose data is damaged or cut short.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Bitmap.h"

// The largest side of a picture that is loaded (see ImageFiles.cpp for why).
constexpr int kMaxPictureSide = 8192;

// Windows bitmap files: 1-, 4-, 8-, 24- and 32-bit BI_RGB (32-bit also with
// the plain B,G,R,A bit fields), rows either way up, all three header versions.
// The fourth byte of 32-bit pixels is kept exactly; other depths get alpha 255.
TBitmap LoadBmp(const std::string& fileName);
// Writes a bottom-up BI_RGB file of 24 bits (alpha dropped) or 32 bits (alpha kept).
void SaveBmp(const std::string& fileName, const TBitmap& bitmap, int bitsPerPixel);

struct TPngPicture {
  // The picture composited over white, per channel
  // (colour * alpha + 255 + 255 * (255 - alpha)) >> 8; alpha byte 255.
  TBitmap Bitmap;
  int ColorType = 0;  // the PNG colour type of the file (0, 2, 3, 4 or 6)
  // One alpha byte per pixel per row, only for colour types 4 and 6;
  // empty for every other type (tRNS transparency included).
  std::vector<std::vector<std::uint8_t>> AlphaRows;
};

TPngPicture LoadPngPicture(const std::string& fileName);
// Writes the bitmap as an 8-bit RGBA PNG, taking the alpha byte as straight alpha.
void SavePng(const std::string& fileName, const TBitmap& bitmap);

// A JPEG file as an opaque 32-bit bitmap (alpha byte 255).
TBitmap LoadJpeg(const std::string& fileName);
// Quality 1..100 (values outside are clamped); the alpha byte is ignored.
void SaveJpeg(const std::string& fileName, const TBitmap& bitmap, int quality = 92);
