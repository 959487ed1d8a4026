#include "exercise/ExercisePage.h"

#include <algorithm>

#include "exercise/MarkupFonts.h"
#include "exercise/RLEdit.h"
#include "exercise/ScaleSettings.h"
#include "exercise/TextTokens.h"
#include "platform/Bitmap.h"
#include "platform/StrUtils.h"
#include "platform/StringList.h"

int BodyFontSize = -14;
bool FitWindowActive = false;
int FitWidth = 0;
int WidthBeforeFit = 0;
TFitWindowEvent OnFitWindow;
QPointer<TRLParser> HeaderParser;

namespace {

const std::string PartSeparator = "<~~~>";
const std::string FitWindowMarker = "<fitwindow>";
// The header panel's height in the screen layout; a taller header pushes the
// exercise area down.
constexpr int HeaderRoom = 50;
constexpr TColor BodyColor = 0xE2EFF6;

// Line ends carry no meaning in a document.
std::string JoinLines(const std::string& text) {
  std::string joined;
  joined.reserve(text.size());
  for (char c : text) {
    if (c == '\n') continue;
    joined.push_back(c == '\r' ? ' ' : c);
  }
  NormalizeSpaces(joined);
  return joined;
}

// The exercise area that holds the scroll box with the body container.
TControl* ExerciseArea(const TWinControl* body) {
  return body && body->Parent() ? body->Parent()->Parent() : nullptr;
}

// A root parser over the whole width of its container, which owns it.
TRLParser* CreateRootParser(TWinControl& container, const std::string& fontName, int fontSize) {
  auto* parser = new TRLParser(&container);
  parser->SetBounds(0, 0, container.Width(), parser->Height());
  parser->SetParent(&container);
  TFont font = parser->Font();
  font.Name = fontName;
  font.SetSize(fontSize);
  parser->SetFont(font);
  parser->SetAnchors(akLeft | akTop | akRight);
  return parser;
}

void BuildHeader(const std::string& text, TWinControl& header, const TBitmap& background) {
  TRLParser* parser = CreateRootParser(header, "Tahoma", -16);
  HeaderParser = parser;
  parser->PlainText = true;
  parser->SetBackground(background);
  parser->ParseParameters(text);
  header.SetHeight(parser->Height());
  if (parser->Height() < header.Height()) parser->SetHeight(header.Height());
  header.Show();
}

// The exercise area keeps its place below the standard header panel.
void MakeRoomForHeader(const TWinControl& header, TControl& area, bool& changed) {
  const int excess = header.Height() - HeaderRoom;
  if (excess <= 0) return;
  area.SetBounds(area.Left(), area.Top() + excess, area.Width(), area.Height() - excess);
  changed = true;
}

void NotifyFitWindow(bool fit) {
  FitWindowActive = fit;
  if (OnFitWindow) OnFitWindow(fit);
}

// Widens the area for a body with the marker (dropping the text up to it),
// or gives a normal page back the width it had.
void ApplyWideMode(std::string& body, TControl* area, bool& changed) {
  const std::size_t marker = body.find(FitWindowMarker);
  if (marker != std::string::npos) {
    body.erase(0, marker + FitWindowMarker.size());
    if (area) {
      // A second wide page in a row must not take the wide width for the normal one.
      if (!FitWindowActive) WidthBeforeFit = area->Width();
      area->SetWidth(FitWidth - area->Left());
      changed = true;
    }
    NotifyFitWindow(true);
    return;
  }
  if (!FitWindowActive) return;
  if (area) {
    area->SetWidth(WidthBeforeFit);
    changed = true;
  }
  NotifyFitWindow(false);
}

int ScaledBodyFontSize(int step) {
  // Wide arithmetic: a step in "Settings.ini" may be any integer.
  const long long size = BodyFontSize - 2LL * step;
  return static_cast<int>(std::clamp<long long>(size, -MaxMarkupFontSize, MaxMarkupFontSize));
}

// Builds the body again in a larger or smaller font when it fills much less
// or much more than the visible area; at most once.
void ScaleBody(TRLParser& parser, const std::string& text, const TWinControl& body) {
  const int visible = body.Parent() ? body.Parent()->Height() : 0;
  // Without a visible area there is no ratio to scale by.
  if (visible <= 0) return;
  const int step = LookupScale(static_cast<double>(parser.Height()) / visible);
  if (step == 0) return;
  TFont font = parser.Font();
  font.SetSize(ScaledBodyFontSize(step));
  parser.SetFont(font);
  FreeChildren(&parser);
  parser.ParseParameters(text);
}

void FocusFirstField(const TRLParser& parser) {
  for (int i = 0; i < parser.ControlCount(); ++i) {
    if (auto* field = qobject_cast<TRLEdit*>(parser.Controls(i))) {
      field->SetFocus();
      return;
    }
  }
}

void BuildBody(std::string text, TWinControl& body, bool& changed) {
  ApplyWideMode(text, ExerciseArea(&body), changed);
  TRLParser* parser = CreateRootParser(body, "Times New Roman", BodyFontSize);
  parser->SetColor(BodyColor);
  parser->WordsReserveHeight = true;
  try {
    parser->ParseParameters(text);
  } catch (...) {
    // The body shows what was read before the fault, at its own height.
    body.SetHeight(parser->Height());
    throw;
  }
  ScaleBody(*parser, text, body);
  body.SetHeight(parser->Height());
  // A passage that flows again later (answer fields in place of words) may
  // make the page taller: the container grows with it, so nothing is cut off.
  parser->OnResize = [container = QPointer<TWinControl>(&body)](TObject* sender) {
    if (container) container->SetHeight(static_cast<TControl*>(sender)->Height());
  };
  body.Show();
  FocusFirstField(*parser);
}

void BuildHint(const std::string& text, TWinControl& hint) {
  if (Trim(text).empty()) {
    hint.Tag = 0;
    return;
  }
  TRLParser* parser = CreateRootParser(hint, "Times New Roman", -16);
  parser->ParseParameters(text);
  hint.SetHeight(parser->Height());
  hint.Tag = 1;
}

}  // namespace

std::string ReadExerciseDocument(const std::string& path) {
  TStringList lines;
  lines.LoadFromFile(path, kMaxDocumentBytes);
  return lines.Text();
}

void BuildExercisePage(const std::string& text, bool& changed, TWinControl* body, TWinControl* header,
                       TWinControl* hint, const TBitmap& background) {
  changed = false;
  std::string rest = JoinLines(text);
  const std::string headerText = SplitAt(rest, PartSeparator, true);
  const std::string hintText = SplitAt(rest, PartSeparator, true);
  const std::string bodyText = SplitAt(rest, PartSeparator, true);
  if (header) {
    BuildHeader(headerText, *header, background);
    if (TControl* area = ExerciseArea(body)) MakeRoomForHeader(*header, *area, changed);
  }
  if (body) BuildBody(bodyText, *body, changed);
  if (hint) BuildHint(hintText, *hint);
}
