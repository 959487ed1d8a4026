#pragma once
// TRLControl: the base of every exercise control, from one word to a whole
// page part. It carries the layout position its parser computes, the score
// of the last check, and a skin drawn as a nine-slice over the screen
// background; plus the walkers the trainer runs over a page's controls.

#include <string>

#include "platform/Bitmap.h"
#include "platform/Control.h"

class TRLParser;

// The folder of the exercise skins: the program folder + "imgs/".
extern std::string ImagesFolder;

class TRLControl : public TCustomControl {
  Q_OBJECT

 public:
  explicit TRLControl(QObject* owner);

  bool InFlow = true;  // laid out and scored by the parent parser
  int LineNo = 0;      // layout line, from 1
  bool Glued = false;  // no blank before it: never wrapped apart from the run before
  int LayoutX = 0;
  int LayoutY = 0;
  int MarginLeft = 0;
  int MarginTop = 0;
  int MarginRight = 0;
  int MarginBottom = 0;
  TBitmap Skin;  // empty unless set
  int Score = 0;
  int MaxScore = 1;
  int ExtraAbove = 0;  // room kept above the control in its layout line

  // Draws the control: the background under it, then the skin.
  virtual void Paint(TCanvas& canvas);
  virtual void ApplyLayoutPosition();
  // Note the order of the margins: left, right, top, bottom.
  virtual void SetSkin(const TBitmap& bitmap, int left, int right, int top, int bottom);
  // Reads the tag's attribute text or inner markup.
  virtual void ParseParameters(const std::string& params);
  // Sets Score and MaxScore and shows the marks of right and wrong answers.
  virtual void Check();
  // Sets Score and MaxScore silently.
  virtual void CheckOnlyScore();
  // Back to the state after ParseParameters, without marks.
  virtual void Reset();
  // Fill-in fields and in-text words keep the room above them even on the
  // first line of a body, where plain words give theirs up.
  virtual bool KeepsRoomAboveOnFirstLine() const { return false; }

  // Copies the part of the root parser's background that lies under the
  // control, or fills with Color when there is none.
  void PaintBackground(TCanvas& canvas);
  // Loads a skin bitmap and its ".txt" margins file (left right top bottom),
  // from the current folder or else ImagesFolder.
  void LoadSkin(const std::string& fileName);

 protected:
  // Runs Paint(canvas); a failure is reported once, and the control then
  // shows its Color instead of raising an error box on every repaint.
  void Paint() final;
  // The arrow keys move the focus among the controls of the page.
  void KeyDown(unsigned short& key, TShiftState shift) override;
  // Under a root parser with a background, a control shows the part of it under its place.
  bool PaintFollowsPosition() const override;

 private:
  void PaintSkin(TCanvas& canvas);

  bool paintFailed_ = false;
};

// The topmost exercise control above control, which must be a TRLParser;
// throws "Control has non TRLParser parent." otherwise.
TRLParser* FindRootParser(TRLControl* control);

// Text measures in the control's font, valid before it is shown.
int WidestCharWidth(const TControl* control);
int TextHeightOf(const TControl* control, const std::string& s);
int TextWidthOf(const TControl* control, const std::string& s);

// The walkers over the direct TRLControl children of a container.
// The sums count controls out of the flow too.
int SumMaxScore(const TWinControl* container);
int SumScore(const TWinControl* container);
// These run over a snapshot of the children, so controls that a call frees or
// creates do not disturb the walk.
void CheckChildren(TWinControl* container);
void CheckOnlyScoreChildren(TWinControl* container);
void ResetChildren(TWinControl* container);
// Frees the exercise controls among the children at once.
void FreeChildren(TWinControl* container);
