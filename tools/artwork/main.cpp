// quillon_artwork <outdir> [--sheet <file.png>]: draws every picture of the
// trainer into outdir; with --sheet also a contact sheet to look at.
#include <QGuiApplication>
#include <filesystem>
#include <iostream>

#include "platform/StrUtils.h"
#include "tools/artwork/Artwork.h"
#include "tools/artwork/ContactSheet.h"

int main(int argc, char** argv) {
  // Fonts for the sheet's labels need a GUI application; no display is used.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const bool withSheet = argc == 4 && std::string(argv[2]) == "--sheet";
  if (argc != 2 && !withSheet) {
    std::cerr << "usage: quillon_artwork <outdir> [--sheet <file.png>]\n";
    return 2;
  }
  try {
    std::filesystem::create_directories(argv[1]);
    WriteAllArtwork(argv[1]);
    if (withSheet) WriteContactSheet(argv[1], argv[3]);
  } catch (const std::exception& e) {
    std::cerr << "quillon_artwork: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
