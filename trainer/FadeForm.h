#pragma once
// The black overlay that darkens the main window behind the mistakes dialog:
// a borderless window whose opacity rises by 32 every 55 ms up to its target.

#include "platform/Forms.h"

class TTimer;

class TFadeForm : public TForm {
  Q_OBJECT

 public:
  // Covers the application's main window (the whole screen without one),
  // fully transparent, with its fading timer running.
  explicit TFadeForm(QObject* owner = nullptr);

  // The window's opacity, 0 (transparent) to 255 (opaque).
  int AlphaBlendValue() const { return alphaBlendValue_; }
  void SetAlphaBlendValue(int value);

  // One fading step.
  void Timer1Timer(TObject* sender);

  int TargetAlpha = 128;
  TTimer* Timer1;

 private:
  int alphaBlendValue_ = 0;
};
