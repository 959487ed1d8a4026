#pragma once
// The screen's size in pixels and millimetres, from one replaceable provider
// so that tests choose the screen (1024 x 768, 1280 x 1024, ...).

#include <functional>

struct TScreenMetrics {
  int Width = 0;  // pixels
  int Height = 0;
  int WidthMM = 0;  // physical size
  int HeightMM = 0;
};

using TScreenProvider = std::function<TScreenMetrics()>;

// The current screen: the provider's answer, or the primary screen's.
TScreenMetrics ScreenMetrics();
void SetScreenProvider(TScreenProvider provider);
void ResetScreenProvider();

// GetSystemMetrics and the screen's GetDeviceCaps, for the indices the system asks.
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
int GetSystemMetrics(int index);

constexpr int HORZSIZE = 4;
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
// Unknown indices give 0.
int ScreenDeviceCaps(int index);
