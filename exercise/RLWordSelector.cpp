#include "exercise/RLWordSelector.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "platform/Canvas.h"
#include "platform/StrUtils.h"

namespace {

constexpr TColor SelectedColor = 0x00FFFF;
constexpr TColor PendingColor = 0xFF0000;
constexpr TColor MissedColor = 0x2F92EF;      // should have been selected
constexpr TColor WronglySelected = 0x0000FF;  // selected, but should not be
constexpr TColor PendingWaveColor = 0xCCCC00;

std::vector<QPointer<TRLSelectWord>> SelectWordsOf(const TWinControl& passage) {
  std::vector<QPointer<TRLSelectWord>> words;
  for (int i = 0; i < passage.ControlCount(); ++i)
    if (auto* word = qobject_cast<TRLSelectWord*>(passage.Controls(i))) words.emplace_back(word);
  return words;
}

}  // namespace

// ----- TRLSelectWord

TRLSelectWord::TRLSelectWord(QObject* owner) : TRLWord(owner) {}

TRLWordSelector* TRLSelectWord::Passage() const {
  return qobject_cast<TRLWordSelector*>(Parent());
}

void TRLSelectWord::SetSelected(bool selected) {
  if (SelectionErrorShown) Reset();
  Selected = selected;
  Invalidate();
}

void TRLSelectWord::SetPending(bool pending) {
  if (SelectionErrorShown) Reset();
  Pending = pending;
  Invalidate();
}

void TRLSelectWord::ReadErrorAttribute(const std::string& key, const std::string& value) {
  if (key == "select")
    MustSelect = true;
  else
    TRLWord::ReadErrorAttribute(key, value);
}

bool TRLSelectWord::CountsSelection() const {
  return !IsBreak && !Text().empty() && Text() != " ";
}

void TRLSelectWord::Check() {
  TRLWord::Check();
  if (!CountsSelection()) return;
  ++MaxScore;
  if (SelectionRight()) {
    ++Score;
    return;
  }
  SelectionErrorShown = true;
  Invalidate();
}

void TRLSelectWord::CheckOnlyScore() {
  TRLWord::CheckOnlyScore();
  if (!CountsSelection()) return;
  ++MaxScore;
  if (SelectionRight()) ++Score;
}

void TRLSelectWord::Reset() {
  Selected = false;
  Pending = false;
  SelectionErrorShown = false;
  Invalidate();
  TRLWord::Reset();
}

// ----- mouse

bool TRLSelectWord::EditsOnLeftClick() const {
  // Only passages with words to correct are edited; elsewhere words are only marked.
  const TRLWordSelector* passage = Passage();
  return passage && passage->HasErrorWords && TRLWord::EditsOnLeftClick();
}

void TRLSelectWord::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  QPointer<TRLSelectWord> self(this);
  if (SelectionErrorShown) Reset();
  TRLWord::MouseDown(button, shift, x, y);
  if (!self || button != mbRight) return;
  // Qt keeps sending the pointer to the pressed word until the button goes
  // up: that is the capture the drag needs.
  if (TRLWordSelector* passage = Passage()) passage->StartDrag(this, ClientToScreen(Point(x, y)));
}

void TRLSelectWord::MouseMove(TShiftState shift, int x, int y) {
  TRLWord::MouseMove(shift, x, y);
  TRLWordSelector* passage = Passage();
  if (passage && passage->Dragging) passage->DragTo(ClientToScreen(Point(x, y)));
}

void TRLSelectWord::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  QPointer<TRLSelectWord> self(this);
  TRLWord::MouseUp(button, shift, x, y);
  if (!self || button != mbRight) return;
  TRLWordSelector* passage = Passage();
  if (passage && passage->Dragging) passage->EndDrag(ClientToScreen(Point(x, y)));
}

// ----- painting

void TRLSelectWord::Paint(TCanvas& canvas) {
  // A wrong correction alone shows as in word correction.
  if (ErrorShown && !SelectionErrorShown) {
    TRLWord::Paint(canvas);
    return;
  }
  PaintBackground(canvas);
  if (IsBreak) return;
  canvas.Brush.Style = TBrushStyle::bsSolid;
  if (SelectionErrorShown)
    canvas.Brush.Color = MustSelect ? MissedColor : WronglySelected;
  else if (Pending)
    canvas.Brush.Color = PendingColor;
  else if (Selected)
    canvas.Brush.Color = SelectedColor;
  else
    canvas.Brush.Style = TBrushStyle::bsClear;
  canvas.Font = Font();
  canvas.TextOut(0, 0, Text() + " ");
}

TRLSelectWord2::TRLSelectWord2(QObject* owner) : TRLSelectWord(owner) {}

void TRLSelectWord2::Paint(TCanvas& canvas) {
  PaintBackground(canvas);
  if (IsBreak) return;
  canvas.Brush.Style = TBrushStyle::bsClear;
  canvas.Font = Font();
  canvas.TextOut(0, 0, Text() + " ");
  const TRect band = Rect(0, Height() - 4, Width(), Height() - 1);
  canvas.Pen = TPen{PendingColor, 1, TPenStyle::psSolid, TPenMode::pmCopy};
  if (Selected) DrawWave(canvas, band);
  canvas.Pen.Color = PendingWaveColor;
  if (Pending) DrawWave(canvas, band);
  if (!SelectionErrorShown) return;
  canvas.Pen = TPen{WronglySelected, 2, TPenStyle::psSolid, TPenMode::pmCopy};
  if (Selected) {
    canvas.MoveTo(0, Height() - 2);
    canvas.LineTo(Width(), Height() - 2);
  } else {
    DrawWave(canvas, Rect(0, Height() - 6, Width(), Height() - 1));
  }
}

void DrawWave(TCanvas& canvas, const TRect& r) {
  const double amplitude = (r.Bottom - r.Top) / 2.0;
  if (amplitude <= 0) return;
  canvas.MoveTo(r.Left, r.Bottom);
  for (int x = r.Left + 1; x <= r.Right; ++x) {
    const double phase = (x - r.Left) * (std::numbers::pi / 2) / amplitude;
    const int y = r.Top + RoundHalfEven(amplitude - std::sin(phase) * amplitude);
    canvas.LineTo(x, std::min(y, r.Bottom));
  }
}

// ----- TRLWordSelector

TRLWordSelector::TRLWordSelector(QObject* owner) : TRLWordCorrector(owner) {}

TRLWordSelector2::TRLWordSelector2(QObject* owner) : TRLWordSelector(owner) {}

void TRLWordSelector::ParseParameters(const std::string& params) {
  HasErrorWords = false;
  TRLWordCorrector::ParseParameters(params);
}

void TRLWordSelector::AddItem(const std::string& name, const std::string& attrs, TFont& font,
                              const std::string& chunkBefore) {
  const std::string tag = LowerCase(name);
  if (tag == "error") {
    HasErrorWords = true;
    AddErrorWord(attrs, font, GluedAfter(chunkBefore));
  } else if (tag == "select") {
    // The blank before the tag already follows the word before it: the item's
    // words stand at a word's gap, and glued only where no blank parts them.
    AddSelectWords(attrs, font, GluedAfter(chunkBefore));
  } else {
    TRLWordCorrector::AddItem(name, attrs, font, chunkBefore);
  }
}

void TRLWordSelector::AddSelectWords(const std::string& chunk, const TFont& font, bool glued) {
  const std::vector<TRLWord*> words = AddWords(chunk, font);
  for (TRLWord* word : words) static_cast<TRLSelectWord*>(word)->MustSelect = true;
  if (!words.empty()) words.front()->Glued = glued;
}

// ----- dragging

void TRLWordSelector::StartDrag(TRLSelectWord* anchor, TPoint p) {
  DragAnchor = anchor;
  Dragging = true;
  DragStart = p;
  DragPoint = p;
}

void TRLWordSelector::DragTo(TPoint p) {
  DragPoint = p;
  UpdateDragMarks();
}

void TRLWordSelector::EndDrag(TPoint p) {
  DragPoint = p;
  UpdateDragMarks();
  for (const QPointer<TRLSelectWord>& word : SelectWordsOf(*this)) {
    if (!word || !word->Pending) continue;
    const bool toggled = !word->Selected;
    word->SetSelected(toggled);
    word->SetPending(false);
  }
  Dragging = false;
}

int TRLWordSelector::LineAt(TPoint p) const {
  // Out-of-flow controls (right forms, open fields) float over the lines and
  // belong to none: only the laid-out ones tell the line.
  std::vector<const TRLControl*> laidOut;
  for (int i = 0; i < ControlCount(); ++i) {
    const auto* control = qobject_cast<const TRLControl*>(Controls(i));
    if (control && control->InFlow && control->Visible() && control->Enabled()) laidOut.push_back(control);
  }
  // The topmost control under the pointer, as the window system finds it.
  for (auto it = laidOut.rbegin(); it != laidOut.rend(); ++it)
    if ((*it)->BoundsRect().Contains(p)) return (*it)->LineNo;
  const TRect row = Rect(0, p.Y - 1, Width(), p.Y + 1);
  for (const TRLControl* control : laidOut)
    if (!IntersectRect(control->BoundsRect(), row).IsEmpty()) return control->LineNo;
  return -1;
}

void TRLWordSelector::UpdateDragMarks() {
  const TRLSelectWord* anchor = DragAnchor;
  if (!anchor) return;
  const TPoint p = ScreenToClient(DragPoint);
  const int pointerLine = LineAt(p);
  const int anchorLine = anchor->LineNo;
  // The pointer on a line above the anchor: the marks stay as they were.
  if (pointerLine > 0 && anchorLine > pointerLine) return;
  const std::vector<QPointer<TRLSelectWord>> words = SelectWordsOf(*this);
  std::vector<bool> marks;
  marks.reserve(words.size());
  for (const QPointer<TRLSelectWord>& word : words) {
    const int line = word->LineNo;
    bool mark = false;
    if (pointerLine == anchorLine && line == pointerLine) {
      // Left of the anchor on its own line: the marks stay as they were.
      if (anchor->Left() > p.X) return;
      mark = anchor->Left() <= word->Left() && word->Left() < p.X;
    } else if (line == anchorLine) {
      mark = word == anchor || word->Left() > anchor->Left();
    } else if (pointerLine == -1) {
      mark = line > anchorLine && word->Top() < p.Y;
    } else if (pointerLine > 0) {
      mark = (anchorLine < line && line < pointerLine) || (line == pointerLine && word->Left() < p.X);
    }
    marks.push_back(mark);
  }
  for (std::size_t i = 0; i < words.size(); ++i)
    if (words[i] && words[i]->Pending != marks[i]) words[i]->SetPending(marks[i]);
}
