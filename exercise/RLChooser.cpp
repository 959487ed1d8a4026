#include "exercise/RLChooser.h"

#include <algorithm>

#include "exercise/RLEdit.h"
#include "exercise/TextTokens.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "platform/StrUtils.h"
#include "widgets/AlphaBitmap.h"

namespace {

const std::string PictureVariant = "&";
const std::string NothingChosen = "*";
constexpr int MinimumSide = 10;
// The room above the line, for the hint, is all but 3 pixels of the height.
constexpr int HintOverlap = 3;
const TColor FocusColor = 0xFF0000;

}  // namespace

TRLChooser::TRLChooser(QObject* owner) : TRLControl(owner) {}

std::string TRLChooser::Shown() const {
  return Selected >= 0 && Selected < Variants.Count() ? Variants[Selected] : NothingChosen;
}

// ----- attributes

void TRLChooser::ParseParameters(const std::string& params) {
  Selected = -1;
  Variants.Clear();
  ForEachAttribute(params, [this](const std::string& key, const std::string& value) {
    if (key == "char")
      AddVariants(value);
    else if (key == "answer")
      AnswerVariant = value;
  });
  if (Variants.IndexOf(PictureVariant) >= 0) LoadVariantImage();
  SizeToVariants();
  ExtraAbove = Height() - HintOverlap;
}

void TRLChooser::AddVariants(const std::string& value) {
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '[') {
      Variants.Add(value.substr(i, 1));
      continue;
    }
    // A group runs to the next "]"; one that never closes is dropped.
    const std::size_t close = value.find(']', i + 1);
    if (close == std::string::npos) return;
    Variants.Add(value.substr(i + 1, close - i - 1));
    i = close;
  }
}

void TRLChooser::LoadVariantImage() {
  // Only a chooser that offers the picture needs the file.
  if (!variantImage_) variantImage_ = LoadAlphaBitmap("imgs\\ne_err.png", true);
}

void TRLChooser::SizeToVariants() {
  int width = MinimumSide;
  int height = MinimumSide;
  for (int i = 0; i < Variants.Count(); ++i) {
    const std::string& variant = Variants[i];
    if (variant == PictureVariant) {
      width = std::max(width, variantImage_->Width());
      continue;
    }
    width = std::max(width, TextWidthOf(this, variant));
    height = std::max(height, TextHeightOf(this, variant));
  }
  // A variant wider than its line could never be seen whole.
  if (Parent()) width = std::min(width, std::max(MinimumSide, Parent()->ClientWidth()));
  SetBounds(Left(), Top(), width, height);
}

// ----- checking

void TRLChooser::CheckOnlyScore() {
  MaxScore = 1;
  Score = Selected >= 0 && Shown() == AnswerVariant ? 1 : 0;
}

void TRLChooser::Check() {
  TRLControl::Check();
  CheckOnlyScore();
  FreeHintLabel();
  ErrorShown = Score == 0;
  if (ErrorShown) ShowHintLabel();
  Invalidate();
}

void TRLChooser::Reset() {
  TRLControl::Reset();
  ErrorShown = false;
  FreeHintLabel();
  Selected = -1;
  Invalidate();
}

void TRLChooser::ShowHintLabel() {
  if (!Parent()) return;
  // Blanks would vanish in the hint: they are shown as "_".
  hintLabel_ = NewAnswerHint(*this, StringReplaceAll(AnswerVariant, " ", "_"));
}

void TRLChooser::FreeHintLabel() {
  delete hintLabel_.data();
}

// ----- input

void TRLChooser::Advance() {
  // Marks belong to the choice they judged: a new choice starts afresh.
  if (ErrorShown) {
    Reset();
    return;
  }
  if (Variants.Count() == 0) return;
  Selected = (Selected + 1) % Variants.Count();
}

void TRLChooser::KeyPress(char& key) {
  TRLControl::KeyPress(key);
  if (key != ' ') return;
  key = 0;
  Advance();
  Invalidate();
}

void TRLChooser::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  QPointer<TRLChooser> self(this);
  TRLControl::MouseDown(button, shift, x, y);
  if (!self) return;
  Advance();
  if (!Focused()) SetFocus();
  Invalidate();
}

void TRLChooser::DoEnter() {
  TRLControl::DoEnter();
  if (ErrorShown) Reset();
  Invalidate();
}

void TRLChooser::DoExit() {
  TRLControl::DoExit();
  Invalidate();
}

// ----- painting

void TRLChooser::Paint(TCanvas& canvas) {
  TRLControl::Paint(canvas);
  const std::string shown = Shown();
  canvas.Font = Font();
  if (shown == PictureVariant && variantImage_) {
    PaintPicture(canvas);
  } else {
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.TextOut((Width() - canvas.TextWidth(shown)) / 2, Height() - canvas.TextHeight(shown), shown);
  }
  if (ErrorShown) {
    PaintError(canvas, shown);
  } else if (Focused()) {
    canvas.Pen = TPen{FocusColor, 1, TPenStyle::psDash, TPenMode::pmCopy};
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.Rectangle(0, 0, Width(), Height());
  }
}

void TRLChooser::PaintPicture(TCanvas& canvas) {
  const TBitmap& picture = *variantImage_;
  // Blended with its own alpha, stretched to the control's width and standing
  // on the bottom edge: a plain copy would show its transparent parts black.
  AlphaBlend(canvas.Bitmap(), Rect(0, Height() - picture.Height(), Width(), Height()), picture,
             Rect(0, 0, picture.Width(), picture.Height()));
}

void TRLChooser::PaintError(TCanvas& canvas, const std::string& shown) {
  canvas.Pen = TPen{clRed, 2, TPenStyle::psSolid, TPenMode::pmCopy};
  canvas.Brush.Style = TBrushStyle::bsClear;
  if (shown.size() < 3) {
    // A short choice gets a slash: a line through it would hide it.
    const int w = canvas.TextWidth("нн"_cp);
    canvas.MoveTo((Width() - w) / 2, Height());
    canvas.LineTo((w + Width()) / 2, 0);
    return;
  }
  canvas.MoveTo(0, Height() / 2 - 1);
  canvas.LineTo(Width(), Height() / 2 - 1);
}
