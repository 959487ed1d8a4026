// Takes a picture of a part of the X screen, as a person would see it, for
// the end-to-end tests: saves it as PNG and prints how much of it is paper
// (near-white) and how much is ink (dark), in pixels, and its mean grey
// (0-255); given an earlier picture of the same size, also how many pixels
// differ from it.
//   screen_probe OUT.png X Y WIDTH HEIGHT [EARLIER.png]
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 6 && argc != 7) {
    std::fprintf(stderr, "usage: screen_probe OUT.png X Y WIDTH HEIGHT [EARLIER.png]\n");
    return 2;
  }
  QGuiApplication app(argc, argv);
  const int x = std::atoi(argv[2]), y = std::atoi(argv[3]), width = std::atoi(argv[4]),
            height = std::atoi(argv[5]);
  const QImage picture =
      app.primaryScreen()->grabWindow(0, x, y, width, height).toImage().convertToFormat(QImage::Format_RGB32);
  if (picture.isNull()) {
    std::fprintf(stderr, "screen_probe: the screen gave no picture\n");
    return 1;
  }
  if (!picture.save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "screen_probe: cannot write %s\n", argv[1]);
    return 1;
  }
  long paper = 0, ink = 0;
  double grey = 0;
  for (int y = 0; y < picture.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
    for (int x = 0; x < picture.width(); ++x) {
      const int luma = qGray(row[x]);
      paper += luma >= 240;
      ink += luma < 96;
      grey += luma;
    }
  }
  std::printf("paper %ld ink %ld mean %d", paper, ink, int(grey / (double(picture.width()) * picture.height())));
  if (argc == 7) {
    const QImage earlier = QImage(QString::fromLocal8Bit(argv[6])).convertToFormat(QImage::Format_RGB32);
    if (earlier.size() != picture.size()) {
      std::fprintf(stderr, "\nscreen_probe: %s is not a picture of that size\n", argv[6]);
      return 1;
    }
    long differ = 0;
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x) differ += picture.pixel(x, y) != earlier.pixel(x, y);
    std::printf(" differ %ld", differ);
  }
  std::printf("\n");
  return 0;
}
