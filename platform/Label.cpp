#include "platform/Label.h"

#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "platform/Cp1251.h"

namespace {

struct TTextLine {
  QString text;
  int width = 0;
};

// The lines that DrawText makes of the text: a new line at every line break
// and, with word breaks, wherever the next word would pass the width (a word
// wider than the width keeps a line of its own). Every line is one cell high.
std::vector<TTextLine> WrapLines(const QFont& font, const std::string& text, int width, bool wordWrap) {
  QString s = Cp1251ToQString(text);
  s.remove(QLatin1Char('\r'));
  s.replace(QLatin1Char('\n'), QChar::LineSeparator);
  QTextLayout layout(s, font);
  QTextOption option;
  option.setWrapMode(wordWrap ? QTextOption::WordWrap : QTextOption::ManualWrap);
  layout.setTextOption(option);
  std::vector<TTextLine> lines;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(wordWrap ? std::max(width, 1) : INT_MAX / 4);
    QString lineText = s.mid(line.textStart(), line.textLength());
    // A line broken between words ends at the word: the blanks at the break
    // are not drawn, so an underline stops with the word.
    const bool brokenBetweenWords = !lineText.endsWith(QChar::LineSeparator) &&
                                    line.textStart() + line.textLength() < s.size();
    if (brokenBetweenWords)
      while (!lineText.isEmpty() && lineText.back().isSpace()) lineText.chop(1);
    lines.push_back({lineText, static_cast<int>(std::ceil(line.naturalTextWidth()))});
  }
  layout.endLayout();
  if (lines.empty()) lines.push_back({});  // an empty caption is still one line high
  return lines;
}

}  // namespace

TLabel::TLabel(QObject* owner) : TGraphicControl(owner) {
  AdjustSize();
}

void TLabel::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  AdjustSize();
}

void TLabel::SetWordWrap(bool wordWrap) {
  wordWrap_ = wordWrap;
  AdjustSize();
  update();
}

void TLabel::SetTransparent(bool transparent) {
  transparent_ = transparent;
  update();
}

void TLabel::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  update();
}

void TLabel::CaptionChanged() {
  AdjustSize();
  update();
}

void TLabel::FontChanged() {
  AdjustSize();
  update();
}

void TLabel::AdjustSize() {
  if (!autoSize_) return;
  const TRect r = CalcTextRect(Font(), Caption(), Width(), wordWrap_);
  SetBounds(Left(), Top(), wordWrap_ ? Width() : r.Width(), r.Height());
}

void TLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!transparent_) painter.fillRect(rect(), ToQColor(Color()));
  const QFont font = Font().ToQFont();
  const QFontMetrics metrics(font);
  painter.setFont(font);
  painter.setPen(ToQColor(Font().Color));
  int y = 0;
  for (const TTextLine& line : WrapLines(font, Caption(), Width(), wordWrap_)) {
    int x = 0;
    if (alignment_ == taCenter) x = (Width() - line.width) / 2;
    if (alignment_ == taRightJustify) x = Width() - line.width;
    painter.drawText(x, y + metrics.ascent(), line.text);
    y += metrics.height();
  }
}

TRect CalcTextRect(const TFont& font, const std::string& text, int width, bool wordWrap) {
  const QFont qfont = font.ToQFont();
  const std::vector<TTextLine> lines = WrapLines(qfont, text, width, wordWrap);
  int widest = 0;
  for (const TTextLine& line : lines) widest = std::max(widest, line.width);
  return Rect(0, 0, widest, static_cast<int>(lines.size()) * QFontMetrics(qfont).height());
}
