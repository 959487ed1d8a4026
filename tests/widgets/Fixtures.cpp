#include "Fixtures.h"

#include <png.h>

#include <QDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "platform/ImageFiles.h"

namespace {

struct TPngWriter {
  FILE* File = nullptr;
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  ~TPngWriter() {
    png_destroy_write_struct(&Png, &Info);
    if (File) std::fclose(File);
  }
};

bool SameRgba(const TRgba& a, const TRgba& b) {
  return a.R == b.R && a.G == b.G && a.B == b.B && a.A == b.A;
}

std::vector<png_byte> Row(int colorType, const std::vector<TRgba>& pixels, const std::vector<TRgba>& palette,
                          int y, int w) {
  std::vector<png_byte> row;
  for (int x = 0; x < w; ++x) {
    const TRgba& p = pixels[y * w + x];
    switch (colorType) {
      case PNG_COLOR_TYPE_GRAY:
        row.push_back(p.R);
        break;
      case PNG_COLOR_TYPE_GRAY_ALPHA:
        row.insert(row.end(), {p.R, p.A});
        break;
      case PNG_COLOR_TYPE_RGB:
        row.insert(row.end(), {p.R, p.G, p.B});
        break;
      case PNG_COLOR_TYPE_RGBA:
        row.insert(row.end(), {p.R, p.G, p.B, p.A});
        break;
      case PNG_COLOR_TYPE_PALETTE: {
        const auto at =
            std::find_if(palette.begin(), palette.end(), [&](const TRgba& e) { return SameRgba(e, p); });
        row.push_back(png_byte(at - palette.begin()));
        break;
      }
    }
  }
  return row;
}

}  // namespace

void WriteTestPng(const std::string& fileName, int colorType, int w, int h,
                  const std::vector<TRgba>& pixels) {
  // Everything with a destructor is made before setjmp, so libpng's longjmp skips none.
  std::vector<TRgba> palette;
  for (const TRgba& p : pixels)
    if (std::none_of(palette.begin(), palette.end(), [&](const TRgba& e) { return SameRgba(e, p); }))
      palette.push_back(p);
  std::vector<png_color> colours;
  std::vector<png_byte> alphas;
  for (const TRgba& p : palette) {
    colours.push_back({p.R, p.G, p.B});
    alphas.push_back(p.A);
  }
  std::vector<std::vector<png_byte>> rows;
  for (int y = 0; y < h; ++y) rows.push_back(Row(colorType, pixels, palette, y, w));

  TPngWriter writer;
  writer.File = std::fopen(fileName.c_str(), "wb");
  if (!writer.File) throw std::runtime_error("cannot write " + fileName);
  writer.Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  writer.Info = png_create_info_struct(writer.Png);
  if (setjmp(png_jmpbuf(writer.Png))) throw std::runtime_error("libpng failed on " + fileName);
  png_init_io(writer.Png, writer.File);
  png_set_IHDR(writer.Png, writer.Info, w, h, 8, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (colorType == PNG_COLOR_TYPE_PALETTE) {
    png_set_PLTE(writer.Png, writer.Info, colours.data(), int(colours.size()));
    png_set_tRNS(writer.Png, writer.Info, alphas.data(), int(alphas.size()), nullptr);
  }
  png_write_info(writer.Png, writer.Info);
  for (auto& row : rows) png_write_row(writer.Png, row.data());
  png_write_end(writer.Png, writer.Info);
}

TBitmap FilledBitmap(int w, int h, std::uint32_t word) {
  TBitmap bitmap(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bitmap.SetPixel(x, y, word);
  return bitmap;
}

void WriteScrollSkin(const std::string& folder) {
  using namespace TestSkin;
  const std::string p = folder + "/";
  SaveJpeg(p + "ScrollUp.jpg", FilledBitmap(Width, UpHeight, 0xFF808080u));
  SaveJpeg(p + "ScrollUp_over.jpg", FilledBitmap(Width, UpHeight, 0xFFA0A0A0u));
  SaveJpeg(p + "ScrollDown.jpg", FilledBitmap(Width, DownHeight, 0xFF404040u));
  SaveJpeg(p + "ScrollLine.jpg", FilledBitmap(LineWidth, 8, 0xFF000000u));
  FilledBitmap(Width, PieceHeight, Top).SaveToFile(p + "ScrollerUp.bmp");
  FilledBitmap(Width, 4, Middle).SaveToFile(p + "ScrollerMiddle.bmp");
  FilledBitmap(Width, PieceHeight, Bottom).SaveToFile(p + "ScrollerDown.bmp");
}

TSkinnedFolder::TSkinnedFolder() : previous_(QDir::currentPath()) {
  QDir(QString::fromStdString(dir_.Path())).mkdir("imgs");
  WriteScrollSkin(dir_.File("imgs"));
  QDir::setCurrent(QString::fromStdString(dir_.Path()));
}

TSkinnedFolder::~TSkinnedFolder() {
  QDir::setCurrent(previous_);
}

TBitmap Grab(QWidget& widget) {
  const QImage image = widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
  TBitmap bitmap(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) bitmap.SetPixel(x, y, image.pixel(x, y));
  return bitmap;
}

bool NearColour(std::uint32_t a, std::uint32_t b, int tolerance) {
  for (int shift : {0, 8, 16}) {
    const int ca = int((a >> shift) & 0xFF), cb = int((b >> shift) & 0xFF);
    if (std::abs(ca - cb) > tolerance) return false;
  }
  return true;
}
