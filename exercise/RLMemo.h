#pragma once
// TRLMemo: the "memo" tag, a multi-line answer field over a fixed number of
// dotted lines. The text wraps at word boundaries inside the field; the check
// compares the typed words, in order, with the expected answer, so line
// breaks never matter. It keeps the fill-in field's caret blink, focus
// handling and character filter, and brings its own lines, keys and drawing.
//
// Text() holds the lines joined, with a carriage return after each line that
// Return ended; Cursor() is the caret's column in line CaretRow.

#include <string>

#include "exercise/RLEdit.h"
#include "platform/StringList.h"

class TRLMemo : public TRLEdit {
  Q_OBJECT

 public:
  explicit TRLMemo(QObject* owner);

  int LineCount = 0;       // text lines of the field ("height")
  std::string AnswerText;  // the expected answer as written ("answer"; may hold "<br>")
  // The lines shown, rebuilt from Text() by WrapLines; a line that Return
  // ended carries a non-null object (see EndsInBreak).
  TStringList TextLines;
  int CaretRow = 0;  // the caret's line

  // Five pixels less than the font's cell: the distance between lines.
  int LinePitch() const;
  bool EndsInBreak(int row) const;

  void Paint(TCanvas& canvas) override;
  // "width" = columns, "height" = lines, "answer" = the expected text.
  void ParseParameters(const std::string& params) override;
  void Check() override;

  // Text() cut into at most LineCount lines of the field's width.
  void WrapLines();
  // The caret as a position in Text(), and back.
  int CaretIndex();
  void SetCaretIndex(int index);
  // The answer with its "<br>"s and line ends turned into single blanks.
  std::string NormalizedAnswer() const;
  // The typed words equal the answer's, in order, letter case and punctuation included.
  bool IsRight() const override;

 protected:
  void KeyDown(unsigned short& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  // A new text is wrapped at once, so the lines and the caret follow it.
  void CaptionChanged() override;

 private:
  struct TWrapped {
    TStringList Lines;
    bool Overflow = false;  // words were left over after the last line
  };
  TWrapped Wrap(const std::string& text) const;
  // The head of a paragraph that fits one line: up to the last blank that
  // fits, or as many letters as fit when a word alone is too wide.
  std::string LineHead(const std::string& rest) const;
  bool FitsLine(const std::string& s) const;
  // Puts text in place and the caret at index, when the text fits the
  // field; an edit that would push words beyond the last line is refused.
  void ApplyEdit(const std::string& text, int index);
  void TypeCharacter(char c);
  void MoveToRow(int row);
  int LineLength(int row) const;
  int ColumnAt(int row, int x) const;
};
