#pragma once
// The black overlay that darkens the main window behind the mistakes dialog:
// a borderless window whose darkness rises by 32 every 55 ms up to its target.
// Over the main window it paints a snapshot of that window under black of its
// alpha, so it looks the same with or without a compositing window manager;
// with no main window it falls back to the window's own opacity.

#include <QPixmap>
#include <functional>

#include "platform/Forms.h"

class TTimer;

class TFadeForm : public TForm {
  Q_OBJECT

 public:
  // Covers the application's main window (the whole screen without one),
  // fully transparent, with its fading timer running.
  explicit TFadeForm(QObject* owner = nullptr);

  // How dark the overlay is, 0 (clear) to 255 (black).
  int AlphaBlendValue() const { return alphaBlendValue_; }
  void SetAlphaBlendValue(int value);

  // One fading step.
  void Timer1Timer(TObject* sender);

  // True when the overlay darkens a snapshot of the main window.
  bool CoversSnapshot() const { return !snapshot_.isNull(); }

  int TargetAlpha = 128;
  // Called after every change of darkness (the dialog above repaints its edge).
  std::function<void()> OnFade;
  TTimer* Timer1;

 protected:
  void EraseBackground(QPainter& painter) override;

 private:
  int alphaBlendValue_ = 0;
  QPixmap snapshot_;
};
