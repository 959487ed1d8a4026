#pragma once
// TRLSwapper ("swapper" tag): two sections of exercise markup, "first" and
// "second". The first is shown with a button under it; the button puts the
// second in its place (say, a text to read and then the task about it) and
// brings the page back to its top. Both sections always count in a check.

#include <QPointer>
#include <string>

#include "exercise/RLButton.h"
#include "exercise/RLParser.h"

class TRLSwapper : public TRLControl {
  Q_OBJECT

 public:
  explicit TRLSwapper(QObject* owner);

  TRLParser* FirstSection() const { return first_; }
  TRLParser* SecondSection() const { return second_; }
  TRLButton* SwapButton() const { return button_; }

  // Reads the "first" and "second" items of the tag body (names written in
  // lower case; other tags and text between them are skipped). A repeated
  // item replaces the earlier one. Throws when either item is missing.
  void ParseParameters(const std::string& markup) override;
  // Score and MaxScore are the sums over both sections, shown or not.
  void Check() override;
  void CheckOnlyScore() override;
  // Both sections reset, the first shown with its button, the page at its top.
  void Reset() override;
  // The button's action: the second section in place of the first.
  void Swap();

 private:
  void ReadSection(const std::string& markup, QPointer<TRLParser>& section);
  void CreateButton();
  void ShowFirst();
  void ScrollPageToTop();
  void SumSections();

  QPointer<TRLParser> first_;
  QPointer<TRLParser> second_;
  QPointer<TRLButton> button_;
};
