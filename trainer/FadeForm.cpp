#include "trainer/FadeForm.h"

#include <algorithm>

#include "platform/Application.h"
#include "platform/Screen.h"
#include "platform/Timer.h"

namespace {
constexpr int kFadeStep = 32;
constexpr int kFadeInterval = 55;
}  // namespace

TFadeForm::TFadeForm(QObject* owner) : TForm(owner) {
  // Hidden first: a new border style shows a form whose Visible flag is set.
  Hide();
  SetBorderStyle(bsNone);
  // It only darkens: showing it takes no focus.
  setAttribute(Qt::WA_ShowWithoutActivating, true);
  SetCaption("FadeForm");
  SetColor(clBlack);
  SetAlphaBlendValue(0);
  if (Application->MainForm) {
    SetBoundsRect(Application->MainForm->BoundsRect());
  } else {
    const TScreenMetrics screen = ScreenMetrics();
    SetBounds(0, 0, screen.Width, screen.Height);
  }
  Timer1 = new TTimer(this);
  Timer1->SetInterval(kFadeInterval);
  Timer1->OnTimer = [this](TObject* sender) { Timer1Timer(sender); };
}

void TFadeForm::SetAlphaBlendValue(int value) {
  alphaBlendValue_ = std::clamp(value, 0, 255);
  setWindowOpacity(alphaBlendValue_ / 255.0);
}

void TFadeForm::Timer1Timer(TObject*) {
  if (alphaBlendValue_ < TargetAlpha) SetAlphaBlendValue(alphaBlendValue_ + kFadeStep);
}
