#include "exercise/RLCheckBox.h"

#include <algorithm>

#include "exercise/TextTokens.h"
#include "platform/Canvas.h"
#include "platform/StrUtils.h"

namespace {

constexpr int DefaultWidth = 100;
constexpr int StrikeWidth = 3;

// The skin's fourth byte is transparency: 0 shows the skin, 255 the page.
std::uint32_t BlendTransparent(std::uint32_t page, std::uint32_t skin) {
  const std::uint32_t t = skin >> 24;
  std::uint32_t result = 0xFF000000u;
  for (int shift : {0, 8, 16}) {
    const std::uint32_t p = (page >> shift) & 0xFF;
    const std::uint32_t s = (skin >> shift) & 0xFF;
    result |= ((p * t + s * (255 - t)) / 256) << shift;
  }
  return result;
}

}  // namespace

// ---------------------------------------------------------------- TRLCheckBox

TRLCheckBox::TRLCheckBox(QObject* owner) : TRLControl(owner) {
  LoadSkin("checkbox.bmp");
  SetHeight(std::max(MarginTop, MarginBottom));
}

void TRLCheckBox::SetChecked(int checked) {
  checked_ = checked;
  Invalidate();
}

void TRLCheckBox::ParseParameters(const std::string& params) {
  TRLControl::ParseParameters(params);
  SetWidth(DefaultWidth);
  ForEachAttribute(params, [this](const std::string& key, const std::string& value) {
    if (key == "caption") {
      SetCaption(value);
      SizeToCaption();
    } else if (key == "checked") {
      SetChecked(ParseIntAttribute(value));
      InitialChecked = checked_;
    } else if (key == "answer") {
      AnswerChecked = ParseIntAttribute(value);
    }
  });
}

void TRLCheckBox::CaptionChanged() {
  SizeToCaption();
  TRLControl::CaptionChanged();
}

void TRLCheckBox::SizeToCaption() {
  // The row is one skin cell high, or higher when the caption's font is
  // taller: a large font must not lose its descenders or the breve of "Й".
  const int height = std::max({MarginTop, MarginBottom, TextHeightOf(this, Caption())});
  SetBounds(Left(), Top(), std::max(MarginLeft, MarginRight) + TextWidthOf(this, Caption()), height);
}

// ----- checking

void TRLCheckBox::Check() {
  TRLControl::Check();
  Score = IsRight() ? 1 : 0;
  // The marks are those of this check, whatever an earlier one showed.
  ErrorShown = !IsRight();
  Invalidate();
}

void TRLCheckBox::CheckOnlyScore() {
  MaxScore = 1;
  Score = IsRight() ? 1 : 0;
}

void TRLCheckBox::Reset() {
  TRLControl::Reset();
  ErrorShown = false;
  SetChecked(InitialChecked);
}

// ----- the learner's actions

void TRLCheckBox::ChangeState() {
  SetChecked(checked_ ? 0 : 1);
}

void TRLCheckBox::Toggle() {
  if (ShowsMarks())
    ClearMarks();
  else
    ChangeState();
  if (Focused())
    Invalidate();
  else
    SetFocus();
}

void TRLCheckBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  QPointer<TRLCheckBox> self(this);
  TRLControl::MouseDown(button, shift, x, y);
  if (self) Toggle();
}

void TRLCheckBox::KeyDown(unsigned short& key, TShiftState shift) {
  if (key != VK_SPACE) {
    TRLControl::KeyDown(key, shift);
    return;
  }
  key = 0;
  Toggle();
}

void TRLCheckBox::SetFocus() {
  TRLControl::SetFocus();
  FocusGained();
}

void TRLCheckBox::DoEnter() {
  TRLControl::DoEnter();
  FocusGained();
}

void TRLCheckBox::DoExit() {
  TRLControl::DoExit();
  Invalidate();
}

void TRLCheckBox::FocusGained() {
  if (ShowsMarks()) ClearMarks();
  Invalidate();
}

// ----- painting

TRect TRLCheckBox::CellRect() const {
  const int columns[] = {0, MarginLeft, Skin.Width() - MarginRight, Skin.Width()};
  int column = checked_ ? 1 : 0;
  bool focusRow = Focused();
  if (ErrorShown && !checked_) {
    column = 2;
    focusRow = false;
  }
  const int top = focusRow ? Skin.Height() - MarginBottom : 0;
  const int bottom = focusRow ? Skin.Height() : MarginTop;
  // Margins that do not fit the picture must not reach outside it.
  const auto x = [this](int edge) { return std::clamp(edge, 0, Skin.Width()); };
  const auto y = [this](int edge) { return std::clamp(edge, 0, Skin.Height()); };
  const int left = x(columns[column]);
  const int upper = y(top);
  return Rect(left, upper, std::max(left, x(columns[column + 1])), std::max(upper, y(bottom)));
}

void TRLCheckBox::Paint(TCanvas& canvas) {
  PaintBackground(canvas);
  const TRect cell = CellRect();
  // A row grown for a tall caption keeps the skin's row in its middle; in a
  // row as high as the skin the cell stands at the top.
  const int top = std::max(0, (Height() - std::max(MarginTop, MarginBottom)) / 2);
  BlendCell(canvas, top);
  canvas.Font = Font();
  canvas.Brush.Style = TBrushStyle::bsClear;
  canvas.TextOut(cell.Width(), top + (cell.Height() - canvas.TextHeight(Caption())) / 2, Caption());
  if (!ErrorShown || !checked_) return;
  // A tick where none belongs: the whole box is struck through.
  canvas.Pen = TPen{clRed, StrikeWidth, TPenStyle::psSolid, TPenMode::pmCopy};
  canvas.MoveTo(0, Height() / 2 + 3);
  canvas.LineTo(Width(), Height() / 2 + 3);
}

void TRLCheckBox::BlendCell(TCanvas& canvas, int top) const {
  TBitmap& target = canvas.Bitmap();
  const TRect cell = CellRect();
  top = std::max(0, top);
  const int width = std::min(cell.Width(), target.Width());
  const int height = std::min(cell.Height(), target.Height() - top);
  for (int y = 0; y < height; ++y) {
    std::uint32_t* row = target.ScanLine(top + y);
    const std::uint32_t* skin = Skin.ScanLine(cell.Top + y) + cell.Left;
    for (int x = 0; x < width; ++x) row[x] = BlendTransparent(row[x], skin[x]);
  }
}

// ---------------------------------------------------------------- TRLRadioBox

TRLRadioBox::TRLRadioBox(QObject* owner) : TRLCheckBox(owner) {}

TRLRadioGroup* TRLRadioBox::Group() const {
  return qobject_cast<TRLRadioGroup*>(Parent());
}

void TRLRadioBox::ParseParameters(const std::string& params) {
  TRLCheckBox::ParseParameters(params);
  if (Checked()) UncheckOthers();
}

void TRLRadioBox::Reset() {
  TRLCheckBox::Reset();
  if (Checked()) UncheckOthers();
}

void TRLRadioBox::UncheckOthers() {
  const TRLRadioGroup* group = Group();
  if (!group) return;
  for (TRLRadioBox* item : group->Items())
    if (item != this) item->SetChecked(0);
}

bool TRLRadioBox::ShowsMarks() const {
  const TRLRadioGroup* group = Group();
  return group ? group->ShowsMarks() : ErrorShown;
}

void TRLRadioBox::ClearMarks() {
  if (TRLRadioGroup* group = Group())
    group->Reset();
  else
    Reset();
}

void TRLRadioBox::ChangeState() {
  SetChecked(1);
  UncheckOthers();
}

void TRLRadioBox::MouseDown(TMouseButton, TShiftState, int, int) {
  Toggle();
}

// -------------------------------------------------------------- TRLRadioGroup

TRLRadioGroup::TRLRadioGroup(QObject* owner) : TRLControl(owner) {
  SetTabStop(false);
}

void TRLRadioGroup::ParseParameters(const std::string& params) {
  TRLControl::ParseParameters(params);
  int height = 0;
  int width = 0;
  ForEachTag(params, [&](const std::string& name, const std::string& attrs) {
    if (LowerCase(name) != "rgi") throw Exception(Format("Unexpected tag: \"%s\"", name));
    const TRLRadioBox& item = AddItem(attrs);
    height += item.Height();
    width = std::max(width, item.Width());
  });
  SetBounds(Left(), Top(), width, height);
  StackItems();
}

TRLRadioBox& TRLRadioGroup::AddItem(const std::string& attrs) {
  auto* item = new TRLRadioBox(this);
  item->SetParent(this);
  item->SetFont(Font());
  item->ParseParameters(attrs);
  return *item;
}

void TRLRadioGroup::StackItems() {
  // Each item starts below the ones before it, so the top alignment keeps
  // the markup's order and stretches every item to the group's width.
  int top = 0;
  DisableAlign();
  for (TRLRadioBox* item : Items()) {
    item->SetTop(top);
    item->SetAlign(alTop);
    top += item->Height();
  }
  EnableAlign();
}

std::vector<TRLRadioBox*> TRLRadioGroup::Items() const {
  std::vector<TRLRadioBox*> items;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* item = qobject_cast<TRLRadioBox*>(Controls(i))) items.push_back(item);
  return items;
}

bool TRLRadioGroup::ShowsMarks() const {
  const std::vector<TRLRadioBox*> items = Items();
  return std::any_of(items.begin(), items.end(), [](const TRLRadioBox* item) { return item->ErrorShown; });
}

void TRLRadioGroup::Check() {
  TRLControl::Check();
  for (TRLRadioBox* item : Items()) item->Check();
  ScoreFromItems();
}

void TRLRadioGroup::CheckOnlyScore() {
  MaxScore = 1;
  for (TRLRadioBox* item : Items()) item->CheckOnlyScore();
  ScoreFromItems();
}

void TRLRadioGroup::ScoreFromItems() {
  const std::vector<TRLRadioBox*> items = Items();
  Score = std::all_of(items.begin(), items.end(), [](const TRLRadioBox* item) { return item->Score > 0; })
              ? 1
              : 0;
}

void TRLRadioGroup::Reset() {
  TRLControl::Reset();
  for (TRLRadioBox* item : Items()) item->Reset();
}
