#include "bench/OnScreen.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

QString PlatformDescription() {
  const QString name = QGuiApplication::platformName();
  if (name == "xcb") return "xcb (an X server, DISPLAY=" + qEnvironmentVariable("DISPLAY") + ")";
  if (name == "offscreen") return "offscreen (no screen: pictures stop in Qt's backing store)";
  return name;
}

namespace {

// A probe of at most 64 x 64 pixels at the centre of the largest part of
// the widget in sight: a small grab costs the same for every widget.
QRect Probe(const QWidget& widget) {
  QRect largest;
  for (const QRect& r : widget.visibleRegion())
    if (r.width() * r.height() > largest.width() * largest.height()) largest = r;
  const QSize size = largest.size().boundedTo(QSize(64, 64));
  return QRect(largest.center() - QPoint(size.width() / 2, size.height() / 2), size);
}

// The probe as the screen shows it now.
QImage FromScreen(const QWidget& widget, const QRect& probe) {
  const QPoint origin = widget.mapToGlobal(probe.topLeft());
  return widget.screen()
      ->grabWindow(0, origin.x(), origin.y(), probe.width(), probe.height())
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}

}  // namespace

bool WaitUntilOnScreen(QWidget& widget, int timeoutMs) {
  const QRect probe = Probe(widget);
  if (probe.isEmpty()) return false;
  const QImage painted = widget.grab(probe).toImage().convertToFormat(QImage::Format_RGB32);
  QElapsedTimer clock;
  clock.start();
  while (FromScreen(widget, probe) != painted) {
    if (clock.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

void SyncWithScreen() {
  if (QGuiApplication::platformName() == "xcb") QGuiApplication::primaryScreen()->grabWindow(0, 0, 0, 1, 1);
}
