#pragma once
// Shared test scaffolding: a window that holds a parser, and a stand-in
// answer control registered under the tag "answer".

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "exercise/RLParser.h"
#include "exercise/TagTable.h"
#include "exercise/TextTokens.h"
#include "platform/Bitmap.h"
#include "platform/Cp1251.h"
#include "platform/Forms.h"
#include "platform/StrUtils.h"

// attributes: w, h (size), right=0/1, flow=0/1.
class TFakeAnswer : public TRLControl {
 public:
  explicit TFakeAnswer(QObject* owner) : TRLControl(owner) { SetBounds(0, 0, 30, 12); }

  bool Right = true;
  int Checks = 0;
  int Resets = 0;
  std::function<void()> OnCheck;  // runs inside Check

  void ParseParameters(const std::string& params) override {
    ForEachAttribute(params, [this](const std::string& key, const std::string& value) {
      if (key == "w") SetWidth(StrToInt(value));
      if (key == "h") SetHeight(StrToInt(value));
      if (key == "right") Right = value == "1";
      if (key == "flow") InFlow = value == "1";
    });
  }
  void Check() override {
    ++Checks;
    CheckOnlyScore();
    if (OnCheck) OnCheck();
  }
  void CheckOnlyScore() override {
    Score = Right ? 1 : 0;
    MaxScore = 1;
  }
  void Reset() override { ++Resets; }
};

// Puts the tag table in its start-up state plus "answer", and back after.
class TagTableScope {
 public:
  TagTableScope() : saved_(TagTable) {
    InitExerciseTags();
    RegisterTag("answer", &CreateControl<TFakeAnswer>);
  }
  ~TagTableScope() { TagTable = saved_; }

 private:
  std::vector<TRLRec> saved_;
};

// A window of the given width holding one root parser.
struct TestPage {
  std::unique_ptr<TForm> Window;
  TRLParser* Parser = nullptr;

  explicit TestPage(int width, bool wordsReserveHeight = false) : Window(new TForm(nullptr)) {
    Window->SetBorderStyle(bsNone);
    Window->SetBounds(0, 0, width, 400);
    Window->SetColor(clWhite);
    Parser = new TRLParser(Window.get());
    Parser->SetParent(Window.get());
    Parser->SetBounds(0, 0, width, 10);
    Parser->SetAnchors(akLeft | akTop | akRight);
    TFont font;
    font.Name = "Times New Roman";
    font.SetSize(-18);
    Parser->SetFont(font);
    Parser->WordsReserveHeight = wordsReserveHeight;
  }

  TRLParser& Parse(const std::string& markup) {
    Parser->ParseParameters(markup);
    return *Parser;
  }

  std::vector<TRLControl*> Children() const {
    std::vector<TRLControl*> children;
    for (int i = 0; i < Parser->ControlCount(); ++i)
      if (auto* control = qobject_cast<TRLControl*>(Parser->Controls(i))) children.push_back(control);
    return children;
  }
};

#ifdef COURSE_SOURCE_DIR
// A part of a sample document of the course (a UTF-8 source under the course
// folder: 0 header, 1 hint, 2 body), in cp1251 as the page builder hands it to
// its parser: each line end a blank, runs of blanks collapsed.
inline std::string CourseDocumentPart(const std::string& relativePath, int part) {
  std::ifstream in(std::string(COURSE_SOURCE_DIR) + "/" + relativePath, std::ios::binary);
  std::ostringstream utf8;
  utf8 << in.rdbuf();
  std::string text;
  for (char c : Utf8ToCp1251(utf8.str()))
    if (c != '\r') text += c == '\n' ? ' ' : c;
  NormalizeSpaces(text);
  for (int skipped = 0; skipped < part; ++skipped) SplitAt(text, "<~~~>", true);
  return SplitAt(text, "<~~~>", true);
}
inline std::string CourseDocumentBody(const std::string& relativePath) {
  return CourseDocumentPart(relativePath, 2);
}
#endif

// The message of the Exception that action throws, or "(no exception)".
template <typename Action>
std::string ExceptionMessage(Action action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.what();
  }
  return "(no exception)";
}

// The widths of the dots of every guide line in a painted field, row by row:
// the runs of dark pixels of each row that holds three or more.
inline std::vector<std::vector<int>> GuideDotWidths(const TBitmap& painted) {
  std::vector<std::vector<int>> rows;
  for (int y = 0; y < painted.Height(); ++y) {
    std::vector<int> runs;
    int run = 0;
    for (int x = 0; x <= painted.Width(); ++x) {
      const bool dark = x < painted.Width() && (painted.Pixel(x, y) & 0xFF) < 0x80;
      if (dark) ++run;
      if (!dark && run > 0) runs.push_back(run), run = 0;
    }
    if (runs.size() >= 3) rows.push_back(runs);
  }
  return rows;
}
