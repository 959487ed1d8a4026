#pragma once
// Scaffolding for the answer controls that draw skins and marks: the trainer's
// artwork in a folder of its own (skins through ImagesFolder, ".\imgs\"
// pictures from the current folder), a page shown in an active window, and
// pixel helpers.

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "ExerciseFixtures.h"
#include "exercise/RLControl.h"
#include "tools/artwork/Artwork.h"

// The artwork is drawn once per test program; each scope enters its folder
// and leaves the current folder and ImagesFolder as they were.
class ArtworkScope {
 public:
  ArtworkScope() : savedCurrent_(QDir::currentPath()), savedImages_(ImagesFolder) {
    QDir::setCurrent(Folder());
    ImagesFolder = Folder().toStdString() + "/imgs/";
  }
  ~ArtworkScope() {
    QDir::setCurrent(savedCurrent_);
    ImagesFolder = savedImages_;
  }
  ArtworkScope(const ArtworkScope&) = delete;
  ArtworkScope& operator=(const ArtworkScope&) = delete;

  static std::string Imgs(const std::string& name) { return Folder().toStdString() + "/imgs/" + name; }

 private:
  static QString Folder() {
    static QTemporaryDir* folder = [] {
      auto* dir = new QTemporaryDir;
      QDir(dir->path()).mkdir("imgs");
      WriteAllArtwork(dir->path().toStdString() + "/imgs");
      return dir;
    }();
    return folder->path();
  }

  QString savedCurrent_;
  std::string savedImages_;
};

// The body's paper colour, so the blends are checked over a real background.
constexpr TColor PageColor = 0xE2EFF6;

// A body page on the artwork, with the controls of one kind picked out.
class MarkPage {
 public:
  explicit MarkPage(int width = 500) : page_(width, true) { page_.Parser->SetColor(PageColor); }

  template <class T>
  std::vector<T*> Parse(const std::string& markup) {
    page_.Parse(markup);
    std::vector<T*> found;
    for (TRLControl* child : page_.Children())
      if (auto* control = qobject_cast<T*>(child)) found.push_back(control);
    return found;
  }
  template <class T>
  T* ParseOne(const std::string& markup) {
    const std::vector<T*> found = Parse<T>(markup);
    return found.empty() ? nullptr : found.front();
  }

  // Shows the page in an active window, so that the focus moves for real.
  bool Show() {
    page_.Window->Show();
    page_.Window->activateWindow();
    return QTest::qWaitForWindowActive(page_.Window.get());
  }

  TRLParser& Parser() { return *page_.Parser; }
  TForm& Window() { return *page_.Window; }

 private:
  TagTableScope tags_;
  ArtworkScope artwork_;
  TestPage page_;
};

inline TBitmap Painted(TRLControl& control) {
  TBitmap out(control.Width(), control.Height());
  control.Paint(out.Canvas());
  return out;
}

inline int PixelChannel(std::uint32_t word, int shift) {
  return int((word >> shift) & 0xFF);
}

// Clearly red: the marks are drawn in pure red, smoothed at their edges.
inline bool IsRed(std::uint32_t word) {
  return PixelChannel(word, 16) > 180 && PixelChannel(word, 8) < 110 && PixelChannel(word, 0) < 110;
}
inline bool IsPaper(std::uint32_t word) {
  return (word & 0xFFFFFF) == (ColorToPixel(PageColor) & 0xFFFFFF);
}

// How many pixels of r (clipped to the bitmap) satisfy test.
inline int CountWhere(const TBitmap& bitmap, const TRect& r, const std::function<bool(std::uint32_t)>& test) {
  int count = 0;
  for (int y = std::max(0, r.Top); y < std::min(bitmap.Height(), r.Bottom); ++y)
    for (int x = std::max(0, r.Left); x < std::min(bitmap.Width(), r.Right); ++x)
      count += test(bitmap.Pixel(x, y));
  return count;
}
