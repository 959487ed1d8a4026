#pragma once
// TRLParser: turns exercise markup into child controls (a label per word, a
// control per exercise tag) and lays them out in word-wrapped, bottom-aligned
// lines of its width. TRLStaticText: the "statictext" tag, a nested parser.

#include <string>
#include <vector>

#include "exercise/RLControl.h"

class TRLLabel;

// True when the chunk of text before a tag does not end with a blank: the
// tag's control is then glued to what stands before it.
inline bool GluedAfter(const std::string& chunkBefore) {
  return chunkBefore.empty() || chunkBefore.back() != ' ';
}

class TRLParser : public TRLControl {
  Q_OBJECT

 public:
  explicit TRLParser(QObject* owner);

  bool RuledLines = false;          // "lines": a rule under each layout line
  std::vector<int> RuledY;          // y of each rule, from the last layout pass
  int RuledRight = 0;               // right end of the rules
  TBitmap Background;               // the screen background in window coordinates, or empty
  bool WordsReserveHeight = false;  // words keep their own height free above them
  bool PlainText = false;           // style and font tags are ignored

  void Paint(TCanvas& canvas) override;
  // Builds the children from markup and lays them out; takes the parent's
  // client width.
  void ParseParameters(const std::string& text) override;
  // Score and MaxScore become the sums over the in-flow children.
  void Check() override;
  void CheckOnlyScore() override;
  void Reset() override;
  // Lays the in-flow children out in lines and takes the height they need.
  virtual void Arrange();
  void SetBackground(const TBitmap& bitmap);

 protected:
  // The state of one layout pass.
  struct TLineState {
    int X = 0;
    int Y = 0;
    int LineNo = 1;
    bool FirstLine = true;
    std::vector<TRLControl*> Line;
    // Where the glued run at the end of Line begins: the control the run is
    // glued to. Kept as controls are appended, so that a long run is not
    // walked again for every control that overflows the line.
    std::size_t RunHead = 0;
  };
  // Bottom-aligns the current line, adds its rule and starts the next line.
  virtual void FinishLine(TLineState& state);
  // Where a control of the current line stands; applied after the pass.
  virtual void SetLineX(TRLControl& control, int x) { control.LayoutX = x; }
  // Puts the control at the end of the current line.
  void AppendToLine(TLineState& state, TRLControl& control);
  // Makes room for a control that does not fit on the current line.
  void WrapBefore(TLineState& state, TRLControl& control);
  std::vector<TRLControl*> InFlowChildren() const;

  // The words of a chunk of plain text between tags.
  virtual void AddText(const std::string& chunk, const TFont& font);
  // Acts on one tag of the markup; chunkBefore is the text just before it.
  virtual void AddItem(const std::string& name, const std::string& attrs, TFont& font,
                       const std::string& chunkBefore);
  // The control of an exercise tag, from the tag table.
  void AddControl(const std::string& name, const std::string& attrs, const TFont& font, bool glued);
  // A change of size re-flows the children.
  void Resize() override;

 private:
  TRLLabel* AddLabel(const TFont& font);
  TRLLabel* AddWord(const TFont& font, const std::string& caption);
  void Place(TLineState& state, TRLControl& control);
  void SumInFlowScores();

  bool arranging_ = false;
  // The text read last ended with a blank, and only style tags came after it:
  // the next word stands apart from it, not glued to it.
  bool blankBefore_ = false;
};

class TRLStaticText : public TRLParser {
  Q_OBJECT

 public:
  explicit TRLStaticText(QObject* owner);
  // The whole tag body is markup.
  void ParseParameters(const std::string& body) override;
};
