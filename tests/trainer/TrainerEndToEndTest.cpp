// The trainer as a learner uses it, with real mouse and key events: the main
// window starts on a document, answers are typed on a Latin keyboard, the
// check reports the mistakes in its dialog, reset clears the marks and the
// next button steps on.
#include <gtest/gtest.h>

#include <QTest>
#include <QWindow>
#include <set>

#include "CourseFixtures.h"
#include "TrainerFixtures.h"
#include "exercise/ExercisePage.h"
#include "exercise/RLEdit.h"
#include "exercise/RLParagraphManager.h"
#include "exercise/RLParser.h"
#include "platform/Application.h"
#include "platform/Cp1251.h"
#include "platform/KeyboardLayout.h"
#include "platform/StrUtils.h"
#include "tests/platform/XKeyboard.h"
#include "trainer/MainForm.h"
#include "trainer/WorkFrame.h"
#include "widgets/ImageButton.h"
#include "widgets/ImageScrollBar.h"  // ImageScrollBox.h holds the bar in a QPointer
#include "widgets/ImageScrollBox.h"

namespace {

struct TrainerEndToEnd : ::testing::Test {
  TCourseFolder course;
  TScreenSize screen{1280, 1024};

  // The layout state is global: each test leaves it off for the next one.
  void TearDown() override {
    DeactivateRussianLayout();
    Application->MainForm = nullptr;
  }

  // The main window started as the program starts it, on arguments.
  std::unique_ptr<TMainForm> Start(const std::vector<std::string>& arguments) {
    auto form = std::make_unique<TMainForm>(nullptr);
    Application->MainForm = form.get();
    form->Arguments = arguments;
    form->Show();
    return form;
  }

  static void Click(TWorkFrame& frame, TControl& control) {
    MouseAt(frame, QPoint(control.Left() + control.Width() / 2, control.Top() + control.Height() / 2),
            TMouseStep::Click);
  }
};

}  // namespace

TEST_F(TrainerEndToEnd, StartsFullScreenOnTheDocumentOfTheFirstArgument) {
  const std::string path = course.Write("start.cml", FieldsDocument("Начало", {"о"}));
  ASSERT_FALSE(IsRussianLayoutActive());
  const auto form = Start({path});
  EXPECT_EQ(form->BorderStyle(), bsNone);
  EXPECT_EQ(form->BoundsRect(), Bounds(0, 0, 1280, 1024));
  EXPECT_EQ(form->Caption(), "Quillon");
  EXPECT_TRUE(IsRussianLayoutActive());
  EXPECT_EQ(BodyFontSize, -18);
  TWorkFrame& frame = *form->WorkFrame;
  EXPECT_TRUE(frame.isVisible());
  EXPECT_EQ(frame.BoundsRect(), form->ClientRect());
  EXPECT_EQ(frame.lCurrent->Caption(), "Раздел: Подраздел. Упражнение №1 из 1. (start.cml)"_cp);
  EXPECT_FALSE(frame.Hard);
  EXPECT_FALSE(frame.ShowButton->Visible());
  EXPECT_EQ(BodyFields(frame).size(), 1u);
}

TEST_F(TrainerEndToEnd, AScreenThatChangedBeforeTheFirstShowingIsFilledAfresh) {
  auto form = std::make_unique<TMainForm>(nullptr);
  Application->MainForm = form.get();
  form->Arguments = {course.Write("start.cml", FieldsDocument("Начало", {"о"}))};
  TScreenSize wider(1440, 900);
  form->Show();
  EXPECT_EQ(form->BoundsRect(), Bounds(0, 0, 1440, 900));
  EXPECT_EQ(form->WorkFrame->Width(), 1440);
}

TEST_F(TrainerEndToEnd, AFaultyFirstDocumentIsReportedOverTheWindowWithWhatCameBeforeItLaidOut) {
  std::vector<std::string> texts;
  bool windowOnScreen = false;
  std::unique_ptr<TMainForm> form;
  Application->SetMessageSink([&](const std::string& text, const std::string&) {
    texts.push_back(text);
    windowOnScreen = form && form->windowHandle() && form->windowHandle()->isExposed();
  });
  const std::string words = "Слова до ошибки стоят в строках одна за другой, как на любой странице ";
  std::string before;
  for (int i = 0; i < 6; ++i) before += words;
  form = Start({course.Write(
      "bad.cml", "Заголовок<~~~><~~~>" + before + "<parmanager <paragraph 1 а><p 2 б>> после <unknowntag>")});
  EXPECT_TRUE(texts.empty()) << "the box came before the window";
  ASSERT_TRUE(QTest::qWaitFor([&] { return !texts.empty(); }, 5000));
  Application->SetMessageSink(nullptr);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_NE(texts.front().find("Unrecognized tag"), std::string::npos) << texts.front();
  EXPECT_TRUE(windowOnScreen);
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(Application->Terminated());
  EXPECT_EQ(form->ExitCode, 0);

  TWorkFrame& frame = *form->WorkFrame;
  EXPECT_EQ(frame.lCurrent->Caption(), "Раздел: Подраздел. Упражнение №1 из 1. (bad.cml)"_cp);
  ASSERT_EQ(frame.ContentBox->ContentPanel()->ControlCount(), 1);
  const auto* parser = qobject_cast<TRLParser*>(frame.ContentBox->ContentPanel()->Controls(0));
  ASSERT_NE(parser, nullptr);
  EXPECT_EQ(frame.ContentBox->ContentPanel()->Height(), parser->Height());
  // The words before the fault stand in lines inside the page, none cut by
  // its top edge; the half-built exercise and what followed are not there.
  std::set<std::pair<int, int>> places;
  int lines = 0;
  for (int i = 0; i < parser->ControlCount(); ++i) {
    const TControl* word = parser->Controls(i);
    EXPECT_EQ(qobject_cast<const TRLParagraphManager*>(word), nullptr);
    const auto* label = qobject_cast<const TRLLabel*>(word);
    if (!label || Trim(label->Caption()).empty()) continue;
    EXPECT_NE(label->Caption(), "после ");
    EXPECT_GE(label->Top(), 0) << label->Caption();
    EXPECT_LE(label->Top() + label->Height(), parser->Height()) << label->Caption();
    EXPECT_TRUE(places.insert({label->Left(), label->Top()}).second) << "two words in one place";
    if (label->Left() == 0) ++lines;
  }
  EXPECT_GT(lines, 1);
  SaveRender(form->grab().toImage(), "start_with_markup_error.png");
}

TEST_F(TrainerEndToEnd, TypeCheckCloseResetAndStepOn) {
  const std::string first = course.Write("first.cml", FieldsDocument("Первое", {"о", "е", "а"}));
  const std::string second = course.Write("second.cml", FieldsDocument("Второе", {"и"}));
  const auto form = Start({first});
  TWorkFrame& frame = *form->WorkFrame;
  // The topic screen hands over a list of two; the window starts on one.
  frame.LoadExerciseList(ListOf({first, second}));
  const std::vector<TRLEdit*> fields = BodyFields(frame);
  ASSERT_EQ(fields.size(), 3u);

  // On a Latin keyboard: j is "о", t is "е"; the third field is typed wrong ("ы" on s).
  const std::u16string keys = u"jts";
  const XKeyboard us(TXLayout::Us);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    MouseAt(frame, fields[i]->mapTo(&frame, QPoint(3, fields[i]->Height() / 2)), TMouseStep::Click);
    EXPECT_TRUE(fields[i]->Focused());
    us.TypeUsKeys(keys.substr(i, 1));
  }
  EXPECT_EQ(fields[0]->Text(), "о"_cp);
  EXPECT_EQ(fields[2]->Text(), "ы"_cp);

  TDialogWatch dialog;
  Click(frame, *frame.CheckButton);
  EXPECT_EQ(dialog.Text(), "Количество ошибок: 1"_cp);
  EXPECT_TRUE(fields[2]->ErrorShown);
  EXPECT_FALSE(fields[0]->ErrorShown);

  Click(frame, *frame.ResetButton);
  EXPECT_FALSE(fields[2]->ErrorShown);

  ASSERT_EQ(frame.NextButton->State(), TImageButton2::bsNormal);
  Click(frame, *frame.NextButton);
  EXPECT_EQ(frame.Current, 1);
  EXPECT_EQ(frame.lCurrent->Caption(), "Раздел: Подраздел. Упражнение №2 из 2. (second.cml)"_cp);
  EXPECT_EQ(BodyFields(frame).size(), 1u);
  EXPECT_EQ(frame.NextButton->State(), TImageButton2::bsDisabled);
  EXPECT_EQ(frame.PrevButton->State(), TImageButton2::bsNormal);
}
