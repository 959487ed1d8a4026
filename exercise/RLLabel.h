#pragma once
// TRLLabel: one word with its trailing blank, one blank, or a forced line
// break in exercise text; TRLSpacer: a run of blanks ("space" tag).

#include <string>

#include "exercise/RLControl.h"

class TRLLabel : public TRLControl {
  Q_OBJECT

 public:
  explicit TRLLabel(QObject* owner);

  bool BRWord = false;  // a line break: no caption, size 0 x 0

  void Paint(TCanvas& canvas) override;

 protected:
  // A new caption sizes the label to its text: a lone blank is as wide as the
  // blank after a word, so no gap tells a control from a plain word.
  void CaptionChanged() override;

 private:
  int leanLeft_ = 0;  // where the text starts: room for an italic first letter
};

// A label of one blank: the gap before a word that follows a tag. Layouts
// never start a line with it.
bool IsLoneBlank(const TRLControl& control);

class TRLSpacer : public TRLLabel {
  Q_OBJECT

 public:
  explicit TRLSpacer(QObject* owner);
  // "width" = the number of blanks, at most as many as the line holds.
  void ParseParameters(const std::string& params) override;

 private:
  void SetBlanks(const std::string& value);
};
