#include "tools/artwork/ContactSheet.h"

#include <QFont>
#include <QPainter>
#include <fstream>

#include "platform/ImageFiles.h"
#include "platform/StrUtils.h"
#include "tools/artwork/Artwork.h"
#include "tools/artwork/Style.h"

namespace {

constexpr int kZoom = 4;
constexpr int kTileWidth = 300;
constexpr int kTileHeight = 240;
constexpr int kColumns = 4;

const TArtwork& Find(const std::string& name) {
  for (const TArtwork& art : AllArtwork())
    if (art.FileName == name) return art;
  throw Exception("No picture \"" + name + "\" in the registry.");
}

QImage FromPng(const TPngPicture& png) {
  QImage image = png.Bitmap.OpaqueImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < int(png.AlphaRows.size()); ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x)
      row[x] = (row[x] & 0xFFFFFFu) | (std::uint32_t(png.AlphaRows[y][x]) << 24);
  }
  return image;
}

// The file as the trainer will see it, through our own loaders.
QImage LoadBack(const std::string& folder, const std::string& name) {
  const TArtwork& art = Find(name);
  const std::string path = folder + "/" + name;
  const std::string ext = PictureExtension(name);
  if (ext == ".jpg") return LoadJpeg(path).OpaqueImage();
  if (ext == ".png") return FromPng(LoadPngPicture(path));
  TBitmap bitmap;
  bitmap.LoadFromFile(path);
  if (art.BmpAlpha == TBmpAlpha::None) return bitmap.OpaqueImage();
  SwapAlphaAndTransparency(bitmap);
  return bitmap.Image().copy();
}

TSkinMargins ReadMargins(const std::string& folder, const std::string& name) {
  const std::string file = MarginsFileName(name);
  std::ifstream in(folder + "/" + file);
  TSkinMargins m;
  if (!(in >> m.Left >> m.Right >> m.Top >> m.Bottom)) throw Exception("Bad margins file \"" + file + "\".");
  return m;
}

// The scroll bar as the trainer puts it together: arrows, stretched track and
// a thumb with a stretched middle.
QImage ComposeScrollBar(const std::string& folder, int height, int thumbTop, int thumbHeight) {
  const QImage up = LoadBack(folder, "ScrollUp.jpg");
  const QImage down = LoadBack(folder, "ScrollDown_over.jpg");
  const QImage line = LoadBack(folder, "ScrollLine.jpg");
  const QImage cap = LoadBack(folder, "ScrollerUp.bmp");
  const QImage middle = LoadBack(folder, "ScrollerMiddle.bmp");
  const QImage foot = LoadBack(folder, "ScrollerDown.bmp");
  const int w = cap.width();
  const int track = height - up.height() - down.height();
  const int top = up.height() + thumbTop;
  const int mid = thumbHeight - cap.height() - foot.height();
  QImage bar = NewPicture(w, height, Palette::Bar);
  QPainter p(&bar);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawImage(0, 0, up);
  p.drawImage(QRect((w - line.width()) / 2, up.height(), line.width(), track), line);
  p.drawImage(0, top, cap);
  p.drawImage(QRect(0, top + cap.height(), w, mid), middle);
  p.drawImage(0, top + cap.height() + mid, foot);
  p.drawImage(0, height - down.height(), down);
  return bar;
}

// Check boxes in their six looks and comma places stretched around commas, on
// the page's paper, as a body line at the trainer's font shows them.
QImage ComposeExerciseLine(const std::string& folder) {
  const QImage skin = LoadBack(folder, "checkbox.bmp");
  const TSkinMargins cm = ReadMargins(folder, "checkbox.bmp");
  QImage page = NewPicture(420, 100, Palette::Paper);
  QPainter p(&page);
  p.setFont(ArtFont(TArtFace::Serif, 20));
  const char* captions[] = {"пустой", "отмечен", "ошибка"};
  for (int col = 0; col < 3; ++col) {
    for (int row = 0; row < 2; ++row) {
      const int sy = row == 0 ? 0 : skin.height() - cm.Bottom;
      const QPoint at(8 + col * 135, 4 + row * 30);
      p.drawImage(at, skin, QRect(col * cm.Left, sy, cm.Left, cm.Top));
      p.drawText(at.x() + cm.Left, at.y() + 18, QString::fromUtf8(captions[col]));
    }
  }
  TBitmap field;
  field.LoadFromFile(folder + "/inputtext.bmp");
  const TSkinMargins fm = ReadMargins(folder, "inputtext.bmp");
  TBitmap strip(page.width(), 36);
  strip.Image().fill(Palette::Paper);
  StretchNineSlice(strip, Bounds(60, 8, 14, 20), field, fm.Left, fm.Top, fm.Right, fm.Bottom);
  StretchNineSlice(strip, Bounds(200, 4, 26, 28), field, fm.Left, fm.Top, fm.Right, fm.Bottom);
  p.drawImage(0, 64, strip.OpaqueImage());
  p.drawText(8, 86, QString::fromUtf8("Утро"));
  p.drawText(64, 86, ",");
  p.drawText(80, 86, QString::fromUtf8("ясно"));
  return page;
}

}  // namespace

void WriteContactSheet(const std::string& folder, const std::string& sheetPath) {
  const auto& all = AllArtwork();
  const int rows = int(all.size() + kColumns - 1) / kColumns;
  QImage sheet = NewPicture(kColumns * kTileWidth, rows * kTileHeight + 330, QColor(232, 232, 232));
  QPainter p(&sheet);
  p.setFont(ArtFont(TArtFace::Sans, 12));
  p.setPen(Qt::black);
  for (int i = 0; i < int(all.size()); ++i) {
    const QImage image = LoadBack(folder, all[i].FileName);
    const QRect at(QPoint((i % kColumns) * kTileWidth + 10, (i / kColumns) * kTileHeight + 10),
                   image.size() * kZoom);
    p.fillRect(at, Palette::Paper);
    p.drawImage(at, image);
    p.drawText(at.left(), at.bottom() + 16,
               QString("%1  %2 x %3")
                   .arg(QString::fromStdString(all[i].FileName))
                   .arg(image.width())
                   .arg(image.height()));
  }
  // Below the tiles: the bar at its size and enlarged around the thumb and an
  // arrow, then an exercise line at its size and enlarged.
  const int y0 = rows * kTileHeight + 10;
  const QImage bar = ComposeScrollBar(folder, 320, 100, 80);
  p.drawImage(10, y0, bar);
  p.drawImage(QRect(40, y0, bar.width() * 6, 50 * 6), bar, QRect(0, 100, bar.width(), 50));
  p.drawImage(QRect(160, y0, bar.width() * 6, 30 * 6), bar, QRect(0, 290, bar.width(), 30));
  const QImage line = ComposeExerciseLine(folder);
  p.drawImage(290, y0, line);
  p.drawImage(QRect(290, y0 + 110, line.width() * 2, line.height() * 2), line);
  p.end();
  SavePng(sheetPath, ToBitmap(sheet));
}
