#include "platform/Screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

#include "platform/Font.h"

namespace {

TScreenProvider& Provider() {
  static TScreenProvider provider;
  return provider;
}

TScreenMetrics PrimaryScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {};
  const QRect g = screen->geometry();
  const QSizeF mm = screen->physicalSize();
  return {g.width(), g.height(), static_cast<int>(std::lround(mm.width())),
          static_cast<int>(std::lround(mm.height()))};
}

}  // namespace

TScreenMetrics ScreenMetrics() {
  return Provider() ? Provider()() : PrimaryScreen();
}

void SetScreenProvider(TScreenProvider provider) {
  Provider() = std::move(provider);
}

void ResetScreenProvider() {
  Provider() = nullptr;
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN:
      return ScreenMetrics().Width;
    case SM_CYSCREEN:
      return ScreenMetrics().Height;
    default:
      return 0;
  }
}

int ScreenDeviceCaps(int index) {
  const TScreenMetrics m = ScreenMetrics();
  switch (index) {
    case HORZSIZE:
      return m.WidthMM;
    case VERTSIZE:
      return m.HeightMM;
    case HORZRES:
      return m.Width;
    case VERTRES:
      return m.Height;
    case LOGPIXELSX:
    case LOGPIXELSY:
      return ScreenPixelsPerInch;
    default:
      return 0;
  }
}
