#pragma once
// Picture files: PNG through libpng, JPEG through libjpeg (BMP lives in
// TBitmap). Every failure throws Exception naming the file and the reason.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Bitmap.h"

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
void SaveJpeg(const std::string& fileName, const TBitmap& bitmap, int quality = 92);
