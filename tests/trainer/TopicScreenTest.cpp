// The topic screen with real clicks: the text size chooser and the body size
// of exercise pages, the level toggle, and topics that start their documents
// on the exercise screen through the main window.
#include <gtest/gtest.h>

#include <QDir>

#include "CourseFixtures.h"
#include "TitleFixtures.h"
#include "exercise/ExercisePage.h"
#include "platform/Application.h"
#include "platform/Cp1251.h"
#include "platform/KeyboardLayout.h"
#include "trainer/MainForm.h"
#include "trainer/WorkFrame.h"
#include "widgets/ImageButton.h"
#include "widgets/ImageScrollBar.h"  // ImageScrollBox.h holds the bar in a QPointer
#include "widgets/ImageScrollBox.h"

namespace {

TLabel* Topic(TSelFrame& s, const std::string& utf8) {
  for (TLabel* label : s.TopicLabels)
    if (label->Caption() == Utf8ToCp1251(utf8)) return label;
  ADD_FAILURE() << "no topic " << utf8;
  return s.TopicLabels.front();
}

struct TFontState {
  int Index;
  std::string Caption;  // UTF-8
  int Size;
};

void ExpectFont(const TSelFrame& s, const TFontState& want) {
  EXPECT_EQ(s.FontIndex, want.Index);
  EXPECT_EQ(s.lFont->Caption(), Utf8ToCp1251(want.Caption));
  EXPECT_EQ(s.lFont->Font().Size(), want.Size);
  EXPECT_EQ(BodyFontSize, want.Size);
}

}  // namespace

TEST(TopicScreen, ShowsEveryTopicUnderItsHeading) {
  TTitleScreen screen(1024, 768, false);
  TSelFrame& s = screen.Topics();
  ASSERT_EQ(s.TopicLabels.size(), 23u);
  int groups[3] = {0, 0, 0};
  for (const TLabel* label : s.TopicLabels) {
    ASSERT_GE(label->Tag, 0);
    ASSERT_LE(label->Tag, 2);
    ++groups[label->Tag];
  }
  EXPECT_EQ(groups[0], 14);
  EXPECT_EQ(groups[1], 7);
  EXPECT_EQ(groups[2], 2);
  // The first step of the first group is a pixel longer than the rest.
  EXPECT_EQ(Point(s.TopicLabels[0]->Left(), s.TopicLabels[0]->Top()), Point(48, 71));
  EXPECT_EQ(s.TopicLabels[1]->Top(), 99);
  EXPECT_EQ(s.TopicLabels[13]->Top(), 99 + 12 * 27);
  EXPECT_EQ(Point(s.TopicLabels[21]->Left(), s.TopicLabels[21]->Top()), Point(423, 315));
  // The folder name keeps its two blanks.
  EXPECT_EQ(Topic(s, "Знаки препинания при  обособленных членах предложения")->Tag, 1);
}

TEST(TopicScreen, BodySizeStaysLargeUntilTheScreenIsShown) {
  TTitleScreen screen(1024, 768, false);
  TSelFrame& s = screen.Topics();
  EXPECT_EQ(BodyFontSize, -18);
  EXPECT_EQ(s.FontIndex, 0);
  EXPECT_FALSE(s.lFont->Visible());
  // Sized while hidden: still nothing changes.
  screen.Host().SetBounds(0, 0, 1000, 700);
  EXPECT_EQ(BodyFontSize, -18);
  screen.Frame().Show();
  EXPECT_TRUE(s.lFont->isVisible());
  ExpectFont(s, {0, "Средний", -14});
}

TEST(TopicScreen, SizeButtonsStandFlushRightWithTheirLabelBeside) {
  TTitleScreen screen(1280, 1024);
  TSelFrame& s = screen.Topics();
  EXPECT_EQ(s.ZoomOutButton->BoundsRect(), Bounds(s.Width() - 76, 100, 76, 32));
  EXPECT_EQ(s.ZoomInButton->BoundsRect(), Bounds(s.Width() - 76, 132, 76, 32));
  EXPECT_EQ(s.LevelButton->BoundsRect(), Bounds(s.lDifficulty->Left(), s.lDifficulty->Top() + 30, 100, 30));
  for (int clicks = 0; clicks < 2; ++clicks) {
    EXPECT_EQ(s.lFont->Left() + s.lFont->Width(), s.ZoomOutButton->Left() + 10);
    EXPECT_EQ(s.lFont->Top(), 100 + (64 - s.lFont->Height()) / 2);
    ClickOn(screen.Frame(), *s.ZoomInButton);
  }
}

TEST(TopicScreen, SizeButtonsStepThroughThreeSizes) {
  TTitleScreen screen(1024, 768);
  TSelFrame& s = screen.Topics();
  TTitleFrame& f = screen.Frame();
  const int medium = s.lFont->Height();
  ClickOn(f, *s.ZoomOutButton);
  ExpectFont(s, {-1, "Маленький", -12});
  EXPECT_LT(s.lFont->Height(), medium);
  ClickOn(f, *s.ZoomOutButton);
  ExpectFont(s, {-1, "Маленький", -12});
  ClickOn(f, *s.ZoomInButton);
  ExpectFont(s, {0, "Средний", -14});
  ClickOn(f, *s.ZoomInButton);
  ExpectFont(s, {1, "Большой", -18});
  EXPECT_GT(s.lFont->Height(), medium);
  ClickOn(f, *s.ZoomInButton);
  ExpectFont(s, {1, "Большой", -18});
  SaveRender(screen.Host().grab().toImage(), "topics_large_1024x768.png");
}

TEST(TopicScreen, LevelToggleChangesItsPictureAndTheFolder) {
  TTitleScreen screen(1024, 768);
  TSelFrame& s = screen.Topics();
  const TBitmap easy = s.LevelButton->Picture();
  EXPECT_EQ(s.LevelFolder(), ".\\docs\\Легко\\"_cp);
  ClickOn(screen.Frame(), *s.LevelButton);
  EXPECT_EQ(s.LevelButton->Tag, 1);
  EXPECT_EQ(s.LevelFolder(), ".\\docs\\Сложно\\"_cp);
  // The release left the mouse over the button: its look is the hover one until it leaves.
  s.LevelButton->SetState(TImageButton2::bsNormal);
  EXPECT_NE(s.LevelButton->Picture().Image(), easy.Image());
  // The label toggles too.
  ClickOn(screen.Frame(), *s.lDifficulty);
  EXPECT_EQ(s.LevelButton->Tag, 0);
  s.LevelButton->SetState(TImageButton2::bsNormal);
  EXPECT_EQ(s.LevelButton->Picture().Image(), easy.Image());
}

TEST(TopicDocuments, SortAsTextIgnoringCaseWithoutFolders) {
  TTopicFolders topics;
  const std::string folder =
      topics.Add("Легко", "Тема", {"2.cml", "10.cml", "Б.CML", "а.cml", "1.txt", "02.cml"});
  ASSERT_TRUE(QDir().mkpath(QString::fromUtf8("docs/Легко/Тема/9.cml")));
  const TStringList list = ListTopicDocuments(folder);
  std::vector<std::string> names;
  for (int i = 0; i < list.Count(); ++i) {
    ASSERT_EQ(list[i].rfind(folder + "\\", 0), 0u) << list[i];
    names.push_back(list[i].substr(folder.size() + 1));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"02.cml", "10.cml", "2.cml", "а.cml"_cp, "Б.CML"_cp}));
}

// The main window as the program makes it, showing its title screen.
struct TopicStart : ::testing::Test {
  TCourseFolder course;
  TTopicFolders topics;
  TScreenSize screen{1024, 768};
  std::unique_ptr<TMainForm> form;

  void SetUp() override {
    form = std::make_unique<TMainForm>(nullptr);
    MainForm = form.get();
    Application->MainForm = form.get();
    form->Arguments = {course.Write("start.cml", FieldsDocument("Начало", {"о"}))};
    form->Show();
    form->WorkFrame->Hide();
    form->TitleFrame->Show();
  }
  void TearDown() override {
    Application->MainForm = nullptr;
    MainForm = nullptr;
    DeactivateRussianLayout();
  }
  TSelFrame& Topics() { return *form->TitleFrame->SelFrame1; }
  void ClickTopic(const std::string& utf8) { ClickOn(*form->TitleFrame, *Topic(Topics(), utf8)); }
};

TEST_F(TopicStart, ATopicStartsItsDocumentsOnTheExerciseScreen) {
  const std::string folder =
      topics.Add("Легко", "Правописание гласных в корне", {"1.cml", "10.cml", "2.cml"});
  ClickTopic("Правописание гласных в корне");
  TWorkFrame& work = *form->WorkFrame;
  EXPECT_FALSE(form->TitleFrame->isVisible());
  EXPECT_TRUE(work.isVisible());
  ASSERT_EQ(work.Files.Count(), 3);
  // Sorted as text.
  EXPECT_EQ(work.Files[1], folder + "\\10.cml");
  EXPECT_EQ(work.Files[2], folder + "\\2.cml");
  EXPECT_FALSE(work.Hard);
  EXPECT_EQ(work.lCurrent->Caption(), "Орфография: Подраздел. Упражнение №1 из 3. (1.cml)"_cp);
  EXPECT_EQ(BodyFields(work).size(), 1u);
}

TEST_F(TopicStart, TheHardLevelReadsItsOwnFolderAndOffersTheShowButton) {
  topics.Add("Легко", "Употребление Ь и Ъ", {"easy.cml"});
  const std::string hard = topics.Add("Сложно", "Употребление Ь и Ъ", {"hard.cml"});
  ClickOn(*form->TitleFrame, *Topics().LevelButton);
  ClickTopic("Употребление Ь и Ъ");
  TWorkFrame& work = *form->WorkFrame;
  ASSERT_EQ(work.Files.Count(), 1);
  EXPECT_EQ(work.Files[0], hard + "\\hard.cml");
  EXPECT_TRUE(work.Hard);
  EXPECT_TRUE(work.ShowButton->Visible());
}

TEST_F(TopicStart, TheSectionNameFollowsTheTopicsGroup) {
  topics.Add("Легко", "Пунктуация при прямой речи", {"1.cml"});
  ClickTopic("Пунктуация при прямой речи");
  EXPECT_EQ(form->SectionName, "Пунктуация"_cp);
  EXPECT_EQ(form->WorkFrame->SectionName, "Пунктуация"_cp);
}

TEST_F(TopicStart, TheChosenSizeBuildsTheExercisePages) {
  topics.Add("Легко", "Правописание наречий", {"1.cml"});
  ClickOn(*form->TitleFrame, *Topics().ZoomOutButton);
  ClickTopic("Правописание наречий");
  EXPECT_EQ(BodyFontSize, -12);
  const TWinControl* body = form->WorkFrame->ContentBox->ContentPanel();
  ASSERT_GT(body->ControlCount(), 0);
  EXPECT_EQ(body->Controls(0)->Font().Size(), -12);
}

TEST_F(TopicStart, AMissingOrEmptyTopicIsReportedAndNothingStarts) {
  topics.Add("Легко", "Правописание глаголов", {});
  TMessageLog log;
  const std::string sectionBefore = form->WorkFrame->SectionName;
  for (const char* topic : {"Правописание причастий", "Правописание глаголов"}) {
    ClickTopic(topic);
    EXPECT_TRUE(form->TitleFrame->isVisible()) << topic;
    EXPECT_FALSE(form->WorkFrame->isVisible()) << topic;
  }
  ASSERT_EQ(log.Texts.size(), 2u);
  EXPECT_NE(log.Texts[0].find("Правописание причастий"_cp), std::string::npos);
  EXPECT_NE(log.Texts[1].find("нет упражнений"_cp), std::string::npos);
  EXPECT_EQ(form->WorkFrame->SectionName, sectionBefore);
  EXPECT_EQ(form->WorkFrame->Files.Count(), 1);
}
