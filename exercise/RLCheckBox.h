#pragma once
// TRLCheckBox: a box the learner ticks or leaves empty ("checkbox" tag).
// TRLRadioGroup: a column of TRLRadioBox items ("radiogroup" tag with "rgi"
// tags inside), one of which is chosen. Both boxes are cells of the skin
// "checkbox.bmp" blended over the page, with the caption to their right.

#include <string>
#include <vector>

#include "exercise/RLControl.h"

class TRLRadioGroup;

class TRLCheckBox : public TRLControl {
  Q_OBJECT

 public:
  explicit TRLCheckBox(QObject* owner);

  // The state values are the markup's integers (1 ticked, 0 empty); other
  // values are kept as written and compared exactly.
  int Checked() const { return checked_; }
  void SetChecked(int checked);
  int AnswerChecked = 0;    // the state that counts as right
  int InitialChecked = 0;   // the state Reset returns to
  bool ErrorShown = false;  // the last check found the box wrong and shows it

  // Attributes "caption", "checked" and "answer".
  void ParseParameters(const std::string& params) override;
  void Paint(TCanvas& canvas) override;
  void Check() override;
  void CheckOnlyScore() override;
  void Reset() override;
  // Taking the focus clears the marks of a check.
  void SetFocus() override;

  // The skin cell for the present state and focus, in skin coordinates.
  TRect CellRect() const;

 protected:
  bool IsRight() const { return checked_ == AnswerChecked; }
  // Whether the marks this box belongs to are showing, and clearing them.
  virtual bool ShowsMarks() const { return ErrorShown; }
  virtual void ClearMarks() { Reset(); }
  // The learner's change of the state.
  virtual void ChangeState();
  // A click or Space: a box that shows marks only drops them.
  void Toggle();
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(unsigned short& key, TShiftState shift) override;
  void DoEnter() override;
  void DoExit() override;
  void CaptionChanged() override;

 private:
  void SizeToCaption();
  void FocusGained();
  // Blends the cell for the present state at the left edge, top pixels down.
  void BlendCell(TCanvas& canvas, int top) const;

  int checked_ = 0;
};

// One choice of a radio group; its state lives in the check box part.
class TRLRadioBox : public TRLCheckBox {
  Q_OBJECT

 public:
  explicit TRLRadioBox(QObject* owner);

  // A ticked item unticks the items created before it.
  void ParseParameters(const std::string& params) override;
  // A ticked initial state unticks the other items.
  void Reset() override;

  // The group that holds the item, if any.
  TRLRadioGroup* Group() const;

 protected:
  // Marks belong to the whole group: a click on or the focus in any of its
  // items clears them all.
  bool ShowsMarks() const override;
  void ClearMarks() override;
  void ChangeState() override;
  // No OnMouseDown for an item.
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  void UncheckOthers();
};

class TRLRadioGroup : public TRLControl {
  Q_OBJECT

 public:
  explicit TRLRadioGroup(QObject* owner);

  // The items are made from the "rgi" tags; text between them is dropped.
  void ParseParameters(const std::string& params) override;
  // One point, earned when every item is right (also with no items).
  void Check() override;
  void CheckOnlyScore() override;
  void Reset() override;

  // The items in markup order.
  std::vector<TRLRadioBox*> Items() const;
  // Whether any item shows the marks of a check.
  bool ShowsMarks() const;

 private:
  TRLRadioBox& AddItem(const std::string& attrs);
  void StackItems();
  void ScoreFromItems();
};
