// Picture files through the platform's loaders: one harness per format,
// chosen at build time (FUZZ_PNG, FUZZ_JPEG or FUZZ_BMP). A loaded picture
// is read to its last pixel, so a short buffer shows up at once.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "platform/ImageFiles.h"

namespace {

std::uint32_t ReadPixels(const TBitmap& bitmap) {
  std::uint32_t sum = 0;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) sum += bitmap.Pixel(x, y);
  return sum;
}

#ifdef FUZZ_PNG
std::uint32_t BigEndian32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// A mutated chunk almost never keeps its CRC, and libpng refuses it before
// reading further; mending the CRCs lets the mutations reach the decoder.
std::vector<std::uint8_t> WithMendedCrcs(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> png(data, data + size);
  std::size_t at = 8;  // past the signature
  while (at + 12 <= png.size()) {
    const std::uint32_t length = BigEndian32(&png[at]);
    if (length > png.size() - at - 12) break;
    const std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, &png[at + 4], length + 4));
    std::uint8_t* out = &png[at + 8 + length];
    for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    at += 12 + length;
  }
  return png;
}

void Load(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> png = WithMendedCrcs(data, size);
  const std::string path = WriteScratchFile("picture.png", png.data(), png.size());
  const TPngPicture picture = LoadPngPicture(path);
  // Alpha rows come with colour types 4 and 6 only, one byte per pixel.
  const bool alpha = picture.ColorType == 4 || picture.ColorType == 6;
  if (!alpha && !picture.AlphaRows.empty()) Fault("alpha rows for a colour type without alpha");
  if (alpha && picture.AlphaRows.size() != static_cast<std::size_t>(picture.Bitmap.Height()))
    Fault("not one alpha row per pixel row");
  for (const std::vector<std::uint8_t>& row : picture.AlphaRows)
    if (row.size() != static_cast<std::size_t>(picture.Bitmap.Width()))
      Fault("an alpha row of the wrong length");
  ReadPixels(picture.Bitmap);
}
#elif defined(FUZZ_JPEG)
void Load(const std::uint8_t* data, std::size_t size) {
  ReadPixels(LoadJpeg(WriteScratchFile("picture.jpg", data, size)));
}
#elif defined(FUZZ_BMP)
void Load(const std::uint8_t* data, std::size_t size) {
  ReadPixels(LoadBmp(WriteScratchFile("picture.bmp", data, size)));
}
#else
#error "Choose FUZZ_PNG, FUZZ_JPEG or FUZZ_BMP"
#endif

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  StartFuzzApplication(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ExpectDocumentedOutcome([&] { Load(data, size); });
  return 0;
}
