#include "exercise/RLSwapper.h"

#include <algorithm>

#include "exercise/RLButton.h"
#include "exercise/RLParser.h"
#include "exercise/TextTokens.h"
#include "platform/StrUtils.h"
#include "widgets/ImageScrollBar.h"
#include "widgets/ImageScrollBox.h"

namespace {

// Where a hidden section waits, off the swapper's face.
constexpr int OffSide = -1000;

}  // namespace

TRLSwapper::TRLSwapper(QObject* owner) : TRLControl(owner) {
  // A container counts only what its sections hold.
  MaxScore = 0;
}

void TRLSwapper::ParseParameters(const std::string& markup) {
  SetBounds(Left(), Top(), Parent() ? Parent()->ClientWidth() : Width(), 1);
  ForEachTag(markup, [this](const std::string& name, const std::string& attrs) {
    if (name == "first")
      ReadSection(attrs, first_);
    else if (name == "second")
      ReadSection(attrs, second_);
  });
  if (!first_ || !second_) throw Exception("One of the sections of the \"swapper\" tag missing!");
  CreateButton();
  SetHeight(std::max(first_->Height(), second_->Height()) + button_->Height());
  ShowFirst();
}

void TRLSwapper::ReadSection(const std::string& markup, QPointer<TRLParser>& section) {
  // Only one section of each kind is shown and checked, so an earlier one
  // would be left lying under the page.
  delete section;
  section = new TRLParser(this);
  section->SetParent(this);
  section->SetFont(Font());
  section->SetBounds(0, 0, Width(), section->Height());
  section->ParseParameters(markup);
}

void TRLSwapper::CreateButton() {
  button_ = new TRLButton(this);
  button_->SetParent(this);
  button_->LoadSheet(".\\imgs\\swapper.png");
  button_->SetBounds(0, 0, button_->FrameWidth, button_->FrameHeight);
  button_->OnClick = [this](TObject*) { Swap(); };
}

void TRLSwapper::ShowFirst() {
  second_->Hide();
  second_->SetBounds(OffSide, OffSide, second_->Width(), second_->Height());
  first_->SetBounds(0, 0, first_->Width(), first_->Height());
  first_->Show();
  button_->SetBounds(0, first_->Height(), button_->Width(), button_->Height());
  button_->Show();
}

void TRLSwapper::Swap() {
  button_->Hide();
  first_->Hide();
  first_->SetBounds(OffSide, OffSide, first_->Width(), first_->Height());
  second_->SetBounds(0, 0, second_->Width(), second_->Height());
  second_->Show();
  ScrollPageToTop();
}

void TRLSwapper::Reset() {
  if (!first_ || !second_ || !button_) return;
  first_->Reset();
  second_->Reset();
  button_->Reset();
  ShowFirst();
  ScrollPageToTop();
}

void TRLSwapper::ScrollPageToTop() {
  // The page's root parser lies in the content panel of the exercise area's scroll box.
  const TWinControl* content = FindRootParser(this)->Parent();
  auto* box = content ? qobject_cast<TImageScrollBox*>(content->Parent()) : nullptr;
  if (box && box->ScrollBar()) box->ScrollBar()->SetScrollerPos(0);
}

void TRLSwapper::Check() {
  if (!first_ || !second_) return;
  first_->Check();
  second_->Check();
  SumSections();
}

void TRLSwapper::CheckOnlyScore() {
  if (!first_ || !second_) return;
  first_->CheckOnlyScore();
  second_->CheckOnlyScore();
  SumSections();
}

void TRLSwapper::SumSections() {
  Score = first_->Score + second_->Score;
  MaxScore = first_->MaxScore + second_->MaxScore;
}
