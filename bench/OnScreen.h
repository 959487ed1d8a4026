#pragma once
// What the benches need to time a picture to the screen, not only to Qt's
// backing store: which platform they run on, and a wait until the screen
// (the X server under xcb) shows what a widget painted.

#include <QString>

class QWidget;

// "xcb (an X server, DISPLAY=:1)" or "offscreen (no screen)", for the benches' output.
QString PlatformDescription();

// Waits until the screen shows, at widget's centre, the pixels widget paints
// there (a grab from the screen, which under xcb is a round trip to the
// X server, so every request sent before it has been carried out). False when
// it does not within timeoutMs.
bool WaitUntilOnScreen(QWidget& widget, int timeoutMs = 5000);

// Under X, returns once the X server has carried out every request sent so
// far (a one-pixel grab, which is a round trip); elsewhere at once.
void SyncWithScreen();
