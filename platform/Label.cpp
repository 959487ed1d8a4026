#include "platform/Label.h"

#include <QPainter>
#include <algorithm>
#include <climits>

#include "platform/Cp1251.h"

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

int TLabel::TextFlags() const {
  int flags = Qt::AlignTop;
  if (alignment_ == taCenter) flags |= Qt::AlignHCenter;
  if (alignment_ == taRightJustify) flags |= Qt::AlignRight;
  if (wordWrap_) flags |= Qt::TextWordWrap;
  return flags;
}

void TLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!transparent_) painter.fillRect(rect(), ToQColor(Color()));
  painter.setFont(Font().ToQFont());
  painter.setPen(ToQColor(Font().Color));
  painter.drawText(rect(), TextFlags(), Cp1251ToQString(Caption()));
}

TRect CalcTextRect(const TFont& font, const std::string& text, int width, bool wordWrap) {
  const QFontMetrics metrics = font.Metrics();
  const QString s = Cp1251ToQString(text);
  if (!wordWrap || s.isEmpty()) {
    return Rect(0, 0, metrics.horizontalAdvance(s), metrics.height());
  }
  const QRect r = metrics.boundingRect(QRect(0, 0, std::max(width, 1), INT_MAX / 2), Qt::TextWordWrap, s);
  return Rect(0, 0, r.width(), r.height());
}
