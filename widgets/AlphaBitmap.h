#pragma once
// Alpha bitmaps: 32-bit bitmaps whose colour bytes are premultiplied by their
// alpha byte, ready for AlphaBlend. Every picture laid over another is one.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Bitmap.h"

// B, G and R scaled by alpha / 256 (a shift, not a division by 255), the
// alpha byte replaced by newAlpha. Both values range from 0 to 255.
std::uint32_t PremultiplyPixel(std::uint32_t pixel, int alpha, int newAlpha);

// Premultiplies every pixel in place by its own alpha byte.
void PremultiplyBitmap(TBitmap& bitmap);

// A PNG file as a 32-bit bitmap composited over white; for PNGs with an alpha
// channel (colour types 4 and 6) the alpha byte holds it and, with premultiply,
// the colours are premultiplied. Other PNGs come back opaque (alpha 255).
// Throws Exception for a missing or broken file.
std::unique_ptr<TBitmap> LoadAlphaBitmap(const std::string& fileName, bool premultiply);

// Writes the alpha channel as a grey bitmap file (each channel = alpha,
// alpha byte 0). Throws Exception when the file cannot be written.
void SaveAlphaMask(const TBitmap& bitmap, const std::string& fileName);
