#include "tools/artwork/Artwork.h"

#include <cstring>
#include <fstream>

#include "platform/ImageFiles.h"
#include "platform/StrUtils.h"

namespace {

void WriteBmp(const TArtwork& art, const QImage& image, const std::string& path) {
  TBitmap bitmap = ToBitmap(image);
  if (art.BmpAlpha == TBmpAlpha::None) {
    bitmap.SaveToFile(path);
    return;
  }
  // The check box blends (background * t + image * (255 - t)) / 256, so its
  // skin stores transparency where other formats store alpha.
  SwapAlphaAndTransparency(bitmap);
  bitmap.SaveToFile32(path);
}

void WriteMargins(const TSkinMargins& m, const std::string& path) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << m.Left << ' ' << m.Right << ' ' << m.Top << ' ' << m.Bottom << "\r\n";
  if (!out.flush()) throw Exception("Cannot write the margins file \"" + path + "\".");
}

std::vector<TArtwork> BuildRegistry() {
  std::vector<TArtwork> list;
  AddSkinArtwork(list);
  AddScrollBarArtwork(list);
  AddWorkScreenArtwork(list);
  AddSpriteButtonArtwork(list);
  AddMistakesDialogArtwork(list);
  AddExerciseMarkArtwork(list);
  AddExerciseButtonArtwork(list);
  AddExerciseContainerArtwork(list);
  AddTitleScreenArtwork(list);
  return list;
}

}  // namespace

const std::vector<TArtwork>& AllArtwork() {
  static const std::vector<TArtwork> registry = BuildRegistry();
  return registry;
}

std::vector<std::string> ArtworkFiles(const TArtwork& art) {
  std::vector<std::string> files{art.FileName};
  if (art.Margins) files.push_back(MarginsFileName(art.FileName));
  return files;
}

TBitmap ToBitmap(const QImage& image) {
  // Format_ARGB32 words are 0xAARRGGBB, which is B,G,R,A in memory, as ours.
  const QImage straight = image.convertToFormat(QImage::Format_ARGB32);
  TBitmap bitmap(straight.width(), straight.height());
  for (int y = 0; y < straight.height(); ++y)
    std::memcpy(bitmap.ScanLine(y), straight.constScanLine(y), std::size_t(straight.width()) * 4);
  return bitmap;
}

void SwapAlphaAndTransparency(TBitmap& bitmap) {
  for (int y = 0; y < bitmap.Height(); ++y) {
    std::uint32_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x) row[x] ^= 0xFF000000u;
  }
}

std::string PictureExtension(const std::string& fileName) {
  const auto dot = fileName.rfind('.');
  return dot == std::string::npos ? std::string() : LowerCase(fileName.substr(dot));
}

std::string MarginsFileName(const std::string& fileName) {
  return fileName.substr(0, fileName.rfind('.')) + ".txt";
}

void WriteArtwork(const TArtwork& art, const std::string& folder) {
  const std::string path = folder + "/" + art.FileName;
  const QImage image = art.Draw();
  if (image.isNull()) throw Exception("The picture \"" + art.FileName + "\" was drawn empty.");
  const std::string ext = PictureExtension(art.FileName);
  if (ext == ".png")
    SavePng(path, ToBitmap(image));
  else if (ext == ".jpg")
    SaveJpeg(path, ToBitmap(image), 95);
  else if (ext == ".bmp")
    WriteBmp(art, image, path);
  else
    throw Exception("No writer for the picture \"" + art.FileName + "\".");
  if (art.Margins) WriteMargins(*art.Margins, folder + "/" + MarginsFileName(art.FileName));
}

void WriteAllArtwork(const std::string& folder) {
  for (const TArtwork& art : AllArtwork()) WriteArtwork(art, folder);
}
