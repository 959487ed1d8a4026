#include "widgets/AlphaBitmap.h"

#include "platform/ImageFiles.h"

namespace {

std::uint32_t ScaleChannel(std::uint32_t pixel, int shift, int alpha) {
  return ((((pixel >> shift) & 0xFFu) * std::uint32_t(alpha)) >> 8) << shift;
}

}  // namespace

std::uint32_t PremultiplyPixel(std::uint32_t pixel, int alpha, int newAlpha) {
  return ScaleChannel(pixel, 0, alpha) | ScaleChannel(pixel, 8, alpha) | ScaleChannel(pixel, 16, alpha) |
         (std::uint32_t(newAlpha & 0xFF) << 24);
}

void PremultiplyBitmap(TBitmap& bitmap) {
  for (int y = 0; y < bitmap.Height(); ++y) {
    std::uint32_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      const int a = int(row[x] >> 24);
      row[x] = PremultiplyPixel(row[x], a, a);
    }
  }
}

std::unique_ptr<TBitmap> LoadAlphaBitmap(const std::string& fileName, bool premultiply) {
  TPngPicture picture = LoadPngPicture(fileName);
  auto result = std::make_unique<TBitmap>(std::move(picture.Bitmap));
  // Without an alpha channel the picture stays as drawn: opaque, not premultiplied.
  if (picture.AlphaRows.empty()) return result;
  for (int y = 0; y < result->Height(); ++y) {
    std::uint32_t* row = result->ScanLine(y);
    const auto& alpha = picture.AlphaRows[y];
    for (int x = 0; x < result->Width(); ++x) row[x] = (std::uint32_t(alpha[x]) << 24) | (row[x] & 0xFFFFFFu);
  }
  if (premultiply) PremultiplyBitmap(*result);
  return result;
}

void SaveAlphaMask(const TBitmap& bitmap, const std::string& fileName) {
  TBitmap mask(bitmap.Width(), bitmap.Height());
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint32_t* in = bitmap.ScanLine(y);
    std::uint32_t* out = mask.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x) out[x] = (in[x] >> 24) * 0x010101u;
  }
  mask.SaveToFile32(fileName);
}
