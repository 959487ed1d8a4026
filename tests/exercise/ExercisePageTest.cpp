// The page builder: the three parts, the tall header, the font scale, the
// wide mode, the first field's focus, "Settings.ini", and documents that are
// empty, oddly cut or huge.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "ExerciseFixtures.h"
#include "exercise/ExercisePage.h"
#include "exercise/RLEdit.h"
#include "exercise/RLLabel.h"
#include "exercise/ScaleSettings.h"
#include "platform/Application.h"
#include "platform/Bitmap.h"
#include "platform/Cp1251.h"
#include "platform/FileSystem.h"

namespace {

// The exercise screen as the builder sees it: a header panel, a hint panel,
// and the exercise area holding the visible part of a scroll box, which holds
// the body container.
struct TScreenParts {
  std::unique_ptr<TForm> Window{new TForm(nullptr)};
  TPanel* Header = Add(Window.get(), 0, 0, 800, 50);
  TPanel* Area = Add(Window.get(), 10, 60, 500, 300);
  TPanel* Visible = Add(Area, 0, 0, 480, 300);
  TPanel* Body = Add(Visible, 0, 0, 480, 10);
  TPanel* Hint = Add(Window.get(), 520, 60, 270, 100);
  TBitmap Background;

  TScreenParts() {
    Window->SetBorderStyle(bsNone);
    Window->SetBounds(0, 0, 800, 600);
  }
  static TPanel* Add(TWinControl* parent, int left, int top, int width, int height) {
    auto* panel = new TPanel(parent);
    panel->SetParent(parent);
    panel->SetBounds(left, top, width, height);
    return panel;
  }

  // Builds a page the way the screen does: the previous one freed first.
  bool Build(const std::string& text) {
    for (TWinControl* container : {static_cast<TWinControl*>(Header), static_cast<TWinControl*>(Body),
                                   static_cast<TWinControl*>(Hint)})
      FreeChildren(container);
    bool changed = true;
    BuildExercisePage(text, changed, Body, Header, Hint, Background);
    return changed;
  }

  static TRLParser* ParserOf(const TWinControl* container) {
    for (int i = 0; i < container->ControlCount(); ++i)
      if (auto* parser = qobject_cast<TRLParser*>(container->Controls(i))) return parser;
    return nullptr;
  }
  // The words of a part's parser, without their blanks.
  static std::vector<std::string> Words(const TWinControl* container) {
    std::vector<std::string> words;
    const TRLParser* parser = ParserOf(container);
    for (int i = 0; parser && i < parser->ControlCount(); ++i)
      if (auto* label = qobject_cast<TRLLabel*>(parser->Controls(i)))
        if (!Trim(label->Caption()).empty()) words.push_back(Trim(label->Caption()));
    return words;
  }
  std::vector<TRLEdit*> Fields() const {
    std::vector<TRLEdit*> fields;
    const TRLParser* parser = ParserOf(Body);
    for (int i = 0; parser && i < parser->ControlCount(); ++i)
      if (auto* field = qobject_cast<TRLEdit*>(parser->Controls(i))) fields.push_back(field);
    return fields;
  }
};

// The builder's globals and the scale table, back to their start values after each test.
class ExercisePageTest : public ::testing::Test {
 protected:
  void TearDown() override {
    BodyFontSize = -14;
    FitWindowActive = false;
    FitWidth = 0;
    WidthBeforeFit = 0;
    OnFitWindow = nullptr;
    ScaleTable.clear();
    Application->SetMessageSink(nullptr);
  }

  TagTableScope tags_;
  TScreenParts screen_;
};

}  // namespace

// ----- the three parts

TEST_F(ExercisePageTest, TheDocumentIsCutIntoHeaderHintAndBody) {
  EXPECT_FALSE(screen_.Build("A<~~~>B<~~~>C"));
  EXPECT_EQ(TScreenParts::Words(screen_.Header), std::vector<std::string>{"A"});
  EXPECT_EQ(TScreenParts::Words(screen_.Hint), std::vector<std::string>{"B"});
  EXPECT_EQ(TScreenParts::Words(screen_.Body), std::vector<std::string>{"C"});
  EXPECT_EQ(screen_.Hint->Tag, 1);

  screen_.Build("A");
  EXPECT_EQ(TScreenParts::Words(screen_.Header), std::vector<std::string>{"A"});
  EXPECT_EQ(screen_.Hint->Tag, 0);
  EXPECT_EQ(screen_.Hint->ControlCount(), 0);
  EXPECT_EQ(TScreenParts::ParserOf(screen_.Body)->Height(), 10);
  EXPECT_EQ(screen_.Body->Height(), 10);
}

TEST_F(ExercisePageTest, LineEndsAndExtraPartsCarryNothing) {
  screen_.Build("раз\r\nдва\nтри<~~~>   <~~~>B<~~~>D<~~~>E<~~~>F"_cp);
  EXPECT_EQ(TScreenParts::Words(screen_.Header), (std::vector<std::string>{"раз"_cp, "дватри"_cp}));
  EXPECT_EQ(screen_.Hint->Tag, 0);  // a hint of blanks is none
  EXPECT_EQ(TScreenParts::Words(screen_.Body), std::vector<std::string>{"B"});
}

TEST_F(ExercisePageTest, EachPartHasItsFontAndRole) {
  BodyFontSize = -18;
  screen_.Build("<b>A</b><~~~>B<~~~>C");
  const TRLParser* header = TScreenParts::ParserOf(screen_.Header);
  const TRLParser* hint = TScreenParts::ParserOf(screen_.Hint);
  const TRLParser* body = TScreenParts::ParserOf(screen_.Body);
  EXPECT_EQ(HeaderParser.data(), header);
  EXPECT_EQ(header->Font().Name, "Tahoma");
  EXPECT_EQ(header->Font().Size(), -16);
  EXPECT_TRUE(header->PlainText);
  EXPECT_FALSE(qobject_cast<TRLLabel*>(header->Controls(0))->Font().Bold());
  EXPECT_EQ(hint->Font().Name, "Times New Roman");
  EXPECT_EQ(hint->Font().Size(), -16);
  EXPECT_FALSE(hint->WordsReserveHeight);
  EXPECT_EQ(body->Font().Name, "Times New Roman");
  EXPECT_EQ(body->Font().Size(), -18);
  EXPECT_EQ(body->Color(), 0xE2EFF6);
  EXPECT_TRUE(body->WordsReserveHeight);
  // The parts follow their containers' width.
  screen_.Body->SetWidth(300);
  EXPECT_EQ(body->Width(), 300);
  EXPECT_EQ(screen_.Header->Height(), header->Height());
  EXPECT_EQ(screen_.Hint->Height(), hint->Height());
}

TEST_F(ExercisePageTest, HeaderParserIsClearedWithItsContainer) {
  screen_.Build("A<~~~>B<~~~>C");
  ASSERT_FALSE(HeaderParser.isNull());
  FreeChildren(screen_.Header);
  EXPECT_TRUE(HeaderParser.isNull());
}

// ----- the tall header

TEST_F(ExercisePageTest, AHeaderTallerThanItsRoomPushesTheAreaDown) {
  // Seven breaks make eight empty lines of 10 pixels.
  EXPECT_TRUE(screen_.Build("<br><br><br><br><br><br><br><~~~><~~~>C"));
  EXPECT_EQ(screen_.Header->Height(), 80);
  EXPECT_EQ(screen_.Area->Top(), 90);
  EXPECT_EQ(screen_.Area->Height(), 270);

  TScreenParts other;
  EXPECT_FALSE(other.Build("<br><br><br><br><~~~><~~~>C"));  // 50 pixels fit
  EXPECT_EQ(other.Area->Top(), 60);
}

// ----- the font scale

TEST_F(ExercisePageTest, ShortBodiesAreBuiltAgainInALargerFont) {
  ScaleTable = {{0.6, 2}, {0.8, 1}};
  // A body of one 50-pixel line against visible areas of several heights.
  const std::vector<std::pair<int, int>> visibleToSize = {{100, -18}, {70, -16}, {55, -14}, {40, -14}};
  for (const auto& [visible, size] : visibleToSize) {
    screen_.Visible->SetHeight(visible);
    screen_.Build("x<~~~><~~~><answer h=50>");
    const TRLParser* body = TScreenParts::ParserOf(screen_.Body);
    EXPECT_EQ(body->Font().Size(), size) << "visible " << visible;
    EXPECT_EQ(body->ControlCount(), 1);  // built again, not added to
    EXPECT_EQ(body->Controls(0)->Font().Size(), size);
  }
}

TEST_F(ExercisePageTest, TheScaleTableIsSearchedInFileOrder) {
  ScaleTable = {{0.8, 1}, {0.6, 2}};
  EXPECT_EQ(LookupScale(0.5), 1);
  EXPECT_EQ(LookupScale(0.8), 0);
  ScaleTable = {{1.5, -1}};
  screen_.Visible->SetHeight(40);  // a body longer than what is visible
  screen_.Build("x<~~~><~~~><answer h=50>");
  EXPECT_EQ(TScreenParts::ParserOf(screen_.Body)->Font().Size(), -12);
  ScaleTable.clear();
  EXPECT_EQ(LookupScale(0.1), 0);
}

TEST_F(ExercisePageTest, AnAreaOfNoHeightIsNotScaled) {
  ScaleTable = {{0.6, 2}};
  screen_.Visible->SetHeight(0);
  screen_.Build("x<~~~><~~~><answer h=50>");
  EXPECT_EQ(TScreenParts::ParserOf(screen_.Body)->Font().Size(), -14);
}

// ----- the wide mode

TEST_F(ExercisePageTest, WidePagesWidenTheAreaAndANormalPageRestoresIt) {
  FitWidth = 760;
  std::vector<bool> told;
  OnFitWindow = [&](bool fit) { told.push_back(fit); };
  EXPECT_TRUE(screen_.Build("x<~~~><~~~>dropped <fitwindow>kept"));
  EXPECT_EQ(screen_.Area->Width(), 750);
  EXPECT_EQ(WidthBeforeFit, 500);
  EXPECT_TRUE(FitWindowActive);
  EXPECT_EQ(TScreenParts::Words(screen_.Body), std::vector<std::string>{"kept"});
  // A second wide page keeps the width to go back to.
  EXPECT_TRUE(screen_.Build("x<~~~><~~~><fitwindow>again"));
  EXPECT_EQ(screen_.Area->Width(), 750);
  EXPECT_EQ(WidthBeforeFit, 500);
  EXPECT_TRUE(screen_.Build("x<~~~><~~~>normal"));
  EXPECT_EQ(screen_.Area->Width(), 500);
  EXPECT_FALSE(FitWindowActive);
  EXPECT_FALSE(screen_.Build("x<~~~><~~~>normal"));
  EXPECT_EQ(told, (std::vector<bool>{true, true, false}));
}

// ----- the first field

TEST_F(ExercisePageTest, TheFirstFieldOfTheBodyTakesTheFocus) {
  screen_.Window->Show();
  screen_.Window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(screen_.Window.get()));
  screen_.Build("x<~~~><~~~>слово <statictext <edit answer=а>> <edit answer=б> <edit answer=в>"_cp);
  const auto fields = screen_.Fields();
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_TRUE(fields[0]->Focused());
  EXPECT_EQ(fields[0]->Answer()[0], "б"_cp);
}

// ----- bad documents

TEST_F(ExercisePageTest, EmptyAndHugeDocumentsBuild) {
  EXPECT_FALSE(screen_.Build(""));
  EXPECT_EQ(screen_.Header->Height(), 10);
  EXPECT_EQ(screen_.Hint->Tag, 0);
  screen_.Build("x<~~~><~~~>" + std::string(2 << 20, 'w'));
  const TRLParser* body = TScreenParts::ParserOf(screen_.Body);
  ASSERT_EQ(body->ControlCount(), 1);
  // It overflows the line, nothing more, and is clipped far beyond any screen,
  // so painting it stays cheap.
  TControl* word = body->Controls(0);
  EXPECT_GT(word->Width(), body->Width());
  EXPECT_LE(word->Width(), 32767);
  EXPECT_FALSE(word->grab().isNull());
}

TEST_F(ExercisePageTest, AMarkupErrorStopsThePageAtThatPart) {
  EXPECT_EQ(ExceptionMessage([&] { screen_.Build("head<~~~>hint<~~~>a <nope> b"); }),
            "Unknown tag: \"nope\"");
  EXPECT_EQ(TScreenParts::Words(screen_.Header), std::vector<std::string>{"head"});
  EXPECT_EQ(screen_.Hint->ControlCount(), 0);
}

// ----- "Settings.ini"

class ScaleSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    Application->SetMessageSink(
        [this](const std::string& text, const std::string&) { messages_.push_back(text); });
  }
  void TearDown() override {
    Application->SetMessageSink(nullptr);
    ScaleTable.clear();
  }
  std::string Write(const std::string& text) {
    const std::string path = folder_.path().toStdString() + "/Settings.ini";
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  QTemporaryDir folder_;
  std::vector<std::string> messages_;
};

TEST_F(ScaleSettingsTest, RowsAreReadInFileOrder) {
  LoadScaleSettings(Write("\r\n 0.8 = 1 \r\n\r\n0.6=2\r\n1.25=-1"));
  ASSERT_EQ(ScaleTable.size(), 3u);
  EXPECT_DOUBLE_EQ(ScaleTable[0].Threshold, 0.8);
  EXPECT_EQ(ScaleTable[0].Step, 1);
  EXPECT_DOUBLE_EQ(ScaleTable[1].Threshold, 0.6);
  EXPECT_EQ(ScaleTable[2].Step, -1);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(ScaleSettingsTest, ABadLineIsReportedAndTheRowsBeforeItKept) {
  for (const char* bad : {"[Scale]", "0,7=1", "0.7=one", "0.7", "=1"}) {
    messages_.clear();
    LoadScaleSettings(Write("0.6=2\n" + std::string(bad) + "\n0.8=1\n"));
    ASSERT_EQ(ScaleTable.size(), 1u) << bad;
    EXPECT_EQ(ScaleTable[0].Step, 2);
    ASSERT_EQ(messages_.size(), 1u) << bad;
    EXPECT_NE(messages_[0].find("line 2"), std::string::npos) << messages_[0];
  }
}

TEST_F(ScaleSettingsTest, AFileTooLargeOrALongLineIsReportedBriefly) {
  const std::string path = Write(std::string(65 * 1024, '7'));
  ScaleTable = {{0.6, 2}};
  LoadScaleSettings(path);
  EXPECT_TRUE(ScaleTable.empty());
  EXPECT_EQ(messages_, std::vector<std::string>{"File too large: " + path + " (more than 64 KB)"});
  // A line that is no row is quoted by its start only.
  messages_.clear();
  LoadScaleSettings(Write("0.6=2\n" + std::string(60 * 1024, '7') + "\n"));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_LT(messages_[0].size(), 300u);
  EXPECT_NE(messages_[0].find("line 2: \"" + std::string(60, '7') + "...\""), std::string::npos) << messages_[0];
  EXPECT_EQ(ScaleTable.size(), 1u);
}

TEST_F(ScaleSettingsTest, NoFileMeansNoScaling) {
  ScaleTable = {{0.6, 2}};
  LoadScaleSettings(folder_.path().toStdString() + "/missing.ini");
  EXPECT_TRUE(ScaleTable.empty());
  EXPECT_TRUE(messages_.empty());
}

// ----- the sample course

TEST_F(ExercisePageTest, TheSampleExerciseBuildsAndCanBeAnsweredInFull) {
  const std::string course = std::string(COURSE_SOURCE_DIR) + "/";
  LoadScaleSettings(course + "Settings.ini");
  ASSERT_EQ(ScaleTable.size(), 2u);
  BodyFontSize = -18;
  screen_.Window->SetColor(0xF6EFE2);
  screen_.Area->SetBounds(10, 60, 700, 500);
  screen_.Visible->SetBounds(0, 0, 700, 500);
  screen_.Body->SetBounds(0, 0, 700, 10);
  screen_.Header->SetWidth(700);
  screen_.Hint->SetBounds(0, 570, 800, 30);
  screen_.Window->Show();
  screen_.Window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(screen_.Window.get()));
  screen_.Build(Utf8ToCp1251(ReadTextFile(course + "Go.cml", kMaxDocumentBytes)));

  EXPECT_EQ(screen_.Hint->Tag, 1);
  const auto fields = screen_.Fields();
  ASSERT_EQ(fields.size(), 11u);
  EXPECT_TRUE(fields[0]->Focused());
  TRLParser* body = TScreenParts::ParserOf(screen_.Body);
  // Every field stands on the line of its sentence, inside the body.
  for (TRLEdit* field : fields) {
    EXPECT_EQ(field->Answer().Count(), 1);
    EXPECT_LE(field->Left() + field->Width(), body->Width());
  }
  fields[3]->SetText("и"_cp);  // one wrong answer, to see its marks
  CheckChildren(body);
  const QImage shot = screen_.Window->grab().toImage();
  EXPECT_TRUE(shot.save("gocml.png"));
  EXPECT_EQ(SumMaxScore(body), 11);
  EXPECT_EQ(SumScore(body), 0);  // the learner has typed nothing right yet

  // Focusing a marked field clears it; then the answer is typed key by key.
  for (TRLEdit* field : fields) {
    field->SetFocus();
    for (char c : field->Answer()[0]) {
      const QChar letter(Cp1251CharToUnicode(c));
      QTest::sendKeyEvent(QTest::Click, field, Qt::Key(letter.toUpper().unicode()), QString(letter),
                          Qt::NoModifier);
    }
  }
  CheckChildren(body);
  EXPECT_EQ(SumScore(body), SumMaxScore(body));
}
