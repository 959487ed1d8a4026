#include "exercise/RLColumned.h"

#include <algorithm>
#include <vector>

#include "exercise/RLParser.h"

TRLColumnBase::TRLColumnBase(QObject* owner) : TRLControl(owner) {
  // A container counts only what its inner markup holds.
  MaxScore = 0;
}

void TRLColumnBase::ParseParameters(const std::string& markup) {
  const int parentWidth = Parent() ? Parent()->ClientWidth() : Width();
  SetWidth(std::max(0, ColumnWidth(parentWidth)));
  inner_ = new TRLParser(this);
  inner_->SetParent(this);
  inner_->ParseParameters(markup);
  SetHeight(inner_->Height());
  MatchNeighbours();
}

void TRLColumnBase::MatchNeighbours() {
  const TWinControl* parent = Parent();
  if (!parent) return;
  int index = 0;
  while (index < parent->ControlCount() && parent->Controls(index) != this) ++index;
  // Only directly adjacent columns share a height: any text between them,
  // even a blank, keeps them apart.
  if (index < Neighbours()) return;
  std::vector<TControl*> group{this};
  for (int i = index - Neighbours(); i < index; ++i) {
    if (parent->Controls(i)->metaObject() != metaObject()) return;
    group.push_back(parent->Controls(i));
  }
  int height = 0;
  for (const TControl* column : group) height = std::max(height, column->Height());
  for (TControl* column : group) column->SetHeight(height);
}

void TRLColumnBase::Check() {
  if (!inner_) return;
  inner_->Check();
  TakeInnerScore();
}

void TRLColumnBase::CheckOnlyScore() {
  if (!inner_) return;
  inner_->CheckOnlyScore();
  TakeInnerScore();
}

void TRLColumnBase::Reset() {
  if (inner_) inner_->Reset();
}

void TRLColumnBase::TakeInnerScore() {
  Score = inner_->Score;
  MaxScore = inner_->MaxScore;
}
