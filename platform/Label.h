#pragma once
// TLabel: a windowless line (or wrapped block) of cp1251 text in the
// control's Font, drawn over its Color or, when Transparent, over whatever
// lies below it.

#include <string>

#include "platform/Control.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TLabel : public TGraphicControl {
  Q_OBJECT

 public:
  explicit TLabel(QObject* owner);

  // AutoSize (the default) sizes the label to its text: one line, or with
  // WordWrap the text wrapped at the present width.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wordWrap);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);

 protected:
  void CaptionChanged() override;
  void FontChanged() override;
  void paintEvent(QPaintEvent* e) override;

 private:
  void AdjustSize();

  bool autoSize_ = true;
  bool wordWrap_ = false;
  bool transparent_ = false;
  TAlignment alignment_ = taLeftJustify;
};

// The rectangle that the text takes in the font, starting at (0, 0), as
// DrawText with DT_CALCRECT measures it: a line per line break and, with
// wordWrap, lines broken between words at width (a word longer than the width
// keeps a line of its own); each line is one cell (ascent + descent) high.
TRect CalcTextRect(const TFont& font, const std::string& text, int width, bool wordWrap);
