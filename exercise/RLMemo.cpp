#include "exercise/RLMemo.h"

#include <algorithm>
#include <vector>

#include "exercise/TextTokens.h"
#include "platform/Canvas.h"
#include "platform/StrUtils.h"

namespace {

// Bounds for broken attributes: a field of this size already fills a page,
// and larger values would only ask for bitmaps of gigabytes.
constexpr int MaxColumns = 255;
constexpr int MaxLines = 100;

char HardBreakTag;
void* const HardBreak = &HardBreakTag;

std::vector<std::string> Paragraphs(const std::string& text) {
  std::vector<std::string> paragraphs;
  std::size_t start = 0;
  for (std::size_t end = text.find('\r'); end != std::string::npos; end = text.find('\r', start)) {
    paragraphs.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  paragraphs.push_back(text.substr(start));
  return paragraphs;
}

// The words between blanks, each trimmed of control characters too.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t blank = std::min(text.find(' ', pos), text.size());
    std::string word = Trim(text.substr(pos, blank - pos));
    if (!word.empty()) words.push_back(std::move(word));
    pos = blank + 1;
  }
  return words;
}

// Every "<br>", in any letter case, becomes a blank.
std::string BreaksToBlanks(const std::string& s) {
  static const std::string br = "<br>";
  const std::string lower = LowerCase(s);
  std::string out;
  std::size_t from = 0;
  for (std::size_t at = lower.find(br); at != std::string::npos; at = lower.find(br, from)) {
    out += s.substr(from, at - from) + " ";
    from = at + br.size();
  }
  return out + s.substr(from);
}

}  // namespace

TRLMemo::TRLMemo(QObject* owner) : TRLEdit(owner) {}

int TRLMemo::LinePitch() const {
  return EditLineHeight(Font());
}

bool TRLMemo::EndsInBreak(int row) const {
  return row >= 0 && row < TextLines.Count() && TextLines.Objects(row) == HardBreak;
}

int TRLMemo::LineLength(int row) const {
  return row >= 0 && row < TextLines.Count() ? static_cast<int>(TextLines[row].size()) : 0;
}

// ----- attributes

void TRLMemo::ParseParameters(const std::string& params) {
  ForEachAttribute(params, [this](const std::string& key, const std::string& value) {
    if (key == "width")
      MaxChar = std::clamp(ParseIntAttribute(value), 0, MaxColumns);
    else if (key == "height")
      LineCount = std::clamp(ParseIntAttribute(value), 0, MaxLines);
    else if (key == "answer")
      AnswerText = value;
  });
  int width = WidestCharWidth(this) * MaxChar;
  // A field wider than its line could never be seen whole.
  if (Parent()) width = std::min(width, Parent()->ClientWidth());
  SetBounds(Left(), Top(), width, LinePitch() * LineCount + MarginTop);
  WrapLines();
}

// ----- lines

bool TRLMemo::FitsLine(const std::string& s) const {
  return TextWidthOf(this, s) <= Width();
}

std::string TRLMemo::LineHead(const std::string& rest) const {
  // Every letter is at least a pixel wide: a line never holds more letters
  // than the field has pixels, and a long text is not measured whole.
  std::string head = rest.substr(0, std::max(0, Width()) + 1);
  while (!head.empty() && !FitsLine(head)) {
    // Back to the blank before the last word; a wrapped line keeps its blank.
    const bool hasBlank = head.find(' ') != std::string::npos;
    head.pop_back();
    while (hasBlank && !head.empty() && head.back() != ' ') head.pop_back();
  }
  if (!head.empty()) return head;
  // A first word wider than the field is cut by letters, at least one, so
  // that every line uses up some of the text.
  std::size_t letters = 1;
  while (letters < rest.size() && FitsLine(rest.substr(0, letters + 1))) ++letters;
  return rest.substr(0, letters);
}

TRLMemo::TWrapped TRLMemo::Wrap(const std::string& text) const {
  TWrapped out;
  const std::vector<std::string> paragraphs = Paragraphs(text);
  for (std::size_t p = 0; p < paragraphs.size(); ++p) {
    void* const end = p + 1 < paragraphs.size() ? HardBreak : nullptr;
    std::string rest = paragraphs[p];
    for (;;) {
      if (out.Lines.Count() >= LineCount) {
        out.Overflow = true;
        return out;
      }
      const std::string head = FitsLine(rest) ? rest : LineHead(rest);
      rest.erase(0, head.size());
      out.Lines.AddObject(head, rest.empty() ? end : nullptr);
      if (rest.empty()) break;
    }
  }
  return out;
}

void TRLMemo::WrapLines() {
  TextLines = Wrap(Text()).Lines;
  // A field without lines still has one to hold the caret.
  if (TextLines.Count() == 0) TextLines.Add("");
  CaretRow = std::clamp(CaretRow, 0, TextLines.Count() - 1);
  MoveCursor(std::min(Cursor(), LineLength(CaretRow)));
}

void TRLMemo::CaptionChanged() {
  TRLEdit::CaptionChanged();
  WrapLines();
}

// ----- caret

int TRLMemo::CaretIndex() {
  CaretRow = std::clamp(CaretRow, 0, std::max(0, TextLines.Count() - 1));
  int index = 0;
  for (int row = 0; row < CaretRow; ++row) index += LineLength(row) + (EndsInBreak(row) ? 1 : 0);
  return index + Cursor();
}

void TRLMemo::SetCaretIndex(int index) {
  index = std::max(0, index);
  int before = 0;
  for (int row = 0; row < TextLines.Count(); ++row) {
    const int length = LineLength(row);
    const int after = before + length + (EndsInBreak(row) ? 1 : 0);
    if (after < index) {
      before = after;
      continue;
    }
    // Just after a line's break is the start of the next line.
    const bool pastBreak = index - before > length;
    if (pastBreak && row + 1 < TextLines.Count()) {
      CaretRow = row + 1;
      MoveCursor(0);
    } else {
      CaretRow = row;
      MoveCursor(std::min(index - before, length));
    }
    return;
  }
  CaretRow = std::max(0, TextLines.Count() - 1);
  MoveCursor(LineLength(CaretRow));
}

void TRLMemo::MoveToRow(int row) {
  if (row < 0 || row >= TextLines.Count()) return;
  CaretRow = row;
  // The column stays, but never beyond the end of the shorter line, where
  // the caret would stand apart from the place the next key edits.
  MoveCursor(std::min(Cursor(), LineLength(row)));
}

// ----- editing

void TRLMemo::ApplyEdit(const std::string& text, int index) {
  if (Wrap(text).Overflow) return;
  SetText(text);
  SetCaretIndex(index);
}

void TRLMemo::TypeCharacter(char c) {
  const int index = CaretIndex();
  std::string text = Text();
  const bool onLastLine = CaretRow >= LineCount - 1;
  if (c == '\b') {
    if (index > 0) ApplyEdit(text.erase(index - 1, 1), index - 1);
  } else if (c == '\r') {
    if (!onLastLine) ApplyEdit(text.insert(index, 1, c), index + 1);
  } else if (IsAnswerChar(c) && !(onLastLine && Cursor() >= MaxChar)) {
    ApplyEdit(text.insert(index, 1, c), index + 1);
  }
}

void TRLMemo::KeyPress(char& key) {
  char typed = 0;
  if (!TakeTypedKey(key, typed)) return;
  WrapLines();
  TypeCharacter(typed);
  Invalidate();
}

void TRLMemo::KeyDown(unsigned short& key, TShiftState shift) {
  const bool ctrl = shift & ssCtrl;
  WrapLines();
  switch (key) {
    case VK_END:
      RestartBlink();
      if (ctrl) CaretRow = TextLines.Count() - 1;
      MoveCursor(LineLength(CaretRow));
      break;
    case VK_HOME:
      RestartBlink();
      if (ctrl) CaretRow = 0;
      MoveCursor(0);
      break;
    case VK_LEFT:
    case VK_RIGHT:
      // The arrows walk the text and never leave the field.
      RestartBlink();
      SetCaretIndex(CaretIndex() + (key == VK_LEFT ? -1 : 1));
      break;
    case VK_UP:
    case VK_DOWN:
      MoveToRow(CaretRow + (key == VK_UP ? -1 : 1));
      break;
    case VK_DELETE: {
      RestartBlink();
      const int index = CaretIndex();
      if (index < static_cast<int>(Text().size())) ApplyEdit(std::string(Text()).erase(index, 1), index);
      break;
    }
    case VK_RETURN:
      // Return breaks the line: it comes back as a typed character.
      TRLControl::KeyDown(key, shift);
      return;
    default:
      TRLEdit::KeyDown(key, shift);
      return;
  }
  key = 0;
  Invalidate();
}

int TRLMemo::ColumnAt(int row, int x) const {
  const std::string& line = row < TextLines.Count() ? TextLines[row] : std::string();
  const int length = static_cast<int>(line.size());
  // Gaps run from the middle of one character to the middle of the next.
  std::vector<int> bounds{0};
  for (int k = 1; k <= length; ++k)
    bounds.push_back(TextWidthOf(this, line.substr(0, k)) - TextWidthOf(this, line.substr(k - 1, 1)) / 2);
  bounds.push_back(Width());
  int column = x > Width() ? length : 0;
  for (int j = 0; j <= length; ++j)
    if (bounds[j] <= x && x <= bounds[j + 1]) column = j;
  return column;
}

void TRLMemo::MouseDown(TMouseButton, TShiftState, int x, int y) {
  WrapLines();
  CaretRow = std::clamp((y - MarginTop) / std::max(1, LinePitch()), 0, TextLines.Count() - 1);
  MoveCursor(ColumnAt(CaretRow, x));
  RestartBlink();
  if (Focused())
    Invalidate();
  else
    SetFocus();
}

// ----- checking

std::string TRLMemo::NormalizedAnswer() const {
  std::string answer = StringReplaceAll(StringReplaceAll(BreaksToBlanks(AnswerText), "\r", " "), "\n", "");
  NormalizeSpaces(answer);
  return answer;
}

bool TRLMemo::IsRight() const {
  return Words(NormalizedAnswer()) == Words(StringReplaceAll(Text(), "\r", " "));
}

void TRLMemo::Check() {
  TRLControl::Check();
  CheckOnlyScore();
  ErrorShown = Score == 0;
  Invalidate();
}

// ----- painting

void TRLMemo::Paint(TCanvas& canvas) {
  WrapLines();
  canvas.Brush = TBrush{Color(), TBrushStyle::bsSolid};
  canvas.FillRect(ClientRect());
  canvas.Brush.Style = TBrushStyle::bsClear;
  canvas.Font = Font();
  const int pitch = LinePitch();
  const std::string guide = GuideDots(canvas, 3 * (MaxChar + 1), Width());
  for (int row = 0; row < LineCount; ++row) {
    canvas.TextOut(0, row * pitch + MarginTop, guide);
    if (row < TextLines.Count()) canvas.TextOut(0, row * pitch, TextLines[row]);
  }
  if (Focused() && CaretOn && CaretRow < TextLines.Count()) {
    const int x = std::min(canvas.TextWidth(TextLines[CaretRow].substr(0, Cursor())), Width() - 1);
    const int top = pitch * CaretRow;
    canvas.Pen = TPen{clBlack, 1, TPenStyle::psSolid, TPenMode::pmNot};
    canvas.MoveTo(x, top);
    canvas.LineTo(x, top + MarginTop - 5 + canvas.TextHeight("W"));
  }
  if (ErrorShown) {
    // A slash across the whole field.
    canvas.Pen = TPen{clRed, 2, TPenStyle::psSolid, TPenMode::pmCopy};
    canvas.MoveTo(Width() / 3, Height());
    canvas.LineTo(2 * (Width() / 3), 0);
  }
}
