#pragma once
// Word selection ("selector" and "underlineselector"): a passage in which the
// learner marks words by dragging over them with the right mouse button; a
// drag toggles every word in its range. Words given in a "select" item are
// meant to be marked. "error" items are correctable words as in word
// correction, edited with the left button. TRLSelectWord shows a mark as a
// coloured background, TRLSelectWord2 as a wavy underline.

#include <QPointer>
#include <string>

#include "exercise/RLWordCorrector.h"

class TRLWordSelector;

class TRLSelectWord : public TRLWord {
  Q_OBJECT

 public:
  explicit TRLSelectWord(QObject* owner);

  bool Selected = false;             // the learner's choice
  bool Pending = false;              // inside the range of the drag under way
  bool MustSelect = false;           // meant to be selected
  bool SelectionErrorShown = false;  // the last check found the choice wrong

  // Both reset a word that shows a wrong choice first.
  void SetSelected(bool selected);
  void SetPending(bool pending);

  // "select" (any value) on an "error" item: the word must also be selected.
  void ReadErrorAttribute(const std::string& key, const std::string& value) override;
  void Paint(TCanvas& canvas) override;
  // The correction's score plus one point for the choice.
  void Check() override;
  void CheckOnlyScore() override;
  void Reset() override;

 protected:
  TRLWordSelector* Passage() const;
  bool EditsOnLeftClick() const override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  // Break markers and blanks carry no choice.
  bool CountsSelection() const;
  bool SelectionRight() const { return Selected == MustSelect; }
};

class TRLSelectWord2 : public TRLSelectWord {
  Q_OBJECT

 public:
  explicit TRLSelectWord2(QObject* owner);
  void Paint(TCanvas& canvas) override;
};

class TRLWordSelector : public TRLWordCorrector {
  Q_OBJECT

 public:
  explicit TRLWordSelector(QObject* owner);

  bool Dragging = false;
  TPoint DragStart;  // screen coordinates
  TPoint DragPoint;  // screen coordinates
  QPointer<TRLSelectWord> DragAnchor;
  bool HasErrorWords = false;  // the passage holds an "error" item

  void ParseParameters(const std::string& params) override;

  // The drag, driven by the words; points in screen coordinates.
  void StartDrag(TRLSelectWord* anchor, TPoint p);
  void DragTo(TPoint p);
  void EndDrag(TPoint p);
  // Marks as pending the words from the anchor's left edge to the pointer,
  // in reading order; a pointer before the anchor changes nothing.
  void UpdateDragMarks();

 protected:
  TRLWord* CreateWord() override { return new TRLSelectWord(this); }
  void AddItem(const std::string& name, const std::string& attrs, TFont& font,
               const std::string& chunkBefore) override;

 private:
  // The words of a "select" item, all meant to be selected.
  void AddSelectWords(const std::string& chunk, const TFont& font, bool glued);
  // The line of the in-flow control under p (client coordinates), else of
  // the first one beside p's row; -1 when none.
  int LineAt(TPoint p) const;
};

class TRLWordSelector2 : public TRLWordSelector {
  Q_OBJECT

 public:
  explicit TRLWordSelector2(QObject* owner);

 protected:
  TRLWord* CreateWord() override { return new TRLSelectWord2(this); }
};

// A wave along the band (r.Left, r.Top)-(r.Right, r.Bottom) in the pen's
// colour: half a period is as long as the band is high.
void DrawWave(TCanvas& canvas, const TRect& r);
