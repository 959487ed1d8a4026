// No exercise of the course gives its answers away by its layout: in every
// passage of words to correct, select or memorise, shown on the exercise
// screen at 1280 x 1024 and at 1024 x 768, the words meant to be answered
// stand at the same gaps as the plain words around them.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <algorithm>
#include <map>

#include "CourseFixtures.h"
#include "TrainerFixtures.h"
#include "exercise/RLMemory.h"
#include "exercise/RLWordSelector.h"
#include "platform/Cp1251.h"
#include "trainer/WorkFrame.h"

namespace {

// A word as the learner sees it: where its letters start and end, and
// whether it is one the exercise asks about.
struct TShownWord {
  int Left = 0;
  int Right = 0;
  std::string Text;  // cp1251
  bool Asked = false;
};

// The shown words of a passage, line by line, left to right. A word's right
// edge is the end of its letters, without the blank after them.
std::map<int, std::vector<TShownWord>> ShownWords(const TRLWordCorrector& passage) {
  std::map<int, std::vector<TShownWord>> lines;
  for (int i = 0; i < passage.ControlCount(); ++i) {
    const auto* control = qobject_cast<const TRLControl*>(passage.Controls(i));
    if (!control || !control->InFlow || !control->Visible() || control->Left() < 0) continue;
    TShownWord word;
    if (const auto* corrected = qobject_cast<const TRLWord*>(control)) {
      if (corrected->IsBreak) continue;
      word.Text = corrected->Text();
      const auto* selectable = qobject_cast<const TRLSelectWord*>(control);
      word.Asked = corrected->IsError || (selectable && selectable->MustSelect);
    } else if (const auto* label = qobject_cast<const TRLLabel*>(control)) {
      word.Text = label->Caption();
      word.Asked = qobject_cast<const TRLMemoryLabel*>(control) != nullptr;
    }
    word.Text.erase(word.Text.find_last_not_of(' ') + 1);
    if (word.Text.empty()) continue;
    word.Left = control->Left();
    word.Right = control->Left() + TextWidthOf(control, word.Text);
    lines[control->Top() + control->Height()].push_back(word);
  }
  for (auto& [bottom, line] : lines)
    std::sort(line.begin(), line.end(), [](const auto& a, const auto& b) { return a.Left < b.Left; });
  return lines;
}

// The gaps between neighbouring words of a passage, kept apart by whether
// an asked word stands on either side. Punctuation glued to a word is no gap.
struct TGaps {
  std::vector<int> Plain, Asked;
};

TGaps GapsOf(const TRLWordCorrector& passage) {
  TGaps gaps;
  for (const auto& [bottom, line] : ShownWords(passage))
    for (std::size_t i = 1; i < line.size(); ++i) {
      if (!Cp1251ToQString(line[i].Text).front().isLetterOrNumber()) continue;
      const int gap = line[i].Left - line[i - 1].Right;
      (line[i].Asked || line[i - 1].Asked ? gaps.Asked : gaps.Plain).push_back(gap);
    }
  return gaps;
}

std::string ReadUtf8(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return file.readAll().toStdString();
}

std::string Range(const std::vector<int>& gaps) {
  if (gaps.empty()) return "none";
  const auto [low, high] = std::minmax_element(gaps.begin(), gaps.end());
  return std::to_string(*low) + "-" + std::to_string(*high) + " px";
}

struct TScreen {
  int Width, Height;
};

class CourseGapsTest : public ::testing::TestWithParam<TScreen> {};

}  // namespace

TEST_P(CourseGapsTest, AskedWordsStandAtThePlainWordsGaps) {
  TCourseFolder course;
  TWorkScreen screen(GetParam().Width, GetParam().Height);
  screen.Host().Show();
  int passages = 0;
  QDirIterator it(COURSE_SOURCE_DIR, {"*.cml"}, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    screen.Frame().LoadExerciseList(ListOf({course.Write("doc.cml", ReadUtf8(path))}));
    QCoreApplication::processEvents();
    for (const TRLWordCorrector* passage : screen.Frame().findChildren<TRLWordCorrector*>()) {
      const TGaps gaps = GapsOf(*passage);
      if (gaps.Asked.empty()) continue;
      ++passages;
      std::vector<int> all = gaps.Plain;
      all.insert(all.end(), gaps.Asked.begin(), gaps.Asked.end());
      const auto [low, high] = std::minmax_element(all.begin(), all.end());
      EXPECT_LE(*high - *low, 1) << path.toStdString() << " at " << GetParam().Width << "x"
                                 << GetParam().Height << ": plain words " << Range(gaps.Plain)
                                 << ", beside asked words " << Range(gaps.Asked);
      std::cout << QDir(COURSE_SOURCE_DIR).relativeFilePath(path).toStdString() << " " << GetParam().Width
                << "x" << GetParam().Height << ": plain " << Range(gaps.Plain) << ", asked "
                << Range(gaps.Asked) << "\n";
    }
  }
  // The selection, underlining, correction and memory passages.
  EXPECT_GE(passages, 4);
}

INSTANTIATE_TEST_SUITE_P(Screens, CourseGapsTest, ::testing::Values(TScreen{1280, 1024}, TScreen{1024, 768}),
                         [](const auto& info) {
                           return std::to_string(info.param.Width) + "x" + std::to_string(info.param.Height);
                         });
