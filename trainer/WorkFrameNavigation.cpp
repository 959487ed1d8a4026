// The exercise screen's navigation: the list of documents, the contents
// labels, showing one document, and the check, reset and show actions.
#include <algorithm>
#include <utility>

#include "exercise/ExercisePage.h"
#include "exercise/RLControl.h"
#include "exercise/TextTokens.h"
#include "platform/Application.h"
#include "platform/Cp1251.h"
#include "platform/FileSystem.h"
#include "platform/StateReport.h"
#include "platform/StrUtils.h"
#include "trainer/DialogForm.h"
#include "trainer/UnDrawPanel.h"
#include "trainer/WorkFrame.h"
#include "widgets/ImageButton.h"
#include "widgets/ImageScrollBar.h"
#include "widgets/ImageScrollBox.h"

namespace {

constexpr TColor kDocumentColor = 0xE6F1F8;

// Runs an action when the scope ends, however it ends.
template <typename F>
class TScopeExit {
 public:
  explicit TScopeExit(F action) : action_(std::move(action)) {}
  ~TScopeExit() { action_(); }
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;

 private:
  F action_;
};

bool IsDecimal(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The document a contents line opens, from 0: the number before its first
// "." and first "-"; the first document when the line starts with none.
int ContentsIndex(std::string line) {
  std::string number = SplitAt(line, ".", true);
  number = SplitAt(number, "-", true);
  return IsDecimal(number) ? StrToInt(number) - 1 : 0;
}

// A topic's contents is a line per document, a few dozen lines of some 40
// bytes. Each line becomes a label of a few KB that is laid out at every
// change of the screen: 16 KB is 400 such lines, and no more than 16,384
// lines of any kind.
constexpr std::size_t kMaxContentsBytes = 16 << 10;

}  // namespace

TWinControl* TWorkFrame::Body() const {
  return ContentBox->ContentPanel();
}

void TWorkFrame::LoadExerciseList(const TStringList& list) {
  Files = list;
  Panel3->Tag = 1;
  Panel3->Hide();
  BuildContents();
  // The screen is laid out and drawn before the first document, so that a
  // document that fails to build still leaves a whole screen behind.
  LayoutWorkFrame();
  ComposeBackground();
  SetNavigationStates();
  if (Files.Count() > 0) ShowExercise(0);
}

void TWorkFrame::FreeContentsLabels() {
  for (const QPointer<TLabel>& label : ContentsLabels) delete label.data();
  ContentsLabels.clear();
}

void TWorkFrame::BuildContents() {
  FreeContentsLabels();
  if (Files.Count() == 0) return;
  const std::string path = ExtractFilePath(Files[0]) + "contents.txt";
  if (FileExists(path)) {
    TStringList lines;
    try {
      lines.LoadFromFile(path, kMaxContentsBytes);
    } catch (const Exception& e) {
      // The documents are shown all the same, without their contents.
      Application->ShowException(e.Message());
    }
    for (int i = 0; i < lines.Count(); ++i) {
      auto* label = new TLabel(this);
      ContentsLabels.emplace_back(label);
      label->SetFont(lLabel->Font());
      label->SetCaption(lines[i]);
      label->SetTransparent(true);
      // A blank line makes room between entries and, having no number, opens
      // the first document like any other unnumbered line.
      label->Tag = ContentsIndex(lines[i]);
      label->SetCursor(Qt::PointingHandCursor);
      label->OnClick = [this](TObject* sender) { ContentsLabelClick(sender); };
    }
  }
  LayoutWorkFrame();
}

void TWorkFrame::ShowExercise(int index) {
  Panel3->Tag = 0;
  if (index < 0 || index >= Files.Count()) return;
  // Read first: a document that cannot be read leaves the page on show as it is.
  const std::string source = ReadExerciseDocument(Files[index]);
  Current = index;
  EnsureLayout();
  ClearPage();

  // From here on a failure leaves what was built on screen, with the scroll
  // bar and the previous and next buttons working.
  PrevButton->SetEnabled(false);
  NextButton->SetEnabled(false);
  const TScopeExit restoreNavigation([this] { SetNavigationStates(); });
  ContentBox->LockScrollBar();
  ContentBox->ScrollBar()->SetScrollerPos(0);
  Body()->Hide();
  bool changed = false;
  try {
    BuildPage(source, changed);
  } catch (...) {
    // A markup fault leaves a whole page: what was read before it, in a
    // frame that fits the area, with its header and caption.
    FinishPage(changed);
    throw;
  }
  FinishPage(changed);
  Application->ProcessMessages();
}

void TWorkFrame::FinishPage(bool changed) {
  ContentBox->UnlockScrollBar();
  ContentBox->UpdateScrollBar();
  Body()->Show();
  Panel3->Show();
  lCurrent->SetCaption(CaptionLine());
  if (changed) {
    ComposeBackground();
    if (HeaderParser) HeaderParser->SetBackground(BackImage->Picture());
  }
  LayoutHint();
}

void TWorkFrame::ClearPage() {
  FreeChildren(Body());
  FreeChildren(Panel3);
  FreeChildren(pHintInner);
  // No hint until the new page gives one, also when it fails before its hint.
  pHintInner->Tag = 0;
  pHint->Hide();
  ShowContentsBesideHint();
}

void TWorkFrame::BuildPage(const std::string& source, bool& changed) {
  Body()->SetColor(kDocumentColor);
  Panel3->SetColor(kDocumentColor);
  BuildExercisePage(source, changed, Body(), Panel3, pHintInner, BackImage->Picture());
}

void TWorkFrame::SetNavigationStates() {
  PrevButton->SetEnabled(true);
  NextButton->SetEnabled(true);
  PrevButton->SetState(Current > 0 ? TImageButton2::bsNormal : TImageButton2::bsDisabled);
  NextButton->SetState(Current < Files.Count() - 1 ? TImageButton2::bsNormal : TImageButton2::bsDisabled);
}

std::string TWorkFrame::CaptionLine() const {
  if (Current < 0 || Current >= Files.Count()) return "";
  return SectionName + ": " + "Подраздел"_cp + ". " +
         Format("Упражнение №%d из %d. (%s)"_cp.c_str(), Current + 1, Files.Count(),
                ExtractFileName(Files[Current]));
}

void TWorkFrame::SetContentsVisible(bool active) {
  wideMode_ = active;
  ShowContentsBesideHint();
}

void TWorkFrame::Button1Click(TObject*) {
  ShowExercise(Current - 1);
}

void TWorkFrame::Button2Click(TObject*) {
  ShowExercise(Current + 1);
}

void TWorkFrame::ContentsLabelClick(TObject* sender) {
  if (const auto* label = qobject_cast<TLabel*>(sender)) ShowExercise(static_cast<int>(label->Tag));
}

// Checks and resets run to their end before anything is painted, so the page
// shows its new marks at once, as hiding the area for the time would; the
// area stays shown, which leaves the keyboard focus where it is (a marked
// control that gained the focus would reset itself and lose its marks).
void TWorkFrame::Button3Click(TObject*) {
  if (Hard) {
    CheckOnlyScoreChildren(Body());
  } else {
    CheckChildren(Body());
  }
  const int mistakes = SumMaxScore(Body()) - SumScore(Body());
  ReportState("mistakes " + std::to_string(mistakes));
  ShowMistakes(Format("Количество ошибок: %d"_cp.c_str(), mistakes));
}

void TWorkFrame::Button4Click(TObject*) {
  ResetChildren(Body());
}

void TWorkFrame::ShowButtonClick(TObject*) {
  CheckChildren(Body());
}

void TWorkFrame::HintButtonClick(TObject*) {
  if (pHintInner->Tag != 1) return;
  pHint->SetVisible(!pHint->Visible());
  ShowContentsBesideHint();
}
