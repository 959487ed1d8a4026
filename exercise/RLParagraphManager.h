#pragma once
// Paragraph ordering ("parmanager" tag): TRLParagraphManager holds framed
// paragraphs that the learner puts into the right order with their up and
// down arrows or the Up and Down keys. A TRLParagraph is a letter, its own
// markup (which may hold further exercises) and the pair of arrows; a check
// scores its inner exercises plus one point for standing at its place, and
// flags a misplaced paragraph with the letter of the one that belongs there.

#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "exercise/RLButton.h"
#include "exercise/RLLabel.h"
#include "exercise/RLParser.h"
#include "platform/Bitmap.h"

class TRLParagraphManager;

class TRLParagraph : public TRLControl {
  Q_OBJECT

 public:
  // Loads the frame pictures ".\imgs\para.png" and ".\imgs\para_inactive.png".
  explicit TRLParagraph(QObject* owner);

  int CorrectIndex = 0;  // the place it belongs at, from 0
  char Letter = 0;       // cp1251, given by the manager

  TRLParser* InnerParser() const { return innerParser_; }
  TRLControl* TextPanel() const { return textPanel_; }
  TRLLabel* LetterLabel() const { return letterLabel_; }
  TRLLabel* ErrorLabel() const { return errorLabel_; }
  TRLPaintButton* UpButton() const { return upButton_; }
  TRLPaintButton* DownButton() const { return downButton_; }
  const TBitmap& ActiveImage() const { return *activeImage_; }
  const TBitmap& InactiveImage() const { return *inactiveImage_; }

  // The place it stands at now and the last place there is; -1 outside a manager.
  int Position() const;
  int LastIndex() const;
  void MoveTo(int newIndex);
  void MoveUp();
  void MoveDown();

  // The first word is the place (from 1); the rest is markup.
  void ParseParameters(const std::string& params) override;
  void Paint(TCanvas& canvas) override;
  void Check() override;
  void CheckOnlyScore() override;
  // Resets the inner exercises and takes the red letter away; the order stays.
  void Reset() override;
  // A paragraph that shows a red letter starts afresh when it is selected.
  void SetFocus() override;

  static constexpr TColor PanelColor = 0xC4D8E5;
  static constexpr TColor FocusColor = 0x51B7F1;
  static constexpr TColor ErrorColor = 0x0000FF;
  // What a failed check shows on a paragraph standing at a place that no
  // paragraph's number names (cp1251 en dash).
  static constexpr const char* GapMark = "\x96";

 protected:
  void KeyDown(unsigned short& key, TShiftState shift) override;
  void DoEnter() override;
  void DoExit() override;

 private:
  TRLParagraphManager* Manager() const;
  TRLPaintButton* AddArrow(bool up);
  void AddLetterLabel();
  void CentreLetter();
  void SelectOnClick(TControl* control);
  void PlaceArrows();
  void ShowErrorLetter();
  void FreeErrorLabel();
  void UpdateFocusColours();
  void ScoreOwnPlace();
  void PaintFrame(TCanvas& canvas) const;

  std::unique_ptr<TBitmap> activeImage_;
  std::unique_ptr<TBitmap> inactiveImage_;
  QPointer<TRLParser> innerParser_;
  QPointer<TRLPaintButton> upButton_;
  QPointer<TRLPaintButton> downButton_;
  QPointer<TRLControl> textPanel_;
  QPointer<TRLLabel> letterLabel_;
  QPointer<TRLLabel> errorLabel_;
};

class TRLParagraphManager : public TRLParser {
  Q_OBJECT

 public:
  explicit TRLParagraphManager(QObject* owner);

  // The paragraphs in their order on screen, which is the order scored.
  std::vector<TRLParagraph*> Paragraphs() const;
  int IndexOf(const TRLParagraph* paragraph) const;
  // The paragraph whose right place is index (the first written when several
  // claim it), or null when none does.
  TRLParagraph* BelongingAt(int index) const;
  // Moves the paragraph at from to the place to and lays the list out again;
  // places outside the list change nothing.
  void Move(int from, int to);

  // The tag body holds "paragraph" tags only; text between them is skipped.
  // Throws for another tag and for more paragraphs than there are letters.
  // Places need not be 1 to N once each: a paragraph whose place is taken
  // twice, or lies past the list, can never stand right.
  void ParseParameters(const std::string& markup) override;
  // The paragraphs one under the other in their order, a pixel apart.
  void Arrange() override;

  // The small letters а to я of cp1251 (without ё).
  static constexpr int MaxParagraphs = 32;

 private:
  TRLParagraph* AddParagraph(const std::string& params, char letter);

  std::vector<QPointer<TRLParagraph>> paragraphs_;
  bool layingOut_ = false;
};
