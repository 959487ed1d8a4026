#pragma once
// TRLNotParticle: a piece of text such as "не" before a word ("together" tag),
// whose joint with that word the learner chooses: together, apart or with a
// hyphen. A check marks a wrong joint in red, or with the picture
// ".\imgs\ne_err.png" where the text belongs joined to the word.

#include <memory>
#include <string>

#include "exercise/RLControl.h"

class TRLNotParticle : public TRLControl {
  Q_OBJECT

 public:
  // The joints, in the order Space and clicks step through them.
  enum TJoint { Together = 0, Apart = 1, Hyphen = 2, NotChosen = 3 };

  // Loads the error picture; throws when it is missing or broken.
  explicit TRLNotParticle(QObject* owner);
  ~TRLNotParticle() override;

  int Answer = Together;  // the right joint; other values are never right
  int State = NotChosen;  // the learner's choice
  bool ErrorShown = false;

  const TBitmap& ErrorImage() const { return *errorImage_; }

  // Attributes "text", "answer" and "together" (read, not used).
  void ParseParameters(const std::string& params) override;
  void Paint(TCanvas& canvas) override;
  void Check() override;
  void CheckOnlyScore() override;
  void Reset() override;

  // Together -> apart -> hyphen -> together; nothing chosen goes to apart.
  void StepState();

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyPress(char& key) override;
  void DoEnter() override;
  void DoExit() override;

 private:
  void SizeToText();
  // Draws text with its right edge at right, on the top line.
  void PaintRight(TCanvas& canvas, const std::string& text, int right) const;
  void PaintJoint(TCanvas& canvas) const;
  void PaintError(TCanvas& canvas) const;
  void PaintErrorImage(TCanvas& canvas) const;
  void PaintFocusFrame(TCanvas& canvas) const;

  std::unique_ptr<TBitmap> errorImage_;
};
