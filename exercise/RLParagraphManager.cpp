#include "exercise/RLParagraphManager.h"

#include <QScopedValueRollback>
#include <algorithm>

#include "exercise/RLButton.h"
#include "exercise/RLLabel.h"
#include "exercise/TextTokens.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "platform/StrUtils.h"
#include "widgets/AlphaBitmap.h"

namespace {

constexpr int FrameMargin = 10;
constexpr int LetterColumn = 20;   // between the frame's left margin and the text
constexpr int ManagerGutter = 50;  // a paragraph is this much narrower than its manager
constexpr int LetterSize = -18;

}  // namespace

// ----- TRLParagraph

TRLParagraph::TRLParagraph(QObject* owner)
    : TRLControl(owner),
      activeImage_(LoadAlphaBitmap(".\\imgs\\para.png", true)),
      inactiveImage_(LoadAlphaBitmap(".\\imgs\\para_inactive.png", true)) {
  MarginLeft = MarginTop = MarginRight = MarginBottom = FrameMargin;
}

TRLParagraphManager* TRLParagraph::Manager() const {
  return qobject_cast<TRLParagraphManager*>(Parent());
}

int TRLParagraph::Position() const {
  const TRLParagraphManager* manager = Manager();
  return manager ? manager->IndexOf(this) : -1;
}

int TRLParagraph::LastIndex() const {
  const TRLParagraphManager* manager = Manager();
  return manager ? static_cast<int>(manager->Paragraphs().size()) - 1 : -1;
}

void TRLParagraph::MoveTo(int newIndex) {
  if (TRLParagraphManager* manager = Manager()) manager->Move(Position(), newIndex);
}

void TRLParagraph::MoveUp() {
  if (Position() > 0) MoveTo(Position() - 1);
}

void TRLParagraph::MoveDown() {
  if (Position() < LastIndex()) MoveTo(Position() + 1);
}

void TRLParagraph::ParseParameters(const std::string& params) {
  SetBounds(0, 0, std::max(0, (Parent() ? Parent()->ClientWidth() : Width()) - ManagerGutter), 1);
  upButton_ = AddArrow(true);
  textPanel_ = new TRLControl(this);
  textPanel_->SetTabStop(false);
  textPanel_->SetParent(this);
  textPanel_->SetColor(PanelColor);
  textPanel_->SetBounds(MarginLeft + LetterColumn, MarginTop,
                        std::max(0, Width() - upButton_->Width() - MarginLeft - MarginRight - LetterColumn),
                        1);
  innerParser_ = new TRLParser(this);
  innerParser_->SetParent(textPanel_);
  std::string markup = params;
  const std::string place = SplitAt(markup, " ", true);
  int number = 0;
  if (!TryStrToInt(place, number)) throw Exception(Format("Integer expexted but \"%s\" found.", place));
  CorrectIndex = number - 1;
  innerParser_->ParseParameters(markup);
  textPanel_->SetHeight(innerParser_->Height());
  SetHeight(std::max(textPanel_->Height(), 2 * upButton_->Height()) + MarginTop + MarginBottom);
  AddLetterLabel();
  SelectOnClick(this);
  SelectOnClick(innerParser_);
  for (int i = 0; i < innerParser_->ControlCount(); ++i)
    if (auto* control = qobject_cast<TRLControl*>(innerParser_->Controls(i))) SelectOnClick(control);
  downButton_ = AddArrow(false);
  PlaceArrows();
}

TRLPaintButton* TRLParagraph::AddArrow(bool up) {
  auto* arrow = new TRLPaintButton(this);
  arrow->SetParent(this);
  arrow->SetArrow(up);
  arrow->SetBounds(Width() - arrow->Width(), 0, arrow->Width(), arrow->Height());
  arrow->OnClick = [this, up](TObject*) { up ? MoveUp() : MoveDown(); };
  return arrow;
}

void TRLParagraph::PlaceArrows() {
  // The pair meets at the paragraph's middle, on its right edge.
  upButton_->SetTop(Height() / 2 - upButton_->Height());
  downButton_->SetTop(Height() / 2);
}

void TRLParagraph::AddLetterLabel() {
  letterLabel_ = new TRLLabel(this);
  TFont font;
  font.Name = "Tahoma";
  font.SetSize(LetterSize);
  letterLabel_->SetFont(font);
  letterLabel_->SetColor(PanelColor);
  letterLabel_->SetCaption(std::string(1, Letter));
  letterLabel_->InFlow = false;
  letterLabel_->SetParent(this);
  letterLabel_->SetLeft(MarginLeft);
  // Room for the letter and a red letter above it, whatever the text's height.
  const int least = 3 * letterLabel_->Height() + MarginTop + MarginBottom;
  if (Height() < least) SetHeight(least);
  CentreLetter();
  SelectOnClick(letterLabel_);
}

void TRLParagraph::CentreLetter() {
  letterLabel_->SetTop((Height() - letterLabel_->Height()) / 2);
}

void TRLParagraph::SelectOnClick(TControl* control) {
  control->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { SetFocus(); };
}

// ----- painting

void TRLParagraph::Paint(TCanvas& canvas) {
  PaintBackground(canvas);
  if (upButton_) PaintFrame(canvas);
}

void TRLParagraph::PaintFrame(TCanvas& canvas) const {
  // A nine-slice of the frame picture over the paragraph less its arrow column.
  const TBitmap& image = Focused() ? *activeImage_ : *inactiveImage_;
  const int right = Width() - upButton_->Width();
  const int sx[4] = {0, MarginLeft, image.Width() - MarginRight, image.Width()};
  const int sy[4] = {0, MarginTop, image.Height() - MarginBottom, image.Height()};
  const int dx[4] = {0, MarginLeft, right - MarginRight, right};
  const int dy[4] = {0, MarginTop, Height() - MarginBottom, Height()};
  for (int col = 0; col < 3; ++col)
    for (int row = 0; row < 3; ++row)
      AlphaBlend(canvas.Bitmap(), Rect(dx[col], dy[row], dx[col + 1], dy[row + 1]), image,
                 Rect(sx[col], sy[row], sx[col + 1], sy[row + 1]));
}

// ----- checking

void TRLParagraph::Check() {
  // A paragraph whose markup failed half-way has nothing to check.
  if (!innerParser_ || !letterLabel_) return;
  innerParser_->Check();
  ScoreOwnPlace();
  // A paragraph now in its place loses the red letter of an earlier check.
  if (Position() == CorrectIndex)
    FreeErrorLabel();
  else
    ShowErrorLetter();
}

void TRLParagraph::CheckOnlyScore() {
  if (!innerParser_ || !letterLabel_) return;
  innerParser_->CheckOnlyScore();
  ScoreOwnPlace();
}

void TRLParagraph::ScoreOwnPlace() {
  MaxScore = innerParser_->MaxScore + 1;
  Score = innerParser_->Score + (Position() == CorrectIndex ? 1 : 0);
}

void TRLParagraph::ShowErrorLetter() {
  FreeErrorLabel();
  const TRLParagraphManager* manager = Manager();
  const TRLParagraph* belonging = manager ? manager->BelongingAt(Position()) : nullptr;
  errorLabel_ = new TRLLabel(this);
  errorLabel_->InFlow = false;
  errorLabel_->SetParent(this);
  TFont font = letterLabel_->Font();
  font.Style |= fsBold;
  font.Color = ErrorColor;
  errorLabel_->SetFont(font);
  errorLabel_->SetColor(letterLabel_->Color());
  // A place that no paragraph's number names gets a dash: nothing belongs there.
  errorLabel_->SetCaption(belonging ? std::string(1, belonging->Letter) : GapMark);
  errorLabel_->SetBounds(letterLabel_->Left(), letterLabel_->Top() - errorLabel_->Height(),
                         errorLabel_->Width(), errorLabel_->Height());
  SelectOnClick(errorLabel_);
}

void TRLParagraph::FreeErrorLabel() {
  // Later, not at once: the label may be freed from its own click.
  if (errorLabel_) errorLabel_->Release();
  errorLabel_ = nullptr;
}

void TRLParagraph::Reset() {
  if (innerParser_) innerParser_->Reset();
  FreeErrorLabel();
}

// ----- focus and keys

void TRLParagraph::SetFocus() {
  TRLControl::SetFocus();
  if (errorLabel_) Reset();
  UpdateFocusColours();
}

void TRLParagraph::DoEnter() {
  TRLControl::DoEnter();
  if (errorLabel_) Reset();
  UpdateFocusColours();
}

void TRLParagraph::DoExit() {
  TRLControl::DoExit();
  UpdateFocusColours();
}

void TRLParagraph::UpdateFocusColours() {
  if (!textPanel_ || !letterLabel_) return;
  const TColor colour = Focused() ? FocusColor : PanelColor;
  textPanel_->SetColor(colour);
  letterLabel_->SetColor(colour);
  if (errorLabel_) errorLabel_->SetColor(colour);
  Invalidate();
  // The arrows show whether their paragraph is the selected one.
  for (TRLPaintButton* arrow : {upButton_.data(), downButton_.data()})
    if (arrow) arrow->Invalidate();
}

void TRLParagraph::KeyDown(unsigned short& key, TShiftState shift) {
  if (key == VK_UP || key == VK_DOWN) {
    key == VK_UP ? MoveUp() : MoveDown();
    key = 0;
    return;
  }
  TRLControl::KeyDown(key, shift);
}

// ----- TRLParagraphManager

TRLParagraphManager::TRLParagraphManager(QObject* owner) : TRLParser(owner) {}

std::vector<TRLParagraph*> TRLParagraphManager::Paragraphs() const {
  std::vector<TRLParagraph*> live;
  for (const QPointer<TRLParagraph>& paragraph : paragraphs_)
    if (paragraph) live.push_back(paragraph);
  return live;
}

int TRLParagraphManager::IndexOf(const TRLParagraph* paragraph) const {
  const std::vector<TRLParagraph*> list = Paragraphs();
  const auto found = std::find(list.begin(), list.end(), paragraph);
  return found == list.end() ? -1 : static_cast<int>(found - list.begin());
}

TRLParagraph* TRLParagraphManager::BelongingAt(int index) const {
  // Of paragraphs written with the same number, the first written; letters
  // follow the written order.
  TRLParagraph* first = nullptr;
  for (TRLParagraph* paragraph : Paragraphs())
    if (paragraph->CorrectIndex == index &&
        (!first || static_cast<unsigned char>(paragraph->Letter) < static_cast<unsigned char>(first->Letter)))
      first = paragraph;
  return first;
}

void TRLParagraphManager::Move(int from, int to) {
  std::erase_if(paragraphs_, [](const QPointer<TRLParagraph>& paragraph) { return paragraph.isNull(); });
  const int count = static_cast<int>(paragraphs_.size());
  if (from < 0 || from >= count || to < 0 || to >= count || from == to) return;
  const QPointer<TRLParagraph> moving = paragraphs_[from];
  paragraphs_.erase(paragraphs_.begin() + from);
  paragraphs_.insert(paragraphs_.begin() + to, moving);
  Arrange();
}

void TRLParagraphManager::ParseParameters(const std::string& markup) {
  // Styles in force before the tag do not reach the paragraphs.
  if (const auto* parent = qobject_cast<const TRLControl*>(Parent())) SetFont(parent->Font());
  SetBounds(Left(), Top(), Parent() ? Parent()->ClientWidth() : Width(), 1);
  char letter = "а"_cp[0];
  int total = 0;
  ForEachTag(markup, [&](const std::string& name, const std::string& attrs) {
    if (LowerCase(name) != "paragraph")
      throw Exception(Format(
          "Unrecognized tag: \"%s\". Only \"paragraph\" tag supported inside ParagraphManager.", name));
    if (paragraphs_.size() == MaxParagraphs)
      throw Exception(Format("A \"parmanager\" tag holds at most %d paragraphs.", MaxParagraphs));
    total += AddParagraph(attrs, letter++)->Height();
  });
  SetHeight(total);
  Arrange();
}

TRLParagraph* TRLParagraphManager::AddParagraph(const std::string& params, char letter) {
  auto* paragraph = new TRLParagraph(this);
  paragraphs_.emplace_back(paragraph);
  paragraph->Letter = letter;
  paragraph->SetParent(this);
  paragraph->ParseParameters(params);
  return paragraph;
}

void TRLParagraphManager::Arrange() {
  if (layingOut_) return;  // our own change of height
  const QScopedValueRollback<bool> guard(layingOut_, true);
  TLineState state;
  const auto finishLine = [this, &state] {
    FinishLine(state);
    ++state.Y;  // a pixel between paragraphs
  };
  const std::vector<TRLParagraph*> list = Paragraphs();
  for (TRLParagraph* paragraph : list) {
    if (!paragraph->InFlow) continue;
    if (state.X + paragraph->Width() > Width() && !state.Line.empty()) finishLine();
    paragraph->LayoutX = state.X;
    paragraph->LineNo = state.LineNo;
    state.Line.push_back(paragraph);
    state.X += paragraph->Width();
  }
  finishLine();
  if (state.Y > 0 && Height() != state.Y) {
    SetHeight(state.Y);
    // The text around the exercise flows to its new height.
    if (auto* parser = qobject_cast<TRLParser*>(Parent())) parser->Arrange();
  }
  for (TRLParagraph* paragraph : list)
    if (paragraph->InFlow) paragraph->ApplyLayoutPosition();
}
