#pragma once
// TRLChooser: the "choose" tag, a letter or a piece of a word in running text
// that shows "*" until the learner picks and then cycles through its variants
// on each click or Space. A wrong choice is struck through in red and the
// right variant stands in red bold above and to the right of it. The variant
// "&" is a picture instead of text.

#include <QPointer>
#include <memory>
#include <string>

#include "exercise/RLControl.h"
#include "exercise/RLLabel.h"
#include "platform/StringList.h"

class TRLChooser : public TRLControl {
  Q_OBJECT

 public:
  explicit TRLChooser(QObject* owner);

  int Selected = -1;          // index into Variants; -1 = nothing chosen, shown as "*"
  std::string AnswerVariant;  // the right variant as written
  TStringList Variants;       // in markup order; "&" is the picture
  bool ErrorShown = false;    // a failed check is showing

  // The picture of the variant "&", loaded when a chooser offers it.
  const TBitmap* VariantImage() const { return variantImage_.get(); }
  // The red hint of the last failed check, if any.
  TRLLabel* HintLabel() const { return hintLabel_; }
  // The text shown: the chosen variant, or "*".
  std::string Shown() const;

  void Paint(TCanvas& canvas) override;
  // "char" adds variants (repeatable); "answer" is the right one.
  void ParseParameters(const std::string& params) override;
  void Check() override;
  void CheckOnlyScore() override;
  void Reset() override;

 protected:
  void KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void DoEnter() override;
  void DoExit() override;

 private:
  void AddVariants(const std::string& value);
  void SizeToVariants();
  void LoadVariantImage();
  // One step through the variants, or a fresh start when marks are showing.
  void Advance();
  void ShowHintLabel();
  void FreeHintLabel();
  void PaintPicture(TCanvas& canvas);
  void PaintError(TCanvas& canvas, const std::string& shown);

  std::unique_ptr<TBitmap> variantImage_;
  QPointer<TRLLabel> hintLabel_;
};
