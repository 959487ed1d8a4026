#include "exercise/RLNotParticle.h"

#include <algorithm>

#include "exercise/TextTokens.h"
#include "platform/Canvas.h"
#include "widgets/AlphaBitmap.h"

namespace {

const char* const ErrorImageFile = ".\\imgs\\ne_err.png";

// What follows the text for each joint while no marks show.
const char* JointText(int state) {
  switch (state) {
    case TRLNotParticle::Together:
      return "";
    case TRLNotParticle::Apart:
      return " ";
    case TRLNotParticle::Hyphen:
      return "-";
    default:
      return "*";
  }
}

}  // namespace

TRLNotParticle::TRLNotParticle(QObject* owner)
    : TRLControl(owner), errorImage_(LoadAlphaBitmap(ErrorImageFile, true)) {}

TRLNotParticle::~TRLNotParticle() = default;

void TRLNotParticle::ParseParameters(const std::string& params) {
  TRLControl::ParseParameters(params);
  ForEachAttribute(params, [this](const std::string& key, const std::string& value) {
    if (key == "text")
      SetText(value);
    else if (key == "answer")
      Answer = ParseIntAttribute(value);
    else if (key == "together")
      ParseIntAttribute(value);  // every control starts with nothing chosen
  });
  State = NotChosen;
  SizeToText();
}

void TRLNotParticle::SizeToText() {
  TFont font = Font();
  font.Style |= fsBold;
  SetFont(font);
  const std::string& text = Text();
  SetBounds(Left(), Top(),
            std::max(TextWidthOf(this, text) + errorImage_->Width(), TextWidthOf(this, text + " ")),
            std::max(TextHeightOf(this, text + " "), errorImage_->Height()));
}

void TRLNotParticle::StepState() {
  State = State + 1;
  if (State > Hyphen) State -= 3;
}

// ----- checking

void TRLNotParticle::Check() {
  TRLControl::Check();
  Score = State == Answer ? 1 : 0;
  ErrorShown = State != Answer;
  Invalidate();
}

void TRLNotParticle::CheckOnlyScore() {
  MaxScore = 1;
  Score = State == Answer ? 1 : 0;
}

void TRLNotParticle::Reset() {
  TRLControl::Reset();
  Score = 0;
  ErrorShown = false;
  State = NotChosen;
  Invalidate();
}

// ----- the learner's actions

void TRLNotParticle::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  QPointer<TRLNotParticle> self(this);
  TRLControl::MouseDown(button, shift, x, y);
  if (!self) return;
  if (ErrorShown) Reset();
  SetFocus();
  if (button != mbLeft) return;
  StepState();
  Invalidate();
}

void TRLNotParticle::KeyPress(char& key) {
  QPointer<TRLNotParticle> self(this);
  TRLControl::KeyPress(key);
  if (!self || key != ' ') return;
  // A choice changed under the marks would be drawn as a mark of its own.
  if (ErrorShown) Reset();
  StepState();
  Invalidate();
}

void TRLNotParticle::DoEnter() {
  TRLControl::DoEnter();
  if (ErrorShown) Reset();
  Invalidate();
}

void TRLNotParticle::DoExit() {
  TRLControl::DoExit();
  Invalidate();
}

// ----- painting

void TRLNotParticle::Paint(TCanvas& canvas) {
  PaintBackground(canvas);
  canvas.Font = Font();
  canvas.Brush.Style = TBrushStyle::bsClear;
  if (ErrorShown)
    PaintError(canvas);
  else
    PaintRight(canvas, Text() + JointText(State), Width());
  if (Focused()) PaintFocusFrame(canvas);
}

void TRLNotParticle::PaintRight(TCanvas& canvas, const std::string& text, int right) const {
  canvas.TextOut(right - canvas.TextWidth(text), 0, text);
}

// The right joint decides the mark: a red bar where the blank belongs, a red
// slash over a wrong hyphen, a red hyphen where one is missing, and the
// picture where the text belongs joined to the word.
void TRLNotParticle::PaintError(TCanvas& canvas) const {
  const TFont font = canvas.Font;
  const auto paintMark = [&](const std::string& mark) {
    canvas.Font.Color = clRed;
    PaintRight(canvas, mark, Width());
    canvas.Font = font;
  };
  const auto paintHyphenated = [&](const std::string& mark) {
    canvas.Font.Color = clBlack;
    PaintRight(canvas, Text() + "-", Width());
    paintMark(mark);
  };
  const bool hyphen = State == Hyphen;
  if (Answer == Apart && !hyphen) {
    PaintRight(canvas, Text() + "|", Width());
    paintMark("|");
  } else if (Answer == Apart || (Answer == Together && hyphen)) {
    if (Answer == Together) PaintErrorImage(canvas);
    paintHyphenated("/");
  } else if (Answer == Together) {
    PaintRight(canvas, Text(), Width() - errorImage_->Width());
    PaintErrorImage(canvas);
  } else {
    paintHyphenated("-");
  }
}

void TRLNotParticle::PaintErrorImage(TCanvas& canvas) const {
  const int w = errorImage_->Width();
  const int h = errorImage_->Height();
  AlphaBlend(canvas.Bitmap(), Bounds(Width() - w, Height() - h, w, h), *errorImage_, Rect(0, 0, w, h));
}

void TRLNotParticle::PaintFocusFrame(TCanvas& canvas) const {
  canvas.Pen = TPen{clBlue, 1, TPenStyle::psDash, TPenMode::pmCopy};
  canvas.Brush.Style = TBrushStyle::bsClear;
  canvas.Rectangle(0, 0, Width(), Height());
}
