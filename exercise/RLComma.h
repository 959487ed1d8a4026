#pragma once
// TRLComma: a small box between two words ("comma" tag) into which the
// learner puts a comma or from which the learner takes it. The box blinks
// while it has the focus; a check crosses out a comma that does not belong
// and shows a missing one as a large red comma.

#include <string>

#include "exercise/RLControl.h"

class TTimer;

class TRLComma : public TRLControl {
  Q_OBJECT

 public:
  // Loads the skin "inputtext.bmp"; throws when it is missing.
  explicit TRLComma(QObject* owner);

  // The markup's integers (1 = a comma); other values are kept as written
  // and compared exactly.
  int Comma = 0;         // the box holds a comma
  int InitialComma = 0;  // the state Reset returns to
  int Answer = 0;        // a comma belongs here
  bool ErrorShown = false;
  bool SkinOn = true;  // the skin is drawn in this blink phase

  TTimer& BlinkTimer() const { return *blinkTimer_; }

  // Attributes "comma" and "answer".
  void ParseParameters(const std::string& params) override;
  void Paint(TCanvas& canvas) override;
  void Check() override;
  void CheckOnlyScore() override;
  void Reset() override;
  // Taking the focus clears the marks but keeps the comma.
  void SetFocus() override;

 protected:
  void Blink();
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyPress(char& key) override;
  void DoEnter() override;
  void DoExit() override;

 private:
  void SizeToComma();
  void FocusGained();
  void InvertComma();
  void PaintCross(TCanvas& canvas) const;
  void PaintMissingComma(TCanvas& canvas) const;

  TTimer* blinkTimer_;  // a child of the box, freed with it
};
