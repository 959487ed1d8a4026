#include "TrainerFixtures.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include "platform/Application.h"
#include "platform/Screen.h"
#include "tools/artwork/Artwork.h"

void EnterArtworkFolder() {
  static QTemporaryDir* folder = nullptr;
  if (folder) return;
  folder = new QTemporaryDir;
  QDir(folder->path()).mkdir("imgs");
  WriteAllArtwork(folder->path().toStdString() + "/imgs");
  QDir::setCurrent(folder->path());
}

std::string ImgsPath(const std::string& name) {
  return QDir::currentPath().toStdString() + "/imgs/" + name;
}

TPictureAside::TPictureAside(const std::string& name, bool broken) : path_(ImgsPath(name)) {
  QFile::rename(QString::fromStdString(path_), QString::fromStdString(path_ + ".aside"));
  if (!broken) return;
  QFile file(QString::fromStdString(path_));
  if (file.open(QIODevice::WriteOnly)) file.write("not a picture at all");
}

TPictureAside::~TPictureAside() {
  QFile::remove(QString::fromStdString(path_));
  QFile::rename(QString::fromStdString(path_ + ".aside"), QString::fromStdString(path_));
}

TScreenSize::TScreenSize(int width, int height) {
  SetScreenProvider([width, height] { return TScreenMetrics{width, height, width / 4, height / 4}; });
}

TScreenSize::~TScreenSize() {
  ResetScreenProvider();
}

TWorkScreen::TWorkScreen(int width, int height) : screen_(width, height), host_(std::make_unique<TForm>()) {
  EnterArtworkFolder();
  host_->Hide();
  host_->SetBorderStyle(bsNone);
  host_->SetBounds(0, 0, width, height);
  frame_ = new TWorkFrame(host_.get());
  frame_->SetParent(host_.get());
  frame_->SetAlign(alClient);
  // As loading a list does, once the frame has the window's size.
  frame_->LayoutWorkFrame();
  Application->MainForm = host_.get();
}

TWorkScreen::~TWorkScreen() {
  if (Application->MainForm == host_.get()) Application->MainForm = nullptr;
}

int Channel(std::uint32_t word, int shift) {
  return int((word >> shift) & 0xFF);
}

TBitmap Grab(QWidget& widget) {
  const QImage shot = widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
  TBitmap bitmap(shot.width(), shot.height());
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x) bitmap.SetPixel(x, y, shot.pixel(x, y));
  return bitmap;
}

void SaveRender(const QImage& image, const std::string& name) {
  QDir().mkpath(TRAINER_RENDER_DIR);
  ASSERT_TRUE(image.save(QString(TRAINER_RENDER_DIR) + "/" + QString::fromStdString(name)));
}

bool HasInk(const QImage& shot, const QWidget& root, const QWidget& widget) {
  const QRect place = QRect(widget.mapTo(&root, QPoint(0, 0)), widget.size()) & shot.rect();
  for (int y = place.top(); y <= place.bottom(); ++y)
    for (int x = place.left(); x <= place.right(); ++x)
      if (qGray(shot.pixel(x, y)) < 100) return true;
  return false;
}

QWidget* MouseAt(QWidget& root, QPoint at, TMouseStep step) {
  QWidget* target = root.childAt(at);
  if (!target) target = &root;
  const QPoint local = target->mapFrom(&root, at);
  switch (step) {
    case TMouseStep::Press:
      QTest::mousePress(target, Qt::LeftButton, Qt::NoModifier, local);
      break;
    case TMouseStep::Release:
      QTest::mouseRelease(target, Qt::LeftButton, Qt::NoModifier, local);
      break;
    case TMouseStep::Click:
      QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, local);
      break;
    case TMouseStep::Move: {
      // QTest's first move into a window only enters it; a move event reaches the control at once.
      QMouseEvent move(QEvent::MouseMove, local, target->mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                       Qt::NoModifier);
      QApplication::sendEvent(target, &move);
      break;
    }
  }
  return target;
}
