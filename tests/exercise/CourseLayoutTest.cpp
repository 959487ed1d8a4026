// The course's texts laid out at the widths and sizes the trainer gives them:
// no word runs past the right edge of its part (a glued run of bold words can
// be wider than a narrow hint), no line starts with a dash or a blank, and
// words stand one blank apart, bold ones too.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "MarkFixtures.h"

namespace {

struct TPartLayout {
  int Part;  // 0 header, 1 hint, 2 body
  const char* Face;
  std::vector<int> Sizes;
  std::vector<int> Widths;
};

// The header line and the hint column at their fixed fonts; the body at every
// size a learner can choose, scaled up to two steps, in areas from narrow to wide.
const TPartLayout kParts[] = {
    {0, "Tahoma", {-16}, {640, 900}},
    {1, "Times New Roman", {-16}, {240, 268}},
    {2, "Times New Roman", {-12, -14, -16, -18, -20, -22}, {520, 700}},
};

std::vector<std::string> CourseDocuments() {
  std::vector<std::string> documents;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(COURSE_SOURCE_DIR))
    if (entry.path().extension() == ".cml")
      documents.push_back(std::filesystem::relative(entry.path(), COURSE_SOURCE_DIR).string());
  return documents;
}

// The in-flow controls of each layout line, left to right.
std::map<int, std::vector<const TRLControl*>> Lines(const TRLParser& parser) {
  std::map<int, std::vector<const TRLControl*>> lines;
  for (int i = 0; i < parser.ControlCount(); ++i) {
    const auto* control = qobject_cast<const TRLControl*>(parser.Controls(i));
    if (control && control->InFlow && control->Left() >= 0 && control->Width() > 0)
      lines[control->LineNo].push_back(control);
  }
  for (auto& [number, line] : lines)
    std::sort(line.begin(), line.end(), [](auto* a, auto* b) { return a->Left() < b->Left(); });
  return lines;
}

}  // namespace

TEST(CourseLayout, EveryPartKeepsWithinItsWidthWithSingleGapsAndNoLineStartsWithADashOrABlank) {
  TagTableScope tags;
  ArtworkScope artwork;  // paragraphs and buttons load their pictures
  const std::string dash = "—"_cp;
  const auto documents = CourseDocuments();
  ASSERT_FALSE(documents.empty());
  for (const std::string& document : documents)
    for (const TPartLayout& layout : kParts)
      for (int size : layout.Sizes)
        for (int width : layout.Widths) {
          TestPage page(width);
          TFont font = page.Parser->Font();
          font.Name = layout.Face;
          font.SetSize(size);
          page.Parser->SetFont(font);
          page.Parser->PlainText = layout.Part == 0;
          page.Parse(CourseDocumentPart(document, layout.Part));
          const std::string where = document + " part " + std::to_string(layout.Part) + " size " +
                                    std::to_string(size) + " width " + std::to_string(width);
          for (const auto& [number, line] : Lines(*page.Parser)) {
            // A dash kept to the word before it by a no-break space still starts the line when the run does.
            std::string first = line.front()->Caption();
            first.erase(0, first.find_first_not_of(" \xA0"));
            EXPECT_NE(first.rfind(dash, 0), 0u) << where << ": line " << number << " starts with a dash";
            EXPECT_NE(line.front()->Caption(), " ") << where << ": line " << number << " starts with a blank";
            for (std::size_t i = 1; i < line.size(); ++i) {
              const std::string& before = line[i - 1]->Caption();
              EXPECT_FALSE(!before.empty() && before.back() == ' ' && line[i]->Caption() == " ")
                  << where << ": two blanks after \"" << Cp1251ToUtf8(before) << "\"";
            }
            const TRLControl* last = line.back();
            EXPECT_LE(last->Left() + last->Width(), width)
                << where << ": \"" << Cp1251ToUtf8(last->Caption()) << "\" runs past the edge";
          }
        }
}
