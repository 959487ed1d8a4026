#include "trainer/FadeForm.h"

#include <QPainter>
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
  if (Application->MainForm) {
    // Above the main window under any window manager, and in no taskbar.
    SetPopupParent(Application->MainForm);
    // Over a full-screen main window, full screen too: a window manager
    // keeps other windows out of its panels' strip of the screen.
    if (Application->MainForm->IsFullScreen())
      SetFullScreen();
    else
      SetBoundsRect(Application->MainForm->BoundsRect());
    snapshot_ = Application->MainForm->grab();
  } else {
    const TScreenMetrics screen = ScreenMetrics();
    SetBounds(0, 0, screen.Width, screen.Height);
  }
  SetAlphaBlendValue(0);
  Timer1 = new TTimer(this);
  Timer1->SetInterval(kFadeInterval);
  Timer1->OnTimer = [this](TObject* sender) { Timer1Timer(sender); };
}

void TFadeForm::SetAlphaBlendValue(int value) {
  alphaBlendValue_ = std::clamp(value, 0, 255);
  if (CoversSnapshot())
    update();
  else
    setWindowOpacity(alphaBlendValue_ / 255.0);
  if (OnFade) OnFade();
}

void TFadeForm::EraseBackground(QPainter& painter) {
  if (!CoversSnapshot()) {
    TForm::EraseBackground(painter);
    return;
  }
  painter.drawPixmap(0, 0, snapshot_);
  painter.fillRect(rect(), QColor(0, 0, 0, alphaBlendValue_));
}

void TFadeForm::Timer1Timer(TObject*) {
  if (alphaBlendValue_ < TargetAlpha) SetAlphaBlendValue(alphaBlendValue_ + kFadeStep);
}
