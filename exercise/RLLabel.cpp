#include "exercise/RLLabel.h"

#include <algorithm>

#include "exercise/TextTokens.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "platform/StrUtils.h"

namespace {

// How far a slanted caption's ink leans out of its advance, left and right;
// upright text stays inside it.
std::pair<int, int> ItalicLean(const TFont& font, const std::string& caption, int advance) {
  if (!(font.Style & fsItalic) || Trim(caption).empty()) return {0, 0};
  const QRect ink = font.Metrics().tightBoundingRect(Cp1251ToQString(caption));
  return {std::max(0, -ink.left()), std::max(0, ink.right() + 1 - advance)};
}

}  // namespace

TRLLabel::TRLLabel(QObject* owner) : TRLControl(owner) {
  SetTabStop(false);
  Score = 0;
  MaxScore = 0;
}

void TRLLabel::CaptionChanged() {
  const std::string& caption = Caption();
  // Far wider than any screen: a pathological word is clipped instead of
  // asking every paint for a bitmap of gigabytes.
  constexpr int MaxLabelWidth = 32767;
  const int advance = TextWidthOf(this, caption);
  // An italic word gets room for its lean, so its first and last letters are not cut.
  const auto [leanLeft, leanRight] = ItalicLean(Font(), caption, advance);
  leanLeft_ = leanLeft;
  const int width = std::min(advance + leanLeft + leanRight, MaxLabelWidth);
  SetBounds(Left(), Top(), width, TextHeightOf(this, caption));
  Invalidate();
}

void TRLLabel::Paint(TCanvas& canvas) {
  TRLControl::Paint(canvas);
  canvas.Font = Font();
  // The course's authors wanted this one word smaller wherever it stands.
  static const std::string smallWord = "театр "_cp;
  if (Caption() == smallWord) canvas.Font.SetSize(-14);
  canvas.Brush.Style = TBrushStyle::bsClear;
  canvas.TextOut(leanLeft_, 0, Caption());
}

bool IsLoneBlank(const TRLControl& control) {
  const auto* label = qobject_cast<const TRLLabel*>(&control);
  return label && label->Caption() == " ";
}

TRLSpacer::TRLSpacer(QObject* owner) : TRLLabel(owner) {}

void TRLSpacer::ParseParameters(const std::string& params) {
  ForEachAttribute(params, [this](const std::string& key, const std::string& value) {
    if (key == "width") SetBlanks(value);
  });
}

void TRLSpacer::SetBlanks(const std::string& value) {
  int blanks = 0;
  if (!TryStrToInt(value, blanks)) throw Exception(Format("Integer assumed, but \"%s\" found.", value));
  // More blanks than the line holds only stretch the line, and a huge count
  // would build a caption of gigabytes.
  const int lineWidth = Parent() ? Parent()->ClientWidth() : 0;
  const int lineBlanks = lineWidth / std::max(1, TextWidthOf(this, " ")) + 1;
  SetCaption(std::string(std::clamp(blanks, 0, lineBlanks), ' '));
  if (Parent() && Width() > lineWidth) SetWidth(lineWidth);
}
