#include "exercise/RLMemory.h"

#include <algorithm>

#include "exercise/RLButton.h"
#include "exercise/RLEdit.h"
#include "exercise/TagTable.h"
#include "exercise/TextTokens.h"
#include "platform/StrUtils.h"

namespace {

// The learner may type this many characters more than the word has.
constexpr int ExtraChars = 2;

// A word of the text around the words to memorise: read, never edited.
class TMemoryWord : public TRLWord {
 public:
  using TRLWord::TRLWord;

 protected:
  bool EditsOnLeftClick() const override { return false; }
};

}  // namespace

// ----- TRLMemoryLabel

TRLMemoryLabel::TRLMemoryLabel(QObject* owner) : TRLLabel(owner) {}

void TRLMemoryLabel::ParseParameters(const std::string& params) {
  ForEachAttribute(params, [this](const std::string& key, const std::string& value) {
    if (key == "text") SetCaption(value);
  });
  ExtraAbove = Height();
}

void TRLMemoryLabel::Check() {
  CheckOnlyScore();
}

void TRLMemoryLabel::CheckOnlyScore() {
  Score = 0;
  MaxScore = AnswerEdit ? 0 : 1;
}

void TRLMemoryLabel::Reset() {
  TRLLabel::Reset();
  if (!AnswerEdit) {
    Show();
    return;
  }
  delete AnswerEdit.data();
  CaptionChanged();  // back to the word's own width
  Show();
}

void TRLMemoryLabel::SetBounds(int left, int top, int width, int height) {
  TRLLabel::SetBounds(left, top, width, height);
  PlaceAnswerEdit();
}

void TRLMemoryLabel::ReplaceWithEdit() {
  delete AnswerEdit.data();
  TWinControl* passage = Parent();
  if (!passage) return;
  auto* edit = new TRLEdit(passage);
  edit->InFlow = false;
  TFont font = Font();
  font.Style |= fsBold;
  edit->SetFont(font);
  const int length = static_cast<int>(Caption().size());
  edit->SetText(Caption());
  edit->Answer().Add(Caption());
  edit->MaxChar = length;
  SizeEditToAnswer(*edit);
  edit->SetText("");
  edit->MaxChar = length + ExtraChars;
  AnswerEdit = edit;
  // The hidden word keeps the field's room in the line, so that the field
  // covers neither the punctuation after it nor the next word.
  SetWidth(edit->Width());
  PlaceAnswerEdit();
  edit->SetParent(passage);
  edit->BringToFront();
  Hide();
}

void TRLMemoryLabel::PlaceAnswerEdit() {
  if (!AnswerEdit) return;
  TRLEdit& edit = *AnswerEdit;
  // Over the word, moved left where it would reach past the passage's edge,
  // with the typed word on the baseline of the text around it.
  int left = Left();
  if (const TWinControl* passage = Parent()) left = std::min(left, passage->ClientWidth() - edit.Width());
  edit.SetBounds(std::max(left, 0), Top() + Font().Ascent() - edit.TextBaseline(), edit.Width(), edit.Height());
}

// ----- TRLMemory

TRLMemory::TRLMemory(QObject* owner) : TRLWordCorrector(owner) {}

TRLWord* TRLMemory::CreateWord() {
  return new TMemoryWord(this);
}

void TRLMemory::AddItem(const std::string& name, const std::string& attrs, TFont& font,
                        const std::string& chunkBefore) {
  const std::string tag = LowerCase(name);
  if (tag == "br") {
    AddWord(font)->IsBreak = true;
    return;
  }
  TRLControl* control = nullptr;
  if (tag == "submit")
    control = new TRLButton(this);
  else if (tag == "memolabel")
    control = new TRLMemoryLabel(this);
  else
    control = FindTagClass(name)(this);  // the style tags too: a passage has none
  control->SetParent(this);
  control->Glued = GluedAfter(chunkBefore);
  control->ParseParameters(attrs);
}

std::vector<QPointer<TRLMemoryLabel>> TRLMemory::MemoryLabels() const {
  std::vector<QPointer<TRLMemoryLabel>> labels;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* label = qobject_cast<TRLMemoryLabel*>(Controls(i))) labels.emplace_back(label);
  return labels;
}

void TRLMemory::Submit() {
  const std::vector<QPointer<TRLMemoryLabel>> labels = MemoryLabels();
  for (const QPointer<TRLMemoryLabel>& label : labels)
    if (label) label->ReplaceWithEdit();
  Reflow();
  // The button that was pressed is about to hide: the typing starts in the first field.
  for (const QPointer<TRLMemoryLabel>& label : labels) {
    if (!label || !label->AnswerEdit) continue;
    label->AnswerEdit->SetFocus();
    return;
  }
}

void TRLMemory::Arrange() {
  TRLWordCorrector::Arrange();
  int bottom = 0;
  for (const QPointer<TRLMemoryLabel>& label : MemoryLabels())
    if (label && label->AnswerEdit) bottom = std::max(bottom, label->AnswerEdit->Top() + label->AnswerEdit->Height());
  if (bottom > Height()) SetHeight(bottom);
}

void TRLMemory::Check() {
  CheckChildren(this);
  Score = SumScore(this);
  MaxScore = SumMaxScore(this);
}

void TRLMemory::CheckOnlyScore() {
  CheckOnlyScoreChildren(this);
  Score = SumScore(this);
  MaxScore = SumMaxScore(this);
}

void TRLMemory::Reset() {
  for (const QPointer<TRLMemoryLabel>& label : MemoryLabels())
    if (label) label->Reset();
  ResetChildren(this);
  Reflow();
}
