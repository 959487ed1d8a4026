#pragma once
// The memory exercise ("memory" tag): the learner reads a passage, presses
// its button, and every word to memorise ("memolabel" item) is replaced in
// place by an empty fill-in field that accepts only that word.
// TRLMemoryLabel is one such word, TRLMemory the passage.

#include <QPointer>
#include <string>

#include "exercise/RLLabel.h"
#include "exercise/RLWordCorrector.h"

class TRLEdit;

class TRLMemoryLabel : public TRLLabel {
  Q_OBJECT

 public:
  explicit TRLMemoryLabel(QObject* owner);

  // The field that stands in the word's place after the submit; owned by
  // the passage, freed by Reset.
  QPointer<TRLEdit> AnswerEdit;

  // "text" is the word; the label keeps its own height free above itself.
  void ParseParameters(const std::string& params) override;
  // A word still shown counts as one error; once replaced, its field scores.
  void Check() override;
  void CheckOnlyScore() override;
  // The field goes, the word shows again at its own width.
  void Reset() override;
  // The field follows its word when the passage flows again.
  void SetBounds(int left, int top, int width, int height) override;

  // Hides the word under a new empty field sized for it in bold, that
  // accepts only the word and two characters more; the word takes the
  // field's width (the passage must flow again).
  void ReplaceWithEdit();

 private:
  void PlaceAnswerEdit();
};

class TRLMemory : public TRLWordCorrector {
  Q_OBJECT

 public:
  explicit TRLMemory(QObject* owner);

  // Counts every exercise control of the passage, the answer fields (which
  // stand out of the flow) included.
  void Check() override;
  void CheckOnlyScore() override;
  // Back to the memorising phase: words and button shown, fields gone, the
  // passage laid out as after parsing.
  void Reset() override;

  // The button's action: every word to memorise gives way to its field, the
  // passage flows again around the fields, and the first field takes the focus.
  void Submit();
  // Also keeps the fields whole: their guide reaches below their words' line.
  void Arrange() override;

 protected:
  // Plain words of a passage are read, not corrected.
  TRLWord* CreateWord() override;
  // "br", "submit", "memolabel" and embedded exercise controls; no style tags.
  void AddItem(const std::string& name, const std::string& attrs, TFont& font,
               const std::string& chunkBefore) override;

 private:
  std::vector<QPointer<TRLMemoryLabel>> MemoryLabels() const;
};
