#include "exercise/RLPrefix.h"

#include <algorithm>

#include "exercise/TextTokens.h"
#include "platform/Canvas.h"

namespace {

// The learner's bracket runs 4 pixels below the top, the right one at 1, so
// both stay visible; each ends in a stroke down to y 12, over the letters.
constexpr int BracketTop = 4;
constexpr int CorrectBracketTop = 1;
constexpr int BracketFoot = 12;
constexpr int RoomAbove = 4;

const TColor TrackingColor = 0xFF0000;
const TColor WrongColor = 0x808080;
const TColor CorrectColor = 0x0000FF;

}  // namespace

TRLPrefix::TRLPrefix(QObject* owner) : TRLLabel(owner) {
  // A word to answer on, unlike a plain label.
  MaxScore = 1;
}

void TRLPrefix::ParseParameters(const std::string& params) {
  ForEachAttribute(params, [this](const std::string& key, const std::string& value) {
    if (key == "text")
      SetCaption(value);
    else if (key == "answer")
      CorrectBoundary = ParseIntAttribute(value);
  });
}

void TRLPrefix::CaptionChanged() {
  SetBounds(Left(), Top(), TextWidthOf(this, Caption()), TextHeightOf(this, Caption()) + RoomAbove);
  Invalidate();
}

// ----- checking

void TRLPrefix::Check() {
  TRLLabel::Check();
  CheckOnlyScore();
  ErrorShown = Score == 0;
  Invalidate();
}

void TRLPrefix::CheckOnlyScore() {
  MaxScore = 1;
  Score = Boundary == CorrectBoundary ? 1 : 0;
}

void TRLPrefix::Reset() {
  TRLLabel::Reset();
  Boundary = 0;
  ErrorShown = false;
  Invalidate();
}

// ----- mouse

int TRLPrefix::BoundaryAt(int x) const {
  const std::string& word = Caption();
  const int letters = static_cast<int>(word.size());
  // The middle of each letter; a pointer past it puts the boundary after it.
  for (int i = 0; i < letters; ++i) {
    const int middle = TextWidthOf(this, word.substr(0, i)) + TextWidthOf(this, word.substr(i, 1)) / 2;
    if (x <= middle) return i;
  }
  return letters;
}

void TRLPrefix::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TRLLabel::MouseDown(button, shift, x, y);
  Tracking = true;
  if (ErrorShown) Reset();
  MouseMove(shift, x, y);
}

void TRLPrefix::MouseMove(TShiftState shift, int x, int y) {
  TRLLabel::MouseMove(shift, x, y);
  if (!Tracking) return;
  const int boundary = BoundaryAt(x);
  if (boundary == Boundary) return;
  Boundary = boundary;
  Invalidate();
}

void TRLPrefix::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TRLLabel::MouseUp(button, shift, x, y);
  Tracking = false;
  Invalidate();
}

// ----- painting

void TRLPrefix::Paint(TCanvas& canvas) {
  PaintBackground(canvas);
  canvas.Font = Font();
  canvas.Brush.Style = TBrushStyle::bsClear;
  canvas.TextOut(0, Height() - canvas.TextHeight(Caption()), Caption());
  if (Boundary > 0) {
    const TColor color = Tracking ? TrackingColor : ErrorShown ? WrongColor : clBlack;
    PaintBracket(canvas, Boundary, BracketTop, color);
  }
  // Drawn even without a choice: the learner sees where the prefix ends.
  if (ErrorShown) PaintBracket(canvas, CorrectBoundary, CorrectBracketTop, CorrectColor);
}

void TRLPrefix::PaintBracket(TCanvas& canvas, int letters, int top, TColor color) {
  const int x = canvas.TextWidth(Caption().substr(0, std::max(0, letters)));
  canvas.Pen = TPen{color, 2, TPenStyle::psSolid, TPenMode::pmCopy};
  canvas.MoveTo(0, top);
  canvas.LineTo(x, top);
  canvas.LineTo(x, BracketFoot);
}
