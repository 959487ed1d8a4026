#include "exercise/RLEdit.h"

#include <QFocusEvent>
#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "exercise/RLLabel.h"
#include "exercise/TextTokens.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "platform/KeyboardLayout.h"
#include "platform/LruCache.h"
#include "platform/StrUtils.h"
#include "platform/Timer.h"

namespace {

constexpr int BlinkInterval = 500;
// A one-line answer never needs more; it also bounds the guide line and the
// widths that a broken "width" value could ask for.
constexpr int MaxFieldChars = 255;

const std::string& WideLetter() {
  static const std::string letter = "н"_cp;
  return letter;
}

TFont WithStyle(TFont font, TFontStyles style) {
  font.Style = style;
  return font;
}

TFont Bold(const TFont& font) {
  return WithStyle(font, font.Style | fsBold);
}

// Every character a field accepts, drawn in one line.
const std::string& AnswerChars() {
  static const std::string chars = [] {
    std::string all;
    for (int c = 0x20; c <= 0xFF; ++c)
      if (IsAnswerChar(static_cast<char>(c))) all += static_cast<char>(c);
    return all;
  }();
  return chars;
}

// The first row with ink of any character a field accepts, counted from the
// top of the font's cell: the marks of capitals such as Й and Ё reach it, and
// in some faces and sizes they reach above the cell (a negative row). It comes
// from the glyphs' outlines, so a font of any size costs no picture.
int AnswerInkTop(const TFont& font) {
  // A page has a few faces and sizes; the budget bounds what a damaged
  // document with many sizes can make it keep.
  using TKey = std::tuple<std::string, int, TFontStyles>;
  constexpr std::size_t kKeptFonts = 256;
  static TLruCache<TKey, int> tops(kKeptFonts);
  const TKey key{font.Name, font.Height(), font.Style};
  if (const int* kept = tops.Find(key)) return *kept;
  const QRect ink = font.Metrics().tightBoundingRect(Cp1251ToQString(AnswerChars()));
  return tops.Put(key, font.Ascent() + ink.top());
}

}  // namespace

bool IsLatinKeyLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Blank, printable ASCII but "_", and the Russian letters with Ё and ё.
bool IsAnswerChar(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte >= 0x20 && byte <= 0x7E && byte != '_') || byte == 0xA8 || byte == 0xB8 || byte >= 0xC0;
}

int EditLineHeight(const TFont& font) {
  return std::max(0, std::abs(font.Height()) - 5);
}

int EditFieldHeight(const TFont& font, int marginTop, int marginBottom) {
  const TFont bold = Bold(font);
  // The text's cell ends marginTop above the bottom; the field reaches up to
  // the highest mark of its letters, so that none is cut off.
  const int forText = bold.CellHeight() - AnswerInkTop(bold) + marginTop + marginBottom;
  return std::max(EditLineHeight(font) + marginTop + marginBottom, forText);
}

std::string GuideDots(const TCanvas& canvas, int count, int width) {
  const int dot = std::max(1, canvas.TextWidth("."));
  return std::string(std::clamp(width / dot, 0, std::max(count, 0)), '.');
}

TRLLabel* NewAnswerHint(TRLControl& control, const std::string& caption) {
  auto* label = new TRLLabel(&control);
  label->InFlow = false;
  label->SetParent(control.Parent());
  TFont font = WithStyle(control.Font(), fsBold);
  font.Color = clRed;
  label->SetFont(font);
  label->SetCaption(caption);
  label->SetHeight(label->Height() - 2);
  // Beyond the control's upper right corner, but inside the parent.
  const int parentWidth = control.Parent() ? control.Parent()->Width() : 0;
  const int left = std::max(0, std::min(control.Left() + control.Width(), parentWidth - label->Width()));
  label->SetBounds(left, control.Top() - label->Height() + 2, label->Width(), label->Height());
  label->Invalidate();
  return label;
}

TRLEdit::TRLEdit(QObject* owner) : TRLControl(owner), blinkTimer_(new TTimer(this)) {
  MarginTop = 4;
  blinkTimer_->SetEnabled(false);
  blinkTimer_->SetInterval(BlinkInterval);
  blinkTimer_->OnTimer = [this](TObject*) { CaretTimer(); };
}

int TRLEdit::EditTextWidth() const {
  return TextWidthOf(this, Text());
}

int TRLEdit::TextTop() const {
  return Height() - TextHeight(Bold(Font()), Text()) - MarginTop;
}

int TRLEdit::TextBaseline() const {
  return TextTop() + Bold(Font()).Ascent();
}

bool TRLEdit::IsRight() const {
  for (int i = 0; i < answer_.Count(); ++i)
    if (SameTextRu(answer_[i], Text())) return true;
  return false;
}

void TRLEdit::MoveCursor(int position) {
  cursor_ = std::clamp(position, 0, static_cast<int>(Text().size()));
}

void TRLEdit::CaptionChanged() {
  MoveCursor(cursor_);
  TRLControl::CaptionChanged();
}

// ----- attributes

void TRLEdit::ParseParameters(const std::string& params) {
  TRLControl::ParseParameters(params);
  SetBounds(Left(), Top(), 0, EditFieldHeight(Font(), MarginTop, MarginBottom));
  ExtraAbove = EditLineHeight(Font());
  answer_.Clear();
  ForEachAttribute(params, [this](const std::string& key, const std::string& value) {
    if (key == "width")
      SetMaxCharFrom(value);
    else if (key == "answer")
      AddAnswer(value);
    else if (key == "nobackground" && value == "1")
      NoBackground = true;
  });
  FitIntoParent();
}

void TRLEdit::SetMaxCharFrom(const std::string& value) {
  int count = 0;
  if (!TryStrToInt(value, count)) throw Exception(Format("Integer assumed, but \"%s\" found.", value));
  MaxChar = std::clamp(count, 0, MaxFieldChars);
  SetWidth(std::max(Width(), TextWidthOf(this, WideLetter()) * MaxChar + MarginLeft + MarginRight));
}

void TRLEdit::AddAnswer(const std::string& value) {
  answer_.Add(value);
  // Only the first answer sizes the field; it is shown bold.
  SetWidth(std::max(Width(), TextWidth(WithStyle(Font(), Font().Style | fsBold), answer_[0]) + 1));
}

void TRLEdit::FitIntoParent() {
  // A field wider than its line could never be seen whole.
  if (Parent() && Width() > Parent()->ClientWidth()) SetWidth(Parent()->ClientWidth());
}

// ----- checking

void TRLEdit::Check() {
  TRLControl::Check();
  MaxScore = 1;
  if (IsRight()) {
    Score = 1;
    // The learner may have corrected the text while the marks were showing.
    if (ErrorShown) {
      FreeHintLabel();
      ErrorShown = false;
      Invalidate();
    }
    return;
  }
  Score = 0;
  FreeHintLabel();
  if (!Text().empty()) ShowHintLabel();
  ErrorShown = true;
  Invalidate();
}

void TRLEdit::CheckOnlyScore() {
  MaxScore = 1;
  Score = IsRight() ? 1 : 0;
}

void TRLEdit::Reset() {
  TRLControl::Reset();
  FreeHintLabel();
  ErrorShown = false;
  SetText("");
  MoveCursor(0);
  RestartBlink();
  Invalidate();
  if (Parent()) Parent()->Invalidate();
}

void TRLEdit::ShowHintLabel() {
  // Without an answer there is nothing to show, and without a parent no place.
  if (answer_.Count() == 0 || !Parent()) return;
  hintLabel_ = NewAnswerHint(*this, answer_[0]);
}

void TRLEdit::FreeHintLabel() {
  delete hintLabel_.data();
}

void TRLEdit::SetBounds(int left, int top, int width, int height) {
  TRLControl::SetBounds(left, top, width, height);
  if (!hintLabel_) return;
  // A moved field takes its hint along, standing above its left end.
  hintLabel_->SetBounds(Left(), Top() - hintLabel_->Height(), hintLabel_->Width(), hintLabel_->Height());
}

// ----- caret and focus

void TRLEdit::RestartBlink() {
  blinkTimer_->SetEnabled(false);
  blinkTimer_->SetEnabled(true);
  CaretOn = true;
}

void TRLEdit::CaretTimer() {
  if (!Focused()) {
    blinkTimer_->SetEnabled(false);
    return;
  }
  CaretOn = !CaretOn;
  Invalidate();
}

void TRLEdit::DoEnter() {
  TRLControl::DoEnter();
  if (ErrorShown) Reset();
  RestartBlink();
  Invalidate();
}

void TRLEdit::DoExit() {
  TRLControl::DoExit();
  CaretOn = false;
  Invalidate();
  Fire(OnLeaveEdit);
}

void TRLEdit::focusInEvent(QFocusEvent* e) {
  TRLControl::focusInEvent(e);
  // Coming back to the window is no new focus, but the caret shows again.
  if (e->reason() != Qt::ActiveWindowFocusReason) return;
  RestartBlink();
  Invalidate();
}

void TRLEdit::Fire(const TNotifyEvent& handler) {
  // A handler that frees the field takes its focus away: that is no second event.
  if (!handler || firing_) return;
  // A copy: the handler may free the field and the property with it.
  const TNotifyEvent call = handler;
  QPointer<TRLEdit> self(this);
  firing_ = true;
  call(this);
  if (self) firing_ = false;
}

// ----- input

bool TRLEdit::TakeTypedKey(char& key, char& typed) {
  typed = key;
  key = 0;
  RestartBlink();
  if (!IsLatinKeyLetter(typed)) return true;
  // The learner's keyboard is on a Latin layout: switch it, type nothing.
  ActivateKeyboardLayout(kRussianLayout, KLF_ACTIVATE);
  return false;
}

void TRLEdit::KeyPress(char& key) {
  char typed = 0;
  if (!TakeTypedKey(key, typed)) return;
  std::string text = Text();
  if (typed == '\b') {
    if (cursor_ == 0) return;
    text.erase(cursor_ - 1, 1);
    MoveCursor(cursor_ - 1);
    SetText(text);
  } else if (IsAnswerChar(typed) && (MaxChar <= 0 || static_cast<int>(text.size()) < MaxChar)) {
    text.insert(text.begin() + cursor_, typed);
    SetText(text);
    MoveCursor(cursor_ + 1);
  }
  Invalidate();
}

void TRLEdit::KeyDown(unsigned short& key, TShiftState shift) {
  const int length = static_cast<int>(Text().size());
  QPointer<TRLEdit> self(this);
  switch (key) {
    case VK_LEFT:
    case VK_RIGHT: {
      RestartBlink();
      const int step = key == VK_LEFT ? -1 : 1;
      const int target = cursor_ + step;
      // At either end the arrow leaves the field for its neighbour.
      if (target < 0 || target > length)
        TRLControl::KeyDown(key, shift);
      else
        MoveCursor(target);
      break;
    }
    case VK_HOME:
    case VK_END:
      RestartBlink();
      MoveCursor(key == VK_HOME ? 0 : length);
      break;
    case VK_DELETE:
      RestartBlink();
      if (cursor_ < length) SetText(std::string(Text()).erase(cursor_, 1));
      break;
    case VK_RETURN:
      key = 0;
      Fire(OnEnterKey);
      return;
    default:
      TRLControl::KeyDown(key, shift);
      return;
  }
  key = 0;
  if (self) Invalidate();
}

void TRLEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  QPointer<TRLEdit> self(this);
  TRLControl::MouseDown(button, shift, x, y);
  if (!self) return;
  // A click on a field that shows marks starts it afresh, focused or not.
  if (ErrorShown) Reset();
  // The stops may be from a paint before the last keys: only those still in the text count.
  const int length = static_cast<int>(Text().size());
  for (int i = 0; i <= length && i + 1 < static_cast<int>(caretStops_.size()); ++i)
    if (caretStops_[i] <= x && x <= caretStops_[i + 1]) MoveCursor(i);
  RestartBlink();
  if (Focused())
    Invalidate();
  else
    SetFocus();
}

// ----- painting

void TRLEdit::Paint(TCanvas& canvas) {
  if (NoBackground) {
    canvas.Brush = TBrush{clWhite, TBrushStyle::bsSolid};
    canvas.FillRect(ClientRect());
  } else {
    TRLControl::Paint(canvas);
  }
  canvas.Font = WithStyle(Font(), Font().Style & ~fsBold);
  canvas.Brush.Style = TBrushStyle::bsClear;
  if (!NoBackground && MaxChar > 0) {
    const std::string guide = GuideDots(canvas, 2 * MaxChar, Width());
    canvas.TextOut((Width() - canvas.TextWidth(guide)) / 2, Height() - canvas.TextHeight(guide), guide);
  }
  canvas.Font.Style |= fsBold;
  PaintText(canvas);
  if (Focused()) PaintCaret(canvas);
  if (ErrorShown) PaintError(canvas);
}

void TRLEdit::PaintText(TCanvas& canvas) {
  const std::string& text = Text();
  canvas.TextOut((Width() - canvas.TextWidth(text)) / 2, TextTop(), text);
}

void TRLEdit::PaintCaret(TCanvas& canvas) {
  const std::string& text = Text();
  const int textLeft = (Width() - canvas.TextWidth(text)) / 2;
  if (CaretOn) {
    const int x = std::min(textLeft + canvas.TextWidth(text.substr(0, cursor_)), Width() - 1);
    canvas.Pen = TPen{clBlack, 1, TPenStyle::psSolid, TPenMode::pmNot};
    canvas.MoveTo(x, Height() - canvas.TextHeight("W"));
    canvas.LineTo(x, Height());
  }
  // A click between the middles of two characters puts the caret between them.
  caretStops_.assign(1, 0);
  for (std::size_t i = 1; i <= text.size(); ++i)
    caretStops_.push_back(textLeft + canvas.TextWidth(text.substr(0, i)) -
                          canvas.TextWidth(text.substr(i - 1, 1)) / 2);
  caretStops_.push_back(Width());
}

void TRLEdit::PaintError(TCanvas& canvas) {
  canvas.Font.Color = clRed;
  canvas.Pen = TPen{clRed, 2, TPenStyle::psSolid, TPenMode::pmCopy};
  const std::string& text = Text();
  if (!text.empty()) {
    canvas.Brush.Style = TBrushStyle::bsClear;
    if (text.size() < 3) {
      // A short answer gets a slash: a line through it would hide it.
      const int w = canvas.TextWidth(WideLetter() + WideLetter());
      canvas.MoveTo((Width() - w) / 2, Height());
      canvas.LineTo((w + Width()) / 2, 0);
    } else {
      canvas.MoveTo(0, Height() / 2 - 1);
      canvas.LineTo(Width(), Height() / 2 - 1);
    }
    return;
  }
  if (answer_.Count() == 0) return;
  const std::string& answer = answer_[0];
  canvas.TextOut((Width() - canvas.TextWidth(answer)) / 2, TextTop(), answer);
}

// ----- sizing for other controls

void SizeEditToAnswer(TRLEdit& edit) {
  TFont font = edit.Font();
  edit.SetFont(WithStyle(font, font.Style | fsBold));
  int width = edit.Width();
  if (edit.Answer().Count() > 0) {
    const int forAnswer = TextWidthOf(&edit, edit.Answer()[0] + "_") + 1;
    const int forChars = TextWidthOf(&edit, WideLetter()) * std::clamp(edit.MaxChar, 0, MaxFieldChars);
    width = std::max(forAnswer, forChars) + edit.MarginLeft + edit.MarginRight;
  }
  edit.SetBounds(edit.Left(), edit.Top(), width, EditFieldHeight(font, edit.MarginTop, edit.MarginBottom));
  edit.SetFont(WithStyle(font, font.Style & ~fsBold));
}

void SizeEditToText(TRLEdit& edit) {
  TFont font = edit.Font();
  font.Style |= fsBold;
  edit.SetFont(font);
  edit.SetBounds(edit.Left(), edit.Top(), edit.EditTextWidth() + edit.MarginLeft + edit.MarginRight,
                 EditFieldHeight(font, edit.MarginTop, edit.MarginBottom));
}
