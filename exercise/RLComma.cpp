#include "exercise/RLComma.h"

#include "exercise/TextTokens.h"
#include "platform/Canvas.h"
#include "platform/Timer.h"

namespace {

constexpr int BlinkInterval = 500;
constexpr int CrossWidth = 2;
constexpr int MissingCommaSize = -26;

}  // namespace

TRLComma::TRLComma(QObject* owner) : TRLControl(owner), blinkTimer_(new TTimer(this)) {
  LoadSkin("inputtext.bmp");
  blinkTimer_->SetEnabled(false);
  blinkTimer_->SetInterval(BlinkInterval);
  blinkTimer_->OnTimer = [this](TObject*) { Blink(); };
}

void TRLComma::ParseParameters(const std::string& params) {
  TRLControl::ParseParameters(params);
  SizeToComma();
  ForEachAttribute(params, [this](const std::string& key, const std::string& value) {
    if (key == "comma") {
      Comma = ParseIntAttribute(value);
      InitialComma = Comma;
    } else if (key == "answer") {
      Answer = ParseIntAttribute(value);
    }
  });
}

void TRLComma::SizeToComma() {
  SetBounds(Left(), Top(), TextWidthOf(this, ",") + MarginLeft + MarginRight,
            TextHeightOf(this, ",") / 2 + MarginTop + MarginBottom);
}

// ----- checking

void TRLComma::Check() {
  TRLControl::Check();
  Score = Comma == Answer ? 1 : 0;
  ErrorShown = Comma != Answer;
  Invalidate();
}

void TRLComma::CheckOnlyScore() {
  MaxScore = 1;
  Score = Comma == Answer ? 1 : 0;
}

void TRLComma::Reset() {
  TRLControl::Reset();
  ErrorShown = false;
  Comma = InitialComma;
  Invalidate();
}

// ----- the learner's actions

void TRLComma::InvertComma() {
  Comma = Comma ? 0 : 1;
  Invalidate();
}

void TRLComma::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  QPointer<TRLComma> self(this);
  TRLControl::MouseDown(button, shift, x, y);
  if (!self) return;
  SetFocus();
  InvertComma();
}

void TRLComma::KeyPress(char& key) {
  QPointer<TRLComma> self(this);
  TRLControl::KeyPress(key);
  if (!self || key != ' ') return;
  // A comma changed under the marks would be drawn as the opposite mistake.
  ErrorShown = false;
  InvertComma();
}

void TRLComma::SetFocus() {
  TRLControl::SetFocus();
  FocusGained();
}

void TRLComma::DoEnter() {
  TRLControl::DoEnter();
  FocusGained();
}

void TRLComma::FocusGained() {
  ErrorShown = false;
  blinkTimer_->SetEnabled(true);
  SkinOn = true;
  Invalidate();
}

void TRLComma::DoExit() {
  TRLControl::DoExit();
  blinkTimer_->SetEnabled(false);
  SkinOn = true;
  Invalidate();
}

void TRLComma::Blink() {
  SkinOn = !SkinOn;
  Invalidate();
}

// ----- painting

void TRLComma::Paint(TCanvas& canvas) {
  if (SkinOn)
    TRLControl::Paint(canvas);
  else
    PaintBackground(canvas);
  canvas.Font = Font();
  canvas.Brush.Style = TBrushStyle::bsClear;
  if (!ErrorShown) {
    if (Comma) canvas.TextOut(MarginLeft, MarginTop - canvas.TextHeight(",") / 2, ",");
  } else if (Comma) {
    PaintCross(canvas);
  } else {
    PaintMissingComma(canvas);
  }
}

void TRLComma::PaintCross(TCanvas& canvas) const {
  canvas.Pen = TPen{clRed, CrossWidth, TPenStyle::psSolid, TPenMode::pmCopy};
  canvas.MoveTo(0, 0);
  canvas.LineTo(Width(), Height());
  canvas.MoveTo(Width(), 0);
  canvas.LineTo(0, Height());
}

void TRLComma::PaintMissingComma(TCanvas& canvas) const {
  canvas.Font.Color = clRed;
  canvas.Font.SetSize(MissingCommaSize);
  canvas.TextOut((Width() - canvas.TextWidth(",")) / 2, Height() - canvas.TextHeight(","), ",");
}
