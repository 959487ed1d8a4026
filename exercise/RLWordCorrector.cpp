#include "exercise/RLWordCorrector.h"

#include <QScopedValueRollback>
#include <algorithm>

#include "exercise/MarkupFonts.h"
#include "exercise/RLEdit.h"
#include "exercise/RLLabel.h"
#include "exercise/TagTable.h"
#include "exercise/TextTokens.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "platform/StrUtils.h"

namespace {

constexpr int EmptyLineHeight = 10;
constexpr int LineGap = 1;       // between two lines of a passage
constexpr int BottomRoom = 2;    // below the last line
constexpr int LabelOverlap = 5;  // the red right form reaches this far down into its word's line
constexpr int EditorRaise = 5;   // the in-place field stands this much above its word
constexpr int ExtraChars = 2;    // the learner may lengthen a word by this many characters

std::vector<QPointer<TRLWord>> WordsOf(const TWinControl& container) {
  std::vector<QPointer<TRLWord>> words;
  for (int i = 0; i < container.ControlCount(); ++i)
    if (auto* word = qobject_cast<TRLWord*>(container.Controls(i))) words.emplace_back(word);
  return words;
}

// Lays a passage out again; when it grew, the parser that holds it flows
// again, so that what stands below the passage moves down with it.
void ReflowPassage(TRLParser& passage) {
  const int before = passage.Height();
  passage.Arrange();
  if (passage.Height() == before) return;
  if (auto* outer = qobject_cast<TRLParser*>(passage.Parent())) outer->Arrange();
}

}  // namespace

// ----- TRLWord

TRLWord::TRLWord(QObject* owner) : TRLControl(owner) {
  SetTabStop(false);
  SetBounds(0, 0, 0, 0);
}

TRLWord::~TRLWord() {
  // The field belongs to the passage and may outlive us: it must not call back.
  delete DetachEditor();
}

void TRLWord::SetWordText(const std::string& s) {
  SetText(s);
  InitialText = s;
  ExtraAbove = TextHeightOf(this, s);
}

void TRLWord::ReadErrorAttribute(const std::string& key, const std::string& value) {
  if (key == "text")
    SetWordText(value);
  else if (key == "answer")
    SetAnswer(value);
}

void TRLWord::FitToText() {
  const std::string s = Text() + (TrailingBlank ? " " : "");
  int width = TextWidthOf(this, s) + (s == " " ? 4 : 0);
  // A word the learner emptied keeps a blank's room, so it can still be clicked.
  if (!InitialText.empty() && Text().empty()) width = std::max(width, TextWidthOf(this, " ") + 4);
  SetBounds(Left(), Top(), width, TextHeightOf(this, s));
  ExtraAbove = Height();
}

void TRLWord::SetBounds(int left, int top, int width, int height) {
  TRLControl::SetBounds(left, top, width, height);
  PlaceErrorLabel();
}

// ----- checking

void TRLWord::ScoreCorrection() {
  const bool right = Text() == Answer;
  MaxScore = right && !IsError ? 0 : 1;
  Score = right && IsError ? 1 : 0;
}

void TRLWord::Check() {
  TRLControl::Check();
  ScoreCorrection();
  if (Text() == Answer) return;
  ErrorShown = true;
  ShowErrorLabel();
  Invalidate();
}

void TRLWord::CheckOnlyScore() {
  ScoreCorrection();
}

void TRLWord::Reset() {
  TRLControl::Reset();
  DiscardEditor();
  SetText(InitialText);
  if (!ErrorShown) return;
  ErrorShown = false;
  // Hidden, not freed, until the next check: freeing a control makes Qt search
  // its parent's list of children, and a passage of thousands of wrong words
  // would pay for the whole list once a word.
  if (ErrorLabel) ErrorLabel->Hide();
  Invalidate();
}

void TRLWord::ShowErrorLabel() {
  if (!ErrorLabel) {
    if (!Parent()) return;
    auto* label = new TRLLabel(this);
    label->InFlow = false;
    label->SetParent(Parent());
    ErrorLabel = label;
  }
  TFont font = Font();
  font.Color = clRed;
  ErrorLabel->SetFont(font);
  ErrorLabel->SetCaption(Answer);
  ErrorLabel->Show();
  PlaceErrorLabel();
}

void TRLWord::PlaceErrorLabel() {
  // The label follows its word when the passage flows again.
  if (!ErrorLabel) return;
  const int height = ErrorLabel->Height();
  ErrorLabel->SetBounds(Left(), Top() - height + LabelOverlap, ErrorLabel->Width(), height);
}

// ----- editing in place

bool TRLWord::EditsOnLeftClick() const {
  // Break markers and blanks are no words; a word the learner emptied still is.
  return !IsBreak && !InitialText.empty() && InitialText != " ";
}

void TRLWord::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  QPointer<TRLWord> self(this);
  TRLControl::MouseDown(button, shift, x, y);
  if (self && button == mbLeft && EditsOnLeftClick()) OpenEditor();
}

void TRLWord::OpenEditor() {
  TWinControl* passage = Parent();
  if (!passage) return;
  QPointer<TRLWord> self(this);
  // Taking the focus closes another word's field, and the passage may flow again.
  SetFocus();
  if (!self) return;
  DiscardEditor();
  if (ErrorShown) Reset();
  auto* editor = new TRLEdit(passage);
  editor->InFlow = false;
  editor->SetFont(Font());
  editor->SetText(Text());
  SizeEditToText(*editor);
  editor->MaxChar = static_cast<int>(Text().size()) + ExtraChars;
  // Room for the letters the learner may add, so that none is typed unseen.
  const int room = TextWidthOf(editor, "н"_cp) * ExtraChars;
  editor->SetWidth(std::min(editor->Width() + room, std::max(passage->ClientWidth(), editor->Width())));
  editor->SetBounds(std::max(Left() - (editor->Width() - Width()) / 2 - 1, 0), Top() - EditorRaise,
                    editor->Width(), editor->Height());
  editor->SetParent(passage);
  editor->BringToFront();
  editor->OnLeaveEdit = [this](TObject*) { EditDone(); };
  editor->OnEnterKey = editor->OnLeaveEdit;
  Editor = editor;
  editor->SetFocus();
  Hide();
}

TRLEdit* TRLWord::DetachEditor() {
  TRLEdit* editor = Editor;
  Editor = nullptr;
  if (!editor) return nullptr;
  editor->OnLeaveEdit = nullptr;
  editor->OnEnterKey = nullptr;
  return editor;
}

void TRLWord::DiscardEditor() {
  TRLEdit* editor = DetachEditor();
  if (!editor) return;
  // Release: we may be inside the field's own key or focus handling.
  editor->Release();
  Show();
}

void TRLWord::EditDone() {
  Show();
  TRLEdit* editor = DetachEditor();
  if (!editor) return;
  SetText(editor->Text());
  editor->Release();
  if (auto* passage = qobject_cast<TRLParser*>(Parent())) ReflowPassage(*passage);
}

// ----- painting

void TRLWord::Paint(TCanvas& canvas) {
  TRLControl::Paint(canvas);
  if (IsBreak) return;
  canvas.Brush.Style = TBrushStyle::bsClear;
  canvas.Font = Font();
  canvas.TextOut(0, 0, Text() + " ");
  if (!ErrorShown) return;
  canvas.Pen = TPen{clRed, 2, TPenStyle::psSolid, TPenMode::pmCopy};
  if (Text().size() < 3) {
    // A line through one or two letters would hide them: a slash over the middle third.
    canvas.MoveTo(Width() / 3, Height());
    canvas.LineTo(2 * (Width() / 3), 0);
  } else {
    canvas.MoveTo(0, Height() / 2 + 2);
    canvas.LineTo(Width(), Height() / 2 + 2);
  }
}

// ----- TRLWordCorrector

TRLWordCorrector::TRLWordCorrector(QObject* owner) : TRLParser(owner) {
  SetTabStop(false);
}

void TRLWordCorrector::AddItem(const std::string& name, const std::string& attrs, TFont& font,
                               const std::string& chunkBefore) {
  const std::string tag = LowerCase(name);
  if (tag == "br")
    AddWord(font)->IsBreak = true;
  else if (tag == "error")
    AddErrorWord(attrs, font, GluedAfter(chunkBefore));
  else if (!ApplyStyleTag(tag, attrs, font, Font()))
    AddControl(name, attrs, font, GluedAfter(chunkBefore));
}

bool TRLWordCorrector::ApplyStyleTag(const std::string& tag, const std::string& attrs, TFont& font,
                                     const TFont& base) {
  if (tag == "i" || tag == "/i")
    font.Style = tag == "i" ? font.Style | fsItalic : font.Style & ~fsItalic;
  else if (tag == "b" || tag == "/b")
    font.Style = tag == "b" ? font.Style | fsBold : font.Style & ~fsBold;
  else if (tag == "font" || tag == "/font")
    ApplyFontAttributes(attrs, &font, base);
  else if (tag == "fontsize")
    font.SetSize(FontSizeStep(attrs, font));
  else
    return false;
  return true;
}

TRLWord* TRLWordCorrector::AddWord(const TFont& font) {
  TRLWord* word = CreateWord();
  word->SetParent(this);
  word->SetFont(font);
  return word;
}

TRLWord* TRLWordCorrector::AddErrorWord(const std::string& attrs, const TFont& font, bool glued) {
  TRLWord* word = AddWord(font);
  word->IsError = true;
  word->TrailingBlank = false;
  word->Glued = glued;
  ForEachAttribute(attrs, [word](const std::string& key, const std::string& value) {
    word->ReadErrorAttribute(key, value);
  });
  return word;
}

void TRLWordCorrector::AddBlank(const TFont& font) {
  auto* blank = new TRLLabel(this);
  blank->SetParent(this);
  blank->SetFont(font);
  blank->SetCaption(" ");
}

std::vector<TRLWord*> TRLWordCorrector::AddWords(const std::string& chunk, const TFont& font) {
  std::vector<TRLWord*> words;
  if (chunk.empty()) return words;
  if (chunk == " ") {
    AddBlank(font);
    return words;
  }
  const bool startsWithBlank = chunk.front() == ' ';
  if (startsWithBlank) AddBlank(font);
  std::size_t pos = 0;
  while (pos < chunk.size()) {
    const std::size_t blank = std::min(chunk.find(' ', pos), chunk.size());
    if (blank > pos) {
      TRLWord* word = AddWord(font);
      const std::string text = chunk.substr(pos, blank - pos);
      word->SetWordText(text);
      word->SetAnswer(text);  // a plain word is right while it stands as written
      word->Glued = words.empty() && !startsWithBlank;
      words.push_back(word);
    }
    pos = blank + 1;
  }
  if (!words.empty() && chunk.back() != ' ') words.back()->TrailingBlank = false;
  return words;
}

// ----- layout

void TRLWordCorrector::Arrange() {
  if (arranging_) return;  // our own change of height: the lines stay as they are
  const QScopedValueRollback<bool> guard(arranging_, true);
  TLineState state;
  for (TRLControl* control : InFlowChildren()) {
    if (auto* word = qobject_cast<TRLWord*>(control)) {
      if (word->IsBreak) {
        FinishLine(state);
        word->LineNo = state.LineNo;
        continue;
      }
      word->FitToText();
    }
    if (IsLoneBlank(*control)) {
      // A blank never starts a line, nor stands at the end of one it does not fit on.
      if (state.X + control->Width() > Width() && !state.Line.empty()) FinishLine(state);
      if (state.Line.empty()) {
        control->SetBounds(-1000, -1000, control->Width(), control->Height());
        continue;
      }
    }
    if (state.X + control->Width() > Width()) WrapBefore(state, *control);
    AppendToLine(state, *control);
  }
  FinishLine(state);
  if (state.Y + BottomRoom > Height()) SetHeight(state.Y + BottomRoom);
}

void TRLWordCorrector::FinishLine(TLineState& state) {
  int height = 0;
  for (const TRLControl* control : state.Line)
    height = std::max({height, control->Height(), control->ExtraAbove + control->Height()});
  if (height == 0) height = EmptyLineHeight;
  for (TRLControl* control : state.Line) control->SetTop(state.Y + height - control->Height());
  state.Line.clear();
  state.X = 0;
  state.Y += height + LineGap;
  ++state.LineNo;
}

void TRLWordCorrector::Reflow() {
  ReflowPassage(*this);
}

// ----- checking

void TRLWordCorrector::CommitEdits() {
  for (const QPointer<TRLWord>& word : WordsOf(*this))
    if (word && word->Editor) word->EditDone();
}

void TRLWordCorrector::Check() {
  CommitEdits();
  TRLParser::Check();
}

void TRLWordCorrector::CheckOnlyScore() {
  CommitEdits();
  TRLParser::CheckOnlyScore();
}

void TRLWordCorrector::Reset() {
  TRLParser::Reset();
  Reflow();
}
