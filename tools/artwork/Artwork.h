#pragma once
// The trainer's pictures, drawn in code: a registry of {file name, draw function}
// and the writer that stores each through our own PNG, JPEG and BMP writers.
//
// To add a picture: draw it in the source file of its screen or family, add one
// entry there, and list the file in tools/artwork/CMakeLists.txt. A new family
// is a new source file whose Add...Artwork is declared below and called by the registry.

#include <QImage>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Bitmap.h"

// How a .bmp file keeps the picture's alpha.
enum class TBmpAlpha {
  None,          // 24-bit, opaque: skins that are copied, never blended
  Transparency,  // 32-bit, fourth byte = 255 - alpha over straight colour (0 = opaque),
                 // the form the check box blends its skin cells with
};

// The four margins of a nine-slice skin, written to "<name>.txt" as "left right top bottom".
struct TSkinMargins {
  int Left = 0;
  int Right = 0;
  int Top = 0;
  int Bottom = 0;
};

struct TArtwork {
  TArtwork(std::string fileName, QImage (*draw)(), TBmpAlpha bmpAlpha = TBmpAlpha::None,
           std::optional<TSkinMargins> margins = std::nullopt)
      : FileName(std::move(fileName)), Draw(draw), BmpAlpha(bmpAlpha), Margins(margins) {}

  std::string FileName;  // the extension (.png, .jpg, .bmp) chooses the writer
  QImage (*Draw)();
  TBmpAlpha BmpAlpha;
  std::optional<TSkinMargins> Margins;
};

// Every picture the trainer ships, in a fixed order.
const std::vector<TArtwork>& AllArtwork();

// The files one entry writes: the picture and, for a skin, its margins file.
std::vector<std::string> ArtworkFiles(const TArtwork& art);

// Straight-alpha pixel words (B,G,R,A in memory) of any QImage.
TBitmap ToBitmap(const QImage& image);
// Alpha and the check box's transparency are each other's complement: flips
// the fourth byte of every pixel, either way.
void SwapAlphaAndTransparency(TBitmap& bitmap);

// The lower-cased extension with its dot (".bmp"), and a skin's margins file ("checkbox.txt").
std::string PictureExtension(const std::string& fileName);
std::string MarginsFileName(const std::string& fileName);

// Draws the entry and writes its files into folder (which must exist).
// Throws Exception naming the file on any failure.
void WriteArtwork(const TArtwork& art, const std::string& folder);
void WriteAllArtwork(const std::string& folder);

// The families of pictures, one source file each.
void AddSkinArtwork(std::vector<TArtwork>& list);
void AddScrollBarArtwork(std::vector<TArtwork>& list);
void AddWorkScreenArtwork(std::vector<TArtwork>& list);
void AddSpriteButtonArtwork(std::vector<TArtwork>& list);
void AddMistakesDialogArtwork(std::vector<TArtwork>& list);
void AddExerciseMarkArtwork(std::vector<TArtwork>& list);
void AddExerciseButtonArtwork(std::vector<TArtwork>& list);
void AddExerciseContainerArtwork(std::vector<TArtwork>& list);
void AddTitleScreenArtwork(std::vector<TArtwork>& list);
