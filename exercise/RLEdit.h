#pragma once
// TRLEdit: the fill-in field of exercise text ("edit" tag). It draws itself
// completely: its own caret and blink, its own key handling and a filter of
// the characters a Russian answer may hold. A check strikes a wrong answer
// and shows the first accepted one above the field, or inside an empty one.

#include <QPointer>
#include <string>
#include <vector>

#include "exercise/RLControl.h"
#include "exercise/RLLabel.h"
#include "platform/StringList.h"

class TCanvas;
class TTimer;

class TRLEdit : public TRLControl {
  Q_OBJECT

 public:
  explicit TRLEdit(QObject* owner);

  int MaxChar = 0;            // most characters the learner may type; 0 = no limit
  bool NoBackground = false;  // a plain white box, no guide line
  bool ErrorShown = false;    // the last check found the field wrong and shows it
  bool CaretOn = false;       // the caret is drawn in this blink phase
  // Either handler may free the field, with Release() (not delete: the field
  // is inside its own key or focus handling); the field then does nothing more,
  // and the loss of focus that this brings fires no OnLeaveEdit.
  TNotifyEvent OnLeaveEdit;
  TNotifyEvent OnEnterKey;

  // The accepted answers; the first one is shown in hints.
  TStringList& Answer() { return answer_; }
  const TStringList& Answer() const { return answer_; }
  // The caret: how many characters of Text() stand before it.
  int Cursor() const { return cursor_; }
  // x of each caret gap from the last paint with the focus; empty before it.
  const std::vector<int>& CaretStops() const { return caretStops_; }
  // The red answer label of the last failed check, if any.
  TRLLabel* HintLabel() const { return hintLabel_; }
  TTimer& BlinkTimer() const { return *blinkTimer_; }

  // The width of Text() in the field's font as it stands.
  int EditTextWidth() const;
  // Where the typed text is drawn: the top of its cell and its baseline,
  // in the field's own rows; the text stands MarginTop above the bottom.
  int TextTop() const;
  int TextBaseline() const;
  // Right when an accepted answer equals Text() ignoring case as a Russian
  // reader does; an empty text is right only against an empty answer.
  // CheckOnlyScore scores by it, so fields with another rule override it.
  virtual bool IsRight() const;

  void SetBounds(int left, int top, int width, int height) override;
  void Paint(TCanvas& canvas) override;
  void ParseParameters(const std::string& params) override;
  void Check() override;
  void CheckOnlyScore() override;
  void Reset() override;
  bool KeepsRoomAboveOnFirstLine() const override { return true; }

 protected:
  // Moves the caret, kept within the text.
  void MoveCursor(int position);
  // The blink starts again from "on", a whole interval before the next tick.
  void RestartBlink();
  void CaretTimer();
  // The first step of every typed key: the key is taken (so nothing else types
  // it) and the caret shown. A Latin letter only switches the keyboard to
  // Russian and gives false; otherwise typed is the character to type.
  bool TakeTypedKey(char& key, char& typed);

  void KeyDown(unsigned short& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void DoEnter() override;
  void DoExit() override;
  void CaptionChanged() override;
  void focusInEvent(QFocusEvent* e) override;

 private:
  void SetMaxCharFrom(const std::string& value);
  void AddAnswer(const std::string& value);
  void FitIntoParent();
  void ShowHintLabel();
  void FreeHintLabel();
  void PaintText(TCanvas& canvas);
  void PaintCaret(TCanvas& canvas);
  void PaintError(TCanvas& canvas);
  // Fires a handler, which may free the field: call it last.
  void Fire(const TNotifyEvent& handler);

  TStringList answer_;
  std::vector<int> caretStops_;
  QPointer<TRLLabel> hintLabel_;
  TTimer* blinkTimer_;  // a child of the field, freed with it
  int cursor_ = 0;
  bool firing_ = false;  // inside OnEnterKey or OnLeaveEdit
};

// The characters an answer may hold: the blank, printable ASCII but "_", and
// the Russian letters with Ё and ё (cp1251).
bool IsAnswerChar(char c);
// A Latin letter: typing one switches the keyboard to Russian instead.
bool IsLatinKeyLetter(char c);
// The height of a typing line in a font: the cell less 5 pixels of leading.
int EditLineHeight(const TFont& font);
// The height of a fill-in field in a font: room for its bold text, whole with
// every mark above the capitals, the margins included.
int EditFieldHeight(const TFont& font, int marginTop, int marginBottom);
// The dotted guide line of a field width pixels wide: count full stops, or
// as many as fit whole, as a dot cut at the field's edge looks like a stray mark.
std::string GuideDots(const TCanvas& canvas, int count, int width);
// The red bold answer that a failed check shows: a label owned by control,
// out of the flow, standing on control's parent just beyond control's upper
// right corner, moved left to stay inside the parent.
TRLLabel* NewAnswerHint(TRLControl& control, const std::string& caption);

// Sizes a field for its first answer (with room for a "_") and for MaxChar
// characters; the font ends up as it was, without bold.
void SizeEditToAnswer(TRLEdit& edit);
// Sizes a field to its current text; the font stays bold.
void SizeEditToText(TRLEdit& edit);
