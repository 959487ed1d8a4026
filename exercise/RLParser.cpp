#include "exercise/RLParser.h"

#include <QScopedValueRollback>
#include <algorithm>

#include "exercise/MarkupFonts.h"
#include "exercise/RLLabel.h"
#include "exercise/TagTable.h"
#include "exercise/TextTokens.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "platform/StrUtils.h"

namespace {

constexpr int EmptyLineHeight = 10;
constexpr int RuleGap = 3;
constexpr TColor RuleColor = 0xC9CED0;

// The course wants this name on a line of its own when it cannot share one.
bool StandsAlone(const TRLControl& control) {
  static const std::string name = "Винни-Пух"_cp;
  const auto* label = qobject_cast<const TRLLabel*>(&control);
  return label && label->Caption().find(name) != std::string::npos;
}

// How deep markup may nest: a tag whose body is markup (a passage, a static
// text, a column, a swapper's section, a paragraph) holds a parser of its
// own, inside the one around it. The course nests three deep at most. Each
// level scans the rest of its text again and is a widget inside the one
// around it, which Qt walks recursively; beyond this bound a document costs
// more than a flat one of its size by more than this factor, and ever deeper
// nesting would exhaust the stack.
constexpr int MaxMarkupNesting = 16;
int markupNesting = 0;

// Counts one level of nesting while a parser reads its markup.
class TNestingLevel {
 public:
  TNestingLevel() {
    if (markupNesting >= MaxMarkupNesting)
      throw Exception(Format("Tags are nested more than %d deep.", MaxMarkupNesting));
    ++markupNesting;
  }
  ~TNestingLevel() { --markupNesting; }
  TNestingLevel(const TNestingLevel&) = delete;
  TNestingLevel& operator=(const TNestingLevel&) = delete;
};

}  // namespace

TRLParser::TRLParser(QObject* owner) : TRLControl(owner) {
  SetTabStop(false);
}

void TRLParser::ParseParameters(const std::string& text) {
  const TNestingLevel level;
  TFont font = Font();
  SetBounds(Left(), Top(), Parent() ? Parent()->ClientWidth() : Width(), 1);
  // Scanned by position: cutting the front off the text at every tag would
  // make long passages quadratic.
  std::size_t pos = 0;
  blankBefore_ = false;
  try {
    while (pos < text.size()) {
      const std::size_t open = text.find('<', pos);
      const std::string chunk = text.substr(pos, open == std::string::npos ? std::string::npos : open - pos);
      AddText(chunk, font);
      if (!chunk.empty()) blankBefore_ = chunk.back() == ' ';
      if (open == std::string::npos) break;
      const std::size_t close = FindCloseBracket(text, open + 1);
      std::string body =
          text.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
      pos = close == std::string::npos ? text.size() : close + 1;
      if (body.empty()) continue;
      const std::string name = SplitAt(body, " ", true);
      AddItem(name, body, font, chunk);
    }
  } catch (...) {
    // What was read before the fault is laid out, so the page shows it in
    // lines rather than piled up at the top.
    Arrange();
    throw;
  }
  Arrange();
}

TRLLabel* TRLParser::AddLabel(const TFont& font) {
  auto* label = new TRLLabel(this);
  label->SetBounds(0, 0, 0, 0);
  label->SetParent(this);
  label->SetFont(font);
  return label;
}

TRLLabel* TRLParser::AddWord(const TFont& font, const std::string& caption) {
  TRLLabel* label = AddLabel(font);
  label->SetCaption(caption);
  if (WordsReserveHeight) label->ExtraAbove = label->Height();
  return label;
}

void TRLParser::AddText(const std::string& chunk, const TFont& font) {
  if (chunk.empty()) return;
  if (chunk == " ") {
    AddLabel(font)->SetCaption(" ");
    return;
  }
  const bool startsWithBlank = chunk.front() == ' ';
  const bool endsWithBlank = chunk.back() == ' ';
  if (startsWithBlank) AddWord(font, " ");
  bool first = true;
  std::size_t pos = 0;
  while (pos < chunk.size()) {
    const std::size_t blank = std::min(chunk.find(' ', pos), chunk.size());
    if (blank > pos) {
      const bool last = chunk.find_first_not_of(' ', blank) == std::string::npos;
      TRLLabel* label = AddWord(font, chunk.substr(pos, blank - pos) + (last && !endsWithBlank ? "" : " "));
      label->Glued = first && !startsWithBlank && !blankBefore_;
      first = false;
    }
    pos = blank + 1;
  }
}

void TRLParser::AddItem(const std::string& name, const std::string& attrs, TFont& font,
                        const std::string& chunkBefore) {
  const std::string tag = LowerCase(name);
  const bool styled = !PlainText;
  if (tag == "br") {
    AddLabel(font)->BRWord = true;
    blankBefore_ = false;
  } else if (tag == "i" || tag == "/i") {
    if (styled) font.Style = tag == "i" ? font.Style | fsItalic : font.Style & ~fsItalic;
  } else if (tag == "b" || tag == "/b") {
    if (styled) font.Style = tag == "b" ? font.Style | fsBold : font.Style & ~fsBold;
  } else if (tag == "font" || tag == "/font") {
    if (styled) ApplyFontAttributes(attrs, &font, Font());
  } else if (tag == "lines") {
    RuledLines = true;
  } else if (tag == "fontsize") {
    font.SetSize(FontSizeStep(attrs, font));
  } else {
    AddControl(name, attrs, font, GluedAfter(chunkBefore));
    blankBefore_ = false;
  }
}

void TRLParser::AddControl(const std::string& name, const std::string& attrs, const TFont& font, bool glued) {
  TRLControl* control = FindTagClass(name)(this);
  control->SetFont(font);
  control->SetParent(this);
  control->Glued = glued;
  try {
    control->ParseParameters(attrs);
  } catch (...) {
    // A control whose markup failed half-way is no part of the page.
    delete control;
    throw;
  }
}

void TRLParser::Arrange() {
  if (arranging_) return;  // our own change of height: the lines stay as they are
  const QScopedValueRollback<bool> guard(arranging_, true);
  TLineState state;
  RuledY.clear();
  RuledRight = 0;
  const std::vector<TRLControl*> children = InFlowChildren();
  for (TRLControl* control : children) {
    if (const auto* label = qobject_cast<const TRLLabel*>(control)) {
      if (label->BRWord) {
        FinishLine(state);
        control->LineNo = state.LineNo;
        continue;
      }
      // A blank never starts a line, nor stands at the end of one it does not fit on.
      if (IsLoneBlank(*label) && state.X + label->Width() > Width() && !state.Line.empty()) FinishLine(state);
      if (IsLoneBlank(*label) && state.Line.empty()) {
        control->LayoutX = control->LayoutY = -1000;
        continue;
      }
    }
    Place(state, *control);
  }
  FinishLine(state);
  if (state.Y > 0 && Height() != state.Y) SetHeight(state.Y);
  for (TRLControl* control : children) control->ApplyLayoutPosition();
}

std::vector<TRLControl*> TRLParser::InFlowChildren() const {
  std::vector<TRLControl*> children;
  children.reserve(ControlCount());
  for (int i = 0; i < ControlCount(); ++i) {
    auto* control = qobject_cast<TRLControl*>(Controls(i));
    if (control && control->InFlow) children.push_back(control);
  }
  return children;
}

void TRLParser::Place(TLineState& state, TRLControl& control) {
  if (state.X + control.Width() > Width()) WrapBefore(state, control);
  if (state.X + control.Width() > Width() && StandsAlone(control) && !state.Line.empty()) FinishLine(state);
  AppendToLine(state, control);
}

void TRLParser::AppendToLine(TLineState& state, TRLControl& control) {
  SetLineX(control, state.X);
  control.LineNo = state.LineNo;
  if (!control.Glued || state.Line.empty()) state.RunHead = state.Line.size();
  state.Line.push_back(&control);
  state.X += control.Width();
}

void TRLParser::WrapBefore(TLineState& state, TRLControl& control) {
  if (!control.Glued) {
    // A control too wide for any line stays on an empty one instead of
    // leaving an empty line behind.
    if (!state.Line.empty()) FinishLine(state);
    return;
  }
  // The glued run before the control goes to the next line with it, unless
  // the run already starts this line: then moving it gains nothing.
  if (state.Line.empty() || state.RunHead == 0) return;
  const std::size_t head = state.RunHead;
  const std::vector<TRLControl*> run(state.Line.begin() + std::ptrdiff_t(head), state.Line.end());
  state.Line.resize(head);
  FinishLine(state);
  for (TRLControl* member : run) AppendToLine(state, *member);
}

void TRLParser::FinishLine(TLineState& state) {
  int height = 0;
  for (const TRLControl* control : state.Line) {
    height = std::max(height, control->Height());
    const bool givesUpRoom = state.FirstLine && WordsReserveHeight &&
                             control->ExtraAbove == control->Height() &&
                             !control->KeepsRoomAboveOnFirstLine();
    if (!givesUpRoom) height = std::max(height, control->ExtraAbove + control->Height());
  }
  state.FirstLine = false;
  if (height == 0) height = EmptyLineHeight;
  for (TRLControl* control : state.Line) control->LayoutY = state.Y + height - control->Height();
  ++state.LineNo;
  state.X = 0;
  state.Y += height;
  if (RuledLines && !state.Line.empty()) {
    RuledY.push_back(state.Y);
    state.Y += RuleGap;
    const TRLControl* last = state.Line.back();
    RuledRight = std::max(RuledRight, std::min(last->LayoutX + last->Width() + RuleGap, Width()));
  }
  state.Line.clear();
}

void TRLParser::Resize() {
  TRLControl::Resize();
  Arrange();
}

void TRLParser::Paint(TCanvas& canvas) {
  TRLControl::Paint(canvas);
  if (!RuledLines) return;
  canvas.Pen = TPen{RuleColor, 1, TPenStyle::psSolid, TPenMode::pmCopy};
  for (int y : RuledY) {
    canvas.MoveTo(1, y + 1);
    canvas.LineTo(RuledRight - 1, y + 1);
  }
}

void TRLParser::Check() {
  CheckChildren(this);
  SumInFlowScores();
}

void TRLParser::CheckOnlyScore() {
  CheckOnlyScoreChildren(this);
  SumInFlowScores();
}

void TRLParser::Reset() {
  ResetChildren(this);
}

void TRLParser::SumInFlowScores() {
  Score = 0;
  MaxScore = 0;
  for (const TRLControl* control : InFlowChildren()) {
    Score += control->Score;
    MaxScore += control->MaxScore;
  }
}

void TRLParser::SetBackground(const TBitmap& bitmap) {
  Background = bitmap;
  // Every control of the page shows a part of it.
  Invalidate();
  for (TControl* control : findChildren<TControl*>()) control->Invalidate();
}

TRLStaticText::TRLStaticText(QObject* owner) : TRLParser(owner) {
  Score = 0;
  MaxScore = 0;
}

void TRLStaticText::ParseParameters(const std::string& body) {
  WordsReserveHeight = false;
  TRLParser::ParseParameters(body);
}
