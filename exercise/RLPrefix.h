#pragma once
// TRLPrefix: the "prefix" tag, one word on which the learner marks where its
// prefix ends by pressing on the word and sliding along it. A bracket over
// the word shows the choice; a wrong check adds the right bracket in blue.

#include <string>

#include "exercise/RLLabel.h"

class TRLPrefix : public TRLLabel {
  Q_OBJECT

 public:
  explicit TRLPrefix(QObject* owner);

  bool Tracking = false;    // a button went down on the word and is still held
  bool ErrorShown = false;  // the last check found the boundary wrong
  int Boundary = 0;         // letters before the chosen boundary; 0 = no choice
  int CorrectBoundary = 0;  // letters of the prefix ("answer")

  void Paint(TCanvas& canvas) override;
  // "text" = the word, "answer" = the number of letters of its prefix.
  void ParseParameters(const std::string& params) override;
  void Check() override;
  void CheckOnlyScore() override;
  void Reset() override;

  // The boundary for a pointer at x: after letter i while x lies between the
  // middles of letters i and i + 1; 0 left of the first letter's middle, the
  // word's length right of the last one's.
  int BoundaryAt(int x) const;

 protected:
  // The word is measured without the extra room a blank label gets, plus 4
  // pixels above it for the bracket.
  void CaptionChanged() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  void PaintBracket(TCanvas& canvas, int letters, int top, TColor color);
};
