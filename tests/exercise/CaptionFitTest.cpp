// Captions painted whole: every check box, radio item and word of the course's
// pages, at every text size a learner can get (the topic screen's three sizes,
// each scaled by the steps of the course's Settings.ini), shows all its ink.
// The ink a control paints is compared with the same text drawn on an open
// canvas in the same font, so a cut descender, a cut breve of "Й" or a cut
// italic overhang shows as a smaller ink box.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "MarkFixtures.h"
#include "exercise/RLCheckBox.h"
#include "exercise/RLLabel.h"
#include "exercise/ScaleSettings.h"
#include "platform/Canvas.h"

namespace {

struct TInk {
  int Left = INT_MAX, Top = INT_MAX, Right = -1, Bottom = -1;  // inclusive
  bool Empty() const { return Right < 0; }
  int Width() const { return Empty() ? 0 : Right - Left + 1; }
  int Height() const { return Empty() ? 0 : Bottom - Top + 1; }
};

// Text is black on the paper; smoothed edges count once they are half dark.
bool IsInk(std::uint32_t word) {
  return std::max({PixelChannel(word, 0), PixelChannel(word, 8), PixelChannel(word, 16)}) < 128;
}

TInk InkOf(const TBitmap& bitmap, int fromX) {
  TInk ink;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = std::max(0, fromX); x < bitmap.Width(); ++x)
      if (IsInk(bitmap.Pixel(x, y))) {
        ink.Left = std::min(ink.Left, x);
        ink.Right = std::max(ink.Right, x);
        ink.Top = std::min(ink.Top, y);
        ink.Bottom = std::max(ink.Bottom, y);
      }
  return ink;
}

// The text drawn with room on every side, nothing to cut it.
TInk OpenInk(const TFont& font, const std::string& text) {
  const int room = TextHeight(font, text);
  TBitmap open(TextWidth(font, text) + 2 * room, 3 * room);
  TCanvas& canvas = open.Canvas();
  canvas.Brush.Color = PageColor;
  canvas.FillRect(Rect(0, 0, open.Width(), open.Height()));
  canvas.Font = font;
  canvas.Brush.Style = TBrushStyle::bsClear;
  canvas.TextOut(room, room, text);
  return InkOf(open, 0);
}

// Where the caption starts: right of the box picture for check boxes and radio items.
int CaptionLeft(const TRLControl& control) {
  return qobject_cast<const TRLCheckBox*>(&control) ? control.MarginLeft : 0;
}

// Fails for each control whose caption lost ink; returns how many captions it compared.
int ExpectCaptionsWhole(TRLControl& parent, const std::string& where) {
  int compared = 0;
  for (int i = 0; i < parent.ControlCount(); ++i) {
    auto* control = qobject_cast<TRLControl*>(parent.Controls(i));
    if (!control) continue;
    compared += ExpectCaptionsWhole(*control, where);
    const bool captioned = qobject_cast<TRLCheckBox*>(control) || qobject_cast<TRLLabel*>(control);
    if (!captioned || Trim(control->Caption()).empty() || control->Caption() == "театр "_cp) continue;
    const TInk open = OpenInk(control->Font(), control->Caption());
    const TInk painted = InkOf(Painted(*control), CaptionLeft(*control));
    const std::string caption = Cp1251ToUtf8(control->Caption());
    // Smoothed edges over another background may add a pixel of ink; a cut takes some away.
    EXPECT_GE(painted.Height(), open.Height()) << where << ": \"" << caption << "\" cut at top or bottom";
    EXPECT_GE(painted.Width(), open.Width()) << where << ": \"" << caption << "\" cut at a side";
    ++compared;
  }
  return compared;
}

// The body sizes a learner meets: each of the topic screen's sizes, as it is
// and scaled by every step that Settings.ini can choose.
std::vector<int> BodySizes() {
  LoadScaleSettings(std::string(COURSE_SOURCE_DIR) + "/Settings.ini");
  std::set<int> steps{0};
  for (const TScaleRec& row : ScaleTable) steps.insert(row.Step);
  ScaleTable.clear();
  EXPECT_GT(steps.size(), 1u) << "the course's Settings.ini scales nothing";
  std::vector<int> sizes;
  for (int chosen : {-12, -14, -18})
    for (int step : steps) sizes.push_back(chosen - 2 * step);
  return sizes;
}

std::string FontCase(int size) {
  return "size " + std::to_string(size);
}

// Parses markup on a page of the body's width in the given font and checks its captions.
int CheckPage(const std::string& markup, const std::string& face, int size, const std::string& where) {
  MarkPage page(640);
  TFont font = page.Parser().Font();
  font.Name = face;
  font.SetSize(size);
  page.Parser().SetFont(font);
  page.Parse<TRLControl>(markup);
  return ExpectCaptionsWhole(page.Parser(), where + ", " + FontCase(size));
}

std::vector<std::filesystem::path> CourseDocuments() {
  std::vector<std::filesystem::path> documents;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(COURSE_SOURCE_DIR))
    if (entry.path().extension() == ".cml") documents.push_back(entry.path());
  return documents;
}

}  // namespace

TEST(CaptionFit, TallLettersAndDescendersFitAtEverySize) {
  // Capitals with a breve, letters that reach below the line, bold and italic.
  const std::string markup =
      "<checkbox caption=\"Йошкар-Ола\"><br><checkbox caption=\"плащ, помощь, рожь\" checked=1><br>"
      "<b><checkbox caption=\"ДЕЙСТВУЙ\"></b><br><i><checkbox caption=\"фуфайку\"></i><br>"
      "<radiogroup <rgi caption=\"Щука\"> <rgi caption=\"Йод\" checked=1> <rgi caption=\"дрожь\">><br>"
      "Й<i>ф</i> <b>Щ</b>"_cp;
  for (int size : BodySizes()) EXPECT_GE(CheckPage(markup, "Times New Roman", size, "letters"), 10);
}

TEST(CaptionFit, EveryCourseDocumentShowsItsCaptionsWhole) {
  const std::vector<int> sizes = BodySizes();
  const auto documents = CourseDocuments();
  ASSERT_FALSE(documents.empty());
  int compared = 0;
  for (const auto& path : documents) {
    const std::string relative = std::filesystem::relative(path, COURSE_SOURCE_DIR).string();
    // The header line and the hint at their own fixed fonts, the body at every size.
    compared += CheckPage(CourseDocumentPart(relative, 0), "Tahoma", -16, relative + " header");
    compared += CheckPage(CourseDocumentPart(relative, 1), "Times New Roman", -16, relative + " hint");
    for (int size : sizes)
      compared += CheckPage(CourseDocumentBody(relative), "Times New Roman", size, relative);
  }
  EXPECT_GT(compared, 1000);
}
