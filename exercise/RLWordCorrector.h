#pragma once
// TRLWord: one correctable word of a passage, edited in place with a fill-in
// field and checked against its right form. TRLWordCorrector: the passage
// ("editable" tag), a parser with its own reading of the markup and its own
// word-wrap layout, in which every line keeps room above its words for the
// red right forms a check shows.

#include <QPointer>
#include <string>
#include <vector>

#include "exercise/RLParser.h"

class TRLEdit;
class TRLLabel;

class TRLWord : public TRLControl {
  Q_OBJECT

 public:
  explicit TRLWord(QObject* owner);
  ~TRLWord() override;

  // Text() is the word as it now stands.
  std::string Answer;             // the right form
  std::string InitialText;        // the word as the markup gives it
  bool IsBreak = false;           // a line break, not a word
  QPointer<TRLEdit> Editor;       // the open in-place field
  QPointer<TRLLabel> ErrorLabel;  // the red right form of a failed check
  bool ErrorShown = false;        // the last check found the word wrong
  bool IsError = false;           // a misspelt word of the exercise: it scores
  bool TrailingBlank = true;      // a blank follows the word in the text

  // Sets the text and the text Reset returns to.
  void SetWordText(const std::string& s);
  void SetAnswer(const std::string& s) { Answer = s; }
  // Sizes the word to its text and trailing blank, with its own height free above it.
  void FitToText();
  // Reads one attribute of an "error" item: "text" and "answer".
  virtual void ReadErrorAttribute(const std::string& key, const std::string& value);

  // The red right form moves along with its word.
  void SetBounds(int left, int top, int width, int height) override;
  // The word and, after a failed check, its red stroke.
  void Paint(TCanvas& canvas) override;
  void Check() override;
  void CheckOnlyScore() override;
  void Reset() override;
  bool KeepsRoomAboveOnFirstLine() const override { return true; }

  // Opens the in-place field over the word (left click).
  void OpenEditor();
  // Return in the field or the field losing the focus: the word takes the
  // field's text and the passage flows again.
  void EditDone();

 protected:
  // Whether a left click opens the in-place field.
  virtual bool EditsOnLeftClick() const;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  void ScoreCorrection();
  void ShowErrorLabel();
  void PlaceErrorLabel();
  // Closes the field without taking its text.
  void DiscardEditor();
  TRLEdit* DetachEditor();
};

class TRLWordCorrector : public TRLParser {
  Q_OBJECT

 public:
  explicit TRLWordCorrector(QObject* owner);

  // An open field's text counts: the learner sees it as the word.
  void Check() override;
  void CheckOnlyScore() override;
  void Reset() override;
  // Word-wraps the children; words are sized to their text first. The passage
  // never gets lower.
  void Arrange() override;

  // Lays the passage out again after a word changed; when it grew, the
  // parser around it flows again too.
  void Reflow();
  // Closes every open in-place field, keeping what was typed.
  void CommitEdits();

 protected:
  // The word class of the passage.
  virtual TRLWord* CreateWord() { return new TRLWord(this); }
  // The tag's attribute text is the passage: words, "error" items, style tags
  // and embedded controls.
  void AddText(const std::string& chunk, const TFont& font) override { AddWords(chunk, font); }
  void AddItem(const std::string& name, const std::string& attrs, TFont& font,
               const std::string& chunkBefore) override;
  // The words (and blank labels) of a chunk of plain text; returns the words.
  std::vector<TRLWord*> AddWords(const std::string& chunk, const TFont& font);
  TRLWord* AddWord(const TFont& font);
  TRLWord* AddErrorWord(const std::string& attrs, const TFont& font, bool glued);
  // "i", "b", "font", "fontsize" and their ends; false for any other tag.
  static bool ApplyStyleTag(const std::string& tag, const std::string& attrs, TFont& font, const TFont& base);

 private:
  void AddBlank(const TFont& font);
  // Words move at once: their red right forms follow them.
  void SetLineX(TRLControl& control, int x) override { control.SetLeft(x); }
  // Every line keeps room above its words, and a gap below.
  void FinishLine(TLineState& state) override;

  bool arranging_ = false;
};
